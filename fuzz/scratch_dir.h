// The private directory of a fuzzing process whose code under test reads
// and writes real files.
//
// It lies on a memory file system (/dev/shm) when there is one: on a disk
// file system every input pays for creating, truncating and unlinking
// inodes, and a truncated file is flushed on close, which costs more than
// the run itself.  The directory and what is left in it go when the process
// exits normally; a crashing input leaves it for inspection.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vork_fuzz {

inline std::string& scratchPath()
{
    static std::string path;
    return path;
}

inline void removeScratch()
{
    const std::string& dir = scratchPath();
    if (dir.empty())
        return;
    // Flat: the harnesses make no subdirectories.
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                std::remove((dir + "/" + name).c_str());
        }
        ::closedir(d);
    }
    ::rmdir(dir.c_str());
}

// Creates the directory once per process (prefix names it) and returns its
// path; aborts when no directory can be made, since no input could run.
inline const std::string& scratchDir(const char* prefix)
{
    std::string& dir = scratchPath();
    if (!dir.empty())
        return dir;
    std::string parents[3] = {"/dev/shm", "", "/tmp"};
    if (const char* t = std::getenv("TMPDIR"))
        parents[1] = t;
    for (const std::string& parent : parents) {
        struct stat st;
        if (parent.empty() || ::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
            ::access(parent.c_str(), W_OK | X_OK) != 0)
            continue;
        std::string tmpl = parent + "/" + prefix + "XXXXXX";
        if (::mkdtemp(&tmpl[0])) {
            dir = tmpl;
            std::atexit(removeScratch);
            return dir;
        }
    }
    std::abort();
}

} // namespace vork_fuzz
