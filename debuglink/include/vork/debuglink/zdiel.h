// Kernel-object wrappers of the debug channel: a handle owner, the named
// shared block and the named event.
//
// These are the environment's end: they claim the objects (clearing what a
// crashed earlier environment left signalled) and remove the names again
// when they are destroyed, so every debug run starts with fresh objects.
#pragma once

#include "vork_chan.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vork::debuglink {

// Where a channel failure is shown before it is raised (the GUI shows a
// message box with one OK button; headless callers may print it).
class ChannelReporter {
public:
    virtual ~ChannelReporter() = default;
    virtual void showChannelError(const std::string& text) = 0;
};

// "Chyba pri vytváraní zdieľanej pamäti %s (%d)" with the block name and the
// system's error code.
std::string sharedMemoryErrorText(const std::string& name, int code);

// The failure of TSharedMem: its what() is the text that was shown.
class SharedMemoryError : public std::runtime_error {
public:
    SharedMemoryError(const std::string& text, int code) : std::runtime_error(text), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

class THandledObject {
public:
    THandledObject(const THandledObject&) = delete;
    THandledObject& operator=(const THandledObject&) = delete;
    // Closes Handle when it holds one.
    virtual ~THandledObject();

    // The descriptor of the object; -1 when none (0 is a valid descriptor
    // here, unlike a Windows handle).
    int Handle = -1;

protected:
    THandledObject() = default;
};

class TSharedMem : public THandledObject {
public:
    // Creates or opens the block and maps all of it read/write.  An empty
    // name gives an unnamed block.  On failure the text goes to reporter
    // (when given) and is raised as SharedMemoryError.
    TSharedMem(const std::string& name, uint32_t size, ChannelReporter* reporter = nullptr);
    ~TSharedMem() override;

    std::string Name;
    uint32_t Size = 0;
    uint8_t* Buffer = nullptr;

private:
    vork_shm shm_{};
};

class TUdal : public THandledObject {
public:
    // Creates or opens the event name + ".Data", not signalled when this
    // call creates it.  A failure raises std::system_error with the system's
    // error.
    TUdal(const std::string& name, bool manualReset);
    ~TUdal() override;

    void Set();
    void Reset();
    // True only when the event was signalled within timeoutMs.
    bool Wait(uint32_t timeoutMs);

private:
    vork_event ev_{};
};

} // namespace vork::debuglink
