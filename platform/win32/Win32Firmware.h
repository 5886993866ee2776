// Reaching the firmware segment: the first megabyte as Windows 9x maps it,
// the NT physical-memory section and its views, and the files and child
// process with which a 16-bit program reads the segment when the section is
// closed to the user.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t(0));

// ---------------------------------------------------------------- first megabyte (Windows 9x)
// Windows 9x maps the first megabyte of physical memory into every process,
// so a program reads the firmware segment as plain memory at its linear
// address. The layer copies it; on NT (where the read faults) and for an
// address range beyond the first megabyte it fails with
// ERROR_ACCESS_DENIED.
BOOL ReadLinearMemory(DWORD address, LPVOID buffer, DWORD size);

// ---------------------------------------------------------------- native services (NT)
using NTSTATUS = LONG;
constexpr NTSTATUS STATUS_SUCCESS = 0;
constexpr NTSTATUS STATUS_ACCESS_DENIED = static_cast<NTSTATUS>(0xC0000022u);
constexpr NTSTATUS STATUS_OBJECT_NAME_NOT_FOUND = static_cast<NTSTATUS>(0xC0000034u);
constexpr NTSTATUS STATUS_INVALID_HANDLE = static_cast<NTSTATUS>(0xC0000008u);

struct UNICODE_STRING {
    WORD Length;          // bytes, without a terminating zero
    WORD MaximumLength;
    const char16_t* Buffer;
};
constexpr ULONG OBJ_CASE_INSENSITIVE = 0x40;
struct OBJECT_ATTRIBUTES {
    ULONG Length;
    HANDLE RootDirectory;
    UNICODE_STRING* ObjectName;
    ULONG Attributes;
    LPVOID SecurityDescriptor;
    LPVOID SecurityQualityOfService;
};
constexpr DWORD SECTION_MAP_READ = 0x0004;

// Exports of "ntdll.dll", which every NT process has loaded; a program
// looks them up with GetProcAddress. Only "\Device\PhysicalMemory" is
// known; it opens when the machine lets the user map the firmware segment.
using ZwOpenSectionProc = NTSTATUS (*)(HANDLE* section, DWORD desiredAccess,
                                       OBJECT_ATTRIBUTES* attributes);
using ZwCloseProc = NTSTATUS (*)(HANDLE handle);
NTSTATUS ZwOpenSection(HANDLE* section, DWORD desiredAccess, OBJECT_ATTRIBUTES* attributes);
NTSTATUS ZwClose(HANDLE handle);

constexpr DWORD FILE_MAP_READ = 0x0004;
// A read-only view of an opened section; the physical-memory section maps
// views that lie inside the firmware segment. Null on failure.
LPVOID MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow,
                     SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID base);

// ---------------------------------------------------------------- files and folders
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr LONG ERROR_ALREADY_EXISTS = 183;
constexpr LONG ERROR_FILE_EXISTS = 80;
constexpr LONG ERROR_DIR_NOT_EMPTY = 145;

// Files of the machine, by their Windows paths.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, void* security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               void* overlapped);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, void* overlapped);
BOOL CloseHandle(HANDLE handle);
BOOL DeleteFileA(LPCSTR fileName);
BOOL CreateDirectoryA(LPCSTR pathName, void* security);
BOOL RemoveDirectoryA(LPCSTR pathName);

// ---------------------------------------------------------------- processes
constexpr DWORD CREATE_NEW_CONSOLE = 0x00000010;
constexpr DWORD CREATE_NEW_PROCESS_GROUP = 0x00000200;
constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
constexpr WORD SW_HIDE = 0;
constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 0x102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD STILL_ACTIVE = 0x103;

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput, hStdOutput, hStdError;
};
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

// The machine's command interpreter (the "ComSpec" program) can be started
// with "/C", a 16-bit program (.COM) and "> file": the program runs in the
// machine's DOS box with its standard output going to the file. The layer
// runs such programs itself; DOS's write (40h) and exit (4Ch) functions are
// what it offers them. Anything else fails with ERROR_FILE_NOT_FOUND.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, STARTUPINFOA* startupInfo,
                    PROCESS_INFORMATION* processInformation);
// A process ends or the time runs out (the machine's clock moves on by the
// time waited).
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
BOOL TerminateProcess(HANDLE process, UINT exitCode);

}  // namespace win32
