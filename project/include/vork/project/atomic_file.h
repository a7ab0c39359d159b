// Whole-file reads and crash-safe writes.  A project file, the
// configuration and the templates are replaced by writing a temporary file
// beside them and renaming it over the old one, so a failed write never
// leaves a half-written or empty file behind.
#pragma once

#include <string>
#include <vector>

namespace vork {

// Reads the whole file.  False when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& out);

// Replaces path with bytes.  False (and errno set) on any failure, in which
// case the old file is untouched.
bool writeFileAtomically(const std::string& path, const std::string& bytes);

// "a\nb\n" -> "a\r\nb\r\n": the line ends every text file of the
// environment is written with.
std::string toCrLf(const std::string& text);

// Splits text into lines; a line end is LF or CR LF, and a last line
// without a line end still counts.
std::vector<std::string> splitLines(const std::string& text);

} // namespace vork
