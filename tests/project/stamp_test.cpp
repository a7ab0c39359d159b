#include "vork/project/build_record.h"
#include "vork/project/stamp.h"

#include "test_dir.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/time.h>

using namespace vork;

TEST(Stamp, PacksDosDateAndTime)
{
    struct Case { int year, mon, day, hour, min, sec; uint32_t want; };
    const Case cases[] = {
        // 2024-03-15 13:45:30: date (44<<9)|(3<<5)|15 = 0x586F, time (13<<11)|(45<<5)|15 = 0x6DAF.
        {2024, 3, 15, 13, 45, 30, 0x586F6DAFu},
        {1980, 1, 1, 0, 0, 0, 0x00210000u},
        {2107, 12, 31, 23, 59, 58, 0xFF9FBF7Du},
    };
    for (const Case& c : cases) {
        std::tm t{};
        t.tm_year = c.year - 1900, t.tm_mon = c.mon - 1, t.tm_mday = c.day;
        t.tm_hour = c.hour, t.tm_min = c.min, t.tm_sec = c.sec;
        EXPECT_EQ(static_cast<uint32_t>(packDosStamp(t)), c.want) << c.year << "-" << c.mon << "-" << c.day;
    }
}

TEST(Stamp, FileStampUsesLocalTime)
{
    // Each test runs in its own process, so the zone can be set here.
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    test::TempDir dir;
    const std::string f = dir / "calc.l";
    test::writeFile(f, "x");
    struct timeval tv[2] = {{1710510330, 0}, {1710510330, 0}};  // 2024-03-15 13:45:30 UTC
    ASSERT_EQ(::utimes(f.c_str(), tv), 0);
    EXPECT_EQ(static_cast<uint32_t>(fileStamp(f)), 0x586F6DAFu);

    ::setenv("TZ", "CET-1", 1);
    ::tzset();
    EXPECT_EQ(static_cast<uint32_t>(fileStamp(f)), 0x586F75AFu);  // 14:45:30
}

// The build record beside the project file: what the next make trusts.  A
// record written before the settings were kept still reads, as settings 0.
TEST(BuildRecordFile, ReadsOlderAndNewerLinesAndRefusesGarbage)
{
    struct Case { const char* bytes; bool ok; bool parser; int parserOptions; bool program; };
    const Case cases[] = {
        {"yacc 5 7 100 5 6\r\n", true, true, 0, false},
        {"yacc 5 7 100 5 6 5\r\nexe 8 9 10 11\r\n", true, true, 5, true},
        {"lex 1 2 3 4 5 2\r\n", true, false, 0, false},
        {"", true, false, 0, false},
        {"yacc 5 7 100\r\n", false, false, 0, false},
        {"make 1 2 3 4 5\r\n", false, false, 0, false},
    };
    for (const Case& c : cases) {
        BuildRecord r;
        EXPECT_EQ(r.parse(c.bytes), c.ok) << c.bytes;
        EXPECT_EQ(r.parser.valid, c.parser) << c.bytes;
        EXPECT_EQ(r.parser.options, c.parserOptions) << c.bytes;
        EXPECT_EQ(r.programValid, c.program) << c.bytes;
        if (!c.ok)
            continue;
        // What is written reads back the same.
        BuildRecord again;
        ASSERT_TRUE(again.parse(r.serialize())) << c.bytes;
        EXPECT_EQ(again.serialize(), r.serialize());
        EXPECT_EQ(again.parser.options, r.parser.options);
        EXPECT_EQ(again.scanner.options, r.scanner.options);
    }
}
