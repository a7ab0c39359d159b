// The word table, both colouring passes and the HTML page, without Qt.
#include "vork/colour/colouring.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <random>
#include <vector>
#include <sstream>
#include <string>

using namespace vork::colour;

namespace {

// A table with one entry of every kind the passes know, plus the traps:
// "in" before "int", a keyword and a plain word starting with a special
// character.
const char* const kTestConfig =
    "//  2 1\n"
    "/*  2 1\n"
    "#   1 2\n"
    "\"  1 4\n"
    "'   1 5\n"
    "\\\" 2 3\n"
    "^^  2 7\n"
    "^   1 10\n"
    "%%  2 7\n"
    "%token 6 7\n"
    "in  2 7\n"
    "int 3 15\n"
    "void 4 15\n"
    "yytext 6 10\n";

const WordTable& testTable()
{
    static const WordTable t = parseSyntaxConfig(kTestConfig);
    return t;
}

// The format of every character as one letter:
//   .  left alone          k  black           B  black bold
//   g  comment green       i  line blue italic n  line blue
//   R  keyword red bold    d  dark red         p  deep red
char letterOf(const Span& s)
{
    struct L { uint32_t rgb; bool bold, italic; char c; };
    static const L letters[] = {
        {kBlack, false, false, 'k'},       {kBlack, true, false, 'B'},     {kCommentGreen, false, false, 'g'},
        {kLineBlue, false, true, 'i'},     {kLineBlue, false, false, 'n'}, {kKeywordRed, true, false, 'R'},
        {kDarkRed, false, false, 'd'},     {kDeepRed, false, false, 'p'},
    };
    for (const L& l : letters)
        if (l.rgb == s.rgb && l.bold == s.bold && l.italic == s.italic)
            return l.c;
    return '?';
}

std::string picture(std::size_t n, const std::vector<Span>& spans)
{
    std::string out(n, '.');
    for (const Span& s : spans)
        for (int i = s.start; i < s.start + s.length; ++i)
            if (i >= 0 && static_cast<std::size_t>(i) < n)
                out[static_cast<std::size_t>(i)] = out[static_cast<std::size_t>(i)] == '.' ? letterOf(s) : '*';
    return out;
}

// Sorted, disjoint, non-empty and inside the text: what the editor and
// the HTML page rely on.
void expectWellFormed(const std::vector<Span>& spans, std::size_t n, const std::string& what)
{
    int last = 0;
    for (const Span& s : spans) {
        ASSERT_GT(s.length, 0) << what;
        ASSERT_GE(s.start, last) << what;
        ASSERT_LE(static_cast<std::size_t>(s.start) + static_cast<std::size_t>(s.length), n) << what;
        last = s.start + s.length;
    }
}

enum class Pass { Whole, Line };

struct PassCase {
    const char* name;
    Pass pass;
    const char* text;  // UTF-8
    const char* expected;
};

const PassCase kPassCases[] = {
    // Numbers.
    {"hex is one number", Pass::Whole, "0x1F;", "nnnn."},
    {"hex is one number, line", Pass::Line, "0x1F;", "nnnnk"},
    {"octal is one number", Pass::Whole, "=017;", ".nnn."},
    {"octal is one number, line", Pass::Line, "=017;", "knnnk"},
    {"08 is 0 then 8, neither between delimiters", Pass::Whole, "=08;", "...."},
    {"08 is 0 then 8, line", Pass::Line, "=08;", "kkkk"},
    {"019 stops the octal number at 9", Pass::Whole, "=019;", "....."},
    {"0 alone", Pass::Whole, "(0)", ".n."},
    {"digits glued to letters stay uncoloured", Pass::Whole, " 12ab ", "......"},
    {"digits glued to letters are black, line", Pass::Line, " 12ab ", "kkkkkk"},
    {"number at the very start and end", Pass::Whole, "42", "nn"},
    {"number after a dot", Pass::Whole, "3.14", "n.nn"},
    {"slash is a number delimiter only in the line pass", Pass::Whole, "a/2", "..."},
    {"slash is a number delimiter only in the line pass, line", Pass::Line, "a/2", "kkn"},
    {"number inside an identifier, line", Pass::Line, "x12", "kkk"},
    // The word table's order: "in" is tried before "int".
    {"in shadows int", Pass::Whole, "(int)", "....."},
    {"in shadows int, line: the run is black", Pass::Line, "(int)", "kkkkk"},
    {"in alone is black bold whatever its kind", Pass::Whole, "(in)", ".BB."},
    {"in alone is keyword red in the line pass", Pass::Line, "(in)", "kRRk"},
    {"word after a non-delimiter is not a word", Pass::Whole, "xvoid void", "......BBBB"},
    {"bold word, line", Pass::Line, "void x", "BBBBkk"},
    {"uppercase starts no word in the whole-text pass", Pass::Whole, "Void;", "....."},
    {"word kind 10, line: deep red", Pass::Line, "yytext;", "ppppppk"},
    {"word kind 10, whole text: black bold", Pass::Whole, "yytext;", "BBBBBB."},
    {"word at the end of the text", Pass::Whole, "x void", "..BBBB"},
    // Comments and directives.
    {"comment word at the very first character", Pass::Whole, "// hi\nx", "ggggg.."},
    {"comment word at the very first character, line", Pass::Line, "// hi", "ggggg"},
    {"line comment stops before a block comment", Pass::Whole, "// a /* b", "gggg.gggg"},
    {"block comment word does not cut itself", Pass::Whole, "/* a */ b", "ggggggggg"},
    {"directive to the end of its line", Pass::Whole, "#if x\nvoid", "iiiii.BBBB"},
    {"directive, line", Pass::Line, "  #if x", "kkiiiii"},
    // Strings, character literals, pairs.
    {"escaped quote does not close a string", Pass::Whole, "\"a\\\"b\" c", "gggggg.."},
    {"escaped quote does not close a string, line", Pass::Line, "\"a\\\"b\" c", "ggggggkk"},
    {"escaped backslash before the closing quote", Pass::Whole, "\"a\\\\\" c", "ggggg.."},
    {"unclosed string runs to the end of the line", Pass::Line, "x \"abc", "kkgggg"},
    {"string over two lines in the whole-text pass", Pass::Whole, "\"a\nb\" c", "ggggg.."},
    {"unclosed string at the end of the text", Pass::Whole, "\"ab\nc", "ggg.."},
    {"character literal", Pass::Whole, "='a';", ".ggg."},
    {"escaped apostrophe in a character literal", Pass::Whole, "'\\''", "gggg"},
    {"character literal past the window: only the opening", Pass::Whole, "'abcdefghijk' ", "g...........g."},
    {"character literal closing within ten characters", Pass::Whole, "'abcdefghi'", "ggggggggggg"},
    {"character literal does not leave its line", Pass::Whole, "'a\n'", "g..g"},
    {"unclosed character literal, line: opening black", Pass::Line, "'ab", "kkk"},
    {"character literal, line", Pass::Line, "c='x';", "kkgggk"},
    {"pair stops a string from starting", Pass::Whole, "\\\"x\"", "kk.g"},
    // Words with a special first character.
    {"keyword needs no delimiter in the whole-text pass", Pass::Whole, "a^^b", ".RR."},
    {"keyword between delimiters, line", Pass::Line, " ^^ ", "kRRk"},
    {"keyword without a delimiter before it, line", Pass::Line, "a^^ ", "kkkk"},
    {"kind 10 needs a delimiter after it", Pass::Whole, "^ ^a", "d..."},
    {"kind 10 with a special start stays as it is, line", Pass::Line, "^ x", ".kk"},
    {"special character without a word, line: black", Pass::Line, "a/b", "kkk"},
    {"percent words: special in the whole text", Pass::Whole, "%token%", "RRRRRR."},
    {"percent words: identifier start in the line pass", Pass::Line, "%token x", "RRRRRRkk"},
    {"percent word glued to a letter, line", Pass::Line, "%%x", "..k"},
    {"lex section mark", Pass::Whole, "%%\nx", "RR.."},
    // Other text.
    {"non-ASCII characters are left alone", Pass::Whole, "\xc3\xa9 1", "..n"},
    {"empty text", Pass::Whole, "", ""},
    {"empty line", Pass::Line, "", ""},
};

} // namespace

TEST(ColouringPasses, Cases)
{
    for (const PassCase& c : kPassCases) {
        const std::u16string text = utf8ToUtf16(c.text);
        const auto spans = c.pass == Pass::Whole ? wholeTextPass(text, testTable()) : linePass(text, testTable());
        expectWellFormed(spans, text.size(), c.name);
        EXPECT_EQ(picture(text.size(), spans), c.expected) << c.name << ": \"" << c.text << '"';
    }
}

TEST(ColouringPasses, EmptyTableColoursOnlyNumbers)
{
    const WordTable empty;
    const std::u16string text = u"int x = 10; // c\n\"s\"";
    EXPECT_EQ(picture(text.size(), wholeTextPass(text, empty)), "........nn..........");
}

// Random texts from the characters every rule looks at: whatever the mix,
// the spans stay sorted, disjoint and inside the text, and each line of a
// text without multi-line tokens colours alike in either pass's view of
// where it ends.
TEST(ColouringPasses, RandomTextsGiveWellFormedSpans)
{
    const std::string alphabet = "ab inx0189Xf/*\"'\\#^%;. \n\t_\xc3\xa9";
    std::mt19937 rng(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string s;
        const int len = static_cast<int>(rng() % 60);
        for (int i = 0; i < len; ++i)
            s += alphabet[rng() % alphabet.size()];
        const std::u16string text = utf8ToUtf16(s);
        expectWellFormed(wholeTextPass(text, testTable()), text.size(), s);
        expectWellFormed(linePass(text, testTable()), text.size(), s);
    }
}

// Long pathological texts must not take quadratic time; these finish at
// once when the scans are linear and take minutes otherwise.
TEST(ColouringPasses, LongLinesOfQuotesAndIdentifiers)
{
    const std::u16string quotes = u"\"" + std::u16string(200000, u'\\') + u"\"";
    std::u16string escaped;
    for (int i = 0; i < 100000; ++i)
        escaped += u"\\\"";
    const std::u16string word(300000, u'q');
    std::u16string apostrophes;
    for (int i = 0; i < 100000; ++i)
        apostrophes += u"'\\";
    for (const std::u16string* t : std::vector<const std::u16string*>{&quotes, &escaped, &word, &apostrophes}) {
        expectWellFormed(wholeTextPass(u"\"" + *t, testTable()), t->size() + 1, "whole");
        expectWellFormed(linePass(u"\"" + *t, testTable()), t->size() + 1, "line");
        expectWellFormed(linePass(*t, testTable()), t->size(), "line");
    }
    EXPECT_EQ(linePass(word, testTable()).size(), 1u);
}

struct ConfigCase {
    const char* name;
    const char* line;
    bool stored;
};

const ConfigCase kConfigCases[] = {
    {"plain entry", "int 3 7", true},
    {"white space around", "  \tint \t 3   7  ", true},
    {"CR LF line end", "int 3 7\r", true},
    {"text after the integers", "int 3 7 the keyword", true},
    {"length shorter than the word", "include 3 7", true},
    {"27 characters", "abcdefghijklmnopqrstuvwxyza 27 7", true},
    {"28 characters", "abcdefghijklmnopqrstuvwxyzab 28 7", false},
    {"28 characters, shorter length", "abcdefghijklmnopqrstuvwxyzab 3 7", false},
    {"kind missing", "int 3", false},
    {"length not a number", "int x 7", false},
    {"kind glued to letters", "int 3 7x", false},
    {"length out of range", "int 99999999999 7", false},
    {"length zero", "int 0 7", false},
    {"length negative", "int -1 7", false},
    {"length longer than the word", "int 4 7", false},
    {"first character above 126", "\xc3\xa9t 2 7", false},
    {"first character 127", "\x7fx 2 7", false},
    {"empty line", "", false},
    {"comment line", "## words 1 2", false},
    {"any kind is kept", "abc 3 -5", true},
    {"signed integers", "abc +3 +7", true},
};

TEST(SyntaxConfig, EntryLines)
{
    for (const ConfigCase& c : kConfigCases) {
        // Each line between two good ones: a bad line must not disturb its
        // neighbours.
        const std::string bytes = std::string("aa 2 7\n") + c.line + "\nzz 2 10\n";
        const WordTable t = parseSyntaxConfig(bytes);
        EXPECT_EQ(t.size(), c.stored ? 3u : 2u) << c.name;
        EXPECT_EQ(t.list('z').size(), 1u) << c.name;
    }
}

TEST(SyntaxConfig, LookupFollowsFileOrderAndStoredLength)
{
    const WordTable t = parseSyntaxConfig("in 2 7\nint 3 15\ninclude 3 2\nx\xc3\xa9y 2 10");
    ASSERT_EQ(t.list('i').size(), 3u);
    struct { const char16_t* text; std::size_t pos; const char* word; } cases[] = {
        {u"int", 0, "in"},        // first in file order wins
        {u"(inc", 1, "in"},
        {u"i", 0, nullptr},       // the text ends before the word
        {u"xé!", 0, "xé"},        // length in characters, not bytes
        {u"xe!", 0, nullptr},
        {u"int", 3, nullptr},     // past the end
        {u"\u20ac", 0, nullptr},  // outside the table's 127 lists
    };
    for (const auto& c : cases) {
        const WordTable::Entry* e = t.lookup(c.text, c.pos);
        if (!c.word) {
            EXPECT_EQ(e, nullptr);
            continue;
        }
        ASSERT_NE(e, nullptr) << c.word;
        EXPECT_EQ(e->word.substr(0, static_cast<std::size_t>(e->units)), utf8ToUtf16(c.word));
    }
}

TEST(SyntaxConfig, LoadFailureGivesEmptyTableAndMessage)
{
    std::string message = "stale";
    const WordTable missing = loadSyntaxConfig("/nonexistent/dir/syntax.cfg", &message);
    EXPECT_TRUE(missing.empty());
    EXPECT_NE(message.find("/nonexistent/dir/syntax.cfg"), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);

    const WordTable dir = loadSyntaxConfig("/tmp", &message);
    EXPECT_TRUE(dir.empty());
    EXPECT_NE(message.find("/tmp"), std::string::npos);

    // A device never ends and a pipe would be waited for: neither is read.
    const std::string fifo = testing::TempDir() + "/colour_syntax.fifo";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& endless : {std::string("/dev/zero"), fifo}) {
        message.clear();
        EXPECT_TRUE(loadSyntaxConfig(endless, &message).empty()) << endless;
        EXPECT_NE(message.find(endless), std::string::npos) << message;
    }
    ::unlink(fifo.c_str());

    const std::string path = testing::TempDir() + "/colour_syntax.cfg";
    std::ofstream(path) << "int 3 7\nvoid 4 15\n";
    const WordTable ok = loadSyntaxConfig(path, &message);
    EXPECT_EQ(ok.size(), 2u);
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(loadSyntaxConfig(path, nullptr).size(), 2u);
}

// The shipped file: every line is an entry or a "##" note, every entry is
// stored, and no entry hides behind an earlier one that matches its own
// text (as "do" listed before "double" would).
TEST(SyntaxConfig, ShippedFileIsConsistent)
{
    std::ifstream in(VORK_SOURCE_DIR "/shell/colour/syntax.cfg", std::ios::binary);
    ASSERT_TRUE(in) << "syntax.cfg not found";
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string bytes = ss.str();
    const WordTable table = parseSyntaxConfig(bytes);

    std::istringstream lines(bytes);
    std::string line;
    std::size_t entries = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind("##", 0) == 0)
            continue;
        ++entries;
        EXPECT_EQ(parseSyntaxConfig(line).size(), 1u) << "not stored: " << line;
    }
    EXPECT_EQ(table.size(), entries);
    EXPECT_GT(entries, 40u);
    for (int c = 0; c < WordTable::kLists; ++c)
        for (const WordTable::Entry& e : table.list(c)) {
            const std::u16string own = e.word.substr(0, static_cast<std::size_t>(e.units)) + u" ";
            EXPECT_EQ(table.lookup(own, 0), &e) << "shadowed: " << std::string(e.word.begin(), e.word.end());
        }

    // And it colours the things it is for.
    const std::u16string c = u"#include <stdio.h>\nint main(void) { /* x */\n  return 0x1F; } // end\n";
    const std::string pic = picture(c.size(), wholeTextPass(c, table));
    EXPECT_EQ(pic.substr(0, 18), std::string(18, 'i'));
    EXPECT_EQ(pic.substr(19, 3), "BBB");
    EXPECT_EQ(pic.substr(36, 7), "ggggggg");
    EXPECT_EQ(pic.substr(46, 6), "BBBBBB");
    EXPECT_EQ(pic.substr(53, 4), "nnnn");
    const std::u16string y = u"%token NUM\n%%\nexpr : expr '+' expr { $$ = $1 + $3; } ;\n%%\n";
    const std::string ypic = picture(y.size(), wholeTextPass(y, table));
    EXPECT_EQ(ypic.substr(0, 6), "RRRRRR");
    EXPECT_EQ(ypic.substr(11, 2), "RR");
    EXPECT_EQ(ypic.substr(26, 3), "ggg");
    EXPECT_EQ(ypic[43], 'n');  // the 1 of $1
}

namespace {

std::string body(const std::string& page)
{
    const std::size_t open = page.find("<pre");
    const std::size_t start = page.find('>', open) + 1;
    return page.substr(start, page.find("</pre>") - start);
}

struct HtmlCase {
    const char* name;
    std::u16string text;
    std::vector<Span> spans;
    const char* expected;
};

} // namespace

TEST(HtmlPage, Runs)
{
    const HtmlCase cases[] = {
        {"escaping", u"<a & \"b\">", {}, "&lt;a &amp; &quot;b&quot;&gt;"},
        {"one span", u"int x", {{0, 3, 0xFF0000, true, false}},
         "<span style=\"color:#ff0000;font-weight:bold\">int</span> x"},
        {"italic", u"#a\nb", {{0, 2, 0x000099, false, true}},
         "<span style=\"color:#000099;font-style:italic\">#a</span>\nb"},
        {"black plain spans are plain text", u"ab", {{0, 1, 0, false, false}}, "ab"},
        {"neighbouring spans of one format make one run", u"abc",
         {{0, 1, 0x007700, false, false}, {1, 2, 0x007700, false, false}},
         "<span style=\"color:#007700\">abc</span>"},
        {"a later span wins", u"abcd",
         {{0, 4, 0x007700, false, false}, {1, 2, 0x000099, false, false}},
         "<span style=\"color:#007700\">a</span><span style=\"color:#000099\">bc</span>"
         "<span style=\"color:#007700\">d</span>"},
        {"spans outside the text are cut", u"ab",
         {{-5, 6, 0x990000, false, false}, {1, 100, 0x770000, false, false}, {9, 1, 0x007700, false, false}},
         "<span style=\"color:#990000\">a</span><span style=\"color:#770000\">b</span>"},
        {"a surrogate pair stays whole", u"a\U0001F600b", {{0, 2, 0x007700, false, false}},
         "<span style=\"color:#007700\">a\xf0\x9f\x98\x80</span>b"},
        {"a lone surrogate becomes a replacement character", std::u16string(1, char16_t(0xD800)) + u"x", {},
         "\xef\xbf\xbdx"},
        {"UTF-8 out", u"\u010d", {}, "\xc4\x8d"},
    };
    for (const HtmlCase& c : cases)
        EXPECT_EQ(body(renderHtml(c.text, c.spans, "t")), c.expected) << c.name;
}

TEST(HtmlPage, PageAroundTheText)
{
    const std::string page = renderHtml(u"x", {}, "a<b>.c");
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("<title>a&lt;b&gt;.c</title>"), std::string::npos);
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(page.find("color:#000000"), std::string::npos);
}
