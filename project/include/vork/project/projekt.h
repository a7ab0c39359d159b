// Projekt: one open project without any window.  It holds the data, reads
// and writes the project file, and is where the make engine and the
// process runner live; the GUI's VizProjekt derives from it and the
// headless runner drives it directly.
#pragma once

#include "vork/error_list.h"
#include "vork/project/argument_history.h"
#include "vork/project/build_record.h"
#include "vork/project/configuration.h"
#include "vork/project/generators.h"
#include "vork/project/project_kind.h"
#include "vork/project/project_lock.h"
#include "vork/project/project_ui.h"
#include "vork/project/skeletons.h"

#include <QObject>
#include <QTimer>

class QSocketNotifier;

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vork {

class ChildProcess;

class Projekt : public QObject {
    Q_OBJECT

public:
    // Opens projectFile, or creates it.  A missing file gets the new-file
    // templates when createNew is set; otherwise the user is asked whether
    // to create it.  A source already there is kept (creationMessages()).
    // Throws ProjectError with the text to show ("Chyba pri otváraní
    // projekt súboru ", "Zlý formát projekt súboru ", "Nie je možné
    // vytvoriť súbor ") or a cancellation ("Projekt zruseny! ").  A
    // relative projectFile is taken against the current directory.  ui
    // must outlive the project: the destructor may report a failed save.
    // A project file that exists but is not a regular file (a directory, a
    // device) is refused with the open message, one larger than the format
    // holds with the format message.  With waitForLock, an instance that
    // finds the project open elsewhere waits until it is closed instead of
    // opening it read-only.
    Projekt(const std::string& projectFile, bool createNew, ProjectUi& ui, QObject* parent = nullptr,
            bool waitForLock = false);
    // Saves the project file (while loaded).
    ~Projekt() override;

    Projekt(const Projekt&) = delete;
    Projekt& operator=(const Projekt&) = delete;

    // Writes the project file when the project was loaded.  A failure is
    // shown through the ProjectUi ("Nie je možné zapísať projekt súbor ")
    // and leaves the old file as it was.
    bool save();
    // Whether the destructor saves; the headless "--info" turns it off so
    // that a look at a project does not rewrite it.
    void setSaveOnClose(bool save) { saveOnClose_ = save; }
    // Another environment had the project open when this one opened it:
    // the user was told, and neither the project file nor the argument
    // history is written by this one (save() says so and refuses), so the
    // other's saves are never overwritten with older data.
    bool readOnly() const { return lock_ && lock_->heldElsewhere(); }

    // The steps of putting an opened project to use, shared by the GUI and
    // the headless runner: in debug mode the token names are read, or the
    // parser is marked for regeneration when the token file is missing;
    // then the argument history is loaded.
    void openForUse();
    // Saves and empties the argument history.
    void closeForUse();

    // Member files.  addFile takes a path against the current directory,
    // ignores one already listed or naming the lex or yacc specification,
    // and refuses a member the project file could not hold (a 256th one,
    // or one whose relative path is longer than a line may be).
    bool addFile(const std::string& path);
    void removeFile(int index);
    int fileCount() const { return static_cast<int>(memberFiles_.size()); }
    const std::string& fileAt(int index) const { return memberFiles_.at(static_cast<size_t>(index)); }
    const std::vector<std::string>& memberFiles() const { return memberFiles_; }

    // The file given to the external C compiler.
    void setCSource(const std::string& path);
    void setDefaultCSource();
    bool isDefaultCSource() const { return defaultCSource_; }
    const std::string& getCSource() const { return cSourceFile_; }

    void loadTokenNames();
    const std::vector<std::string>& tokenNames() const { return tokenNames_; }

    // cSourceFile without its extension, followed by ".exe".
    std::string executableName() const;

    ProjectKind kind() const { return kind_; }

    // What the construction has to tell besides success: one line for each
    // source that a new project found already there and kept ("Súbor calc.l
    // už existuje, ponechaný bez zmeny.").  Empty when a project file was
    // read.  The view shows them in its message list.
    const std::vector<std::string>& creationMessages() const { return creationMessages_; }

    const std::string& projectFile() const { return projectFile_; }
    const std::string& baseName() const { return baseName_; }
    const std::string& projectDir() const { return projectDir_; }
    const std::string& lexSpecFile() const { return lexSpecFile_; }
    const std::string& yaccSpecFile() const { return yaccSpecFile_; }
    const std::string& lexOutputFile() const { return lexOutputFile_; }
    const std::string& parserOutputFile() const { return parserOutputFile_; }
    const std::string& lexSpecName() const { return lexSpecName_; }
    const std::string& yaccSpecName() const { return yaccSpecName_; }
    const std::string& lexOutputName() const { return lexOutputName_; }
    const std::string& parserOutputName() const { return parserOutputName_; }
    const std::string& messageFile() const { return messageFile_; }
    const std::string& tokenFile() const { return tokenFile_; }
    const std::string& tokenFileName() const { return tokenFileName_; }
    const std::string& stateFile() const { return stateFile_; }
    const std::string& stateFileName() const { return stateFileName_; }

    int32_t lexStamp() const { return lexStamp_; }
    int32_t yaccStamp() const { return yaccStamp_; }
    void setLexStamp(int32_t stamp) { lexStamp_ = stamp; }
    void setYaccStamp(int32_t stamp) { yaccStamp_ = stamp; }

    bool debugMode() const { return debugMode_; }
    void setDebugMode(bool on) { debugMode_ = on; }
    bool alwaysCompile() const { return alwaysCompile_; }
    void setAlwaysCompile(bool on) { alwaysCompile_ = on; }

    const std::string& runArguments() const { return runArguments_; }
    void setRunArguments(const std::string& args) { runArguments_ = args; }
    const std::string& jalArgument() const { return jalArgument_; }
    void setJalArgument(const std::string& arg) { jalArgument_ = arg; }

    bool loaded() const { return loaded_; }

    ArgumentHistory& argumentHistory() { return argumentHistory_; }
    // The error list of this project's builds; its items name lexSpecFile
    // and yaccSpecFile.
    ListSinks& sinks() { return sinks_; }
    const ListSinks& sinks() const { return sinks_; }

    // runArguments cut at its first '.', followed by ".jal".
    static std::string jalArgumentFor(const std::string& runArguments);

    // ---- Make engine ------------------------------------------------------
    // Result of one generation step.
    enum StepResult { kStepGenerated = 0, kStepFailed = 1, kStepUpToDate = 2 };
    // The four generation commands.
    enum BuildMode { kBuild = 0, kRebuild = 1, kGenerateLex = 2, kGenerateYacc = 3 };
    // Result of build(): 0 something generated, 2 everything up to date,
    // 3 a step failed; modes 2 and 3 give their step's result (0 or 1).
    enum BuildResult { kBuildDone = 0, kBuildStepFailed = 1, kBuildUpToDate = 2, kBuildFailed = 3 };
    // Result of make().
    enum MakeResult { kMakeUpToDate = 2, kMakeFailed = 3, kMakeNoCompiler = 4, kMakeCompiling = 5 };
    // What build(), make(), remake() and run() return, having done nothing,
    // in an instance that opened the project read-only: another one holds
    // it and may be building in the same directory.
    static constexpr int kRefusedReadOnly = 7;
    // What they return, having done nothing, while another project of the
    // same directory is building: every project there writes the scanner
    // output "lexyy.cpp", and two builds at once would compile one project
    // with the other's scanner.
    // (Opened with waitForLock, an instance waits for that build instead.)
    static constexpr int kRefusedBusy = 8;
    // The lock file a build holds in its project directory from its first
    // generation to the end of its compile.
    static std::string directoryLockFile(const std::string& projectDir);
    // compileState().
    enum CompileState { kCompiling = 0, kCompileFailed = 1, kCompileSucceeded = 2 };

    int build(int mode);
    int make();
    // Forgets both stamps, then make().
    int remake();
    void toggleDebugMode();

    // ---- Process runner ---------------------------------------------------
    // Starts the external C compiler on cSourceFile with its output in
    // messageFile; true when it runs.  Its end is seen by a poll timer.
    bool startCompile();
    // make(), then the generated compiler when the program is (or becomes)
    // up to date.  Returns make()'s result.
    int run();
    // Starts the generated compiler with runArguments.
    void runNow();
    // Ends the generated compiler; it reports kHaltedExitCode.  No effect
    // without a run in progress.
    void halt();
    // Translates jalArgument with the built-in Jal translator; true when the
    // class file was written (the view goes by the message file).
    bool runJal();

    // The file that captures the running or last compile's output: a new,
    // uniquely named file in the project directory (messageFile() + a
    // suffix), created by startCompile() and removed once its end has been
    // reported.  Empty when no compile was started.
    const std::string& captureFile() const { return captureFile_; }

    // Where the last Jal translation left its messages: a file of its own
    // in the project directory ("jaltemp-XXXXXX.tmp"); "" when there is none.
    std::string jalMessageFile() const;

    // The generated compiler's own streams.  With capture on (the IDE), its
    // standard output and standard error come back line by line through
    // runOutput() and writeRunInput() feeds its standard input; with it off
    // (headless), it shares the environment's streams.
    void setCaptureRunOutput(bool on) { captureRunOutput_ = on; }
    // Sends text to the running program's standard input; false when there
    // is no run or it no longer reads.
    bool writeRunInput(const std::string& text);
    // Ends the program's standard input (it reads end of file).
    void closeRunInput();
    bool runInputOpen() const { return runInFd_ >= 0; }

    // "Zastaviť": a generator running for this project stops at its next
    // check and removes what it created; a running C compile is killed.
    // The build or compile then ends as a failure and the log says it was
    // stopped.  The next build starts afresh.
    void requestStop();
    bool stopRequested() const { return stop_.load(); }
    // A generator is running (a view runs them in the background).
    bool generating() const { return generating_; }

    int compileState() const { return compileState_; }
    // A compile or a run is in progress (a poll timer is armed).
    bool busy() const;
    bool running() const;

    // The global settings the generators and the compile take their options
    // from, the skeletons, and the translators.  Defaults: the built-in
    // configuration values, the installed skeletons, the built-in
    // generators.
    void setConfiguration(const Configuration& config) { config_ = config; }
    const Configuration& configuration() const { return config_; }
    void setSkeletons(const SkeletonPaths& skeletons) { skeletons_ = skeletons; }
    const SkeletonPaths& skeletons() const { return skeletons_; }
    void setGenerators(Generators& generators) { generators_ = &generators; }

    // Poll interval of the three timers.
    static constexpr int kPollMs = 200;

protected:
    ProjectUi& ui() { return ui_; }

    // ---- Notifications ----------------------------------------------------
    // Every step of the engine and the runner is reported here, in this
    // order of declaration.  The bodies do nothing: a view overrides what it
    // shows.  (They are not pure so that a Projekt without a view, and one
    // being destroyed, stay usable.)
    virtual void buildStarted() {}
    virtual void buildFinished(int /*result*/) {}
    virtual void lexStepStarted() {}
    virtual void yaccStepStarted() {}
    virtual void lexStepFinished(int /*result*/) {}
    virtual void yaccStepFinished(int /*result*/) {}
    virtual void lexGenerationStarted() {}
    virtual void yaccGenerationStarted() {}
    virtual void lexGenerationFinished(int /*status*/) {}
    virtual void yaccGenerationFinished(int /*status*/) {}
    virtual void compileFinished(int /*exitCode*/) {}
    virtual void runStarted() {}
    virtual void runFinished(int /*exitCode*/) {}
    virtual void debugModeChanged() {}
    virtual void executableStepStarted() {}
    virtual void compileStartFailed() {}
    virtual void runStartFailed() {}
    virtual void compileStarted() {}
    virtual void jalStarted() {}
    virtual void jalFinished() {}
    virtual void showMessage(const std::string& /*text*/) {}
    // One line the generated compiler wrote (capture on), without its line
    // end; a last line without one comes when the program has ended.
    virtual void runOutput(const std::string& /*line*/) {}

    // Runs one generator call with the sinks it is to report to.  Here it
    // runs at once on this thread; a window runs it on a worker thread and
    // keeps its event loop going meanwhile.
    virtual int runGenerator(const std::function<int(Sinks&)>& call) { return call(sinks_); }
    const std::atomic<bool>& stopFlag() const { return stop_; }

    // Stops the three poll timers; the destructor does it first of all.
    void stopTimers();

private:
    void readProjectFile();

    // build() and make() once the directory's build lock is held.
    int buildLocked(int mode);
    int makeLocked();
    int scannerStep(bool forced);
    int parserStep(bool forced);
    // The settings that shape each generator's output, as kept in the
    // build record.
    enum { kLargeTables = 1, kOptimisedScanner = 2, kCodedParser = 4 };
    int scannerOptions() const;
    int parserOptions() const;
    int scannerGeneration(int32_t stamp);
    int parserGeneration(int32_t stamp);
    void deleteExecutable();
    // A generated file that is a symbolic link leading out of the project
    // directory (or to nothing there) loses the link before its generator
    // runs, which would otherwise write through it.
    void unlinkIfLeadingOut(const std::string& path) const;
    // A build in an instance without the project's lock is refused with a
    // message.
    bool mayBuild();
    // Takes the project directory's build lock unless this instance holds
    // it already; false, with a message, when another build holds it.
    bool takeDirectoryLock();
    void releaseDirectoryLock() { directoryLock_.reset(); }
    bool holdsDirectoryLock() const { return directoryLock_ != nullptr; }
    // The executable as a path (relative C sources are taken against the
    // project directory).
    std::string executablePath() const;
    // Whether path lies in the project directory (links resolved), where
    // the build may write and delete.
    bool insideProject(const std::string& path) const;
    void loadBuildRecord();
    void saveBuildRecord();
    void removeCaptureFile();

    void setUpTimers();
    void onCompileTimer();
    void onRunAfterCompileTimer();
    void onRunTimer();
    bool openRunStreams(int& childOut, int& childIn);
    void readRunOutput(bool toEnd);
    void closeRunStreams();

    ProjectUi& ui_;
    ProjectKind kind_;
    std::unique_ptr<ProjectLock> lock_;
    bool waitForLock_ = false;
    // Held by a build or make of this instance (a make keeps it until its
    // compile has ended).
    std::unique_ptr<ProjectLock> directoryLock_;

    std::string projectFile_;
    std::string baseName_;
    std::string lexSpecFile_;
    std::string yaccSpecFile_;
    std::string lexOutputFile_;
    std::string parserOutputFile_;
    std::string lexSpecName_;
    std::string yaccSpecName_;
    std::string lexOutputName_;
    std::string parserOutputName_;
    std::string messageFile_;
    std::string tokenFile_;
    std::string tokenFileName_;
    std::string stateFile_;
    std::string stateFileName_;
    int32_t lexStamp_ = -1;
    int32_t yaccStamp_ = -1;
    bool debugMode_ = false;
    std::string runArguments_;
    std::string jalArgument_;
    std::string jalMessageName_;  // of the last translation, relative to projectDir_
    bool loaded_ = false;
    bool saveOnClose_ = true;
    bool defaultCSource_ = true;
    std::string cSourceFile_;
    std::vector<std::string> memberFiles_;
    std::vector<std::string> tokenNames_;
    std::string projectDir_;
    bool alwaysCompile_ = false;
    std::vector<std::string> creationMessages_;
    BuildRecord record_;
    std::string captureFile_;

    ArgumentHistory argumentHistory_;
    ListSinks sinks_;

    Configuration config_;
    SkeletonPaths skeletons_ = SkeletonPaths::fromDataFiles();
    Generators* generators_ = &builtInGenerators();
    QTimer compileTimer_;
    QTimer runAfterCompileTimer_;
    QTimer runTimer_;
    int compileState_ = kCompileFailed;
    std::unique_ptr<ChildProcess> compilerProcess_;
    std::unique_ptr<ChildProcess> runProcess_;
    bool captureRunOutput_ = false;
    int runOutFd_ = -1;
    int runInFd_ = -1;
    std::string runOutPending_;
    QSocketNotifier* runOutNotifier_ = nullptr;
    std::atomic<bool> stop_{false};
    bool generating_ = false;
};

} // namespace vork
