#include "vork/shell/icons.h"

#include "vork/progdir.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPixmap>

#include <cstring>
#include <map>

namespace vork::shell {

namespace {

struct Glyph {
    const char* text;
    QRgb colour;
};

QIcon paint(const Glyph& g, bool dim = false)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QColor c = QColor::fromRgb(g.colour);
        if (dim)
            c = QColor(150, 150, 150);
        p.setPen(QPen(c.darker(140), size / 16.0));
        p.setBrush(c.lighter(175));
        p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 6.0, size / 6.0);
        QFont f;
        f.setBold(true);
        f.setPixelSize(static_cast<int>(size * (std::strlen(g.text) > 2 ? 0.42 : 0.58)));
        p.setFont(f);
        p.setPen(c.darker(180));
        p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QString::fromUtf8(g.text));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

const std::map<QString, Glyph>& glyphs()
{
    static const std::map<QString, Glyph> table = {
        {"BarStan_NewFile", {"N", 0x3a7bd5}},      {"BarStan_OpenFile", {"O", 0x3a7bd5}},
        {"BarStan_SaveFile", {"S", 0x2e8b57}},     {"BarStan_SaveAs", {"S…", 0x2e8b57}},
        {"BarStan_SaveAll", {"SS", 0x2e8b57}},     {"BarStan_Zavriet", {"×", 0xb03030}},
        {"BarWork_Make", {"M", 0xd08000}},         {"BarWork_ReMake", {"RM", 0xd08000}},
        {"BarWork_Run", {"▶", 0x2e8b57}},          {"BarWork_RunParam", {"A", 0x6a5acd}},
        {"BarWork_Stop", {"■", 0xb03030}},         {"BarWork_JalRun", {"J", 0x8b4513}},
        {"BarWork_JalParam", {"JA", 0x8b4513}},    {"BarLad_PoLex", {"L", 0x1e90ff}},
        {"BarLad_PoSemAct", {"Σ", 0x1e90ff}},      {"BarLad_PoSyntErr", {"!", 0xb03030}},
        {"BarLad_PoReduk", {"R", 0x1e90ff}},       {"BarLad_PoPosun", {"P", 0x1e90ff}},
        {"BarLad_PoStav", {"St", 0x1e90ff}},       {"BarLad_BezKrok", {"▶▶", 0x2e8b57}},
        {"BarPrj_Open", {"PO", 0x6a5acd}},         {"BarPrj_Save", {"PS", 0x6a5acd}},
        {"BarPrj_AddFile", {"+", 0x6a5acd}},       {"BarPrj_RemFile", {"−", 0x6a5acd}},
        {"BarPrj_Set", {"P⚙", 0x6a5acd}},          {"BarPrj_Nastavenia", {"⚙", 0x708090}},
        {"BarPrj_Subory", {"≡", 0x708090}},
    };
    return table;
}

// The icon-theme name of each button's picture.  The freedesktop names
// are taken from the desktop's theme when it has them; the "vork-" names
// are VORK's own, so the step and project buttons always match each other.
// Every name has a drawing in VORK's own theme (shell/icons/vork).
const std::map<QString, QString>& themeNames()
{
    static const std::map<QString, QString> table = {
        {"BarStan_NewFile", "document-new"},
        {"BarStan_OpenFile", "document-open"},
        {"BarStan_SaveFile", "document-save"},
        {"BarStan_SaveAs", "document-save-as"},
        {"BarStan_SaveAll", "vork-save-all"},
        {"BarStan_Zavriet", "document-close"},
        {"BarWork_Make", "vork-make"},
        {"BarWork_ReMake", "vork-remake"},
        {"BarWork_Run", "media-playback-start"},
        {"BarWork_RunParam", "vork-run-arguments"},
        {"BarWork_Stop", "media-playback-stop"},
        {"BarWork_JalRun", "vork-jal-run"},
        {"BarWork_JalParam", "vork-jal-arguments"},
        {"BarLad_PoLex", "vork-step-lexical"},
        {"BarLad_PoSemAct", "vork-step-action"},
        {"BarLad_PoSyntErr", "vork-step-syntax-error"},
        {"BarLad_PoReduk", "vork-step-reduction"},
        {"BarLad_PoPosun", "vork-step-shift"},
        {"BarLad_PoStav", "vork-step-state"},
        {"BarLad_BezKrok", "vork-run-free"},
        {"BarPrj_Open", "vork-project-open"},
        {"BarPrj_Save", "vork-project-save"},
        {"BarPrj_AddFile", "vork-project-add-file"},
        {"BarPrj_RemFile", "vork-project-remove-file"},
        {"BarPrj_Set", "vork-project-settings"},
        {"BarPrj_Nastavenia", "preferences-system"},
        {"BarPrj_Subory", "vork-messages"},
    };
    return table;
}

const char* const kSyntaxOn = "vork-syntax-on";
const char* const kSyntaxOff = "vork-syntax-off";

// The picture of a theme name: the desktop's theme first (with VORK's as
// its fallback), then VORK's own drawing read straight from the directory
// on the search path, for a desktop theme whose chain of parents Qt does
// not end in the fallback; the painted tile only when VORK's theme was not
// installed at all.
QIcon themed(const QString& name, const Glyph& tile, bool dim = false)
{
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    const QString file = bundledIconFile(name);
    if (!file.isEmpty()) {
        QIcon own(file);
        // Without Qt's SVG plugin the drawing cannot be shown.
        if (!own.pixmap(16).isNull())
            return own;
    }
    return paint(tile, dim);
}

// A file of VORK's theme under a directory of the search path.
QString themeFile(const QString& dir, const QString& file)
{
    return dir + QLatin1Char('/') + QLatin1String(kBundledTheme) + QLatin1Char('/') + file;
}

} // namespace

QString bundledIconDirectory()
{
    const QString dir = QString::fromStdString(vork::programDirectory());
    for (const QString& candidate : {dir + QStringLiteral("icons"), dir + QStringLiteral("../share/vork/icons")})
        if (QFileInfo::exists(themeFile(candidate, QStringLiteral("index.theme"))))
            return QDir(candidate).absolutePath();
    return QString();
}

bool useBundledIcons(const QString& directory)
{
    if (directory.isEmpty() || !QFileInfo::exists(themeFile(directory, QStringLiteral("index.theme"))))
        return false;
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains(directory)) {
        paths << directory;
        QIcon::setThemeSearchPaths(paths);
    }
    QIcon::setFallbackThemeName(QLatin1String(kBundledTheme));
    return true;
}

QString bundledIconFile(const QString& iconName)
{
    for (const QString& dir : QIcon::themeSearchPaths()) {
        const QString file = themeFile(dir, QStringLiteral("scalable/actions/") + iconName + QStringLiteral(".svg"));
        if (QFileInfo::exists(file))
            return file;
    }
    return QString();
}

QString toolbarIconName(const QString& buttonName)
{
    if (buttonName == QLatin1String("BarWork_Syntax"))
        return QString::fromLatin1(kSyntaxOff);
    const auto it = themeNames().find(buttonName);
    return it == themeNames().end() ? QString() : it->second;
}

QStringList toolbarIconNames()
{
    QStringList names;
    for (const auto& [button, name] : themeNames())
        names << name;
    names << QString::fromLatin1(kSyntaxOn) << QString::fromLatin1(kSyntaxOff);
    return names;
}

QIcon toolbarIcon(const QString& buttonName)
{
    if (buttonName == QLatin1String("BarWork_Syntax"))
        return syntaxIcon(false);
    const auto it = themeNames().find(buttonName);
    if (it == themeNames().end())
        return QIcon();
    const auto g = glyphs().find(buttonName);
    return themed(it->second, g == glyphs().end() ? Glyph{"?", 0x708090} : g->second);
}

QIcon syntaxIcon(bool on)
{
    return themed(QString::fromLatin1(on ? kSyntaxOn : kSyntaxOff), {"abc", 0xc03030}, !on);
}

QIcon applicationIcon()
{
    return paint({"V", 0x3a7bd5});
}

} // namespace vork::shell
