// The print spooler's printer list and the default printer, and the
// profile calls that read WIN.INI.
//
// The spooler answers from the active machine: a machine that knows its
// printers itself (the live host's print server) names them; any other is
// answered from the registry's "Print\Printers" keys, with the default from
// the "device" line of WIN.INI's [windows] section, where Windows keeps
// them.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

constexpr DWORD PRINTER_ENUM_DEFAULT = 0x01;
constexpr DWORD PRINTER_ENUM_LOCAL = 0x02;
constexpr DWORD PRINTER_ENUM_CONNECTIONS = 0x04;
constexpr DWORD ERROR_INVALID_LEVEL = 124;
constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;

constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x04;
constexpr DWORD PRINTER_ATTRIBUTE_NETWORK = 0x10;
constexpr DWORD PRINTER_ATTRIBUTE_LOCAL = 0x40;

struct PRINTER_INFO_4A {
    LPSTR pPrinterName;
    LPSTR pServerName;
    DWORD Attributes;
};

struct PRINTER_INFO_5A {
    LPSTR pPrinterName;
    LPSTR pPortName;
    DWORD Attributes;
    DWORD DeviceNotSelectedTimeout;
    DWORD TransmissionRetryTimeout;
};

// Levels 4 and 5. PRINTER_ENUM_LOCAL gives the printers attached to this
// computer (on the Windows 95 family every installed printer),
// PRINTER_ENUM_CONNECTIONS the connections to other computers' printers,
// PRINTER_ENUM_DEFAULT the default printer alone; in the spooler's order.
// The records and their texts are written into the buffer; a buffer too
// small fails with ERROR_INSUFFICIENT_BUFFER and *needed says how much is
// needed.
BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned);

// A printer by its exact name, as the last enumeration listed it (asking
// the spooler afresh only for a name it did not list). defaults: unused.
BOOL OpenPrinterA(LPSTR name, HANDLE* printer, LPVOID defaults);
// Level 5 only.
BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
BOOL ClosePrinter(HANDLE printer);

// GetPrivateProfileStringA on WIN.INI in the Windows directory; a null key
// lists the section's key names.
DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size);

}  // namespace win32
