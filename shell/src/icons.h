// The toolbar images: small painted glyphs, so the window needs no image
// files next to the program.
#pragma once

#include <QIcon>
#include <QString>

namespace vork::shell {

// The image of a toolbar button by its object name; a null icon for a name
// without one.
QIcon toolbarIcon(const QString& buttonName);
// BarWork_Syntax shows image 13 when colouring is on, 12 when it is off.
QIcon syntaxIcon(bool on);
// The window's own icon (also the About box's picture).
QIcon applicationIcon();

} // namespace vork::shell
