// The exact template texts are checked through `vork --new` (vork_cli_test);
// here, a template that cannot be written.
#include "vork/project/project_error.h"
#include "vork/project/projekt.h"

#include "test_dir.h"

#include <gtest/gtest.h>

using namespace vork;

TEST(Templates, FailureNamesTheFileAndLeavesNoProjectFile)
{
    // A directory where a specification should go cannot be replaced by a
    // file.  The scanner is written first; a failure there stops before
    // the grammar.
    struct Case { const char* blocked; bool scannerWritten; };
    const Case cases[] = {{"x.l", false}, {"x.y", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        test::TempDir dir;
        ::mkdir((dir / c.blocked).c_str(), 0777);
        FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
        std::string failure = "construction succeeded";
        try {
            Projekt p(dir / "x.lyy", true, ui);
        } catch (const ProjectError& e) {
            EXPECT_FALSE(e.cancelled());
            failure = e.what();
        }
        EXPECT_EQ(failure, "Nie je možné vytvoriť súbor " + (dir / c.blocked));
        if (c.scannerWritten)
            EXPECT_EQ(test::readFile(dir / "x.l"), test::sourceFile("tests/project/data/lex.l"));
        else
            EXPECT_FALSE(test::exists(dir / "x.y"));
        EXPECT_FALSE(test::exists(dir / "x.lyy"));
    }
}
