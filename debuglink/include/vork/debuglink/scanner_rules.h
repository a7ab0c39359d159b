// The rules of the scanner a debug run was built from: the line of the .l
// file each rule begins on and the text of those lines, so that a stop
// after a lexical unit can show the rule that matched it.
#pragma once

#include "duq_lex/lex_run.h"

#include <string>
#include <vector>

namespace vork::debuglink {

class ScannerRules {
public:
    ScannerRules() = default;
    ScannerRules(duq_lex::RuleLines lines, std::vector<std::string> text)
        : lines_(std::move(lines)), text_(std::move(text))
    {
    }
    // Reads the specification the way DUQ-Lex does, writing nothing.  The
    // scanner was generated from this file just before the run, so the
    // numbers agree with the ones the program reports.  A file that cannot
    // be read gives no rules; one with an error, the rules before it.
    static ScannerRules read(const std::string& lexSpecFile, bool large);

    bool empty() const { return lines_.size() <= 1; }
    // The 1-based line rule begins on; 0 for a rule the file does not have.
    int line(int rule) const;
    // The text of a 1-based line, without its line end; "" when none.
    std::string lineText(int line) const;

private:
    duq_lex::RuleLines lines_;
    std::vector<std::string> text_;
};

} // namespace vork::debuglink
