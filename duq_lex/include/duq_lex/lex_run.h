// DUQ-Lex, the scanner generator: one call turns a lex specification into a
// table-driven scanner in C.
#pragma once

#include "vork/sinks.h"

#include <string>
#include <vector>

namespace duq_lex {

// Where each rule of a specification begins: entry n is the 1-based line of
// the .l file on which rule n starts (its pattern), n being the number the
// scanner's yylook() returns for the rule and the case label of its action;
// 0 for a number no rule has.  Entry 0 is always 0.  The debugger maps the
// rule a lexical unit matched to its line with it.
using RuleLines = std::vector<int>;

// Reads spec_file, writes the scanner to output_file and appends the bytes
// of skeleton_file.  Progress lines, errors and warnings go to sinks;
// slovak != 0 selects the Slovak texts, statistics == 1 adds the size
// report, optimise == 1 packs the tables with fall-back states, large != 0
// makes every table whose size the generated file does not fix 16 times
// bigger (the defaults of %e %p %n %a %o %k among them).
// Returns 0 when the scanner was written, 1 when the run ended on an error
// (a syntax error included); a failed run leaves no output behind.
// Every run is independent: nothing survives from one call to the next.
// rule_lines, when given, receives the lines of the rules read, also when
// the run fails (then up to where it stopped reading).
int lex_run(vork::Sinks& sinks, const std::string& skeleton_file, const std::string& spec_file,
            const std::string& output_file, int slovak, int statistics, int optimise, int large = 0,
            RuleLines* rule_lines = nullptr);

// Reads spec_file as lex_run does, writing nothing and reporting nothing,
// and fills lines with the lines of its rules.  Returns 0 when the whole
// specification read without error, 1 otherwise; lines then holds the rules
// read before the error.
int lex_rule_lines(const std::string& spec_file, RuleLines& lines, int large = 0);

} // namespace duq_lex
