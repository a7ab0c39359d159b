// The window builds through the same engine as the headless runner: a
// project in a directory with a blank is made and run with F9, and an
// edit within the same two seconds as the last make is made again.
#include "window_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace vork::shell::test {
namespace {

void setTime(const std::string& path, time_t seconds, long nanoseconds)
{
    struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// F9 and waits for the end of the run; the task list of the make.
QStringList f9(TForm_Main& window, const std::function<bool()>& idle)
{
    EXPECT_TRUE(window.runCommand("HM_RunRun"));
    EXPECT_TRUE(waitFor([&] { return idle() && items(window.taskListExe()).contains("a = 42"); }, 60000))
        << items(window.taskListExe()).join('|').toStdString();
    return items(window.taskList());
}

TEST_F(WindowTest, F9MakesAndRunsAProjectWhosePathHasBlanksAndShellCharacters)
{
    const std::string sub = dir / "my projects; $(x)";
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    const std::string src = std::string(VORK_SOURCE_DIR) + "/examples/calc/";
    for (const char* f : {"calc.lyy", "calc.l", "calc.y", "input.txt"})
        vork::test::writeFile(sub + "/" + f, vork::test::readFile(src + f));
    ASSERT_TRUE(window->openProject(QString::fromStdString(sub + "/calc.lyy"), false));
    const QStringList log = f9(*window, [this] { return idle(); });
    EXPECT_TRUE(log.contains(QString::fromUtf8("Prekladač spustený .."))) << log.join('|').toStdString();
    EXPECT_TRUE(vork::test::exists(sub + "/calc.exe"));
    EXPECT_FALSE(items(window->taskListExe()).join('|').contains("No such file"));
}

TEST_F(WindowTest, AnEditOneSecondAfterAMakeIsMadeAgain)
{
    const QString project = copyExample("calc", "calc.lyy");
    // An even second, so that the edit stays within the same two-second
    // stamp.
    const time_t slot = 1600000000;
    setTime(dir / "calc.l", slot, 0);
    setTime(dir / "calc.y", slot, 0);
    ASSERT_TRUE(window->openProject(project, false));
    f9(*window, [this] { return idle(); });

    struct Edit {
        const char* file;
        const char* generated;
    } edits[] = {
        {"calc.l", "Generovanie lexikalneho analyzatora: calc.l->lexyy.cpp"},
        {"calc.y", "Generovanie syntaktickeho analyzatora: calc.y->calc.cpp"},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.file);
        vork::test::writeFile(dir / e.file, vork::test::readFile(dir / e.file) + "\n");
        setTime(dir / e.file, slot + 1, 0);
        const QStringList log = f9(*window, [this] { return idle(); });
        EXPECT_TRUE(log.contains(QString::fromUtf8(e.generated))) << log.join('|').toStdString();
        EXPECT_FALSE(log.contains(QString::fromUtf8("Program je aktuálny. Netreba zostavovať.")));
    }
    // Nothing changed since: the program is taken as it is.
    const QStringList log = f9(*window, [this] { return idle(); });
    EXPECT_TRUE(log.contains(QString::fromUtf8("Program je aktuálny. Netreba zostavovať.")))
        << log.join('|').toStdString();
}

} // namespace
} // namespace vork::shell::test
