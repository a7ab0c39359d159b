#include "window_layout.h"

#include "vork/project/configuration.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QSettings>
#include <QSplitter>

namespace vork::shell {

QString windowLayoutFile(const QString& configFile)
{
    // Shared with the settings konfig.ide has no line for.
    return QFileInfo(configFile).absolutePath() + QLatin1Char('/') + QLatin1String(vork::kSettingsFileName);
}

void saveWindowLayout(const QString& file, const QMainWindow& window, const QSplitter& splitter)
{
    QSettings s(file, QSettings::IniFormat);
    s.setValue(QStringLiteral("okno/geometria"), window.saveGeometry());
    s.setValue(QStringLiteral("okno/stav"), window.saveState());
    s.setValue(QStringLiteral("okno/delenie"), splitter.saveState());
    s.sync();
}

bool restoreWindowLayout(const QString& file, QMainWindow& window, QSplitter& splitter)
{
    if (!QFileInfo(file).isFile())
        return false;
    QSettings s(file, QSettings::IniFormat);
    const QByteArray geometry = s.value(QStringLiteral("okno/geometria")).toByteArray();
    if (geometry.isEmpty())
        return false;
    window.restoreGeometry(geometry);
    window.restoreState(s.value(QStringLiteral("okno/stav")).toByteArray());
    splitter.restoreState(s.value(QStringLiteral("okno/delenie")).toByteArray());
    return true;
}

} // namespace vork::shell
