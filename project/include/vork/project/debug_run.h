// The hooks of a debug run.  When the generated compiler starts in debug
// mode, the view creates the communication thread of the debugger link
// (running, not suspended); when the run ends it resumes the thread if it
// is suspended, asks it to end and deletes it.  The debugger link supplies
// the implementation; a view without one runs debug programs free.
#pragma once

namespace vork {

class Projekt;

class DebugRunHooks {
public:
    virtual ~DebugRunHooks() = default;
    virtual void debugRunStarted(Projekt& project) = 0;
    virtual void debugRunFinished(Projekt& project, int exitCode) = 0;
};

} // namespace vork
