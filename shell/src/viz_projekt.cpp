#include "vork/shell/viz_projekt.h"

#include "list_lines.h"

#include "duq_yacc/automaton.h"

#include "vork/debuglink/komvl.h"
#include "vork/project/atomic_file.h"
#include "vork/project/background_run.h"
#include "vork/project/build_texts.h"
#include "vork/project/paths.h"
#include "vork/project/problems.h"
#include "vork/project/stamp.h"
#include "vork/shell/debug_panel_widget.h"
#include "vork/shell/form_main.h"
#include "vork/shell/problem_view.h"
#include "vork/shell/run_console.h"
#include "vork/shell/prompter.h"
#include "vork/shell/stranka.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>

#include <unistd.h>

namespace vork::shell {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

Prompter::Icon iconOf(vork::ProjectUi::Icon icon)
{
    switch (icon) {
    case vork::ProjectUi::Icon::Information:
        return Prompter::Icon::Information;
    case vork::ProjectUi::Icon::Warning:
        return Prompter::Icon::Warning;
    case vork::ProjectUi::Icon::Error:
        break;
    }
    return Prompter::Icon::Error;
}


} // namespace

bool PrompterUi::askYesNo(const std::string& text, const std::string& caption)
{
    return prompter_.askYesNo(q(caption), q(text), Prompter::Icon::Question);
}

void PrompterUi::showMessage(const std::string& text, const std::string& caption, Icon icon)
{
    prompter_.inform(q(caption), q(text), iconOf(icon));
}

VizProjekt::VizProjekt(const std::string& projectFile, bool createNew, TForm_Main& window, vork::ProjectUi& ui)
    : Projekt(projectFile, createNew, ui), window_(window)
{
    setConfiguration(window_.configuration());
    setSkeletons(window_.skeletons());
    setCaptureRunOutput(true);
    // A program's lines are shown in batches: one layout and one repaint for
    // many lines, however fast it writes.
    sinks().onMessage = [this](const std::string& line) { addTask(line); };
    sinks().onError = [this](const std::string& item) {
        if (auto p = vork::parseGeneratorItem(item, lexSpecFile(), yaccSpecFile())) {
            window_.problemView()->add(*p);
        } else {
            vork::Problem plain;
            plain.item = plain.text = item;
            window_.problemView()->add(plain);
        }
    };

    window_.action("HM_PrjLadiaciRezim")->setChecked(debugMode());
    window_.openPage(q(lexSpecFile()));
    if (kind() > vork::kLexProject)
        window_.openPage(q(yaccSpecFile()));
    for (const std::string& member : memberFiles())
        window_.openPage(q(member));
    window_.fillProjectFiles(*this);

    pushTitle(" - " + q(paths::fileName(baseName())));
    window_.setCommandsEnabled({"HM_NewPrj", "HM_OpenPrj", "BarPrj_Open"}, false);
    window_.setCommandsEnabled(kProjectCommands, true);
    window_.boxProjectFiles()->setEnabled(true);
    if (window_.boxProjectFiles()->count() > 0)
        window_.boxProjectFiles()->setCurrentIndex(0);
    window_.setDebugControls(debugMode());
    openForUse();
    // A new project is on the disk from the start, not only once closed.
    if (createNew && !readOnly())
        save();
}

VizProjekt::~VizProjekt()
{
    // No poll and no debug display may reach a window that no longer shows
    // this project.
    stopTimers();
    endDebugThread();
    window_.action("HM_PrjLadiaciRezim")->setChecked(false);
    popTitle();
    while (!titles_.empty())
        popTitle();
    window_.setCommandsEnabled({"HM_OpenPrj", "HM_NewPrj", "BarPrj_Open"}, true);
    window_.setCommandsEnabled(kProjectCommands, false);
    window_.setCommandsEnabled(kJalCommands, false);
    window_.setCommandsEnabled(kHaltCommands, false);
    window_.setDebugControls(false);
    window_.boxProjectFiles()->clear();
    window_.boxProjectFiles()->setEnabled(false);
    window_.showMessagePanel(false);
    window_.closeAll();
    closeForUse();
}

void VizProjekt::pushTitle(const QString& marker)
{
    titles_.push_back(window_.windowTitle());
    window_.setWindowTitle(window_.windowTitle() + marker);
}

void VizProjekt::popTitle()
{
    if (titles_.empty())
        return;
    window_.setWindowTitle(titles_.back());
    titles_.pop_back();
}

void VizProjekt::addTask(const std::string& line)
{
    QListWidget* list = window_.taskList();
    list->addItem(lineItem(q(line), list->fontMetrics()));
    scrollToBottomSoon(this, list, scrollTask_);
}

void VizProjekt::addExe(const std::string& line)
{
    window_.runConsole()->addLine(q(line));
}

void VizProjekt::letWindowPaint()
{
    // The generators run on this thread: let the lines written so far show
    // first, without taking any user input meanwhile.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void VizProjekt::replaceFromFile(const std::string& path, bool exeList)
{
    std::string bytes;
    if (path.empty() || !readWholeFile(path, bytes, kMaxCaptureBytes))
        return;
    const std::vector<std::string> lines = splitLines(bytes);
    if (exeList) {
        window_.runConsole()->replaceLines(lines);
    } else {
        QListWidget* list = window_.taskList();
        list->clear();
        const QFontMetrics fm = list->fontMetrics();
        for (const std::string& line : lines)
            list->addItem(lineItem(QString::fromUtf8(line.data(), static_cast<int>(line.size())), fm));
        scrollToBottomSoon(this, list, scrollTask_);
    }
    ::unlink(path.c_str());
}

void VizProjekt::buildStarted()
{
    window_.problemView()->clear();
    window_.saveAll();
    sinks().resetForBuild();
    window_.showMessagePanel(true);
    window_.pageCtrl()->setCurrentIndex(0);
    window_.taskList()->clear();
    addTask(texts::kBuildStart);
    window_.setEnabled(false);
}

void VizProjekt::buildFinished(int result)
{
    if (result == kBuildUpToDate)
        addTask(texts::kAllUpToDate);
    window_.setEnabled(true);
    addConflictProblems();
    if (window_.problemView()->problems().errors() >= 1) {
        window_.showMessagePanel(true);
        window_.pageCtrl()->setCurrentIndex(2);
    }
}

void VizProjekt::addConflictProblems()
{
    // The parser generator names each reported conflict in the "Parser"
    // list; the automaton tells on which rule's line it belongs.
    if (kind() <= vork::kLexProject)
        return;
    bool conflicts = false;
    for (int i = 0; i < window_.taskList()->count() && !conflicts; ++i) {
        const QString line = window_.taskList()->item(i)->text();
        conflicts = line.contains(QStringLiteral("konflikt v stave ")) || line.contains(QStringLiteral("conflict in state "));
    }
    if (!conflicts)
        return;
    duq_yacc::Automaton automaton;
    if (!duq_yacc::build_automaton(yaccSpecFile(), automaton, nullptr, configuration().largeTables ? 1 : 0))
        return;
    for (const vork::Problem& p : vork::conflictProblems(automaton, yaccSpecFile()))
        window_.problemView()->add(p);
    window_.problemView()->settle();
}

void VizProjekt::lexGenerationStarted()
{
    pushTitle(texts::kTitleLex);
    addTask(texts::kSeparator);
    const std::string step = texts::kLexGeneration + lexSpecName() + "->" + lexOutputName();
    addTask(step);
    window_.beginStep(q(step));
    letWindowPaint();
}

void VizProjekt::yaccGenerationStarted()
{
    // A LEX project has no grammar: its parser step is not logged.
    if (kind() > vork::kLexProject) {
        pushTitle(texts::kTitleYacc);
        addTask(texts::kSeparator);
        addTask(texts::kYaccGeneration + yaccSpecName() + "->" + parserOutputName());
    }
    window_.beginStep(q(texts::kYaccGeneration + yaccSpecName() + "->" + parserOutputName()));
    letWindowPaint();
}

void VizProjekt::lexGenerationFinished(int)
{
    window_.endStep();
    popTitle();
}

void VizProjekt::yaccGenerationFinished(int)
{
    window_.endStep();
    if (kind() > vork::kLexProject)
        popTitle();
}

int VizProjekt::runGenerator(const std::function<int(vork::Sinks&)>& call)
{
    // The window stays disabled, as during any build, but its event loop
    // runs: it repaints, the generator's lines show as they come, and the
    // progress window can stop the run.
    return vork::runInBackground(call, sinks(), stopFlag());
}

void VizProjekt::executableStepStarted()
{
    addTask(texts::kExeStart);
}

void VizProjekt::showMessage(const std::string& text)
{
    addTask(text);
}

void VizProjekt::compileStarted()
{
    pushTitle(texts::kTitleCompile);
    window_.setEnabled(false);
    addTask(texts::kSeparator);
    addTask(texts::kExeGeneration + paths::fileName(getCSource()));
    window_.beginStep(q(texts::kExeGeneration + paths::fileName(getCSource())));
}

void VizProjekt::compileFinished(int exitCode)
{
    window_.endStep();
    popTitle();
    window_.setEnabled(true);
    replaceFromFile(captureFile(), true);
    // A compiler killed by a signal may have written nothing at all:
    // without this line the tab would show no sign of the failure.
    if (exitCode != 0)
        addExe(texts::compilerFailed(exitCode));
    window_.runConsole()->markCompilerLines();
    // The compiler's diagnostics join the generators' in "Chyby"; a #line
    // in the generated file makes them name the .y or .l file.
    for (const vork::Problem& p : vork::parseCompilerOutput(window_.runConsole()->compilerLines(), projectDir()))
        window_.problemView()->add(p);
    window_.problemView()->settle();
    if (exitCode == 0 && debugMode())
        loadTokenNames();
    if (exitCode != 0) {
        window_.showMessagePanel(true);
        window_.pageCtrl()->setCurrentIndex(window_.problemView()->problems().errors() > 0 ? 2 : 1);
    }
}

void VizProjekt::compileStartFailed()
{
    addExe(texts::kCompilerStartFailedHead + configuration().cCompilerPath + texts::kCompilerStartFailedTail);
    window_.showMessagePanel(true);
    window_.pageCtrl()->setCurrentIndex(1);
}

void VizProjekt::runStarted()
{
    pushTitle(texts::kTitleRun);
    window_.setCommandsEnabled(kRunLockedCommands, false);
    window_.setCommandsEnabled(kHaltCommands, true);
    // The output of an earlier run gives way to this one's; the C
    // compiler's lines stay above it.
    window_.runConsole()->beginRun();
    window_.runConsole()->setInputEnabled(true);
    window_.showMessagePanel(true);
    if (debugMode()) {
        GuiDebugSession& session = window_.debugSession();
        session.beginRun(titles_.back().toStdString());
        // The parser was just generated from this grammar: its automaton
        // names what the run reports.
        duq_yacc::Automaton automaton;
        if (kind() != kLexProject && duq_yacc::build_automaton(yaccSpecFile(), automaton, nullptr, configuration().largeTables ? 1 : 0))
            session.setGrammarNames(debuglink::GrammarNames(std::move(automaton)));
        else
            session.setGrammarNames(debuglink::GrammarNames());
        session.setScannerRules(debuglink::ScannerRules::read(lexSpecFile(), configuration().largeTables),
                                kind() == kLexProject);
        commThread_ = std::make_unique<debuglink::KomunVlakno>(session, debuglink::DisplayCall::MainThread);
        window_.pageCtrl()->setCurrentIndex(3);
    } else {
        window_.pageCtrl()->setCurrentIndex(1);
    }
    addTask(texts::kRunStarted);
}

void VizProjekt::runOutput(const std::string& line)
{
    window_.runConsole()->addRunLine(q(line));
}

void VizProjekt::endDebugThread()
{
    if (!commThread_)
        return;
    // Resumes a stopped worker, asks it to end and waits for its loop,
    // running the displays it still asks for.
    commThread_->finish();
    commThread_.reset();
}

void VizProjekt::runFinished(int)
{
    window_.runConsole()->runEnded();
    popTitle();
    window_.setCommandsEnabled(kRunLockedCommands, true);
    window_.setCommandsEnabled(kHaltCommands, false);
    window_.runConsole()->setInputEnabled(false);
    if (debugMode()) {
        endDebugThread();
        window_.debugSession().programEnded();
    }
    if (kind() == vork::kGeneralProject)
        window_.setCommandsEnabled(kJalCommands, true);
}

void VizProjekt::runStartFailed()
{
    addExe(texts::kRunStartFailedHead + executableName() + texts::kRunStartFailedTail);
    window_.showMessagePanel(true);
    window_.pageCtrl()->setCurrentIndex(1);
}

void VizProjekt::jalStarted()
{
    window_.showMessagePanel(true);
    window_.pageCtrl()->setCurrentIndex(0);
    addTask(texts::kSeparator);
    addTask(texts::kJalGeneration);
}

void VizProjekt::jalFinished()
{
    replaceFromFile(jalMessageFile(), false);
}

void VizProjekt::debugModeChanged()
{
    window_.action("HM_PrjLadiaciRezim")->setChecked(debugMode());
    window_.setDebugControls(debugMode());
}

void VizProjekt::stepCommand(debuglink::StepCommand command)
{
    if (commThread_ && !commThread_->loopEnded())
        commThread_->stepCommand(command);
}

void VizProjekt::resumeStepping()
{
    if (commThread_ && !commThread_->loopEnded() && window_.debugSession().commands().isEnabled("HM_AfterLexJed")) {
        window_.debugSession().showRunning();
        commThread_->resume();
    }
}

} // namespace vork::shell
