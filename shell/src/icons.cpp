#include "icons.h"

#include <QApplication>
#include <QFont>
#include <QStyle>
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

// The desktop's icon theme names a button's picture; without a theme, the
// pictures Qt's own style carries stand in, and only what neither has gets
// a drawn tile.
struct Themed {
    const char* theme;
    QStyle::StandardPixmap standard;
};

const std::map<QString, Themed>& themed()
{
    using S = QStyle;
    static const std::map<QString, Themed> table = {
        {"BarStan_NewFile", {"document-new", S::SP_FileIcon}},
        {"BarStan_OpenFile", {"document-open", S::SP_DialogOpenButton}},
        {"BarStan_SaveFile", {"document-save", S::SP_DialogSaveButton}},
        {"BarStan_SaveAs", {"document-save-as", S::SP_DriveFDIcon}},
        {"BarStan_SaveAll", {"document-save-all", S::SP_DriveHDIcon}},
        {"BarStan_Zavriet", {"document-close", S::SP_DialogCloseButton}},
        {"BarWork_Make", {"run-build", S::SP_CommandLink}},
        {"BarWork_ReMake", {"view-refresh", S::SP_BrowserReload}},
        {"BarWork_Run", {"media-playback-start", S::SP_MediaPlay}},
        {"BarWork_Stop", {"media-playback-stop", S::SP_MediaStop}},
        {"BarLad_BezKrok", {"media-seek-forward", S::SP_MediaSeekForward}},
        {"BarLad_PoStav", {"go-next", S::SP_ArrowRight}},
        {"BarLad_PoSyntErr", {"dialog-error", S::SP_MessageBoxCritical}},
        {"BarPrj_Open", {"folder-open", S::SP_DirOpenIcon}},
        {"BarPrj_Save", {"document-save", S::SP_DialogSaveButton}},
        {"BarPrj_AddFile", {"list-add", S::SP_FileDialogNewFolder}},
        {"BarPrj_RemFile", {"list-remove", S::SP_TrashIcon}},
        {"BarPrj_Nastavenia", {"preferences-system", S::SP_ComputerIcon}},
        {"BarPrj_Subory", {"view-list-details", S::SP_FileDialogDetailedView}},
    };
    return table;
}

} // namespace

QIcon toolbarIcon(const QString& buttonName)
{
    if (buttonName == QLatin1String("BarWork_Syntax"))
        return syntaxIcon(false);
    const auto it = glyphs().find(buttonName);
    const QIcon tile = it == glyphs().end() ? QIcon() : paint(it->second);
    const auto t = themed().find(buttonName);
    if (t == themed().end())
        return tile;
    if (QIcon::hasThemeIcon(QString::fromLatin1(t->second.theme)))
        return QIcon::fromTheme(QString::fromLatin1(t->second.theme));
    const QIcon standard = QApplication::style()->standardIcon(t->second.standard);
    return standard.isNull() ? tile : standard;
}

QIcon syntaxIcon(bool on)
{
    return paint({"abc", 0xc03030}, !on);
}

QIcon applicationIcon()
{
    return paint({"V", 0x3a7bd5});
}

} // namespace vork::shell
