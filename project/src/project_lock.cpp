#include "vork/project/project_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vork {

ProjectLock::ProjectLock(const std::string& projectFile, bool wait) : path_(fileFor(projectFile))
{
    // flock() belongs to the open file, so the kernel drops it when its
    // holder dies: a lock file a crash left behind locks nothing.  The
    // holder removes the file when it closes, and a file removed between
    // our open() and flock() would lock an orphan, so the lock counts only
    // while the name still leads to the locked file.
    // A waiting instance is woken when the holder closes, which removes
    // the name: it then tries the new file, for as long as it takes.
    for (int attempt = 0; wait || attempt < 8; ++attempt) {
        int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0)
            return;  // no place for a lock (unwritable directory): nothing to guard with
        int locked;
        do
            locked = ::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
        while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            heldElsewhere_ = busy;
            return;
        }
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) == 0 && ::stat(path_.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
            opened.st_ino == named.st_ino) {
            fd_ = fd;
            return;
        }
        ::close(fd);  // the holder removed it meanwhile: try the new name
    }
}

ProjectLock::~ProjectLock()
{
    if (fd_ < 0)
        return;
    // Remove the name while still holding the lock, so that nobody locks a
    // file that is about to disappear.
    ::unlink(path_.c_str());
    ::close(fd_);
}

} // namespace vork
