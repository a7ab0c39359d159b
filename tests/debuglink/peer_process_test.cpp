// The generated compiler's end as a real program (the peer helper compiled
// into a small C program), against the communication thread: whole runs,
// no environment, and either side dying mid-run.
#include "support.h"

#include "vork/debuglink/komvl.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vork::debuglink;
using namespace dltest;

static const std::string kPeer = VORK_PEER_PROGRAM;

TEST(PeerProcess, NoEnvironmentMeansRunningFree)
{
    PrivateNames names;
    Child peer({kPeer, "11", "8:3", "12:0"});
    // The helper waits a bounded time for the environment, then goes on.
    ASSERT_EQ(peer.wait(20s), 0);
    EXPECT_EQ(peer.outputLines(), (Lines{"free", "skip", "skip", "done"}));
}

TEST(PeerProcess, PeerKilledStoppedOrRunning)
{
    for (bool stopped : {true, false}) {
        SCOPED_TRACE(stopped ? "stopped" : "running");
        PrivateNames names;
        LogHost host;
        KomunVlakno t(host);
        host.attach(&t);
        Child peer({kPeer, "--delay-ms", "100000", "11", "8:1"});
        ASSERT_TRUE(t.waitSuspended(10s));
        if (!stopped) {
            t.stepCommand(StepCommand::AfterLexJed); // goes on; the peer sleeps
            std::this_thread::sleep_for(50ms);
        }
        peer.kill(SIGKILL);
        ASSERT_TRUE(peer.wait(5s).has_value());
        EXPECT_EQ(t.suspended(), stopped);
        // What the process runner does when it sees the program's end.
        auto start = std::chrono::steady_clock::now();
        t.requestTermination();
        ASSERT_TRUE(t.waitEnded(3s));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
        t.finish();
        EXPECT_EQ(host.log().back(), "ended");
    }
}

TEST(PeerProcess, EnvironmentKilledMidRunLetsThePeerFinishFree)
{
    PrivateNames names;
    // The environment lives in a child process that stops at AnalysisStart
    // and is then killed.
    int sync[2];
    ASSERT_EQ(pipe(sync), 0);
    pid_t env = fork();
    if (env == 0) {
        close(sync[0]);
        LogHost h;
        KomunVlakno t(h);
        char c = t.waitSuspended(10s) ? 's' : 'x';
        if (write(sync[1], &c, 1) != 1)
            _exit(3);
        pause();
        _exit(0);
    }
    close(sync[1]);
    Child peer({kPeer, "11", "8:1", "12:0"});
    char c = 0;
    ASSERT_EQ(read(sync[0], &c, 1), 1);
    close(sync[0]);
    ASSERT_EQ(c, 's');
    kill(env, SIGKILL);
    ASSERT_EQ(waitpid(env, nullptr, 0), env);
    ASSERT_EQ(peer.wait(10s), 0);
    EXPECT_EQ(peer.outputLines(), (Lines{"free", "skip", "skip", "done"}));

    // The dead environment's block and events are still there; the next
    // debug run uses them as they are, without any cleanup.
    LogHost host;
    KomunVlakno t(host);
    host.attach(&t);
    Child next({kPeer, "11", "3:4:2", "12:0"});
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterBadSyntax));
    ASSERT_EQ(next.wait(10s), 0);
    // every record answered (the peer may note that the environment then
    // let it go)
    const Lines out = next.outputLines();
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(Lines(out.begin(), out.begin() + 3), (Lines{"reply 13", "reply 13", "reply 13"}));
    EXPECT_EQ(out.back(), "done");
    EXPECT_TRUE(host.logged("show 3 4 2"));
    t.finish();
}

// Two debug runs while the environment stays open, on one debug panel.
TEST(PeerProcess, TwoRunsInARow)
{
    NoPrompts prompts;
    PrivateNames names;
    GrammarText grammar{true, {"first"}, ""};
    DebugSession session("VORK", [&] { return grammar; }, prompts);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        session.beginRun("VORK");
        KomunVlakno t(session);
        Child peer({kPeer, "11", "1", "5:7", "12:1"});
        ASSERT_TRUE(t.waitSuspended(10s)); // at AnalysisStart
        EXPECT_EQ(session.panel().trace(), Lines{"Start analyzy"});
        EXPECT_EQ(session.panel().grammar(), grammar.lines);
        ASSERT_TRUE(stepThrough(t, StepCommand::AfterReduction));
        ASSERT_EQ(peer.wait(10s), 0);
        EXPECT_EQ(peer.outputLines(), (Lines{"reply 13", "reply 13", "reply 13", "reply 13", "free", "done"}));
        EXPECT_EQ(session.panel().trace(),
                  (Lines{"Start analyzy", "Syntakticka chyba !", "Syntaktická analýza skončila s chybou!"}));
        EXPECT_EQ(session.panel().stepLine(), "REDUKCIA: 7");
        t.finish();
        EXPECT_TRUE(session.ended());
        EXPECT_FALSE(names.exists(VORK_CHAN_BLOCK_NAME));
        grammar.lines = {"second", "run"};
    }
}

// A peer written against the compatibility <windows.h>, built the way a
// generated debug program is: by vork-cc, as C++ with the compatibility
// headers.  It checks the Win32 calls on their own, then speaks the channel.
TEST(PeerProcess, Win32PeerBuiltWithVorkCc)
{
    PrivateNames names;
    TempDir dir;
    std::filesystem::copy_file(std::string(VORK_SOURCE_DIR) + "/tests/debuglink/win_peer.c", dir.path + "/win_peer.c");
    Child cc({"/bin/sh", std::string(VORK_BIN_DIR) + "/vork-cc", dir.path + "/win_peer.c"});
    ASSERT_EQ(cc.wait(120s), 0);
    const std::string exe = dir.path + "/win_peer.exe";

    Child check({exe, "check"});
    ASSERT_EQ(check.wait(10s), 0) << check.output();
    for (const char* n : {"WP_EVENT", "WP_MAP"})
        shm_unlink(names.path(n).c_str());

    LogHost host;
    KomunVlakno t(host);
    host.attach(&t);
    Child peer({exe, "11", "3:4:2", "12:1"});
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterBadSyntax));
    ASSERT_EQ(peer.wait(10s), 0);
    EXPECT_EQ(peer.outputLines(), (Lines{"reply 13", "reply 13", "reply 13", "done"}));
    EXPECT_EQ(host.stops(), (Lines{"stopped@0", "stopped@1"}));
    EXPECT_TRUE(host.logged("show 3 4 2"));
    EXPECT_TRUE(host.logged("show 12 1 0"));
}

// A parser and its scanner in two C files, both built with the debug
// skeletons and linked by one vork-cc call: one analysis over one channel,
// each unit reported once, by the parser, with its token code.
TEST(PeerProcess, ParserAndScannerInTwoCFilesShareOneAnalysis)
{
    PrivateNames names;
    TempDir dir;
    const auto write = [&](const char* name, const char* text) { std::ofstream(dir.path + "/" + name) << text; };
    write("gram.y", "%{\n#include <stdio.h>\n%}\n%token NUM\n%%\n"
                    "s : s NUM { printf(\"%d\\n\", $2); } | ;\n%%\n"
                    "void yyerror(const char *s) { fprintf(stderr, \"%s\\n\", s); }\n"
                    "int main(int argc, char **argv)\n"
                    "{\n\tif (argc > 1) freopen(argv[1], \"r\", stdin);\n\treturn yyparse();\n}\n");
    write("scan.l", "%{\n#include \"y.tab.h\"\nextern int yylval;\n%}\n%%\n"
                    "[0-9]+\t{ yylval = atoi(yytext); return NUM; }\n.|\\n\t;\n%%\nint yywrap() { return 1; }\n");
    write("y.tab.h", "# define NUM 257\n");
    write("input", "1 22\n");
    const std::string bin = std::string(VORK_BIN_DIR) + "/";
    Child build({"/bin/sh", "-c",
                 "cd '" + dir.path + "' && '" + bin + "duq-yacc' --debug -o y.tab.c gram.y && '" + bin +
                     "duq-lex' --debug -o lex.yy.c scan.l && '" + bin + "vork-cc' y.tab.c lex.yy.c"});
    ASSERT_EQ(build.wait(120s), 0) << build.output();

    LogHost host;
    KomunVlakno t(host);
    host.attach(&t);
    Child peer({dir.path + "/y.tab.exe", dir.path + "/input"});
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterLexJed));
    ASSERT_EQ(peer.wait(10s), 0);
    EXPECT_EQ(peer.outputLines(), (Lines{"1", "22"}));
    int starts = 0, ends = 0;
    Lines units;
    for (const std::string& entry : host.log()) {
        starts += entry.rfind("show 11 ", 0) == 0;
        ends += entry.rfind("show 12 ", 0) == 0;
        if (entry.rfind("show 8 ", 0) == 0)
            units.push_back(entry.substr(7, entry.find(' ', 7) - 7));
    }
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(units, (Lines{"257", "257", "0"}));
}
