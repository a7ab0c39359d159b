#include "vork/shell/form_main.h"

#include "file_watcher.h"
#include "progress_window.h"
#include "vork/shell/icons.h"
#include "window_layout.h"
#include "vork/colour/colouring.h"
#include "vork/debuglink/komvl.h"
#include "vork/debuglink/stepping.h"
#include "vork/progdir.h"
#include "vork/project/atomic_file.h"
#include "vork/project/project_error.h"
#include "vork/shell/colour_applier.h"
#include "vork/shell/debug_panel_widget.h"
#include "vork/shell/dialogs.h"
#include "vork/shell/code_editor.h"
#include "vork/shell/grammar_outline.h"
#include "vork/shell/outline_dock.h"
#include "vork/shell/problem_view.h"
#include "vork/shell/run_console.h"
#include "vork/shell/prompter.h"
#include "vork/shell/stranka.h"
#include "vork/shell/viz_projekt.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace vork::shell {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

// "Pri otváraní súboru " + name + " nastala chyba \nChcete vedieť viac ? "
QString openFailedText(const QString& name)
{
    return QStringLiteral("Pri otváraní súboru ") + name + QStringLiteral(" nastala chyba \nChcete vedieť viac ? ");
}

const QStringList kProjectFilters = {
    QStringLiteral("Projektový súbor (.ly) (*.ly)"),
    QStringLiteral("Projektový súbor - LEX (.lye) (*.lye)"),
    QStringLiteral("Projektový súbor - LEX YACC (.lyy) (*.lyy)"),
};

// Letters a to z compare without case; every other character as it is.
QString foldAsciiCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return r;
}

constexpr debuglink::StepCommand stepOf(Cmd cmd)
{
    switch (cmd) {
    case Cmd::StepLex:
        return debuglink::StepCommand::AfterLexJed;
    case Cmd::StepSem:
        return debuglink::StepCommand::AfterSemAction;
    case Cmd::StepSyntaxError:
        return debuglink::StepCommand::AfterBadSyntax;
    case Cmd::StepReduction:
        return debuglink::StepCommand::AfterReduction;
    case Cmd::StepShift:
        return debuglink::StepCommand::AfterPosuny;
    case Cmd::StepState:
        return debuglink::StepCommand::AfterStav;
    default:
        return debuglink::StepCommand::BezKrok;
    }
}

} // namespace

TForm_Main::TForm_Main(Prompter& prompter, vork::ConfigFile configFile, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), projectUi_(std::make_unique<PrompterUi>(prompter)),
      configFile_(std::move(configFile)), programDir_(vork::programDirectory())
{
    setObjectName("Form_Main");
    setWindowTitle(kAppTitle);
    setWindowIcon(applicationIcon());
    resize(730, 600);
    setMinimumSize(400, 300);
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // An empty word table until start-up reads syntax.cfg: nothing is
    // coloured.
    slova_ = std::make_unique<vork::colour::WordTable>();
    colourer_ = std::make_unique<ColourApplier>(*slova_);
    debugSession_ = std::make_unique<GuiDebugSession>(prompter_, [this]() -> debuglink::GrammarText {
        if (!project_)
            return {};
        return debuglink::readGrammarFile(project_->yaccSpecFile());
    });

    watcher_ = new FileWatcher(this);
    connect(watcher_, &FileWatcher::fileChanged, this, [this](const QString& f) { fileChangedOnDisk(f); });
    buildActions();
    buildCentral();
    // Hidden until the user asks for it; once shown, the saved layout
    // brings it back where it was.
    outline_ = new OutlineDock(this);
    addDockWidget(Qt::LeftDockWidgetArea, outline_);
    outline_->hide();
    connect(outline_, &OutlineDock::placeChosen, this, [this](int line, int column) {
        if (TStranka* page = activePage())
            goToLine(page, line + 1, column + 1);
    });
    // The dock also reports that it hides while the window is being torn
    // down, when this is no longer a TForm_Main: the slot holds only the
    // action and the dock.
    QAction* showOutline = action("HM_Prehlad");
    OutlineDock* dock = outline_;
    connect(outline_, &QDockWidget::visibilityChanged, showOutline,
            [showOutline, dock] { showOutline->setChecked(!dock->isHidden()); });
    buildToolbars();
    buildContextMenus();
    progress_ = new ProgressWindow(this, kProgressDelayMs);
    progress_->setWindowTitle(kAppTitle);
    connect(progress_, &ProgressWindow::stopRequested, this, [this] {
        if (project_)
            project_->requestStop();
    });

    // Every record changes the panel's model at once; the widgets follow
    // at once when the run stops or its commands change, and otherwise at
    // most every 30 ms, so that a run going at full speed is not held back
    // by redrawing labels no one can read at that pace.
    debugRefresh_ = new QTimer(this);
    debugRefresh_->setSingleShot(true);
    debugRefresh_->setInterval(30);
    connect(debugRefresh_, &QTimer::timeout, this, [this] { syncDebugPanel(); });
    connect(debugSession_.get(), &GuiDebugSession::displayed, this, [this] {
        const bool commands = debugSession_->takeCommandsChanged();
        const bool title = debugSession_->takeTitleChanged();
        if (commands) {
            for (const auto& [name, on] : debugSession_->commands().states())
                if (QAction* a = action(q(name)))
                    a->setEnabled(on);
            // The history is looked at while the run is stopped.
            const bool stopped = debugSession_->commands().isEnabled("HM_AfterLexJed");
            for (const char* name : {"HM_HistoriaSpat", "HM_HistoriaVpred"})
                if (QAction* a = action(name))
                    a->setEnabled(stopped);
        }
        if (title) {
            setWindowTitle(q(debugSession_->title()));
            if (debugSession_->commands().isEnabled("HM_AfterLexJed"))
                showRecordSource();
        }
        if (commands || title)
            syncDebugPanel();
        else if (!debugRefresh_->isActive())
            debugRefresh_->start();
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { refreshEditCommands(); });

    dlgSettings_ = std::make_unique<Tdialog_nastavenie_C>(prompter_, this);
    dlgSettings_->onFontChosen = [this](const QFont& font) {
        if (TStranka* page = activePage()) {
            QTextCharFormat f;
            f.setFont(font);
            page->editor()->textCursor().mergeCharFormat(f);
        }
    };
    dlgArguments_ = std::make_unique<Tdialargum>(this);
    dlgProject_ = std::make_unique<Tnastav_proj>(prompter_, this);
    dlgRemove_ = std::make_unique<Todstrokn>(this);
    dlgAbout_ = std::make_unique<Toprog_okno>(this);
}

TForm_Main::~TForm_Main()
{
    // The project's pages and timers go before the widgets they use.
    project_.reset();
    delete progress_;
}

QDialog* TForm_Main::progressWindow() const
{
    return progress_;
}

void TForm_Main::beginStep(const QString& text)
{
    status_[2]->setText(text);
    progress_->begin(text);
}

void TForm_Main::endStep()
{
    problems_->settle();
    progress_->end();
    status_[2]->clear();
}

void TForm_Main::closeIfAsked()
{
    if (closeAfterBuild_) {
        closeAfterBuild_ = false;
        close();
    }
}

void TForm_Main::startUp(const QString& projectFile)
{
    std::string message;
    *slova_ = vork::colour::loadSyntaxConfig(vork::dataFilePath("syntax.cfg"), &message);
    // The configuration comes before the project, so that the project's
    // pages open with the configured font and colouring.
    vork::readConfiguration(configFile_, config_, *projectUi_);
    action("BarWork_Syntax")->setIcon(syntaxIcon(config_.syntaxColouring));
    restoreWindowLayout(windowLayoutFile(q(configFile_.path())), *this, *splitter_);
    if (!message.empty())
        taskList_->addItem(q(message));
    if (!projectFile.isEmpty())
        openProject(projectFile, false);
}

// ---- Commands ---------------------------------------------------------------

void TForm_Main::buildActions()
{
    for (const CommandInfo& info : commandTable()) {
        auto* a = new QAction(QString::fromUtf8(info.text), this);
        a->setObjectName(info.name);
        const QString name = info.name;
        if (name.startsWith("Bar"))
            a->setToolTip(QString::fromUtf8(info.text));
        a->setIcon(toolbarIcon(name));
        if (*info.shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
        // F8 goes on to the next stop of the kinds chosen, as the step past
        // the newest record does.
        if (info.cmd == Cmd::HistoryForward)
            a->setShortcuts({a->shortcut(), QKeySequence(Qt::Key_F8)});
        a->setCheckable(info.checkable);
        // The trace list shows every group until the user switches one off.
        a->setChecked(info.cmd == Cmd::DebugView);
        a->setEnabled(info.start == Start::On);
        const Cmd cmd = info.cmd;
        connect(a, &QAction::triggered, this, [this, cmd, name] { dispatch(cmd, name); });
        actions_[name] = a;
        // Shortcuts work wherever the focus is in the window, also while
        // the menu is shown inside a toolbar.
        addAction(a);
    }
}

void TForm_Main::buildToolbars()
{
    for (const ToolbarInfo& bar : toolbars()) {
        auto* tb = new QToolBar(QString::fromUtf8(bar.caption), this);
        tb->setObjectName(bar.name);
        tb->setIconSize(QSize(20, 20));
        toolbars_[bar.name] = tb;
        addToolBar(Qt::TopToolBarArea, tb);
        if (QString(bar.name) == QLatin1String("BarHlavneMenu")) {
            auto* menuBar = new QMenuBar(tb);
            menuBar->setNativeMenuBar(false);
            for (const MenuInfo& m : mainMenus()) {
                QMenu* menu = menuBar->addMenu(QString::fromUtf8(m.title));
                for (const char* item : m.items) {
                    if (QString(item) == QLatin1String("-"))
                        menu->addSeparator();
                    else
                        menu->addAction(action(item));
                }
                if (QString::fromUtf8(m.title) == QStringLiteral("Editovať"))
                    connect(menu, &QMenu::aboutToShow, this, [this] { refreshEditCommands(); });
            }
            tb->addWidget(menuBar);
            addToolBarBreak();
            continue;
        }
        for (const char* button : bar.buttons)
            tb->addAction(action(button));
        if (QString(bar.name) == QLatin1String("BarProjekt")) {
            boxProjectFiles_ = new QComboBox(tb);
            boxProjectFiles_->setObjectName("BoxProjectFiles");
            boxProjectFiles_->setToolTip(QStringLiteral("Súbory projektu"));
            boxProjectFiles_->setMinimumContentsLength(14);
            boxProjectFiles_->setEnabled(false);
            connect(boxProjectFiles_, &QComboBox::activated, this, [this](int i) { projectFileChosen(i); });
            tb->addWidget(boxProjectFiles_);
        }
    }
    toolbars_["BarLadenie"]->hide();
}

void TForm_Main::buildCentral()
{
    splitter_ = new QSplitter(Qt::Horizontal, this);
    editBackPanel_ = new QWidget;
    editBackPanel_->setObjectName("EditBackPanel");
    auto* editLayout = new QVBoxLayout(editBackPanel_);
    editLayout->setContentsMargins(0, 0, 0, 0);
    editPanel_ = new QTabWidget;
    editPanel_->setObjectName("EditPanel");
    editPanel_->setMovable(false);
    editLayout->addWidget(editPanel_);
    connect(editPanel_, &QTabWidget::currentChanged, this, [this](int i) { pageSelected(i); });

    taskPanel_ = new QWidget;
    taskPanel_->setObjectName("TaskPanel");
    auto* taskLayout = new QVBoxLayout(taskPanel_);
    taskLayout->setContentsMargins(0, 0, 0, 0);
    pageCtrl_ = new QTabWidget;
    pageCtrl_->setObjectName("PageCtrl");
    pageCtrl_->setTabPosition(QTabWidget::South);
    taskLayout->addWidget(pageCtrl_);

    taskList_ = new QListWidget;
    taskList_->setObjectName("TaskList");
    pageCtrl_->addTab(taskList_, QStringLiteral("Parser"));
    connect(taskList_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { messageLineJump(item->text()); });

    console_ = new RunConsole;
    connect(console_, &RunConsole::lineEntered, this, [this](const QString& line) { sendRunInput(line); });
    connect(console_, &RunConsole::inputEnded, this, [this] {
        if (project_)
            project_->closeRunInput();
    });
    pageCtrl_->addTab(console_, QString::fromUtf8("Exe prekladač"));

    auto* errPage = new QWidget;
    auto* errLayout = new QVBoxLayout(errPage);
    errLayout->setContentsMargins(0, 0, 0, 0);
    chybovyBox_ = new QListWidget;
    chybovyBox_->setObjectName("ChybovyBox");
    errLayout->addWidget(chybovyBox_);
    auto* counters = new QHBoxLayout;
    counters->addWidget(new QLabel(QString::fromUtf8("Počet chýb")));
    panel2_ = new QLabel("0");
    panel2_->setObjectName("Panel2");
    counters->addWidget(panel2_);
    counters->addSpacing(16);
    counters->addWidget(new QLabel(QString::fromUtf8("Počet upozornení")));
    panel3_ = new QLabel("0");
    panel3_->setObjectName("Panel3");
    counters->addWidget(panel3_);
    counters->addStretch(1);
    errLayout->addLayout(counters);
    problems_ = new ProblemView(chybovyBox_, panel2_, panel3_, this);
    connect(problems_, &ProblemView::changed, this, [this] { refreshMarks(); });
    connect(chybovyBox_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { errorListJump(chybovyBox_->row(item)); });
    pageCtrl_->addTab(errPage, QStringLiteral("Chyby"));

    debugPanel_ = new DebugPanelWidget;
    debugPanel_->setObjectName("LadeniePanel");
    pageCtrl_->addTab(debugPanel_, QStringLiteral("Ladenie"));
    connect(debugPanel_, &DebugPanelWidget::exportTreeRequested, this, &TForm_Main::exportTree);

    splitter_->addWidget(editBackPanel_);
    splitter_->addWidget(taskPanel_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
    splitter_->setObjectName("Splitter1");
    setCentralWidget(splitter_);
    editBackPanel_->hide();
    taskPanel_->hide();

    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel;
        status_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // 70, 100 and 70 pixels, or what the caret text needs in this font
        // (the leading tab takes room of its own).
        const int needed = status_[i]->fontMetrics().horizontalAdvance(QStringLiteral("\t[99999 : 999]")) + 8;
        // The third panel names a running build step, so it takes the room
        // that is left.
        if (i == 2)
            status_[i]->setMinimumWidth(70);
        else
            status_[i]->setFixedWidth(i == 1 ? 100 : std::max(70, needed));
        statusBar()->addWidget(status_[i], i == 2 ? 1 : 0);
    }
    statusBar()->setObjectName("StatusBar");
}

void TForm_Main::buildContextMenus()
{
    roletkaTools_ = new QMenu(this);
    roletkaTools_->setObjectName("RoletkaTools");
    struct Item {
        const char* name;
        const char* caption;
        const char* bar;
    };
    const Item items[] = {{"RolStandart", "Standart", "BarStandart"},
                          {"RolWork", "Working", "BarWork"},
                          {"RolLadenie", "Ladenie", "BarLadenie"},
                          {"RolProjekt", "Projekt", "BarProjekt"}};
    for (const Item& it : items) {
        QAction* a = roletkaTools_->addAction(QString::fromUtf8(it.caption));
        a->setObjectName(it.name);
        a->setCheckable(true);
        QToolBar* bar = toolbars_[it.bar];
        connect(a, &QAction::triggered, this, [bar](bool on) { bar->setVisible(on); });
        actions_[it.name] = a;
    }
    QAction* rolTask = roletkaTools_->addAction(QString::fromUtf8("Panel správ"));
    rolTask->setObjectName("RolTask");
    connect(rolTask, &QAction::triggered, this, [this] { showMessagePanel(!messagePanelVisible()); });
    actions_["RolTask"] = rolTask;
    connect(roletkaTools_, &QMenu::aboutToShow, this, [this] {
        for (const char* rol : {"RolStandart", "RolWork", "RolLadenie", "RolProjekt"}) {
            static const std::map<QString, QString> barOf = {{"RolStandart", "BarStandart"},
                                                             {"RolWork", "BarWork"},
                                                             {"RolLadenie", "BarLadenie"},
                                                             {"RolProjekt", "BarProjekt"}};
            action(rol)->setChecked(toolbars_[barOf.at(rol)]->isVisible());
        }
    });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { roletkaTools_->popup(mapToGlobal(p)); });

    roletkaTabs_ = new QMenu(this);
    roletkaTabs_->setObjectName("RoletkaTabs");
    const std::pair<const char*, const char*> tabItems[] = {{"TabRol_Zavriet", "HM_Zavriet"},
                                                            {"TabRol_Cut", "HM_Cut"},
                                                            {"TabRol_Copy", "HM_Copy"},
                                                            {"TabRol_Paste", "HM_Paste"},
                                                            {"TabRol_SelectAll", "HM_SelectAll"}};
    for (const auto& [name, twin] : tabItems) {
        QAction* original = action(twin);
        QAction* a = roletkaTabs_->addAction(original->text());
        a->setObjectName(name);
        a->setShortcut(original->shortcut());
        a->setShortcutVisibleInContextMenu(true);
        const QString twinName = twin;
        connect(a, &QAction::triggered, this, [this, twinName] { runCommand(twinName); });
        // The tab menu's items follow their menu twins.
        connect(original, &QAction::enabledChanged, a, &QAction::setEnabled);
        a->setEnabled(original->isEnabled());
        actions_[name] = a;
    }
    connect(roletkaTabs_, &QMenu::aboutToShow, this, [this] { refreshEditCommands(); });
    editPanel_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editPanel_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        // The menu acts on the tab it was opened on.
        const int tab = editPanel_->tabBar()->tabAt(editPanel_->tabBar()->mapFrom(editPanel_, p));
        if (tab >= 0)
            editPanel_->setCurrentIndex(tab);
        roletkaTabs_->popup(editPanel_->mapToGlobal(p));
    });

    roletkaTask_ = new QMenu(this);
    roletkaTask_->setObjectName("RoletkaTask");
    QAction* clear = roletkaTask_->addAction(QStringLiteral("Vymazat správy"));
    clear->setObjectName("ClearLog");
    connect(clear, &QAction::triggered, this, [this] {
        taskList_->clear();
        console_->clear();
        problems_->clearItems();
    });
    QAction* hide = roletkaTask_->addAction(QString::fromUtf8("Skryť panel"));
    hide->setObjectName("HideLog");
    connect(hide, &QAction::triggered, this, [this] { showMessagePanel(false); });
    actions_["ClearLog"] = clear;
    actions_["HideLog"] = hide;
    for (QListWidget* list : {taskList_, console_->list(), chybovyBox_}) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this,
                [this, list](const QPoint& p) { roletkaTask_->popup(list->mapToGlobal(p)); });
    }
}

QAction* TForm_Main::action(const QString& name) const
{
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

bool TForm_Main::isEnabled(const QString& name) const
{
    QAction* a = action(name);
    return a && a->isEnabled();
}

bool TForm_Main::isChecked(const QString& name) const
{
    QAction* a = action(name);
    return a && a->isChecked();
}

void TForm_Main::setCommandsEnabled(const std::vector<const char*>& names, bool on)
{
    for (const char* n : names)
        if (QAction* a = action(n))
            a->setEnabled(on);
}

bool TForm_Main::runCommand(const QString& name)
{
    if (name.startsWith("HM_Cut") || name.startsWith("HM_Copy") || name.startsWith("HM_Paste") ||
        name == "HM_SelectAll" || name == "HM_Find" || name == "HM_Replace" || name == "HM_Undo" ||
        name == "HM_Redo" || name == "HM_GoToLine" || name == "HM_GoToDefinition")
        refreshEditCommands();
    QAction* a = action(name);
    if (!a || !a->isEnabled())
        return false;
    a->trigger();
    return true;
}

QToolBar* TForm_Main::toolbar(const QString& name) const
{
    const auto it = toolbars_.find(name);
    return it == toolbars_.end() ? nullptr : it->second;
}

void TForm_Main::refreshEditCommands()
{
    TStranka* page = activePage();
    const bool open = page != nullptr;
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    const bool hasSelection = open && page->editor()->textCursor().hasSelection();
    setCommandsEnabled({"HM_SelectAll", "HM_Find", "HM_Replace"}, open);
    action("HM_Paste")->setEnabled(open && clip && clip->hasText());
    setCommandsEnabled({"HM_Cut", "HM_Copy"}, hasSelection);
    action("HM_GoToLine")->setEnabled(open);
    action("HM_GoToDefinition")->setEnabled(open && specKindOf(page->fileName()) != SpecKind::None);
    action("HM_Undo")->setEnabled(open && page->editor()->document()->isUndoAvailable());
    action("HM_Redo")->setEnabled(open && page->editor()->document()->isRedoAvailable());
}

void TForm_Main::dispatch(Cmd cmd, const QString& name)
{
    if (project_)
        project_->setConfiguration(config_);
    TStranka* page = activePage();
    switch (cmd) {
    case Cmd::NewFile:
        return cmdNewFile();
    case Cmd::NewProject:
        return cmdNewProject();
    case Cmd::OpenFile:
        return cmdOpenFile();
    case Cmd::OpenProject:
        return cmdOpenProject();
    case Cmd::Save:
        if (page)
            savePage(page);
        return;
    case Cmd::SaveAs:
        return cmdSaveAs();
    case Cmd::SaveAll:
        return saveAll();
    case Cmd::SaveProject:
        if (project_)
            project_->save();
        return;
    case Cmd::ExportHtml:
        return cmdExportHtml();
    case Cmd::Close:
        if (page)
            closePage(page);
        return;
    case Cmd::CloseAll:
        closeAll();
        return;
    case Cmd::CloseProject:
        closeProject();
        return;
    case Cmd::Quit:
        close();
        return;
    case Cmd::Cut:
        return cmdCutPaste(true);
    case Cmd::Copy:
        if (page)
            page->editor()->copy();
        return;
    case Cmd::Paste:
        return cmdCutPaste(false);
    case Cmd::SelectAll:
        if (page)
            page->editor()->selectAll();
        return;
    case Cmd::Find:
        if (page)
            page->find();
        return;
    case Cmd::Replace:
        if (page)
            page->replace();
        return;
    case Cmd::Undo:
        if (page)
            page->editor()->undo();
        return;
    case Cmd::Redo:
        if (page)
            page->editor()->redo();
        return;
    case Cmd::GoToLine:
        return cmdGoToLine();
    case Cmd::GoToDefinition:
        if (page)
            goToDefinition(page);
        return;
    case Cmd::Outline:
        outline_->setVisible(action(name)->isChecked());
        return;
    case Cmd::AddFile:
        return cmdAddFile();
    case Cmd::RemoveFile:
        return cmdRemoveFile();
    case Cmd::ProjectSettings:
        return cmdProjectSettings();
    case Cmd::GenLex:
        return cmdBuild(vork::Projekt::kGenerateLex);
    case Cmd::GenYacc:
        return cmdBuild(vork::Projekt::kGenerateYacc);
    case Cmd::Rebuild:
        return cmdBuild(vork::Projekt::kRebuild);
    case Cmd::Build:
        return cmdBuild(vork::Projekt::kBuild);
    case Cmd::Make:
        if (project_)
            project_->make();
        closeIfAsked();
        return;
    case Cmd::Remake:
        if (project_)
            project_->remake();
        closeIfAsked();
        return;
    case Cmd::DebugMode:
        if (project_)
            project_->toggleDebugMode();
        return;
    case Cmd::Settings:
        return cmdSettings();
    case Cmd::Run:
        if (project_)
            project_->run();
        closeIfAsked();
        return;
    case Cmd::RunArguments:
        return cmdArguments(false);
    case Cmd::Halt:
        if (project_)
            project_->halt();
        return;
    case Cmd::DebugView: {
        // Each of the four items shows or hides its group of trace lines.
        debuglink::TraceFilter filter;
        for (size_t i = 0; i < debuglink::kTraceGroupCount; ++i)
            filter.shown[i] = action(debuglink::kDebugViewItems[i].name)->isChecked();
        debugPanel_->setTraceFilter(filter);
        return;
    }
    case Cmd::StepLex:
    case Cmd::StepSem:
    case Cmd::StepSyntaxError:
    case Cmd::StepReduction:
    case Cmd::StepShift:
    case Cmd::StepState:
    case Cmd::StepFree:
        debugPanel_->viewLive(*debugSession_);
        if (project_)
            project_->stepCommand(stepOf(cmd));
        return;
    case Cmd::HistoryBack:
        debugPanel_->moveInHistory(*debugSession_, -1);
        showRecordSource();
        return;
    case Cmd::HistoryForward:
        // Past the last record the run goes on as the flags say.
        if (debugPanel_->moveInHistory(*debugSession_, 1))
            showRecordSource();
        else if (project_)
            project_->resumeStepping();
        return;
    case Cmd::JalRun:
        if (project_)
            project_->runJal();
        return;
    case Cmd::JalArguments:
        return cmdArguments(true);
    case Cmd::About:
        return cmdAbout();
    case Cmd::Syntax:
        return toggleColouring();
    case Cmd::Messages:
        showMessagePanel(!messagePanelVisible());
        return;
    }
}

// ---- Page list --------------------------------------------------------------

TStranka* TForm_Main::newPage(const QString& fileName)
{
    QFont font(q(config_.fontName), config_.fontSize);
    font.setStyleHint(QFont::Monospace);
    auto* page = new TStranka(editPanel_, prompter_, font);
    page->setFileName(fileName);
    connect(page, &TStranka::caretChanged, this, [this, page] {
        if (page == activePage()) {
            status_[0]->setText(page->caretText());
            refreshEditCommands();
            if (!lookupMessage_.isEmpty() && status_[2]->text() == lookupMessage_)
                status_[2]->clear();
            lookupMessage_.clear();
        }
    });
    connect(page, &TStranka::modifiedChanged, this, [this, page] {
        if (page == activePage())
            status_[1]->setText(page->modifiedText());
    });
    connect(page, &TStranka::textEdited, this, [this, page](int block) { recolourLine(page, block); });
    connect(page->editor(), &QPlainTextEdit::selectionChanged, this, [this, page] {
        if (page == activePage())
            refreshEditCommands();
    });
    for (auto signal : {&QPlainTextEdit::undoAvailable, &QPlainTextEdit::redoAvailable})
        connect(page->editor(), signal, this, [this, page] {
            if (page == activePage())
                refreshEditCommands();
        });
    if (auto* code = qobject_cast<CodeEditor*>(page->editor())) {
        code->setMarks(problems_->marksFor(fileName));
        connect(code, &CodeEditor::definitionRequested, this, [this, page] { goToDefinition(page); });
    }
    editPanel_->setCurrentWidget(page);
    // The first tab was selected as it was added, before it had its name.
    outline_->setSource(page->editor(), fileName);
    updatePageCommands();
    return page;
}

TStranka* TForm_Main::openPage(const QString& fileName)
{
    TStranka* page = newPage(fileName);
    QString error;
    if (!page->load(&error)) {
        if (prompter_.askYesNo(QStringLiteral("Korvalen"), openFailedText(fileName), Prompter::Icon::Stop))
            prompter_.showErrorText(error);
        closePage(page);
        return nullptr;
    }
    if (config_.syntaxColouring)
        colourPage(page);
    refreshStatus();
    watcher_->watch(fileName);
    // A page just read is outlined at once, not after the typing pause.
    if (page == activePage())
        outline_->refresh();
    return page;
}

TStranka* TForm_Main::showFile(const QString& fileName)
{
    if (TStranka* page = findPage(fileName)) {
        editPanel_->setCurrentWidget(page);
        // A listing a build has just written is shown as it is now, even
        // before the watcher's notice arrives.
        if (!page->isModified() && page->changedOnDisk())
            reloadPage(page);
        return page;
    }
    return openPage(fileName);
}

TStranka* TForm_Main::findPage(const QString& fileName) const
{
    const QString wanted = foldAsciiCase(fileName);
    for (int i = 0; i < pageCount(); ++i)
        if (foldAsciiCase(pageAt(i)->fileName()) == wanted)
            return pageAt(i);
    return nullptr;
}

bool TForm_Main::savePage(TStranka* page)
{
    const bool ok = page->save();
    if (page == activePage())
        status_[1]->setText(page->modifiedText());
    return ok;
}

void TForm_Main::saveAll()
{
    for (int i = 0; i < pageCount(); ++i)
        if (pageAt(i)->isModified())
            savePage(pageAt(i));
}

bool TForm_Main::closePage(TStranka* page)
{
    // A page whose text could not be saved stays, so that nothing typed is
    // lost; the user can still save it elsewhere.
    if (!page->confirmDiscard())
        return false;
    const int count = pageCount();
    if (count == 1) {
        editBackPanel_->hide();
        for (QLabel* s : status_)
            s->clear();
        setWindowTitle(kAppTitle);
    }
    watcher_->unwatch(page->fileName());
    editPanel_->removeTab(editPanel_->indexOf(page));
    delete page;
    updatePageCommands();
    return true;
}

bool TForm_Main::closeAll()
{
    // Closes the active page until none is left; a page that refuses (its
    // save failed) is stepped over and stays.
    std::vector<TStranka*> kept;
    auto isKept = [&kept](TStranka* p) { return std::find(kept.begin(), kept.end(), p) != kept.end(); };
    for (;;) {
        TStranka* page = activePage();
        if (!page || isKept(page)) {
            page = nullptr;
            for (int i = 0; i < pageCount() && !page; ++i)
                if (!isKept(pageAt(i)))
                    page = pageAt(i);
        }
        if (!page)
            break;
        if (!closePage(page))
            kept.push_back(page);
    }
    return kept.empty();
}

void TForm_Main::closeFile(const QString& fileName)
{
    if (TStranka* page = findPage(fileName))
        closePage(page);
}

TStranka* TForm_Main::activePage() const
{
    return qobject_cast<TStranka*>(editPanel_->currentWidget());
}

int TForm_Main::pageCount() const
{
    return editPanel_->count();
}

TStranka* TForm_Main::pageAt(int index) const
{
    return qobject_cast<TStranka*>(editPanel_->widget(index));
}

void TForm_Main::updatePageCommands()
{
    const int n = pageCount();
    editBackPanel_->setVisible(n > 0);
    setCommandsEnabled({"HM_UlozitSubor", "HM_UlozitAkoSubor", "HM_Zavriet", "HM_ZavrietVsetko", "BarStan_SaveFile",
                "BarStan_SaveAs", "BarStan_Zavriet", "HM_ExportHtml"},
               n > 0);
    setCommandsEnabled({"HM_UlozitVsetko", "BarStan_SaveAll"}, n >= 2);
    refreshEditCommands();
}

void TForm_Main::pageSelected(int index)
{
    TStranka* page = activePage();
    outline_->setSource(page ? page->editor() : nullptr, page ? page->fileName() : QString());
    if (index < 0)
        return;
    refreshStatus();
    refreshEditCommands();
}

void TForm_Main::refreshStatus()
{
    TStranka* page = activePage();
    if (!page)
        return;
    status_[0]->setText(page->caretText());
    status_[1]->setText(page->modifiedText());
    setWindowTitle(QStringLiteral("VORK 1.5 - ") + page->fileName());
}

// ---- Project ----------------------------------------------------------------

bool TForm_Main::openProject(const QString& projectFile, bool createNew)
{
    if (project_)
        return false;
    try {
        project_ = std::make_unique<VizProjekt>(projectFile.toStdString(), createNew, *this, *projectUi_);
    } catch (const vork::ProjectError& e) {
        project_.reset();
        if (!e.cancelled())
            prompter_.showErrorText(QString::fromUtf8(e.what()));
        return false;
    } catch (const std::exception& e) {
        project_.reset();
        prompter_.showErrorText(QString::fromUtf8(e.what()));
        return false;
    }
    for (const std::string& line : project_->creationMessages())
        taskList_->addItem(q(line));
    return true;
}

bool TForm_Main::closeProject()
{
    if (!project_)
        return true;
    // The window counts as without a project while the project takes
    // itself off it.
    std::unique_ptr<VizProjekt> gone = std::move(project_);
    gone.reset();
    return pageCount() == 0;
}

void TForm_Main::setDebugControls(bool on)
{
    toolbars_["BarLadenie"]->setVisible(on);
    toolbars_["BarLadenie"]->setEnabled(on);
    action("RolLadenie")->setChecked(on);
    // The step commands are for a stopped run only: with debug mode on
    // they stay as the run has them (off when no run is going).
    const debuglink::DebugCommandState all;
    const debuglink::DebugCommandState& run = debugSession_->commands();
    for (const auto& [name, enabled] : all.states()) {
        const bool step = std::any_of(debuglink::kStepCommands.begin(), debuglink::kStepCommands.end(),
                                      [&name = name](const auto& c) { return name == c.menuItem || name == c.button; });
        if (QAction* a = action(q(name)))
            a->setEnabled(on && (!step || run.isEnabled(name)));
    }
}

void TForm_Main::fillProjectFiles(const vork::Projekt& project)
{
    boxProjectFiles_->clear();
    boxProjectFiles_->addItem(q(project.lexSpecName()));
    if (project.kind() > vork::kLexProject)
        boxProjectFiles_->addItem(q(project.yaccSpecName()));
    for (const std::string& member : project.memberFiles())
        boxProjectFiles_->addItem(QFileInfo(q(member)).fileName());
}

void TForm_Main::projectFileChosen(int i)
{
    if (!project_ || i < 0)
        return;
    const bool parser = project_->kind() >= vork::kLexYaccProject;
    if (i == 0) {
        showFile(q(project_->lexSpecFile()));
    } else if (parser && i == 1) {
        showFile(q(project_->yaccSpecFile()));
    } else {
        const int member = i - (parser ? 2 : 1);
        if (member >= 0 && member < project_->fileCount())
            showFile(q(project_->fileAt(member)));
    }
}

// ---- Message panel ----------------------------------------------------------

void TForm_Main::showMessagePanel(bool on)
{
    taskPanel_->setVisible(on);
}

QListWidget* TForm_Main::taskListExe() const
{
    return console_->list();
}

QLineEdit* TForm_Main::exeInput() const
{
    return console_->input();
}

bool TForm_Main::messagePanelVisible() const
{
    return taskPanel_->isVisibleTo(const_cast<TForm_Main*>(this));
}

QString TForm_Main::statusText(int panel) const
{
    return panel >= 0 && panel < 3 ? status_[panel]->text() : QString();
}

void TForm_Main::errorListJump(int index)
{
    problems_->settle();
    const vork::Problem* problem = problems_->at(index);
    if (!problem || problem->line < 0 || problem->file.empty())
        return;
    const QString file = QDir::cleanPath(q(problem->file));
    TStranka* page = nullptr;
    for (int i = 0; i < pageCount() && !page; ++i)
        if (QDir::cleanPath(pageAt(i)->fileName()) == file)
            page = pageAt(i);
    if (page)
        editPanel_->setCurrentWidget(page);
    else
        page = showFile(file);
    if (!page)
        return;
    const QTextBlock block = page->editor()->document()->findBlockByNumber(problem->line - 1);
    const int column =
        block.isValid() ? problemCharacterIndex(block.text(), problem->column, q(problem->text)) + 1 : 1;
    goToLine(page, problem->line, column);
}

void TForm_Main::fileChangedOnDisk(const QString& fileName)
{
    for (int i = 0; i < pageCount(); ++i) {
        TStranka* page = pageAt(i);
        if (page->fileName() != fileName || !page->changedOnDisk())
            continue;
        if (!page->isModified()) {
            reloadPage(page);
        } else if (prompter_.askYesNo(QStringLiteral("Otázka"),
                                      QStringLiteral("Súbor ") + fileName +
                                          QStringLiteral(" bol zmenený mimo VORK. Načítať ho znova a zahodiť zmeny ?"),
                                      Prompter::Icon::Question)) {
            reloadPage(page);
        } else {
            page->keepOwnVersion();
        }
    }
}

void TForm_Main::reloadPage(TStranka* page)
{
    QString error;
    if (!page->reload(&error))
        return;
    if (config_.syntaxColouring)
        colourPage(page);
    if (page == activePage()) {
        status_[0]->setText(page->caretText());
        status_[1]->setText(page->modifiedText());
    }
}

void TForm_Main::refreshMarks()
{
    for (int i = 0; i < pageCount(); ++i)
        if (auto* code = qobject_cast<CodeEditor*>(pageAt(i)->editor()))
            code->setMarks(problems_->marksFor(pageAt(i)->fileName()));
}

// At a stop after a semantic action, the action's line is selected in the
// grammar's page too, and at a stop after a lexical unit the line of the
// scanner rule that matched it in the .l page; the page is opened if need
// be, and the keyboard focus stays where it is, so the step keys keep
// working.  Moving over the history does the same for the record viewed.
void TForm_Main::showRecordSource()
{
    const debuglink::RunHistory& history = debugSession_->history();
    if (!project_ || history.size() == 0)
        return;
    const long viewed = debugPanel_->historyIndex();
    const size_t index = viewed < 0 ? history.size() - 1 : static_cast<size_t>(viewed);
    const debuglink::DebugSession::SourceLine at = debugSession_->sourceLine(history.record(index));
    if (at.where == debuglink::DebugSession::SourceLine::Grammar) {
        selectSourceLine(q(project_->yaccSpecFile()), at.line);
    } else if (at.where == debuglink::DebugSession::SourceLine::Scanner) {
        selectSourceLine(q(project_->lexSpecFile()), at.line);
    } else {
        // A stop with no line of its own (a syntax error, a state) leaves
        // no earlier action's line marked as if it were the current one.
        stopMark_.clear();
    }
}

void TForm_Main::selectSourceLine(const QString& file, int line)
{
    // A page that becomes the selected tab puts its name in the title, but
    // the run is still stopped and the title must go on saying so.
    const QString title = windowTitle();
    TStranka* page = showFile(file);
    setWindowTitle(title);
    stopMark_.mark(page, line);
}

void TForm_Main::syncDebugPanel()
{
    debugRefresh_->stop();
    // Once the thread has ended the run has no current stop: a run let go
    // without stepping goes on unwatched, an ended one is over.
    if (debugSession_->ended())
        stopMark_.clear();
    debugPanel_->sync(*debugSession_, debugSession_->takeRebuild());
    emit debugDisplayed();
}

bool TForm_Main::messageLineJump(const QString& line)
{
    // "<file>(<line>): ..." where the file is the project's own, such as
    // the state listing that a conflict line names.
    static const QRegularExpression located(QStringLiteral("^([^\\s()]+)\\((\\d+)\\):"));
    const QRegularExpressionMatch m = located.match(line);
    if (!m.hasMatch())
        return false;
    QString file = m.captured(1);
    if (QFileInfo(file).isRelative()) {
        if (!project_)
            return false;
        file = q(project_->projectDir()) + file;
    }
    if (!QFileInfo(file).isFile())
        return false;
    TStranka* page = showFile(file);
    if (!page)
        return false;
    goToLine(page, m.captured(2).toInt());
    return true;
}

void TForm_Main::goToLine(TStranka* page, int line, int column)
{
    // Line 0 is the first line, as is line 1; a line past the end puts the
    // caret at the start of the last line.
    const int blocks = page->editor()->document()->blockCount();
    page->placeCaret(std::clamp(line, 1, blocks) - 1, column - 1);
    status_[0]->setText(page->caretText());
}

void TForm_Main::goToDefinition(TStranka* page)
{
    const QString message = page->goToDefinition();
    status_[2]->setText(message);
    lookupMessage_ = message;
}

// ---- Colouring --------------------------------------------------------------

void TForm_Main::colourPage(TStranka* page)
{
    if (colourer_)
        colourer_->colourWhole(*page->editor());
}

void TForm_Main::recolourLine(TStranka* page, int block)
{
    if (config_.syntaxColouring && colourer_)
        colourer_->recolourLine(*page->editor(), block);
}

void TForm_Main::toggleColouring()
{
    config_.syntaxColouring = !config_.syntaxColouring;
    action("BarWork_Syntax")->setIcon(syntaxIcon(config_.syntaxColouring));
    for (int i = 0; i < pageCount(); ++i) {
        if (config_.syntaxColouring)
            colourPage(pageAt(i));
        else if (colourer_)
            colourer_->removeColouring(*pageAt(i)->editor());
    }
}

// ---- Command handlers -------------------------------------------------------

void TForm_Main::cmdNewFile()
{
    Prompter::FileDialog d;
    d.mode = Prompter::FileDialog::Mode::Save;
    d.title = QStringLiteral("Nový súbor ...");
    d.filters = {QString::fromUtf8("Textový súbor (*.txt) (*.txt)")};
    d.defaultName = QStringLiteral("subor");
    d.defaultSuffix = QStringLiteral("txt");
    d.confirmOverwrite = true;
    const QString name = prompter_.chooseFile(this, d);
    if (!name.isEmpty())
        newPage(name);
}

void TForm_Main::cmdNewProject()
{
    Prompter::FileDialog d;
    d.mode = Prompter::FileDialog::Mode::Save;
    d.title = QStringLiteral("Nový projekt ...");
    d.filters = kProjectFilters;
    d.filters << QString::fromUtf8("Všetky súbory (*)");
    d.defaultName = QStringLiteral("projekt");
    d.defaultSuffix = QStringLiteral("ly");
    const QString name = prompter_.chooseFile(this, d);
    if (!name.isEmpty())
        openProject(name, true);
}

void TForm_Main::cmdOpenFile()
{
    Prompter::FileDialog d;
    d.title = QStringLiteral("Otvoriť súbor ...");
    d.filters = {QString::fromUtf8("Všetky súbory (*.*) (*)")};
    d.mustExist = true;
    const QString name = prompter_.chooseFile(this, d);
    if (!name.isEmpty())
        showFile(name);
}

void TForm_Main::cmdOpenProject()
{
    Prompter::FileDialog d;
    d.title = QStringLiteral("Otvoriť projekt ...");
    d.filters = kProjectFilters;
    d.mustExist = true;
    const QString name = prompter_.chooseFile(this, d);
    if (!name.isEmpty())
        openProject(name, false);
}

void TForm_Main::cmdSaveAs()
{
    TStranka* page = activePage();
    if (!page)
        return;
    Prompter::FileDialog d;
    d.mode = Prompter::FileDialog::Mode::Save;
    d.title = QStringLiteral("Uložiť ako ...");
    d.filters = {QString::fromUtf8("Všetky súbory (*)")};
    d.directory = QFileInfo(page->fileName()).absolutePath();
    d.defaultName = QFileInfo(page->fileName()).fileName();
    d.confirmOverwrite = true;
    const QString name = prompter_.chooseFile(this, d);
    if (name.isEmpty())
        return;
    const QString old = page->fileName();
    page->setFileName(name);
    if (!savePage(page)) {
        // The text stays under its old name, still modified.
        page->setFileName(old);
        return;
    }
    watcher_->unwatch(old);
    watcher_->watch(name);
    setWindowTitle(name);
    // The new name may make it a grammar or a scanner, or neither.
    outline_->setSource(page->editor(), name);
    refreshEditCommands();
}

void TForm_Main::cmdExportHtml()
{
    TStranka* page = activePage();
    if (!page)
        return;
    Prompter::FileDialog d;
    d.mode = Prompter::FileDialog::Mode::Save;
    d.title = QStringLiteral("Exportovať do HTML ...");
    d.filters = {QStringLiteral("HTML (*.html)")};
    d.defaultName = QFileInfo(page->fileName()).fileName() + QStringLiteral(".html");
    d.directory = QFileInfo(page->fileName()).absolutePath();
    d.defaultSuffix = QStringLiteral("html");
    d.confirmOverwrite = true;
    const QString name = prompter_.chooseFile(this, d);
    if (name.isEmpty())
        return;
    const QString text = page->editor()->toPlainText();
    const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
    const std::string html = vork::colour::renderHtml(view, vork::colour::wholeTextPass(view, *slova_),
                                                      QFileInfo(page->fileName()).fileName().toStdString());
    if (!vork::writeFileAtomically(name.toStdString(), html))
        prompter_.inform(QStringLiteral("Korvalen"),
                         QStringLiteral("Súbor ") + name + QStringLiteral(" sa nepodarilo zapísať na disk !"),
                         Prompter::Icon::Error);
}

void TForm_Main::exportTree()
{
    Prompter::FileDialog d;
    d.mode = Prompter::FileDialog::Mode::Save;
    d.title = QStringLiteral("Exportovať strom");
    d.filters = {QStringLiteral("DOT (*.dot)"), QStringLiteral("SVG (*.svg)")};
    d.directory = project_ ? q(project_->projectDir()) : QString();
    d.defaultSuffix = QStringLiteral("dot");
    d.confirmOverwrite = true;
    const QString name = prompter_.chooseFile(this, d);
    if (!name.isEmpty() && !debugPanel_->exportTree(name))
        prompter_.inform(QStringLiteral("Korvalen"),
                         QStringLiteral("Súbor ") + name + QStringLiteral(" sa nepodarilo zapísať na disk !"),
                         Prompter::Icon::Error);
}

void TForm_Main::cmdCutPaste(bool cut)
{
    TStranka* page = activePage();
    if (!page)
        return;
    QPlainTextEdit* editor = page->editor();
    // The line pass runs on the caret's line as it was before the change.
    const int block = editor->textCursor().blockNumber();
    if (cut)
        editor->cut();
    else
        editor->paste();
    recolourLine(page, std::min(block, editor->document()->blockCount() - 1));
}

void TForm_Main::cmdGoToLine()
{
    TStranka* page = activePage();
    if (!page)
        return;
    int line = page->editor()->textCursor().blockNumber() + 1;
    const int lines = page->editor()->document()->blockCount();
    if (prompter_.askNumber(this, QStringLiteral("Prejsť na riadok"), QStringLiteral("Riadok (1 - %1):").arg(lines),
                            line, 1, lines))
        goToLine(page, line);
}

void TForm_Main::cmdAddFile()
{
    if (!project_)
        return;
    Prompter::FileDialog d;
    d.title = QStringLiteral("Pridať súbor do projektu ...");
    d.filters = {QString::fromUtf8("Všetky súbory (*)")};
    d.directory = q(project_->projectDir());
    d.mustExist = true;
    const QString name = prompter_.chooseFile(this, d);
    if (name.isEmpty())
        return;
    project_->addFile(name.toStdString());
    fillProjectFiles(*project_);
}

void TForm_Main::cmdRemoveFile()
{
    if (!project_)
        return;
    dlgRemove_->fill(*project_);
    if (prompter_.execDialog(*dlgRemove_) != QDialog::Accepted)
        return;
    const int i = dlgRemove_->selectedIndex();
    if (i < 0 || i >= project_->fileCount())
        return;
    closeFile(q(project_->fileAt(i)));
    project_->removeFile(i);
    fillProjectFiles(*project_);
}

void TForm_Main::cmdProjectSettings()
{
    if (!project_)
        return;
    dlgProject_->fill(*project_);
    if (prompter_.execDialog(*dlgProject_) == QDialog::Accepted)
        dlgProject_->takeInto(*project_);
}

void TForm_Main::cmdSettings()
{
    dlgSettings_->fill(config_);
    if (prompter_.execDialog(*dlgSettings_) != QDialog::Accepted)
        return;
    QString error;
    const bool ok = dlgSettings_->takeInto(config_, &error);
    if (project_)
        project_->setConfiguration(config_);
    if (!ok) {
        prompter_.showErrorText(error);
        return;
    }
    // Every page is closed and opened again so that it takes the new font;
    // the pages end in their former order.
    const int n = pageCount();
    for (int i = 0; i < n && pageCount() > 0; ++i) {
        TStranka* first = pageAt(0);
        const QString name = first->fileName();
        if (!closePage(first)) {
            // Its text could not be saved: it stays as it is, at the end.
            editPanel_->tabBar()->moveTab(0, pageCount() - 1);
            continue;
        }
        openPage(name);
    }
}

void TForm_Main::cmdArguments(bool jal)
{
    if (!project_)
        return;
    if (jal)
        dlgArguments_->setCaptions(QStringLiteral("Argumenty Pre Jal ..."), QStringLiteral("Argumenty Pre Jal"));
    else
        dlgArguments_->setCaptions(QString::fromUtf8("Argumenty príkazového riadku ..."),
                                   QString::fromUtf8("Argumenty príkazového riadku"));
    dlgArguments_->fill(project_->argumentHistory(), q(jal ? project_->jalArgument() : project_->runArguments()));
    if (prompter_.execDialog(*dlgArguments_) != QDialog::Accepted)
        return;
    const std::string text = dlgArguments_->takeInto(project_->argumentHistory()).toStdString();
    if (jal)
        project_->setJalArgument(text);
    else
        project_->setRunArguments(text);
}

void TForm_Main::cmdAbout()
{
    prompter_.execDialog(*dlgAbout_);
}

void TForm_Main::cmdBuild(int mode)
{
    if (project_)
        project_->build(mode);
    closeIfAsked();
}

void TForm_Main::sendRunInput(const QString& line)
{
    if (!project_)
        return;
    // The typed line shows in the transcript as a console would echo it.
    console_->echo(line);
    project_->writeRunInput(line.toStdString() + "\n");
}

// ---- Window events ----------------------------------------------------------

void TForm_Main::closeEvent(QCloseEvent* event)
{
    if (project_ && project_->generating()) {
        // The build's caller is still on the stack: the generator is
        // stopped, and the window closes when the build has returned.
        project_->requestStop();
        closeAfterBuild_ = true;
        event->ignore();
        return;
    }
    if (project_) {
        // A project file that cannot be written keeps the window open with
        // the project, as a page that cannot be saved does: the message has
        // been shown, nothing has been halted or closed yet, and once the
        // disk has room again closing saves it.  "Zavrieť projekt" still
        // closes the project as it is.
        if (!project_->readOnly()) {
            if (!project_->save()) {
                event->ignore();
                return;
            }
            project_->setSaveOnClose(false);
        }
        if (project_->debugMode())
            project_->halt();
        closeProject();
    } else {
        closeAll();
    }
    if (pageCount() > 0) {
        // A page whose text could not be saved keeps the window open, so
        // that the user can save it elsewhere.
        event->ignore();
        return;
    }
    // The layout goes beside konfig.ide, and only when that could be
    // written: a full disk gets no half-written settings file.
    if (configFile_.write(config_))
        saveWindowLayout(windowLayoutFile(q(configFile_.path())), *this, *splitter_);
    event->accept();
}

void TForm_Main::mouseDoubleClickEvent(QMouseEvent* event)
{
    QMainWindow::mouseDoubleClickEvent(event);
    if (!project_ && isEnabled("HM_OpenPrj"))
        runCommand("HM_OpenPrj");
}

} // namespace vork::shell
