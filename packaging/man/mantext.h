// The manual pages are written in a small plain-text markup, one file per
// program, and turned into man(7) pages at build time.  The markup reads
// well as it is:
//
//   duq-lex(1) -- generate a scanner in C from a lex specification
//
//   ## SYNOPSIS                    a section; "### Title" a subsection
//   `duq-lex` [`-o` *OUTPUT*] *SPEC*
//
//   * `-o` *OUTPUT*:               a tagged item; its text follows,
//     the generated scanner ...    indented by two spaces
//
//       duq-lex calc.l             an example line, indented by four
//
// `code` becomes bold and *word* italic.  "@VERSION@" stands for the
// version.  A blank line separates paragraphs.
#pragma once

#include <string>
#include <vector>

namespace vork::man {

struct Page {
    std::string name;     // "duq-lex"
    std::string section;  // "1"
    std::string summary;  // after " -- "
};

// Reads the title line; false when it is not "NAME(SECTION) -- SUMMARY".
bool parseTitle(const std::string& line, Page& page);

// The man(7) text of a whole page.  Throws std::runtime_error naming the
// line when the title line is malformed.
std::string render(const std::string& source, const std::string& version);

// Inline markup and roff escapes of one line of running text.
std::string inlineText(const std::string& text);

// The options an OPTIONS-like section documents: the first word beginning
// with '-' of every item term, in every section whose heading contains
// "OPTIONS" or "COMMANDS".
std::vector<std::string> documentedOptions(const std::string& source);

} // namespace vork::man
