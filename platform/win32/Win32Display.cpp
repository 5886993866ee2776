#include "platform/win32/Win32Display.h"

#include <cstring>

#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"

namespace win32 {

using torvex::platform::ActiveMachine;
using torvex::platform::DisplayFacts;

namespace {

DisplayFacts Facts() { return ActiveMachine().display().value_or(DisplayFacts{}); }

// The screen's device context is the one GetDC(0) hands out.
bool IsScreen(HDC dc) {
    HDC screen = GetDC(nullptr);
    ReleaseDC(nullptr, screen);
    return dc && dc == screen;
}

}  // namespace

int DisplayDeviceCaps(HDC dc, int index) {
    if (!IsScreen(dc)) return 0;
    DisplayFacts f = Facts();
    switch (index) {
    case TECHNOLOGY: return f.technology;
    case HORZSIZE: return f.widthMM;
    case VERTSIZE: return f.heightMM;
    case ASPECTX: return f.aspectX;
    case ASPECTY: return f.aspectY;
    case ASPECTXY: return f.aspectXY;
    case CURVECAPS: return int(f.curveCaps);
    case LINECAPS: return int(f.lineCaps);
    case POLYGONALCAPS: return int(f.polygonalCaps);
    case TEXTCAPS: return int(f.textCaps);
    case RASTERCAPS: return int(f.rasterCaps);
    default: return 0;
    }
}

BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNum, DEVMODEA* mode) {
    // Only the primary display is known, by its null name.
    if (!mode || deviceName) return FALSE;
    torvex::platform::DisplayMode m;
    if (modeNum == ENUM_CURRENT_SETTINGS) {
        HDC dc = GetDC(nullptr);
        m.width = DWORD(GetDeviceCaps(dc, HORZRES));
        m.height = DWORD(GetDeviceCaps(dc, VERTRES));
        m.bitsPerPixel = DWORD(GetDeviceCaps(dc, BITSPIXEL));
        ReleaseDC(nullptr, dc);
        if (m.width == 0) return FALSE;
    } else {
        DisplayFacts f = Facts();
        if (modeNum >= f.modes.size()) return FALSE;
        m = f.modes[modeNum];
    }
    // The caller's size field and the rest of the record are left as given;
    // only the display fields are written.
    mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | (m.frequency ? DM_DISPLAYFREQUENCY : 0);
    mode->dmBitsPerPel = m.bitsPerPixel;
    mode->dmPelsWidth = m.width;
    mode->dmPelsHeight = m.height;
    mode->dmDisplayFrequency = m.frequency;
    return TRUE;
}

int WideCharToMultiByte(UINT, DWORD, const WCHAR* wide, int chars, LPSTR text, int size, LPCSTR,
                        BOOL* usedDefault) {
    if (usedDefault) *usedDefault = FALSE;
    if (!wide || chars == 0 || chars < -1 || size < 0) return 0;
    std::size_t n = 0;
    if (chars == -1) {
        while (wide[n]) ++n;
        ++n;   // the zero is converted too
    } else {
        n = std::size_t(chars);
    }
    std::string out = torvex::platform::Utf16ToUtf8(std::u16string_view(wide, n));
    if (size == 0) return int(out.size());
    if (!text || out.size() > std::size_t(size)) {
        SetLastError(DWORD(ERROR_INSUFFICIENT_BUFFER));
        return 0;
    }
    std::memcpy(text, out.data(), out.size());
    return int(out.size());
}

}  // namespace win32
