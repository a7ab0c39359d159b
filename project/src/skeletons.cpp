#include "vork/project/skeletons.h"

#include "vork/progdir.h"

namespace vork {

SkeletonPaths SkeletonPaths::fromDataFiles()
{
    return {dataFilePath("ncform"), dataFilePath("lncform"), dataFilePath("yaccpar"), dataFilePath("lyaccpar")};
}

SkeletonPaths SkeletonPaths::inDirectory(const std::string& dir)
{
    std::string d = dir;
    if (d.empty() || d.back() != '/')
        d += '/';
    return {d + "ncform", d + "lncform", d + "yaccpar", d + "lyaccpar"};
}

} // namespace vork
