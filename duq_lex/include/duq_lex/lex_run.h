// DUQ-Lex, the scanner generator: one call turns a lex specification into a
// table-driven scanner in C.
#pragma once

#include "vork/sinks.h"

#include <string>

namespace duq_lex {

// Reads spec_file, writes the scanner to output_file and appends the bytes
// of skeleton_file.  Progress lines, errors and warnings go to sinks;
// slovak != 0 selects the Slovak texts, statistics == 1 adds the size
// report, optimise == 1 packs the tables with fall-back states, large != 0
// makes every table whose size the generated file does not fix 16 times
// bigger (the defaults of %e %p %n %a %o %k among them).
// Returns 0 when the scanner was written, 1 when the run ended on an error
// (a syntax error included); a failed run leaves no output behind.
// Every run is independent: nothing survives from one call to the next.
int lex_run(vork::Sinks& sinks, const std::string& skeleton_file, const std::string& spec_file,
            const std::string& output_file, int slovak, int statistics, int optimise, int large = 0);

} // namespace duq_lex
