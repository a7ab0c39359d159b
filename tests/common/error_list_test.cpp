#include "vork/error_list.h"

#include <gtest/gtest.h>

using namespace vork;

TEST(ErrorItem, Formats)
{
    struct Case { const char* prefix; const char* file; int line; const char* want; };
    const Case cases[] = {
        {kLexErrorPrefix, "calc.l", 12, "[DUQ - LEX Chyba] calc.l(12): text"},
        {kLexErrorPrefix, "calc.l", 0, "[DUQ - LEX Chyba] calc.l(0): text"},
        {kLexErrorPrefix, "calc.l", -1, "[DUQ - LEX Chyba] calc.l: text"},
        {kYaccErrorPrefix, "calc.y", 3, "[DUQ - YACC Chyba] calc.y(3): text"},
        {kLexWarningPrefix, "a.l", 7, "[DUQ - LEX Upozornenie] a.l(7): text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatErrorItem(c.prefix, c.file, "text", c.line), c.want);
}

TEST(ListSinks, CountsErrorsAndWarningsAndUsesFileNamePart)
{
    ListSinks s("/home/u/proj/calc.l", "/home/u/proj/calc.y");
    s.lexError("bad", 12);
    s.yaccError("worse", -1);
    s.lexWarning("hmm", 4);
    ASSERT_EQ(s.errors().size(), 3u);
    EXPECT_EQ(s.errors()[0], "[DUQ - LEX Chyba] calc.l(12): bad");
    EXPECT_EQ(s.errors()[1], "[DUQ - YACC Chyba] calc.y: worse");
    EXPECT_EQ(s.errorCounter(), "2");
    EXPECT_EQ(s.warningCounter(), "1");
    EXPECT_EQ(s.table().kindAt(1), ErrorKind::Yacc);
    EXPECT_EQ(s.table().lineAt(1), -1);
}

TEST(ListSinks, TableStopsAtTenButItemsGoOn)
{
    ListSinks s("x.l", "x.y");
    for (int i = 0; i < 9; ++i)
        s.lexError("e", i);
    s.lexWarning("w", 9);   // tenth entry
    s.lexWarning("w", 10);  // shown, not counted
    s.lexError("e", 11);    // shown, not counted
    EXPECT_EQ(s.errors().size(), 12u);
    EXPECT_EQ(s.table().count(), 10u);
    EXPECT_EQ(s.table().warnings(), 1u);
    EXPECT_EQ(s.errorCounter(), "9");
    EXPECT_EQ(s.warningCounter(), "1");
}

TEST(ListSinks, ResetAndClear)
{
    ListSinks s("x.l", "x.y");
    s.lexError("e", 1);
    s.message("m");
    s.clearLists();
    EXPECT_TRUE(s.errors().empty());
    EXPECT_TRUE(s.messages().empty());
    EXPECT_EQ(s.table().count(), 1u);  // clearing the lists keeps the jump table
    s.resetForBuild();
    EXPECT_EQ(s.table().count(), 0u);
    EXPECT_EQ(s.errorCounter(), "0");
}

TEST(MessageFormat, PrintfRulesAndLongTexts)
{
    ListSinks s;
    messagef(s, "%d/%d", 3, 4);
    std::string longText(400, 'x');
    messagef(s, "%s!", longText.c_str());
    ASSERT_EQ(s.messages().size(), 2u);
    EXPECT_EQ(s.messages()[0], "3/4");
    EXPECT_EQ(s.messages()[1], longText + "!");
}
