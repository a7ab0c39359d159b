// The window's size, its toolbars and the message panel's split, kept in a
// settings file beside konfig.ide so that each start looks as the last one
// ended.  konfig.ide itself keeps its eight lines.
#pragma once

#include <QString>

class QMainWindow;
class QSplitter;

namespace vork::shell {

// The settings file in the directory of the configuration file.
QString windowLayoutFile(const QString& configFile);
void saveWindowLayout(const QString& file, const QMainWindow& window, const QSplitter& splitter);
// False when nothing was saved yet; the window is left as it is.
bool restoreWindowLayout(const QString& file, QMainWindow& window, QSplitter& splitter);

} // namespace vork::shell
