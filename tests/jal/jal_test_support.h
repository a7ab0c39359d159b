// Helpers shared by the Jal tests: a scratch directory to translate in, and
// an independent reader of the class files the translator writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jaltest {

// A fresh directory that becomes the current one (the translator writes
// "jaltemp.tmp" there); removed with its contents afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

void writeFile(const std::string& path, const std::string& text);
bool readFile(const std::string& path, std::string& out);
bool exists(const std::string& path);
// Lines of a text file without their line ends (CR LF or LF).
std::vector<std::string> readLines(const std::string& path);

struct Outcome {
    bool ok = false;
    std::string console;               // error lines
    std::vector<std::string> messages; // lines of jaltemp.tmp
    std::string classBytes;            // the class file, if written
    bool classWritten = false;
};

// Writes source to name in the current directory and translates it.
Outcome translate(const std::string& source, const std::string& name = "t.jal");

struct PoolEntry {
    uint8_t tag = 0;   // 0: the unusable slot after a Double
    std::string text;  // Utf8
    uint16_t a = 0;    // Class/String index; ref class; NameAndType name
    uint16_t b = 0;    // ref name-and-type; NameAndType descriptor
    double number = 0; // Double
};

struct Member {
    uint16_t flags = 0, name = 0, descriptor = 0;
    uint16_t attributes = 0;
    // Code attribute (methods only).
    uint16_t codeName = 0;
    uint32_t attributeLength = 0;
    uint16_t maxStack = 0, maxLocals = 0;
    std::string code;
};

struct ClassFile {
    uint32_t magic = 0;
    uint16_t minor = 0, major = 0;
    std::vector<PoolEntry> pool; // indexed by entry number; [0] unused
    uint16_t flags = 0, thisClass = 0, superClass = 0;
    std::vector<uint16_t> interfaces;
    std::vector<Member> fields, methods;
    uint16_t attributeCount = 0, sourceAttrName = 0, sourceName = 0;
    uint32_t sourceAttrLength = 0;

    const std::string& utf8(uint16_t index) const;
    // The name of a Class entry.
    const std::string& className(uint16_t index) const;
};

struct ProcessResult {
    int status = -1;    // exit status, -1 when not exited normally
    std::string output; // standard output (and standard error if merged)
};

// Runs a shell command line and collects its standard output.
ProcessResult runCommand(const std::string& command);

// Reads the class file strictly; a truncated file, trailing bytes or an
// unknown tag is a test failure (reported through error).
bool parseClass(const std::string& bytes, ClassFile& out, std::string& error);

} // namespace jaltest
