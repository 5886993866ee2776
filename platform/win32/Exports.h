// The functions this layer implements, by library and export name.
//
// GetProcAddress answers with these addresses. On the live host they are
// also the only exports that exist: a program that binds an entry point at
// run time then learns the truth about what it can call. A simulated machine
// lists its own exports; one that the layer does not implement is answered
// with an address that fails every call with ERROR_CALL_NOT_IMPLEMENTED.
#pragma once

#include <string>

#include "platform/machine/TextUtil.h"   // NormalizeLibraryName
#include "platform/win32/Win32.h"

namespace torvex::platform {

// True when the layer implements the export and it belongs to the NT family
// that the host presents (exports that only Windows 9x has are not offered
// there).
bool LayerImplements(const std::string& library, const std::string& function);
bool LayerImplementsLibrary(const std::string& library);

// The address of an implemented export, null when the layer has none.
win32::FARPROC LayerExport(const std::string& library, const std::string& function);

}  // namespace torvex::platform
