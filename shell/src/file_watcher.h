// FileWatcher: tells the window when a page's file is written by another
// program.  Editors and generators replace a file by renaming a new one over
// it, which ends the watch on the old one; the watch is taken up again on
// the new file.
#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;

namespace vork::shell {

class FileWatcher : public QObject {
    Q_OBJECT
public:
    explicit FileWatcher(QObject* parent = nullptr);
    void watch(const QString& fileName);
    void unwatch(const QString& fileName);
    QStringList watched() const;

signals:
    void fileChanged(const QString& fileName);

private:
    QFileSystemWatcher* watcher_;
    QStringList wanted_;
};

} // namespace vork::shell
