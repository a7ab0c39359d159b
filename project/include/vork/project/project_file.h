// The project file format, as bytes in and bytes out.  Projekt does the
// file access and the path expansion; this part only knows the lines.
//
//   lexStamp, yaccStamp, debugMode (0/1), member count, defaultCSource (0/1),
//   alwaysCompile (0/1), runArguments, one line per member file, and the C
//   source line when defaultCSource is 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vork {

struct ProjectFileData {
    int32_t lexStamp = -1;
    int32_t yaccStamp = -1;
    bool debugMode = false;
    bool defaultCSource = true;
    bool alwaysCompile = false;
    std::string runArguments;
    // Paths as stored: relative to the project directory (or absolute).
    std::vector<std::string> memberFiles;
    std::string cSourceFile;  // only meaningful when !defaultCSource
};

// The longest line the format holds; a longer one makes the file invalid.
constexpr size_t kMaxProjectLine = 254;
constexpr int kMaxMemberFiles = 255;
// The largest project file read: 255 members and seven more lines of at
// most 254 characters and their line ends, and room for the blanks before
// the numbers.  Anything larger is no project file (about 66 KB).
constexpr size_t kMaxProjectFileBytes = (kMaxMemberFiles + 9) * (kMaxProjectLine + 2);
// The largest token file read: the parser generator's most terminals in
// large-tables mode, with names of any length.
constexpr size_t kMaxTokenFileBytes = 1024 * 1024;

// Parses a project file.  False when the file is malformed.  Line ends may
// be CR LF or LF; '\' in path lines is read as '/'.
bool parseProjectFile(const std::string& bytes, ProjectFileData& out);

// The file's bytes, every line ending in CR LF.  False (out untouched) when
// a value cannot be stored so that it reads back the same: a line longer
// than kMaxProjectLine, a line break inside a value, or too many members.
bool serializeProjectFile(const ProjectFileData& data, std::string& out);

} // namespace vork
