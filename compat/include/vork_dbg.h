/*
 * vork_dbg.h: the generated compiler's end of the debugger link.
 *
 * A debug build reports what it does with vork_dbg_send(kind, v1, v2); this
 * header carries out the whole handshake with the environment:
 *
 *   - before the first record it opens (or creates) the two events and the
 *     shared block and waits, at most VORK_DBG_START_WAIT_MS, for the
 *     environment's "ready" signal; with nobody listening it runs free;
 *   - for each record it resets VORK_PREK, writes kind and values, signals
 *     PREK_VORK and waits for VORK_PREK, in slices of VORK_DBG_SLICE_MS;
 *     between slices it checks that the environment still serves the
 *     channel, so an environment that dies or lets go never leaves the
 *     program hanging: it finishes free;
 *   - after reply 14, or after the reply to AnalysisEnd, it sends nothing
 *     more and releases its handles.
 *
 * Kinds outside the record table are never answered by the environment, so
 * they are not sent at all.
 */
#ifndef VORK_COMPAT_VORK_DBG_H
#define VORK_COMPAT_VORK_DBG_H

#ifndef VORK_CHAN_HEADER_ONLY
#define VORK_CHAN_HEADER_ONLY 1
#endif
#include "vork_chan.c"

#ifndef VORK_DBG_START_WAIT_MS
#define VORK_DBG_START_WAIT_MS 2000u
#endif
#ifndef VORK_DBG_SLICE_MS
#define VORK_DBG_SLICE_MS 100u
#endif

#if defined(__cplusplus)
#define VORK_DBG_FN inline
#define VORK_DBG_SHARED_FN inline
#else
#define VORK_DBG_FN static inline
/* The function that holds the state must be one function in the whole
 * program, as an inline function is in C++: each C file emits it weak and
 * the linker keeps one, so a parser and a scanner compiled from separate
 * files report over one channel and open it once. */
#define VORK_DBG_SHARED_FN __attribute__((weak))
#endif

enum { VORK_DBG_UNOPENED = 0, VORK_DBG_REPORTING = 1, VORK_DBG_DONE = 2 };

struct vork_dbg_peer {
    int phase;
    vork_event to_peer;   /* VORK_PREK: the environment's signals */
    vork_event from_peer; /* PREK_VORK: ours */
    vork_shm block;
};

VORK_DBG_SHARED_FN struct vork_dbg_peer* vork_dbg_state(void)
{
    static struct vork_dbg_peer peer;
    return &peer;
}

/* Lets go of the channel; later records are dropped. */
VORK_DBG_FN void vork_dbg_finish(void)
{
    struct vork_dbg_peer* p = vork_dbg_state();
    if (p->phase == VORK_DBG_REPORTING) {
        vork_shm_close(&p->block);
        vork_event_close(&p->to_peer);
        vork_event_close(&p->from_peer);
    }
    p->phase = VORK_DBG_DONE;
}

VORK_DBG_FN int vork_dbg_is_record_kind(int kind)
{
    return (kind >= VORK_REC_SYNTAX_ERROR && kind <= VORK_REC_ANALYSIS_END) || kind == VORK_REC_SEMANTIC_ACTION;
}

VORK_DBG_FN int vork_dbg_start(struct vork_dbg_peer* p)
{
    int ok = vork_event_open(&p->to_peer, VORK_CHAN_EVENT_TO_PEER, VORK_CHAN_CREATE, 1, 0) == 0;
    if (ok && vork_event_open(&p->from_peer, VORK_CHAN_EVENT_FROM_PEER, VORK_CHAN_CREATE, 1, 0) != 0) {
        vork_event_close(&p->to_peer);
        ok = 0;
    }
    if (ok && vork_shm_open(&p->block, VORK_CHAN_BLOCK_NAME, VORK_CHAN_BLOCK_SIZE, VORK_CHAN_CREATE) != 0) {
        vork_event_close(&p->to_peer);
        vork_event_close(&p->from_peer);
        ok = 0;
    }
    if (!ok) {
        p->phase = VORK_DBG_DONE;
        return 0;
    }
    p->phase = VORK_DBG_REPORTING;
    {
        int64_t give_up = vork_chan_now_ms() + VORK_DBG_START_WAIT_MS;
        for (;;) {
            int64_t left = give_up - vork_chan_now_ms();
            if (left <= 0 || !vork_event_wait(&p->to_peer, (uint32_t)left)) {
                vork_dbg_finish();
                return 0;
            }
            /* A signal left by an environment that crashed is no "ready":
             * drop it and wait for the environment that takes over. */
            if (!vork_event_owner_gone(&p->to_peer))
                return 1;
            vork_event_reset(&p->to_peer);
            vork_chan_sleep_ms(5);
        }
    }
}

/* 1 while records are still delivered to an environment. */
VORK_DBG_FN int vork_dbg_active(void)
{
    return vork_dbg_state()->phase != VORK_DBG_DONE;
}

/* Sends one record and waits for its answer.  Returns the reply code (13 or
 * 14), or 0 when nothing was sent: no environment, the run is free, or kind
 * is not a record kind. */
VORK_DBG_FN int vork_dbg_send(int kind, int value1, int value2)
{
    struct vork_dbg_peer* p = vork_dbg_state();
    uint32_t reply;
    if (p->phase == VORK_DBG_DONE || !vork_dbg_is_record_kind(kind))
        return 0;
    if (p->phase == VORK_DBG_UNOPENED && !vork_dbg_start(p))
        return 0;

    /* The environment's signal stays set until we clear it: clear it now so
     * that the wait below returns on the answer to this record only. */
    vork_event_reset(&p->to_peer);
    vork_chan_put32(p->block.addr, VORK_CHAN_OFF_KIND, (uint32_t)kind);
    vork_chan_put32(p->block.addr, VORK_CHAN_OFF_VALUE1, (uint32_t)value1);
    /* Only two kinds carry a value 2: the state uncovered by a pop, and the
     * scanner rule of a lexical unit (see VORK_LEX_RULE_TAG). */
    if (kind == VORK_REC_RECOVERY_POPS || kind == VORK_REC_LEXICAL_UNIT)
        vork_chan_put32(p->block.addr, VORK_CHAN_OFF_VALUE2, (uint32_t)value2);
    vork_event_set(&p->from_peer);

    while (!vork_event_wait(&p->to_peer, VORK_DBG_SLICE_MS)) {
        /* An answer that came just before the environment let go still
         * counts, hence the last look at the event. */
        if (vork_event_owner_gone(&p->to_peer) && !vork_event_wait(&p->to_peer, 0)) {
            vork_dbg_finish();
            return 0;
        }
    }
    reply = vork_chan_get32(p->block.addr, VORK_CHAN_OFF_REPLY);
    if (reply == VORK_REPLY_RUN_FREE || kind == VORK_REC_ANALYSIS_END)
        vork_dbg_finish();
    return reply == VORK_REPLY_RUN_FREE ? VORK_REPLY_RUN_FREE : VORK_REPLY_CONTINUE;
}

#endif
