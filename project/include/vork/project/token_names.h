// Token names from the token file a debug build of the parser writes: one
// "# define NAME CODE" line per token.  The debug panel shows these names.
#pragma once

#include <string>
#include <vector>

namespace vork {

// Names in file order; codes are dropped.  Text before the first '#' is
// skipped, and so is everything after a definition up to the next '#'.
std::vector<std::string> parseTokenNames(const std::string& text);

} // namespace vork
