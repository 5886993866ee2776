// The screen device's capabilities and the display modes (GDI and USER).
// The size, depth and dots per inch of the screen are in Win32User.h.
#pragma once

#include "platform/win32/Win32.h"
#include "platform/win32/Win32User.h"

namespace win32 {

// GetDeviceCaps indexes beyond the screen's size and depth.
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int CURVECAPS = 28;
constexpr int LINECAPS = 30;
constexpr int POLYGONALCAPS = 32;
constexpr int TEXTCAPS = 34;
constexpr int RASTERCAPS = 38;
constexpr int ASPECTX = 40;
constexpr int ASPECTY = 42;
constexpr int ASPECTXY = 44;

constexpr int DT_PLOTTER = 0;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int DT_RASCAMERA = 3;
constexpr int DT_CHARSTREAM = 4;
constexpr int DT_METAFILE = 5;
constexpr int DT_DISPFILE = 6;

// The answer of GetDeviceCaps for the indexes above on the screen's device
// context; 0 for any other index or device context.
int DisplayDeviceCaps(HDC dc, int index);

constexpr int CCHDEVICENAME = 32;
constexpr int CCHFORMNAME = 32;
constexpr DWORD DM_BITSPERPEL = 0x00040000;
constexpr DWORD DM_PELSWIDTH = 0x00080000;
constexpr DWORD DM_PELSHEIGHT = 0x00100000;
constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;
constexpr DWORD ENUM_CURRENT_SETTINGS = 0xFFFFFFFF;

struct DEVMODEA {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation, dmPaperSize, dmPaperLength, dmPaperWidth, dmScale, dmCopies, dmDefaultSource,
        dmPrintQuality;
    short dmColor, dmDuplex, dmYResolution, dmTTOption, dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod, dmICMIntent, dmMediaType, dmDitherType, dmReserved1, dmReserved2, dmPanningWidth,
        dmPanningHeight;
};
static_assert(sizeof(DEVMODEA) == 156);

// Mode number n of the primary display (a null device name), in the order the
// machine keeps them; FALSE past the last. ENUM_CURRENT_SETTINGS gives the
// screen as it is now. Fills the size, depth and refresh rate only.
BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNum, DEVMODEA* mode);

// ---------------------------------------------------------------- wide text
// The video keys keep their texts as UTF-16 in binary values. The layer's
// "A" texts are UTF-8, so every code page converts to UTF-8 here. chars -1:
// up to and with the terminating zero. size 0: the bytes needed.
using WCHAR = char16_t;
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int chars, LPSTR text, int size,
                        LPCSTR defaultChar, BOOL* usedDefault);

}  // namespace win32
