#include "vork/files.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vork {

std::FILE* openInput(const std::string& path, InputCheck* why)
{
    InputCheck dummy;
    if (!why)
        why = &dummy;
    *why = InputCheck::CannotOpen;
    // Not blocking: a named pipe without a writer would hold the open
    // forever, before the kind of the file could even be seen.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = InputCheck::NotRegular;
        ::close(fd);
        return nullptr;
    }
    if (st.st_size > kMaxInputBytes) {
        *why = InputCheck::TooLarge;
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "r");
    if (!f) {
        ::close(fd);
        return nullptr;
    }
    *why = InputCheck::Ok;
    return f;
}

void skipByteOrderMark(std::FILE* f)
{
    if (!f)
        return;
    unsigned char head[3];
    if (std::fread(head, 1, sizeof head, f) == sizeof head && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
        return;
    // openInput gives regular files only, which seek.
    std::clearerr(f);
    std::fseek(f, 0, SEEK_SET);
}

InputCheck readInput(const std::string& path, std::string& out)
{
    InputCheck why;
    std::FILE* f = openInput(path, &why);
    if (!f)
        return why;
    out.clear();
    char buf[65536];
    std::size_t n;
    // A file that grows while it is read still stops at the bound.
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        out.append(buf, n);
        if (static_cast<long long>(out.size()) > kMaxInputBytes) {
            std::fclose(f);
            out.clear();
            return InputCheck::TooLarge;
        }
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        out.clear();
        return InputCheck::CannotOpen;
    }
    return InputCheck::Ok;
}

namespace {

std::string normalised(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    std::filesystem::path c = std::filesystem::weakly_canonical(p, ec);
    return (ec ? p.lexically_normal() : c).string();
}

} // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    struct stat sa, sb;
    const bool hasA = ::stat(a.c_str(), &sa) == 0, hasB = ::stat(b.c_str(), &sb) == 0;
    if (hasA && hasB)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA != hasB) {
        // A symbolic link whose target does not exist yet is followed when
        // it is written: compare where it leads.
        struct stat sl;
        const std::string& missing = hasA ? b : a;
        if (::lstat(missing.c_str(), &sl) == 0)
            return false;
    }
    return normalised(a) == normalised(b);
}

std::FILE* WorkFile::create(const std::string& prefix, const std::string& suffix, const char* mode)
{
    remove();
    std::string name = prefix + "XXXXXX" + suffix;
    // mkostemps opens with O_CREAT | O_EXCL: never through a link, never
    // an existing file.
    const int fd = ::mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    std::FILE* f = ::fstat(fd, &st) == 0 ? ::fdopen(fd, mode) : nullptr;
    if (!f) {
        ::close(fd);
        ::unlink(name.c_str());
        return nullptr;
    }
    name_ = name;
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    made_ = true;
    return f;
}

bool WorkFile::stillOurs() const
{
    struct stat st;
    return made_ && ::lstat(name_.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == dev_ &&
           st.st_ino == ino_;
}

std::FILE* WorkFile::reopen(const char* mode) const
{
    if (!made_)
        return nullptr;
    const int fd = ::open(name_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    std::FILE* f = nullptr;
    if (::fstat(fd, &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_)
        f = ::fdopen(fd, mode);
    if (!f)
        ::close(fd);
    return f;
}

void WorkFile::remove()
{
    if (stillOurs())
        ::unlink(name_.c_str());
    made_ = false;
}

bool WorkFile::is(const std::string& path) const
{
    struct stat st;
    return made_ && !path.empty() && ::stat(path.c_str(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_;
}

} // namespace vork
