#include "vork/project/headless_projekt.h"

#include "vork/project/atomic_file.h"
#include "vork/project/build_texts.h"
#include "vork/project/paths.h"
#include "vork/project/stamp.h"

#include <QEventLoop>
#include <QTimer>

#include <unistd.h>

namespace vork {

namespace {

// The main window's title with a project open.
const char* const kAppTitle = "VORK 1.5";

} // namespace

HeadlessProjekt::HeadlessProjekt(const std::string& projectFile, bool createNew, ProjectUi& ui, std::FILE* out,
                                 std::FILE* err, bool waitForLock)
    : Projekt(projectFile, createNew, ui, nullptr, waitForLock), out_(out), err_(err)
{
    haltTimer_.setSingleShot(true);
    QObject::connect(&haltTimer_, &QTimer::timeout, this, [this] { halt(); });
    title_ = std::string(kAppTitle) + " - " + paths::fileName(baseName());
    sinks().onMessage = [this](const std::string& line) { addTask(line); };
    sinks().onError = [this](const std::string& item) {
        if (err_) {
            std::fprintf(err_, "%s\n", item.c_str());
            std::fflush(err_);
        }
    };
}

void HeadlessProjekt::addTask(const std::string& line)
{
    taskList_.push_back(line);
    if (out_) {
        std::fprintf(out_, "%s\n", line.c_str());
        std::fflush(out_);
    }
}

void HeadlessProjekt::addExe(const std::string& line)
{
    exeList_.push_back(line);
    if (out_) {
        std::fprintf(out_, "%s\n", line.c_str());
        std::fflush(out_);
    }
}

void HeadlessProjekt::pushTitle(const char* marker)
{
    titles_.push_back(title_);
    title_ += marker;
    if (showTitles_ && out_)
        std::fprintf(out_, "titulok: %s\n", title_.c_str());
}

void HeadlessProjekt::popTitle()
{
    if (titles_.empty())
        return;
    title_ = titles_.back();
    titles_.pop_back();
    if (showTitles_ && out_)
        std::fprintf(out_, "titulok: %s\n", title_.c_str());
}

void HeadlessProjekt::replaceFromFile(const std::string& path, std::vector<std::string>& list)
{
    std::string bytes;
    if (path.empty() || !readWholeFile(path, bytes, kMaxCaptureBytes))
        return;
    list.clear();
    for (const std::string& line : splitLines(bytes)) {
        if (&list == &exeList_)
            addExe(line);
        else
            addTask(line);
    }
    ::unlink(path.c_str());
}

void HeadlessProjekt::buildStarted()
{
    // The error list, its table and the counters start afresh; the
    // message list is emptied.
    sinks().resetForBuild();
    taskList_.clear();
    addTask(texts::kBuildStart);
}

void HeadlessProjekt::buildFinished(int result)
{
    if (result == kBuildUpToDate)
        addTask(texts::kAllUpToDate);
}

void HeadlessProjekt::lexGenerationStarted()
{
    pushTitle(texts::kTitleLex);
    addTask(texts::kSeparator);
    addTask(texts::kLexGeneration + lexSpecName() + "->" + lexOutputName());
}

void HeadlessProjekt::yaccGenerationStarted()
{
    // A LEX project has no grammar: its parser step is not logged.
    if (kind() > kLexProject) {
        pushTitle(texts::kTitleYacc);
        addTask(texts::kSeparator);
        addTask(texts::kYaccGeneration + yaccSpecName() + "->" + parserOutputName());
    }
}

void HeadlessProjekt::lexGenerationFinished(int)
{
    popTitle();
}

void HeadlessProjekt::yaccGenerationFinished(int)
{
    if (kind() > kLexProject)
        popTitle();
}

void HeadlessProjekt::executableStepStarted()
{
    addTask(texts::kExeStart);
}

void HeadlessProjekt::showMessage(const std::string& text)
{
    addTask(text);
}

void HeadlessProjekt::compileStarted()
{
    pushTitle(texts::kTitleCompile);
    addTask(texts::kSeparator);
    addTask(texts::kExeGeneration + paths::fileName(getCSource()));
}

void HeadlessProjekt::compileFinished(int exitCode)
{
    popTitle();
    lastCompileExitCode_ = exitCode;
    replaceFromFile(captureFile(), exeList_);
    if (exitCode != 0)
        addExe(texts::compilerFailed(exitCode));
    if (exitCode == 0 && debugMode())
        loadTokenNames();
}

void HeadlessProjekt::compileStartFailed()
{
    addExe(texts::kCompilerStartFailedHead + configuration().cCompilerPath + texts::kCompilerStartFailedTail);
}

void HeadlessProjekt::runStarted()
{
    pushTitle(texts::kTitleRun);
    if (debugMode() && debugHooks_)
        debugHooks_->debugRunStarted(*this);
    addTask(texts::kRunStarted);
    if (haltAfterMs_ >= 0)
        haltTimer_.start(haltAfterMs_);
}

void HeadlessProjekt::runFinished(int exitCode)
{
    haltTimer_.stop();
    popTitle();
    lastRunExitCode_ = exitCode;
    if (debugMode() && debugHooks_)
        debugHooks_->debugRunFinished(*this, exitCode);
}

void HeadlessProjekt::runStartFailed()
{
    runStartFailed_ = true;
    addExe(texts::kRunStartFailedHead + executableName() + texts::kRunStartFailedTail);
}

void HeadlessProjekt::jalStarted()
{
    addTask(texts::kSeparator);
    addTask(texts::kJalGeneration);
}

void HeadlessProjekt::jalFinished()
{
    replaceFromFile(jalMessageFile(), taskList_);
}

void HeadlessProjekt::waitUntilIdle()
{
    if (!busy())
        return;
    QEventLoop loop;
    QTimer check;
    check.setInterval(20);
    QObject::connect(&check, &QTimer::timeout, &loop, [this, &loop] {
        if (!busy())
            loop.quit();
    });
    check.start();
    loop.exec();
}

} // namespace vork
