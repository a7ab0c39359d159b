#include "vork/project/projekt.h"

#include "vork/project/atomic_file.h"
#include "vork/project/child_process.h"
#include "vork/project/paths.h"
#include "vork/project/project_error.h"
#include "vork/project/project_file.h"
#include "vork/project/stamp.h"
#include "vork/project/templates.h"
#include "vork/project/texts.h"
#include "vork/project/token_names.h"

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

namespace vork {

namespace {

const char* const kLexOutputName = "lexyy.cpp";
const char* const kMessageFileName = "temp.spr";

} // namespace

Projekt::Projekt(const std::string& projectFile, bool createNew, ProjectUi& ui, QObject* parent,
                 bool waitForLock)
    : QObject(parent), ui_(ui), kind_(projectKindOf(projectFile)), waitForLock_(waitForLock)
{
    setUpTimers();
    if (projectFile.empty() || projectFile.back() == '/')
        throw ProjectError(ProjectError::Kind::Io, texts::kOpenFailed + projectFile);
    // Every other path hangs off the project file, so it is made absolute
    // first: a relative name would leave the project without a directory.
    projectFile_ = paths::absolute(projectFile, paths::currentDirectory());
    baseName_ = paths::stripExtension(projectFile_);
    projectDir_ = paths::directory(projectFile_);
    lexSpecFile_ = baseName_ + ".l";
    yaccSpecFile_ = baseName_ + ".y";
    lexOutputFile_ = projectDir_ + kLexOutputName;
    parserOutputFile_ = baseName_ + ".cpp";
    lexSpecName_ = paths::fileName(lexSpecFile_);
    yaccSpecName_ = paths::fileName(yaccSpecFile_);
    lexOutputName_ = paths::fileName(lexOutputFile_);
    parserOutputName_ = paths::fileName(parserOutputFile_);
    messageFile_ = projectDir_ + kMessageFileName;
    tokenFile_ = baseName_ + ".lex";
    tokenFileName_ = paths::fileName(tokenFile_);
    stateFile_ = baseName_ + ".stv";
    stateFileName_ = paths::fileName(stateFile_);
    cSourceFile_ = parserOutputFile_;
    sinks_.setFiles(lexSpecFile_, yaccSpecFile_);

    // A name that is there but is no regular file (a directory named like a
    // project, a link to a device) can be neither read nor saved.
    struct stat st;
    const bool present = ::stat(projectFile_.c_str(), &st) == 0;
    if (present && !S_ISREG(st.st_mode))
        throw ProjectError(ProjectError::Kind::Io, texts::kOpenFailed + projectFile_);

    // Taken before the file is read, so that the data this instance holds
    // is never older than what a lock holder may have saved before it.
    lock_ = std::make_unique<ProjectLock>(projectFile_, waitForLock);
    if (present) {
        readProjectFile();
    } else {
        if (!createNew &&
            !ui_.askYesNo(texts::kAskCreateHead + projectFile_ + texts::kAskCreateTail, texts::kNotice))
            throw ProjectError(ProjectError::Kind::Cancelled, texts::kCancelled);
        if (readOnly())
            throw ProjectError(ProjectError::Kind::Io, texts::kLockedHead + projectFile_ + texts::kLockedTail);
        for (const std::string& kept : writeTemplates(kind_, lexSpecFile_, yaccSpecFile_, lexOutputName_))
            creationMessages_.push_back(texts::kKeptHead + paths::fileName(kept) + texts::kKeptTail);
    }
    // A LEX project has no parser: it always compiles the scanner output.
    // The path is kept absolute so that the compile and the run find it
    // from any directory.
    if (kind_ == kLexProject)
        cSourceFile_ = lexOutputFile_;
    loaded_ = true;
    if (readOnly())
        ui_.showMessage(texts::kLockedHead + projectFile_ + texts::kLockedTail, texts::kCaption,
                        ProjectUi::Icon::Warning);
}

Projekt::~Projekt()
{
    // No poll may run into a half-destroyed project.
    stopTimers();
    closeRunStreams();
    removeCaptureFile();
    // A read-only project was told so when it opened; closing it says
    // nothing more.
    if (saveOnClose_ && !readOnly())
        save();
}

void Projekt::readProjectFile()
{
    std::string bytes;
    switch (readRegularFile(projectFile_, bytes, kMaxProjectFileBytes)) {
    case ReadStatus::Ok:
        break;
    case ReadStatus::TooLarge:
        // More than 255 members of 254 characters: no project file.
        throw ProjectError(ProjectError::Kind::Io, texts::kBadFormat + projectFile_);
    default:
        throw ProjectError(ProjectError::Kind::Io, texts::kOpenFailed + projectFile_);
    }
    ProjectFileData data;
    if (!parseProjectFile(bytes, data))
        throw ProjectError(ProjectError::Kind::Io, texts::kBadFormat + projectFile_);

    lexStamp_ = data.lexStamp;
    yaccStamp_ = data.yaccStamp;
    debugMode_ = data.debugMode;
    defaultCSource_ = data.defaultCSource;
    alwaysCompile_ = data.alwaysCompile;
    runArguments_ = data.runArguments;
    jalArgument_ = jalArgumentFor(runArguments_);
    // Stored paths are relative to the project directory.
    for (const std::string& m : data.memberFiles)
        memberFiles_.push_back(paths::absolute(m, projectDir_));
    if (!defaultCSource_)
        cSourceFile_ = paths::absolute(data.cSourceFile, projectDir_);
}

bool Projekt::save()
{
    if (!loaded_)
        return false;
    if (readOnly()) {
        ui_.showMessage(texts::kReadOnlyHead + projectFile_ + texts::kReadOnlyTail, texts::kCaption,
                        ProjectUi::Icon::Warning);
        return false;
    }
    ProjectFileData data;
    data.lexStamp = lexStamp_;
    data.yaccStamp = yaccStamp_;
    data.debugMode = debugMode_;
    data.defaultCSource = defaultCSource_;
    data.alwaysCompile = alwaysCompile_;
    data.runArguments = runArguments_;
    for (const std::string& m : memberFiles_)
        data.memberFiles.push_back(paths::relative(paths::absolute(m, projectDir_), projectDir_));
    if (!defaultCSource_)
        data.cSourceFile = paths::relative(paths::absolute(cSourceFile_, projectDir_), projectDir_);

    std::string bytes;
    if (!serializeProjectFile(data, bytes)) {
        ui_.showMessage(texts::kCannotWrite + projectFile_, texts::kCaption, ProjectUi::Icon::Error);
        return false;
    }
    // A file that already says all this is left as it is: a project opened
    // from a directory the user may not write (a shared or installed one)
    // then closes, and an up-to-date make succeeds, without a message.
    std::string current;
    if (readWholeFile(projectFile_, current, kMaxProjectFileBytes) && current == bytes)
        return true;
    if (!writeFileAtomically(projectFile_, bytes)) {
        ui_.showMessage(texts::kCannotWrite + projectFile_, texts::kCaption, ProjectUi::Icon::Error);
        return false;
    }
    return true;
}

void Projekt::openForUse()
{
    if (debugMode_) {
        if (fileExists(tokenFile_))
            loadTokenNames();
        else
            yaccStamp_ = kNoStamp;  // the next build regenerates the parser and its token file
    }
    argumentHistory_.load(baseName_);
}

void Projekt::closeForUse()
{
    if (readOnly())
        argumentHistory_.clear();  // the lock holder's history stays as it saved it
    else
        argumentHistory_.save(baseName_);
}

bool Projekt::addFile(const std::string& path)
{
    const std::string full = paths::absolute(path, paths::currentDirectory());
    if (full == lexSpecFile_ || full == yaccSpecFile_ ||
        std::find(memberFiles_.begin(), memberFiles_.end(), full) != memberFiles_.end())
        return false;
    // The project file holds at most 255 members of at most 254 characters
    // each; a member it could not hold would make every later save fail.
    if (memberFiles_.size() >= static_cast<size_t>(kMaxMemberFiles) ||
        paths::relative(full, projectDir_).size() > kMaxProjectLine)
        return false;
    memberFiles_.push_back(full);
    return true;
}

void Projekt::removeFile(int index)
{
    if (index < 0 || index >= fileCount())
        return;
    memberFiles_.erase(memberFiles_.begin() + index);
}

void Projekt::setCSource(const std::string& path)
{
    cSourceFile_ = path;
    defaultCSource_ = false;
}

void Projekt::setDefaultCSource()
{
    cSourceFile_ = parserOutputFile_;
    defaultCSource_ = true;
}

void Projekt::loadTokenNames()
{
    tokenNames_.clear();
    std::string bytes;
    if (!readWholeFile(tokenFile_, bytes, kMaxTokenFileBytes))
        return;
    tokenNames_ = parseTokenNames(bytes);
}

std::string Projekt::executableName() const
{
    const std::string beside = paths::stripExtension(cSourceFile_) + ".exe";
    // A C source outside the project directory is only read: its program
    // is made in the project directory, never beside the source, where it
    // would replace (or, after a generation, delete) a file that is not
    // this project's.
    if (insideProject(beside))
        return beside;
    return projectDir_ + paths::fileName(beside);
}

std::string Projekt::executablePath() const
{
    return paths::absolute(executableName(), projectDir_);
}

bool Projekt::insideProject(const std::string& path) const
{
    // The directory, not the file, is resolved: the file itself need not
    // exist yet, and a link in the project directory is the project's own.
    const std::string full = paths::absolute(path, projectDir_);
    char* dir = ::realpath(paths::directory(full).c_str(), nullptr);
    char* home = ::realpath(projectDir_.c_str(), nullptr);
    bool inside = false;
    if (dir && home) {
        std::string d = dir, h = home;
        if (d.back() != '/')
            d += '/';
        if (h.back() != '/')
            h += '/';
        inside = d.compare(0, h.size(), h) == 0;
    }
    std::free(dir);
    std::free(home);
    return inside;
}

void Projekt::loadBuildRecord()
{
    std::string bytes;
    if (!readWholeFile(BuildRecord::fileFor(projectFile_), bytes, BuildRecord::kMaxBytes) || !record_.parse(bytes))
        record_ = BuildRecord();
}

void Projekt::saveBuildRecord()
{
    // A record that cannot be written only costs a generation next time:
    // nothing is taken as up to date without it.
    writeFileAtomically(BuildRecord::fileFor(projectFile_), record_.serialize());
}

std::string Projekt::jalArgumentFor(const std::string& runArguments)
{
    return runArguments.substr(0, runArguments.find('.')) + ".jal";
}

} // namespace vork
