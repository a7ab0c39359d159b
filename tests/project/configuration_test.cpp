#include "vork/project/configuration.h"

#include "vork/project/project_ui.h"

#include "test_dir.h"

#include <gtest/gtest.h>

using namespace vork;

TEST(Configuration, DefaultsWriteTheSevenLines)
{
    Configuration c;
    c.cCompilerPath = "";
    EXPECT_EQ(serializeConfiguration(c), "1\r\n0\r\n1\r\n0\r\n\r\nCourier New\r\n8\r\n");
    EXPECT_EQ(Configuration{}.cCompilerPath, "vork-cc");
}

TEST(Configuration, ReadRules)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool opt, stat, slovak, colour;
        std::string compiler, font;
        int size;
    };
    const Case cases[] = {
        {"all seven", "0\r\n1\r\n0\r\n1\r\n/usr/bin/cc\r\nMono\r\n12\r\n", false, true, false, true,
         "/usr/bin/cc", "Mono", 12},
        {"LF only", "0\n1\n0\n1\ncc\nMono\n12\n", false, true, false, true, "cc", "Mono", 12},
        {"colouring 0", "1\r\n0\r\n1\r\n0\r\ncc\r\nMono\r\n10\r\n", true, false, true, false, "cc", "Mono", 10},
        {"colouring only when exactly 1", "1\r\n0\r\n1\r\n2\r\ncc\r\nMono\r\n10\r\n", true, false, true, false,
         "cc", "Mono", 10},
        {"font size 100 ignored", "1\r\n0\r\n1\r\n0\r\ncc\r\nMono\r\n100\r\n", true, false, true, false, "cc",
         "Mono", 8},
        {"font size 1 ignored", "1\r\n0\r\n1\r\n0\r\ncc\r\nMono\r\n1\r\n", true, false, true, false, "cc",
         "Mono", 8},
        {"font sizes 2 and 99 taken", "1\r\n0\r\n1\r\n0\r\ncc\r\nMono\r\n99\r\n", true, false, true, false,
         "cc", "Mono", 99},
        {"ends after compiler path", "1\r\n0\r\n1\r\n0\r\ncc", true, false, true, false, "cc", "Courier New", 8},
        {"five complete lines", "1\r\n0\r\n1\r\n0\r\ncc\r\n", true, false, true, false, "cc", "", 8},
        {"empty compiler path", "1\r\n0\r\n1\r\n0\r\n\r\nMono\r\n9\r\n", true, false, true, false, "", "Mono",
         9},
        {"path with blanks", "1\r\n0\r\n1\r\n0\r\n/opt/my cc/bin/cc -O\r\nMono\r\n9\r\n", true, false, true,
         false, "/opt/my cc/bin/cc -O", "Mono", 9},
        {"not a number stops reading", "1\r\nx\r\n0\r\n1\r\ncc\r\nMono\r\n9\r\n", true, false, true, false,
         "vork-cc", "Courier New", 8},
        {"over-long path not taken", "0\r\n0\r\n0\r\n0\r\n" + std::string(254, 'p') + "\r\nMono\r\n9\r\n",
         false, false, false, false, "vork-cc", "Courier New", 8},
    };
    for (const Case& c : cases) {
        Configuration cfg;
        parseConfiguration(c.bytes, cfg);
        EXPECT_EQ(cfg.scannerOptimisation, c.opt) << c.name;
        EXPECT_EQ(cfg.scannerStatistics, c.stat) << c.name;
        EXPECT_EQ(cfg.slovakMessages, c.slovak) << c.name;
        EXPECT_EQ(cfg.syntaxColouring, c.colour) << c.name;
        EXPECT_EQ(cfg.cCompilerPath, c.compiler) << c.name;
        EXPECT_EQ(cfg.fontName, c.font) << c.name;
        EXPECT_EQ(cfg.fontSize, c.size) << c.name;
    }
}

TEST(Configuration, FileRoundTripAndMissingFile)
{
    test::TempDir dir;
    ConfigFile file(dir / "conf/vork");
    Configuration c;
    c.fontSize = 13;
    EXPECT_FALSE(file.read(c));
    EXPECT_EQ(c.fontSize, 13);  // untouched when there is no file

    Configuration w;
    w.cCompilerPath = "/usr/bin/cc";
    w.syntaxColouring = true;
    w.fontName = "DejaVu Sans Mono";
    w.fontSize = 11;
    ASSERT_TRUE(file.write(w));  // creates the directory
    EXPECT_EQ(file.path(), dir / "conf/vork/konfig.ide");
    EXPECT_EQ(test::readFile(file.path()), "1\r\n0\r\n1\r\n1\r\n/usr/bin/cc\r\nDejaVu Sans Mono\r\n11\r\n");
    Configuration r;
    ASSERT_TRUE(file.read(r));
    EXPECT_EQ(r.cCompilerPath, w.cCompilerPath);
    EXPECT_TRUE(r.syntaxColouring);
    EXPECT_EQ(r.fontName, w.fontName);
    EXPECT_EQ(r.fontSize, 11);
}

TEST(Configuration, DirectoryFallsBackToXdgConfig)
{
    test::TempDir dir;
    ::setenv("XDG_CONFIG_HOME", (dir / "xdg").c_str(), 1);
    EXPECT_EQ(configDirectory(dir.path()), dir.path());
    EXPECT_EQ(configDirectory(dir / "no-such-dir/"), dir / "xdg/vork/");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", (dir / "home").c_str(), 1);
    EXPECT_EQ(defaultConfigDirectory(), dir / "home/.config/vork/");
}

TEST(Configuration, StartupReadWarnsOnceAndKeepsDefaults)
{
    test::TempDir dir;
    ConfigFile file(dir.path());
    FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
    Configuration c;
    EXPECT_FALSE(readConfiguration(file, c, ui));
    EXPECT_EQ(ui.messagesShown(), 1);
    EXPECT_EQ(ui.lastMessage(), "Nepodarilo sa otvorit konfiguračný súbor !\n");
    EXPECT_EQ(c.fontName, "Courier New");
    writeConfiguration(file, c);
    EXPECT_EQ(test::readFile(dir / "konfig.ide"), "1\r\n0\r\n1\r\n0\r\nvork-cc\r\nCourier New\r\n8\r\n");
    EXPECT_TRUE(readConfiguration(file, c, ui));
    EXPECT_EQ(ui.messagesShown(), 1);
}
