// The headless vork program: --new and --info as a script uses them.
#include "test_dir.h"

#include <gtest/gtest.h>
#include <map>

using namespace vork::test;

namespace {

// "key: value" lines of --info; the first of a key counts.
std::map<std::string, std::string> fields(const std::string& out)
{
    std::map<std::string, std::string> f;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (const size_t colon = line.find(": "); colon != std::string::npos)
            f.emplace(line.substr(0, colon), line.substr(colon + 2));
    return f;
}

} // namespace

TEST(VorkCli, NewWritesTheTemplatesOfItsKindAndTheProjectFileThenInfoReadsThem)
{
    struct Case {
        const char* name;
        const char* kind;
        const char* cSource;
        std::map<std::string, std::string> templates;  // written file -> data file holding its bytes
        std::vector<std::string> existing;              // the user's sources, there before: kept
        std::string out;
    };
    const std::string keptL = "Súbor x.l už existuje, ponechaný bez zmeny.\n";
    const std::string keptY = "Súbor x.y už existuje, ponechaný bez zmeny.\n";
    const Case cases[] = {
        {"x.lye", "1", "lexyy.cpp", {{"x.l", "lex_only.l"}}, {}, ""},
        {"x.lyy", "2", "x.cpp", {{"x.l", "lex.l"}, {"x.y", "yacc.y"}}, {}, ""},
        {"x.ly", "3", "x.cpp", {}, {"x.l", "x.y"}, keptL + keptY},
        {"x.lyy", "2", "x.cpp", {{"x.l", "lex.l"}}, {"x.y"}, keptY},
        // A LEX project has no grammar: an x.y there is not its business.
        {"x.lye", "1", "lexyy.cpp", {{"x.l", "lex_only.l"}}, {"x.y"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " over " + std::to_string(c.existing.size()) + " sources");
        TempDir dir;
        for (const std::string& file : c.existing)
            writeFile(dir / file, "the user's " + file);
        const std::string project = dir / c.name;
        const RunResult made = runVork("--new " + quoted(project));
        ASSERT_EQ(made.status, 0);
        EXPECT_EQ(made.out, c.out);
        EXPECT_EQ(readFile(project), "-1\r\n-1\r\n0\r\n0\r\n1\r\n0\r\n\r\n");
        std::vector<std::string> files = {c.name};
        for (const auto& [file, data] : c.templates) {
            files.push_back(file);
            EXPECT_EQ(readFile(dir / file), sourceFile("tests/project/data/" + data)) << file;
        }
        for (const std::string& file : c.existing) {
            files.push_back(file);
            EXPECT_EQ(readFile(dir / file), "the user's " + file);
        }
        std::sort(files.begin(), files.end());
        EXPECT_EQ(listing(dir.path()), files);

        RunResult info = runVork("--info " + quoted(project));
        ASSERT_EQ(info.status, 0);
        auto f = fields(info.out);
        const std::pair<const char*, std::string> want[] = {
            {"projectFile", project},   {"kind", c.kind},
            {"baseName", dir / "x"},   {"lexSpecFile", dir / "x.l"},
            {"yaccSpecFile", dir / "x.y"}, {"lexOutputFile", dir / "lexyy.cpp"},
            {"messageFile", dir / "temp.spr"}, {"lexStamp", "-1"},
            {"debugMode", "0"},         {"jalArgument", ".jal"},
            {"cSourceFile", dir / c.cSource}, {"memberFiles", "0"},
        };
        for (const auto& [key, value] : want)
            EXPECT_EQ(f[key], value) << key;
    }
}

TEST(VorkCli, QuestionsAndFailures)
{
    TempDir dir;
    writeFile(dir / "bad.ly", "junk\n");
    struct Case { std::string args; int status; bool created; };
    const Case cases[] = {
        {"--info " + quoted(dir / "a.ly"), 1, false},  // no answer means No
        {"--no --info " + quoted(dir / "a.ly"), 1, false},
        {"--info " + quoted(dir / "bad.ly"), 1, false},
        {"", 2, false},
        {"--info", 2, false},
        {"--new x.ly --info y.ly", 2, false},
        {"--yes --info " + quoted(dir / "a.ly"), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(runVork(c.args).status, c.status);
        EXPECT_EQ(exists(dir / "a.ly"), c.created);
    }
}
