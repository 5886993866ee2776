// Window-system settings, keyboard, screen metrics, fonts and printers.
#pragma once

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Print.h"

namespace win32 {

using SHORT = std::int16_t;
using LPARAM = std::intptr_t;
struct HDC__;
using HDC = HDC__*;

// ---------------------------------------------------------------- system parameters
constexpr UINT SPI_GETBEEP = 1;
constexpr UINT SPI_SETBEEP = 2;
constexpr UINT SPI_GETKEYBOARDSPEED = 10;
constexpr UINT SPI_SETKEYBOARDSPEED = 11;
constexpr UINT SPI_GETSCREENSAVETIMEOUT = 14;
constexpr UINT SPI_SETSCREENSAVETIMEOUT = 15;
constexpr UINT SPI_GETSCREENSAVEACTIVE = 16;
constexpr UINT SPI_SETSCREENSAVEACTIVE = 17;
constexpr UINT SPI_GETKEYBOARDDELAY = 22;
constexpr UINT SPI_SETKEYBOARDDELAY = 23;
constexpr UINT SPI_SETDRAGFULLWINDOWS = 37;
constexpr UINT SPI_GETDRAGFULLWINDOWS = 38;
constexpr UINT SPI_GETANIMATION = 72;
constexpr UINT SPI_SETANIMATION = 73;
constexpr UINT SPI_GETFONTSMOOTHING = 74;
constexpr UINT SPI_SETFONTSMOOTHING = 75;
constexpr UINT SPI_GETWINDOWSEXTENSION = 92;
constexpr UINT SPI_GETSNAPTODEFBUTTON = 95;
constexpr UINT SPI_SETSNAPTODEFBUTTON = 96;

constexpr UINT SPIF_UPDATEINIFILE = 0x01;
constexpr UINT SPIF_SENDWININICHANGE = 0x02;
constexpr UINT SPIF_SENDCHANGE = SPIF_SENDWININICHANGE;

struct ANIMATIONINFO {
    UINT cbSize;   // 8
    int iMinAnimate;
};

// GET actions write into param (a BOOL, int or UINT, or an ANIMATIONINFO);
// SET actions take the new value in uiParam (BOOL/number) or, for the
// animation, param. The settings live in the user's Control Panel keys.
// Actions a family lacks (the extension query on NT, the default-button
// snap on 9x) fail; a machine whose settings the program must not change
// fails every SET with ERROR_ACCESS_DENIED.
BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* param, UINT winIni);

// ---------------------------------------------------------------- keyboard
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr DWORD KEYEVENTF_EXTENDEDKEY = 0x01;
constexpr DWORD KEYEVENTF_KEYUP = 0x02;

// Low bit: the key is toggled on; high bit: held down (never, here).
SHORT GetKeyState(int virtualKey);
BOOL GetKeyboardState(BYTE* state);   // 256 bytes
// Takes the toggle bits of the lock keys from the array.
BOOL SetKeyboardState(const BYTE* state);
// A key press (flags without KEYEVENTF_KEYUP) of a lock key flips it.
void keybd_event(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo);

// ---------------------------------------------------------------- screen
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int index);

constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
// "DISPLAY" (any case) gives the screen's device context; null otherwise.
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* initData);
BOOL DeleteDC(HDC dc);
HDC GetDC(HWND window);   // the screen for a null window
int ReleaseDC(HWND window, HDC dc);
int GetDeviceCaps(HDC dc, int index);

// ---------------------------------------------------------------- fonts
constexpr int LF_FACESIZE = 32;
constexpr DWORD TRUETYPE_FONTTYPE = 0x004;
struct LOGFONTA {
    LONG lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
    BYTE lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision, lfQuality,
        lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
// The metrics argument is not filled (null).
using FONTENUMPROCA = int (*)(const LOGFONTA* font, const void* metrics, DWORD fontType, LPARAM param);
// With a null family: one call per font family of the device, until the
// callback returns 0. Returns the callback's last answer (1 when none).
int EnumFontFamiliesA(HDC dc, LPCSTR family, FONTENUMPROCA proc, LPARAM param);

// The printers: platform/win32/Win32Print.h.

}  // namespace win32
