// Window-system settings over the active machine. A machine that does not
// answer a setting itself keeps it where Windows does: the user's Control
// Panel keys (Desktop, Keyboard, Sound, Mouse), the current configuration's
// display settings, the installed fonts' and printers' keys.
#include "platform/win32/Win32User.h"
#include "platform/win32/Win32Display.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/machine/Machine.h"

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::RegKey;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::platform::ScreenFacts;

struct Setting {
    const char* key;
    const char* value;
    const char* fallback;
};

RegKey* UserKey(const char* path) { return ActiveMachine().registry().root(RegRoot::CurrentUser).find(path); }

std::string Read(const Setting& s) {
    RegKey* key = UserKey(s.key);
    const RegValue* v = key ? key->value(s.value) : nullptr;
    return v ? v->text() : s.fallback;
}

int ReadNumber(const Setting& s) { return std::atoi(Read(s).c_str()); }

bool Write(const Setting& s, const std::string& text, UINT winIni) {
    auto& m = ActiveMachine();
    if (!m.acceptsSettingChanges()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // Without SPIF_UPDATEINIFILE the change would last only until the next
    // logon; this machine's memory is all the session there is.
    (void)winIni;
    m.registry().root(RegRoot::CurrentUser).ensure(s.key).setValue(RegValue::String(s.value, text));
    return true;
}

const Setting kBeep{"Control Panel\\Sound", "Beep", "yes"};
const Setting kKeyboardSpeed{"Control Panel\\Keyboard", "KeyboardSpeed", "31"};
const Setting kKeyboardDelay{"Control Panel\\Keyboard", "KeyboardDelay", "1"};
const Setting kScreenSaveTimeOut{"Control Panel\\Desktop", "ScreenSaveTimeOut", "900"};
const Setting kScreenSaveActive{"Control Panel\\Desktop", "ScreenSaveActive", "0"};
const Setting kDragFullWindows{"Control Panel\\Desktop", "DragFullWindows", "0"};
const Setting kFontSmoothing{"Control Panel\\Desktop", "FontSmoothing", "0"};
const Setting kMinAnimate{"Control Panel\\Desktop\\WindowMetrics", "MinAnimate", "1"};
const Setting kSnapToDefault{"Control Panel\\Mouse", "SnapToDefaultButton", "0"};

bool AnsiYes(const std::string& text) {
    std::string t = text;
    std::transform(t.begin(), t.end(), t.begin(), ::tolower);
    return t == "yes" || t == "1";
}

bool IsNT() { return ActiveMachine().version().platformId == VER_PLATFORM_WIN32_NT; }

BOOL PutInt(void* param, int value) {
    if (!param) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(param, &value, sizeof value);
    return TRUE;
}

// Windows 98 and Me have the desktop extensions built in; on Windows 95
// they come with the Plus! pack.
bool HasWindowsExtension() {
    auto& m = ActiveMachine();
    auto v = m.version();
    if (v.platformId != VER_PLATFORM_WIN32_WINDOWS) return false;
    if (v.major > 4 || (v.major == 4 && v.minor >= 10)) return true;
    return m.registry().root(RegRoot::LocalMachine).find("SOFTWARE\\Microsoft\\Plus!") != nullptr;
}

}  // namespace

BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* param, UINT winIni) {
    switch (action) {
    case SPI_GETBEEP:
        return PutInt(param, AnsiYes(Read(kBeep)));
    case SPI_SETBEEP:
        return Write(kBeep, uiParam ? "Yes" : "No", winIni);
    case SPI_GETKEYBOARDSPEED:
        return PutInt(param, std::clamp(ReadNumber(kKeyboardSpeed), 0, 31));
    case SPI_SETKEYBOARDSPEED:
        return Write(kKeyboardSpeed, std::to_string(std::min<UINT>(uiParam, 31)), winIni);
    case SPI_GETKEYBOARDDELAY:
        return PutInt(param, std::clamp(ReadNumber(kKeyboardDelay), 0, 3));
    case SPI_SETKEYBOARDDELAY:
        return Write(kKeyboardDelay, std::to_string(std::min<UINT>(uiParam, 3)), winIni);
    case SPI_GETSCREENSAVETIMEOUT:
        return PutInt(param, ReadNumber(kScreenSaveTimeOut));
    case SPI_SETSCREENSAVETIMEOUT:
        return Write(kScreenSaveTimeOut, std::to_string(uiParam), winIni);
    case SPI_GETSCREENSAVEACTIVE:
        return PutInt(param, ReadNumber(kScreenSaveActive) != 0);
    case SPI_SETSCREENSAVEACTIVE:
        return Write(kScreenSaveActive, uiParam ? "1" : "0", winIni);
    case SPI_GETDRAGFULLWINDOWS:
        return PutInt(param, ReadNumber(kDragFullWindows) != 0);
    case SPI_SETDRAGFULLWINDOWS:
        return Write(kDragFullWindows, uiParam ? "1" : "0", winIni);
    case SPI_GETFONTSMOOTHING:
        return PutInt(param, ReadNumber(kFontSmoothing) != 0);
    case SPI_SETFONTSMOOTHING:
        return Write(kFontSmoothing, uiParam ? "2" : "0", winIni);
    case SPI_GETANIMATION: {
        auto* info = static_cast<ANIMATIONINFO*>(param);
        if (!info || info->cbSize != sizeof(ANIMATIONINFO)) break;
        info->iMinAnimate = ReadNumber(kMinAnimate) != 0;
        return TRUE;
    }
    case SPI_SETANIMATION: {
        auto* info = static_cast<const ANIMATIONINFO*>(param);
        if (!info || info->cbSize != sizeof(ANIMATIONINFO)) break;
        return Write(kMinAnimate, info->iMinAnimate ? "1" : "0", winIni);
    }
    case SPI_GETWINDOWSEXTENSION:
        // Answers in the result, not in a parameter.
        return HasWindowsExtension() ? TRUE : FALSE;
    case SPI_GETSNAPTODEFBUTTON:
        if (!IsNT()) break;
        return PutInt(param, ReadNumber(kSnapToDefault) != 0);
    case SPI_SETSNAPTODEFBUTTON:
        if (!IsNT()) break;
        return Write(kSnapToDefault, uiParam ? "1" : "0", winIni);
    default:
        break;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// ---------------------------------------------------------------- keyboard

namespace {

bool IsLockKey(int vk) { return vk == VK_CAPITAL || vk == VK_NUMLOCK || vk == VK_SCROLL; }

// The indicators the user logs on with: bit 0 Caps Lock, 1 Num Lock,
// 2 Scroll Lock.
bool InitialToggle(int vk) {
    int bits = std::atoi(Read({"Control Panel\\Keyboard", "InitialKeyboardIndicators", "0"}).c_str());
    int bit = vk == VK_CAPITAL ? 1 : vk == VK_NUMLOCK ? 2 : vk == VK_SCROLL ? 4 : 0;
    return (bits & bit) != 0;
}

bool Toggled(int vk) {
    if (!IsLockKey(vk)) return false;
    return ActiveMachine().keyToggled(vk).value_or(InitialToggle(vk));
}

}  // namespace

SHORT GetKeyState(int virtualKey) { return Toggled(virtualKey) ? 1 : 0; }

BOOL GetKeyboardState(BYTE* state) {
    if (!state) return FALSE;
    std::memset(state, 0, 256);
    for (int vk : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL}) state[vk] = Toggled(vk) ? 1 : 0;
    return TRUE;
}

BOOL SetKeyboardState(const BYTE* state) {
    if (!state) return FALSE;
    auto& m = ActiveMachine();
    for (int vk : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL}) {
        bool on = (state[vk] & 1) != 0;
        if (on != Toggled(vk)) m.setKeyToggled(vk, on);
    }
    return TRUE;
}

void keybd_event(BYTE virtualKey, BYTE, DWORD flags, ULONG_PTR) {
    if (!IsLockKey(virtualKey) || (flags & KEYEVENTF_KEYUP)) return;
    ActiveMachine().setKeyToggled(virtualKey, !Toggled(virtualKey));
}

// ---------------------------------------------------------------- screen

namespace {

ScreenFacts Screen() {
    auto& m = ActiveMachine();
    if (auto s = m.screen()) return *s;
    ScreenFacts s;
    auto& r = m.registry();
    RegKey* display = r.root(RegRoot::CurrentConfig).find("Display\\Settings");
    if (!display) return s;
    if (const RegValue* v = display->value("Resolution")) {
        std::string text = v->text();
        s.width = std::atoi(text.c_str());
        auto comma = text.find(',');
        if (comma != std::string::npos) s.height = std::atoi(text.c_str() + comma + 1);
    }
    if (const RegValue* v = display->value("BitsPerPixel")) s.bitsPerPixel = std::atoi(v->text().c_str());
    s.planes = 1;
    s.logPixels = 96;
    // Windows 9x keeps the dots per inch with the display settings, NT with
    // the fonts.
    if (const RegValue* v = display->value("DPILogicalY")) s.logPixels = std::atoi(v->text().c_str());
    if (RegKey* fonts = r.root(RegRoot::CurrentConfig).find("Software\\Fonts"))
        if (const RegValue* v = fonts->value("LogPixels")) s.logPixels = std::atoi(v->text().c_str());
    return s;
}

HDC ScreenDC() { return reinterpret_cast<HDC>(static_cast<std::uintptr_t>(0x0D150001u)); }

}  // namespace

int GetSystemMetrics(int index) {
    if (index == SM_CXSCREEN) return Screen().width;
    if (index == SM_CYSCREEN) return Screen().height;
    return 0;
}

HDC CreateDCA(LPCSTR driver, LPCSTR, LPCSTR, const void*) {
    std::string name = driver ? driver : "";
    std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    return name == "DISPLAY" ? ScreenDC() : nullptr;
}

BOOL DeleteDC(HDC dc) { return dc == ScreenDC(); }
HDC GetDC(HWND window) { return window ? nullptr : ScreenDC(); }
int ReleaseDC(HWND, HDC dc) { return dc == ScreenDC() ? 1 : 0; }

int GetDeviceCaps(HDC dc, int index) {
    if (dc != ScreenDC()) return 0;
    ScreenFacts s = Screen();
    switch (index) {
    case HORZRES: return s.width;
    case VERTRES: return s.height;
    case BITSPIXEL: return s.bitsPerPixel;
    case PLANES: return s.planes;
    case LOGPIXELSX:
    case LOGPIXELSY: return s.logPixels;
    default: return DisplayDeviceCaps(dc, index);
    }
}

// ---------------------------------------------------------------- fonts

namespace {

// "Arial Bold Italic (TrueType)" -> "Arial"; "MS Sans Serif 8,10,12" ->
// "MS Sans Serif": the family of an installed font's registry entry.
std::string FamilyOf(std::string name) {
    if (auto paren = name.find(" ("); paren != std::string::npos) name.erase(paren);
    for (bool changed = true; changed;) {
        changed = false;
        auto space = name.find_last_of(' ');
        if (space == std::string::npos) break;
        std::string last = name.substr(space + 1);
        bool sizes = !last.empty() && last.find_first_not_of("0123456789,") == std::string::npos;
        if (sizes || last == "Bold" || last == "Italic" || last == "Oblique" || last == "Regular") {
            name.erase(space);
            changed = true;
        }
    }
    return name;
}

std::vector<std::string> FontFamilies() {
    auto& m = ActiveMachine();
    if (auto f = m.fontFamilies()) return *f;
    bool nt = m.version().platformId == VER_PLATFORM_WIN32_NT;
    RegKey* key = m.registry().root(RegRoot::LocalMachine).find(
        nt ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts" : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts");
    std::vector<std::string> out;
    std::set<std::string> seen;
    if (key)
        for (const RegValue& v : key->values()) {
            std::string family = FamilyOf(v.name);
            if (!family.empty() && seen.insert(family).second) out.push_back(family);
        }
    return out;
}

}  // namespace

int EnumFontFamiliesA(HDC dc, LPCSTR family, FONTENUMPROCA proc, LPARAM param) {
    if (dc != ScreenDC() || !proc) return 0;
    int answer = 1;
    for (const std::string& name : FontFamilies()) {
        if (family && name != family) continue;
        LOGFONTA font{};
        font.lfWeight = 400;
        std::strncpy(font.lfFaceName, name.c_str(), LF_FACESIZE - 1);
        answer = proc(&font, nullptr, TRUETYPE_FONTTYPE, param);
        if (!answer) break;
    }
    return answer;
}

}  // namespace win32
