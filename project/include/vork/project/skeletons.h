// The four skeleton files the generators append to their output, and the
// choice between the normal and the debug one.
#pragma once

#include <string>

namespace vork {

struct SkeletonPaths {
    std::string ncform;    // scanner, normal
    std::string lncform;   // scanner, debug
    std::string yaccpar;   // parser, normal
    std::string lyaccpar;  // parser, debug

    // Next to the program, or in the installed data directory.
    static SkeletonPaths fromDataFiles();
    // All four in one directory (with or without its trailing '/').
    static SkeletonPaths inDirectory(const std::string& dir);

    const std::string& scanner(bool debugMode) const { return debugMode ? lncform : ncform; }
    const std::string& parser(bool debugMode) const { return debugMode ? lyaccpar : yaccpar; }
};

} // namespace vork
