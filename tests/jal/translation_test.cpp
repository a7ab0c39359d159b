// Messages, error reporting, output names and run independence.
#include "jal_test_support.h"

#include "jal/jal.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

using namespace jaltest;

namespace {

const std::string kHead = ".source A\n.class public B .super java/lang/Object\n";
const std::string kMethod = ".method public static m ()V\nreturn\n.endm\n";

using Lines = std::vector<std::string>;

TEST(JalTranslation, SuccessWritesBothMessagesWithCrLf)
{
    ScratchDir dir;
    Outcome o = translate(kHead + kMethod);
    EXPECT_TRUE(o.ok);
    EXPECT_TRUE(o.classWritten);
    EXPECT_EQ(o.console, "");
    std::string raw;
    ASSERT_TRUE(readFile("jaltemp.tmp", raw));
    EXPECT_EQ(raw, "Vstupny subor OK\r\nVystupny subor OK\r\n");
}

TEST(JalTranslation, SyntaxErrorsEndTheParse)
{
    struct Case {
        const char* name;
        std::string source;
        std::string console;
    } cases[] = {
        {"no .source", ".class public B .super C\n", "syntax error(LINE 1: .class)\n"},
        {"empty file", "", "syntax error(LINE 1: )\n"},
        {"missing .super", ".source A\n.class B C\n", "syntax error(LINE 2: C)\n"},
        {"field after method", kHead + kMethod + ".field x I\n", "syntax error(LINE 6: .field)\n"},
        {"implements after field", kHead + ".field x I\n.implements R\n", "syntax error(LINE 4: .implements)\n"},
        {"missing .endm", kHead + ".method m ()V\nreturn\n", "syntax error(LINE 5: )\n"},
        {"wrong operand", kHead + ".method m ()V\n\nbipush x\n.endm\n", "syntax error(LINE 5: x)\n"},
        {"ldc2_w wants a double", kHead + ".method m ()V\nldc2_w 2\n.endm\n", "syntax error(LINE 4: 2)\n"},
        {"ldc wants a string", kHead + ".method m ()V\nldc 2.5\n.endm\n", "syntax error(LINE 4: 2.5)\n"},
        {"type is not an identifier", kHead + ".field public int I\n", "syntax error(LINE 3: int)\n"},
        {"word after the last method", kHead + kMethod + "return\n", "syntax error(LINE 6: return)\n"},
        {"operand of unsupported", kHead + ".method m ()V\ncheckcast C\n.endm\n",
         "Neznama instrukcia(LINE 4: checkcast)\nsyntax error(LINE 4: C)\n"},
        {"string token text", kHead + ".method m ()V\n\"s\"\n.endm\n", "syntax error(LINE 4: \"s\")\n"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        Outcome o = translate(c.source);
        EXPECT_FALSE(o.ok) << c.name;
        EXPECT_FALSE(o.classWritten) << c.name;
        EXPECT_EQ(o.console, c.console) << c.name;
        EXPECT_EQ(o.messages, Lines{"Chybny subor \"t.jal\""}) << c.name;
    }
}

TEST(JalTranslation, UnknownDirectiveAndInstructionDoNotStopIt)
{
    ScratchDir dir;
    Outcome o = translate(kHead +
                          ".method public static m ()V\n"
                          "  .lines\n"
                          "  nop\n"
                          "  tableswitch\n"
                          "  lookupswitch instanceof\n"
                          "  return\n"
                          ".endm\n");
    EXPECT_TRUE(o.ok);
    EXPECT_TRUE(o.classWritten);
    EXPECT_EQ(o.console,
              "neznama direktiva(LINE 4: .lines)\n"
              "Neznama instrukcia(LINE 6: tableswitch)\n"
              "Neznama instrukcia(LINE 7: lookupswitch)\n"
              "Neznama instrukcia(LINE 7: instanceof)\n");
    EXPECT_EQ(o.messages, (Lines{"Vstupny subor OK", "Vystupny subor OK"}));
    ClassFile c;
    std::string error;
    ASSERT_TRUE(parseClass(o.classBytes, c, error)) << error;
    ASSERT_EQ(c.methods.size(), 1u);
    EXPECT_EQ(c.methods[0].code, std::string("\x00\xB1", 2));
}

TEST(JalTranslation, SecondRunStartsClean)
{
    ScratchDir dir;
    const std::string good = kHead + ".method public static m ()V\nldc \"x\"\nreturn\n.endm\n";
    Outcome first = translate(good);
    ASSERT_TRUE(first.ok);

    // A failure half-way through a method, with constants and labels added.
    Outcome bad = translate(kHead + ".method m ()V\nldc \"y\"\n.4 goto .4\n\n\nfoo\n");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.console, "syntax error(LINE 8: foo)\n");

    Outcome again = translate(good);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.classBytes, first.classBytes);

    Outcome badAgain = translate(kHead + ".method m ()V\nldc \"y\"\n.4 goto .4\n\n\nfoo\n");
    EXPECT_EQ(badAgain.console, bad.console);
}

TEST(JalTranslation, ClassFileNames)
{
    struct Case {
        const char* source;
        const char* output;
    } cases[] = {
        {"x.jal", "X.CLASS"},
        {"Hello.jal", "HELLO.CLASS"},
        {"./x.jal", "./X.CLASS"},
        {"../x.jal", "../X.CLASS"},
        {"v1.2/x.jal", "v1.2/X.CLASS"},
        {"sub/x.jal", "sub/X.CLASS"},
        {"/tmp/a.b/dir/prog.jal", "/tmp/a.b/dir/PROG.CLASS"},
        {"a.b.jal", "A.B.CLASS"},
        {"noext", "NOEXT.CLASS"},
        {"v1.2/noext", "v1.2/NOEXT.CLASS"},
        {"x\xe1.jal", "X\xe1.CLASS"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jal::class_file_name(c.source), c.output) << c.source;
}

TEST(JalTranslation, ClassFileLandsNextToTheSource)
{
    const char* sources[] = {"sub/x.jal", "v1.2/x.jal", "./x.jal"};
    for (const char* source : sources) {
        ScratchDir dir;
        mkdir("sub", 0700);
        mkdir("v1.2", 0700);
        Outcome o = translate(kHead, source);
        EXPECT_TRUE(o.ok) << source;
        EXPECT_TRUE(o.classWritten) << source << " -> " << jal::class_file_name(source);
        EXPECT_EQ(o.messages, (Lines{"Vstupny subor OK", "Vystupny subor OK"})) << source;
    }
}

TEST(JalTranslation, FileSystemFailures)
{
    {
        SCOPED_TRACE("missing source");
        ScratchDir dir;
        std::ostringstream console;
        EXPECT_FALSE(jal::jal_translate("missing.jal", console));
        EXPECT_EQ(readLines("jaltemp.tmp"), Lines{"Nemozno otvorit \"missing.jal\""});
        EXPECT_FALSE(exists("MISSING.CLASS"));
    }
    {
        SCOPED_TRACE("directory as source");
        ScratchDir dir;
        mkdir("d.jal", 0700);
        std::ostringstream console;
        EXPECT_FALSE(jal::jal_translate("d.jal", console));
        EXPECT_EQ(readLines("jaltemp.tmp"), Lines{"Nemozno otvorit \"d.jal\""});
    }
    {
        SCOPED_TRACE("class file can't be created");
        ScratchDir dir;
        mkdir("T.CLASS", 0700);
        Outcome o = translate(kHead);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.messages, (Lines{"Vstupny subor OK", "Nemozno vytvorit \"T.CLASS\""}));
    }
    {
        SCOPED_TRACE("message file can't be created");
        ScratchDir dir;
        mkdir("jaltemp.tmp", 0700);
        writeFile("t.jal", kHead);
        std::ostringstream console;
        EXPECT_TRUE(jal::jal_translate("t.jal", console));
        EXPECT_EQ(console.str(), "Vstupny subor OK\nVystupny subor OK\n");
        EXPECT_TRUE(exists("T.CLASS"));
    }
    {
        SCOPED_TRACE("a full disk is no success");
        ScratchDir dir;
        if (!exists("/dev/full"))
            GTEST_SKIP() << "no /dev/full";
        symlink("/dev/full", "T.CLASS");
        Outcome o = translate(kHead);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.messages, (Lines{"Vstupny subor OK", "Chyba pri zapise \"T.CLASS\""}));
    }
}

} // namespace
