// The toolbar images.  They come from the desktop's icon theme where it has
// them and otherwise from VORK's own small icon theme "vork", installed
// beside the programs (build/bin/icons) or under share/vork/icons; a
// painted tile stands in only when neither is there.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace vork::shell {

// The name of VORK's own icon theme.
constexpr char kBundledTheme[] = "vork";

// The directory holding VORK's icon theme as installed with the running
// program, or "" when it is not there.
QString bundledIconDirectory();
// Puts the directory on Qt's icon theme search path and makes VORK's theme
// the fallback theme, so the desktop's theme wins and VORK's fills the
// gaps.  Call once at start, before the first window.  False when the
// directory holds no VORK theme.
bool useBundledIcons(const QString& directory = bundledIconDirectory());
// VORK's own drawing of an icon-theme name found on the search path, or "".
QString bundledIconFile(const QString& iconName);

// The image of a toolbar button by its object name; a null icon for a name
// without one.
QIcon toolbarIcon(const QString& buttonName);
// The icon-theme name of a button's image ("" for a name without one), and
// every name the toolbars use.
QString toolbarIconName(const QString& buttonName);
QStringList toolbarIconNames();
// BarWork_Syntax shows image 13 when colouring is on, 12 when it is off.
QIcon syntaxIcon(bool on);
// The window's own icon (also the About box's picture).
QIcon applicationIcon();

} // namespace vork::shell
