// DUQ-yacc: the LALR(1) parser generator of VORK.
//
// One call is one generation: it reads the grammar, writes the parser file
// (tables plus the skeleton with the actions spliced in) and, in debug mode,
// the token file.  Progress goes to sinks.message(), every error to
// sinks.yaccError() with the grammar line.  The run keeps all of its state
// in a run object, so calls are independent of each other.
#pragma once

#include "vork/sinks.h"

#include <string>

namespace duq_yacc {

// Returns 0 when the parser was written, 1 when the run ended on an error.
// The work files "yacc-XXXXXX.tmp" and "yacc-XXXXXX.act" are made in the
// current directory, each new under a name of its own, and removed again.
// The grammar and the skeleton are read only when they are regular files of
// at most 16 MB; no file written (parser, token file, listing) may be the
// grammar, the skeleton or another of them.  *token_count_out (when not null) receives the number of token
// names written as defines in debug mode, on every path.  A failed run
// removes the files it created or truncated and touches no other.
//
// state_file, when not empty, receives the state listing: the rules, the
// symbols and every state with its items, actions and conflicts.  Each
// reported conflict is then also explained in the message list, as a line
// "<state_file>(<line of its state in the listing>): conflict ..." followed
// by indented lines with an example input and its two readings.  The search
// for an example that one input reads two ways takes at most cex_seconds per
// conflict.  Without a listing the conflicts are explained all the same,
// without the location; a negative cex_seconds leaves the examples out
// (then only a listing's head lines are sent).  The parser file is the
// same with or without the listing.
//
// large nonzero selects the large-tables mode: every table that the parser
// file's format does not bound is 16 times its default size (the packed
// table's offsets stay within a C short).  In the default mode a run that
// fills a table adds a message line that points to this mode.
//
// fast nonzero writes yyparse as directly coded states (a switch on the
// lookahead per state, one per left side for the gotos) instead of the
// skeleton's table walk; the tables stay in the file for error recovery and
// the skeleton is not read.  A debug build keeps the skeleton whatever fast
// says, for its reporting points.  Both routines behave the same: the same
// values, actions, yylex calls, errors and recovery.
//
// header_file, when not empty, receives the token header of a successful
// run: a "#define" of every named token, YYSTYPE (the %union's type, or int)
// and "extern YYSTYPE yylval;", guarded against double inclusion and valid
// in C and C++, for the program's scanner and other files.  It may not name
// the grammar, the skeleton or another output of the run.
int yacc_run(vork::Sinks& sinks, const std::string& skeleton_file, const std::string& grammar_file,
             const std::string& output_file, int debug, int* token_count_out, int slovak,
             const std::string& token_file, const std::string& state_file, int large = 0,
             double cex_seconds = 2.0, const std::string& header_file = std::string(), int fast = 0);

} // namespace duq_yacc
