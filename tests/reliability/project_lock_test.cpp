// Two environments on one project: the second is told and opens it
// read-only, so that the first one's saves are never overwritten by its
// older copy; a lock that a dead process left is taken over.
#include "../project/test_dir.h"

#include "vork/project/project_error.h"
#include "vork/project/project_lock.h"
#include "vork/project/projekt.h"
#include "vork/project/texts.h"

#include <sys/file.h>

namespace vork {
namespace {

using test::TempDir;
using test::readFile;
using test::writeFile;

const std::string kProject = "-1\r\n-1\r\n0\r\n0\r\n1\r\n0\r\nfirst.txt\r\n";

std::string lockedText(const std::string& file) { return texts::kLockedHead + file + texts::kLockedTail; }

TEST(ProjectLock, TheSecondInstanceIsToldAndNeverOverwritesTheFirst)
{
    TempDir dir;
    const std::string file = dir / "calc.lyy";
    writeFile(file, kProject);
    FixedAnswerUi ui1(FixedAnswerUi::Answer::No, nullptr), ui2(FixedAnswerUi::Answer::No, nullptr);
    auto first = std::make_unique<Projekt>(file, false, ui1);
    EXPECT_FALSE(first->readOnly());
    EXPECT_EQ(ui1.messagesShown(), 0);
    {
        Projekt second(file, false, ui2);
        EXPECT_TRUE(second.readOnly());
        EXPECT_EQ(ui2.lastMessage(), lockedText(file));
        EXPECT_EQ(second.runArguments(), "first.txt");  // it still shows the project
        first->setRunArguments("saved-by-first.txt");
        EXPECT_TRUE(first->save());
        second.setRunArguments("stale.txt");
        second.argumentHistory().add("stale");
        EXPECT_FALSE(second.save());
        EXPECT_EQ(ui2.lastMessage(), texts::kReadOnlyHead + file + texts::kReadOnlyTail);
        second.closeForUse();
    }  // the read-only copy closes silently and writes nothing
    EXPECT_EQ(ui2.messagesShown(), 2);
    EXPECT_NE(readFile(file).find("saved-by-first.txt"), std::string::npos);
    EXPECT_FALSE(test::exists(dir / "calc.arg"));
    first.reset();
    EXPECT_FALSE(test::exists(ProjectLock::fileFor(file)));  // a clean close leaves no lock file

    // once the first has closed, the project opens writable again
    FixedAnswerUi ui3(FixedAnswerUi::Answer::No, nullptr);
    Projekt third(file, false, ui3);
    EXPECT_FALSE(third.readOnly());
    EXPECT_EQ(ui3.messagesShown(), 0);
}

struct LockCase {
    const char* what;
    bool otherProcessHolds;  // a live process holds the lock file
    bool staleFile;          // a lock file without a holder is there
    bool readOnly;
};

TEST(ProjectLock, LiveHoldersLockAndDeadOnesDoNot)
{
    const LockCase cases[] = {
        {"no lock file", false, false, false},
        {"lock file of a process that died", false, true, false},
        {"lock held by another process", true, true, true},
    };
    for (const LockCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir / "calc.ly";
        writeFile(file, kProject);
        if (c.staleFile)
            writeFile(ProjectLock::fileFor(file), "");
        pid_t holder = -1;
        int ready[2] = {-1, -1};
        if (c.otherProcessHolds) {
            ASSERT_EQ(::pipe(ready), 0);
            holder = ::fork();
            if (holder == 0) {
                int fd = ::open(ProjectLock::fileFor(file).c_str(), O_RDWR);
                const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
                if (::write(ready[1], &ok, 1) != 1)
                    ::_exit(1);
                ::pause();
                ::_exit(0);
            }
            char ok = 0;
            ASSERT_EQ(::read(ready[0], &ok, 1), 1);
            ASSERT_EQ(ok, 'y');
        }
        FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
        {
            Projekt p(file, false, ui);
            EXPECT_EQ(p.readOnly(), c.readOnly);
            EXPECT_EQ(ui.messagesShown(), c.readOnly ? 1 : 0);
            p.setRunArguments("changed");
        }
        EXPECT_EQ(readFile(file).find("changed") != std::string::npos, !c.readOnly);
        if (holder > 0) {
            ::kill(holder, SIGKILL);
            ::waitpid(holder, nullptr, 0);
            ::close(ready[0]);
            ::close(ready[1]);
            // the holder is gone: its lock went with it
            FixedAnswerUi again(FixedAnswerUi::Answer::No, nullptr);
            Projekt p(file, false, again);
            EXPECT_FALSE(p.readOnly());
        }
    }
}

TEST(ProjectLock, ANewProjectThatAnotherInstanceIsCreatingIsRefused)
{
    TempDir dir;
    const std::string file = dir / "new.lyy";
    ProjectLock other(file);
    ASSERT_TRUE(other.held());
    FixedAnswerUi ui(FixedAnswerUi::Answer::Yes, nullptr);
    try {
        Projekt p(file, true, ui);
        ADD_FAILURE() << "created over another instance";
    } catch (const ProjectError& e) {
        EXPECT_EQ(std::string(e.what()), lockedText(file));
    }
    EXPECT_FALSE(test::exists(dir / "new.l"));
}

} // namespace
} // namespace vork
