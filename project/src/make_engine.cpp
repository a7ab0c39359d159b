// The make engine: which generation is due, the generator calls, and the
// make decision.  Every step is reported through the notifications.
#include "vork/project/projekt.h"

#include "vork/project/build_texts.h"
#include "vork/project/current_directory.h"
#include "vork/project/stamp.h"

#include <unistd.h>

namespace vork {

int Projekt::build(int mode)
{
    stop_ = false;
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

int Projekt::scannerStep(bool forced)
{
    lexStepStarted();
    const int32_t t = fileStamp(lexSpecFile_);
    int result;
    if (!forced && t == lexStamp_ && fileExists(lexOutputFile_))
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
    if (!forced && t == yaccStamp_ && fileExists(parserOutputFile_))
        result = kStepUpToDate;
    else
        result = parserGeneration(t);
    yaccStepFinished(result);
    return result;
}

int Projekt::scannerGeneration(int32_t stamp)
{
    lexGenerationStarted();
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
    int status;
    {
        CurrentDirectory inProject(projectDir_);
        int tokenCount = 0;  // the engine has no use for it
        generating_ = true;
        status = runGenerator([&](Sinks& sinks) {
            return generators_->yaccRun(sinks, skeletons_.parser(debugMode_), yaccSpecName_, parserOutputName_,
                                        debugMode_ ? 1 : 0, &tokenCount, config_.slovakMessages ? 1 : 0,
                                        tokenFileName_, stateFileName_, config_.largeTables ? 1 : 0);
        });
        generating_ = false;
    }
    if (status == kStepGenerated)
        yaccStamp_ = stamp;
    deleteExecutable();
    status = status == 0 ? kStepGenerated : kStepFailed;
    yaccGenerationFinished(status);
    return status;
}

void Projekt::deleteExecutable()
{
    ::unlink(executableName().c_str());
}

int Projekt::make()
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
    if (result == kBuildUpToDate && fileExists(executableName()) && !alwaysCompile_) {
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
