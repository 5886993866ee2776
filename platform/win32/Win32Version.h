// File version information (version.dll): the VS_VERSIONINFO block of a
// file's version resource.
//
// The block is read from real 32- and 64-bit Windows executables (PE files)
// on the active machine, wherever they are. The program's own executable
// answers with the program's own version, on every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"

namespace win32 {

using PUINT = UINT*;

constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

// A bare file name is searched in the program's folder, the system folder,
// the Windows folder and the folders of PATH, as the library search does.
// Returns the size of the buffer GetFileVersionInfoA needs; 0 when the file
// is missing (ERROR_FILE_NOT_FOUND), has no version resource
// (ERROR_RESOURCE_TYPE_NOT_FOUND) or is not a readable executable
// (ERROR_BAD_FORMAT). *handle is set to 0.
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle);
// Fills data with the block. A buffer smaller than the size the first call
// answered fails with ERROR_INSUFFICIENT_BUFFER: the texts that
// VerQueryValueA hands out live in the buffer's second part.
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data);
// "\" gives the VS_FIXEDFILEINFO, "\VarFileInfo\Translation" the language
// and code-page pairs, "\StringFileInfo\<lang><cp>\<Name>" a zero-ended
// UTF-8 text (*length: its characters including the zero). Names compare
// without regard to letter case.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length);

constexpr LONG ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr LONG ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

}  // namespace win32

namespace torvex::platform {

// The raw VS_VERSIONINFO resource of a PE image (32- or 64-bit). On failure
// the result is empty and error says why and where ("section table at
// offset 0x178 lies beyond the end of the file").
std::vector<std::uint8_t> ReadPeVersionResource(const std::vector<std::uint8_t>& image,
                                                std::string& error);

// A VS_VERSIONINFO block as a resource compiler writes it, for the
// program's own version: one string table for language 0409 (U.S.
// English), code page 04E4 (1252).
struct VersionBlockFacts {
    std::uint16_t file[4] = {0, 0, 0, 0};
    std::uint16_t product[4] = {0, 0, 0, 0};
    std::vector<std::pair<std::string, std::string>> strings;   // name, UTF-8 text
};
std::vector<std::uint8_t> BuildVersionBlock(const VersionBlockFacts& facts);

// The program's own version, "0.1.0" from the build.
std::string ProgramVersion();

}  // namespace torvex::platform
