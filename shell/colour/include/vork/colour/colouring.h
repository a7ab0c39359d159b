// Syntax colouring of the editor pages as pure functions: the word table
// read from syntax.cfg, the two colouring passes that turn a text into
// coloured stretches, and an HTML page of a coloured text.  Nothing here
// knows about widgets; the editor only applies the spans.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vork::colour {

// One coloured stretch of text, in UTF-16 positions.  The passes return
// spans sorted by start, never overlapping and never empty; text that no
// span covers is left as the editor shows it (plain black).
struct Span {
    int start;
    int length;
    uint32_t rgb;  // 0xRRGGBB
    bool bold;
    bool italic;
};

inline bool operator==(const Span& a, const Span& b)
{
    return a.start == b.start && a.length == b.length && a.rgb == b.rgb && a.bold == b.bold &&
           a.italic == b.italic;
}

// The colours the passes use.
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kCommentGreen = 0x007700;
constexpr uint32_t kLineBlue = 0x000099;
constexpr uint32_t kKeywordRed = 0xFF0000;
constexpr uint32_t kDarkRed = 0x990000;
constexpr uint32_t kDeepRed = 0x770000;

// Word kinds with an effect of their own.
enum Kind : int {
    kLineComment = 1,
    kDirectiveLine = 2,
    kPair = 3,
    kString = 4,
    kCharLiteral = 5,
    kKeyword = 7,
    kWord = 10,
    kBoldWord = 15,
};

// The words of syntax.cfg: one list per first character (codes 0 to 126),
// each in file order.
class WordTable {
public:
    static constexpr int kLists = 127;
    static constexpr int kMaxWordChars = 27;

    struct Entry {
        std::u16string word;  // the whole word as written in the file
        int length;           // characters compared (from the file)
        int units;            // the same stretch counted in UTF-16 units
        int kind;
    };

    // Stores one entry (word as UTF-8).  Returns false, storing nothing,
    // when the word is empty or longer than 27 characters, begins with a
    // character outside codes 1 to 126, or when the length is below 1 or
    // longer than the word (such an entry could never match, or would
    // match nothing and stall the scan).
    bool add(std::string_view word, int length, int kind);

    // The first entry, in file order, whose word equals the text at pos
    // over the entry's length; null when there is none.
    const Entry* lookup(std::u16string_view text, std::size_t pos) const;

    const std::vector<Entry>& list(int firstChar) const { return lists_.at(static_cast<std::size_t>(firstChar)); }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }

private:
    std::array<std::vector<Entry>, kLists> lists_;
    std::size_t count_ = 0;
};

// Parses syntax.cfg bytes: one entry per line, a word and two decimal
// integers (length, kind) separated by white space; what follows them on
// the line is ignored.  Lines that do not read so are not stored, and
// neither are the entries add() refuses.
WordTable parseSyntaxConfig(std::string_view bytes);

// Reads the file; on failure an empty table and *message = one Slovak line
// naming the file and the reason (message is cleared on success; it may be
// null).
WordTable loadSyntaxConfig(const std::string& path, std::string* message);

// The pass run when a file is loaded or colouring is switched on.  Text is
// UTF-16 so that positions are QString positions; one character ('\n') per
// line end.
std::vector<Span> wholeTextPass(std::u16string_view text, const WordTable& table);

// The pass run on one line after every change: its text without the line
// end; spans are relative to the line start.
std::vector<Span> linePass(std::u16string_view line, const WordTable& table);

// The HTML page of text with its spans (UTF-8 out): HTML-escaped text in a
// <pre>, one <span style="..."> per run of one format, uncoloured text
// plain black.  Spans may come in any order; a later one wins where they
// overlap, and parts outside the text are ignored.
std::string renderHtml(std::u16string_view text, const std::vector<Span>& spans, const std::string& title);

// UTF-8 to UTF-16; a byte that does not start a valid sequence stands for
// itself (as Latin-1), so no input is lost or rejected.
std::u16string utf8ToUtf16(std::string_view bytes);

} // namespace vork::colour
