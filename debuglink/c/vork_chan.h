/*
 * vork_chan: the named shared block and the named manual-reset events of
 * the debugger link, for both ends of the channel.
 *
 * The environment links this file as an ordinary C object.  Generated debug
 * programs reach it through <windows.h> of the compatibility directory,
 * which defines VORK_CHAN_HEADER_ONLY and includes vork_chan.c itself: the
 * generated program then needs nothing beyond its own source and -pthread.
 *
 * A block is one POSIX shared-memory object ("/" + name).  An event is one
 * small shared-memory object of its own holding a signalled flag that the
 * waiters sleep on with a futex.  A futex holds no lock, so a peer that
 * dies at any moment cannot leave the event unusable; the only thing a
 * dead peer can leave behind is a stale signalled state, which the owner
 * (the environment) clears when it takes over an event whose previous owner
 * is gone.
 *
 * All functions return 0 on success and an errno value on failure unless
 * they say otherwise.  Nothing here blocks without a time-out except
 * vork_event_wait with VORK_CHAN_INFINITE, which only the Win32 shim offers.
 */
#ifndef VORK_CHAN_H
#define VORK_CHAN_H

#include <stddef.h>
#include <stdint.h>

#if defined(VORK_CHAN_HEADER_ONLY)
/* In C++ an inline function is one function across translation units, so a
 * generated compiler split into several files still shares one channel
 * state; in C each file gets its own static copy. */
#  if defined(__cplusplus)
#    define VORK_CHAN_FN inline
#  else
#    define VORK_CHAN_FN static inline
#  endif
#else
#  define VORK_CHAN_FN
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Wire layout of the shared block: four little-endian 32-bit fields. */
enum {
    VORK_CHAN_OFF_REPLY = 0,
    VORK_CHAN_OFF_KIND = 4,
    VORK_CHAN_OFF_VALUE1 = 8,
    VORK_CHAN_OFF_VALUE2 = 12,
    VORK_CHAN_HEAD_SIZE = 16,
    VORK_CHAN_BLOCK_SIZE = 1024
};

/* Record kinds and reply codes as they travel on the wire. */
enum {
    VORK_REC_SYNTAX_ERROR = 1,
    VORK_REC_STACK_OVERFLOW = 2,
    VORK_REC_RECOVERY_POPS = 3,
    VORK_REC_RECOVERY_DISCARDS = 4,
    VORK_REC_REDUCTION = 5,
    VORK_REC_STATE = 6,
    VORK_REC_SHIFT = 7,
    VORK_REC_LEXICAL_UNIT = 8,
    VORK_REC_INPUT_CHAR = 9,
    VORK_REC_UNPUT_CHAR = 10,
    VORK_REC_ANALYSIS_START = 11,
    VORK_REC_ANALYSIS_END = 12,
    VORK_REC_SEMANTIC_ACTION = 20,
    VORK_REPLY_CONTINUE = 13,
    VORK_REPLY_RUN_FREE = 14
};

/* Value 2 of a LexicalUnit: the number of the scanner rule that matched
 * the unit, or-ed into VORK_LEX_RULE_TAG (0 when the rule is not known).
 * Offset 12 is left as it is by records that carry no value 2, so a bare
 * number there could be a state a RecoveryPops left; the tag tells a rule
 * from such a left-over. */
#define VORK_LEX_RULE_TAG 0x4C520000u
#define VORK_LEX_RULE_MASK 0x0000FFFFu

/* Object names without the leading '/'. */
#define VORK_CHAN_BLOCK_NAME "vork1000-zdiel"
#define VORK_CHAN_EVENT_TO_PEER "VORK_PREK.Data"
#define VORK_CHAN_EVENT_FROM_PEER "PREK_VORK.Data"

/* When set, this environment variable is appended to every object name.
 * Only tests use it, so that runs in parallel do not meet each other. */
#define VORK_CHAN_SUFFIX_ENV "VORK_CHAN_SUFFIX"

#define VORK_CHAN_INFINITE 0xFFFFFFFFu
#define VORK_CHAN_NAME_MAX 200

/* Open flags. */
enum {
    VORK_CHAN_CREATE = 1, /* create the object when it does not exist */
    VORK_CHAN_OWNER = 2   /* the environment's end: claims the object, clears
                             a stale state, unlinks the name on close */
};

typedef struct vork_shm {
    int fd;            /* -1 once closed or handed over */
    void* addr;        /* the mapped view */
    size_t size;       /* bytes mapped */
    int created;       /* this open created the object */
    int owner;         /* opened with VORK_CHAN_OWNER */
    char path[VORK_CHAN_NAME_MAX + 2];
} vork_shm;

struct vork_event_state;

typedef struct vork_event {
    int fd;
    struct vork_event_state* st;
    int created;
    int owner;
    char path[VORK_CHAN_NAME_MAX + 2];
} vork_event;

/* "/" + name + the test suffix, with any further '/' turned into '_'.
 * Returns 0, or ENAMETOOLONG when it does not fit into cap bytes. */
VORK_CHAN_FN int vork_chan_path(char* out, size_t cap, const char* name);

/* Little-endian field access of the wire layout. */
VORK_CHAN_FN uint32_t vork_chan_get32(const void* block, size_t offset);
VORK_CHAN_FN void vork_chan_put32(void* block, size_t offset, uint32_t value);

/* Shared block.  An empty or null name gives an unnamed block that only
 * this process and its children share.  The object is grown to size when
 * it is smaller; it is never shrunk, and its contents are left as found. */
VORK_CHAN_FN int vork_shm_open(vork_shm* shm, const char* name, size_t size, int flags);
VORK_CHAN_FN void vork_shm_close(vork_shm* shm);

/* Event.  manual_reset = 0 gives an auto-reset event (a successful wait
 * clears it).  initial_state applies only when this call creates the event,
 * as with named events elsewhere. */
VORK_CHAN_FN int vork_event_open(vork_event* ev, const char* name, int flags, int manual_reset,
                                 int initial_state);
VORK_CHAN_FN void vork_event_set(vork_event* ev);
VORK_CHAN_FN void vork_event_reset(vork_event* ev);
/* 1 when the event was signalled within timeout_ms, 0 on time-out. */
VORK_CHAN_FN int vork_event_wait(vork_event* ev, uint32_t timeout_ms);
VORK_CHAN_FN void vork_event_close(vork_event* ev);
/* For the generated program's end: 1 when the environment that claimed the
 * event has closed it or no longer exists. */
VORK_CHAN_FN int vork_event_owner_gone(const vork_event* ev);

#ifdef __cplusplus
}
#endif

#endif
