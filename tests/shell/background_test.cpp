// The window while the project works: a generator on its worker thread,
// watched, stopped and followed by a make that works; a program that
// prints far more than the console keeps.
#include "window_fixture.h"

#include "vork/project/build_texts.h"
#include "vork/project/child_process.h"
#include "vork/project/generators.h"
#include "vork/shell/run_console.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>
#include <sys/stat.h>

namespace vork::shell::test {

namespace {

// The real scanner generator and Jal, and a parser generator that writes
// a line, creates its output and then holds on: until the window has shown
// the line (then it finishes), or until it is asked to stop (then it
// removes its output, as the real one does).
class HoldingGenerators : public vork::Generators {
public:
    enum class Until { LineShown, Stopped };
    explicit HoldingGenerators(Until until) : until_(until) {}

    int lexRun(Sinks& sinks, const std::string& skeleton, const std::string& spec, const std::string& output,
               int slovak, int statistics, int optimise, int large) override
    {
        return builtInGenerators().lexRun(sinks, skeleton, spec, output, slovak, statistics, optimise, large);
    }
    int yaccRun(Sinks& sinks, const std::string&, const std::string&, const std::string& output, int, int*, int,
                const std::string&, const std::string&, int, int) override
    {
        sinks.message("first line");
        vork::test::writeFile(output, "half a parser\n");
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < until) {
            if (until_ == Until::LineShown && lineShown) {
                sinks.message("last line");
                return 0;
            }
            if (until_ == Until::Stopped && sinks.stopRequested()) {
                std::remove(output.c_str());
                return 1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return 7;  // never told: the test fails on it
    }
    bool jalTranslate(const std::string& source, std::ostream& console, std::string& messageFile) override
    {
        return builtInGenerators().jalTranslate(source, console, messageFile);
    }

    std::atomic<bool> lineShown{false};

private:
    Until until_;
};

// What the window looked like while the generator held on.
struct Seen {
    bool stepSeen = false;
    bool progressAtOnce = false;
    bool lineShown = false;
    bool progressShown = false;
    bool windowEnabled = true;
    bool progressEnabled = false;
    QString title;
    QString status;
};

} // namespace

// The parser generator runs while the window's event loop goes on: its
// first line is in "Parser" while it still works, the title and the status
// bar name the step, the main window takes no input but the progress
// window does, and it appears only after half a second.  Esc or
// "Zastaviť" there stops the generator, which removes its output; the log
// says so; the next make works.
TEST_F(WindowTest, AGenerationShowsItsLinesAndStopsOnRequestThenMakeWorks)
{
    struct Case {
        const char* what;
        HoldingGenerators::Until until;
        std::function<void(QDialog&)> stop;  // null: nobody stops it
        const char* command;
        const char* lastLine;
    };
    const Case cases[] = {
        {"lines show before the end", HoldingGenerators::Until::LineShown, nullptr, "HM_PrjGenSynt", "last line"},
        {"Esc", HoldingGenerators::Until::Stopped, [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
         "HM_PrjReMake", texts::kStopped},
        {"the button", HoldingGenerators::Until::Stopped,
         [](QDialog& d) { QTest::mouseClick(d.findChild<QPushButton*>("ProgressStop"), Qt::LeftButton); },
         "HM_PrjReBuild", texts::kStopped},
    };
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    const QString title = window->windowTitle();
    QDialog* progress = window->progressWindow();
    ASSERT_NE(progress, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HoldingGenerators holding(c.until);
        window->project()->setGenerators(holding);
        Seen seen;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            // The scanner step of a make comes first; only the parser's
            // step is watched.
            if (!window->project()->generating() || !window->windowTitle().endsWith(" [DUQ - YACC]"))
                return;
            if (!seen.stepSeen) {
                seen.stepSeen = true;
                seen.progressAtOnce = progress->isVisible();
            }
            if (!seen.lineShown && items(window->taskList()).contains("first line")) {
                seen.lineShown = true;
                seen.title = window->windowTitle();
                seen.status = window->statusText(2);
                seen.windowEnabled = window->QWidget::isEnabled();
                holding.lineShown = true;
            }
            if (progress->isVisible() && !seen.progressShown) {
                seen.progressShown = true;
                seen.progressEnabled = progress->isEnabled();
                if (c.stop)
                    c.stop(*progress);
            }
        });
        watch.start();
        ASSERT_TRUE(window->runCommand(c.command));
        watch.stop();
        ASSERT_TRUE(waitFor([&] { return idle(); }));

        EXPECT_TRUE(seen.lineShown) << "the generator's line showed while it ran";
        EXPECT_EQ(seen.title, title + " [DUQ - YACC]");
        EXPECT_EQ(seen.status, QString::fromUtf8(texts::kYaccGeneration) + "calc.y->calc.cpp");
        EXPECT_FALSE(seen.windowEnabled);
        if (c.stop) {
            EXPECT_TRUE(seen.progressShown);
            EXPECT_TRUE(seen.progressEnabled) << "the progress window takes input while the main one does not";
        }
        EXPECT_FALSE(seen.progressAtOnce) << "the progress window waits for a long step";
        const QStringList log = items(window->taskList());
        const qsizetype first = log.indexOf("first line");
        EXPECT_GE(first, 0);
        EXPECT_GT(log.indexOf(QString::fromUtf8(c.lastLine)), first) << log.join('|').toStdString();
        EXPECT_FALSE(log.contains(QString::fromUtf8(texts::kParserError)));
        EXPECT_FALSE(log.contains(QString::fromUtf8(texts::kExeGeneration) + "calc.cpp")) << "nothing is compiled";
        EXPECT_FALSE(log.contains(QString::fromUtf8(texts::kRunStarted)));
        EXPECT_EQ(vork::test::exists(dir / "calc.cpp"), !c.stop) << "a stopped generator leaves no output";
        EXPECT_FALSE(progress->isVisible());
        EXPECT_TRUE(window->statusText(2).isEmpty());
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_TRUE(window->QWidget::isEnabled());
        EXPECT_FALSE(window->project()->generating());
    }

    // With the real generators again, make generates, compiles and leaves
    // the program.
    window->project()->setGenerators(builtInGenerators());
    ASSERT_TRUE(window->runCommand("HM_PrjMake"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    const QStringList log = items(window->taskList());
    EXPECT_FALSE(log.contains(QString::fromUtf8(texts::kStopped))) << log.join('|').toStdString();
    EXPECT_TRUE(vork::test::exists(dir / "calc.exe"));
    EXPECT_EQ(window->windowTitle(), title);
}

// A program's output under "Exe prekladač": however much it writes, the
// window keeps the newest lines of the run, in order, with one line above
// them that counts the dropped ones; the run ends with its last line shown.
TEST_F(WindowTest, TheConsoleKeepsTheNewestLinesOfAnyAmountOfOutput)
{
    const int limit = RunConsole::kLineLimit;
    struct Case {
        const char* what;
        const char* script;   // the program's body
        bool halt;            // "Ukončiť prekladač" once output flows
        long long dropped;    // -1: some, not known in advance
        QStringList tail;     // the last lines shown
    };
    const Case cases[] = {
        {"200000 lines", "exec seq 1 200000", false, 200000 - limit, {"199999", "200000"}},
        {"a few lines, one with CR LF", "printf 'a\\r\\nb\\n\\nc'", false, 0, {"a", "b", "", "c"}},
        {"text without line ends", "head -c 140000 /dev/zero | tr '\\0' x", false, 0, {}},
        // Halted at any moment, its last line may be cut short.
        {"a program that never stops", "exec yes 'one more line'", true, -1, {}},
    };
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    const QString title = window->windowTitle();
    const std::string program = dir / "calc.exe";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vork::test::writeFile(program, std::string("#!/bin/sh\n") + c.script + "\n");
        ::chmod(program.c_str(), 0755);
        window->project()->runNow();
        ASSERT_TRUE(window->project()->running());
        if (c.halt) {
            ASSERT_TRUE(waitFor([&] { return window->runConsole()->droppedLines() > 0; }));
            ASSERT_TRUE(window->runCommand("HM_RunHalt"));
        }
        // The last batches follow the end of the run.
        ASSERT_TRUE(waitFor([&] { return idle() && !window->runConsole()->pending(); }, 60000));
        const QStringList shown = items(window->taskListExe());
        EXPECT_LE(shown.size(), limit + 1) << "memory stays bounded";
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_FALSE(window->isEnabled("HM_RunHalt"));
        const long long dropped = window->runConsole()->droppedLines();
        const QString notice = QString::fromUtf8(texts::kDroppedHead) + QString::number(dropped) +
                               QString::fromUtf8(texts::kDroppedTail);
        if (c.dropped >= 0)
            EXPECT_EQ(dropped, c.dropped);
        else
            EXPECT_GT(dropped, 0);
        if (dropped > 0) {
            ASSERT_EQ(shown.size(), limit + 1);
            EXPECT_EQ(shown.first(), notice);
        } else {
            EXPECT_FALSE(shown.isEmpty() ? false : shown.first().startsWith(QString::fromUtf8(texts::kDroppedHead)));
        }
        if (!c.tail.isEmpty()) {
            ASSERT_GE(shown.size(), c.tail.size());
            EXPECT_EQ(shown.mid(shown.size() - c.tail.size()), c.tail) << shown.mid(shown.size() - 5).join('|').toStdString();
        }
        if (c.halt) {
            ASSERT_GE(shown.size(), 2);
            EXPECT_EQ(shown[shown.size() - 2], "one more line");
            EXPECT_TRUE(QString("one more line").startsWith(shown.last())) << shown.last().toStdString();
        }
        if (std::string(c.what) == "200000 lines") {
            // Every line kept, in order: 190001 to 200000.
            for (int i = 1; i <= limit; ++i)
                ASSERT_EQ(shown[i], QString::number(200000 - limit + i)) << i;
        }
        if (std::string(c.what) == "text without line ends") {
            // Pieces of bounded length, nothing lost.
            qsizetype total = 0;
            for (const QString& piece : shown) {
                EXPECT_LE(piece.size(), 65536);
                total += piece.size();
            }
            EXPECT_EQ(total, 140000);
        }
    }
}

} // namespace vork::shell::test

namespace vork::shell::test {

// A C compile that takes long gets the progress window too; "Zastaviť"
// kills the compiler, the log says it was stopped, no program is run, and
// the next make compiles as usual.
TEST_F(WindowTest, AStoppedCompileIsKilledAndTheNextMakeWorks)
{
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    const QString title = window->windowTitle();
    const std::string slow = dir / "slow-cc.sh";
    vork::test::writeFile(slow, "#!/bin/sh\necho compiling\nexec sleep 60\n");
    ::chmod(slow.c_str(), 0755);
    const std::string good = window->configuration().cCompilerPath;
    window->configuration().cCompilerPath = slow;
    QDialog* progress = window->progressWindow();
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return progress->isVisible(); }));
    EXPECT_TRUE(window->windowTitle().endsWith(" [C prekladac]"));
    EXPECT_FALSE(window->QWidget::isEnabled());
    EXPECT_EQ(window->statusText(2), QString::fromUtf8(texts::kExeGeneration) + "calc.cpp");
    QTest::keyClick(progress, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return idle(); }, 10000));
    QApplication::processEvents();

    const QStringList log = items(window->taskList());
    EXPECT_EQ(log.last(), QString::fromUtf8(texts::kStopped)) << log.join('|').toStdString();
    EXPECT_FALSE(log.contains(QString::fromUtf8(texts::kRunStarted)));
    const QStringList exe = items(window->taskListExe());
    EXPECT_TRUE(exe.contains("compiling")) << exe.join('|').toStdString();
    EXPECT_TRUE(exe.contains(QString::fromStdString(texts::compilerFailed(ChildProcess::kHaltedExitCode))));
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(window->statusText(2).isEmpty());
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_TRUE(window->QWidget::isEnabled());
    EXPECT_FALSE(vork::test::exists(dir / "calc.exe"));

    window->configuration().cCompilerPath = good;
    ASSERT_TRUE(window->runCommand("HM_PrjMake"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    EXPECT_TRUE(vork::test::exists(dir / "calc.exe"));
    EXPECT_NE(items(window->taskList()).last(), QString::fromUtf8(texts::kStopped));
}

} // namespace vork::shell::test
