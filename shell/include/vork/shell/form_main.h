// TForm_Main: the environment's one top-level window.  It holds the
// toolbars with the main menu, the tabbed editor pages, the message panel
// with its four tabs and the status bar, owns the open project and the
// pages, and turns every command into a call on a page, the project or a
// dialog.  What each command does to the project lives in the project and
// dialog models; this class only routes and shows.
#pragma once

#include "vork/project/configuration.h"
#include "vork/project/skeletons.h"
#include "vork/shell/commands.h"
#include "vork/shell/stop_mark.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;

namespace vork {
class Projekt;
}

namespace vork::colour {
class WordTable;
}

namespace vork::shell {

class ColourApplier;
class DebugPanelWidget;
class GuiDebugSession;
class Prompter;
class PrompterUi;
class ProblemView;
class FileWatcher;
class OutlineDock;
class ProgressWindow;
class RunConsole;
class TStranka;
class Tdialargum;
class Tdialog_nastavenie_C;
class Tnastav_proj;
class Todstrokn;
class Toprog_okno;
class VizProjekt;

class TForm_Main : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* kAppTitle = "VORK 1.5";

    // prompter answers every modal question; configFile is where konfig.ide
    // is read from and written to.
    TForm_Main(Prompter& prompter, vork::ConfigFile configFile, QWidget* parent = nullptr);
    ~TForm_Main() override;

    // The start-up steps after construction: the colouring words, the
    // configuration, then the project named on the command line (if any).
    void startUp(const QString& projectFile);

    // ---- Commands ---------------------------------------------------------
    QAction* action(const QString& name) const;
    bool isEnabled(const QString& name) const;
    bool isChecked(const QString& name) const;
    void setCommandsEnabled(const std::vector<const char*>& names, bool on);
    // Runs a command as its menu item or button would, when it is enabled.
    // False when it is disabled (nothing runs).
    bool runCommand(const QString& name);
    // The edit items' states, refreshed before the Edit menu and the tab
    // menu show and whenever the page, its selection or the clipboard
    // change.
    void refreshEditCommands();

    // ---- Page list --------------------------------------------------------
    TStranka* newPage(const QString& fileName);
    // newPage + load (+ colouring); null when the file could not be read
    // (the failure was shown and the page closed again).
    TStranka* openPage(const QString& fileName);
    TStranka* showFile(const QString& fileName);
    TStranka* findPage(const QString& fileName) const;
    bool savePage(TStranka* page);
    void saveAll();
    // False when the page stays open because saving it failed.
    bool closePage(TStranka* page);
    bool closeAll();
    void closeFile(const QString& fileName);
    TStranka* activePage() const;
    int pageCount() const;
    TStranka* pageAt(int index) const;

    // ---- Project ----------------------------------------------------------
    VizProjekt* project() const { return project_.get(); }
    // Constructs the project; a failure is shown and no project is open.
    bool openProject(const QString& projectFile, bool createNew);
    // Destroys the project.  False when a page whose save failed was kept
    // open (the project is closed all the same).
    bool closeProject();

    vork::Configuration& configuration() { return config_; }
    // The skeletons every project of this window generates with (the
    // installed ones unless set).
    void setSkeletons(const vork::SkeletonPaths& paths) { skeletons_ = paths; }
    const vork::SkeletonPaths& skeletons() const { return skeletons_; }
    const vork::ConfigFile& configFile() const { return configFile_; }
    Prompter& prompter() { return prompter_; }

    // ---- Message panel and status bar ------------------------------------
    QTabWidget* pageCtrl() const { return pageCtrl_; }
    QListWidget* taskList() const { return taskList_; }
    // "Exe prekladač": the compiler's lines, a run's output and its input.
    RunConsole* runConsole() const { return console_; }
    QListWidget* taskListExe() const;
    QListWidget* chybovyBox() const { return chybovyBox_; }
    QLabel* errorCounter() const { return panel2_; }
    // The problems of the last build behind "Chyby".
    ProblemView* problemView() const { return problems_; }
    // "Prehľad": the outline of the active grammar or scanner page.
    OutlineDock* outline() const { return outline_; }
    QLabel* warningCounter() const { return panel3_; }
    QLineEdit* exeInput() const;
    DebugPanelWidget* debugPanel() const { return debugPanel_; }
    QComboBox* boxProjectFiles() const { return boxProjectFiles_; }
    QTabWidget* editPanel() const { return editPanel_; }
    QToolBar* toolbar(const QString& name) const;
    void showMessagePanel(bool on);
    bool messagePanelVisible() const;
    QString statusText(int panel) const;
    // A long step of a build: the status bar names it from the start; past
    // kProgressDelayMs the progress window with "Zastaviť" shows too.  Esc
    // there, its button or its closing asks the project to stop.
    void beginStep(const QString& text);
    void endStep();
    static constexpr int kProgressDelayMs = 500;
    QDialog* progressWindow() const;
    // The double click on an error item.
    void errorListJump(int index);
    // The double click on a "Parser" line that names a project file and a
    // line ("calc.stv(57): ..."): that file at that line.  False when the
    // line names none.
    bool messageLineJump(const QString& line);
    GuiDebugSession& debugSession() { return *debugSession_; }

    // ---- Colouring --------------------------------------------------------
    bool colouring() const { return config_.syntaxColouring; }
    // BarWork_Syntax: switches the flag, its image and every page.
    void toggleColouring();

    // The dialogs, created once and reused.
    Tdialog_nastavenie_C& settingsDialog() { return *dlgSettings_; }
    Tdialargum& argumentsDialog() { return *dlgArguments_; }
    Tnastav_proj& projectDialog() { return *dlgProject_; }
    Todstrokn& removeDialog() { return *dlgRemove_; }

    // Called by VizProjekt when the debug mode changes or a project opens
    // and closes.
    void setDebugControls(bool on);
    void fillProjectFiles(const vork::Projekt& project);
    // The project-files list was clicked: show that file.
    void projectFileChosen(int index);

signals:
    // After every change of the Ladenie tab, for views that follow it.
    void debugDisplayed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void buildActions();
    void buildToolbars();
    void buildCentral();
    void buildContextMenus();
    void dispatch(Cmd cmd, const QString& name);

    void updatePageCommands();
    void refreshStatus();
    void pageSelected(int index);
    void colourPage(TStranka* page);
    void recolourLine(TStranka* page, int block);
    void goToLine(TStranka* page, int line, int column = 1);
    // F2 or Ctrl+click: the definition of the name at the caret; the
    // status bar says why when there is none to go to.
    void goToDefinition(TStranka* page);
    // Every page's margin marks from the problem list.
    void refreshMarks();
    // A page's file was written by another program: an unmodified page
    // reloads, a modified one asks.
    void fileChangedOnDisk(const QString& fileName);
    void reloadPage(TStranka* page);
    void syncDebugPanel();
    void showRecordSource();
    // Selects a whole line (1-based) of a file's page, opening it if need be.
    void selectSourceLine(const QString& file, int line);

    void cmdNewFile();
    void cmdNewProject();
    void cmdOpenFile();
    void cmdOpenProject();
    void cmdSaveAs();
    void exportTree();
    void cmdExportHtml();
    void cmdCutPaste(bool cut);
    void cmdGoToLine();
    void cmdAddFile();
    void cmdRemoveFile();
    void cmdProjectSettings();
    void cmdSettings();
    void cmdArguments(bool jal);
    void cmdAbout();
    void cmdBuild(int mode);
    void sendRunInput(const QString& line);
    void closeIfAsked();

    Prompter& prompter_;
    std::unique_ptr<PrompterUi> projectUi_;
    vork::ConfigFile configFile_;
    vork::Configuration config_;
    vork::SkeletonPaths skeletons_ = vork::SkeletonPaths::fromDataFiles();
    std::string programDir_;

    std::map<QString, QAction*> actions_;
    std::map<QString, QToolBar*> toolbars_;
    QMenu* roletkaTools_ = nullptr;
    QMenu* roletkaTabs_ = nullptr;
    QMenu* roletkaTask_ = nullptr;
    QComboBox* boxProjectFiles_ = nullptr;

    QSplitter* splitter_ = nullptr;
    QWidget* editBackPanel_ = nullptr;
    QTabWidget* editPanel_ = nullptr;
    QWidget* taskPanel_ = nullptr;
    QTabWidget* pageCtrl_ = nullptr;
    QListWidget* taskList_ = nullptr;
    RunConsole* console_ = nullptr;
    QListWidget* chybovyBox_ = nullptr;
    QLabel* panel2_ = nullptr;
    QLabel* panel3_ = nullptr;
    ProblemView* problems_ = nullptr;
    OutlineDock* outline_ = nullptr;
    // What the last "go to definition" put into status panel 2; the caret's
    // next move takes it away.
    QString lookupMessage_;
    FileWatcher* watcher_ = nullptr;
    DebugPanelWidget* debugPanel_ = nullptr;
    QLabel* status_[3] = {nullptr, nullptr, nullptr};
    QTimer* debugRefresh_ = nullptr;
    ProgressWindow* progress_ = nullptr;
    // The window was asked to close while a generator ran: it closes once
    // the stopped build has returned.
    bool closeAfterBuild_ = false;

    std::unique_ptr<vork::colour::WordTable> slova_;
    std::unique_ptr<ColourApplier> colourer_;
    std::unique_ptr<GuiDebugSession> debugSession_;

    std::unique_ptr<Tdialog_nastavenie_C> dlgSettings_;
    std::unique_ptr<Tdialargum> dlgArguments_;
    std::unique_ptr<Tnastav_proj> dlgProject_;
    std::unique_ptr<Todstrokn> dlgRemove_;
    std::unique_ptr<Toprog_okno> dlgAbout_;

    std::unique_ptr<VizProjekt> project_;
    bool closing_ = false;
    // The line the last debug stop selected in its page.
    StopMark stopMark_;
};

} // namespace vork::shell
