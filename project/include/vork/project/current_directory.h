// Makes a directory the process's current directory for one scope and goes
// back afterwards.  The generators open their files by the bare names they
// are given, so they run in the project directory; the caller's own
// current directory must not change under it.
#pragma once

#include <string>

namespace vork {

class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& dir);
    ~CurrentDirectory();

    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

    // False when dir could not be entered (the current directory is then
    // unchanged).
    bool entered() const { return entered_; }

private:
    int previous_ = -1;
    bool entered_ = false;
};

} // namespace vork
