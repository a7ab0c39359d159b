// "Exe prekladač" without a window or a program: the compiler's lines stay
// above a run's, a run keeps its newest lines, and typed input is echoed
// after what the program wrote before it.
#include "vork/project/build_texts.h"
#include "vork/shell/run_console.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace vork::shell::test {
namespace {

QStringList shown(const RunConsole& console)
{
    QStringList out;
    for (int i = 0; i < console.list()->count(); ++i)
        out << console.list()->item(i)->text();
    return out;
}

// Lets the console move everything pending into its list.
void settle(RunConsole& console)
{
    for (int i = 0; i < 1000 && console.pending(); ++i)
        QTest::qWait(1);
}

QString droppedNotice(long long n)
{
    return QString::fromUtf8(vork::texts::kDroppedHead) + QString::number(n) +
           QString::fromUtf8(vork::texts::kDroppedTail);
}

TEST(RunConsole, TheNewestLinesOfARunStayBelowTheCompilersLines)
{
    const int limit = RunConsole::kLineLimit;
    struct Case {
        const char* name;
        int compilerLines;
        int runLines;
    };
    const Case cases[] = {
        {"nothing written", 2, 0},
        {"a few lines", 2, 3},
        {"exactly the limit", 1, limit},
        {"one too many", 1, limit + 1},
        {"several batches over the limit", 0, 3 * limit + 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunConsole console;
        std::vector<std::string> compiler;
        for (int i = 0; i < c.compilerLines; ++i)
            compiler.push_back("cc: line " + std::to_string(i));
        console.replaceLines(compiler);
        console.markCompilerLines();
        console.beginRun();
        for (int i = 0; i < c.runLines; ++i) {
            console.addRunLine(QStringLiteral("out %1").arg(i));
            // A program writes while the event loop turns now and then.
            if (i % 4999 == 0)
                QCoreApplication::processEvents();
        }
        console.runEnded();
        settle(console);

        const QStringList lines = shown(console);
        const long long dropped = std::max(0, c.runLines - limit);
        EXPECT_EQ(console.droppedLines(), dropped);
        const int kept = std::min(c.runLines, limit);
        ASSERT_EQ(lines.size(), c.compilerLines + kept + (dropped > 0 ? 1 : 0));
        for (int i = 0; i < c.compilerLines; ++i) {
            EXPECT_EQ(lines.at(i), QString::fromStdString(compiler[static_cast<size_t>(i)]));
        }
        if (dropped > 0) {
            EXPECT_EQ(lines.at(c.compilerLines), droppedNotice(dropped));
        }
        if (kept > 0) {
            EXPECT_EQ(lines.back(), QStringLiteral("out %1").arg(c.runLines - 1));
            EXPECT_EQ(lines.at(lines.size() - kept), QStringLiteral("out %1").arg(c.runLines - kept));
        }
        EXPECT_EQ(console.compilerLines(), compiler);
    }
}

TEST(RunConsole, ANewRunReplacesTheLastRunsLinesAndItsCount)
{
    RunConsole console;
    console.replaceLines({"warning: x"});
    console.markCompilerLines();
    console.beginRun();
    for (int i = 0; i < RunConsole::kLineLimit + 5; ++i)
        console.addRunLine(QStringLiteral("first %1").arg(i));
    console.runEnded();
    settle(console);
    ASSERT_EQ(console.droppedLines(), 5);

    console.beginRun();
    console.addRunLine(QStringLiteral("second"));
    console.runEnded();
    settle(console);
    EXPECT_EQ(shown(console), (QStringList{"warning: x", "second"}));
    EXPECT_EQ(console.droppedLines(), 0);
}

TEST(RunConsole, TypedLinesAreEchoedAfterWhatTheProgramWroteBefore)
{
    RunConsole console;
    QSignalSpy entered(&console, &RunConsole::lineEntered);
    QSignalSpy ended(&console, &RunConsole::inputEnded);
    console.beginRun();
    console.setInputEnabled(true);
    console.addRunLine(QStringLiteral("Zadaj výraz:"));
    console.input()->setText(QStringLiteral("6 * 7"));
    QMetaObject::invokeMethod(console.input(), "returnPressed");
    ASSERT_EQ(entered.count(), 1);
    const QString typed = entered.at(0).at(0).toString();
    EXPECT_EQ(typed, QStringLiteral("6 * 7"));
    EXPECT_TRUE(console.input()->text().isEmpty());
    console.echo(typed);
    console.addRunLine(QStringLiteral("42"));
    console.runEnded();
    settle(console);
    EXPECT_EQ(shown(console), (QStringList{"Zadaj výraz:", "6 * 7", "42"}));

    console.endInputButton()->click();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(console.input()->isEnabled());
    EXPECT_FALSE(console.endInputButton()->isEnabled());
}

TEST(RunConsole, ClearingDuringARunKeepsTheCountOfDroppedLinesInItsPlace)
{
    RunConsole console;
    console.replaceLines({"cc: one", "cc: two"});
    console.markCompilerLines();
    console.beginRun();
    for (int i = 0; i < RunConsole::kLineLimit + 3; ++i)
        console.addRunLine(QStringLiteral("a %1").arg(i));
    settle(console);
    // "Vymazat správy" while the program still writes.
    console.clear();
    EXPECT_EQ(console.list()->count(), 0);
    EXPECT_TRUE(console.compilerLines().empty());
    for (int i = 0; i < 4; ++i)
        console.addRunLine(QStringLiteral("b %1").arg(i));
    console.runEnded();
    settle(console);
    const QStringList lines = shown(console);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.front(), droppedNotice(console.droppedLines()));
    EXPECT_EQ(lines.back(), QStringLiteral("b 3"));
}

} // namespace
} // namespace vork::shell::test
