// The vork program's command table.  Each option group lives in its own
// file and registers its commands at start-up:
//
//   static vork::app::Registration reg([](vork::app::Registry& r) {
//       r.addCommand({"--make", "PROJECT", "...", 1, 1, 20, &runMake});
//   });
//
// main() parses the command line once, finds the one command given and runs
// it.  "--yes"/"--no" and anything after "--" are available to every
// command through the Invocation.
#pragma once

#include "vork/project/project_ui.h"

#include <QCoreApplication>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vork::app {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

class Invocation;

struct Command {
    std::string name;      // "--info"
    std::string operands;  // "PROJECT", shown in the help
    std::string help;
    int minOperands = 0;
    int maxOperands = 0;
    int order = 100;       // position in the help; groups keep theirs apart
    std::function<int(Invocation&)> run;
};

// An option that modifies a command rather than being one ("--lang en").
struct Modifier {
    std::string name;
    std::string value;  // the value's name in the help, "" for a plain flag
    std::string help;
    int order = 100;
};

class Registry {
public:
    static Registry& instance();

    void addCommand(Command command);
    void addModifier(Modifier modifier);
    // A paragraph printed after the option list of --help.
    void addHelpNote(std::string note) { notes_.push_back(std::move(note)); }
    const std::vector<std::string>& helpNotes() const { return notes_; }

    const Command* findCommand(const std::string& name) const;
    const Modifier* findModifier(const std::string& name) const;
    std::vector<const Command*> commands() const;
    std::vector<const Modifier*> modifiers() const;

    // What runs when the command line names no command (the IDE, once it
    // exists).  Unset: vork says that the GUI is not built and exits 2.
    void setDefault(std::function<int(Invocation&)> run) { default_ = std::move(run); }
    const std::function<int(Invocation&)>& defaultRun() const { return default_; }

private:
    std::vector<Command> commands_;
    std::vector<Modifier> modifiers_;
    std::vector<std::string> notes_;
    std::function<int(Invocation&)> default_;
};

struct Registration {
    explicit Registration(void (*fill)(Registry&)) { fill(Registry::instance()); }
};

class Invocation {
public:
    Invocation(int& argc, char** argv) : argc_(argc), argv_(argv) {}

    std::vector<std::string> operands;     // the command's own arguments
    std::vector<std::string> passThrough;  // everything after "--"
    std::map<std::string, std::string> modifiers;
    std::optional<bool> answer;            // --yes / --no

    bool has(const std::string& modifier) const { return modifiers.count(modifier) != 0; }

    // The user stand-in: answers from --yes/--no (no answer given means
    // No) and writes questions and messages to stderr.
    ProjectUi& ui();

    // Created on first use, for commands that need Qt's event loop.
    QCoreApplication& coreApplication();

    int& argc() { return argc_; }
    char** argv() { return argv_; }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<FixedAnswerUi> ui_;
    std::unique_ptr<QCoreApplication> app_;
};

// Whether the run arguments after "--" can be kept in the project file (one
// line of at most 254 characters, no line break); if not, says so on
// stderr.  Such arguments are refused rather than run and lost, or split
// into two lines of the argument history.
bool storableRunArguments(const std::vector<std::string>& words);

// Prints the failure of a project construction the way the command line
// shows it and returns the exit code.
int reportProjectError(const std::exception& e);

} // namespace vork::app
