// What a build may touch and what it may take as up to date, met the way a
// user meets it: through the vork program on projects in odd directories,
// after quick edits, beside other projects and other builds, and on
// project files that were made to do harm.
#include "pipeline_fixture.h"

#include "vork/project/project_lock.h"
#include "vork/project/projekt.h"

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>

namespace vork {
namespace {

using test::quoted;
using test::readFile;
using test::writeFile;

std::string examplePath(const std::string& relative)
{
    return std::string(VORK_SOURCE_DIR) + "/" + relative;
}

// A project directory made from an example, and the vork program run on it
// with its standard error collected (in a directory of its own, so that
// the project directory holds only what the build left).
class Workspace {
public:
    explicit Workspace(const std::string& subdir = "proj")
    {
        dir_ = root_ / subdir;
        ::mkdir(dir_.c_str(), 0755);
        dir_ += "/";
        ::mkdir((root_ / "work").c_str(), 0755);
    }

    std::string operator/(const std::string& name) const { return dir_ + name; }
    const std::string& dir() const { return dir_; }
    std::string root(const std::string& name) const { return root_ / name; }

    void copyExample(const std::string& example, const std::string& project, const std::string& as = "")
    {
        const std::string base = as.empty() ? project.substr(0, project.rfind('.')) : as;
        const std::string from = project.substr(0, project.rfind('.'));
        for (const char* ext : {".l", ".y"})
            if (test::exists(examplePath("examples/" + example + "/" + from + ext)))
                writeFile(dir_ + base + ext, test::sourceFile("examples/" + example + "/" + from + ext));
        writeFile(dir_ + base + project.substr(project.rfind('.')),
                  test::sourceFile("examples/" + example + "/" + project));
        if (test::exists(examplePath("examples/" + example + "/input.txt")))
            writeFile(dir_ + "input.txt", test::sourceFile("examples/" + example + "/input.txt"));
    }

    // vork ARGS, each argument one word; returns status, stdout, stderr.
    test::RunResult vork(const std::vector<std::string>& args, const std::string& prefix = "") const
    {
        std::string cmd = prefix + vorktest::program("vork");
        for (const std::string& a : args)
            cmd += " " + quoted(a);
        return vorktest::runIn(root_ / "work", cmd);
    }

private:
    test::TempDir root_;
    std::string dir_;
};

bool has(const test::RunResult& r, const std::string& text)
{
    return r.out.find(text) != std::string::npos;
}

// Sets a file's modification time to the second and nanosecond.
void setTime(const std::string& path, time_t seconds, long nanoseconds)
{
    struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// ---- Paths with blanks and shell characters -------------------------------

struct PathCase {
    const char* dir;      // project directory, under the test's own
    const char* project;  // project file name
};

// Every path goes to the compiler and to the program as one argument; the
// user's run arguments alone are split, the Windows way.
TEST(BuildSafety, PathsWithBlanksAndShellCharactersAreOneArgumentEach)
{
    const PathCase cases[] = {
        {"my projects", "calc.lyy"},     {"semi;x -rf y", "calc.lyy"}, {"quote\" and \\back", "calc.lyy"},
        {"-lead $(touch pwned)", "calc.lyy"}, {"tab\there", "my calc.lyy"}, {"a'b", "x;y.lyy"},
        {"Prekladač čísel", "žltý kôň.lyy"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.dir + std::string(" / ") + c.project);
        Workspace ws(c.dir);
        ws.copyExample("calc", "calc.lyy", std::string(c.project).substr(0, std::string(c.project).rfind('.')));
        // The C compiler itself lives in a directory with a blank, and is
        // configured without quotes.
        ::mkdir(ws.root("cc dir").c_str(), 0755);
        const std::string cc = ws.root("cc dir") + "/stand in.sh";
        test::writeStandInCompiler(cc, ws.root("cc.log"), 0);
        const std::string project = ws / c.project;
        const std::string base = project.substr(0, project.rfind('.'));

        test::RunResult run = ws.vork({"--cc", cc, "--run", project, "--", "in put.txt", "b;c", "$HOME"});
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        // The compiler got the source as its one argument.
        EXPECT_EQ(readFile(ws.root("cc.log")), base + ".cpp\n");
        // The program ran in the project directory with the user's words.
        EXPECT_EQ(readFile(ws / "ran.txt"), ws.dir().substr(0, ws.dir().size() - 1) + "\nin put.txt\nb;c\n$HOME\n");
        EXPECT_FALSE(test::exists(ws.root("work/pwned")));
        EXPECT_FALSE(test::exists(ws.root("pwned")));
        // The next make finds it up to date, in that directory as anywhere.
        EXPECT_EQ(ws.vork({"--cc", cc, "--make", project}).status, 2);
    }
}

// The real compiler on the calculator, in a directory with a blank and
// Slovak letters, and new projects whose names have blanks, quotes or
// Slovak letters.
TEST(BuildSafety, VorkCcMakesAndRunsProjectsWithBlanksInTheirPaths)
{
    Workspace ws("my projects, Prekladač čísel");
    ws.copyExample("calc", "calc.lyy");
    test::RunResult run = ws.vork({"--run", ws / "calc.lyy", "--", "input.txt"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(has(run, test::sourceFile("tests/pipeline/data/calc_run.txt"))) << run.out;

    // The grammar's name also goes into the parser, between quotes.
    for (const std::string name : {"my calc", "say \"hi\" back\\slash", "žltý kôň"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ws.vork({"--new", ws / (name + ".lyy")}).status, 0);
        test::RunResult fresh = ws.vork({"--run", ws / (name + ".lyy")});
        EXPECT_EQ(fresh.status, 0) << fresh.out << fresh.err;
        EXPECT_TRUE(test::exists(ws / (name + ".exe")));
    }
}

// ---- Stamps finer than two seconds, outputs that are not this project's --

struct StampCase {
    const char* what;
    std::function<void(Workspace&)> change;
    int status;     // of the second make
    bool lex;       // the scanner is generated again
    bool yacc;      // the parser is generated again
    bool compiled;  // the C compiler runs again
};

// An even second: the edits below stay within its two-second stamp.
constexpr time_t kSlot = 1600000000;

TEST(BuildSafety, WhatChangedSinceTheLastMakeIsMadeAgainWithinTheSameTwoSeconds)
{
    const StampCase cases[] = {
        {"nothing", [](Workspace&) {}, 2, false, false, false},
        {"calc.l edited a second later",
         [](Workspace& ws) {
             writeFile(ws / "calc.l", readFile(ws / "calc.l") + "\n");
             setTime(ws / "calc.l", kSlot + 1, 0);
         },
         0, true, false, true},
        {"calc.y edited half a second later",
         [](Workspace& ws) {
             writeFile(ws / "calc.y", readFile(ws / "calc.y") + "\n");
             setTime(ws / "calc.y", kSlot, 500000000);
         },
         0, false, true, true},
        {"calc2 made in the same directory",
         [](Workspace& ws) {
             ws.copyExample("wc", "wc.lye", "calc2");
             ::rename((ws / "calc2.lye").c_str(), (ws / "calc2.lyy").c_str());
             writeFile(ws / "calc2.y", "%token A\n%%\ns : A ;\n%%\n");
             ASSERT_EQ(ws.vork({"--cc", ws.root("cc.sh"), "--make", ws / "calc2.lyy"}).status, 0);
         },
         0, true, false, true},
        {"lexyy.cpp written by someone else",
         [](Workspace& ws) { writeFile(ws / "lexyy.cpp", "int stale;\n"); },
         0, true, false, true},
        {"calc.exe cut off by a killed link", [](Workspace& ws) { writeFile(ws / "calc.exe", ""); }, 0, false, false,
         true},
        {"calc.exe replaced", [](Workspace& ws) { writeFile(ws / "calc.exe", "#!/bin/sh\nexit 9\n"); }, 0, false,
         false, true},
    };
    for (const StampCase& c : cases) {
        SCOPED_TRACE(c.what);
        Workspace ws;
        ws.copyExample("calc", "calc.lyy");
        const std::string cc = ws.root("cc.sh");
        test::writeStandInCompiler(cc, ws.root("cc.log"), 0);
        setTime(ws / "calc.l", kSlot, 0);
        setTime(ws / "calc.y", kSlot, 0);
        ASSERT_EQ(ws.vork({"--cc", cc, "--make", ws / "calc.lyy"}).status, 0);
        c.change(ws);
        test::RunResult again = ws.vork({"--cc", cc, "--make", ws / "calc.lyy"});
        EXPECT_EQ(again.status, c.status) << again.out;
        EXPECT_EQ(has(again, "Generovanie lexikalneho analyzatora: calc.l->lexyy.cpp"), c.lex) << again.out;
        EXPECT_EQ(has(again, "Generovanie syntaktickeho analyzatora: calc.y->calc.cpp"), c.yacc) << again.out;
        EXPECT_EQ(has(again, "Generovanie spustitelneho prekladaca: calc.cpp"), c.compiled) << again.out;
        // The project file keeps its two-second stamps.
        EXPECT_EQ(test::lines(readFile(ws / "calc.lyy"))[0], std::to_string(fileStamp(ws / "calc.l")) + "\r");
        // Whatever happened, the make after it has nothing to do.
        EXPECT_EQ(ws.vork({"--cc", cc, "--make", ws / "calc.lyy"}).status, 2);
    }
}

// vork-cc links under a temporary name: a compile cut off while linking
// leaves the old program whole, and no partial one under its name; -o puts
// the program elsewhere, and only there.
TEST(BuildSafety, VorkCcCutOffWhileLinkingLeavesNoPartialProgram)
{
    struct Case { const char* what; std::string cxx; std::string args; const char* program; bool whole; };
    const Case cases[] = {
        // A compiler that writes half its output and is then killed.
        {"killed, beside the source",
         "#!/bin/sh\nfor a; do [ \"$prev\" = -o ] && out=$a; prev=$a; done\nprintf half > \"$out\"\nkill -9 $$\n", "",
         "p.exe", false},
        {"killed, with -o", "#!/bin/sh\nfor a; do [ \"$prev\" = -o ] && out=$a; prev=$a; done\nprintf half > \"$out\"\nkill -9 $$\n",
         " -o 'out dir/q.exe'", "out dir/q.exe", false},
        {"finished, with -o", "", " -o 'out dir/q.exe'", "out dir/q.exe", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        ::mkdir((dir / "out dir").c_str(), 0755);
        writeFile(dir / "p.cpp", "int main() { return 3; }\n");
        writeFile(dir / c.program, "old program");
        std::string env;
        if (!c.cxx.empty()) {
            test::makeExecutable(dir / "cxx.sh", c.cxx);
            env = "CXX=" + quoted(dir / "cxx.sh") + " ";
        }
        test::RunResult r =
            vorktest::runIn(dir.path(), env + vorktest::program("vork-cc") + " " + quoted(dir / "p.cpp") + c.args);
        EXPECT_EQ(r.status == 0, c.whole) << r.err;
        if (c.whole)
            EXPECT_EQ(vorktest::runIn(dir.path(), quoted(dir / c.program)).status, 3);
        else
            EXPECT_EQ(readFile(dir / c.program), "old program");
        EXPECT_FALSE(c.whole && test::exists(dir / "p.exe"));
        for (const std::string& sub : {dir.path(), dir / "out dir"})
            for (const std::string& name : test::listing(sub))
                EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
}

// ---- Two builds at once ----------------------------------------------------

// `vork --wait --make` started while holder holds a lock builds nothing
// until the lock is let go, and then builds.
void expectAWaitingMakeBuildsOnceLetGo(Workspace& ws, const std::string& cc, std::unique_ptr<ProjectLock>& holder)
{
    test::RunResult waited;
    std::thread waiter([&] { waited = ws.vork({"--wait", "--cc", cc, "--make", ws / "calc.lyy"}); });
    ::usleep(300 * 1000);
    EXPECT_FALSE(test::exists(ws / "lexyy.cpp"));
    holder.reset();
    waiter.join();
    EXPECT_EQ(waited.status, 0) << waited.out << waited.err;
    EXPECT_TRUE(test::exists(ws / "calc.exe"));
}

TEST(BuildSafety, ABuildWithoutTheProjectsLockRefusesOrWaits)
{
    Workspace ws;
    ws.copyExample("calc", "calc.lyy");
    const std::string cc = ws.root("cc.sh");
    test::writeStandInCompiler(cc, ws.root("cc.log"), 0);
    const std::string before = readFile(ws / "calc.lyy");
    auto holder = std::make_unique<ProjectLock>(ws / "calc.lyy");
    ASSERT_TRUE(holder->held());

    struct Case { std::vector<std::string> args; };
    const Case cases[] = {
        {{"--build"}}, {{"--rebuild"}}, {{"--lex"}}, {{"--make"}}, {{"--remake"}}, {{"--run"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--cc", cc};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back(ws / "calc.lyy");
        SCOPED_TRACE(c.args[0]);
        test::RunResult r = ws.vork(args);
        EXPECT_EQ(r.status, 7);
        EXPECT_NE(r.err.find("Projekt " + ws / "calc.lyy" +
                             " je otvorený len na čítanie (má ho otvorený iné okno VORK), nezostavuje sa."),
                  std::string::npos)
            << r.err;
        EXPECT_FALSE(test::exists(ws / "lexyy.cpp"));
        EXPECT_FALSE(test::exists(ws / "calc.cpp"));
        EXPECT_EQ(readFile(ws / "calc.lyy"), before);
    }

    // With --wait it builds once the holder lets go.
    expectAWaitingMakeBuildsOnceLetGo(ws, cc, holder);
}

// Another project of the directory building (its lock held here, as its
// make holds it from its first generation to its compile's end): a build
// option builds nothing and exits with 8, or waits for it with --wait.
TEST(BuildSafety, AnotherProjectsBuildInTheDirectoryRefusesOrWaits)
{
    Workspace ws;
    ws.copyExample("calc", "calc.lyy");
    const std::string cc = ws.root("cc.sh");
    test::writeStandInCompiler(cc, ws.root("cc.log"), 0);
    const std::string lockFile = Projekt::directoryLockFile(ws.dir());
    auto holder = std::make_unique<ProjectLock>(lockFile.substr(0, lockFile.size() - std::string(".lock").size()));
    ASSERT_TRUE(holder->held());
    ASSERT_TRUE(test::exists(lockFile));

    for (const char* option : {"--build", "--lex", "--make", "--remake", "--run"}) {
        SCOPED_TRACE(option);
        test::RunResult r = ws.vork({"--cc", cc, option, ws / "calc.lyy"});
        EXPECT_EQ(r.status, 8);
        EXPECT_NE(r.err.find("V adresári " + ws.dir() + " práve zostavuje iný projekt"), std::string::npos) << r.err;
        EXPECT_FALSE(test::exists(ws / "lexyy.cpp"));
        EXPECT_FALSE(test::exists(ws / "calc.cpp"));
    }

    expectAWaitingMakeBuildsOnceLetGo(ws, cc, holder);
    EXPECT_FALSE(test::exists(lockFile));
}

TEST(BuildSafety, ConcurrentRemakesNeverBuildTogether)
{
    Workspace ws;
    ws.copyExample("calc", "calc.lyy");
    const std::string cc = ws.root("cc.sh");
    // A compile that takes a while, so that the builds overlap.
    test::writeStandInCompiler(cc, ws.root("cc.log"), 0);
    writeFile(cc, readFile(cc).insert(readFile(cc).find('\n') + 1, "sleep 0.3\n"));
    const std::string project = quoted(ws / "calc.lyy");
    const std::string vork = vorktest::program("vork") + " --cc " + quoted(cc);
    for (const char* wait : {"", "--wait "}) {
        SCOPED_TRACE(*wait ? "waiting" : "refusing");
        std::string script;
        for (int i = 0; i < 6; ++i)
            script += "(" + vork + " " + wait + "--remake " + project + " >/dev/null 2>&1; echo $? > s" +
                      std::to_string(i) + ") & ";
        script += "wait";
        vorktest::runIn(ws.root("work"), script);
        int built = 0;
        for (int i = 0; i < 6; ++i) {
            const std::string status = readFile(ws.root("work/s" + std::to_string(i)));
            EXPECT_TRUE(status == "0\n" || (!*wait && status == "7\n")) << status;
            built += status == "0\n";
        }
        EXPECT_GE(built, 1);
        EXPECT_EQ(ws.vork({"--cc", cc, "--run", ws / "calc.lyy"}).status, 0);
    }
}

// ---- Hostile project files -------------------------------------------------

struct HostileCase {
    const char* what;
    std::string cSourceLine;  // empty: the default C source
    std::string member;       // a member line
    bool plantCapture;        // temp.spr is a link to a file outside
};

TEST(BuildSafety, AProjectFileNeverMakesTheBuildWriteOrDeleteOutsideItsDirectory)
{
    const HostileCase cases[] = {
        {"C source outside, relative", "../outside/victim.txt", "", false},
        {"C source outside, absolute", "@/outside/victim.txt", "", false},
        {"C source through a link to outside", "link/victim.txt", "", false},
        {"member outside", "", "../outside/victim.txt", false},
        {"temp.spr planted as a link", "", "", true},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.what);
        Workspace ws;
        ws.copyExample("calc", "calc.lyy");
        const std::string outside = ws.root("outside");
        ::mkdir(outside.c_str(), 0755);
        writeFile(outside + "/victim.txt", "int main() { return 0; }\n");
        writeFile(outside + "/victim.exe", "victim's own program");
        writeFile(outside + "/target", "victim's own file");
        ASSERT_EQ(::symlink(outside.c_str(), (ws / "link").c_str()), 0);
        if (c.plantCapture) {
            ASSERT_EQ(::symlink((outside + "/target").c_str(), (ws / "temp.spr").c_str()), 0);
        }
        std::string source = c.cSourceLine;
        if (!source.empty() && source[0] == '@')
            source = ws.root(source.substr(2));
        writeFile(ws / "calc.lyy", std::string("-1\r\n-1\r\n0\r\n") + (c.member.empty() ? "0" : "1") + "\r\n" +
                                       (source.empty() ? "1" : "0") + "\r\n0\r\n\r\n" +
                                       (c.member.empty() ? "" : c.member + "\r\n") +
                                       (source.empty() ? "" : source + "\r\n"));
        const std::string cc = ws.root("cc.sh");
        test::writeStandInCompiler(cc, ws.root("cc.log"), 0);

        test::RunResult run = ws.vork({"--cc", cc, "--run", ws / "calc.lyy"});
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_EQ(readFile(outside + "/victim.exe"), "victim's own program");
        EXPECT_EQ(readFile(outside + "/target"), "victim's own file");
        EXPECT_EQ(test::listing(outside), (std::vector<std::string>{"target", "victim.exe", "victim.txt"}));
        if (!source.empty()) {
            EXPECT_TRUE(test::exists(ws / "victim.exe"));  // the program is made in the project
        }
        // The planted link is not the build's to remove.
        struct stat st;
        EXPECT_EQ(::lstat((ws / "temp.spr").c_str(), &st) == 0, c.plantCapture);
    }
}

// ---- Generated files that are links ----------------------------------------

struct LinkedOutputCase {
    const char* what;
    const char* name;    // the generated file, planted as a link
    const char* target;  // relative to the test's root; "proj/..." lies inside
    bool debug;          // the token file exists in debug builds only
    bool keptLink;       // a link within the project is the project's own
};

// A generated file planted as a link to someone else's file would be
// written through: the make replaces the link with the generated file and
// leaves the file it led to alone.  A link within the project directory is
// the project's own arrangement and is written through.
TEST(BuildSafety, AGeneratedFileThatLinksOutOfTheProjectIsReplacedNotWrittenThrough)
{
    const LinkedOutputCase cases[] = {
        {"lexyy.cpp to a file outside", "lexyy.cpp", "outside/mine", false, false},
        {"the parser to a file outside", "calc.cpp", "outside/mine", false, false},
        {"the state file to a file outside", "calc.stv", "outside/mine", false, false},
        {"the token file of a debug build to a file outside", "calc.lex", "outside/mine", true, false},
        {"lexyy.cpp leading nowhere outside", "lexyy.cpp", "outside/none", false, false},
        {"lexyy.cpp to a file in the project's subdirectory", "lexyy.cpp", "proj/gen/lexyy.cpp", false, true},
    };
    for (const LinkedOutputCase& c : cases) {
        SCOPED_TRACE(c.what);
        Workspace ws;
        ws.copyExample("calc", "calc.lyy");
        const std::string cc = ws.root("cc.sh");
        test::writeStandInCompiler(cc, ws.root("cc.log"), 0);
        ::mkdir(ws.root("outside").c_str(), 0755);
        ::mkdir((ws / "gen").c_str(), 0755);
        writeFile(ws.root("outside/mine"), "the user's own file\n");
        writeFile(ws / "gen/lexyy.cpp", "old\n");
        if (c.debug) {
            ASSERT_EQ(ws.vork({"--debug-mode", "on", ws / "calc.lyy"}).status, 0);
        }
        ASSERT_EQ(::symlink(ws.root(c.target).c_str(), (ws / c.name).c_str()), 0);

        test::RunResult run = ws.vork({"--cc", cc, "--make", ws / "calc.lyy"});
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_EQ(readFile(ws.root("outside/mine")), "the user's own file\n");
        EXPECT_EQ(test::listing(ws.root("outside")), std::vector<std::string>{"mine"});
        struct stat st;
        ASSERT_EQ(::lstat((ws / c.name).c_str(), &st), 0);
        EXPECT_EQ(S_ISLNK(st.st_mode), c.keptLink);
        const std::string made = readFile(ws / c.name);
        EXPECT_FALSE(made.empty() || made == "old\n" || made == "the user's own file\n") << made;
        EXPECT_EQ(ws.vork({"--cc", cc, "--make", ws / "calc.lyy"}).status, 2);
    }
}

// ---- Endless and oversized inputs ------------------------------------------

struct EndlessCase {
    const char* what;
    std::function<std::string(Workspace&)> prepare;  // returns the operand
    std::vector<std::string> command;
    const char* message;  // on stderr
};

// A bound on the programs' memory: reading 2 GB of zeros would end them.
// (and a pipe waited for would hang them: they are given a minute).
// AddressSanitizer reserves terabytes of address space for its shadow, so
// an address-space limit would stop the sanitized program before it reads
// anything; there the time limit alone must do.
#if defined(__SANITIZE_ADDRESS__)
const char* const kMemoryLimit = "timeout 60 ";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const char* const kMemoryLimit = "timeout 60 ";
#else
const char* const kMemoryLimit = "ulimit -v 600000; timeout 60 ";
#endif
#else
const char* const kMemoryLimit = "ulimit -v 600000; timeout 60 ";
#endif

TEST(BuildSafety, EndlessOrOversizedInputsAreRefusedWithTheirMessage)
{
    const EndlessCase cases[] = {
        {"project file is a link to /dev/zero",
         [](Workspace& ws) {
             ::symlink("/dev/zero", (ws / "zero.lyy").c_str());
             return ws / "zero.lyy";
         },
         {"--info"}, "Chyba pri otváraní projekt súboru "},
        {"project file is a pipe",
         [](Workspace& ws) {
             ::mkfifo((ws / "pipe.lyy").c_str(), 0644);
             return ws / "pipe.lyy";
         },
         {"--make"}, "Chyba pri otváraní projekt súboru "},
        {"project file of 1 GB",
         [](Workspace& ws) {
             writeFile(ws / "big.lyy", "-1\r\n-1\r\n0\r\n0\r\n1\r\n0\r\n\r\n");
             ::truncate((ws / "big.lyy").c_str(), 1L << 30);
             return ws / "big.lyy";
         },
         {"--info"}, "Zlý formát projekt súboru "},
        {"project file one byte above what the format holds",
         [](Workspace& ws) {
             writeFile(ws / "over.lyy", "-1\r\n-1\r\n0\r\n0\r\n1\r\n0\r\n\r\n");
             ::truncate((ws / "over.lyy").c_str(), 67585);
             return ws / "over.lyy";
         },
         {"--info"}, "Zlý formát projekt súboru "},
        {"a directory named like a project, answered Yes",
         [](Workspace& ws) {
             ::mkdir((ws / "dir.lyy").c_str(), 0755);
             return ws / "dir.lyy";
         },
         {"--yes", "--make"}, "Chyba pri otváraní projekt súboru "},
        {"export of /dev/zero", [](Workspace&) { return std::string("/dev/zero"); }, {"--export-html"},
         "nie je obyčajný súbor"},
    };
    for (const EndlessCase& c : cases) {
        SCOPED_TRACE(c.what);
        Workspace ws;
        const std::string operand = c.prepare(ws);
        std::vector<std::string> args = c.command;
        args.push_back(operand);
        test::RunResult r = ws.vork(args, kMemoryLimit);
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        // Nothing left behind: no lock, no templates, no page.
        for (const std::string& name : test::listing(ws.dir()))
            EXPECT_TRUE(name == "zero.lyy" || name == "pipe.lyy" || name == "big.lyy" || name == "over.lyy" ||
                        name == "dir.lyy")
                << name;
        EXPECT_FALSE(test::exists("/dev/zero.html"));
    }

    // The largest project file the format holds still opens.
    Workspace ws;
    std::string file = "-1\r\n-1\r\n0\r\n255\r\n0\r\n0\r\n" + std::string(254, 'a') + "\r\n";
    for (int i = 0; i < 255; ++i) {
        std::string line = std::to_string(i) + "/";
        file += line + std::string(254 - line.size(), 'm') + "\r\n";
    }
    file += std::string(250, 'c') + ".cpp\r\n";  // the C source line
    writeFile(ws / "full.lyy", file);
    test::RunResult info = ws.vork({"--info", ws / "full.lyy"}, kMemoryLimit);
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(has(info, "memberFiles: 255"));
}

// Run arguments the project file could not hold are refused before
// anything runs or is saved; a line break never splits a history item.
TEST(BuildSafety, RunArgumentsTheProjectCannotHoldAreRefused)
{
    const std::vector<std::string> cases[] = {
        {"a\nb"},
        {"a\rb"},
        {std::string(255, 'x')},
        {std::string(200, 'x'), std::string(60, 'y')},
    };
    for (const std::vector<std::string>& words : cases) {
        Workspace ws;
        ws.copyExample("calc", "calc.lyy");
        const std::string before = readFile(ws / "calc.lyy");
        std::vector<std::string> args = {"--run", ws / "calc.lyy", "--"};
        args.insert(args.end(), words.begin(), words.end());
        EXPECT_EQ(ws.vork(args).status, 2);
        EXPECT_EQ(readFile(ws / "calc.lyy"), before);
        EXPECT_FALSE(test::exists(ws / "calc.arg"));
        EXPECT_FALSE(test::exists(ws / "lexyy.cpp"));
    }
}

} // namespace
} // namespace vork
