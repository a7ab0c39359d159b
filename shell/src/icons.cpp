#include "icons.h"

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

} // namespace

QIcon toolbarIcon(const QString& buttonName)
{
    if (buttonName == QLatin1String("BarWork_Syntax"))
        return syntaxIcon(false);
    const auto it = glyphs().find(buttonName);
    return it == glyphs().end() ? QIcon() : paint(it->second);
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
