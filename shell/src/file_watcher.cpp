#include "file_watcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace vork::shell {

FileWatcher::FileWatcher(QObject* parent) : QObject(parent), watcher_(new QFileSystemWatcher(this))
{
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& file) {
        // A file replaced by a rename drops out of the watch: watch the
        // new one under the same name.
        if (wanted_.contains(file) && !watcher_->files().contains(file) && QFileInfo::exists(file))
            watcher_->addPath(file);
        emit fileChanged(file);
    });
    // A file that was gone for a moment comes back in its directory.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& dir) {
        for (const QString& file : wanted_)
            if (QFileInfo(file).absolutePath() == dir && !watcher_->files().contains(file) && QFileInfo::exists(file)) {
                watcher_->addPath(file);
                emit fileChanged(file);
            }
    });
}

void FileWatcher::watch(const QString& fileName)
{
    if (fileName.isEmpty() || wanted_.contains(fileName))
        return;
    wanted_ << fileName;
    if (QFileInfo::exists(fileName))
        watcher_->addPath(fileName);
    const QString dir = QFileInfo(fileName).absolutePath();
    if (!watcher_->directories().contains(dir))
        watcher_->addPath(dir);
}

void FileWatcher::unwatch(const QString& fileName)
{
    if (!wanted_.removeOne(fileName))
        return;
    watcher_->removePath(fileName);
    const QString dir = QFileInfo(fileName).absolutePath();
    bool dirStillWanted = false;
    for (const QString& f : wanted_)
        dirStillWanted = dirStillWanted || QFileInfo(f).absolutePath() == dir;
    if (!dirStillWanted)
        watcher_->removePath(dir);
}

QStringList FileWatcher::watched() const
{
    return wanted_;
}

} // namespace vork::shell
