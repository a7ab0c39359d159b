/*
 * vork_chan: named shared block and named events over POSIX shared memory
 * and futexes.  See vork_chan.h for what each function promises.
 *
 * This file is compiled as C into the environment and included into
 * generated programs (as C++) through <windows.h>; it must stay valid in
 * both languages.
 */
#ifndef VORK_CHAN_C_INCLUDED
#define VORK_CHAN_C_INCLUDED

#ifndef _GNU_SOURCE
#define _GNU_SOURCE 1
#endif

#include "vork_chan.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/futex.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#if !defined(MAP_ANONYMOUS) || !defined(O_CLOEXEC) || !defined(SYS_futex)
#error "vork_chan needs the GNU/POSIX interfaces: compile as gnu11/C++ or define _GNU_SOURCE before the first system header"
#endif

/* File-local helpers: static in C; inline in the header-only C++ form, so
 * that the inline entry points refer to one function in every file. */
#if defined(VORK_CHAN_HEADER_ONLY) && defined(__cplusplus)
#define VORK_CHAN_LOCAL inline
#elif defined(VORK_CHAN_HEADER_ONLY)
#define VORK_CHAN_LOCAL static inline
#else
#define VORK_CHAN_LOCAL static
#endif

#define VORK_EVENT_MAGIC 0x564B4556u /* "VEKV" */
#define VORK_EVENT_OBJECT_SIZE 64
/* How long an opener waits for another process to finish initialising an
 * event before it assumes that process died half-way and does it itself. */
#define VORK_EVENT_INIT_WAIT_MS 1000

/* The state of one event, at the start of its shared-memory object.  All
 * fields are accessed atomically; a zero-filled object (what ftruncate
 * gives) is a valid "not yet initialised" state. */
struct vork_event_state {
    uint32_t init;      /* 0 untouched, 1 being initialised, 2 ready */
    uint32_t magic;
    uint32_t signalled; /* the futex word: 0 clear, 1 signalled */
    uint32_t waiters;   /* processes inside a wait, so Set can skip the wake */
    uint32_t manual_reset;
    int32_t owner_pid;     /* the environment serving the channel, 0 none */
    uint32_t owner_closed; /* set when that environment let go */
};

#define VORK_LOAD(p) __atomic_load_n((p), __ATOMIC_SEQ_CST)
#define VORK_STORE(p, v) __atomic_store_n((p), (v), __ATOMIC_SEQ_CST)

VORK_CHAN_FN int vork_chan_path(char* out, size_t cap, const char* name)
{
    const char* suffix = getenv(VORK_CHAN_SUFFIX_ENV);
    size_t nlen, slen, i;
    if (!out || cap == 0 || !name)
        return EINVAL;
    if (!suffix)
        suffix = "";
    nlen = strlen(name);
    slen = strlen(suffix);
    if (nlen + slen > VORK_CHAN_NAME_MAX || nlen + slen + 2 > cap)
        return ENAMETOOLONG;
    out[0] = '/';
    memcpy(out + 1, name, nlen);
    memcpy(out + 1 + nlen, suffix, slen);
    out[1 + nlen + slen] = '\0';
    /* POSIX names allow no '/' after the first character. */
    for (i = 1; out[i]; ++i)
        if (out[i] == '/')
            out[i] = '_';
    return 0;
}

VORK_CHAN_FN uint32_t vork_chan_get32(const void* block, size_t offset)
{
    const unsigned char* p = (const unsigned char*)block + offset;
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

VORK_CHAN_FN void vork_chan_put32(void* block, size_t offset, uint32_t value)
{
    unsigned char* p = (unsigned char*)block + offset;
    p[0] = (unsigned char)(value & 0xFFu);
    p[1] = (unsigned char)((value >> 8) & 0xFFu);
    p[2] = (unsigned char)((value >> 16) & 0xFFu);
    p[3] = (unsigned char)((value >> 24) & 0xFFu);
}

VORK_CHAN_LOCAL int vork_chan_sleep_ms(long ms)
{
    struct timespec ts;
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = (ms % 1000) * 1000000L;
    return nanosleep(&ts, NULL);
}

VORK_CHAN_LOCAL int64_t vork_chan_now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000 + ts.tv_nsec / 1000000L;
}

/* Creates or opens the object at path and makes sure it holds at least
 * size bytes.  On success *fd_out is the descriptor and *created tells
 * whether this call made the object. */
VORK_CHAN_LOCAL int vork_chan_open_object(const char* path, size_t size, int flags, int* fd_out, int* created,
                                 size_t* actual)
{
    int attempt, fd = -1;
    struct stat st;
    *created = 0;
    /* O_EXCL first, so that we know whether we made it; a name that is
     * unlinked between the two calls is simply tried again. */
    for (attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        if (flags & VORK_CHAN_CREATE) {
            fd = shm_open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                *created = 1;
                break;
            }
            if (errno != EEXIST)
                return errno;
        }
        fd = shm_open(path, O_RDWR | O_CLOEXEC, 0);
        if (fd < 0 && (errno != ENOENT || !(flags & VORK_CHAN_CREATE)))
            return errno;
    }
    if (fd < 0)
        return ENOENT;
    if (fstat(fd, &st) != 0) {
        int e = errno;
        close(fd);
        return e;
    }
    /* Grow only: a creator and an opener racing here both ask for the same
     * size, and an object someone made larger keeps its size. */
    if (size > 0 && (uint64_t)st.st_size < (uint64_t)size) {
        if (ftruncate(fd, (off_t)size) != 0) {
            int e = errno;
            close(fd);
            if (*created)
                shm_unlink(path);
            return e;
        }
        st.st_size = (off_t)size;
    }
    if (st.st_size <= 0) {
        close(fd);
        return EINVAL;
    }
    *fd_out = fd;
    *actual = (size_t)st.st_size;
    return 0;
}

VORK_CHAN_FN int vork_shm_open(vork_shm* shm, const char* name, size_t size, int flags)
{
    int err, fd = -1, created = 0;
    size_t actual = 0;
    void* addr;
    if (!shm)
        return EINVAL;
    memset(shm, 0, sizeof *shm);
    shm->fd = -1;
    if (!name || !*name) {
        if (size == 0)
            return EINVAL;
        addr = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (addr == MAP_FAILED)
            return errno;
        shm->addr = addr;
        shm->size = size;
        shm->created = 1;
        return 0;
    }
    if (size == 0 && (flags & VORK_CHAN_CREATE))
        return EINVAL;
    err = vork_chan_path(shm->path, sizeof shm->path, name);
    if (err)
        return err;
    err = vork_chan_open_object(shm->path, size, flags, &fd, &created, &actual);
    if (err)
        return err;
    if (size == 0)
        size = actual;
    addr = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (addr == MAP_FAILED) {
        err = errno;
        close(fd);
        if (created)
            shm_unlink(shm->path);
        return err;
    }
    shm->fd = fd;
    shm->addr = addr;
    shm->size = size;
    shm->created = created;
    shm->owner = (flags & VORK_CHAN_OWNER) != 0;
    return 0;
}

VORK_CHAN_FN void vork_shm_close(vork_shm* shm)
{
    if (!shm)
        return;
    if (shm->addr)
        munmap(shm->addr, shm->size);
    if (shm->fd >= 0)
        close(shm->fd);
    /* The environment's end removes the name, so the next run starts with
     * a fresh object; a peer still mapping it keeps its memory. */
    if (shm->owner && shm->path[0])
        shm_unlink(shm->path);
    shm->addr = NULL;
    shm->fd = -1;
    shm->owner = 0;
    shm->path[0] = '\0';
}

/* 1 when pid names no live process (a zombie counts as gone: it will never
 * answer again). */
VORK_CHAN_LOCAL int vork_chan_pid_gone(int32_t pid)
{
    char path[64];
    char buf[256];
    FILE* f;
    size_t n;
    const char* paren;
    if (pid <= 0)
        return 0;
    if (kill((pid_t)pid, 0) != 0)
        return errno == ESRCH;
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    f = fopen(path, "r");
    if (!f)
        return 0;
    n = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    buf[n] = '\0';
    paren = strrchr(buf, ')');
    if (paren && paren[1] == ' ' && (paren[2] == 'Z' || paren[2] == 'X'))
        return 1;
    return 0;
}

VORK_CHAN_LOCAL int vork_event_try_consume(struct vork_event_state* s)
{
    if (VORK_LOAD(&s->manual_reset))
        return VORK_LOAD(&s->signalled) != 0;
    {
        uint32_t expected = 1;
        return __atomic_compare_exchange_n(&s->signalled, &expected, 0u, 0, __ATOMIC_SEQ_CST,
                                           __ATOMIC_SEQ_CST);
    }
}

VORK_CHAN_FN int vork_event_open(vork_event* ev, const char* name, int flags, int manual_reset,
                                 int initial_state)
{
    int err, fd = -1, created = 0;
    size_t actual = 0;
    void* addr;
    struct vork_event_state* s;
    uint32_t expected = 0;
    if (!ev)
        return EINVAL;
    memset(ev, 0, sizeof *ev);
    ev->fd = -1;
    if (!name || !*name) {
        /* An unnamed event, shared with children only. */
        addr = mmap(NULL, VORK_EVENT_OBJECT_SIZE, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS,
                    -1, 0);
        if (addr == MAP_FAILED)
            return errno;
        created = 1;
    } else {
        err = vork_chan_path(ev->path, sizeof ev->path, name);
        if (err)
            return err;
        err = vork_chan_open_object(ev->path, VORK_EVENT_OBJECT_SIZE, flags, &fd, &created, &actual);
        if (err)
            return err;
        addr = mmap(NULL, VORK_EVENT_OBJECT_SIZE, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (addr == MAP_FAILED) {
            err = errno;
            close(fd);
            if (created)
                shm_unlink(ev->path);
            return err;
        }
    }
    s = (struct vork_event_state*)addr;

    /* Initialised exactly once: whoever moves init from 0 to 1 fills the
     * fields and publishes 2; everybody else waits for 2.  An initialiser
     * that died between the two leaves 1 behind, which after a bounded wait
     * is taken over (the fields it would write are plain values). */
    if (__atomic_compare_exchange_n(&s->init, &expected, 1u, 0, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST)) {
        VORK_STORE(&s->magic, VORK_EVENT_MAGIC);
        VORK_STORE(&s->manual_reset, manual_reset ? 1u : 0u);
        VORK_STORE(&s->signalled, initial_state ? 1u : 0u);
        VORK_STORE(&s->waiters, 0u);
        VORK_STORE(&s->owner_pid, 0);
        VORK_STORE(&s->owner_closed, 0u);
        VORK_STORE(&s->init, 2u);
    } else {
        int64_t give_up = vork_chan_now_ms() + VORK_EVENT_INIT_WAIT_MS;
        while (VORK_LOAD(&s->init) != 2u && vork_chan_now_ms() < give_up)
            vork_chan_sleep_ms(1);
        if (VORK_LOAD(&s->init) != 2u) {
            VORK_STORE(&s->magic, VORK_EVENT_MAGIC);
            VORK_STORE(&s->manual_reset, manual_reset ? 1u : 0u);
            VORK_STORE(&s->init, 2u);
        }
    }
    if (VORK_LOAD(&s->magic) != VORK_EVENT_MAGIC) {
        /* Something else lives under this name. */
        munmap(addr, VORK_EVENT_OBJECT_SIZE);
        if (fd >= 0)
            close(fd);
        return EPROTO;
    }

    if (flags & VORK_CHAN_OWNER) {
        int32_t self = (int32_t)getpid();
        int32_t previous = VORK_LOAD(&s->owner_pid);
        /* Left over by an environment that crashed or let go without
         * removing the name: whatever signal it held belongs to a run that
         * is over. */
        if (VORK_LOAD(&s->owner_closed) || (previous != 0 && previous != self && vork_chan_pid_gone(previous)))
            VORK_STORE(&s->signalled, 0u);
        VORK_STORE(&s->owner_pid, self);
        VORK_STORE(&s->owner_closed, 0u);
    }

    ev->fd = fd;
    ev->st = s;
    ev->created = created;
    ev->owner = (flags & VORK_CHAN_OWNER) != 0;
    return 0;
}

VORK_CHAN_FN void vork_event_set(vork_event* ev)
{
    struct vork_event_state* s;
    if (!ev || !ev->st)
        return;
    s = ev->st;
    VORK_STORE(&s->signalled, 1u);
    /* Both sides use sequentially consistent accesses: either this load
     * sees the waiter, or the waiter's check sees the flag. */
    if (VORK_LOAD(&s->waiters) != 0)
        syscall(SYS_futex, &s->signalled, FUTEX_WAKE, INT_MAX, NULL, NULL, 0);
}

VORK_CHAN_FN void vork_event_reset(vork_event* ev)
{
    if (ev && ev->st)
        VORK_STORE(&ev->st->signalled, 0u);
}

VORK_CHAN_FN int vork_event_wait(vork_event* ev, uint32_t timeout_ms)
{
    struct vork_event_state* s;
    int64_t deadline = 0;
    int infinite = timeout_ms == VORK_CHAN_INFINITE;
    if (!ev || !ev->st)
        return 0;
    s = ev->st;
    if (vork_event_try_consume(s))
        return 1;
    if (timeout_ms == 0)
        return 0;
    if (!infinite)
        deadline = vork_chan_now_ms() + (int64_t)timeout_ms;
    for (;;) {
        struct timespec ts;
        struct timespec* tsp = NULL;
        if (!infinite) {
            int64_t left = deadline - vork_chan_now_ms();
            if (left <= 0)
                return vork_event_try_consume(s);
            ts.tv_sec = (time_t)(left / 1000);
            ts.tv_nsec = (long)((left % 1000) * 1000000L);
            tsp = &ts;
        }
        __atomic_add_fetch(&s->waiters, 1u, __ATOMIC_SEQ_CST);
        if (vork_event_try_consume(s)) {
            __atomic_sub_fetch(&s->waiters, 1u, __ATOMIC_SEQ_CST);
            return 1;
        }
        /* Sleeps only while the word still reads 0; a Set in between makes
         * the call return at once. */
        syscall(SYS_futex, &s->signalled, FUTEX_WAIT, 0, tsp, NULL, 0);
        __atomic_sub_fetch(&s->waiters, 1u, __ATOMIC_SEQ_CST);
        if (vork_event_try_consume(s))
            return 1;
    }
}

VORK_CHAN_FN void vork_event_close(vork_event* ev)
{
    if (!ev)
        return;
    if (ev->st) {
        if (ev->owner && VORK_LOAD(&ev->st->owner_pid) == (int32_t)getpid()) {
            VORK_STORE(&ev->st->owner_closed, 1u);
            if (ev->path[0])
                shm_unlink(ev->path);
        }
        munmap(ev->st, VORK_EVENT_OBJECT_SIZE);
    }
    if (ev->fd >= 0)
        close(ev->fd);
    ev->st = NULL;
    ev->fd = -1;
    ev->owner = 0;
    ev->path[0] = '\0';
}

VORK_CHAN_FN int vork_event_owner_gone(const vork_event* ev)
{
    if (!ev || !ev->st)
        return 1;
    if (VORK_LOAD(&ev->st->owner_closed))
        return 1;
    return vork_chan_pid_gone(VORK_LOAD(&ev->st->owner_pid));
}

#endif
