#include "platform/win32/Win32MessageLoop.h"

#include "platform/machine/Machine.h"

namespace win32 {

void MessageLoopWaited(DWORD milliseconds) {
    if (milliseconds > 0) torvex::platform::ActiveMachine().messageLoopWaited(milliseconds);
}

}  // namespace win32
