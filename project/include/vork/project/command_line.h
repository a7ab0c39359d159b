// Command lines of the external C compiler and the generated compiler.
//
// Both are built as one text ("program arguments") and then split into
// words the way Windows splits a command line, so that project files and
// run arguments mean the same here as they did there: blanks and tabs
// separate words, double quotes group them, and nothing else is special
// (no shell: no globbing, no variables).
#pragma once

#include <string>
#include <vector>

namespace vork {

// Splits line into words.  Inside or outside quotes, 2n backslashes before
// a double quote give n backslashes and the quote toggles grouping; 2n+1
// backslashes give n backslashes and a literal quote; "" inside a quoted
// group is a literal quote.  Backslashes not followed by a quote are
// ordinary characters, so paths pass through unchanged.
std::vector<std::string> splitCommandLine(const std::string& line);

// The inverse for one word: quoted only when it has to be, so that
// splitCommandLine(quoteArgument(w)) == {w}.
std::string quoteArgument(const std::string& word);
std::string joinArguments(const std::vector<std::string>& words);

// Where the first word of a command line is found.  A word holding '/' is
// used as it is (relative to the working directory).  A bare name is looked
// up in the directories of pathList (':'-separated, as in $PATH), then in
// fallbackDir (the program's own directory, where vork-cc lives).  Returns
// "" when no executable regular file is found.
std::string findProgram(const std::string& word, const std::string& pathList, const std::string& fallbackDir);

} // namespace vork
