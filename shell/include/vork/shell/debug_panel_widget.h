// The "Ladenie" tab: a view of the debug panel model.  The session it
// shows runs every display on the main thread, so the widget only mirrors
// what changed.
#pragma once

#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/komvl.h"

#include <QObject>
#include <QWidget>

#include <functional>

class QLabel;
class QListWidget;

namespace vork::shell {

class Prompter;

class DebugPanelWidget : public QWidget {
    Q_OBJECT

public:
    explicit DebugPanelWidget(QWidget* parent = nullptr);

    // Mirrors the model; rebuild reloads both lists (a new analysis).
    void sync(const vork::debuglink::DebugPanel& panel, bool rebuild);

    QLabel* Label2x;  // token code
    QLabel* Label6;   // characters of the current input line
    QLabel* Label8;   // the input-stream field
    QLabel* Panel7;   // step line
    QListWidget* ListBox1; // trace
    QListWidget* ListBox2; // grammar
};

// The debug session of the window: the debug panel model, the title and
// the debug commands' states, with every display of the communication
// thread run on the main thread through queued calls.
class GuiDebugSession : public QObject,
                        public vork::debuglink::DebugPrompts,
                        public vork::debuglink::DebugSession {
    Q_OBJECT

public:
    GuiDebugSession(Prompter& prompter, std::function<vork::debuglink::GrammarText()> loadGrammar);

    // KomunHost
    void showRecord(const vork::debuglink::Record& record) override;
    void showStopped() override;
    void showRunning() override;
    void threadEnded() override;
    void wakeMainThread(std::function<void()> service) override;
    // DebugPanelOwner
    void enableDebugCommands() override;
    // DebugPrompts
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void showError(const std::string& text) override;

    // What the last change was, for the view.
    bool takeRebuild();
    bool takeCommandsChanged();
    bool takeTitleChanged();

signals:
    void displayed();

private:
    Prompter& prompter_;
    bool rebuild_ = false;
    bool commandsChanged_ = false;
    bool titleChanged_ = false;
};

} // namespace vork::shell
