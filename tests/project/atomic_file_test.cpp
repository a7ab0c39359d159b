#include "vork/project/atomic_file.h"

#include "test_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

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

// The temporary file is made in the same directory under a longer name; a
// name near the file system's limit of 255 bytes (122 Slovak letters and
// ".lyy") must still be written, new or replaced.
TEST(AtomicFile, NamesNearTheLengthLimitAreWritten)
{
    std::string slovak;
    while (slovak.size() < 260)
        slovak += "č";
    for (size_t length : {200u, 245u, 246u, 250u, 254u, 255u}) {
        for (const std::string& letters : {std::string(300, 'a'), slovak}) {
            std::string name = letters.substr(0, length - 4) + ".lyy";
            SCOPED_TRACE(name.size());
            test::TempDir dir;
            ASSERT_TRUE(writeFileAtomically(dir / name, "first")) << std::strerror(errno);
            ASSERT_TRUE(writeFileAtomically(dir / name, "second")) << std::strerror(errno);
            EXPECT_EQ(test::readFile(dir / name), "second");
            EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{name});
        }
    }
}
