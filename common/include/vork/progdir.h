// Where the running program lives, and where its data files are.
#pragma once

#include <string>

namespace vork {

// Directory of the running executable, with a trailing '/'.  Taken from
// /proc/self/exe; falls back to the current directory when that fails.
std::string programDirectory();

// Path of a data file shipped with the programs ("ncform", "yaccpar",
// "syntax.cfg", ...): next to the program first, then ../share/vork relative
// to it (the installed layout).  When neither exists the path next to the
// program is returned, so the caller's "not found" message names it.
std::string dataFilePath(const std::string& name);

// The project's version, as "1.5.0".
const char* versionString();

// What was built: the commit of the source tree ("0021e2d5c3a1", with
// "-dirty" for uncommitted changes) or the id a distribution gave with
// -DVORK_BUILD_ID.  Shown next to the version in the About box.
const char* buildId();

} // namespace vork
