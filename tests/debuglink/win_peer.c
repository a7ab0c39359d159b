/*
 * A generated compiler's end written only against the compatibility
 * <windows.h>.  "win_peer check" checks the Win32 calls on their own;
 * "win_peer KIND[:V1[:V2]]..." sends the records, printing "reply N" each.
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static int failures;

#define CHECK(cond) \
    ((cond) ? (void)0 : (void)(printf("failed: %s (line %d)\n", #cond, __LINE__), ++failures))

static int check(void)
{
    HANDLE e, e2, m, m2;
    char *v, *v2;
    CHECK(OpenEvent(EVENT_ALL_ACCESS, FALSE, "WP_MISSING") == NULL);
    CHECK(GetLastError() == ERROR_FILE_NOT_FOUND);
    e = CreateEvent(NULL, TRUE, FALSE, "WP_EVENT");
    CHECK(e != NULL && GetLastError() == ERROR_SUCCESS);
    e2 = CreateEvent(NULL, TRUE, TRUE, "WP_EVENT");
    CHECK(e2 != NULL && GetLastError() == ERROR_ALREADY_EXISTS);
    CHECK(WaitForSingleObject(e2, 0) == WAIT_TIMEOUT); /* initial state of an open is ignored */
    CHECK(SetEvent(e));
    CHECK(WaitForSingleObject(e2, 10) == WAIT_OBJECT_0);
    CHECK(WaitForSingleObject(e2, 10) == WAIT_OBJECT_0); /* manual reset */
    CHECK(ResetEvent(e2));
    CHECK(WaitForSingleObject(e, 10) == WAIT_TIMEOUT);
    CHECK(CloseHandle(e2));
    CHECK(CloseHandle(e));
    CHECK(WaitForSingleObject(NULL, 0) == WAIT_FAILED && GetLastError() == ERROR_INVALID_HANDLE);

    CHECK(CreateFileMapping(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 0, "WP_MAP") == NULL);
    m = CreateFileMapping(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 1024, "WP_MAP");
    CHECK(m != NULL);
    v = (char*)MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    CHECK(v != NULL);
    m2 = OpenFileMapping(FILE_MAP_ALL_ACCESS, FALSE, "WP_MAP");
    CHECK(m2 != NULL);
    v2 = (char*)MapViewOfFile(m2, FILE_MAP_WRITE, 0, 16, 16);
    CHECK(v2 != NULL);
    CHECK(MapViewOfFile(m2, FILE_MAP_WRITE, 0, 1020, 16) == NULL);
    if (v && v2) {
        strcpy(v + 16, "shared");
        CHECK(strcmp(v2, "shared") == 0);
    }
    /* Views outlive their mapping handle. */
    CHECK(CloseHandle(m));
    CHECK(CloseHandle(m2));
    if (v2)
        CHECK(strcmp(v2, "shared") == 0);
    CHECK(UnmapViewOfFile(v2));
    CHECK(UnmapViewOfFile(v));
    CHECK(!UnmapViewOfFile(v));
    CHECK(OpenFileMapping(FILE_MAP_ALL_ACCESS, FALSE, "") == NULL);
    return failures == 0 ? 0 : 1;
}

int main(int argc, char** argv)
{
    HANDLE toPeer, fromPeer, map;
    unsigned char* block;
    int i;
    setvbuf(stdout, NULL, _IOLBF, 0);
    if (argc > 1 && strcmp(argv[1], "check") == 0)
        return check();

    toPeer = CreateEvent(NULL, TRUE, FALSE, "VORK_PREK.Data");
    fromPeer = CreateEvent(NULL, TRUE, FALSE, "PREK_VORK.Data");
    map = CreateFileMapping(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 1024, "vork1000-zdiel");
    block = (unsigned char*)MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!toPeer || !fromPeer || !block)
        return 2;
    if (WaitForSingleObject(toPeer, 2000) != WAIT_OBJECT_0) {
        printf("none\n");
    } else {
        for (i = 1; i < argc; ++i) {
            int rec[3] = {0, 0, 0};
            int reply;
            sscanf(argv[i], "%d:%d:%d", &rec[0], &rec[1], &rec[2]);
            ResetEvent(toPeer);
            memcpy(block + 4, rec, sizeof rec);
            SetEvent(fromPeer);
            if (WaitForSingleObject(toPeer, 5000) != WAIT_OBJECT_0) {
                printf("timeout\n");
                break;
            }
            memcpy(&reply, block, sizeof reply);
            printf("reply %d\n", reply);
            if (reply == 14)
                break;
        }
    }
    UnmapViewOfFile(block);
    CloseHandle(map);
    CloseHandle(toPeer);
    CloseHandle(fromPeer);
    printf("done\n");
    return 0;
}
