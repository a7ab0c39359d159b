#include "vork/debuglink/zdiel.h"

#include "vork/sinks.h"

#include <system_error>
#include <unistd.h>

namespace vork::debuglink {

std::string sharedMemoryErrorText(const std::string& name, int code)
{
    return vork::format("Chyba pri vytváraní zdieľanej pamäti %s (%d)", name.c_str(), code);
}

THandledObject::~THandledObject()
{
    if (Handle >= 0)
        ::close(Handle);
}

TSharedMem::TSharedMem(const std::string& name, uint32_t size, ChannelReporter* reporter) : Name(name), Size(size)
{
    int err = vork_shm_open(&shm_, name.c_str(), size, VORK_CHAN_CREATE | VORK_CHAN_OWNER);
    if (err != 0) {
        std::string text = sharedMemoryErrorText(name, err);
        if (reporter)
            reporter->showChannelError(text);
        throw SharedMemoryError(text, err);
    }
    // The descriptor becomes ours; the C part keeps the mapping.
    Handle = shm_.fd;
    shm_.fd = -1;
    Buffer = static_cast<uint8_t*>(shm_.addr);
}

TSharedMem::~TSharedMem()
{
    // Unmaps the view (and removes the name); the base class closes Handle.
    if (Buffer)
        vork_shm_close(&shm_);
}

TUdal::TUdal(const std::string& name, bool manualReset)
{
    std::string full = name + ".Data";
    int err = vork_event_open(&ev_, full.c_str(), VORK_CHAN_CREATE | VORK_CHAN_OWNER, manualReset ? 1 : 0, 0);
    if (err != 0)
        throw std::system_error(err, std::generic_category(), full);
    Handle = ev_.fd;
    ev_.fd = -1;
}

TUdal::~TUdal()
{
    vork_event_close(&ev_);
}

void TUdal::Set()
{
    vork_event_set(&ev_);
}

void TUdal::Reset()
{
    vork_event_reset(&ev_);
}

bool TUdal::Wait(uint32_t timeoutMs)
{
    return vork_event_wait(&ev_, timeoutMs) != 0;
}

} // namespace vork::debuglink
