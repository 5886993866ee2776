// The 64-bit tick count, which does not wrap after 49.7 days as the 32-bit
// one does.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

using ULONGLONG = std::uint64_t;

// Milliseconds since the machine started.
ULONGLONG GetTickCount64();

}  // namespace win32
