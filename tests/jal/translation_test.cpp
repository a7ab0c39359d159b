// Whole translations: error lines, message file, fixed limits, output
// names, file-system failures, run independence and the jal command.
#include "jal_test_support.h"

#include "jal/jal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace jaltest;
using namespace std::string_literals;

namespace {

const std::string kHead = ".source A\n.class public B .super java/lang/Object\n";

std::string repeat(const std::string& s, int n, const char* suffix = nullptr)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += suffix ? s + std::to_string(i) + suffix : s;
    return out;
}

std::string method(const std::string& body) { return ".method static m ()V\n" + body + ".endm\n"; }

struct Case {
    std::string name, source;
    std::string console; // the error lines expected
    bool ok;
};

std::vector<Case> outcomeCases()
{
    std::vector<Case> cases = {
        {"no .source", ".class public B .super C\n", "syntax error(LINE 1: .class)\n", false},
        {"empty file", "", "syntax error(LINE 1: )\n", false},
        {"missing .super", ".source A\n.class B C\n", "syntax error(LINE 2: C)\n", false},
        {"field after method", kHead + method("return\n") + ".field x I\n", "syntax error(LINE 6: .field)\n", false},
        {"missing .endm", kHead + ".method m ()V\nreturn\n", "syntax error(LINE 5: )\n", false},
        // Newlines inside strings and CR LF line ends count as lines.
        {"wrong operand", kHead + ".method m ()V\nldc \"a\nb\"\r\n\nbipush x\n.endm\n", "syntax error(LINE 7: x)\n", false},
        {"ldc2_w wants a double", kHead + method("ldc2_w 2\n"), "syntax error(LINE 4: 2)\n", false},
        {"ldc wants a string", kHead + method("ldc 2.5\n"), "syntax error(LINE 4: 2.5)\n", false},
        {"type is not a name", kHead + ".field public int I\n", "syntax error(LINE 3: int)\n", false},
        {"word after the last method", kHead + method("return\n") + "return\n", "syntax error(LINE 6: return)\n", false},
        {"string token text", kHead + method("\"s\"\n"), "syntax error(LINE 4: \"s\")\n", false},
        {"operand of an unsupported instruction", kHead + method("checkcast C\n"),
         "Neznama instrukcia(LINE 4: checkcast)\nsyntax error(LINE 4: C)\n", false},
        {"unknown directive and instructions go on", kHead + method(".lines\nnop\ntableswitch\nlookupswitch instanceof\n"),
         "neznama direktiva(LINE 4: .lines)\nNeznama instrukcia(LINE 6: tableswitch)\n"
         "Neznama instrukcia(LINE 7: lookupswitch)\nNeznama instrukcia(LINE 7: instanceof)\n", true},
        // A branch whose label the method never defines is named by its own
        // line and label, although it is found at .endm.
        {"undefined label", kHead + method("nop\ngoto .42\nreturn\n"), "nedefinovane navestie(LINE 5: .42)\n", false},
        {"label defined only in the method before", kHead + method(".5 nop\nreturn\n") + method("nop\ngoto .5\n"),
         "nedefinovane navestie(LINE 9: .5)\n", false},
        {"the first undefined branch is named", kHead + method(".1 ifeq .3\nifne .1\ngoto .2\ntableswitch\n"),
         "Neznama instrukcia(LINE 7: tableswitch)\nnedefinovane navestie(LINE 4: .3)\n", false},
        // Operands are checked against what they are written as, not
        // against their low bytes.
        {"bipush above a byte", kHead + method("bipush 128\n"), "hodnota mimo rozsahu -128 az 127(LINE 4: 128)\n", false},
        {"bipush below a byte", kHead + method("bipush -129\n"), "hodnota mimo rozsahu -128 az 127(LINE 4: -129)\n", false},
        {"bipush of 2^32 - 1", kHead + method("bipush 4294967295\n"),
         "hodnota mimo rozsahu -128 az 127(LINE 4: 4294967295)\n", false},
        {"sipush above a short", kHead + method("sipush 32768\n"),
         "hodnota mimo rozsahu -32768 az 32767(LINE 4: 32768)\n", false},
        {"sipush below a short", kHead + method("sipush -32769\n"),
         "hodnota mimo rozsahu -32768 az 32767(LINE 4: -32769)\n", false},
        {"other one-byte operands keep their low byte", kHead + method("iload 300\nret -1\n"), "", true},
    };
    // Each fixed limit: the largest input it allows translates, one more
    // ends the translation with an error line and no class file.
    const std::string threeMethods = repeat(".method static p", 3, " ()V\n.endm\n");
    cases.push_back({"a Double on the last pool number", kHead + threeMethods + method(repeat("ldc2_w 0.5\n", 1014)),
                     "plna tabulka konstant (najviac 2048 cisel)(LINE 1023: 0.5)\n", false});
    const struct {
        const char* name;
        std::function<std::string(int)> source;
        int limit;
        std::string error;
    } limits[] = {
        {"code bytes", [](int n) { return method(repeat("nop\n", n)); }, 10000,
         "prilis dlhy kod metody (najviac 10000 bajtov)(LINE 10004: nop)\n"},
        {"an instruction crossing the code size", [](int n) { return method(repeat("nop\n", n - 3) + "sipush 1\n"); },
         10000, "prilis dlhy kod metody (najviac 10000 bajtov)(LINE 10002: 1)\n"},
        {"label definition", [](int n) { return method("nop\n." + std::to_string(n) + "\n"); }, 99,
         "cislo navestia mimo rozsahu 0 az 99(LINE 5: .100)\n"},
        {"label reference", [](int n) { return method("goto ." + std::to_string(n) + "\n.99\n"); }, 99,
         "cislo navestia mimo rozsahu 0 az 99(LINE 4: .100)\n"},
        {"pending branches", [](int n) { return method(repeat("goto .1\n", n) + ".1\n"); }, 200,
         "prilis vela skokov v metode (najviac 200)(LINE 204: .1)\n"},
        // The class takes 6 numbers, a method 5 (at its .endm), a Double 2:
        // the fewest Doubles for at least n numbers.
        {"pool numbers", [threeMethods](int n) { return threeMethods + method(repeat("ldc2_w 0.5\n", (n - 25) / 2)); },
         2048, "plna tabulka konstant (najviac 2048 cisel)(LINE 1022: .endm)\n"},
        {"interfaces", [](int n) { return repeat(".implements I", n, "\n"); }, 10,
         "prilis vela rozhrani (najviac 10)(LINE 13: I10)\n"},
        {"fields", [](int n) { return repeat(".field f", n, " I\n"); }, 100,
         "prilis vela poloziek triedy (najviac 100)(LINE 103: I)\n"},
        {"methods", [](int n) { return repeat(".method m", n, " ()V\nreturn\n.endm\n"); }, 100,
         "prilis vela metod (najviac 100)(LINE 305: .endm)\n"},
        {"text bytes", [](int n) { return method("ldc \"" + std::string(n, 'a') + "\"\n"); }, 255,
         "prilis dlhy text (najviac 255 bajtov)(LINE 4: \"" + std::string(256, 'a') + "\")\n"},
    };
    for (const auto& l : limits) {
        cases.push_back({l.name + " at the limit"s, kHead + l.source(l.limit), "", true});
        cases.push_back({l.name + " one past"s, kHead + l.source(l.limit + 1), l.error, false});
    }
    return cases;
}

TEST(JalTranslation, Outcomes)
{
    for (const Case& k : outcomeCases()) {
        SCOPED_TRACE(k.name);
        ScratchDir dir;
        Outcome o = translate(k.source);
        EXPECT_EQ(o.ok, k.ok);
        EXPECT_EQ(o.classWritten, k.ok);
        EXPECT_EQ(o.console, k.console);
        EXPECT_EQ(o.messages, (k.ok ? Lines{"Vstupny subor OK", "Vystupny subor OK"} : Lines{"Chybny subor \"t.jal\""}));
        ClassFile c;
        std::string error;
        EXPECT_TRUE(!k.ok || parseClass(o.classBytes, c, error)) << error;
    }
}

TEST(JalTranslation, SecondRunStartsClean)
{
    ScratchDir dir;
    const std::string good = kHead + method("ldc \"x\"\nreturn\n");
    // Fails half-way through a method, with constants and labels added.
    const std::string bad = kHead + method("ldc \"y\"\n.4 goto .4\nfoo\n");
    const Outcome first = translate(good), failed = translate(bad), again = translate(good);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(failed.console, "syntax error(LINE 6: foo)\n");
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.classBytes, first.classBytes);
    EXPECT_EQ(translate(bad).console, failed.console);
}

TEST(JalTranslation, ClassFileNames)
{
    // The last dot of the file-name part starts the extension; only the
    // file-name part is upper-cased.
    const std::pair<const char*, const char*> cases[] = {
        {"Hello_az.jal", "HELLO_AZ.CLASS"}, {"a.b.jal", "A.B.CLASS"},   {"noext", "NOEXT.CLASS"},
        {"../x.jal", "../X.CLASS"},         {"v1.2/noext", "v1.2/NOEXT.CLASS"},
        {"/tmp/a.b/Dir/prog.jal", "/tmp/a.b/Dir/PROG.CLASS"}, {"x\xe1.jal", "X\xe1.CLASS"},
    };
    for (const auto& [source, output] : cases)
        EXPECT_EQ(jal::class_file_name(source), output) << source;

    ScratchDir dir;
    mkdir("v1.2", 0700);
    const Outcome o = translate(kHead, "v1.2/x.jal");
    EXPECT_TRUE(o.ok && o.classWritten);
    EXPECT_EQ(o.messages, (Lines{"Vstupny subor OK", "Vystupny subor OK"}));
}

// The class file goes beside the source, wherever the source path leads
// (a path outside the current directory is the user's own choice of
// source); the names inside the source (class, super class, source file),
// which may hold '/' and "..", name constants in the class file and never
// a place on disk.
TEST(JalTranslation, OnlyTheSourcePathPlacesTheClassFile)
{
    namespace fs = std::filesystem;
    ScratchDir dir;
    const std::string root = fs::current_path().string();
    const std::string source = ".source x/../../../../../SRC\n"
                               ".class public a/../../../../../EVIL .super b/../../../../../SUPER\n";
    struct Case {
        const char* cwd;     // under the scratch directory
        std::string path;    // as given to the translator
        const char* written; // the class file, under the scratch directory
    };
    const Case cases[] = {
        {"p/q/r", "t.jal", "p/q/r/T.CLASS"},
        {"p/q/r", "../../s/t.jal", "p/s/T.CLASS"},
        {"p/q/r", root + "/p/s/t.jal", "p/s/T.CLASS"},
        {"p/s", "./../q/r/../../s/t.jal", "p/s/T.CLASS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        fs::remove_all(root + "/p");
        fs::create_directories(root + "/p/q/r");
        fs::create_directories(root + "/p/s");
        writeFile(root + "/p/q/r/t.jal", source);
        writeFile(root + "/p/s/t.jal", source);
        ASSERT_EQ(chdir((root + "/" + c.cwd).c_str()), 0);
        std::ostringstream console;
        EXPECT_TRUE(jal::jal_translate(c.path, console, nullptr)) << console.str();
        ASSERT_EQ(chdir(root.c_str()), 0);
        std::vector<std::string> made;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file() && e.path().filename() != "t.jal")
                made.push_back(fs::relative(e.path(), root).string());
        EXPECT_EQ(made, std::vector<std::string>{c.written});
        for (const char* name : {"EVIL", "SUPER", "SRC", "EVIL.CLASS", "SUPER.CLASS", "SRC.CLASS"})
            EXPECT_FALSE(fs::exists(fs::path(root).parent_path() / name)) << name;
        std::string bytes, error;
        ASSERT_TRUE(readFile(root + "/" + c.written, bytes));
        ClassFile cls;
        ASSERT_TRUE(parseClass(bytes, cls, error)) << error;
        bool named = false;
        for (const Entry& e : cls.pool)
            named = named || e.text == "a/../../../../../EVIL";
        EXPECT_TRUE(named);
    }
}

TEST(JalTranslation, FileSystemFailures)
{
    struct Case {
        const char* name;
        const char* source;  // t.jal holds a minimal class
        const char* blocker; // made a directory first; "/dev/full": T.CLASS links there;
                             // "gone": the current directory is removed
        bool ok;
        Lines messages;
        const char* console;
    } cases[] = {
        {"missing source", "missing.jal", nullptr, false, {"Nemozno otvorit \"missing.jal\""}, ""},
        {"directory as source", "d.jal", "d.jal", false, {"Nemozno otvorit \"d.jal\""}, ""},
        {"class file can't be created", "t.jal", "T.CLASS", false, {"Vstupny subor OK", "Nemozno vytvorit \"T.CLASS\""}, ""},
        // Without a message file the messages go to the console.
        {"message file can't be created", "../t.jal", "gone", true, {}, "Vstupny subor OK\nVystupny subor OK\n"},
        {"a full disk is no success", "t.jal", "/dev/full", false, {"Vstupny subor OK", "Chyba pri zapise \"T.CLASS\""}, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ScratchDir dir;
        writeFile("t.jal", kHead);
        std::string source = k.source;
        if (k.blocker && k.blocker == "/dev/full"s && access(k.blocker, W_OK) != 0)
            GTEST_SKIP() << "no /dev/full";
        if (k.blocker && k.blocker == "/dev/full"s) {
            ASSERT_EQ(symlink(k.blocker, "T.CLASS"), 0);
        } else if (k.blocker && k.blocker == "gone"s) {
            // Nothing can be created in a removed directory, not even by root.
            source = dir.path() + "/t.jal";
            ASSERT_EQ(mkdir("gone", 0700), 0);
            ASSERT_EQ(chdir("gone"), 0);
            ASSERT_EQ(rmdir((dir.path() + "/gone").c_str()), 0);
        } else if (k.blocker) {
            mkdir(k.blocker, 0700);
        }
        std::ostringstream console;
        std::string messageFile = "unset";
        EXPECT_EQ(jal::jal_translate(source, console, &messageFile), k.ok);
        EXPECT_EQ(readLines(messageFile), k.messages);
        EXPECT_EQ(console.str(), k.console);
        if (k.messages.empty()) {
            EXPECT_EQ(messageFile, "");
        }
    }
}

TEST(JalCommand, ExitCodesAndOutput)
{
    const std::string head = ".source A\n.class B .super C\n";
    struct Case {
        std::string source; // written to t.jal when not empty
        std::string args;
        int status;
        std::string out; // start of standard output
    } cases[] = {
        {head, "t.jal", 0, "Vstupny subor OK\nVystupny subor OK\n"},
        {head + method(".x\n"), "t.jal", 0, "t.jal(4): neznama direktiva(LINE 4: .x)\nVstupny subor OK\nVystupny subor OK\n"},
        {head + "nop\n", "t.jal", 1, "t.jal(3): syntax error(LINE 3: nop)\nChybny subor \"t.jal\"\n"},
        {"", "none.jal", 1, "Nemozno otvorit \"none.jal\"\n"},
        {"", "--help", 0, "Pouzitie: jal [--] SUBOR.jal\n"},
        {"", "--version", 0, "jal (VORK) "},
        {"", "", 2, ""},
        {"", "a.jal b.jal", 2, ""},
        {"", "--bogus", 2, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("jal " + k.args);
        ScratchDir dir;
        if (!k.source.empty())
            writeFile("t.jal", k.source);
        const Process r = runCommand(VORK_BIN_DIR "/jal " + k.args + " 2>/dev/null");
        EXPECT_EQ(r.status, k.status);
        EXPECT_EQ(r.output.substr(0, k.out.size()), k.out);
        // The message file is shown and then removed, as the IDE does.
        EXPECT_EQ(vorktest::namesStartingWith(".", "jaltemp"), Lines{});
    }
}

} // namespace
