#include "vork/project/current_directory.h"

#include <fcntl.h>
#include <unistd.h>

namespace vork {

CurrentDirectory::CurrentDirectory(const std::string& dir)
{
    // A descriptor finds the way back even when the old directory has been
    // renamed meanwhile.
    previous_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    entered_ = !dir.empty() && ::chdir(dir.c_str()) == 0;
}

CurrentDirectory::~CurrentDirectory()
{
    if (previous_ >= 0) {
        if (entered_ && ::fchdir(previous_) != 0) {
            // Nowhere better to go; the project directory stays current.
        }
        ::close(previous_);
    }
}

} // namespace vork
