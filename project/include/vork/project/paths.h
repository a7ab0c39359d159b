// Path arithmetic for project files.  Everything is lexical: the project
// file stores paths relative to its own directory, and those must come out
// the same whether or not the files exist yet.
#pragma once

#include <string>

namespace vork::paths {

// The extension is the part from the last '.' that comes after the last
// '/'; "" when there is none.
std::string extension(const std::string& path);
std::string stripExtension(const std::string& path);

// "dir/sub/name.c" -> "name.c".
std::string fileName(const std::string& path);
// "dir/sub/name.c" -> "dir/sub/"; "" for a bare name.
std::string directory(const std::string& path);

// The process's current directory with a trailing '/'.
std::string currentDirectory();

// path made absolute against baseDir (which may lack its trailing '/'),
// with "." and ".." components and doubled separators folded away.
std::string absolute(const std::string& path, const std::string& baseDir);

// target (absolute) as seen from dir (absolute directory): the common
// leading directories are dropped and one "../" is written for each
// remaining directory of dir.  Names compare case-sensitively, as they do
// on this file system.
std::string relative(const std::string& target, const std::string& dir);

// A path line of a project file written on Windows uses '\'; here it
// means '/'.
std::string fromStored(const std::string& line);

} // namespace vork::paths
