#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace {

// In the global namespace, so that a run in another session (a service, a
// fleet tool running as SYSTEM) sees it; systems without sessions (95, 98,
// NT 4 without Terminal Server) refuse the backslash, and take the name.
const char* const GlobalName = "Global\\Brenvolt.Pellwick.MachineChange";
const char* const PlainName = "Brenvolt.Pellwick.MachineChange";

}  // namespace

TWin32MachineLock::~TWin32MachineLock() { Release(); }

bool TWin32MachineLock::Take()
{
    if (held_) return true;
    if (mutex_ == nullptr) mutex_ = CreateMutexA(nullptr, FALSE, GlobalName);
    if (mutex_ == nullptr) mutex_ = CreateMutexA(nullptr, FALSE, PlainName);
    // Without a lock object nothing can be held off: better no removal.
    if (mutex_ == nullptr) return false;
    DWORD waited = WaitForSingleObject(mutex_, 0);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return held_;
}

void TWin32MachineLock::Release()
{
    if (held_) ReleaseMutex(mutex_);
    held_ = false;
}
