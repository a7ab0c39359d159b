#include "vork/project/configuration.h"

#include "vork/project/project_ui.h"

#include "test_dir.h"

#include <QSettings>
#include <QString>

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vork;

namespace {
const std::string kDefaults = "1\r\n0\r\n1\r\n0\r\nvork-cc\r\nCourier New\r\n8\r\n0\r\n";
}

// Each case is read over the defaults and written out again, so the
// written lines show every value taken or kept.
TEST(Configuration, ReadRules)
{
    const std::string head = "1\r\n0\r\n1\r\n0\r\n";
    struct Case { const char* name; std::string bytes; std::string want; };
    const Case cases[] = {
        {"defaults", "", kDefaults},
        {"LF only", "0\n1\n0\n1\ncc\nMono\n12\n1\n", "0\r\n1\r\n0\r\n1\r\ncc\r\nMono\r\n12\r\n1\r\n"},
        {"colouring only when exactly 1", "1\r\n0\r\n1\r\n2\r\ncc\r\nMono\r\n10\r\n", head + "cc\r\nMono\r\n10\r\n0\r\n"},
        {"font size 100 ignored", head + "cc\r\nMono\r\n100\r\n", head + "cc\r\nMono\r\n8\r\n0\r\n"},
        {"font size 1 ignored", head + "cc\r\nMono\r\n1\r\n", head + "cc\r\nMono\r\n8\r\n0\r\n"},
        {"font size 2 taken", head + "cc\r\nMono\r\n2\r\n", head + "cc\r\nMono\r\n2\r\n0\r\n"},
        {"font size 99 taken", head + "cc\r\nMono\r\n99\r\n", head + "cc\r\nMono\r\n99\r\n0\r\n"},
        {"ends after compiler path", head + "cc", head + "cc\r\nCourier New\r\n8\r\n0\r\n"},
        {"five complete lines", head + "cc\r\n", head + "cc\r\n\r\n8\r\n0\r\n"},
        {"empty compiler path", head + "\r\nMono\r\n9\r\n", head + "\r\nMono\r\n9\r\n0\r\n"},
        {"not a number stops reading", "1\r\nx\r\n0\r\n1\r\ncc\r\nMono\r\n9\r\n1\r\n", kDefaults},
        {"over-long path not taken", "0\r\n0\r\n0\r\n0\r\n" + std::string(254, 'p') + "\r\nMono\r\n9\r\n1\r\n",
         "0\r\n0\r\n0\r\n0\r\nvork-cc\r\nCourier New\r\n8\r\n0\r\n"},
        // The eighth line: large tables, off when the file has no such line.
        {"large tables on", head + "cc\r\nMono\r\n9\r\n1\r\n", head + "cc\r\nMono\r\n9\r\n1\r\n"},
        {"large tables after an ignored font size", head + "cc\r\nMono\r\n100\r\n1\r\n", head + "cc\r\nMono\r\n8\r\n1\r\n"},
        {"no font size, no large tables", head + "cc\r\nMono\r\nx\r\n1\r\n", head + "cc\r\nMono\r\n8\r\n0\r\n"},
        // A file edited in an editor that marks UTF-8 keeps its compiler.
        {"UTF-8 byte order mark in front", "\xEF\xBB\xBF" + head + "cc\r\nMono\r\n9\r\n1\r\n",
         head + "cc\r\nMono\r\n9\r\n1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configuration cfg;
        parseConfiguration(c.bytes, cfg);
        EXPECT_EQ(serializeConfiguration(cfg), c.want);
    }
}

// The eighth line read over either value: a file of an older version,
// which has seven lines, means off; one whose reading stopped earlier
// keeps what was there, as every other setting does.
TEST(Configuration, EighthLineIsLargeTables)
{
    const std::string seven = "1\r\n0\r\n1\r\n0\r\ncc\r\nMono\r\n9\r\n";
    struct Case { std::string bytes; bool before, after; };
    const Case cases[] = {
        {seven, true, false},          {seven + "1\r\n", false, true}, {seven + "0\r\n", true, false},
        {seven + "2", false, true},    {seven + "\r\n", true, false},  {seven + "x\r\n1\r\n", true, false},
        {"1\r\n0\r\n1\r\n0\r\ncc", true, true},  // ends after the compiler path
        {"1\r\nx\r\n", true, true},                   // not a number stops reading
    };
    for (const Case& c : cases) {
        Configuration cfg;
        cfg.largeTables = c.before;
        parseConfiguration(c.bytes, cfg);
        EXPECT_EQ(cfg.largeTables, c.after) << c.bytes << " over " << c.before;
    }
}

// The start-up read warns about a missing file and keeps every value; the
// exit write creates the directory.
TEST(Configuration, StartupReadAndExitWrite)
{
    test::TempDir dir;
    ConfigFile file(dir / "conf/vork");
    FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
    Configuration c;
    c.fontSize = 13;
    EXPECT_FALSE(readConfiguration(file, c, ui));
    EXPECT_EQ(ui.messagesShown(), 1);
    EXPECT_EQ(ui.lastMessage(), "Nepodarilo sa otvorit konfiguračný súbor !\n");
    EXPECT_EQ(c.fontSize, 13);

    Configuration w;
    w.cCompilerPath = "/usr/bin/cc";
    w.syntaxColouring = true;
    w.fontName = "DejaVu Sans Mono";
    w.fontSize = 11;
    writeConfiguration(file, w);
    EXPECT_EQ(file.path(), dir / "conf/vork/konfig.ide");
    EXPECT_EQ(test::readFile(file.path()), "1\r\n0\r\n1\r\n1\r\n/usr/bin/cc\r\nDejaVu Sans Mono\r\n11\r\n0\r\n");
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

// The installed default serves a user without a konfig.ide of their own;
// a file of theirs that cannot be opened is still reported, and so is a
// missing default.
TEST(Configuration, TheInstalledDefaultServesAUserWithoutAFile)
{
    struct Case {
        const char* name;
        bool userFile;     // the user's konfig.ide exists
        bool userIsDir;    // ... but is a directory, which cannot be read
        bool defaultFile;  // the installed default exists
        bool read;
        int fontSize;      // after the read; 13 when nothing was read
    };
    const Case cases[] = {
        {"first start", false, false, true, true, 10},
        {"the user's own wins", true, false, true, true, 11},
        {"no default either", false, false, false, false, 13},
        {"user's file unreadable", true, true, true, false, 13},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string def = dir / "share/konfig.ide";
        ::mkdir((dir / "share").c_str(), 0755);
        ::mkdir((dir / "user").c_str(), 0755);
        if (c.defaultFile)
            test::writeFile(def, "1\r\n0\r\n1\r\n1\r\nvork-cc\r\nMono\r\n10\r\n0\r\n");
        if (c.userIsDir)
            ::mkdir((dir / "user/konfig.ide").c_str(), 0755);
        else if (c.userFile)
            test::writeFile(dir / "user/konfig.ide", "1\r\n0\r\n1\r\n1\r\nvork-cc\r\nMono\r\n11\r\n0\r\n");
        ConfigFile file(dir / "user", def);
        FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
        Configuration cfg;
        cfg.fontSize = 13;
        EXPECT_EQ(readConfiguration(file, cfg, ui), c.read) << c.name;
        EXPECT_EQ(ui.messagesShown(), c.read ? 0 : 1) << c.name;
        EXPECT_EQ(cfg.fontSize, c.fontSize) << c.name;
        if (c.read && !c.userFile) {
            // The exit write makes it the user's own, not the default.
            cfg.fontSize = 12;
            writeConfiguration(file, cfg);
            EXPECT_NE(test::readFile(dir / "user/konfig.ide").find("\r\n12\r\n"), std::string::npos) << c.name;
            EXPECT_NE(test::readFile(def).find("\r\n10\r\n"), std::string::npos) << c.name;
        }
    }
}

// The fast parser is no line of konfig.ide but a key of the ini file
// beside it.  Whatever the ini holds, konfig.ide is read as before, and
// an ini that is missing or not usable means off, without a warning.
TEST(Configuration, FastParserIsReadFromTheIniBesideKonfig)
{
    struct Case {
        const char* name;
        const char* ini;  // nullptr: no file; "/": a directory of that name
        bool fast;
    };
    const Case cases[] = {
        {"no ini", nullptr, false},
        {"on", "[generatory]\nrychly_parser=true\n", true},
        {"off", "[generatory]\nrychly_parser=false\n", false},
        {"only the window layout", "[okno]\ngeometria=@ByteArray(x)\n", false},
        {"the key in another group", "[okno]\nrychly_parser=true\n", false},
        {"not an ini", "\x01\xff[[[\n==\n", false},
        {"a directory", "/", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        test::writeFile(dir / "konfig.ide", "1\r\n0\r\n1\r\n1\r\nvork-cc\r\nMono\r\n11\r\n1\r\n");
        if (c.ini && std::string(c.ini) == "/")
            ::mkdir((dir / "vork-okno.ini").c_str(), 0755);
        else if (c.ini)
            test::writeFile(dir / "vork-okno.ini", c.ini);
        ConfigFile file(dir.path());
        EXPECT_EQ(file.settingsPath(), dir / "vork-okno.ini");
        FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
        Configuration cfg;
        EXPECT_TRUE(readConfiguration(file, cfg, ui));
        EXPECT_EQ(ui.messagesShown(), 0);
        EXPECT_EQ(cfg.fastParser, c.fast);
        EXPECT_EQ(cfg.fontSize, 11);
        EXPECT_TRUE(cfg.largeTables);
    }
}

// Writing keeps konfig.ide to its eight lines, the same bytes either way,
// and merges the setting into the ini without losing the window layout
// the window keeps there.
TEST(Configuration, FastParserRoundTripsAndKeepsTheLayoutKeys)
{
    test::TempDir dir;
    const QString ini = QString::fromStdString(dir / "conf/vork-okno.ini");
    ConfigFile file(dir / "conf");
    Configuration base;
    base.fontName = "Mono";
    base.largeTables = true;
    ASSERT_TRUE(file.write(base));
    const std::string eightLines = test::readFile(file.path());
    EXPECT_EQ(eightLines, "1\r\n0\r\n1\r\n0\r\nvork-cc\r\nMono\r\n8\r\n1\r\n");
    {
        QSettings layout(ini, QSettings::IniFormat);
        layout.setValue("okno/geometria", QByteArray("\x01\x02geometry"));
        layout.setValue("okno/delenie", QByteArray("split"));
    }
    for (const bool fast : {true, false, true}) {
        SCOPED_TRACE(fast);
        Configuration w = base;
        w.fastParser = fast;
        ASSERT_TRUE(file.write(w));
        EXPECT_EQ(test::readFile(file.path()), eightLines);
        Configuration r;
        r.fastParser = !fast;
        ASSERT_TRUE(file.read(r));
        EXPECT_EQ(r.fastParser, fast);
        EXPECT_EQ(serializeConfiguration(r), eightLines);
        QSettings layout(ini, QSettings::IniFormat);
        EXPECT_EQ(layout.value("okno/geometria").toByteArray(), QByteArray("\x01\x02geometry"));
        EXPECT_EQ(layout.value("okno/delenie").toByteArray(), QByteArray("split"));
    }
}

// An ini that cannot be written leaves the konfig.ide write as it was.
TEST(Configuration, AnUnwritableIniDoesNotFailKonfig)
{
    test::TempDir dir;
    ::mkdir((dir / "vork-okno.ini").c_str(), 0755);
    Configuration w;
    w.fastParser = true;
    w.fontSize = 12;
    EXPECT_TRUE(ConfigFile(dir.path()).write(w));
    EXPECT_EQ(test::readFile(dir / "konfig.ide"), "1\r\n0\r\n1\r\n0\r\nvork-cc\r\nCourier New\r\n12\r\n0\r\n");
    Configuration r;
    EXPECT_TRUE(ConfigFile(dir.path()).read(r));
    EXPECT_FALSE(r.fastParser);
}
