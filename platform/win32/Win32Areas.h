// Each API area's header is included here, one line per area, so that
// "platform/win32/Win32.h" stays the one header the engine includes.
#pragma once
