// Every reader of the project takes only a regular file, and no more of it
// than its format can hold: a link to /dev/zero, a pipe or a huge file is
// refused at once with the reader's own outcome, and a save never replaces
// what is not a regular file.
#include "vork/project/argument_history.h"
#include "vork/project/atomic_file.h"
#include "vork/project/configuration.h"
#include "vork/project/project_file.h"
#include "vork/project/projekt.h"

#include "test_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vork;

namespace {

enum class Kind { Regular, ZeroDevice, Pipe, Directory, Missing, Huge };

// Makes path the kind of thing a user (or an attacker) could leave there.
void make(const std::string& path, Kind kind, size_t regularSize = 10)
{
    switch (kind) {
    case Kind::Regular:
        test::writeFile(path, std::string(regularSize, '1'));
        break;
    case Kind::ZeroDevice:
        ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0);
        break;
    case Kind::Pipe:
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        break;
    case Kind::Directory:
        ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
        break;
    case Kind::Missing:
        break;
    case Kind::Huge:
        test::writeFile(path, "1\n");
        ASSERT_EQ(::truncate(path.c_str(), 1L << 32), 0);  // sparse: costs nothing to make
        break;
    }
}

} // namespace

TEST(Readers, ABoundedReadTakesOnlyRegularFilesUpToItsLimit)
{
    struct Case { const char* what; Kind kind; size_t size; size_t limit; ReadStatus want; };
    const Case cases[] = {
        {"small file", Kind::Regular, 10, 100, ReadStatus::Ok},
        {"exactly the limit", Kind::Regular, 100, 100, ReadStatus::Ok},
        {"one byte over", Kind::Regular, 101, 100, ReadStatus::TooLarge},
        {"empty file", Kind::Regular, 0, 100, ReadStatus::Ok},
        {"4 GB sparse file", Kind::Huge, 0, 1 << 20, ReadStatus::TooLarge},
        {"link to /dev/zero", Kind::ZeroDevice, 0, 1 << 20, ReadStatus::NotRegular},
        {"pipe without a writer", Kind::Pipe, 0, 1 << 20, ReadStatus::NotRegular},
        {"directory", Kind::Directory, 0, 1 << 20, ReadStatus::NotRegular},
        {"missing", Kind::Missing, 0, 1 << 20, ReadStatus::CannotOpen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        make(dir / "f", c.kind, c.size);
        std::string out = "stale";
        EXPECT_EQ(readRegularFile(dir / "f", out, c.limit), c.want);
        if (c.want == ReadStatus::Ok) {
            EXPECT_EQ(out, std::string(c.size, '1'));
        }
    }
    // A /proc file says it is empty and still has text: the limit holds.
    std::string out;
    EXPECT_EQ(readRegularFile("/proc/self/maps", out, 16), ReadStatus::TooLarge);
    EXPECT_EQ(readRegularFile("/proc/self/maps", out, 1 << 24), ReadStatus::Ok);
    EXPECT_FALSE(out.empty());
}

TEST(Readers, RefuseWhatIsNotARegularFileOfTheirFormatsSize)
{
    const Kind kinds[] = {Kind::ZeroDevice, Kind::Pipe, Kind::Directory, Kind::Huge};
    for (Kind kind : kinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        test::TempDir dir;
        // konfig.ide: not read, the defaults stay.
        ::mkdir((dir / "config").c_str(), 0755);
        make(dir / "config/konfig.ide", kind);
        Configuration config;
        config.fontSize = 11;
        EXPECT_FALSE(ConfigFile(dir / "config").read(config));
        EXPECT_EQ(config.fontSize, 11);

        // The argument history: not read, the items stay.
        make(dir / "calc.arg", kind);
        ArgumentHistory history;
        history.add("kept");
        EXPECT_FALSE(history.load(dir / "calc"));
        EXPECT_EQ(history.items(), std::vector<std::string>{"kept"});

        // The token file of a debug build: no names.
        test::writeFile(dir / "calc.lyy", "-1\r\n-1\r\n1\r\n0\r\n1\r\n0\r\n\r\n");
        make(dir / "calc.lex", kind);
        FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
        {
            Projekt p(dir / "calc.lyy", false, ui);
            p.loadTokenNames();
            EXPECT_TRUE(p.tokenNames().empty());
        }
    }
}

TEST(Readers, ASaveNeverReplacesWhatIsNotARegularFile)
{
    // A pipe stands for a device here: replacing it must fail and leave it.
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    ASSERT_EQ(::mkdir((dir / "config").c_str(), 0755), 0);
    ASSERT_EQ(::symlink((dir / "fifo").c_str(), (dir / "config/konfig.ide").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "fifo").c_str(), (dir / "calc.arg").c_str()), 0);
    EXPECT_FALSE(ConfigFile(dir / "config").write(Configuration()));
    ArgumentHistory history;
    history.add("a");
    EXPECT_FALSE(history.save(dir / "calc"));
    EXPECT_FALSE(writeFileAtomically(dir / "config", "x"));
    struct stat st;
    ASSERT_EQ(::stat((dir / "fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(test::listing(dir.path()), (std::vector<std::string>{"calc.arg", "config", "fifo"}));
}

TEST(Readers, AHistoryItemIsOneLine)
{
    struct Case { const char* text; bool kept; };
    const Case cases[] = {{"a b", true}, {"a\nb", false}, {"a\r\nb", false}, {"a\rb", false}, {"\n", false}};
    for (const Case& c : cases) {
        test::TempDir dir;
        ArgumentHistory h;
        h.add(c.text);
        EXPECT_EQ(h.items().size(), c.kept ? 1u : 0u) << c.text;
        ASSERT_TRUE(h.save(dir / "calc"));
        ArgumentHistory back;
        back.load(dir / "calc");
        EXPECT_EQ(back.items().size(), c.kept ? 1u : 0u) << c.text;
    }
}
