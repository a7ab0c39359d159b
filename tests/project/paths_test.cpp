#include "vork/project/paths.h"

#include <gtest/gtest.h>

using namespace vork;

TEST(Paths, ExtensionOnlyAfterLastSlash)
{
    struct Case { const char* path; const char* ext; const char* stripped; };
    const Case cases[] = {
        {"/a/calc.lyy", ".lyy", "/a/calc"},
        {"/a.b/calc", "", "/a.b/calc"},
        {"/a/x.tar.ly", ".ly", "/a/x.tar"},
        {"/a/P.LYE", ".LYE", "/a/P"},
        {"noext", "", "noext"},
        {"/a/.hidden", ".hidden", "/a/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(paths::extension(c.path), c.ext) << c.path;
        EXPECT_EQ(paths::stripExtension(c.path), c.stripped) << c.path;
    }
}

TEST(Paths, AbsoluteFoldsDotsAgainstBase)
{
    struct Case { const char* path; const char* base; const char* want; };
    const Case cases[] = {
        {"util.c", "/p/", "/p/util.c"},
        {"util.c", "/p", "/p/util.c"},
        {"sub/./x.c", "/p/", "/p/sub/x.c"},
        {"../lib/x.c", "/p/q/", "/p/lib/x.c"},
        {"../../../x.c", "/p/", "/x.c"},
        {"/abs//x.c", "/p/", "/abs/x.c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(paths::absolute(c.path, c.base), c.want) << c.path;
}

TEST(Paths, RelativeDropsCommonDirectories)
{
    struct Case { const char* target; const char* dir; const char* want; };
    const Case cases[] = {
        {"/p/util.c", "/p/", "util.c"},
        {"/p/sub/name.c", "/p/", "sub/name.c"},
        {"/q/x.c", "/p/", "../q/x.c"},
        {"/x.c", "/p/q/", "../../x.c"},
        {"/p/q/r.c", "/p/q/s/", "../r.c"},
        // Directories that differ only in case are different here.
        {"/P/x.c", "/p/", "../P/x.c"},
        // A directory named like the file does not swallow it.
        {"/p/p", "/p/p/", "../p"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(paths::relative(c.target, c.dir), c.want) << c.target << " from " << c.dir;
        EXPECT_EQ(paths::absolute(paths::relative(c.target, c.dir), c.dir), c.target);
    }
}
