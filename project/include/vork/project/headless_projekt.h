// A project without a window: the notifications become terminal output.
//
// It keeps what the main window would show (the message list of the
// "Parser" tab, the "Exe prekladač" list, the error list and the window
// title) and prints each line as it appears: message-list and Exe lines to
// out, error items to err.  The `vork` program's build options and the
// pipeline tests drive it.
#pragma once

#include "vork/project/debug_run.h"
#include "vork/project/projekt.h"

#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

namespace vork {

class HeadlessProjekt : public Projekt {
public:
    // out/err may be null (nothing printed; the lists are still kept).
    // waitForLock: see Projekt.
    HeadlessProjekt(const std::string& projectFile, bool createNew, ProjectUi& ui, std::FILE* out,
                    std::FILE* err, bool waitForLock = false);

    // "Parser" tab: the build log and the generators' lines.
    const std::vector<std::string>& taskList() const { return taskList_; }
    // "Exe prekladač" tab: the C compiler's captured lines, start failures.
    const std::vector<std::string>& exeList() const { return exeList_; }
    // "Chyby" tab.
    const std::vector<std::string>& errorList() const { return sinks().errors(); }
    const std::string& title() const { return title_; }

    // Exit code of the last compile / run; -1 when none ended yet.
    int lastCompileExitCode() const { return lastCompileExitCode_; }
    int lastRunExitCode() const { return lastRunExitCode_; }
    bool runStartFailedSeen() const { return runStartFailed_; }

    // Print every title change ("titulok: ...") to out.
    void setShowTitles(bool on) { showTitles_ = on; }
    void setDebugRunHooks(DebugRunHooks* hooks) { debugHooks_ = hooks; }
    // halt() the generated compiler this long after it started; < 0: never.
    void setHaltAfter(int milliseconds) { haltAfterMs_ = milliseconds; }

    // Runs the event loop until no compile or run is in progress.  An
    // interrupt, a termination or a hang-up that would end this process
    // meanwhile first stops the compile (with all the compiler started) and
    // halts the run, and then ends the process by that signal as before.
    void waitUntilIdle();

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
    void executableStepStarted() override;
    void compileStartFailed() override;
    void runStartFailed() override;
    void compileStarted() override;
    void jalStarted() override;
    void jalFinished() override;
    void showMessage(const std::string& text) override;

private:
    void addTask(const std::string& line);
    void addExe(const std::string& line);
    void pushTitle(const char* marker);
    void popTitle();
    void replaceFromFile(const std::string& path, std::vector<std::string>& list);

    std::FILE* out_;
    std::FILE* err_;
    std::vector<std::string> taskList_;
    std::vector<std::string> exeList_;
    std::string title_;
    std::vector<std::string> titles_;
    bool showTitles_ = false;
    DebugRunHooks* debugHooks_ = nullptr;
    int lastCompileExitCode_ = -1;
    int lastRunExitCode_ = -1;
    bool runStartFailed_ = false;
    int haltAfterMs_ = -1;
    QTimer haltTimer_;
};

} // namespace vork
