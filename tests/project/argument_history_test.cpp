#include "vork/project/argument_history.h"

#include "test_dir.h"

#include <gtest/gtest.h>

using namespace vork;

TEST(ArgumentHistory, NewTextGoesToTheTopOnce)
{
    struct Case { std::vector<std::string> added; std::vector<std::string> want; };
    const Case cases[] = {
        {{"a", "b"}, {"b", "a"}},
        {{"a", "a"}, {"a"}},
        {{"a", "b", "a"}, {"b", "a"}},  // a known text keeps its place
        {{"", "a", ""}, {"a"}},
    };
    for (const Case& c : cases) {
        ArgumentHistory h;
        for (const std::string& a : c.added)
            h.add(a);
        EXPECT_EQ(h.items(), c.want);
    }
}

TEST(ArgumentHistory, LoadAndSave)
{
    test::TempDir dir;
    const std::string base = dir / "calc";
    ArgumentHistory h;
    h.add("old");
    EXPECT_FALSE(h.load(base));  // missing file: items stay
    EXPECT_EQ(h.items(), std::vector<std::string>{"old"});

    test::writeFile(base + ".arg", "x.txt\ny.txt\r\n\r\nx.txt\nlast");
    ASSERT_TRUE(h.load(base));
    EXPECT_EQ(h.items(), (std::vector<std::string>{"x.txt", "y.txt", "last"}));

    h.add("new.txt");
    ASSERT_TRUE(h.save(base));
    EXPECT_TRUE(h.items().empty());
    EXPECT_EQ(test::readFile(base + ".arg"), "new.txt\r\nx.txt\r\ny.txt\r\nlast\r\n");

    EXPECT_FALSE(h.save(dir / "missing-dir/calc"));
}
