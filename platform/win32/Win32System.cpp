// Version, system information, memory, names, folders, clock, environment,
// resources, shell and processor calls over the active machine.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <system_error>

#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"
#include "platform/win32/Win32.h"

namespace win32 {

using torvex::platform::ActiveMachine;

namespace {

thread_local DWORD lastError = 0;

// Copies text into a caller's buffer of `size` characters, always
// terminated; returns the characters copied.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    DWORD n = std::min<DWORD>(static_cast<DWORD>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

// The GetWindowsDirectory family: the length without the zero when the text
// fits, else the size needed including it.
UINT DirectoryAnswer(const std::string& text, LPSTR buffer, UINT size) {
    if (!buffer || text.size() + 1 > size) return static_cast<UINT>(text.size() + 1);
    CopyOut(text, buffer, size);
    return static_cast<UINT>(text.size());
}

SIZE_T Clip32(std::uint64_t v) { return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<SIZE_T>(v); }

template <typename Record>
BOOL FillVersion(Record* info) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto v = ActiveMachine().version();
    DWORD size = info->dwOSVersionInfoSize;
    bool extended = size == sizeof(OSVERSIONINFOEXA);
    if (size != sizeof(OSVERSIONINFOA) && !extended) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // Windows 95 and NT 4.0 before SP6 reject the extended record.
    if (extended && !v.extendedRecord) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* basic = reinterpret_cast<OSVERSIONINFOA*>(info);
    basic->dwMajorVersion = v.major;
    basic->dwMinorVersion = v.minor;
    basic->dwBuildNumber = v.build;
    basic->dwPlatformId = v.platformId;
    std::memset(basic->szCSDVersion, 0, sizeof basic->szCSDVersion);
    CopyOut(v.csdVersion, basic->szCSDVersion, sizeof basic->szCSDVersion);
    if (extended) {
        auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        ex->wServicePackMajor = v.servicePackMajor;
        ex->wServicePackMinor = v.servicePackMinor;
        ex->wSuiteMask = v.suiteMask;
        ex->wProductType = v.productType;
        ex->wReserved = 0;
    }
    return TRUE;
}

}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD code) { lastError = code; }

BOOL GetVersionExA(OSVERSIONINFOA* info) { return FillVersion(info); }
BOOL GetVersionExA(OSVERSIONINFOEXA* info) { return FillVersion(info); }

void GetSystemInfo(SYSTEM_INFO* info) {
    if (!info) return;
    auto s = ActiveMachine().systemInfo();
    info->wProcessorArchitecture = s.architecture;
    info->wReserved = 0;
    info->dwPageSize = s.pageSize;
    info->lpMinimumApplicationAddress = s.minAppAddress;
    info->lpMaximumApplicationAddress = s.maxAppAddress;
    info->dwActiveProcessorMask = s.activeProcessorMask;
    info->dwNumberOfProcessors = s.processors;
    info->dwProcessorType = s.processorType;
    info->dwAllocationGranularity = s.allocationGranularity;
    info->wProcessorLevel = s.processorLevel;
    info->wProcessorRevision = s.processorRevision;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (!status) return;
    auto m = ActiveMachine().memoryStatus();
    status->dwLength = sizeof(MEMORYSTATUS);
    status->dwMemoryLoad = m.memoryLoad;
    status->dwTotalPhys = Clip32(m.totalPhys);
    status->dwAvailPhys = Clip32(m.availPhys);
    status->dwTotalPageFile = Clip32(m.totalPageFile);
    status->dwAvailPageFile = Clip32(m.availPageFile);
    status->dwTotalVirtual = Clip32(m.totalVirtual);
    status->dwAvailVirtual = Clip32(m.availVirtual);
}

BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status) {
    if (!status || status->dwLength != sizeof(MEMORYSTATUSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto m = ActiveMachine().memoryStatus();
    status->dwMemoryLoad = m.memoryLoad;
    status->ullTotalPhys = m.totalPhys;
    status->ullAvailPhys = m.availPhys;
    status->ullTotalPageFile = m.totalPageFile;
    status->ullAvailPageFile = m.availPageFile;
    status->ullTotalVirtual = m.totalVirtual;
    status->ullAvailVirtual = m.availVirtual;
    status->ullAvailExtendedVirtual = 0;
    return TRUE;
}

UINT GetACP() { return ActiveMachine().ansiCodePage(); }

// ---------------------------------------------------------------- names and folders

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string name = ActiveMachine().computerName();
    if (!buffer || name.size() + 1 > *size) {
        *size = static_cast<DWORD>(name.size() + 1);
        SetLastError(111);   // ERROR_BUFFER_OVERFLOW
        return FALSE;
    }
    *size = CopyOut(name, buffer, *size);
    return TRUE;
}

BOOL GetUserNameA(LPSTR buffer, LPDWORD size) {
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string name = ActiveMachine().userName();
    if (!buffer || name.size() + 1 > *size) {
        *size = static_cast<DWORD>(name.size() + 1);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    CopyOut(name, buffer, *size);
    *size = static_cast<DWORD>(name.size() + 1);   // GetUserName counts the zero
    return TRUE;
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    return DirectoryAnswer(ActiveMachine().windowsDirectory(), buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
    return DirectoryAnswer(ActiveMachine().systemDirectory(), buffer, size);
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
    return DirectoryAnswer(ActiveMachine().tempDirectory(), buffer, size);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    if (module && module != GetModuleHandleSelf()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    return CopyOut(ActiveMachine().moduleFileName(), buffer, size);
}

DWORD GetFileAttributesA(LPCSTR fileName) {
    if (!fileName) return INVALID_FILE_ATTRIBUTES;
    auto path = ActiveMachine().readPath(fileName);
    std::error_code ec;
    if (!path || !std::filesystem::exists(*path, ec)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = std::filesystem::is_directory(*path, ec) ? FILE_ATTRIBUTE_DIRECTORY
                                                                : FILE_ATTRIBUTE_ARCHIVE;
    auto perms = std::filesystem::status(*path, ec).permissions();
    if ((perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

// ---------------------------------------------------------------- time

namespace {
void ToSystemTime(const torvex::platform::LocalTime& t, SYSTEMTIME* out) {
    out->wYear = static_cast<WORD>(t.year);
    out->wMonth = static_cast<WORD>(t.month);
    out->wDayOfWeek = static_cast<WORD>(t.dayOfWeek);
    out->wDay = static_cast<WORD>(t.day);
    out->wHour = static_cast<WORD>(t.hour);
    out->wMinute = static_cast<WORD>(t.minute);
    out->wSecond = static_cast<WORD>(t.second);
    out->wMilliseconds = static_cast<WORD>(t.milliseconds);
}

// Days from 1601-01-01 to the civil date (proleptic Gregorian).
std::int64_t DaysSince1601(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t daysSince1970 = era * 146097 + static_cast<std::int64_t>(doe) - 719468;
    return daysSince1970 + 134774;
}
}  // namespace

void GetLocalTime(SYSTEMTIME* time) {
    if (time) ToSystemTime(ActiveMachine().localTime(), time);
}

void GetSystemTime(SYSTEMTIME* time) {
    if (time) ToSystemTime(ActiveMachine().systemTime(), time);
}

void GetSystemTimeAsFileTime(FILETIME* time) {
    if (!time) return;
    auto t = ActiveMachine().systemTime();
    std::int64_t ms = ((DaysSince1601(t.year, t.month, t.day) * 24 + t.hour) * 60 + t.minute) * 60000 +
                      t.second * 1000 + t.milliseconds;
    std::uint64_t ticks = static_cast<std::uint64_t>(ms) * 10000;
    time->dwLowDateTime = static_cast<DWORD>(ticks);
    time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

DWORD GetTickCount() { return static_cast<DWORD>(ActiveMachine().millisecondsSinceStart()); }

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = static_cast<LONGLONG>(ActiveMachine().performanceFrequency());
    return frequency->QuadPart != 0 ? TRUE : FALSE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) return FALSE;
    auto& m = ActiveMachine();
    if (m.performanceFrequency() == 0) {
        count->QuadPart = 0;
        return FALSE;
    }
    count->QuadPart = static_cast<LONGLONG>(m.performanceCounter());
    return TRUE;
}

void Sleep(DWORD milliseconds) { ActiveMachine().sleep(milliseconds); }

// ---------------------------------------------------------------- environment

namespace {
std::mutex environmentMutex;
// Blocks handed out and not yet freed, owned here by their address.
std::map<const char*, std::unique_ptr<char[]>> environmentBlocks;
}  // namespace

LPSTR GetEnvironmentStringsA() {
    std::string block;
    for (const auto& entry : ActiveMachine().environment()) {
        if (entry.empty()) continue;
        block += entry;
        block += '\0';
    }
    block += '\0';
    if (block.size() == 1) block += '\0';
    auto owned = std::make_unique<char[]>(block.size());
    std::memcpy(owned.get(), block.data(), block.size());
    LPSTR raw = owned.get();
    std::lock_guard lock(environmentMutex);
    environmentBlocks.emplace(raw, std::move(owned));
    return raw;
}

BOOL FreeEnvironmentStringsA(LPSTR block) {
    std::lock_guard lock(environmentMutex);
    return environmentBlocks.erase(block) ? TRUE : FALSE;
}

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
    if (!name) return 0;
    for (const auto& entry : ActiveMachine().environment()) {
        auto eq = entry.find('=', entry.empty() || entry[0] != '=' ? 0 : 1);
        if (eq == std::string::npos) continue;
        if (!torvex::platform::EqualsNoCase(entry.substr(0, eq), name)) continue;
        std::string value = entry.substr(eq + 1);
        if (!buffer || value.size() + 1 > size) return static_cast<DWORD>(value.size() + 1);
        return CopyOut(value, buffer, size);
    }
    SetLastError(203);   // ERROR_ENVVAR_NOT_FOUND
    return 0;
}

// ---------------------------------------------------------------- message boxes

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    std::string t = text ? text : "";
    std::string c = caption ? caption : "Error";
    if (auto hook = torvex::platform::ProgramMessageBox()) return hook(t, c, type);
    // Without a window system the box becomes one line on standard error.
    std::cerr << c << ": " << t << '\n';
    return IDOK;
}

// ---------------------------------------------------------------- resources

HINSTANCE GetModuleHandleSelf() { return reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000}); }

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size) {
    auto text = torvex::platform::ProgramResourceString(id);
    if (!text || !buffer || size <= 0) return 0;
    return static_cast<int>(CopyOut(*text, buffer, static_cast<DWORD>(size)));
}

// ---------------------------------------------------------------- shell

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR, int) {
    auto answer = [](std::uintptr_t v) { return reinterpret_cast<HINSTANCE>(v); };
    if (!file || !*file) return answer(2);   // SE_ERR_FNF
    // Only the default action exists on both machines.
    if (operation && *operation && !torvex::platform::EqualsNoCase(operation, "open"))
        return answer(31);   // SE_ERR_NOASSOC
    return ActiveMachine().shellOpen(file) ? answer(42) : answer(31);
}

// ---------------------------------------------------------------- processor

bool CpuidAvailable() { return ActiveMachine().cpuidAvailable(); }

CPUIDRegs Cpuid(DWORD leaf, DWORD subLeaf) {
    auto a = ActiveMachine().cpuid(leaf, subLeaf);
    return {a.eax, a.ebx, a.ecx, a.edx};
}

std::uint64_t ReadTimeStampCounter() { return ActiveMachine().timeStampCounter(); }

namespace {
int threadPriority = THREAD_PRIORITY_NORMAL;
}

HANDLE GetCurrentThread() { return reinterpret_cast<HANDLE>(std::intptr_t{-2}); }

int GetThreadPriority(HANDLE) { return threadPriority; }

// The priority is remembered, not applied: a desktop user may not raise a
// thread's priority on Linux, and the measurement it guards reads the
// counters against each other, not against wall time.
BOOL SetThreadPriority(HANDLE, int priority) {
    threadPriority = priority;
    return TRUE;
}

}  // namespace win32
