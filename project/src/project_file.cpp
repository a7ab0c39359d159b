#include "vork/project/project_file.h"

#include "vork/project/paths.h"
#include "text_cursor.h"

#include <cstdint>

namespace vork {

namespace {

// The project file's reads: 32-bit numbers, flags that are 0 or 1, and
// lines of at most kMaxProjectLine characters (the last one may lack its
// line end, but an expected line that isn't there at all is a failure).
class Reader {
public:
    explicit Reader(const std::string& bytes) : in_(bytes) {}

    bool readInt(int32_t& value)
    {
        int64_t v = 0;
        if (!in_.readInteger(v) || v > INT32_MAX || v < INT32_MIN)
            return false;
        value = static_cast<int32_t>(v);
        return true;
    }

    bool readFlag(bool& flag)
    {
        int32_t v = 0;
        if (!readInt(v) || (v != 0 && v != 1))
            return false;
        flag = v == 1;
        return true;
    }

    void skipOne() { in_.skipOne(); }

    // The rest of the current line without its line end.  Fails at the end
    // of the file and for a line longer than kMaxProjectLine.
    bool readLine(std::string& line)
    {
        if (in_.atEnd())
            return false;
        bool ended = false;
        line = in_.restOfLine(ended);
        return line.size() <= kMaxProjectLine;
    }

private:
    TextCursor in_;
};

// A value goes on one line and must come back unchanged: no line feed
// inside, and no CR at its end, where the reader takes it for part of a
// CR LF.
bool storable(const std::string& line)
{
    return line.size() <= kMaxProjectLine && line.find('\n') == std::string::npos &&
           (line.empty() || line.back() != '\r');
}

} // namespace

bool parseProjectFile(const std::string& bytes, ProjectFileData& out)
{
    // An editor that marks UTF-8 puts the mark in front of the first
    // stamp; it is no part of the project's data.
    const std::string text = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
    Reader in(text);
    ProjectFileData d;
    int32_t count = 0;
    if (!in.readInt(d.lexStamp) || !in.readInt(d.yaccStamp) || !in.readFlag(d.debugMode) ||
        !in.readInt(count) || !in.readFlag(d.defaultCSource) || !in.readFlag(d.alwaysCompile))
        return false;
    if (count > kMaxMemberFiles)
        return false;
    // Exactly one character is skipped here: normally the line end of the
    // sixth value, but a blank written after that value is taken instead,
    // and the run arguments then read as the empty rest of that line.
    in.skipOne();
    if (!in.readLine(d.runArguments))
        return false;
    for (int32_t i = 0; i < count; ++i) {
        std::string line;
        if (!in.readLine(line))
            return false;
        d.memberFiles.push_back(paths::fromStored(line));
    }
    if (!d.defaultCSource) {
        std::string line;
        if (!in.readLine(line))
            return false;
        d.cSourceFile = paths::fromStored(line);
    }
    out = std::move(d);
    return true;
}

bool serializeProjectFile(const ProjectFileData& d, std::string& out)
{
    if (d.memberFiles.size() > static_cast<size_t>(kMaxMemberFiles) || !storable(d.runArguments))
        return false;
    for (const std::string& m : d.memberFiles)
        if (!storable(m))
            return false;
    if (!d.defaultCSource && !storable(d.cSourceFile))
        return false;

    std::string s;
    auto line = [&s](const std::string& text) {
        s += text;
        s += "\r\n";
    };
    line(std::to_string(d.lexStamp));
    line(std::to_string(d.yaccStamp));
    line(d.debugMode ? "1" : "0");
    line(std::to_string(d.memberFiles.size()));
    line(d.defaultCSource ? "1" : "0");
    line(d.alwaysCompile ? "1" : "0");
    line(d.runArguments);
    for (const std::string& m : d.memberFiles)
        line(m);
    if (!d.defaultCSource)
        line(d.cSourceFile);
    out = std::move(s);
    return true;
}

} // namespace vork
