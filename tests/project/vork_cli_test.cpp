// The headless vork program: --new and --info as a script uses them.
#include "test_dir.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <vector>
#include <sys/wait.h>

namespace {

struct Result {
    int status = -1;
    std::string out;
};

Result runVork(const std::string& args)
{
    Result r;
    const std::string cmd = std::string(VORK_BIN_DIR) + "/vork " + args + " 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::vector<std::string> listing(const std::string& dir)
{
    std::vector<std::string> names;
    FILE* p = ::popen(("ls -A '" + dir + "'").c_str(), "r");
    char buf[512];
    while (p && std::fgets(buf, sizeof buf, p)) {
        std::string name = buf;
        if (!name.empty() && name.back() == '\n')
            name.pop_back();
        names.push_back(name);
    }
    if (p)
        ::pclose(p);
    std::sort(names.begin(), names.end());
    return names;
}

std::multimap<std::string, std::string> fields(const std::string& out)
{
    std::multimap<std::string, std::string> f;
    size_t i = 0;
    while (i < out.size()) {
        size_t nl = out.find('\n', i);
        std::string line = out.substr(i, nl - i);
        size_t colon = line.find(": ");
        if (colon != std::string::npos)
            f.emplace(line.substr(0, colon), line.substr(colon + 2));
        if (nl == std::string::npos)
            break;
        i = nl + 1;
    }
    return f;
}

std::string one(const std::multimap<std::string, std::string>& f, const std::string& key)
{
    auto it = f.find(key);
    return it == f.end() ? "<missing>" : it->second;
}

} // namespace

using vork::test::exists;

TEST(VorkCli, NewWritesTemplatesAndProjectFileThenInfoReadsThem)
{
    struct Case {
        const char* name;
        const char* kind;
        const char* cSource;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"x.lye", "1", "lexyy.cpp", {"x.l", "x.lye"}},
        {"x.lyy", "2", "x.cpp", {"x.l", "x.lyy", "x.y"}},
        {"x.ly", "3", "x.cpp", {"x.l", "x.ly", "x.y"}},
    };
    for (const Case& c : cases) {
        vork::test::TempDir dir;
        const std::string project = dir / c.name;
        ASSERT_EQ(runVork("--new '" + project + "'").status, 0) << c.name;
        EXPECT_EQ(vork::test::readFile(project), "-1\r\n-1\r\n0\r\n0\r\n1\r\n0\r\n\r\n") << c.name;
        EXPECT_EQ(listing(dir.path()), c.files) << c.name;
        EXPECT_EQ(vork::test::readFile(dir / "x.l").substr(0, 4), "%{\r\n") << c.name;

        Result info = runVork("--info '" + project + "'");
        ASSERT_EQ(info.status, 0) << c.name;
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
    vork::test::TempDir dir;
    const std::string bytes = "10\n20\n1\n2\n1\n1\nin.txt\nutil.c\nsub\\name.c\n";
    vork::test::writeFile(dir / "m.lyy", bytes);
    vork::test::writeFile(dir / "m.lex", "# define NUM 257\n");
    Result info = runVork("--info '" + (dir / "m.lyy") + "'");
    ASSERT_EQ(info.status, 0);
    auto f = fields(info.out);
    EXPECT_EQ(one(f, "yaccStamp"), "20");
    EXPECT_EQ(one(f, "debugMode"), "1");
    EXPECT_EQ(one(f, "alwaysCompile"), "1");
    EXPECT_EQ(one(f, "runArguments"), "in.txt");
    EXPECT_EQ(one(f, "jalArgument"), "in.jal");
    EXPECT_EQ(one(f, "executableName"), dir / "m.exe");
    EXPECT_EQ(one(f, "tokenName"), "NUM");
    auto range = f.equal_range("memberFile");
    std::vector<std::string> members;
    for (auto it = range.first; it != range.second; ++it)
        members.push_back(it->second);
    EXPECT_EQ(members, (std::vector<std::string>{dir / "util.c", dir / "sub/name.c"}));
    EXPECT_EQ(vork::test::readFile(dir / "m.lyy"), bytes);
}

TEST(VorkCli, QuestionsAndFailures)
{
    vork::test::TempDir dir;
    struct Case { std::string args; int status; bool created; };
    const Case cases[] = {
        {"--info '" + (dir / "a.ly") + "'", 1, false},          // no answer means No
        {"--no --info '" + (dir / "a.ly") + "'", 1, false},
        {"", 2, false},
        {"--bogus", 2, false},
        {"--info", 2, false},
        {"--info a b", 2, false},
        {"--new x.ly --info y.ly", 2, false},
        {"--yes --info '" + (dir / "a.ly") + "'", 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runVork(c.args).status, c.status) << c.args;
        EXPECT_EQ(exists(dir / "a.ly"), c.created) << c.args;
    }
    vork::test::writeFile(dir / "bad.ly", "junk\n");
    EXPECT_EQ(runVork("--info '" + (dir / "bad.ly") + "'").status, 1);
}

TEST(VorkCli, HelpAndVersion)
{
    Result help = runVork("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--new"), std::string::npos);
    EXPECT_NE(help.out.find("--info"), std::string::npos);
    Result version = runVork("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("VORK ", 0), 0u);
}
