// The Win32-shaped platform layer.
//
// Engine, components and windows reach the system only through these calls.
// They keep the names, arguments and records of the 32-bit Windows API so that
// the engine reads like the Windows program it describes; the answers come
// from the active machine (a simulated Windows PC or the live host projected
// into Windows' shape, see platform/machine/Machine.h).
//
// Texts crossing this layer are UTF-8, including the "A" functions: the
// layer converts from the machine's code page at its edges.
#pragma once

#include <cstddef>
#include <cstdint>

namespace win32 {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = int;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using SIZE_T = std::uint32_t;   // the program's Windows personality is 32-bit
using ULONG_PTR = std::uint32_t;
using DWORDLONG = std::uint64_t;
using LONGLONG = std::int64_t;
using LCID = DWORD;
using LANGID = WORD;
using LCTYPE = DWORD;
using REGSAM = DWORD;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD MAX_PATH = 260;

// Handles are opaque values, as on Windows.
struct HKEY__;
using HKEY = HKEY__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
struct HWND__;
using HWND = HWND__*;
using HANDLE = void*;
using FARPROC = void (*)();
using HINSTANCE16 = WORD;
using SEGPTR = DWORD;

// ---------------------------------------------------------------- errors
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_BAD_FORMAT = 11;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_CALL_NOT_IMPLEMENTED = 120;
constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
constexpr LONG ERROR_MOD_NOT_FOUND = 126;
constexpr LONG ERROR_PROC_NOT_FOUND = 127;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_BADKEY = 1010;

DWORD GetLastError();
void SetLastError(DWORD code);

// ---------------------------------------------------------------- version
constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

constexpr BYTE VER_NT_WORKSTATION = 1;
constexpr BYTE VER_NT_DOMAIN_CONTROLLER = 2;
constexpr BYTE VER_NT_SERVER = 3;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};

struct OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(OSVERSIONINFOEXA) == 156);

// Fills the record whose dwOSVersionInfoSize is 148 (basic) or 156
// (extended); any other size fails with ERROR_INSUFFICIENT_BUFFER.
// Windows 95 and NT 4.0 before SP6 know only the basic record.
BOOL GetVersionExA(OSVERSIONINFOA* info);
BOOL GetVersionExA(OSVERSIONINFOEXA* info);

// ---------------------------------------------------------------- system information
constexpr DWORD PROCESSOR_INTEL_386 = 386;
constexpr DWORD PROCESSOR_INTEL_486 = 486;
constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;

struct SYSTEM_INFO {
    WORD wProcessorArchitecture;
    WORD wReserved;
    DWORD dwPageSize;
    DWORD lpMinimumApplicationAddress;   // addresses of the 32-bit personality
    DWORD lpMaximumApplicationAddress;
    DWORD dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
};
static_assert(sizeof(SYSTEM_INFO) == 36);

void GetSystemInfo(SYSTEM_INFO* info);

// ---------------------------------------------------------------- memory
struct MEMORYSTATUS {
    DWORD dwLength;   // 32
    DWORD dwMemoryLoad;
    SIZE_T dwTotalPhys;
    SIZE_T dwAvailPhys;
    SIZE_T dwTotalPageFile;
    SIZE_T dwAvailPageFile;
    SIZE_T dwTotalVirtual;
    SIZE_T dwAvailVirtual;
};
static_assert(sizeof(MEMORYSTATUS) == 32);

#pragma pack(push, 4)
struct MEMORYSTATUSEX {
    DWORD dwLength;   // 64
    DWORD dwMemoryLoad;
    DWORDLONG ullTotalPhys;
    DWORDLONG ullAvailPhys;
    DWORDLONG ullTotalPageFile;
    DWORDLONG ullAvailPageFile;
    DWORDLONG ullTotalVirtual;
    DWORDLONG ullAvailVirtual;
    DWORDLONG ullAvailExtendedVirtual;
};
#pragma pack(pop)
static_assert(sizeof(MEMORYSTATUSEX) == 64);

// Amounts above 4 GB are clipped to 0xFFFFFFFF, as Windows 2000 and XP do.
void GlobalMemoryStatus(MEMORYSTATUS* status);
// An export of "kernel32" that Windows 9x and NT 4.0 lack; look it up with
// GetProcAddress instead of calling it directly when the machine matters.
BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status);

// ---------------------------------------------------------------- names and folders
BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
BOOL GetUserNameA(LPSTR buffer, LPDWORD size);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
DWORD GetTempPathA(DWORD size, LPSTR buffer);
// The program's own executable, in drive-letter form.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// The machine's ANSI code page (1252, or 65001 for UTF-8).
UINT GetACP();

// ---------------------------------------------------------------- time
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
struct LARGE_INTEGER {
    LONGLONG QuadPart;
};

void GetLocalTime(SYSTEMTIME* time);
void GetSystemTime(SYSTEMTIME* time);
void GetSystemTimeAsFileTime(FILETIME* time);
// Milliseconds since the machine started, wrapping at 2^32 as on Windows.
DWORD GetTickCount();
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void Sleep(DWORD milliseconds);

// ---------------------------------------------------------------- environment
// The block of NAME=value entries, each ended by a zero byte, the block by an
// empty entry. The pointer stays valid until the next call or
// FreeEnvironmentStringsA.
LPSTR GetEnvironmentStringsA();
BOOL FreeEnvironmentStringsA(LPSTR block);
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);

// ---------------------------------------------------------------- libraries
HMODULE GetModuleHandleA(LPCSTR name);
HMODULE LoadLibraryA(LPCSTR name);
BOOL FreeLibrary(HMODULE module);
// name may be an ordinal made with MAKEINTRESOURCEA.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
inline LPCSTR MAKEINTRESOURCEA(WORD ordinal) {
    return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(ordinal));
}
inline bool IS_INTRESOURCE(LPCSTR name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

// The 16-bit path of Windows 9x: kernel32 exports these by ordinal only
// (35, 36, 37); QT_Thunk calls a 16-bit procedure with one 16-bit argument.
// On Windows they are reached through GetProcAddress; their shapes are:
using LoadLibrary16Proc = HINSTANCE16 (*)(LPCSTR fileName);
using FreeLibrary16Proc = void (*)(HINSTANCE16 module);
using GetProcAddress16Proc = SEGPTR (*)(HINSTANCE16 module, LPCSTR procName);
// Windows passes the target in EDX; here it is the first argument.
using QT_ThunkProc = WORD (*)(SEGPTR procedure, WORD argument);

// ---------------------------------------------------------------- registry
#define TORVEX_HKEY(v) reinterpret_cast<::win32::HKEY>(static_cast<std::uintptr_t>(v))
inline const HKEY HKEY_CLASSES_ROOT = TORVEX_HKEY(0x80000000u);
inline const HKEY HKEY_CURRENT_USER = TORVEX_HKEY(0x80000001u);
inline const HKEY HKEY_LOCAL_MACHINE = TORVEX_HKEY(0x80000002u);
inline const HKEY HKEY_USERS = TORVEX_HKEY(0x80000003u);
inline const HKEY HKEY_PERFORMANCE_DATA = TORVEX_HKEY(0x80000004u);
inline const HKEY HKEY_CURRENT_CONFIG = TORVEX_HKEY(0x80000005u);
inline const HKEY HKEY_DYN_DATA = TORVEX_HKEY(0x80000006u);

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM READ_CONTROL = 0x00020000;
constexpr REGSAM DELETE_ACCESS = 0x00010000;
constexpr REGSAM WRITE_DAC = 0x00040000;
constexpr REGSAM WRITE_OWNER = 0x00080000;
constexpr REGSAM KEY_READ = READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
constexpr REGSAM KEY_WRITE = READ_CONTROL | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr REGSAM KEY_EXECUTE = KEY_READ;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;
// Rights that change a key; opening with any of them needs write access.
constexpr REGSAM KEY_WRITE_BITS = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK |
                                  DELETE_ACCESS | WRITE_DAC | WRITE_OWNER;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_RESOURCE_LIST = 8;
constexpr DWORD REG_FULL_RESOURCE_DESCRIPTOR = 9;
constexpr DWORD REG_RESOURCE_REQUIREMENTS_LIST = 10;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// A leading backslash in subKey is accepted, as Windows 9x and the
// registry objects of the class library accept it.
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, HKEY* result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                     REGSAM desired, void* security, HKEY* result, LPDWORD disposition);
LONG RegCloseKey(HKEY key);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR className, LPDWORD classSize, FILETIME* lastWrite);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize);
LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, LPDWORD securityDescriptor,
                      FILETIME* lastWrite);

// ---------------------------------------------------------------- profile files
// A bare file name lives in the Windows directory.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                               DWORD size, LPCSTR fileName);
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR fileName);

// ---------------------------------------------------------------- files
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
DWORD GetFileAttributesA(LPCSTR fileName);

// ---------------------------------------------------------------- resources
// The program's own string table (set by the program at start, see
// torvex::platform::SetResourceStrings). Returns the length copied, 0 when
// the id is unknown.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
HINSTANCE GetModuleHandleSelf();

// ---------------------------------------------------------------- shell
constexpr int SW_SHOWNORMAL = 1;
// Returns a value above 32 on success, as Windows does.
HINSTANCE ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, int showCommand);

// ---------------------------------------------------------------- message boxes
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
int MessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT type);

// ---------------------------------------------------------------- processor
struct CPUIDRegs {
    DWORD eax, ebx, ecx, edx;
};
// The identification instruction exists (the ID flag can be toggled).
bool CpuidAvailable();
CPUIDRegs Cpuid(DWORD leaf, DWORD subLeaf = 0);
// The time-stamp counter (RDTSC).
std::uint64_t ReadTimeStampCounter();

// Thread priority, as the clock measurement raises it briefly.
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
HANDLE GetCurrentThread();
int GetThreadPriority(HANDLE thread);
BOOL SetThreadPriority(HANDLE thread, int priority);

}  // namespace win32

// Further API areas, one header each, added as the engine grows.
#include "platform/win32/Win32Areas.h"
