// duq-lex, duq-yacc, jal and vork as a user meets them: the files they keep
// their work in, the outputs they refuse, the inputs that would never end,
// and file names that begin with '-'.
#include "../common/test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using vorktest::exists;
using vorktest::readFile;
using vorktest::writeFile;

namespace {

using Files = std::map<std::string, std::string>;  // name -> bytes

const char kGrammar[] = "%token A\n%%\ns : A { act(); } ;\n";
const char kYaccSkeleton[] = "int yyparse() { switch (0) { $A } }\n";
const char kSpec[] = "%%\nab\t{ return 1; }\n";
const char kLexSkeleton[] = "/* lex skeleton */\n";
const char kJal[] = ".source t.jal\n.class public T .super java/lang/Object\n";

// A directory with the usual inputs: g.y with skel, x.l with lskel, t.jal.
struct Workspace {
    Workspace()
    {
        put("g.y", kGrammar);
        put("skel", kYaccSkeleton);
        put("x.l", kSpec);
        put("lskel", kLexSkeleton);
        put("t.jal", kJal);
    }
    std::string operator/(const std::string& name) const { return dir / name; }
    void put(const std::string& name, const std::string& bytes) { ASSERT_TRUE(writeFile(dir / name, bytes)); }
    // Runs a command line in the directory; "timeout" ends one that would
    // never finish (status 124) instead of blocking the suite.
    vorktest::Run run(const std::string& command) const
    {
        return vorktest::runIn(dir.path(), "timeout 60 " + command);
    }
    // The work files a run left behind.
    std::vector<std::string> leftovers(const std::string& sub = ".") const
    {
        std::vector<std::string> left = vorktest::namesStartingWith(dir / sub, "yacc-");
        for (const std::string& n : vorktest::namesStartingWith(dir / sub, "jaltemp-"))
            left.push_back(n);
        return left;
    }

    vorktest::TempDir dir;
};

std::string bin(const std::string& name) { return vorktest::program(name); }

} // namespace

// Work files are made new under names of their own: a link or a user's
// file that is called like one of the old fixed names is never written,
// truncated or removed.
TEST(WorkFiles, NeverFollowALinkNorTouchAFileOfTheUser)
{
    struct Case {
        const char* name;
        Files links;   // name in the work directory -> target (in outside/)
        Files own;     // the user's files in the work directory
        std::string command;
        int status;
        const char* out;  // a piece of standard output
    };
    const Case cases[] = {
        {"duq-yacc, both work names linked outside", {{"yacc.tmp", "a"}, {"yacc.act", "b"}}, {},
         bin("duq-yacc") + " -k skel g.y", 0, "Parser was written to \"g.cpp\"."},
        {"duq-yacc, the user's own files by those names", {}, {{"yacc.tmp", "mine 1"}, {"yacc.act", "mine 2"}},
         bin("duq-yacc") + " -k skel g.y", 0, "Everything went OK!"},
        {"duq-yacc, a failed run", {{"yacc.tmp", "a"}}, {{"yacc.act", "mine"}},
         bin("duq-yacc") + " -k skel missing.y", 1, "Initialization... "},
        {"duq-yacc in debug mode, with the token file", {{"yacc.act", "b"}}, {{"yacc.tmp", "mine"}},
         bin("duq-yacc") + " --debug -k skel g.y", 0, "Info file was written to \"g.lex\"."},
        {"jal, the message file's old name linked outside", {{"jaltemp.tmp", "a"}}, {},
         bin("jal") + " t.jal", 0, "Vstupny subor OK\nVystupny subor OK\n"},
        {"jal on a missing source", {}, {{"jaltemp.tmp", "mine"}}, bin("jal") + " nosuch.jal", 1,
         "Nemozno otvorit \"nosuch.jal\"\n"},
        {"jal on a bad source", {{"jaltemp.tmp", "b"}}, {}, "echo nop > bad.jal && " + bin("jal") + " bad.jal", 1,
         "Chybny subor \"bad.jal\"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace w;
        ASSERT_EQ(mkdir((w / "outside").c_str(), 0700), 0);
        Files outside = {{"a", "outside a\n"}, {"b", "outside b\n"}};
        for (const auto& [name, bytes] : outside)
            w.put("outside/" + name, bytes);
        for (const auto& [name, target] : c.links)
            ASSERT_EQ(symlink(("outside/" + target).c_str(), (w / name).c_str()), 0);
        for (const auto& [name, bytes] : c.own)
            w.put(name, bytes);

        const vorktest::Run r = w.run(c.command);
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        for (const auto& [name, bytes] : outside)
            EXPECT_EQ(readFile(w / ("outside/" + name)), bytes) << name;
        for (const auto& [name, target] : c.links) {
            struct stat st;
            EXPECT_TRUE(lstat((w / name).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << name;
        }
        for (const auto& [name, bytes] : c.own)
            EXPECT_EQ(readFile(w / name), bytes) << name;
        EXPECT_EQ(w.leftovers(), std::vector<std::string>{});
        if (c.status == 0 && c.command.find("duq-yacc") != std::string::npos) {
            EXPECT_NE(readFile(w / "g.cpp").find("act();"), std::string::npos);
        }
    }
}

// The make engine runs DUQ-yacc in the project directory: links there lead
// nowhere outside either.
TEST(WorkFiles, VorkBuildKeepsLinksInTheProjectDirectory)
{
    Workspace w;
    for (const char* f : {"calc.lyy", "calc.l", "calc.y", "input.txt"})
        w.put(f, vorktest::sourceFile(std::string("examples/calc/") + f));
    w.put("victim", "outside the project\n");
    for (const char* name : {"yacc.tmp", "yacc.act", "jaltemp.tmp"})
        ASSERT_EQ(symlink("victim", (w / name).c_str()), 0);
    const vorktest::Run r = w.run(bin("vork") + " --build calc.lyy");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(readFile(w / "victim"), "outside the project\n");
    EXPECT_NE(readFile(w / "calc.cpp").find("yyparse"), std::string::npos);
    EXPECT_EQ(w.leftovers(), std::vector<std::string>{});
}

// An output that is one of the run's inputs (the grammar, the
// specification, a skeleton, the Jal source) or another of its outputs is
// refused before anything is written.
TEST(RefusedOutputs, NoOutputReplacesAnInput)
{
    struct Case {
        const char* name;
        std::string setup;  // shell commands run first ("" for none)
        std::string command;
        int status;
        const char* said;   // a piece of standard output or error
        std::vector<std::string> kept;     // files that must keep their bytes
        std::vector<std::string> missing;  // files that must not exist
    };
    const Case cases[] = {
        {"duq-yacc, parser over its skeleton", "cp skel myskel", bin("duq-yacc") + " -k myskel -o myskel g.y", 1,
         "cannot open output ( table ) file", {"myskel", "g.y"}, {}},
        {"duq-yacc, parser over a link to the skeleton", "ln -s skel out.c", bin("duq-yacc") + " -k skel -o out.c g.y",
         1, "cannot open output ( table ) file", {"skel"}, {}},
        {"duq-yacc, parser over a hard link of the grammar", "ln g.y h.y", bin("duq-yacc") + " -k skel -o h.y g.y", 1,
         "cannot open output ( table ) file", {"g.y"}, {}},
        {"duq-yacc, token file over the parser", "", bin("duq-yacc") + " --debug -k skel --tokens ./g.cpp g.y", 1,
         "cannot open ./g.cpp", {}, {"g.cpp"}},
        {"duq-yacc, token file over the skeleton", "", bin("duq-yacc") + " --debug -k skel --tokens skel g.y", 1,
         "cannot open skel", {"skel"}, {"g.cpp"}},
        {"duq-yacc, listing over the skeleton: the parser is still written", "",
         bin("duq-yacc") + " -k skel --states skel g.y", 0, "cannot write the state file \"skel\"", {"skel"}, {}},
        // The old fixed work names are outputs like any other now.
        {"duq-yacc, parser named like the old action file", "", bin("duq-yacc") + " -k skel -o yacc.act g.y", 0,
         "Parser was written to \"yacc.act\".", {}, {}},
        {"duq-lex, scanner over its skeleton", "", bin("duq-lex") + " -k lskel -o lskel x.l", 1,
         "Can't open output file: lskel", {"lskel"}, {}},
        {"duq-lex, scanner over a hard link of the specification", "ln x.l h.l", bin("duq-lex") + " -k lskel -o h.l x.l",
         1, "Can't open output file: h.l", {"x.l"}, {}},
        {"jal, a source named like its class file", "cp t.jal HELLO.CLASS", bin("jal") + " HELLO.CLASS", 1,
         "Vystupny subor \"HELLO.CLASS\" je zdrojovy subor", {"HELLO.CLASS"}, {}},
        {"jal, the class file a link to the source", "ln -s t.jal T.CLASS", bin("jal") + " t.jal", 1,
         "Vystupny subor \"T.CLASS\" je zdrojovy subor", {"t.jal"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace w;
        if (!c.setup.empty()) {
            ASSERT_EQ(w.run(c.setup).status, 0);
        }
        Files before;
        for (const std::string& f : c.kept)
            before[f] = readFile(w / f);
        const vorktest::Run r = w.run(c.command);
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << r.out << r.err;
        for (const auto& [name, bytes] : before)
            EXPECT_EQ(readFile(w / name), bytes) << name;
        for (const std::string& f : c.missing)
            EXPECT_FALSE(exists(w / f)) << f;
        EXPECT_EQ(w.leftovers(), std::vector<std::string>{});
    }
    // The parser named like the old action file is a parser of normal size
    // (it once grew without end, copying itself into itself).
    Workspace w;
    ASSERT_EQ(w.run(bin("duq-yacc") + " -k skel -o yacc.act g.y").status, 0);
    const std::string parser = readFile(w / "yacc.act");
    EXPECT_LT(parser.size(), 20000u);
    EXPECT_NE(parser.find("case 1:"), std::string::npos);
    // A listing named like the old table file is kept (it was said to be
    // written and then deleted as the work file).
    const vorktest::Run listed = w.run(bin("duq-yacc") + " -k skel --states yacc.tmp -o g.cpp g.y");
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(readFile(w / "yacc.tmp").find("state 1"), std::string::npos);
    EXPECT_EQ(w.leftovers(), std::vector<std::string>{});
}

// A device, a pipe or a huge file is no grammar, specification, skeleton
// or Jal source: the run ends at once with a message and writes nothing.
TEST(EndlessInputs, OnlyPlainFilesOfASaneSizeAreRead)
{
    struct Case {
        std::string command;
        const char* said;  // a piece of standard output or error
        const char* notWritten;  // in the directory, or an absolute path
    };
    const Case cases[] = {
        {bin("duq-yacc") + " -k skel /dev/zero", "input file is not a regular file", "/dev/zero.cpp"},
        {bin("duq-yacc") + " -k skel pipe", "input file is not a regular file", "pipe.cpp"},
        {bin("duq-yacc") + " -k skel big.y", "input file is too large (at most 16 MB)", "big.cpp"},
        {bin("duq-yacc") + " -k /dev/zero g.y", "cannot find parser skeleton file \"/dev/zero\"", "g.cpp"},
        {bin("duq-yacc") + " -k pipe g.y", "cannot find parser skeleton file \"pipe\"", "g.cpp"},
        {bin("duq-yacc") + " -k big.y g.y", "parser skeleton file \"big.y\" is too large (at most 16 MB)", "g.cpp"},
        {bin("duq-yacc") + " --slovak -k skel big.y", "vstupny subor je prilis velky (najviac 16 MB)", "big.cpp"},
        {bin("duq-lex") + " -k lskel /dev/zero", "Can't read input file: /dev/zero", "lexyy.cpp"},
        {bin("duq-lex") + " -k lskel pipe", "Can't read input file: pipe", "lexyy.cpp"},
        {bin("duq-lex") + " -k lskel big.y", "Input file too large: big.y (at most 16 MB)", "lexyy.cpp"},
        {bin("duq-lex") + " -k /dev/zero x.l", "Lex driver , file: /dev/zero, not found ", "lexyy.cpp"},
        {bin("duq-lex") + " -k pipe x.l", "Lex driver , file: pipe, not found ", "lexyy.cpp"},
        {bin("duq-lex") + " -k big.y x.l", "Lex driver , file: big.y, too large (at most 16 MB)", "lexyy.cpp"},
        {bin("duq-lex") + " --slovak -k big.y x.l", "Skeleton subor \"big.y\" je prilis velky (najviac 16 MB).",
         "lexyy.cpp"},
        {bin("jal") + " /dev/zero", "Nie je obycajny subor \"/dev/zero\"", "/dev/ZERO.CLASS"},
        {bin("jal") + " pipe", "Nie je obycajny subor \"pipe\"", "PIPE.CLASS"},
        {bin("jal") + " big.y", "Prilis velky subor \"big.y\" (najviac 16 MB)", "BIG.CLASS"},
    };
    Workspace w;
    ASSERT_EQ(mkfifo((w / "pipe").c_str(), 0600), 0);
    // Sparse: 17 MB that take no room.
    w.put("big.y", "");
    ASSERT_EQ(truncate((w / "big.y").c_str(), 17LL * 1024 * 1024), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const vorktest::Run r = w.run(c.command);
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << r.out << r.err;
        const std::string notWritten = c.notWritten;
        EXPECT_FALSE(exists(notWritten[0] == '/' ? notWritten : w / notWritten)) << notWritten;
        EXPECT_EQ(w.leftovers(), std::vector<std::string>{});
    }
}

// "--" ends the options: a file whose name begins with '-' can be named.
TEST(DashNames, TheWordAfterTwoDashesIsAFile)
{
    struct Case {
        std::string setup;
        std::string command;
        int status;
        const char* written;  // "" for none
        const char* said;
    };
    const Case cases[] = {
        {"cp g.y ./-g.y", bin("duq-yacc") + " -k skel -- -g.y", 0, "-g.cpp", "Parser was written to \"-g.cpp\"."},
        {"cp g.y ./--g.y", bin("duq-yacc") + " -k skel -o out.c -- --g.y", 0, "out.c", "Everything went OK!"},
        {"", bin("duq-yacc") + " -k skel -- --help", 1, "", "cannot open input file"},
        {"", bin("duq-yacc") + " -k skel -- g.y h.y", 2, "", "only one grammar file"},
        {"cp x.l ./-x.l", bin("duq-lex") + " -k lskel -o out.c -- -x.l", 0, "out.c", "Analyzer written to  \"out.c\"."},
        {"", bin("duq-lex") + " -k lskel -- --version", 1, "", "Can't read input file: --version"},
        {"cp t.jal ./--t.jal", bin("jal") + " -- --t.jal", 0, "--T.CLASS", "Vystupny subor OK"},
        {"cp t.jal ./-t.jal", bin("jal") + " -- -t.jal", 0, "-T.CLASS", "Vystupny subor OK"},
        {"", bin("jal") + " -- --help", 1, "", "Nemozno otvorit \"--help\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Workspace w;
        if (!c.setup.empty()) {
            ASSERT_EQ(w.run(c.setup).status, 0);
        }
        const vorktest::Run r = w.run(c.command);
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << r.out << r.err;
        if (*c.written) {
            EXPECT_TRUE(exists(w / c.written)) << c.written;
        }
    }
}

// Lines of a generated file, without the one that tells when it was made.
static std::string withoutDate(const std::string& text)
{
    std::string out;
    for (const std::string& line : vorktest::lines(text))
        if (line.find("Created:") == std::string::npos)
            out += line + "\n";
    return out;
}

// A specification saved by an editor that marks UTF-8 (Notepad does, and
// VORK's own pages keep such a mark) generates what the same text without
// the mark generates: no warning, no lost %{ block, the same line numbers.
TEST(EditorMarks, AByteOrderMarkIsNoTextOfTheSpecification)
{
    const std::string bom = "\xEF\xBB\xBF";
    const std::string spec = "%{\nint seen;\n%}\nD [0-9]\n%%\n{D}+\t{ return 1; }\n";
    const std::string grammar = "%{\nint seen;\n%}\n%token A\n%%\ns : A { act(); } ;\n%%\nint tail;\n";
    struct Case {
        const char* what;
        const char* input;
        std::string plain;
        std::string command;
        const char* output;
    };
    const Case cases[] = {
        {"duq-lex", "x.l", spec, bin("duq-lex") + " -k lskel -o out.c x.l", "out.c"},
        {"duq-yacc", "g.y", grammar, bin("duq-yacc") + " -k skel -o out.c g.y", "out.c"},
    };
    for (const Case& c : cases) {
        for (bool crlf : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (crlf ? ", CR LF" : ""));
            std::string text = c.plain;
            if (crlf) {
                text.clear();
                for (char ch : c.plain)
                    text += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
            }
            Workspace plain, marked;
            plain.put(c.input, text);
            marked.put(c.input, bom + text);
            const vorktest::Run expected = plain.run(c.command);
            ASSERT_EQ(expected.status, 0) << expected.out << expected.err;
            const vorktest::Run r = marked.run(c.command);
            EXPECT_EQ(r.status, 0) << r.out << r.err;
            EXPECT_EQ(r.err, expected.err);
            EXPECT_EQ(withoutDate(readFile(marked / c.output)), withoutDate(readFile(plain / c.output)));
        }
    }
}

// The grammar's name goes into the parser as a C string (its # line
// directives): a quote or a backslash in it is written escaped, so the
// compiler reads the name back as it is.
TEST(EditorMarks, AGrammarNameWithQuotesStaysOneStringInLineDirectives)
{
    for (const std::string& name : {std::string("say \"hi\".y"), std::string("back\\slash.y"), std::string("g.y")}) {
        SCOPED_TRACE(name);
        Workspace w;
        w.put(name, "%{\nint seen;\n%}\n%token A\n%%\ns : A { act(); } ;\n%%\nint tail;\n");
        const vorktest::Run r = w.run(bin("duq-yacc") + " -k skel -o out.c -- " + vorktest::quoted(name));
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        std::string escaped;
        for (char ch : name)
            escaped += ch == '"' || ch == '\\' ? std::string("\\") + ch : std::string(1, ch);
        int directives = 0;
        for (const std::string& line : vorktest::lines(readFile(w / "out.c"))) {
            if (line.rfind("# line ", 0) != 0)
                continue;
            ++directives;
            const size_t open = line.find('"');
            ASSERT_NE(open, std::string::npos) << line;
            EXPECT_EQ(line.substr(open), "\"" + escaped + "\"") << line;
        }
        EXPECT_EQ(directives, 3);
    }
}
