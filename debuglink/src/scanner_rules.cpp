#include "vork/debuglink/scanner_rules.h"

#include "vork/debuglink/debug_panel.h"

namespace vork::debuglink {

ScannerRules ScannerRules::read(const std::string& lexSpecFile, bool large)
{
    GrammarText text = readGrammarFile(lexSpecFile);
    if (!text.ok)
        return {};
    duq_lex::RuleLines lines;
    duq_lex::lex_rule_lines(lexSpecFile, lines, large ? 1 : 0);
    return ScannerRules(std::move(lines), std::move(text.lines));
}

int ScannerRules::line(int rule) const
{
    if (rule < 1 || static_cast<size_t>(rule) >= lines_.size())
        return 0;
    return lines_[static_cast<size_t>(rule)];
}

std::string ScannerRules::lineText(int line) const
{
    if (line < 1 || static_cast<size_t>(line) > text_.size())
        return {};
    return text_[static_cast<size_t>(line) - 1];
}

} // namespace vork::debuglink
