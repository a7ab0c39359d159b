// The headless vork program: --new and --info as a script uses them.
#include "test_dir.h"

#include <gtest/gtest.h>
#include <map>

using namespace vork::test;

namespace {

// "key: value" lines of --info.
std::multimap<std::string, std::string> fields(const std::string& out)
{
    std::multimap<std::string, std::string> f;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        const size_t colon = line.find(": ");
        if (colon != std::string::npos)
            f.emplace(line.substr(0, colon), line.substr(colon + 2));
    }
    return f;
}

std::string one(const std::multimap<std::string, std::string>& f, const std::string& key)
{
    auto it = f.find(key);
    return it == f.end() ? "<missing>" : it->second;
}

} // namespace

TEST(VorkCli, NewWritesTheTemplatesOfItsKindAndTheProjectFileThenInfoReadsThem)
{
    struct Case {
        const char* name;
        const char* kind;
        const char* cSource;
        std::map<std::string, std::string> templates;  // written file -> data file holding its bytes
        bool oldSources;                                // sources there before are replaced
    };
    const Case cases[] = {
        {"x.lye", "1", "lexyy.cpp", {{"x.l", "lex_only.l"}}, false},
        {"x.lyy", "2", "x.cpp", {{"x.l", "lex.l"}, {"x.y", "yacc.y"}}, false},
        {"x.ly", "3", "x.cpp", {{"x.l", "lex.l"}, {"x.y", "yacc.y"}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        if (c.oldSources) {
            writeFile(dir / "x.l", "old scanner");
            writeFile(dir / "x.y", "old grammar");
        }
        const std::string project = dir / c.name;
        ASSERT_EQ(runVork("--new " + quoted(project)).status, 0);
        EXPECT_EQ(readFile(project), "-1\r\n-1\r\n0\r\n0\r\n1\r\n0\r\n\r\n");
        std::vector<std::string> files = {c.name};
        for (const auto& [file, data] : c.templates) {
            files.push_back(file);
            EXPECT_EQ(readFile(dir / file), sourceFile("tests/project/data/" + data)) << file;
        }
        std::sort(files.begin(), files.end());
        EXPECT_EQ(listing(dir.path()), files);

        RunResult info = runVork("--info " + quoted(project));
        ASSERT_EQ(info.status, 0);
        auto f = fields(info.out);
        EXPECT_EQ(one(f, "projectFile"), project);
        EXPECT_EQ(one(f, "kind"), c.kind);
        EXPECT_EQ(one(f, "baseName"), dir / "x");
        EXPECT_EQ(one(f, "lexSpecFile"), dir / "x.l");
        EXPECT_EQ(one(f, "yaccSpecFile"), dir / "x.y");
        EXPECT_EQ(one(f, "lexOutputFile"), dir / "lexyy.cpp");
        EXPECT_EQ(one(f, "messageFile"), dir / "temp.spr");
        EXPECT_EQ(one(f, "lexStamp"), "-1");
        EXPECT_EQ(one(f, "debugMode"), "0");
        EXPECT_EQ(one(f, "jalArgument"), ".jal");
        EXPECT_EQ(one(f, "cSourceFile"), dir / c.cSource);
        EXPECT_EQ(one(f, "memberFiles"), "0");
    }
}

TEST(VorkCli, InfoShowsMembersAndLeavesTheFileAlone)
{
    TempDir dir;
    const std::string bytes = "10\n20\n1\n2\n1\n1\nin.txt\nutil.c\nsub\\name.c\n";
    writeFile(dir / "m.lyy", bytes);
    writeFile(dir / "m.lex", "# define NUM 257\n");
    RunResult info = runVork("--info " + quoted(dir / "m.lyy"));
    ASSERT_EQ(info.status, 0);
    auto f = fields(info.out);
    EXPECT_EQ(one(f, "yaccStamp"), "20");
    EXPECT_EQ(one(f, "debugMode"), "1");
    EXPECT_EQ(one(f, "alwaysCompile"), "1");
    EXPECT_EQ(one(f, "runArguments"), "in.txt");
    EXPECT_EQ(one(f, "jalArgument"), "in.jal");
    EXPECT_EQ(one(f, "executableName"), dir / "m.exe");
    EXPECT_EQ(one(f, "tokenName"), "NUM");
    std::vector<std::string> members;
    for (auto [it, end] = f.equal_range("memberFile"); it != end; ++it)
        members.push_back(it->second);
    EXPECT_EQ(members, (std::vector<std::string>{dir / "util.c", dir / "sub/name.c"}));
    EXPECT_EQ(readFile(dir / "m.lyy"), bytes);
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
        {"--bogus", 2, false},
        {"--info", 2, false},
        {"--info a b", 2, false},
        {"--new x.ly --info y.ly", 2, false},
        {"--yes --info " + quoted(dir / "a.ly"), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(runVork(c.args).status, c.status);
        EXPECT_EQ(exists(dir / "a.ly"), c.created);
    }
}
