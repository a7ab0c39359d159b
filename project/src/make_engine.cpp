// The make engine: which generation is due, the generator calls, and the
// make decision.  Every step is reported through the notifications.
#include "vork/project/projekt.h"

#include "vork/project/build_texts.h"
#include "vork/project/current_directory.h"
#include "vork/project/paths.h"
#include "vork/project/stamp.h"
#include "vork/project/texts.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace vork {

bool Projekt::mayBuild()
{
    if (!readOnly())
        return true;
    // Another instance holds the project and may be generating and
    // compiling in this very directory: two builds at once overwrite each
    // other's files.
    ui_.showMessage(texts::kBuildLockedHead + projectFile_ + texts::kBuildLockedTail, texts::kCaption,
                    ProjectUi::Icon::Warning);
    return false;
}

std::string Projekt::directoryLockFile(const std::string& projectDir)
{
    return ProjectLock::fileFor(paths::absolute(".vork-build", projectDir));
}

bool Projekt::takeDirectoryLock()
{
    if (directoryLock_)
        return true;
    // ProjectLock adds ".lock" to the name it guards.
    auto lock = std::make_unique<ProjectLock>(paths::absolute(".vork-build", projectDir_), waitForLock_);
    if (lock->heldElsewhere()) {
        ui_.showMessage(texts::kDirectoryBusyHead + projectDir_ + texts::kDirectoryBusyTail, texts::kCaption,
                        ProjectUi::Icon::Warning);
        return false;
    }
    // A directory without room for the lock file guards nothing, but the
    // build there fails on its own outputs anyway.
    directoryLock_ = std::move(lock);
    return true;
}

int Projekt::build(int mode)
{
    if (!mayBuild())
        return kRefusedReadOnly;
    // A build inside a make runs under the make's lock; one of its own
    // holds it just while it generates.
    const bool ownLock = !holdsDirectoryLock();
    if (!takeDirectoryLock())
        return kRefusedBusy;
    const int result = buildLocked(mode);
    if (ownLock)
        releaseDirectoryLock();
    return result;
}

int Projekt::buildLocked(int mode)
{
    stop_ = false;
    loadBuildRecord();
    buildStarted();
    CurrentDirectory inProject(projectDir_);

    int result = kBuildDone;
    switch (mode) {
    case kBuild:
    case kRebuild: {
        const bool forced = mode == kRebuild;
        // The parser step runs even after a failed scanner step, so that
        // one build reports the errors of both files.
        const int lex = scannerStep(forced);
        // A stop ends the whole build, not just the step it came in.
        const int yacc = stop_ ? static_cast<int>(kStepFailed) : parserStep(forced);
        if (!forced && lex == kStepUpToDate && yacc == kStepUpToDate)
            result = kBuildUpToDate;
        else if (lex == kStepFailed || yacc == kStepFailed)
            result = kBuildFailed;
        else
            result = kBuildDone;
        break;
    }
    case kGenerateLex:
        result = scannerStep(true);
        break;
    case kGenerateYacc:
        result = parserStep(true);
        break;
    default:
        // Not a build command: nothing runs and nothing is up to date.
        result = kBuildFailed;
        break;
    }

    buildFinished(result);
    if (stop_ && (result == kBuildStepFailed || result == kBuildFailed))
        showMessage(texts::kStopped);
    else if (result == kBuildStepFailed || result == kBuildFailed)
        showMessage(texts::kParserError);
    return result;
}

int Projekt::scannerOptions() const
{
    return (config_.largeTables ? kLargeTables : 0) | (config_.scannerOptimisation ? kOptimisedScanner : 0);
}

int Projekt::parserOptions() const
{
    // A debug build always walks the tables, whatever the setting says.
    return (config_.largeTables ? kLargeTables : 0) | (config_.fastParser && !debugMode_ ? kCodedParser : 0);
}

int Projekt::scannerStep(bool forced)
{
    lexStepStarted();
    const int32_t t = fileStamp(lexSpecFile_);
    int result;
    // The stamp moves only every two seconds, and "lexyy.cpp" is shared by
    // every project of the directory: the scanner is also due when the
    // specification changed since it was read, to the nanosecond, or when
    // "lexyy.cpp" is not the file this project's generation left.  (A
    // missing specification never recorded: the output is taken as it is.)
    if (!forced && t == lexStamp_ && fileExists(lexOutputFile_) &&
        (t == kNoStamp ||
         (stepCurrent(record_.scanner, lexSpecFile_, lexOutputFile_) && record_.scanner.options == scannerOptions())))
        result = kStepUpToDate;
    else
        result = scannerGeneration(t);
    lexStepFinished(result);
    return result;
}

int Projekt::parserStep(bool forced)
{
    yaccStepStarted();
    const int32_t t = fileStamp(yaccSpecFile_);
    int result;
    // A setting that shapes the parser, changed since, makes it due too:
    // the user who ticks "Rýchly parser" expects the next make to use it.
    if (!forced && t == yaccStamp_ && fileExists(parserOutputFile_) &&
        (t == kNoStamp ||
         (stepCurrent(record_.parser, yaccSpecFile_, parserOutputFile_) && record_.parser.options == parserOptions())))
        result = kStepUpToDate;
    else
        result = parserGeneration(t);
    yaccStepFinished(result);
    return result;
}

void Projekt::unlinkIfLeadingOut(const std::string& path) const
{
    // The generators open their outputs the ordinary way, following a
    // link: one planted as lexyy.cpp or calc.cpp would have the build
    // overwrite a file elsewhere (or create one, through a dangling link).
    // A link within the project directory is the project's own and stays.
    // A link to a file not made yet is judged by where that file would be,
    // its chain followed by hand.
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        const bool inside = insideProject(real);
        std::free(real);
        if (!inside)
            ::unlink(path.c_str());
        return;
    }
    std::string end = path;
    bool resolved = false;
    for (int hop = 0; hop < 40; ++hop) {
        if (::lstat(end.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = true;
            break;
        }
        char target[4096];
        const ssize_t n = ::readlink(end.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof target)
            break;
        end = paths::absolute(std::string(target, static_cast<size_t>(n)), paths::directory(end));
    }
    if (resolved && insideProject(end))
        return;
    ::unlink(path.c_str());
}

int Projekt::scannerGeneration(int32_t stamp)
{
    lexGenerationStarted();
    unlinkIfLeadingOut(lexOutputFile_);
    // The time of the specification as the generator is about to read it:
    // an edit during the generation then still counts as a later one.
    const int64_t specTime = modificationTimeNs(lexSpecFile_);
    int status;
    {
        CurrentDirectory inProject(projectDir_);
        generating_ = true;
        status = runGenerator([&](Sinks& sinks) {
            return generators_->lexRun(sinks, skeletons_.scanner(debugMode_), lexSpecName_, lexOutputName_,
                                       config_.slovakMessages ? 1 : 0, config_.scannerStatistics ? 1 : 0,
                                       config_.scannerOptimisation ? 1 : 0, config_.largeTables ? 1 : 0);
        });
        generating_ = false;
    }
    if (status == kStepGenerated)
        lexStamp_ = stamp;
    record_.scanner.valid = status == kStepGenerated;
    record_.scanner.specMtimeNs = specTime;
    record_.scanner.output = identityOf(lexOutputFile_);
    record_.scanner.options = scannerOptions();
    // The program no longer matches its sources, whatever the outcome.
    deleteExecutable();
    // Anything but 0 is a failure of the step.
    status = status == 0 ? kStepGenerated : kStepFailed;
    lexGenerationFinished(status);
    return status;
}

int Projekt::parserGeneration(int32_t stamp)
{
    yaccGenerationStarted();
    unlinkIfLeadingOut(parserOutputFile_);
    unlinkIfLeadingOut(stateFile_);
    if (debugMode_)
        unlinkIfLeadingOut(tokenFile_);
    const int64_t specTime = modificationTimeNs(yaccSpecFile_);
    int status;
    {
        CurrentDirectory inProject(projectDir_);
        int tokenCount = 0;  // the engine has no use for it
        generating_ = true;
        status = runGenerator([&](Sinks& sinks) {
            return generators_->yaccRun(sinks, skeletons_.parser(debugMode_), yaccSpecName_, parserOutputName_,
                                        debugMode_ ? 1 : 0, &tokenCount, config_.slovakMessages ? 1 : 0,
                                        tokenFileName_, stateFileName_, config_.largeTables ? 1 : 0,
                                        (parserOptions() & kCodedParser) ? 1 : 0);
        });
        generating_ = false;
    }
    if (status == kStepGenerated)
        yaccStamp_ = stamp;
    record_.parser.valid = status == kStepGenerated;
    record_.parser.specMtimeNs = specTime;
    record_.parser.output = identityOf(parserOutputFile_);
    record_.parser.options = parserOptions();
    deleteExecutable();
    status = status == 0 ? kStepGenerated : kStepFailed;
    yaccGenerationFinished(status);
    return status;
}

void Projekt::deleteExecutable()
{
    // executableName() lies in the project directory (or beside a source
    // there), so nothing outside it is ever removed.
    ::unlink(executablePath().c_str());
    record_.programValid = false;
    saveBuildRecord();
}

int Projekt::make()
{
    if (!mayBuild())
        return kRefusedReadOnly;
    // Held from the first generation until the compile that reads their
    // outputs has ended (onCompileTimer lets go).
    if (!takeDirectoryLock())
        return kRefusedBusy;
    const int made = makeLocked();
    if (made != kMakeCompiling)
        releaseDirectoryLock();
    return made;
}

int Projekt::makeLocked()
{
    int result;
    if (kind_ == kLexProject) {
        result = build(kGenerateLex);
        // A LEX project always compiles the scanner output.
        cSourceFile_ = lexOutputFile_;
    } else {
        result = build(kBuild);
    }
    executableStepStarted();
    // Only the program of a compile that ended with 0 is up to date: one
    // cut off by a killed link, or written by anyone else, is made again.
    if (result == kBuildUpToDate && fileExists(executablePath()) && record_.programValid &&
        identityOf(executablePath()) == record_.program && !alwaysCompile_) {
        showMessage(texts::kProgramUpToDate);
        return kMakeUpToDate;
    }
    if (result == kBuildFailed || result == kBuildStepFailed)
        return kMakeFailed;
    if (startCompile())
        return kMakeCompiling;
    compileStartFailed();
    return kMakeNoCompiler;
}

int Projekt::remake()
{
    if (!mayBuild())
        return kRefusedReadOnly;
    // Stamps are forgotten only when this make can run at all.
    if (!takeDirectoryLock())
        return kRefusedBusy;
    lexStamp_ = kNoStamp;
    yaccStamp_ = kNoStamp;
    return make();
}

void Projekt::toggleDebugMode()
{
    lexStamp_ = kNoStamp;
    yaccStamp_ = kNoStamp;
    debugMode_ = !debugMode_;
    debugModeChanged();
}

} // namespace vork
