// The ASPI layer "wnaspi32.dll", bound at program start and released at
// program end; most PCs have none.
#pragma once

#include "platform/win32/Win32.h"

namespace torvex::platform::wnaspi32 {

extern win32::HMODULE WnASPI32Handle;
// True when the library is there and GetASPI32SupportInfo was found.
extern bool WnASPI32Loaded;

extern win32::FARPROC GetASPI32SupportInfo;
extern win32::FARPROC SendASPI32Command;

// At program start; returns WnASPI32Loaded.
bool BindWnASPI32();
// At program end: frees the library when it was bound; raises
// "Unload Error: wnaspi32.dll(XXXXXXXX)" when that fails.
void ReleaseWnASPI32();

// The layer's support information: status in the high byte of the low
// word, host adapter count in the low byte; 0 without the library or entry.
win32::DWORD SupportInfo();
// Sends a request block; its status, 0 without the library or entry.
win32::DWORD SendCommand(void* requestBlock);

}  // namespace torvex::platform::wnaspi32
