// A main window over a copy of an example project, with scripted answers,
// the real generators and skeletons of the build tree, and vork-cc.
#pragma once

#include "../project/test_dir.h"
#include "scripted_prompter.h"

#include "vork/shell/form_main.h"
#include "vork/shell/stranka.h"
#include "vork/shell/viz_projekt.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>

#include <cstdlib>
#include <functional>
#include <memory>

namespace vork::shell::test {

using vork::test::TempDir;

inline QStringList items(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

inline QStringList items(const QListView* list)
{
    QStringList out;
    const QAbstractItemModel* model = list->model();
    for (int i = 0; i < model->rowCount(); ++i)
        out << model->index(i, 0).data().toString();
    return out;
}

// With VORK_SHOTS_DIR set (scripts/screenshots.sh), saves the widget as
// it looks now: the pictures of the user guide and the README.
inline void saveShot(QWidget& widget, const char* name)
{
    const char* dirName = std::getenv("VORK_SHOTS_DIR");
    if (!dirName || !*dirName)
        return;
    QApplication::processEvents();
    widget.grab().save(QString::fromLocal8Bit(dirName) + "/" + name + ".png");
}

// A shown window whose konfig.ide lives in dir/config, with the build
// tree's skeletons and vork-cc.
inline std::unique_ptr<TForm_Main> makeWindow(Prompter& prompter, const TempDir& dir)
{
    auto window = std::make_unique<TForm_Main>(prompter, vork::ConfigFile(dir / "config"));
    window->setSkeletons(vork::SkeletonPaths::inDirectory(VORK_BIN_DIR));
    window->configuration().cCompilerPath = std::string(VORK_BIN_DIR) + "/vork-cc";
    window->resize(1100, 720);
    window->show();
    return window;
}

// Copies examples/<name> into dir; the path of projectFile there.
inline QString copyExample(const TempDir& dir, const std::string& name, const std::string& projectFile)
{
    const std::string src = std::string(VORK_SOURCE_DIR) + "/examples/" + name;
    for (const std::string& f : vork::test::listing(src))
        vork::test::writeFile(dir / f, vork::test::readFile(src + "/" + f));
    return QString::fromStdString(dir / projectFile);
}

// Runs the event loop until done() holds; false after timeoutMs.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 30000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { window = makeWindow(prompter, dir); }
    void TearDown() override
    {
        // Pages are left unmodified or answered, so closing asks nothing.
        window->closeProject();
        window.reset();
    }

    QString copyExample(const std::string& name, const std::string& projectFile)
    {
        return shell::test::copyExample(dir, name, projectFile);
    }

    void shot(const char* name) const { saveShot(*window, name); }

    bool idle() const { return !window->project() || !window->project()->busy(); }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TForm_Main> window;
};

} // namespace vork::shell::test
