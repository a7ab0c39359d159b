// The channel objects: wire layout, events and blocks across processes,
// create-or-open, leftovers of crashed runs, and the wrappers' failures.
#include "support.h"

#include "vork/debuglink/record.h"
#include "vork/debuglink/zdiel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <system_error>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vork::debuglink;
using namespace dltest;

namespace {

// Runs body in a child process and returns its exit status (-1 if killed).
template <class F> int inChild(F body)
{
    pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

TEST(Wire, RecordLayoutIsLittleEndianAtFixedOffsets)
{
    struct Case {
        uint8_t bytes[16];
        uint32_t kind;
        int32_t v1, v2;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 8, 0, 0, 0, 0x02, 0x01, 0, 0, 9, 9, 9, 9}, 8, 0x102, 0}, // value 2 only for kind 3
        {{0, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0}, 3, 4, 2},
        {{0, 0, 0, 0, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}, 3, -1, INT32_MIN},
        {{0, 0, 0, 0, 0x15, 0, 0, 0x01, 1, 0, 0, 0, 0, 0, 0, 0}, 0x01000015u, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        uint8_t block[kBlockSize] = {};
        std::memcpy(block, c.bytes, 16);
        Record r = readRecord(block);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.value1, c.v1);
        EXPECT_EQ(r.value2, c.v2);
    }
    uint8_t block[kBlockSize];
    std::memset(block, 0xEE, sizeof block);
    writeReply(block, ReplyCode::RunFree);
    const uint8_t expected[] = {14, 0, 0, 0, 0xEE};
    EXPECT_EQ(std::memcmp(block, expected, sizeof expected), 0);
    EXPECT_EQ(readReply(block), 14u);
}

TEST(Names, SuffixAndSeparators)
{
    struct Case {
        const char* suffix;
        const char* name;
        const char* path;
    };
    const Case cases[] = {
        {nullptr, "vork1000-zdiel", "/vork1000-zdiel"},
        {"-x1", "PREK_VORK.Data", "/PREK_VORK.Data-x1"},
        {"", "a/b", "/a_b"},
    };
    char out[VORK_CHAN_NAME_MAX + 2];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        if (c.suffix)
            setenv(VORK_CHAN_SUFFIX_ENV, c.suffix, 1);
        else
            unsetenv(VORK_CHAN_SUFFIX_ENV);
        ASSERT_EQ(vork_chan_path(out, sizeof out, c.name), 0);
        EXPECT_STREQ(out, c.path);
    }
    unsetenv(VORK_CHAN_SUFFIX_ENV);
    EXPECT_EQ(vork_chan_path(out, sizeof out, std::string(VORK_CHAN_NAME_MAX + 1, 'n').c_str()), ENAMETOOLONG);
    EXPECT_EQ(vork_chan_path(out, 4, "abcd"), ENAMETOOLONG);
}

class ChanTest : public ::testing::Test {
protected:
    PrivateNames names;
};

TEST_F(ChanTest, EventsManualAutoAndShared)
{
    TUdal ev("EV", true);
    EXPECT_FALSE(ev.Wait(20));
    ev.Set();
    EXPECT_TRUE(ev.Wait(0));
    EXPECT_TRUE(ev.Wait(20)); // manual reset: stays signalled
    ev.Reset();
    EXPECT_FALSE(ev.Wait(20));

    // Auto-reset, as the Win32 shim offers it: one wait takes the signal.
    vork_event a, second;
    ASSERT_EQ(vork_event_open(&a, "AUTO", VORK_CHAN_CREATE, 0, 1), 0);
    EXPECT_EQ(a.created, 1);
    EXPECT_EQ(vork_event_wait(&a, 0), 1);
    EXPECT_EQ(vork_event_wait(&a, 20), 0);
    // A second open finds the object: its initial state is ignored and a
    // signal set through one handle is seen through the other.
    ASSERT_EQ(vork_event_open(&second, "AUTO", VORK_CHAN_CREATE, 0, 1), 0);
    EXPECT_EQ(second.created, 0);
    EXPECT_EQ(vork_event_wait(&a, 0), 0);
    vork_event_set(&second);
    EXPECT_EQ(vork_event_wait(&a, 0), 1);
    vork_event_close(&a);
    vork_event_close(&second);
    shm_unlink(names.path("AUTO").c_str());
    EXPECT_EQ(vork_event_open(&a, "AUTO", 0, 1, 0), ENOENT);
}

TEST_F(ChanTest, ConcurrentOpenersInitialiseOnce)
{
    // Eight processes race to create the same event; all must end up with
    // one object, and a signal set by one is seen by all.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    std::vector<pid_t> kids;
    for (int i = 0; i < 8; ++i) {
        pid_t p = fork();
        if (p == 0) {
            char c;
            close(ready[1]);
            if (read(ready[0], &c, 1) != 0) // end of file is the start signal
                _exit(4);
            vork_event e;
            if (vork_event_open(&e, "RACE", VORK_CHAN_CREATE, 1, 0) != 0)
                _exit(2);
            _exit(vork_event_wait(&e, 5000) ? 0 : 3);
        }
        kids.push_back(p);
    }
    close(ready[0]);
    close(ready[1]); // all start at once
    std::this_thread::sleep_for(100ms);
    vork_event e;
    ASSERT_EQ(vork_event_open(&e, "RACE", VORK_CHAN_CREATE, 1, 0), 0);
    vork_event_set(&e);
    for (pid_t p : kids) {
        int status = 0;
        ASSERT_EQ(waitpid(p, &status, 0), p);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    vork_event_close(&e);
    shm_unlink(names.path("RACE").c_str());
}

TEST_F(ChanTest, OwnerClearsASignalLeftByACrashedOwner)
{
    ASSERT_EQ(inChild([] {
                  vork_event e;
                  if (vork_event_open(&e, "STALE", VORK_CHAN_CREATE | VORK_CHAN_OWNER, 1, 0) != 0)
                      return 2;
                  vork_event_set(&e);
                  return 0; // crashes, as it were: no close, the name stays
              }),
              0);
    ASSERT_TRUE(names.exists("STALE"));

    vork_event peer, owner;
    ASSERT_EQ(vork_event_open(&peer, "STALE", VORK_CHAN_CREATE, 1, 0), 0);
    EXPECT_EQ(vork_event_owner_gone(&peer), 1);
    EXPECT_EQ(vork_event_wait(&peer, 0), 1); // a peer sees the old state as is

    ASSERT_EQ(vork_event_open(&owner, "STALE", VORK_CHAN_CREATE | VORK_CHAN_OWNER, 1, 0), 0);
    EXPECT_EQ(vork_event_wait(&owner, 0), 0);
    EXPECT_EQ(vork_event_owner_gone(&peer), 0);
    vork_event_close(&owner); // the owner lets go: name removed, peers told
    EXPECT_FALSE(names.exists("STALE"));
    EXPECT_EQ(vork_event_owner_gone(&peer), 1);
    vork_event_close(&peer);
}

TEST_F(ChanTest, BlockOpenedAsFoundAndSharedAcrossProcesses)
{
    // Another process made the block first and left data in it.
    ASSERT_EQ(inChild([] {
                  vork_shm s;
                  if (vork_shm_open(&s, VORK_CHAN_BLOCK_NAME, 1024, VORK_CHAN_CREATE) != 0)
                      return 2;
                  vork_chan_put32(s.addr, 0, 77);
                  vork_chan_put32(s.addr, 1020, 0xDEADBEEFu);
                  return 0;
              }),
              0);
    {
        TSharedMem block(kBlockName, kBlockSize);
        ASSERT_NE(block.Buffer, nullptr);
        EXPECT_EQ(vork_chan_get32(block.Buffer, 0), 77u);
        EXPECT_EQ(vork_chan_get32(block.Buffer, 1020), 0xDEADBEEFu);
    }
    EXPECT_FALSE(names.exists(VORK_CHAN_BLOCK_NAME));
}

TEST_F(ChanTest, WrapperFailures)
{
    struct Reporter : ChannelReporter {
        Lines shown;
        void showChannelError(const std::string& text) override { shown.push_back(text); }
    } reporter;
    std::string longName(VORK_CHAN_NAME_MAX + 10, 'z');
    try {
        TSharedMem block(longName, 1024, &reporter);
        FAIL() << "no exception";
    } catch (const SharedMemoryError& e) {
        std::string text = "Chyba pri vytváraní zdieľanej pamäti " + longName + " (" + std::to_string(ENAMETOOLONG) + ")";
        EXPECT_EQ(e.what(), text);
        EXPECT_EQ(e.code(), ENAMETOOLONG);
        EXPECT_EQ(reporter.shown, Lines{text});
    }
    EXPECT_THROW(TSharedMem("ZERO", 0), SharedMemoryError);
    try {
        TUdal ev(longName, true);
        FAIL() << "no exception";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENAMETOOLONG);
    }
    // A block with data in its first bytes where an event is expected.
    vork_shm s;
    ASSERT_EQ(vork_shm_open(&s, "ODD", 64, VORK_CHAN_CREATE), 0);
    vork_chan_put32(s.addr, 0, 2); // "initialised"
    vork_chan_put32(s.addr, 4, 1234);
    vork_event e;
    EXPECT_EQ(vork_event_open(&e, "ODD", VORK_CHAN_CREATE, 1, 0), EPROTO);
    vork_shm_close(&s);
    shm_unlink(names.path("ODD").c_str());
}
