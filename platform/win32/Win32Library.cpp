// Library loading and export look-up over the active machine, and the
// 16-bit path of Windows 9x.
#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/machine/LayerCatalog.h"
#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"
#include "platform/win32/Exports.h"
#include "platform/win32/Win32CpuLoad.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Network.h"

namespace win32 {
namespace {

using torvex::platform::ActiveMachine;

constexpr HINSTANCE16 kUserModule16 = 0x0117;
constexpr SEGPTR kGetFreeSystemResources16 = 0x01170F2Eu;

HINSTANCE16 WINAPI_LoadLibrary16(LPCSTR fileName) {
    // Only the 16-bit USER module is known to the layer; loading anything
    // else fails as a missing file does (a handle below 32).
    if (!fileName || !torvex::platform::EqualsNoCase(fileName, "user.exe")) return 2;
    if (!ActiveMachine().freeSystemResources(0)) return 2;
    return kUserModule16;
}

void WINAPI_FreeLibrary16(HINSTANCE16) {}

SEGPTR WINAPI_GetProcAddress16(HINSTANCE16 module, LPCSTR procName) {
    if (module != kUserModule16 || !procName) return 0;
    return torvex::platform::EqualsNoCase(procName, "GetFreeSystemResources") ? kGetFreeSystemResources16 : 0;
}

WORD WINAPI_QT_Thunk(SEGPTR procedure, WORD argument) {
    if (procedure != kGetFreeSystemResources16) return 0;
    return ActiveMachine().freeSystemResources(argument).value_or(0);
}

// An export the simulated machine lists but the layer does not implement.
// Its callers bind it without calling it; a call fails cleanly.
DWORD NotImplementedExport() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

struct ExportEntry {
    const char* library;
    const char* function;
    FARPROC address;
    bool nineXOnly;
};

template <typename F>
FARPROC Address(F f) {
    return reinterpret_cast<FARPROC>(f);
}

const std::vector<ExportEntry>& ExportTable() {
    static const std::vector<ExportEntry> table = {
        {"kernel32.dll", "GetVersionExA", Address(static_cast<BOOL (*)(OSVERSIONINFOA*)>(&GetVersionExA)), false},
        {"kernel32.dll", "GetSystemInfo", Address(&GetSystemInfo), false},
        {"kernel32.dll", "GlobalMemoryStatus", Address(&GlobalMemoryStatus), false},
        {"kernel32.dll", "GlobalMemoryStatusEx", Address(&GlobalMemoryStatusEx), false},
        {"kernel32.dll", "GetComputerNameA", Address(&GetComputerNameA), false},
        {"kernel32.dll", "GetWindowsDirectoryA", Address(&GetWindowsDirectoryA), false},
        {"kernel32.dll", "GetSystemDirectoryA", Address(&GetSystemDirectoryA), false},
        {"kernel32.dll", "GetTempPathA", Address(&GetTempPathA), false},
        {"kernel32.dll", "GetModuleFileNameA", Address(&GetModuleFileNameA), false},
        {"kernel32.dll", "GetTickCount", Address(&GetTickCount), false},
        {"kernel32.dll", "GetLocalTime", Address(&GetLocalTime), false},
        {"kernel32.dll", "GetSystemTime", Address(&GetSystemTime), false},
        {"kernel32.dll", "GetSystemTimeAsFileTime", Address(&GetSystemTimeAsFileTime), false},
        {"kernel32.dll", "QueryPerformanceCounter", Address(&QueryPerformanceCounter), false},
        {"kernel32.dll", "QueryPerformanceFrequency", Address(&QueryPerformanceFrequency), false},
        {"kernel32.dll", "Sleep", Address(&Sleep), false},
        {"kernel32.dll", "GetEnvironmentStringsA", Address(&GetEnvironmentStringsA), false},
        {"kernel32.dll", "FreeEnvironmentStringsA", Address(&FreeEnvironmentStringsA), false},
        {"kernel32.dll", "GetEnvironmentVariableA", Address(&GetEnvironmentVariableA), false},
        {"kernel32.dll", "GetModuleHandleA", Address(&GetModuleHandleA), false},
        {"kernel32.dll", "LoadLibraryA", Address(&LoadLibraryA), false},
        {"kernel32.dll", "FreeLibrary", Address(&FreeLibrary), false},
        {"kernel32.dll", "GetProcAddress", Address(&GetProcAddress), false},
        {"kernel32.dll", "GetPrivateProfileStringA", Address(&GetPrivateProfileStringA), false},
        {"kernel32.dll", "GetPrivateProfileIntA", Address(&GetPrivateProfileIntA), false},
        {"kernel32.dll", "WritePrivateProfileStringA", Address(&WritePrivateProfileStringA), false},
        {"kernel32.dll", "GetFileAttributesA", Address(&GetFileAttributesA), false},
        {"kernel32.dll", "GetLastError", Address(&GetLastError), false},
        {"kernel32.dll", "SetLastError", Address(&SetLastError), false},
        {"kernel32.dll", "GetACP", Address(&GetACP), false},
        {"kernel32.dll", "GetCurrentThread", Address(&GetCurrentThread), false},
        {"kernel32.dll", "GetThreadPriority", Address(&GetThreadPriority), false},
        {"kernel32.dll", "SetThreadPriority", Address(&SetThreadPriority), false},
        {"kernel32.dll", "LoadLibrary16", Address(&WINAPI_LoadLibrary16), true},
        {"kernel32.dll", "FreeLibrary16", Address(&WINAPI_FreeLibrary16), true},
        {"kernel32.dll", "GetProcAddress16", Address(&WINAPI_GetProcAddress16), true},
        {"kernel32.dll", "QT_Thunk", Address(&WINAPI_QT_Thunk), true},
        {"advapi32.dll", "GetUserNameA", Address(&GetUserNameA), false},
        {"advapi32.dll", "RegOpenKeyExA", Address(&RegOpenKeyExA), false},
        {"advapi32.dll", "RegCreateKeyExA", Address(&RegCreateKeyExA), false},
        {"advapi32.dll", "RegCloseKey", Address(&RegCloseKey), false},
        {"advapi32.dll", "RegQueryValueExA", Address(&RegQueryValueExA), false},
        {"advapi32.dll", "RegSetValueExA", Address(&RegSetValueExA), false},
        {"advapi32.dll", "RegDeleteValueA", Address(&RegDeleteValueA), false},
        {"advapi32.dll", "RegDeleteKeyA", Address(&RegDeleteKeyA), false},
        {"advapi32.dll", "RegEnumKeyExA", Address(&RegEnumKeyExA), false},
        {"advapi32.dll", "RegEnumValueA", Address(&RegEnumValueA), false},
        {"advapi32.dll", "RegQueryInfoKeyA", Address(&RegQueryInfoKeyA), false},
        {"user32.dll", "MessageBoxA", Address(&MessageBoxA), false},
        {"user32.dll", "LoadStringA", Address(&LoadStringA), false},
        {"shell32.dll", "ShellExecuteA", Address(&ShellExecuteA), false},
        {"ntdll.dll", "ZwOpenSection", Address(&ZwOpenSection), false},
        {"ntdll.dll", "ZwClose", Address(&ZwClose), false},
        {"ntdll.dll", "NtQuerySystemInformation", Address(&NtQuerySystemInformation), false},
        {"kernel32.dll", "MapViewOfFile", Address(&MapViewOfFile), false},
        {"kernel32.dll", "UnmapViewOfFile", Address(&UnmapViewOfFile), false},
        {"kernel32.dll", "CreateFileA", Address(&CreateFileA), false},
        {"kernel32.dll", "ReadFile", Address(&ReadFile), false},
        {"kernel32.dll", "WriteFile", Address(&WriteFile), false},
        {"kernel32.dll", "CloseHandle", Address(&CloseHandle), false},
        {"kernel32.dll", "DeleteFileA", Address(&DeleteFileA), false},
        {"kernel32.dll", "CreateDirectoryA", Address(&CreateDirectoryA), false},
        {"kernel32.dll", "RemoveDirectoryA", Address(&RemoveDirectoryA), false},
        {"kernel32.dll", "CreateProcessA", Address(&CreateProcessA), false},
        {"kernel32.dll", "WaitForSingleObject", Address(&WaitForSingleObject), false},
        {"kernel32.dll", "GetExitCodeProcess", Address(&GetExitCodeProcess), false},
        {"kernel32.dll", "TerminateProcess", Address(&TerminateProcess), false},
        {"kernel32.dll", "SetErrorMode", Address(&SetErrorMode), false},
        {"kernel32.dll", "GetDiskFreeSpaceA", Address(&GetDiskFreeSpaceA), false},
        {"kernel32.dll", "GetDiskFreeSpaceExA", Address(&GetDiskFreeSpaceExA), false},
        {"kernel32.dll", "GetLogicalDrives", Address(&GetLogicalDrives), false},
        {"kernel32.dll", "GetLogicalDriveStringsA", Address(&GetLogicalDriveStringsA), false},
        {"kernel32.dll", "GetDriveTypeA", Address(&GetDriveTypeA), false},
        {"kernel32.dll", "GetVolumeInformationA", Address(&GetVolumeInformationA), false},
        {"kernel32.dll", "GetCurrentDirectoryA", Address(&GetCurrentDirectoryA), false},
        {"mpr.dll", "WNetGetConnectionA", Address(&WNetGetConnectionA), false},
        {"kernel32.dll", "CreateEventA", Address(&CreateEventA), false},
        {"kernel32.dll", "SetEvent", Address(&SetEvent), false},
        {"kernel32.dll", "ResetEvent", Address(&ResetEvent), false},
        {"wnaspi32.dll", "GetASPI32SupportInfo", Address(&GetASPI32SupportInfo), false},
        {"wnaspi32.dll", "SendASPI32Command", Address(&SendASPI32Command), false},
        {"ntdll.dll", "ZwQuerySystemInformation", Address(&ZwQuerySystemInformation), false},
        {"kernel32.dll", "MultiByteToWideChar", Address(&MultiByteToWideChar), false},
        {"version.dll", "GetFileVersionInfoSizeA", Address(&GetFileVersionInfoSizeA), false},
        {"version.dll", "GetFileVersionInfoA", Address(&GetFileVersionInfoA), false},
        {"version.dll", "VerQueryValueA", Address(&VerQueryValueA), false},
        {"shell32.dll", "SHGetSpecialFolderLocation", Address(&SHGetSpecialFolderLocation), false},
        {"shell32.dll", "SHGetPathFromIDListA", Address(&SHGetPathFromIDListA), false},
        {"ole32.dll", "CoInitialize", Address(&CoInitialize), false},
        {"ole32.dll", "CoUninitialize", Address(&CoUninitialize), false},
        {"ole32.dll", "CoCreateInstance", Address(&CoCreateInstance), false},
        {"ole32.dll", "CoTaskMemFree", Address(&CoTaskMemFree), false},
        {"rasapi32.dll", "RasEnumConnectionsA", Address(&RasEnumConnectionsA), false},
        {"iphlpapi.dll", "GetAdaptersInfo", Address(&GetAdaptersInfo), false},
        {"iphlpapi.dll", "GetNetworkParams", Address(&GetNetworkParams), false},
    };
    return table;
}

const ExportEntry* FindExport(const std::string& library, const std::string& function) {
    std::string lib = torvex::platform::NormalizeLibraryName(library);
    for (const auto& e : ExportTable())
        if (lib == e.library && function == e.function) return &e;
    return nullptr;
}

// Modules the program imports statically: a Windows program has them
// mapped from its start, so GetModuleHandle finds them without a load.
constexpr const char* kStaticImports[] = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                          "advapi32.dll", "shell32.dll", "ole32.dll",
                                          "oleaut32.dll", "comctl32.dll", "version.dll",
                                          "ntdll.dll"};

struct LoadedModule {
    std::string name;
    int references = 0;
};

struct ModuleTable {
    std::mutex mutex;
    torvex::platform::Machine* machine = nullptr;
    std::vector<LoadedModule> modules;   // index + 1 makes the handle

    // The table belongs to one machine; a switch of machine starts afresh,
    // as a new process would.
    void syncTo(torvex::platform::Machine& m) {
        if (machine == &m) return;
        machine = &m;
        modules.clear();
        for (const char* lib : kStaticImports)
            if (m.hasLibrary(lib)) modules.push_back({lib, 1});
    }
    static HMODULE handleOf(std::size_t index) {
        return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x10000000u + (index + 1) * 0x10000u));
    }
    LoadedModule* byHandle(HMODULE h) {
        auto v = reinterpret_cast<std::uintptr_t>(h);
        if (v < 0x10010000u || (v & 0xFFFF) != 0) return nullptr;
        std::size_t index = (v - 0x10000000u) / 0x10000u - 1;
        if (index >= modules.size() || modules[index].references <= 0) return nullptr;
        return &modules[index];
    }
    HMODULE byName(const std::string& lib) {
        for (std::size_t i = 0; i < modules.size(); ++i)
            if (modules[i].name == lib && modules[i].references > 0) return handleOf(i);
        return nullptr;
    }
};

ModuleTable& Modules() {
    static ModuleTable table;
    return table;
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR name) {
    if (!name) return GetModuleHandleSelf();
    auto& t = Modules();
    std::lock_guard lock(t.mutex);
    t.syncTo(ActiveMachine());
    HMODULE h = t.byName(torvex::platform::NormalizeLibraryName(name));
    if (!h) SetLastError(ERROR_MOD_NOT_FOUND);
    return h;
}

HMODULE LoadLibraryA(LPCSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto& t = Modules();
    std::lock_guard lock(t.mutex);
    auto& machine = ActiveMachine();
    t.syncTo(machine);
    std::string lib = torvex::platform::NormalizeLibraryName(name);
    if (HMODULE h = t.byName(lib)) {
        ++t.byHandle(h)->references;
        return h;
    }
    if (!machine.hasLibrary(lib)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    for (std::size_t i = 0; i < t.modules.size(); ++i) {
        if (t.modules[i].name == lib) {
            t.modules[i].references = 1;
            return ModuleTable::handleOf(i);
        }
    }
    t.modules.push_back({lib, 1});
    return ModuleTable::handleOf(t.modules.size() - 1);
}

BOOL FreeLibrary(HMODULE module) {
    auto& t = Modules();
    std::lock_guard lock(t.mutex);
    t.syncTo(ActiveMachine());
    LoadedModule* m = t.byHandle(module);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --m->references;
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    auto& machine = ActiveMachine();
    std::string lib;
    {
        auto& t = Modules();
        std::lock_guard lock(t.mutex);
        t.syncTo(machine);
        LoadedModule* m = t.byHandle(module);
        if (!m || !name) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        lib = m->name;
    }
    std::string function;
    if (IS_INTRESOURCE(name))
        function = machine.exportByOrdinal(lib, static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(name)));
    else
        function = name;
    if (function.empty() || !machine.hasExport(lib, function)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (const ExportEntry* e = FindExport(lib, function)) return e->address;
    return reinterpret_cast<FARPROC>(&NotImplementedExport);
}

}  // namespace win32

namespace torvex::platform {

bool LayerImplements(const std::string& library, const std::string& function) {
    const auto* e = win32::FindExport(library, function);
    return e && !e->nineXOnly;
}

bool LayerImplementsLibrary(const std::string& library) {
    std::string lib = NormalizeLibraryName(library);
    for (const auto& e : win32::ExportTable())
        if (lib == e.library && !e.nineXOnly) return true;
    return false;
}

namespace {
// The machines that offer exactly the layer's exports learn them here; the
// program's start registers them, before any machine is asked.
const bool kCatalogRegistered = [] {
    RegisterLayerCatalog({LayerImplementsLibrary, LayerImplements});
    return true;
}();
}  // namespace

win32::FARPROC LayerExport(const std::string& library, const std::string& function) {
    const auto* e = win32::FindExport(library, function);
    return e ? e->address : nullptr;
}

}  // namespace torvex::platform
