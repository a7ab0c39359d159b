/*
 * A generated compiler in debug mode, in small: sends the records KIND[:V1[:V2]]
 * named on its command line through the peer helper and prints per record
 * "reply N", "free" once the helper stopped reporting, "skip" for a record
 * not sent then, and "done" at the end.  --delay-ms N sleeps after each.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vork_dbg.h>

int main(int argc, char** argv)
{
    long delay_ms = 0;
    int i, announced_free = 0;
    setvbuf(stdout, NULL, _IOLBF, 0);
    for (i = 1; i < argc; ++i) {
        int kind = 0, v1 = 0, v2 = 0, reply;
        if (strcmp(argv[i], "--delay-ms") == 0 && i + 1 < argc) {
            delay_ms = strtol(argv[++i], NULL, 10);
            continue;
        }
        if (sscanf(argv[i], "%d:%d:%d", &kind, &v1, &v2) < 1) {
            fprintf(stderr, "bad record %s\n", argv[i]);
            return 2;
        }
        if (!vork_dbg_active()) {
            printf("skip\n");
            continue;
        }
        reply = vork_dbg_send(kind, v1, v2);
        if (reply != 0)
            printf("reply %d\n", reply);
        if (!vork_dbg_active() && !announced_free) {
            printf("free\n");
            announced_free = 1;
        }
        if (delay_ms > 0) {
            struct timespec ts;
            ts.tv_sec = delay_ms / 1000;
            ts.tv_nsec = (delay_ms % 1000) * 1000000L;
            nanosleep(&ts, NULL);
        }
    }
    printf("done\n");
    return 0;
}
