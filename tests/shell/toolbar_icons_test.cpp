// Every toolbar button shows a picture from an icon theme: the desktop's
// own where it has the icon, VORK's bundled theme for everything else, and
// never a painted letter tile while the bundled theme is installed.
#include "window_fixture.h"

#include "vork/shell/commands.h"
#include "vork/shell/icons.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QSettings>
#include <QToolBar>

#include <gtest/gtest.h>

#include <set>

namespace vork::shell::test {
namespace {

const QString kBuildIcons = QStringLiteral(VORK_BIN_DIR "/icons");

QString ownFile(const QString& name)
{
    return kBuildIcons + "/vork/scalable/actions/" + name + ".svg";
}

QImage image(const QIcon& icon)
{
    return icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Qt's icon settings are the process's: each test puts back what it found.
struct ThemeScope {
    QString name = QIcon::themeName();
    QStringList paths = QIcon::themeSearchPaths();
    QString fallback = QIcon::fallbackThemeName();
    ~ThemeScope()
    {
        QIcon::setThemeSearchPaths(paths);
        QIcon::setFallbackThemeName(fallback);
        QIcon::setThemeName(name);
    }
};

// The names of every button on the toolbars (the main menu's row holds
// menus only).
std::vector<QString> toolbarButtons()
{
    std::vector<QString> out;
    for (const ToolbarInfo& bar : toolbars())
        for (const char* button : bar.buttons)
            out.push_back(QString::fromLatin1(button));
    return out;
}

TEST(ToolbarIconThemeTest, TheBuildTreeHoldsTheThemeWithADrawingForEveryButton)
{
    QSettings index(kBuildIcons + "/vork/index.theme", QSettings::IniFormat);
    ASSERT_EQ(index.status(), QSettings::NoError);
    EXPECT_EQ(index.value("Icon Theme/Directories").toString(), "scalable/actions");
    EXPECT_EQ(index.value("scalable/actions/Type").toString(), "Scalable");
    EXPECT_TRUE(QFile::exists(kBuildIcons + "/vork/README"));

    const std::vector<QString> buttons = toolbarButtons();
    ASSERT_EQ(buttons.size(), 28u);
    std::set<QString> names;
    for (const QString& button : buttons) {
        const QString name = toolbarIconName(button);
        EXPECT_FALSE(name.isEmpty()) << button.toStdString();
        names.insert(name);
    }
    EXPECT_EQ(names.size(), buttons.size()) << "each button has a picture of its own";
    // Every drawing shows (Qt's SVG plugin is there) and no two are alike;
    // the directory holds no drawing that nothing uses.
    std::set<QString> files;
    for (const QString& f : QDir(kBuildIcons + "/vork/scalable/actions").entryList({"*.svg"}, QDir::Files))
        files.insert(f.chopped(4));
    std::vector<QImage> seen;
    for (const QString& name : toolbarIconNames()) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(files.count(name));
        const QImage picture = image(QIcon(ownFile(name)));
        ASSERT_FALSE(picture.isNull());
        for (const QImage& other : seen)
            EXPECT_NE(picture, other);
        seen.push_back(picture);
        files.erase(name);
    }
    EXPECT_TRUE(files.empty()) << files.begin()->toStdString();
}

struct DesktopCase {
    const char* what;
    const char* theme;
    // Icons the desktop's theme has, drawn as plain red squares.
    std::vector<const char*> desktopIcons;
};

void PrintTo(const DesktopCase& c, std::ostream* os)
{
    *os << c.what;
}

class ToolbarIconsTest : public ::testing::TestWithParam<DesktopCase> {};

TEST_P(ToolbarIconsTest, EveryButtonHasTheDesktopsPictureOrVorksOwn)
{
    const DesktopCase& c = GetParam();
    ThemeScope scope;
    TempDir dir;
    // A desktop theme with a few icons, inheriting as desktop themes do.
    const QString desk = QString::fromStdString(dir / "desk");
    QDir().mkpath(desk + "/24x24/actions");
    {
        QFile index(desk + "/index.theme");
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=Desk\nInherits=hicolor\nDirectories=24x24/actions\n\n"
                    "[24x24/actions]\nSize=24\nType=Fixed\nContext=Actions\n");
    }
    QImage red(24, 24, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    for (const char* name : c.desktopIcons)
        ASSERT_TRUE(red.save(desk + "/24x24/actions/" + name + ".png"));

    QIcon::setThemeSearchPaths({QString::fromStdString(dir.path())});
    ASSERT_TRUE(useBundledIcons(kBuildIcons));
    EXPECT_EQ(QIcon::fallbackThemeName(), "vork");
    QIcon::setThemeName(QString::fromLatin1(c.theme));

    ScriptedPrompter prompter;
    std::unique_ptr<TForm_Main> window = makeWindow(prompter, dir);
    for (const QString& button : toolbarButtons()) {
        SCOPED_TRACE(button.toStdString());
        const QAction* a = window->action(button);
        ASSERT_TRUE(a);
        ASSERT_FALSE(a->icon().isNull());
        const QString name = toolbarIconName(button);
        const bool fromDesktop = std::find_if(c.desktopIcons.begin(), c.desktopIcons.end(), [&](const char* n) {
                                     return name == QLatin1String(n);
                                 }) != c.desktopIcons.end();
        const QImage shown = image(a->icon());
        if (fromDesktop)
            EXPECT_EQ(shown, red);
        else
            EXPECT_EQ(shown, image(QIcon(ownFile(name))));
    }
    // Colouring on and off have pictures of their own.
    EXPECT_EQ(image(syntaxIcon(true)), image(QIcon(ownFile("vork-syntax-on"))));
    EXPECT_EQ(image(syntaxIcon(false)), image(QIcon(ownFile("vork-syntax-off"))));
    window.reset();
}

INSTANTIATE_TEST_SUITE_P(Desktops, ToolbarIconsTest,
                         ::testing::Values(DesktopCase{"NoSuchTheme", "vork-test-no-such-theme", {}},
                                           DesktopCase{"PartialTheme", "desk", {"document-new", "media-playback-start"}}),
                         [](const auto& info) { return std::string(info.param.what); });

// Without the bundled theme (a tree where it was not installed) the buttons
// still have pictures: the painted tiles.
TEST(ToolbarIconThemeTest, WithoutTheBundledThemeTheTilesStandIn)
{
    ThemeScope scope;
    TempDir dir;
    QIcon::setThemeSearchPaths({QString::fromStdString(dir.path())});
    QIcon::setFallbackThemeName("vork-test-nothing");
    QIcon::setThemeName("vork-test-no-such-theme");
    EXPECT_FALSE(useBundledIcons(QString::fromStdString(dir.path())));
    for (const QString& button : toolbarButtons()) {
        SCOPED_TRACE(button.toStdString());
        const QIcon icon = toolbarIcon(button);
        ASSERT_FALSE(icon.isNull());
        EXPECT_NE(image(icon), image(QIcon(ownFile(toolbarIconName(button)))));
    }
}

} // namespace
} // namespace vork::shell::test
