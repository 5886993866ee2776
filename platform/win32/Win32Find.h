// Searching a folder for files by a wildcard pattern.
//
// A folder lists its stored files and, besides them, the shortcut files the
// machine shows there without storing them (Machine::folderShortcuts).
#pragma once

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Firmware.h"

namespace win32 {

constexpr LONG ERROR_NO_MORE_FILES = 18;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};

// "C:\Folder\*.lnk": '*' and '?' in the last part, compared without letter
// case. Files and folders match alike; INVALID_HANDLE_VALUE with
// ERROR_FILE_NOT_FOUND when nothing matches (ERROR_PATH_NOT_FOUND without
// the folder).
HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* data);
// FALSE with ERROR_NO_MORE_FILES after the last match.
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);

}  // namespace win32
