// The main window's command table as data: every menu item and toolbar
// button with its caption or hint, shortcut and start state, the menu
// order, and the toolbars' contents.  The window builds its actions from
// it; the tests read it to drive every row.
#pragma once

#include <string>
#include <vector>

namespace vork::shell {

// Which handler a command runs; the menu item and the button of one row
// share it.
enum class Cmd {
    NewFile, NewProject, OpenFile, OpenProject, Save, SaveAs, SaveAll, SaveProject, Close, CloseAll,
    CloseProject, Quit, Cut, Copy, Paste, SelectAll, Find, Replace, ExportHtml, AddFile, RemoveFile,
    ProjectSettings, GenLex, GenYacc, Rebuild, Build, Make, Remake, DebugMode, Settings, Run,
    RunArguments, Halt, DebugView, StepLex, StepSem, StepSyntaxError, StepReduction, StepShift,
    StepState, StepFree, HistoryBack, HistoryForward, JalRun, JalArguments, About, Syntax, Messages,
    Undo, Redo, GoToLine, GoToDefinition, Outline,
};

enum class Start {
    On,          // enabled when the window opens
    Off,         // disabled; switched by the pages or a debug run
    OffProject,  // disabled until a project is open, then switched by it
};

struct CommandInfo {
    const char* name;     // object name: "HM_RunRun", "BarWork_Run"
    const char* text;     // menu caption, or the button's hint
    Cmd cmd;
    Start start;
    const char* shortcut; // "Ctrl+S", "F9", or ""
    bool checkable = false;
};

// Every menu item, then every toolbar button.
const std::vector<CommandInfo>& commandTable();
const CommandInfo* findCommand(const std::string& name);

// One entry of a menu: a command name, or "-" for a separator.
struct MenuInfo {
    const char* title;
    std::vector<const char*> items;
};
const std::vector<MenuInfo>& mainMenus();

struct ToolbarInfo {
    const char* name;    // "BarStandart"
    const char* caption; // "Standart"
    std::vector<const char*> buttons;
};
// In the order of the tool area; BarHlavneMenu holds the main menu and
// has no buttons.
const std::vector<ToolbarInfo>& toolbars();

// The groups that the project and the debug run switch together.
extern const std::vector<const char*> kProjectCommands;   // enabled when a project opens
extern const std::vector<const char*> kJalCommands;       // kind 3, after a run
extern const std::vector<const char*> kRunLockedCommands; // disabled while a program runs
extern const std::vector<const char*> kHaltCommands;      // HM_RunHalt, BarWork_Stop

} // namespace vork::shell
