// The Jal translator: a line-oriented assembler for one JVM class.
#pragma once

#include <ostream>
#include <string>

namespace jal {

// Translates the Jal source at source_path into a class file named after it
// (file-name part up to its last '.', upper-cased, + ".CLASS", in the
// source's directory).  The source is read as VORK reads text: UTF-8 when
// it is valid UTF-8, else Windows-1250; it must be a regular file of at
// most 16 MB.  A class file that would be the source itself is refused.
//
// With message_file given, progress and outcome go to a new message file in
// the current directory, "jaltemp-XXXXXX.tmp" under a name no other file
// has; its name is put in *message_file, and the caller reads and removes
// it.  When no message file is wanted (null) or it cannot be created
// (*message_file empty) they go to console instead.  Parse errors are
// written to console as "MESSAGE(LINE n: TOKEN)" lines.
//
// Returns true when the class file was written.  Every call starts from a
// clean state, so calls are independent of each other.
bool jal_translate(const std::string& source_path, std::ostream& console, std::string* message_file = nullptr);

// The name of the class file written for a source path.
std::string class_file_name(const std::string& source_path);

} // namespace jal
