#include "platform/win32/Win32Time.h"

#include "platform/machine/Machine.h"

namespace win32 {

ULONGLONG GetTickCount64() { return torvex::platform::ActiveMachine().millisecondsSinceStart(); }

}  // namespace win32
