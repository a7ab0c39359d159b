// The problem list through the window: the C compiler's errors inside a
// grammar action and the grammar's conflicts reach "Chyby" at the .y line,
// the counters count them, a double click goes to the line and column, and
// the editor's margin marks the line with the message.
#include "window_fixture.h"

#include "vork/shell/code_editor.h"
#include "vork/shell/problem_view.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <algorithm>

namespace vork::shell::test {
namespace {

using vork::test::readFile;
using vork::test::writeFile;

// The 1-based line of text that holds `needle`.
int lineOf(const std::string& text, const std::string& needle)
{
    const size_t at = text.find(needle);
    if (at == std::string::npos)
        return -1;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

CodeEditor* codeEditor(TStranka* page)
{
    return page ? qobject_cast<CodeEditor*>(page->editor()) : nullptr;
}

TEST_F(WindowTest, ACompilerErrorInAGrammarActionLandsOnTheGrammarLine)
{
    const QString project = copyExample("calc", "calc.lyy");
    std::string grammar = readFile(dir / "calc.y");
    const std::string action = "{ $$ = $1 - $3; }";
    ASSERT_NE(grammar.find(action), std::string::npos);
    grammar.replace(grammar.find(action), action.size(), "{ $$ = $1 - undefined_name; }");
    writeFile(dir / "calc.y", grammar);
    const int badLine = lineOf(grammar, "undefined_name");
    // The compiler's column counts the action as compiled ($1 rewritten);
    // the caret goes to the name the message quotes.
    const size_t at = grammar.find("undefined_name");
    const int badIndex = static_cast<int>(at - (grammar.rfind('\n', at) + 1));

    ASSERT_TRUE(window->openProject(project, false));
    window->showFile(QString::fromStdString(dir / "calc.l"));
    ASSERT_TRUE(window->runCommand("HM_PrjMake"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));

    const vork::ProblemList& problems = window->problemView()->problems();
    int found = -1;
    for (int i = 0; i < problems.size() && found < 0; ++i)
        if (problems.at(i).text.find("undefined_name") != std::string::npos)
            found = i;
    ASSERT_GE(found, 0) << items(window->taskListExe()).join('|').toStdString();
    const vork::Problem& p = problems.at(found);
    EXPECT_EQ(p.file, dir / "calc.y");
    EXPECT_EQ(p.line, badLine);
    EXPECT_GT(p.column, 0);
    EXPECT_EQ(window->chybovyBox()->count(), problems.size());
    EXPECT_TRUE(window->chybovyBox()->item(found)->text().startsWith(
        QString::fromUtf8("[C prekladač Chyba] calc.y(%1:%2): ").arg(badLine).arg(p.column)))
        << window->chybovyBox()->item(found)->text().toStdString();
    EXPECT_EQ(window->errorCounter()->text(), QString::number(problems.errors()));
    EXPECT_GE(problems.errors(), 1);
    EXPECT_EQ(window->pageCtrl()->currentIndex(), 2);

    window->errorListJump(found);
    TStranka* page = window->activePage();
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->fileName().endsWith("calc.y"));
    EXPECT_EQ(page->editor()->textCursor().blockNumber(), badLine - 1);
    EXPECT_EQ(page->editor()->textCursor().positionInBlock(), badIndex);
    EXPECT_EQ(window->statusText(0), QString("\t[%1 : %2]").arg(badLine).arg(badIndex + 1));

    CodeEditor* editor = codeEditor(page);
    ASSERT_TRUE(editor);
    ASSERT_EQ(editor->marks().count(badLine), 1u);
    EXPECT_TRUE(editor->marks().at(badLine).error);
    EXPECT_TRUE(editor->marks().at(badLine).message.contains("undefined_name"));
    // The margin's hover text at the line's height is the message.
    const QRect lineRect = editor->cursorRect();
    EXPECT_TRUE(editor->markMessageAt(lineRect.center().y()).contains("undefined_name"));
    shot("problems");

    // "Vymazat správy" empties the list and the marks; the counters stay.
    const QString errors = window->errorCounter()->text();
    ASSERT_TRUE(window->runCommand("ClearLog"));
    EXPECT_EQ(window->chybovyBox()->count(), 0);
    EXPECT_TRUE(editor->marks().empty());
    EXPECT_EQ(window->errorCounter()->text(), errors);
}

TEST(ProblemView, CompilerColumnsToCharacters)
{
    struct Case {
        const char* line;
        int column;
        int index;
    };
    const Case cases[] = {
        {"abc", 1, 0},       {"abc", 3, 2},        {"abc", 9, 3},     {"\tx", 9, 1},   {"\tx", 1, 0},
        {"ab\tx", 9, 3},     {"ab\tx", 3, 2},      {"\t\tx", 17, 2}, {"", 4, 0},      {"12345678\tx", 17, 9},
        {"\t\tx", 5, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(characterIndexOfColumn(QString::fromLatin1(c.line), c.column), c.index) << c.line << " " << c.column;
}

// A build adds its problems one by one; the pages' marks are made once the
// run of additions is over, from all of them, and not once per problem
// (hundreds of conflicts would make that a square of the list's length).
TEST(ProblemView, ManyProblemsOfOneBuildChangeTheMarksOnce)
{
    QListWidget list;
    QLabel errors, warnings;
    ProblemView view(&list, &errors, &warnings);
    int changes = 0;
    QObject::connect(&view, &ProblemView::changed, [&] { ++changes; });
    for (int i = 0; i < 300; ++i) {
        vork::Problem p;
        p.severity = i % 3 ? vork::Problem::Severity::Warning : vork::Problem::Severity::Error;
        p.file = i % 2 ? "dir/../calc.y" : "calc.y";
        p.line = 1 + i % 50;
        p.text = "problem " + std::to_string(i);
        view.add(p);
    }
    EXPECT_EQ(changes, 0) << "not before the event loop comes back";
    // The end of a batch tells at once, and only once.
    view.settle();
    EXPECT_EQ(changes, 1);
    QCoreApplication::processEvents();
    view.settle();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(errors.text(), QStringLiteral("100"));
    EXPECT_EQ(warnings.text(), QStringLiteral("200"));
    const auto marks = view.marksFor(QStringLiteral("./calc.y"));
    ASSERT_EQ(marks.size(), 50u);
    EXPECT_TRUE(marks.at(1).error);
    EXPECT_EQ(marks.at(1).message.count(QLatin1Char('\n')), 5) << "six problems on line 1";
    EXPECT_TRUE(view.marksFor(QStringLiteral("other.y")).empty());
    view.clear();
    EXPECT_EQ(changes, 2) << "emptied at once";
    EXPECT_TRUE(view.marksFor(QStringLiteral("calc.y")).empty());
}

TEST(ProblemView, TheCaretGoesToTheQuotedNameWhenTheColumnMissesIt)
{
    struct Case {
        const char* line;
        int column;
        const char* message;
        int index;
    };
    const Case cases[] = {
        {"x = $1 - undefined_name;", 30, "\u2018undefined_name\u2019 was not declared", 9},
        {"x = yyvsp[0] - y;", 16, "'y' undeclared", 15},
        {"a = b;", 5, "expected ';' before 'c'", 4},
        {"a = bb + b;", 10, "'b' undeclared", 9},
        {"a = bb;", 5, "'b' undeclared", 4},
        {"ab = c;", 6, "no quote here", 5},
        {"\tq;", 9, "'q' here", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(problemCharacterIndex(QString::fromLatin1(c.line), c.column, QString::fromUtf8(c.message)), c.index)
            << c.line;
}

TEST_F(WindowTest, ConflictsAreWarningsOnTheirRulesLines)
{
    const QString project = copyExample("calc", "calc.lyy");
    std::string grammar = readFile(dir / "calc.y");
    const std::string anchor = "\t| '(' expr ')'";
    ASSERT_NE(grammar.find(anchor), std::string::npos);
    grammar.insert(grammar.find(anchor), "\t| expr '?' expr\t{ $$ = $1 ? $3 : 0; }\n");
    writeFile(dir / "calc.y", grammar);
    const int ruleLine = lineOf(grammar, "expr '?' expr");

    ASSERT_TRUE(window->openProject(project, false));
    ASSERT_TRUE(window->runCommand("HM_PrjBuild"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    // The marks follow the list once the event loop has come back.
    QCoreApplication::processEvents();

    const vork::ProblemList& problems = window->problemView()->problems();
    ASSERT_GE(problems.warnings(), 1) << items(window->taskList()).join('|').toStdString();
    int onRule = 0;
    for (int i = 0; i < problems.size(); ++i) {
        const vork::Problem& p = problems.at(i);
        EXPECT_EQ(p.severity, vork::Problem::Severity::Warning) << p.item;
        EXPECT_EQ(p.file, window->project()->yaccSpecFile()) << p.item;
        EXPECT_NE(p.text.find("konflikt v stave "), std::string::npos) << p.item;
        onRule += p.line == ruleLine;
    }
    EXPECT_GE(onRule, 1);
    EXPECT_EQ(window->warningCounter()->text(), QString::number(problems.warnings()));
    EXPECT_EQ(window->errorCounter()->text(), "0");
    TStranka* page = window->findPage(QString::fromStdString(window->project()->yaccSpecFile()));
    ASSERT_TRUE(codeEditor(page));
    ASSERT_EQ(codeEditor(page)->marks().count(ruleLine), 1u);
    EXPECT_FALSE(codeEditor(page)->marks().at(ruleLine).error);
    for (int i = 0; i < problems.size(); ++i)
        if (problems.at(i).line == ruleLine) {
            window->errorListJump(i);
            break;
        }
    EXPECT_EQ(window->activePage(), page);
    EXPECT_EQ(page->editor()->textCursor().blockNumber(), ruleLine - 1);
    window->pageCtrl()->setCurrentIndex(2);
    shot("editor-margin");
}

} // namespace
} // namespace vork::shell::test
