#include "vork/project/atomic_file.h"

#include "test_dir.h"

#include <gtest/gtest.h>

using namespace vork;

TEST(AtomicFile, ReplacesThroughSymlinkAndKeepsMode)
{
    test::TempDir dir;
    test::writeFile(dir / "real.ly", "old");
    ::chmod((dir / "real.ly").c_str(), 0640);
    ASSERT_EQ(::symlink((dir / "real.ly").c_str(), (dir / "link.ly").c_str()), 0);

    ASSERT_TRUE(writeFileAtomically(dir / "link.ly", "new"));
    struct stat st;
    ASSERT_EQ(::lstat((dir / "link.ly").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(test::readFile(dir / "real.ly"), "new");
    ASSERT_EQ(::stat((dir / "real.ly").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, FailureLeavesNoTemporaryBehind)
{
    test::TempDir dir;
    ::mkdir((dir / "d").c_str(), 0777);
    EXPECT_FALSE(writeFileAtomically(dir / "d", "x"));  // a directory is not replaced
    EXPECT_FALSE(writeFileAtomically(dir / "missing/f", "x"));
    EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"d"});
}
