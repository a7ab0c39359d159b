#include "vork/project/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vork {

ReadStatus readRegularFile(const std::string& path, std::string& out, size_t maxBytes)
{
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENXIO ? ReadStatus::NotRegular : ReadStatus::CannotOpen;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return ReadStatus::CannotOpen;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadStatus::NotRegular;
    }
    if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        return ReadStatus::TooLarge;
    }
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int saved = errno;
            ::close(fd);
            errno = saved;
            return ReadStatus::CannotOpen;
        }
        if (n == 0)
            break;
        // A file that grows while it is read (or a /proc file, which
        // reports size 0) is still held to the limit.
        if (out.size() + static_cast<size_t>(n) > maxBytes) {
            ::close(fd);
            out.clear();
            return ReadStatus::TooLarge;
        }
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return ReadStatus::Ok;
}

bool readWholeFile(const std::string& path, std::string& out, size_t maxBytes)
{
    return readRegularFile(path, out, maxBytes) == ReadStatus::Ok;
}

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

static bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool writeFileAtomically(const std::string& requested, const std::string& bytes)
{
    // A symbolic link is followed, so that the renamed file replaces its
    // target rather than the link itself.
    std::string path = requested;
    struct stat lst;
    if (::lstat(requested.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        if (char* real = ::realpath(requested.c_str(), nullptr)) {
            path = real;
            std::free(real);
        }
    }
    // Only a regular file is ever replaced: renaming over a device node or
    // a directory would destroy what is not a file of ours.
    struct stat target;
    if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
        errno = S_ISDIR(target.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // A file the user may not write stays as it is, as a plain write would
    // leave it: the rename would replace it whatever its permissions say.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return false;
    // The temporary name is the file's own with a suffix, its file-name
    // part cut so that it stays within the 255 bytes a name may have: a
    // project named near that limit must still be saved.
    const char suffix[] = ".tmpXXXXXX";
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t room = NAME_MAX - (sizeof suffix - 1);
    std::vector<char> tmp(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(
                                                           std::min(path.size(), nameStart + room)));
    tmp.insert(tmp.end(), suffix, suffix + sizeof suffix);  // with the NUL
    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // mkostemp creates the file 0600; give it what a plain create would,
    // or the existing file's mode when one is being replaced.
    mode_t mode = 0666;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    int saved = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && ::rename(tmp.data(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        ::unlink(tmp.data());
        errno = saved;
    }
    return ok;
}

std::string toCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size()) {
        size_t nl = text.find('\n', i);
        size_t end = nl == std::string::npos ? text.size() : nl;
        size_t stop = end;
        if (stop > i && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(i, stop - i));
        if (nl == std::string::npos)
            break;
        i = nl + 1;
    }
    return lines;
}

} // namespace vork
