/*
 * <windows.h> for generated debug programs on Linux.
 *
 * Only the part of the Win32 interface that a debug build of a generated
 * compiler uses to speak to the environment: named manual-reset events and
 * a named shared block, plus the handful of types and constants around
 * them.  Everything is implemented over vork_chan (the same code the
 * environment links), included here whole, so vork-cc needs no library.
 */
#ifndef VORK_COMPAT_WINDOWS_H
#define VORK_COMPAT_WINDOWS_H

#ifndef VORK_CHAN_HEADER_ONLY
#define VORK_CHAN_HEADER_ONLY 1
#endif
#include "vork_chan.c"

#include <errno.h>
#include <pthread.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#if defined(__cplusplus)
#define VORK_WIN_FN inline
#define VORK_WIN_SHARED_FN inline
#else
#define VORK_WIN_FN static inline
/* The last error and the list of views are one for the program, as on
 * Windows, also across C files: each file emits their functions weak and
 * the linker keeps one. */
#define VORK_WIN_SHARED_FN __attribute__((weak))
#endif

typedef void* HANDLE;
typedef uint32_t DWORD;
typedef int BOOL;
typedef const char* LPCSTR;
typedef const char* LPCTSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* LPSECURITY_ATTRIBUTES;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define WINAPI
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define PAGE_READONLY 0x02u
#define PAGE_READWRITE 0x04u
#define FILE_MAP_WRITE 0x0002u
#define FILE_MAP_READ 0x0004u
#define FILE_MAP_ALL_ACCESS 0x000F001Fu
#define SYNCHRONIZE 0x00100000u
#define EVENT_MODIFY_STATE 0x0002u
#define EVENT_ALL_ACCESS 0x001F0003u
#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_GEN_FAILURE 31u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_FILENAME_EXCED_RANGE 206u
#define ERROR_ALREADY_EXISTS 183u

#define CreateEvent CreateEventA
#define OpenEvent OpenEventA
#define CreateFileMapping CreateFileMappingA
#define OpenFileMapping OpenFileMappingA

enum { VORK_WIN_EVENT = 0x45564E54, VORK_WIN_MAPPING = 0x4D415050 };

struct vork_win_object {
    int kind;
    vork_event ev;
    vork_shm shm;
};

VORK_WIN_SHARED_FN DWORD* vork_win_last_error_slot(void)
{
    static __thread DWORD last_error;
    return &last_error;
}

VORK_WIN_FN DWORD GetLastError(void) { return *vork_win_last_error_slot(); }
VORK_WIN_FN void SetLastError(DWORD code) { *vork_win_last_error_slot() = code; }

VORK_WIN_FN DWORD vork_win_error_from_errno(int e)
{
    switch (e) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case EACCES: case EPERM: return ERROR_ACCESS_DENIED;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    default: return ERROR_GEN_FAILURE;
    }
}

VORK_WIN_FN struct vork_win_object* vork_win_object_of(HANDLE h, int kind)
{
    struct vork_win_object* o = (struct vork_win_object*)h;
    if (!o || h == INVALID_HANDLE_VALUE || o->kind != kind)
        return NULL;
    return o;
}

VORK_WIN_FN HANDLE vork_win_event(const char* name, int flags, BOOL manual, BOOL initial)
{
    struct vork_win_object* o = (struct vork_win_object*)calloc(1, sizeof *o);
    int err;
    if (!o) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    err = vork_event_open(&o->ev, name, flags, manual ? 1 : 0, initial ? 1 : 0);
    if (err) {
        free(o);
        SetLastError(vork_win_error_from_errno(err));
        return NULL;
    }
    o->kind = VORK_WIN_EVENT;
    SetLastError((name && *name && !o->ev.created) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return (HANDLE)o;
}

VORK_WIN_FN HANDLE CreateEventA(LPSECURITY_ATTRIBUTES sa, BOOL manual_reset, BOOL initial_state, LPCSTR name)
{
    (void)sa;
    return vork_win_event(name, VORK_CHAN_CREATE, manual_reset, initial_state);
}

VORK_WIN_FN HANDLE OpenEventA(DWORD access, BOOL inherit, LPCSTR name)
{
    (void)access;
    (void)inherit;
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return vork_win_event(name, 0, TRUE, FALSE);
}

VORK_WIN_FN BOOL SetEvent(HANDLE h)
{
    struct vork_win_object* o = vork_win_object_of(h, VORK_WIN_EVENT);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    vork_event_set(&o->ev);
    return TRUE;
}

VORK_WIN_FN BOOL ResetEvent(HANDLE h)
{
    struct vork_win_object* o = vork_win_object_of(h, VORK_WIN_EVENT);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    vork_event_reset(&o->ev);
    return TRUE;
}

VORK_WIN_FN DWORD WaitForSingleObject(HANDLE h, DWORD timeout_ms)
{
    struct vork_win_object* o = vork_win_object_of(h, VORK_WIN_EVENT);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return vork_event_wait(&o->ev, timeout_ms) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

VORK_WIN_FN HANDLE vork_win_mapping(const char* name, size_t size, int flags)
{
    struct vork_win_object* o = (struct vork_win_object*)calloc(1, sizeof *o);
    int err;
    if (!o) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    err = vork_shm_open(&o->shm, name, size, flags);
    if (err) {
        free(o);
        SetLastError(vork_win_error_from_errno(err));
        return NULL;
    }
    o->kind = VORK_WIN_MAPPING;
    SetLastError((name && *name && !o->shm.created) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return (HANDLE)o;
}

/* Only mappings backed by the paging file (hFile = INVALID_HANDLE_VALUE)
 * exist here. */
VORK_WIN_FN HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES sa, DWORD protect, DWORD size_high,
                                      DWORD size_low, LPCSTR name)
{
    (void)sa;
    (void)protect;
    if (file != INVALID_HANDLE_VALUE || size_high != 0 || size_low == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return vork_win_mapping(name, size_low, VORK_CHAN_CREATE);
}

VORK_WIN_FN HANDLE OpenFileMappingA(DWORD access, BOOL inherit, LPCSTR name)
{
    (void)access;
    (void)inherit;
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return vork_win_mapping(name, 0, 0);
}

/* A view is the mapping's own memory seen from the given offset, counted
 * per mapping so that the memory outlives CloseHandle until the last view
 * is unmapped, as views do on Windows. */
struct vork_win_view {
    void* addr;
    struct vork_win_object* mapping;
    struct vork_win_view* next;
};

VORK_WIN_SHARED_FN struct vork_win_view** vork_win_views(void)
{
    static struct vork_win_view* head;
    return &head;
}

VORK_WIN_SHARED_FN pthread_mutex_t* vork_win_views_lock(void)
{
    static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    return &lock;
}

VORK_WIN_FN void vork_win_release_mapping(struct vork_win_object* o)
{
    struct vork_win_view* v;
    for (v = *vork_win_views(); v; v = v->next)
        if (v->mapping == o)
            return;
    vork_shm_close(&o->shm);
    o->kind = 0;
    free(o);
}

VORK_WIN_FN LPVOID MapViewOfFile(HANDLE h, DWORD access, DWORD offset_high, DWORD offset_low, size_t bytes)
{
    struct vork_win_object* o = vork_win_object_of(h, VORK_WIN_MAPPING);
    struct vork_win_view* v;
    (void)access;
    if (!o || o->shm.addr == NULL) {
        SetLastError(ERROR_INVALID_HANDLE);
        return NULL;
    }
    if (offset_high != 0 || offset_low > o->shm.size || bytes > o->shm.size - offset_low) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    v = (struct vork_win_view*)calloc(1, sizeof *v);
    if (!v) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    v->addr = (char*)o->shm.addr + offset_low;
    v->mapping = o;
    pthread_mutex_lock(vork_win_views_lock());
    v->next = *vork_win_views();
    *vork_win_views() = v;
    pthread_mutex_unlock(vork_win_views_lock());
    return v->addr;
}

VORK_WIN_FN BOOL UnmapViewOfFile(LPCVOID addr)
{
    struct vork_win_view** p;
    BOOL found = FALSE;
    pthread_mutex_lock(vork_win_views_lock());
    for (p = vork_win_views(); *p; p = &(*p)->next) {
        if ((*p)->addr == addr) {
            struct vork_win_view* v = *p;
            struct vork_win_object* o = v->mapping;
            *p = v->next;
            free(v);
            /* A mapping whose handle is already closed goes with its last
             * view. */
            if (o->kind == -VORK_WIN_MAPPING)
                vork_win_release_mapping(o);
            found = TRUE;
            break;
        }
    }
    pthread_mutex_unlock(vork_win_views_lock());
    if (!found)
        SetLastError(ERROR_INVALID_PARAMETER);
    return found;
}

VORK_WIN_FN BOOL CloseHandle(HANDLE h)
{
    struct vork_win_object* o = (struct vork_win_object*)h;
    if (!o || h == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (o->kind == VORK_WIN_EVENT) {
        vork_event_close(&o->ev);
        o->kind = 0;
        free(o);
        return TRUE;
    }
    if (o->kind == VORK_WIN_MAPPING) {
        pthread_mutex_lock(vork_win_views_lock());
        o->kind = -VORK_WIN_MAPPING; /* closed; memory kept for open views */
        vork_win_release_mapping(o);
        pthread_mutex_unlock(vork_win_views_lock());
        return TRUE;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

VORK_WIN_FN void Sleep(DWORD ms)
{
    struct timespec ts;
    ts.tv_sec = (time_t)(ms / 1000u);
    ts.tv_nsec = (long)(ms % 1000u) * 1000000L;
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

VORK_WIN_FN DWORD GetCurrentProcessId(void) { return (DWORD)getpid(); }

#endif
