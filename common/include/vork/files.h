// Safe handling of the files the generators and the Jal translator read and
// write: inputs that are plain files of a sane size, outputs that are never
// one of the inputs, and work files that belong to one run only.
#pragma once

#include <cstdio>
#include <string>
#include <sys/types.h>

namespace vork {

// The largest source, grammar or skeleton read: far above any real one,
// and a bound on what a device or a runaway file can make a run read.
inline constexpr long long kMaxInputBytes = 16LL * 1024 * 1024;
// The bound as the messages name it.
inline constexpr const char* kMaxInputText = "16 MB";

enum class InputCheck {
    Ok,
    CannotOpen,  // missing, unreadable, or a directory
    NotRegular,  // a device, a pipe, a socket: it may never end
    TooLarge,    // over kMaxInputBytes
};

// Opens path for reading when it is a regular file of at most
// kMaxInputBytes; otherwise returns null and says why in *why.
std::FILE* openInput(const std::string& path, InputCheck* why);

// Steps over a UTF-8 byte order mark at the start of f, just opened by
// openInput: editors that mark UTF-8 put one in front of the first line,
// where it would hide that line's `%{` or `%token` from the reader.
// Anything else is left to be read from the start.
void skipByteOrderMark(std::FILE* f);

// Reads the whole of path, under the conditions of openInput.
InputCheck readInput(const std::string& path, std::string& out);

// True when a and b name the same file: both exist with the same device
// and inode, or, where one does not exist yet, both paths lead to the same
// place once made absolute and normalised (with the symbolic links of the
// directories that exist resolved).  An empty name is no file.
bool sameFile(const std::string& a, const std::string& b);

// A file a run keeps its intermediate data in.  It is created in the
// current directory under a name of its own ("<prefix>XXXXXX<suffix>"),
// exclusively: it never follows a symbolic link and never meets an
// existing file.  It is removed only while its name still leads to the
// very file created, so nothing else is ever deleted in its place.
class WorkFile {
public:
    WorkFile() = default;
    ~WorkFile() { remove(); }
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    // Creates the file and returns it open for writing in the given mode
    // ("w" or "wb"); null when it cannot be created.  A file created
    // earlier by this object is removed first.
    std::FILE* create(const std::string& prefix, const std::string& suffix, const char* mode = "w");
    // Opens the file again for reading; null when it is gone or its name
    // now leads elsewhere.
    std::FILE* reopen(const char* mode = "r") const;
    // Removes the file if it is still the one created, and forgets it.
    void remove();
    // Forgets the file without removing it: someone else takes it over.
    void release() { made_ = false; }

    bool created() const { return made_; }
    const std::string& name() const { return name_; }
    // True when path names this file.
    bool is(const std::string& path) const;

private:
    bool stillOurs() const;

    std::string name_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    bool made_ = false;
};

} // namespace vork
