// Helpers shared by the Jal tests: a scratch directory, files, running a
// program, and an independent, strict reader of class files.
#pragma once

#include "../common/test_support.h"

#include <cstdint>
#include <string>
#include <vector>

namespace jaltest {

using Lines = std::vector<std::string>;

// A fresh directory that is the current one while the object lives (the
// translator writes its message file into the current directory).
using vorktest::ScratchDir;
using vorktest::writeFile;
bool readFile(const std::string& path, std::string& out);
Lines readLines(const std::string& path); // without their CR LF or LF
std::string hex(const std::string& bytes); // "ca fe ba be"
// The rows of tests/jal/data/<name>: cells split at '|' and trimmed, with
// the escapes \n \r \t \f \0 \\ \|; empty lines and '#' lines skipped.
std::vector<Lines> readTable(const std::string& name);

struct Outcome {
    bool ok = false, classWritten = false;
    std::string console, classBytes; // console: the error lines
    Lines messages;                  // of the message file
    std::string messageFile;         // its name, "" when none was made
};
// Writes source to name in the current directory and translates it.
Outcome translate(const std::string& source, const std::string& name = "t.jal");

struct Process {
    int status = -1; // -1 when not exited normally
    std::string output;
};
inline Process runCommand(const std::string& shellCommand) // collects standard output
{
    vorktest::Run r = vorktest::runCommand(shellCommand);
    return {r.status, r.out};
}

struct Entry {
    uint8_t tag = 0; // 0: the unusable slot after a Double
    std::string text;
    uint16_t a = 0, b = 0;
    double number = 0;
};

struct Method {
    uint16_t maxStack = 0, maxLocals = 0;
    std::string code;
};

struct ClassFile {
    std::vector<Entry> pool; // indexed by entry number; [0] unused
    uint16_t flags = 0;
    std::vector<Method> methods;

    // An entry with what it refers to resolved: "x" (Utf8), "C:java/lang/Object",
    // "S:text", "D:1.5", "name desc" (NameAndType), "F:B.x I", "M:...", "I:...".
    std::string show(unsigned index) const;
    std::string showPool(unsigned first) const; // joined by " | "
};

// A truncated file, trailing bytes, an unknown tag or attributes other
// than one Code per method and one SourceFile per class fail the read.
bool parseClass(const std::string& bytes, ClassFile& out, std::string& error);

} // namespace jaltest
