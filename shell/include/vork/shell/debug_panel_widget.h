// The "Ladenie" tab: a view of the debug panel model.  The session it
// shows runs every display on the main thread, so the widget only mirrors
// what changed.
#pragma once

#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/komvl.h"
#include "vork/debuglink/trace_list.h"

#include <QObject>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListView;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace vork::shell {

class Prompter;

class DebugPanelWidget : public QWidget {
    Q_OBJECT

public:
    explicit DebugPanelWidget(QWidget* parent = nullptr);

    // Mirrors the session: the panel with the names beside its numbers,
    // the stack, the current state's items and the tree, live or as of
    // the record the history view is at.
    void sync(vork::debuglink::DebugSession& session, bool rebuild);

    // The history view: back (delta < 0) or forward over the run's
    // records.  False when forward leaves the last record: the view is
    // live again and the caller lets the run go on.
    bool moveInHistory(vork::debuglink::DebugSession& session, int delta);
    // The record shown, -1 when live.
    long historyIndex() const { return historyIndex_; }
    // Back to the newest record, as a step command wants: the next stop is
    // shown, not the record looked at before.
    void viewLive(vork::debuglink::DebugSession& session);
    // Which groups of lines the trace list shows (the four debug items).
    void setTraceFilter(const vork::debuglink::TraceFilter& filter);
    const vork::debuglink::TraceFilter& traceFilter() const { return filter_; }
    // The tree shown: SVG for a name ending in ".svg", DOT otherwise; the
    // file is replaced atomically.
    bool exportTree(const QString& path) const;

signals:
    // "Exportovať strom ..." was pressed.
    void exportTreeRequested();

public:
    QLabel* Label2x;  // token code
    QLabel* Label6;   // characters of the current input line
    QLabel* Label8;   // the input-stream field
    QLabel* Panel7;   // step line
    // The trace: the panel's messages, and the run's lexical units, shifts,
    // reductions and semantic actions as the filter lets them through.
    QListView* ListBox1;
    QListWidget* ListBox2; // grammar

    // Beside the described fields.
    QLabel* TokenName;   // right of Label2x
    QLabel* StepNote;    // right of Panel7
    QLabel* HistoryPosition;
    // How the run stands once the thread has ended ("Beh pokračuje bez
    // krokovania", ...); hidden while the run is served.
    QLabel* RunNote;
    QTabWidget* InsightTabs;
    QListWidget* StackList;
    QListWidget* ItemsList;
    QTreeWidget* ParseTree;
    QPushButton* ExportTreeButton;

private:
    void syncFields(const std::string& tokenCode, const std::string& characters, const std::string& inputStream,
                    const std::string& stepLine, const std::vector<std::string>& grammar, int selected, bool rebuild);
    // The trace list as of the first `count` records.
    void syncTrace(const vork::debuglink::DebugSession& session, size_t count, bool rebuild);
    // The fields that show the current stop: greyed once the run has none.
    void showCurrentStop(bool current);
    void syncInsight(const vork::debuglink::DebugSession& session, const std::vector<vork::debuglink::StackEntry>& stack,
                     const vork::debuglink::TreeView* tree);

    class TraceModel;
    TraceModel* traceModel_;
    vork::debuglink::TraceFilter filter_;
    long historyIndex_ = -1;
    vork::debuglink::DebugSession* session_ = nullptr;
    size_t treeKey_ = SIZE_MAX;   // the record the tree widget shows
    size_t treeNodes_ = SIZE_MAX; // and how many nodes the run had then
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
