// What the last builds of one project left, to the nanosecond.
//
// The stamps of the project file have two-second steps and say nothing
// about who wrote the generated files, so on their own a specification
// edited within the same two seconds as its generation, a "lexyy.cpp" that
// another project in the directory generated since, or a program cut off
// by a killed link all passed for up to date.  Next to the project file
// (its name + ".build") the project keeps, for each generation, the
// specification's modification time when it was read and the identity of
// the file it produced, and the identity of the program of its last
// finished compile.  A file whose identity differs was written by someone
// else (or was cut off) and is not taken as this project's.
#pragma once

#include <cstdint>
#include <string>

namespace vork {

// Enough of a file's inode to tell whether it was written, replaced or
// touched since: any write, rename over it or utime() changes the change
// time, which no user call can set back.
struct FileIdentity {
    bool present = false;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t mtimeNs = 0;
    int64_t ctimeNs = 0;

    bool operator==(const FileIdentity& o) const
    {
        return present == o.present && inode == o.inode && size == o.size && mtimeNs == o.mtimeNs &&
               ctimeNs == o.ctimeNs;
    }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};

// The identity of a regular file; not present for anything else.
FileIdentity identityOf(const std::string& path);
// A regular file's modification time in nanoseconds; -1 when there is none.
int64_t modificationTimeNs(const std::string& path);

struct BuildRecord {
    // One generation: the specification's modification time as it was
    // read, and the output it left.
    struct Step {
        bool valid = false;
        int64_t specMtimeNs = 0;
        FileIdentity output;
        // The settings that shaped the output (large tables, the scanner's
        // optimisation, the coded parser), as the make engine numbers
        // them: other settings give another file.
        int options = 0;
    };
    Step scanner;
    Step parser;
    // The program of the last compile that ended with 0.
    bool programValid = false;
    FileIdentity program;

    // The file's lines (CR LF): "lex", "yacc" and "exe" entries, each only
    // when valid.  The settings close a generation's line; a line without
    // them (an older record) reads as settings 0.
    std::string serialize() const;
    // False, and the record left empty, for anything malformed.
    bool parse(const std::string& bytes);

    static std::string fileFor(const std::string& projectFile) { return projectFile + ".build"; }
    // The longest record file: three short lines.
    static constexpr size_t kMaxBytes = 1024;
};

// Whether step says that output was generated from the source file (the .l
// or .y) as it is now.
bool stepCurrent(const BuildRecord::Step& step, const std::string& source, const std::string& output);

} // namespace vork
