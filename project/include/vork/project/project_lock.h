// One project, one writer.  Two environments with the same project open
// would each save their own, older, view of it on closing, and the last to
// close would silently undo the other's work.  The first to open a project
// holds an advisory lock on a file beside the project file; later ones see
// it and open the project read-only.
#pragma once

#include <string>

namespace vork {

class ProjectLock {
public:
    // The lock file of a project file: the same name with ".lock".
    static std::string fileFor(const std::string& projectFile) { return projectFile + ".lock"; }

    // Tries to take the lock of projectFile.  A lock file left by a process
    // that has ended holds no lock and is taken over.  With wait, a lock
    // held elsewhere is waited for until its holder lets it go.
    explicit ProjectLock(const std::string& projectFile, bool wait = false);
    // Removes the lock file and releases the lock.
    ~ProjectLock();
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    // Another process (or another open project in this one) holds the lock.
    bool heldElsewhere() const { return heldElsewhere_; }
    // This object holds the lock.
    bool held() const { return fd_ >= 0; }

private:
    std::string path_;
    int fd_ = -1;
    bool heldElsewhere_ = false;
};

} // namespace vork
