// VizProjekt: the open project as the main window shows it.  Every
// notification of the make engine and the process runner lands here and
// becomes a line in a list, a title change or an enabled state; a debug
// run's communication thread lives here while the generated compiler runs.
#pragma once

#include "vork/debuglink/stepping.h"
#include "vork/project/projekt.h"
#include "vork/project/project_ui.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QListWidget;

namespace vork::debuglink {
class KomunVlakno;
}

namespace vork::shell {

class Prompter;
class TForm_Main;

// The project's questions and messages as the window's message boxes.
class PrompterUi : public vork::ProjectUi {
public:
    explicit PrompterUi(Prompter& prompter) : prompter_(prompter) {}
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void showMessage(const std::string& text, const std::string& caption, Icon icon) override;

private:
    Prompter& prompter_;
};

class VizProjekt : public vork::Projekt {
public:
    // Opens or creates the project and puts it on the window: pages for its
    // sources, the project-files list, the title, the enabled commands.
    // Throws as Projekt does; then nothing of it is left on the window.
    VizProjekt(const std::string& projectFile, bool createNew, TForm_Main& window, vork::ProjectUi& ui);
    // Takes the project off the window: title, commands, pages (each
    // modified one asks), argument history; then Projekt saves the file.
    ~VizProjekt() override;

    // The window title stack.
    void pushTitle(const QString& marker);
    void popTitle();
    int titleDepth() const { return static_cast<int>(titles_.size()); }

    // A step command of the debug run; nothing without a run.
    void stepCommand(vork::debuglink::StepCommand command);
    // Lets a stopped run go on with the step flags as they are.
    void resumeStepping();
    vork::debuglink::KomunVlakno* commThread() const { return commThread_.get(); }

    // Switching debug mode from the menu.
    using Projekt::toggleDebugMode;

protected:
    void buildStarted() override;
    void buildFinished(int result) override;
    void lexGenerationStarted() override;
    void yaccGenerationStarted() override;
    void lexGenerationFinished(int status) override;
    void yaccGenerationFinished(int status) override;
    void compileFinished(int exitCode) override;
    void runStarted() override;
    void runFinished(int exitCode) override;
    void debugModeChanged() override;
    void executableStepStarted() override;
    void compileStartFailed() override;
    void runStartFailed() override;
    void compileStarted() override;
    void jalStarted() override;
    void jalFinished() override;
    void showMessage(const std::string& text) override;
    void runOutput(const std::string& line) override;
    int runGenerator(const std::function<int(vork::Sinks&)>& call) override;

private:
    void addTask(const std::string& line);
    void addExe(const std::string& line);
    void replaceFromFile(const std::string& path, bool exeList);
    void letWindowPaint();
    // The grammar's reported conflicts as warnings on their rules' lines.
    void addConflictProblems();
    void endDebugThread();

    TForm_Main& window_;
    std::vector<QString> titles_;
    std::unique_ptr<vork::debuglink::KomunVlakno> commThread_;
    bool scrollTask_ = false;
};

} // namespace vork::shell
