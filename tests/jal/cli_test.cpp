// The jal command: exit codes and what it prints.
#include "jal_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace jaltest;

namespace {

ProcessResult jal(const std::string& args)
{
    return runCommand(std::string(VORK_BIN_DIR) + "/jal " + args + " 2>/dev/null");
}

TEST(JalCommand, ExitCodesAndOutput)
{
    const std::string head = ".source A\n.class B .super C\n";
    struct Case {
        const char* name;
        std::string source; // written to t.jal when not empty
        std::string args;
        int status;
        std::string out; // prefix of stdout
    } cases[] = {
        {"success", head, "t.jal", 0, "Vstupny subor OK\nVystupny subor OK\n"},
        {"errors and warnings", head + ".method m ()V\n.x\n.endm\n", "t.jal", 0,
         "neznama direktiva(LINE 4: .x)\nVstupny subor OK\nVystupny subor OK\n"},
        {"syntax error", head + "nop\n", "t.jal", 1, "syntax error(LINE 3: nop)\nChybny subor \"t.jal\"\n"},
        {"missing source", "", "none.jal", 1, "Nemozno otvorit \"none.jal\"\n"},
        {"help", "", "--help", 0, "Pouzitie: jal SUBOR.jal\n"},
        {"version", "", "--version", 0, "jal (VORK) "},
        {"no argument", "", "", 2, ""},
        {"two arguments", "", "a.jal b.jal", 2, ""},
        {"unknown option", "", "--bogus", 2, ""},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        if (!c.source.empty())
            writeFile("t.jal", c.source);
        ProcessResult r = jal(c.args);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.output.substr(0, c.out.size()), c.out) << c.name;
        // The message file is shown and then removed, as the IDE does.
        EXPECT_FALSE(exists("jaltemp.tmp")) << c.name;
    }
}

} // namespace
