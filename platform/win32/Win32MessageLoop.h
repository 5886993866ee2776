// What the window program's message loop tells the system: how long it
// waited for its next timer. Real Windows keeps its clocks running through
// such a wait by itself; a machine with a clock of its own is told here.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

void MessageLoopWaited(DWORD milliseconds);

}  // namespace win32
