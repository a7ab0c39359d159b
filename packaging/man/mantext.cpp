#include "mantext.h"

#include <sstream>
#include <stdexcept>

namespace vork::man {

namespace {

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool startsWith(const std::string& s, const std::string& head)
{
    return s.compare(0, head.size(), head) == 0;
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to)
{
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

// Escapes that roff needs in any text: backslash, and the hyphen, which
// would otherwise be set as a typographic hyphen that cannot be searched
// for or pasted into a shell.
std::string escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

// A line that begins with '.' or '\'' would be read as a request.
std::string guardLine(const std::string& line)
{
    if (!line.empty() && (line[0] == '.' || line[0] == '\''))
        return "\\&" + line;
    return line;
}

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace

bool parseTitle(const std::string& line, Page& page)
{
    const size_t open = line.find('(');
    const size_t close = line.find(')', open == std::string::npos ? 0 : open);
    const size_t dash = line.find(" -- ");
    if (open == std::string::npos || open == 0 || close == std::string::npos || close == open + 1 ||
        dash == std::string::npos || dash != close + 1)
        return false;
    page.name = line.substr(0, open);
    page.section = line.substr(open + 1, close - open - 1);
    page.summary = line.substr(dash + 4);
    return page.name.find(' ') == std::string::npos && !page.summary.empty();
}

std::string inlineText(const std::string& text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '`') {
            const size_t end = text.find('`', i + 1);
            if (end != std::string::npos) {
                out += "\\fB" + escape(text.substr(i + 1, end - i - 1)) + "\\fR";
                i = end + 1;
                continue;
            }
        } else if (c == '*' && i + 1 < text.size() && text[i + 1] != ' ' && text[i + 1] != '*') {
            const size_t end = text.find('*', i + 1);
            if (end != std::string::npos && text[end - 1] != ' ') {
                out += "\\fI" + escape(text.substr(i + 1, end - i - 1)) + "\\fR";
                i = end + 1;
                continue;
            }
        }
        out += escape(std::string(1, c));
        ++i;
    }
    return out;
}

std::string render(const std::string& source, const std::string& version)
{
    const std::vector<std::string> lines = splitLines(replaceAll(source, "@VERSION@", version));
    Page page;
    if (lines.empty() || !parseTitle(lines[0], page))
        throw std::runtime_error("line 1: the title must read NAME(SECTION) -- SUMMARY");

    std::ostringstream out;
    out << ".TH \"" << upper(page.name) << "\" \"" << page.section << "\" \"\" \"VORK " << version
        << "\" \"VORK\"\n";
    out << ".SH NAME\n" << escape(page.name) << " \\- " << inlineText(page.summary) << "\n";

    enum class Mode { Text, Item, Example } mode = Mode::Text;
    bool paragraph = false;  // a paragraph break is due before the next text
    for (size_t n = 1; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (line.find_first_not_of(' ') == std::string::npos) {
            if (mode == Mode::Example)
                out << ".fi\n.RE\n";
            mode = Mode::Text;
            paragraph = true;
            continue;
        }
        if (startsWith(line, "## ") || startsWith(line, "### ")) {
            if (mode == Mode::Example)
                out << ".fi\n.RE\n";
            const bool sub = line[2] == '#';
            out << (sub ? ".SS " : ".SH ") << escape(line.substr(sub ? 4 : 3)) << "\n";
            mode = Mode::Text;
            paragraph = false;
            continue;
        }
        if (startsWith(line, "* ")) {
            if (mode == Mode::Example)
                out << ".fi\n.RE\n";
            std::string term = line.substr(2);
            if (!term.empty() && term.back() == ':')
                term.pop_back();
            out << ".TP\n" << guardLine(inlineText(term)) << "\n";
            mode = Mode::Item;
            paragraph = false;
            continue;
        }
        if (mode == Mode::Item && startsWith(line, "  ")) {
            out << guardLine(inlineText(line.substr(line.find_first_not_of(' ')))) << "\n";
            continue;
        }
        if (startsWith(line, "    ")) {
            if (mode != Mode::Example)
                out << (paragraph ? ".PP\n" : "") << ".RS 4\n.nf\n";
            out << guardLine(escape(line.substr(4))) << "\n";
            mode = Mode::Example;
            paragraph = false;
            continue;
        }
        if (mode == Mode::Example) {
            out << ".fi\n.RE\n";
            paragraph = true;
        }
        if (paragraph || mode == Mode::Item)
            out << ".PP\n";
        out << guardLine(inlineText(line)) << "\n";
        mode = Mode::Text;
        paragraph = false;
    }
    if (mode == Mode::Example)
        out << ".fi\n.RE\n";
    return out.str();
}

std::vector<std::string> documentedOptions(const std::string& source)
{
    std::vector<std::string> options;
    bool inOptions = false;
    for (const std::string& line : splitLines(source)) {
        if (startsWith(line, "## ")) {
            inOptions = line.find("OPTIONS") != std::string::npos || line.find("COMMANDS") != std::string::npos;
            continue;
        }
        if (!inOptions || !startsWith(line, "* "))
            continue;
        // The term's words with their markup stripped; an item may name
        // several spellings ("`-h`, `--help`").
        std::string term;
        for (char c : line.substr(2))
            if (c != '`' && c != '*')
                term += c == ',' ? ' ' : c;
        std::istringstream words(term);
        std::string word;
        while (words >> word) {
            if (word.size() > 1 && word[0] == '-') {
                if (word.back() == ':')
                    word.pop_back();
                options.push_back(word);
            }
        }
    }
    return options;
}

} // namespace vork::man
