// The Jal translator: a line-oriented assembler for one JVM class.
#pragma once

#include <ostream>
#include <string>

namespace jal {

// Translates the Jal source at source_path into a class file named after it
// (file-name part up to its last '.', upper-cased, + ".CLASS", in the
// source's directory).
//
// Progress and outcome go to "jaltemp.tmp" in the current directory, which
// is created (or emptied) first; when it cannot be created they go to
// console instead.  Parse errors are written to console as
// "MESSAGE(LINE n: TOKEN)" lines.
//
// Returns true when the class file was written.  Every call starts from a
// clean state, so calls are independent of each other.
bool jal_translate(const std::string& source_path, std::ostream& console);

// The name of the class file written for a source path.
std::string class_file_name(const std::string& source_path);

} // namespace jal
