// Faults a user's machine produces: a full disk, a directory that cannot be
// written, a skeleton that is gone, a project file cut short, a C compiler
// that is killed.  Each must end with a message and with the previous
// files as they were.
#include "../pipeline/pipeline_fixture.h"

#include "duq_lex/lex_run.h"
#include "duq_yacc/yacc_run.h"
#include "vork/error_list.h"
#include "vork/project/argument_history.h"
#include "vork/project/configuration.h"
#include "vork/project/current_directory.h"
#include "vork/project/project_error.h"
#include "vork/project/texts.h"

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace vork {
namespace {

using test::TempDir;
using test::readFile;
using test::writeFile;

// Runs body in a child process and returns the verdict it writes back:
// body returns a text, empty when everything was as expected.  A child
// that ends abnormally is a verdict of its own.
std::string inChild(const std::function<std::string()>& body)
{
    int out[2];
    if (::pipe(out) != 0)
        return "pipe failed";
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(out[0]);
        const std::string verdict = body();
        if (::write(out[1], verdict.data(), verdict.size()) < 0)
            ::_exit(2);
        ::_exit(0);
    }
    ::close(out[1]);
    std::string verdict;
    char buf[512];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
        verdict.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child ended abnormally: " + std::to_string(status);
    return verdict;
}

// Runs body in a child process whose files may grow to at most limit bytes
// (a disk that fills up), with SIGXFSZ ignored so that a write fails with
// EFBIG instead of killing the child.
std::string withFullDisk(rlim_t limit, const std::function<std::string()>& body)
{
    return inChild([&]() -> std::string {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl = {limit, limit};
        return ::setrlimit(RLIMIT_FSIZE, &rl) == 0 ? body() : "setrlimit failed";
    });
}

// Files left behind by an interrupted write: the temporary ones of the
// atomic replacement and of the parser generator.
std::vector<std::string> leftovers(const std::string& dir)
{
    std::vector<std::string> out;
    for (const std::string& n : test::listing(dir))
        if (n.find(".tmp") != std::string::npos || n.rfind("yacc-", 0) == 0)
            out.push_back(n);
    return out;
}

const std::string kProjectBytes = "100\r\n200\r\n0\r\n1\r\n1\r\n0\r\ninput.txt\r\nutil.c\r\n";

struct FullDiskCase {
    const char* what;
    // what writes; returns its verdict in the child ("" = as expected)
    std::function<std::string(const std::string& dir)> write;
    const char* keptFile;  // the file whose old bytes must survive
};

TEST(FullDisk, EveryWriterFailsCleanlyAndKeepsTheOldFile)
{
    const std::string big(4096, 'x');
    const FullDiskCase cases[] = {
        {"project file",
         [&](const std::string& dir) -> std::string {
             FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
             Projekt p(dir + "calc.lyy", false, ui);
             p.setRunArguments(std::string(200, 'a'));
             for (int i = 0; i < 40; ++i)
                 p.addFile(dir + "member" + std::to_string(i) + ".c");
             if (p.save())
                 return "save reported success";
             if (ui.lastMessage() != texts::kCannotWrite + dir + "calc.lyy")
                 return "message: " + ui.lastMessage();
             p.setSaveOnClose(false);
             return "";
         },
         "calc.lyy"},
        {"konfig.ide",
         [&](const std::string& dir) -> std::string {
             Configuration c;
             c.cCompilerPath = big.substr(0, 250);
             c.fontName = big.substr(0, 250);
             return ConfigFile(dir).write(c) ? "write reported success" : "";
         },
         "konfig.ide"},
        {"argument history",
         [&](const std::string& dir) -> std::string {
             ArgumentHistory h;
             for (int i = 0; i < 50; ++i)
                 h.add("argument-" + std::to_string(i) + big.substr(0, 40));
             return h.save(dir + "calc") ? "save reported success" : "";
         },
         "calc.arg"},
    };
    for (const FullDiskCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        writeFile(dir / "calc.lyy", kProjectBytes);
        writeFile(dir / "konfig.ide", "1\r\n0\r\n1\r\n0\r\ncc\r\nMono\r\n9\r\n0\r\n");
        writeFile(dir / "calc.arg", "old\r\n");
        const std::string before = readFile(dir / c.keptFile);
        // room for the old files, not for the new ones
        EXPECT_EQ(withFullDisk(before.size() + 16, [&] { return c.write(dir.path()); }), "");
        EXPECT_EQ(readFile(dir / c.keptFile), before);
        EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
    }
}

struct GeneratorCase {
    const char* what;
    // runs the generator in dir; returns its status
    std::function<int(const std::string& dir, ListSinks& sinks)> run;
    const char* output;
    const char* source;
};

const GeneratorCase kGenerators[] = {
    {"scanner",
     [](const std::string& dir, ListSinks& s) {
         return duq_lex::lex_run(s, std::string(VORK_BIN_DIR) + "/ncform", dir + "calc.l", dir + "lexyy.cpp", 1, 0, 1);
     },
     "lexyy.cpp", "calc.l"},
    {"parser",
     [](const std::string& dir, ListSinks& s) {
         CurrentDirectory here(dir);
         return duq_yacc::yacc_run(s, std::string(VORK_BIN_DIR) + "/yaccpar", dir + "calc.y", dir + "calc.cpp", 0,
                                   nullptr, 1, dir + "calc.lex", dir + "calc.stv");
     },
     "calc.cpp", "calc.y"},
};

TEST(FullDisk, AGeneratorReportsTheFailureAndLeavesNoPartialOutput)
{
    for (const GeneratorCase& g : kGenerators) {
        SCOPED_TRACE(g.what);
        TempDir dir;
        for (const char* f : {"calc.l", "calc.y"})
            writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
        const std::string source = readFile(dir / g.source);
        EXPECT_EQ(withFullDisk(2048,
                               [&]() -> std::string {
                                   ListSinks sinks;
                                   int status = g.run(dir.path(), sinks);
                                   if (status != 1)
                                       return "status " + std::to_string(status);
                                   if (sinks.errors().empty() && sinks.messages().empty())
                                       return "no message";
                                   return "";
                               }),
                  "");
        // a partial output would pass for an up-to-date one at the next make
        EXPECT_FALSE(test::exists(dir / g.output));
        EXPECT_EQ(readFile(dir / g.source), source);
        EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
    }
}

TEST(FullDisk, AFailedBuildKeepsTheStampsSoTheNextBuildRepeatsIt)
{
    TempDir dir;
    for (const char* f : {"calc.lyy", "calc.l", "calc.y"})
        writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
    const std::string projectBefore = readFile(dir / "calc.lyy");
    EXPECT_EQ(withFullDisk(4096,
                           [&]() -> std::string {
                               FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
                               HeadlessProjekt p(dir / "calc.lyy", false, ui, nullptr, nullptr);
                               p.setSkeletons(SkeletonPaths::inDirectory(VORK_BIN_DIR));
                               const int r = p.build(Projekt::kRebuild);
                               if (r != Projekt::kBuildFailed)
                                   return "build result " + std::to_string(r);
                               if (p.errorList().empty())
                                   return "no error item";
                               if (p.lexStamp() != -1 && p.yaccStamp() != -1)
                                   return "both stamps moved";
                               p.setSaveOnClose(false);
                               return "";
                           }),
              "");
    EXPECT_EQ(readFile(dir / "calc.lyy"), projectBefore);
}

// A directory that cannot be written, made so even for root: the path runs
// through a regular file.
TEST(UnwritableDirectory, EveryWriterSaysSoAndChangesNothing)
{
    TempDir dir;
    writeFile(dir / "plain", "a regular file\n");
    const std::string blocked = dir / "plain/project/";
    {
        FixedAnswerUi ui(FixedAnswerUi::Answer::Yes, nullptr);
        try {
            Projekt p(blocked + "calc.lyy", true, ui);
            ADD_FAILURE() << "a project was created under a regular file";
        } catch (const ProjectError& e) {
            EXPECT_FALSE(e.cancelled());
            EXPECT_EQ(std::string(e.what()).rfind(texts::kCannotCreate, 0), 0u) << e.what();
        }
    }
    EXPECT_FALSE(ConfigFile(blocked).write(Configuration{}));
    ArgumentHistory h;
    h.add("x");
    EXPECT_FALSE(h.save(blocked + "calc"));
    for (const GeneratorCase& g : kGenerators) {
        SCOPED_TRACE(g.what);
        writeFile(dir / g.source, test::sourceFile(std::string("examples/calc/") + g.source));
        ListSinks sinks;
        // the output alone is blocked: the source is readable
        const int status =
            g.output == std::string("lexyy.cpp")
                ? duq_lex::lex_run(sinks, std::string(VORK_BIN_DIR) + "/ncform", dir / "calc.l", blocked + "lexyy.cpp", 1, 0, 1)
                : [&] {
                      CurrentDirectory here(dir.path());
                      return duq_yacc::yacc_run(sinks, std::string(VORK_BIN_DIR) + "/yaccpar", dir / "calc.y",
                                                blocked + "calc.cpp", 0, nullptr, 1, blocked + "calc.lex", "");
                  }();
        EXPECT_EQ(status, 1);
        EXPECT_FALSE(sinks.errors().empty() && sinks.messages().empty());
        EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
    }
    EXPECT_EQ(readFile(dir / "plain"), "a regular file\n");
}

TEST(UnwritableDirectory, SavingAProjectWhoseDirectoryWentAwayKeepsItOpen)
{
    TempDir dir;
    ::mkdir((dir / "p").c_str(), 0755);
    writeFile(dir / "p/calc.lyy", kProjectBytes);
    FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
    Projekt p(dir / "p/calc.lyy", false, ui);
    // the directory is moved away and a file takes its name
    ASSERT_EQ(::rename((dir / "p").c_str(), (dir / "moved").c_str()), 0);
    writeFile(dir / "p", "");
    p.setRunArguments("new.txt");
    EXPECT_FALSE(p.save());
    EXPECT_EQ(ui.lastMessage(), texts::kCannotWrite + dir / "p/calc.lyy");
    EXPECT_TRUE(p.loaded());
    EXPECT_EQ(readFile(dir / "moved/calc.lyy"), kProjectBytes);
    // the directory comes back: the next save works
    ASSERT_EQ(::unlink((dir / "p").c_str()), 0);
    ASSERT_EQ(::rename((dir / "moved").c_str(), (dir / "p").c_str()), 0);
    EXPECT_TRUE(p.save());
    EXPECT_NE(readFile(dir / "p/calc.lyy").find("new.txt\r\n"), std::string::npos);
}

// Runs body in a child process that may not write path: path gets mode,
// and as root the child becomes the user nobody, whom the mode binds (root
// it would not).  Afterwards path gets restore.  body returns its verdict
// as a text, empty when everything was as expected.
std::string withoutWriteAccess(const std::string& path, mode_t mode, mode_t restore,
                               const std::function<std::string()>& body)
{
    const std::string verdict = inChild([&]() -> std::string {
        const bool dropped = ::chmod(path.c_str(), mode) == 0 &&
                             (::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0));
        if (!dropped)
            return "could not take the write access away";
        return ::access(path.c_str(), W_OK) == 0 ? "still writable" : body();
    });
    ::chmod(path.c_str(), restore);
    return verdict;
}

// A project in a directory the user may only read (a shared one, the
// installed examples): opening and closing it, or a make that finds
// everything up to date, has nothing to write and says nothing; a change
// that cannot be saved is still told.
TEST(ReadOnlyDirectory, OnlyAChangeNeedsTheProjectFileWritten)
{
    struct Case {
        const char* what;
        std::function<void(Projekt&)> use;
        bool told;
    };
    const Case cases[] = {
        {"opened and closed", [](Projekt&) {}, false},
        {"saved without a change", [](Projekt& p) { p.save(); }, false},
        {"run arguments changed", [](Projekt& p) { p.setRunArguments("other.txt"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ::chmod(dir.path().c_str(), 0755);  // nobody may look in
        const std::string ro = dir / "ro/";
        ::mkdir(ro.c_str(), 0755);
        writeFile(ro + "calc.lyy", kProjectBytes);
        EXPECT_EQ(withoutWriteAccess(ro, 0555, 0755, [&]() -> std::string {
                      FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
                      {
                          Projekt p(ro + "calc.lyy", false, ui);
                          c.use(p);
                      }
                      const std::string said = ui.lastMessage();
                      if (c.told != (said == texts::kCannotWrite + ro + "calc.lyy"))
                          return "message: \"" + said + "\"";
                      return "";
                  }),
                  "");
        EXPECT_EQ(readFile(ro + "calc.lyy"), kProjectBytes);
        EXPECT_EQ(test::listing(ro), std::vector<std::string>{"calc.lyy"});
    }
}

// A project file the user made read-only in a directory they may write:
// the save is refused as a plain write would be, instead of a new file
// being renamed over the protected one.
TEST(ReadOnlyProjectFile, ASaveIsRefusedAndTheFileKept)
{
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);  // nobody may write here
    const std::string file = dir / "calc.lyy";
    writeFile(file, kProjectBytes);
    EXPECT_EQ(withoutWriteAccess(file, 0444, 0644, [&]() -> std::string {
                  FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
                  Projekt p(file, false, ui);
                  p.setRunArguments("other.txt");
                  if (p.save())
                      return "the save went through";
                  if (ui.lastMessage() != texts::kCannotWrite + file)
                      return "message: \"" + ui.lastMessage() + "\"";
                  p.setSaveOnClose(false);
                  return "";
              }),
              "");
    EXPECT_EQ(readFile(file), kProjectBytes);
    EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
}

TEST(Skeleton, MissingOrADirectoryFailsTheRunWithoutOutput)
{
    TempDir dir;
    ::mkdir((dir / "skeldir").c_str(), 0755);
    for (const char* f : {"calc.l", "calc.y"})
        writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
    for (const std::string& skeleton : {dir / "missing", dir / "skeldir"}) {
        for (int generator = 0; generator < 2; ++generator) {
            SCOPED_TRACE(skeleton + (generator ? " parser" : " scanner"));
            ListSinks sinks;
            int status;
            std::string output;
            if (generator == 0) {
                output = dir / "lexyy.cpp";
                status = duq_lex::lex_run(sinks, skeleton, dir / "calc.l", output, 1, 0, 1);
            } else {
                output = dir / "calc.cpp";
                CurrentDirectory here(dir.path());
                status = duq_yacc::yacc_run(sinks, skeleton, dir / "calc.y", output, 0, nullptr, 1, dir / "calc.lex", "");
            }
            EXPECT_EQ(status, 1);
            EXPECT_FALSE(sinks.errors().empty() && sinks.messages().empty());
            EXPECT_FALSE(test::exists(output));
            EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
        }
    }
}

TEST(Skeleton, OneWithoutTheActionsMarkerLeavesNoTemporaryFile)
{
    TempDir dir;
    writeFile(dir / "calc.y", test::sourceFile("examples/calc/calc.y"));
    writeFile(dir / "engine", "int yyparse() { return 0; }\n");
    ListSinks sinks;
    CurrentDirectory here(dir.path());
    EXPECT_EQ(duq_yacc::yacc_run(sinks, dir / "engine", dir / "calc.y", dir / "calc.cpp", 0, nullptr, 1, "", ""), 0);
    EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
    EXPECT_NE(readFile(dir / "calc.cpp").find("int yyparse() { return 0; }"), std::string::npos);
}

// Every prefix of a project file either opens or is refused with the
// format message; a refused file is left exactly as it was.
TEST(TruncatedProjectFile, EveryPrefixOpensOrIsRefusedUntouched)
{
    const std::string full =
        "-1\r\n12345\r\n1\r\n3\r\n0\r\n1\r\nin.txt -v\r\nutil.c\r\nsub/lib.c\r\n../shared/x.c\r\nmain.c\r\n";
    TempDir dir;
    int opened = 0, refused = 0;
    for (size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        const std::string cut = full.substr(0, n);
        writeFile(dir / "calc.ly", cut);
        FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
        try {
            Projekt p(dir / "calc.ly", false, ui);
            p.setSaveOnClose(false);
            ++opened;
            EXPECT_LE(p.fileCount(), 3);
        } catch (const ProjectError& e) {
            ++refused;
            EXPECT_EQ(std::string(e.what()), texts::kBadFormat + dir / "calc.ly");
        }
        EXPECT_EQ(readFile(dir / "calc.ly"), cut);
        EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"calc.ly"});
    }
    // the whole file, and the cuts in its last line, open
    EXPECT_GE(opened, 2);
    EXPECT_GT(refused, 50);
}

// The C compiler dies by a signal in the middle of its work: the make
// reports the failure, removes any executable it left, and the project
// builds again once the compiler works.
TEST(KilledCompiler, TheCompileFailsAndTheNextOneWorks)
{
    TempDir dir;
    for (const char* f : {"calc.lyy", "calc.l", "calc.y"})
        writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
    const std::string killer = dir / "killed-cc.sh";
    // leaves half an executable, then is killed
    test::makeExecutable(killer, "#!/bin/sh\nfor last in \"$@\"; do :; done\necho compiling\n"
                                 "printf '#!/bin/sh\\n' > \"${last%.*}.exe\"\nkill -KILL $$\n");
    const std::string good = dir / "cc.sh";
    test::writeStandInCompiler(good, dir / "cc.log", 0);
    FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
    HeadlessProjekt p(dir / "calc.lyy", false, ui, nullptr, nullptr);
    p.setSkeletons(SkeletonPaths::inDirectory(VORK_BIN_DIR));
    Configuration c;
    c.cCompilerPath = killer;
    p.setConfiguration(c);
    ASSERT_EQ(p.make(), Projekt::kMakeCompiling);
    p.waitUntilIdle();
    EXPECT_EQ(p.lastCompileExitCode(), 128 + SIGKILL);
    EXPECT_EQ(p.compileState(), Projekt::kCompileFailed);
    EXPECT_FALSE(test::exists(p.executableName()));
    EXPECT_TRUE(test::contains(p.exeList(), "compiling"));
    EXPECT_TRUE(test::contains(p.exeList(), "Externý prekladač skončil s kódom 137."));

    c.cCompilerPath = good;
    p.setConfiguration(c);
    ASSERT_EQ(p.make(), Projekt::kMakeCompiling);
    p.waitUntilIdle();
    EXPECT_EQ(p.lastCompileExitCode(), 0);
    EXPECT_EQ(p.compileState(), Projekt::kCompileSucceeded);
    EXPECT_TRUE(test::exists(p.executableName()));
}

// Whether pid is gone (or only waits to be collected by whoever inherited
// it): a process left running after the stop would show as alive.
bool ended(pid_t pid)
{
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close == std::string::npos || stat.compare(close + 1, 3, " Z ") == 0;
}

// A compiler that hangs is stopped ("Zastaviť" in the window, a signal to
// the headless vork) with everything it started: a driver's children (g++
// runs cc1plus and ld, vork-cc runs g++) would otherwise go on alone,
// hanging for ever or writing into the project after the compile ended.
TEST(HangingCompiler, StoppingItEndsTheCompilersChildrenToo)
{
    struct Case {
        const char* what;
        const char* driver;  // the stand-in compiler after "#!/bin/sh"
        int signal;          // sent to this process; 0: requestStop()
    };
    const Case cases[] = {
        {"a driver that waits for its child, stopped", "sleep 300 &\necho $! > child.pid\nwait\n", 0},
        {"a driver that defers its TERM trap, stopped",
         "trap 'exit 143' TERM\nsh -c 'echo $$ > child.pid; exec sleep 300'\n", 0},
        {"a driver that waits for its child, headless vork terminated", "sleep 300 &\necho $! > child.pid\nwait\n",
         SIGTERM},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        for (const char* f : {"calc.lyy", "calc.l", "calc.y"})
            writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
        test::makeExecutable(dir / "cc.sh", std::string("#!/bin/sh\n") + c.driver);
        auto childStarted = [&] {
            for (int i = 0; i < 200 && readFile(dir / "child.pid").empty(); ++i)
                ::usleep(25000);
            return !readFile(dir / "child.pid").empty();
        };
        if (c.signal == 0) {
            FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
            HeadlessProjekt p(dir / "calc.lyy", false, ui, nullptr, nullptr);
            p.setSkeletons(SkeletonPaths::inDirectory(VORK_BIN_DIR));
            Configuration config;
            config.cCompilerPath = dir / "cc.sh";
            p.setConfiguration(config);
            ASSERT_EQ(p.make(), Projekt::kMakeCompiling);
            ASSERT_TRUE(childStarted());
            p.requestStop();
            p.waitUntilIdle();
            EXPECT_EQ(p.compileState(), Projekt::kCompileFailed);
        } else {
            const std::string vork = std::string(VORK_BIN_DIR) + "/vork";
            const std::string cc = dir / "cc.sh", project = dir / "calc.lyy";
            std::fflush(nullptr);
            const pid_t pid = ::fork();
            if (pid == 0) {
                const int null = ::open("/dev/null", O_WRONLY);
                ::dup2(null, 1);
                ::dup2(null, 2);
                ::execl(vork.c_str(), vork.c_str(), "--cc", cc.c_str(), "--make", project.c_str(),
                        static_cast<char*>(nullptr));
                ::_exit(127);
            }
            ASSERT_TRUE(childStarted());
            ::kill(pid, c.signal);
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            // vork still ends by the signal, as before.
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        }
        const pid_t child = std::atoi(readFile(dir / "child.pid").c_str());
        ASSERT_GT(child, 0);
        bool gone = false;
        for (int i = 0; i < 100 && !(gone = ended(child)); ++i)
            ::usleep(20000);
        EXPECT_TRUE(gone) << "the compiler's child " << child << " still runs";
        if (!gone)
            ::kill(child, SIGKILL);
        // Nothing of the stopped compile is left in the project.
        for (const std::string& n : test::listing(dir.path()))
            EXPECT_EQ(n.rfind("temp.spr", 0), std::string::npos) << n;
    }
}

// The real generators, except that one of them writes half its output and
// then the process is killed, as a SIGKILL in the middle of a generation
// leaves things.
class KilledHalfway : public Generators {
public:
    explicit KilledHalfway(bool inParser) : inParser_(inParser) {}
    int lexRun(Sinks& sinks, const std::string& skeleton, const std::string& spec, const std::string& output,
               int slovak, int statistics, int optimise, int large) override
    {
        if (!inParser_)
            die(output);
        return builtInGenerators().lexRun(sinks, skeleton, spec, output, slovak, statistics, optimise, large);
    }
    int yaccRun(Sinks& sinks, const std::string& skeleton, const std::string& grammar, const std::string& output,
                int debug, int* tokens, int slovak, const std::string& tokenFile, const std::string& stateFile,
                int large, int fast) override
    {
        if (inParser_)
            die(output);
        return builtInGenerators().yaccRun(sinks, skeleton, grammar, output, debug, tokens, slovak, tokenFile,
                                           stateFile, large, fast);
    }
    bool jalTranslate(const std::string&, std::ostream&, std::string&) override { return false; }

private:
    [[noreturn]] static void die(const std::string& output)
    {
        writeFile(output, "/* half of a generated file */\nint yy");
        ::kill(::getpid(), SIGKILL);
        ::_exit(9);
    }
    bool inParser_;
};

// A make killed while a generator writes (after an earlier make, so that
// the stamps still match): the next make generates that file again and
// compiles only whole files.
TEST(KilledGeneration, TheNextMakeGeneratesTheCutFileAgain)
{
    for (const bool inParser : {false, true}) {
        SCOPED_TRACE(inParser ? "killed in the parser generation" : "killed in the scanner generation");
        TempDir dir;
        for (const char* f : {"calc.lyy", "calc.l", "calc.y"})
            writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
        const std::string cc = dir / "cc.sh";
        // The stand-in compiler refuses a cut file.
        test::makeExecutable(cc, "#!/bin/sh\nfor last in \"$@\"; do :; done\n"
                                 "grep -l 'half of a generated' lexyy.cpp \"$last\" && exit 1\n"
                                 "printf '#!/bin/sh\\n' > \"${last%.*}.exe\"; chmod +x \"${last%.*}.exe\"\n");
        Configuration config;
        config.cCompilerPath = cc;
        auto make = [&](Generators* generators, bool remake) {
            FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
            HeadlessProjekt p(dir / "calc.lyy", false, ui, nullptr, nullptr);
            p.setSkeletons(SkeletonPaths::inDirectory(VORK_BIN_DIR));
            p.setConfiguration(config);
            if (generators)
                p.setGenerators(*generators);
            const int made = remake ? p.remake() : p.make();
            p.waitUntilIdle();
            return made == Projekt::kMakeCompiling ? p.lastCompileExitCode() : 100 + made;
        };
        ASSERT_EQ(make(nullptr, false), 0);
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            KilledHalfway killer(inParser);
            make(&killer, true);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        const std::string cut = dir / (inParser ? "calc.cpp" : "lexyy.cpp");
        ASSERT_NE(readFile(cut).find("half of a generated"), std::string::npos);

        EXPECT_EQ(make(nullptr, false), 0);
        EXPECT_EQ(readFile(cut).find("half of a generated"), std::string::npos);
        EXPECT_EQ(make(nullptr, false), 100 + Projekt::kMakeUpToDate);
    }
}

// The calculator example, built by vork-cc and run on inputs a user may
// type: it answers every line and never traps.
TEST(GeneratedCalculator, ArithmeticEdgesGiveAnswersNotATrap)
{
    struct Case {
        const char* line;
        const char* answer;
    };
    const Case cases[] = {
        {"(-2147483647 - 1) / -1", "-2147483648"},  // the quotient no int holds
        {"(-2147483647 - 1) % -1", "0"},
        {"7 / 0", "riadok 3: delenie nulou"},
        {"-7 % 3", "-1"},
        {"1 + + 2", "riadok 5: syntax error"},
        {"2147483647 + 1", "-2147483648"},
    };
    TempDir dir;
    for (const char* f : {"calc.lyy", "calc.l", "calc.y"})
        writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
    std::string input;
    for (const Case& c : cases)
        input += std::string(c.line) + "\n";
    writeFile(dir / "in.txt", input);
    const test::RunResult r = test::runVork("--run " + test::quoted(dir / "calc.lyy") + " -- in.txt");
    ASSERT_EQ(r.status, 0) << r.out;
    std::vector<std::string> out = test::lines(r.out);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_TRUE(test::contains(out, c.answer)) << r.out;
    }
}

} // namespace
} // namespace vork
