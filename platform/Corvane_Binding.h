// Binding of an optional system library at run time, shared by the binding
// units (Corvane_PSAPI, Corvane_AdvAPI, Corvane_NetAPI32, ...).
//
// A unit names its library, its entry points in binding order (each with the
// variable that receives its address) and its key entry point; binding
// succeeds when the library is there and the key entry point was found. A
// missing library or export is a normal state, never an error.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/Win32.h"

namespace torvex::platform {

struct TEntryPoint {
    const char* exportName;
    win32::FARPROC* variable;
};

struct TLibraryBinding {
    const char* library;              // "psapi.dll"
    const char* loadFailurePrefix;    // "Unload Error: psapi.dll ("
    const char* releasePrefix;        // nullptr: never released
    const char* releaseModuleName;    // the name whose handle the release error shows
    std::vector<TEntryPoint> entryPoints;
    win32::FARPROC* keyEntryPoint;
    win32::HMODULE* handle;
    bool* loaded;
};

// Handle of the loaded library (or loads it), looks up every entry point in
// order, stores and returns the loaded flag. Raises the unit's load-failure
// error when a look-up raised and the library cannot then be freed.
bool BindLibrary(const TLibraryBinding& binding);
// Frees the library when it was bound; raises the unit's release error when
// that fails. Afterwards the unit is unbound (handle 0, entry points null).
void ReleaseLibrary(const TLibraryBinding& binding);

// "<prefix>" + the handle as eight upper-case hex digits + ")".
std::string UnloadErrorText(const char* prefix, win32::HMODULE handle);

// Binds every optional library at program start, in unit order; releases at
// program end those that are released. Both raise the units' errors.
void BindOptionalLibraries();
void ReleaseOptionalLibraries();

}  // namespace torvex::platform
