#include "components/QuentaSysInfo.h"

#include "components/CpuIdentity.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace torvex::components {

namespace {

constexpr const char* kUnknown = "(Unknown)";
constexpr win32::UINT kBroadcast = win32::SPIF_UPDATEINIFILE | win32::SPIF_SENDWININICHANGE;

std::string Percent(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d %%", value);
    return text;
}

win32::MEMORYSTATUS MemoryStatus() {
    win32::MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    win32::GlobalMemoryStatus(&status);
    return status;
}

win32::OSVERSIONINFOA VersionInfo() {
    win32::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!win32::GetVersionExA(&info)) std::memset(&info, 0, sizeof info);
    return info;
}

std::string Buffered(win32::UINT (*call)(win32::LPSTR, win32::UINT)) {
    char buffer[win32::MAX_PATH + 1] = {};
    win32::UINT n = call(buffer, win32::MAX_PATH);
    return n <= win32::MAX_PATH ? std::string(buffer, n) : std::string();
}

win32::FARPROC Kernel32Export(win32::LPCSTR name) {
    win32::HMODULE kernel = win32::GetModuleHandleA("kernel32");
    return kernel ? win32::GetProcAddress(kernel, name) : nullptr;
}

classes::TStringList Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return classes::AnsiCompareText(a, b) < 0; });
    classes::TStringList list;
    list.AddStrings(names);
    return list;
}

}  // namespace

// ---------------------------------------------------------------- TQuentaCPUInfoObject

TQuentaCPUInfoObject::TQuentaCPUInfoObject() { Identify(); }

bool TQuentaCPUInfoObject::ExistCPUInfo() const { return win32::CpuidAvailable(); }

void TQuentaCPUInfoObject::Identify() {
    const CpuIdentity id = ReadCpuIdentity();
    FIDString = id.idString;
    FCPUName = id.cpuName;
    FStepping = id.stepping;
    FModel = id.model;
    FFamily = id.family;
    FFeatures = id.features;
    FExtendedFeatures = id.extendedFeatures;
}

void TQuentaCPUInfoObject::PublishProperties(classes::TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("IDString", FIDString);
    p.Add("Stepping", FStepping);
    p.Add("Model", FModel);
    p.Add("Family", FFamily);
    p.AddGetter("FPU", [this] { return FPU(); });
    p.AddGetter("VirtualModeExtensions", [this] { return VirtualModeExtensions(); });
    p.AddGetter("DebuggingExtensions", [this] { return DebuggingExtensions(); });
    p.AddGetter("PageSizeExtensions", [this] { return PageSizeExtensions(); });
    p.AddGetter("TimeStampCoutner", [this] { return TimeStampCoutner(); });
    p.AddGetter("K86_ModelSpecificRegisters", [this] { return K86_ModelSpecificRegisters(); });
    p.AddGetter("MachineCheckException", [this] { return MachineCheckException(); });
    p.AddGetter("CMP_XCHG_8B", [this] { return CMP_XCHG_8B(); });
    p.AddGetter("APIC", [this] { return APIC(); });
    p.AddGetter("MemoryTypeRangeRegisters", [this] { return MemoryTypeRangeRegisters(); });
    p.AddGetter("GlobalPaging", [this] { return GlobalPaging(); });
    p.AddGetter("Cond_MOVE_Instruct", [this] { return Cond_MOVE_Instruct(); });
    p.AddGetter("MMX", [this] { return MMX(); });
    p.AddGetter("SysCallAndSysRet", [this] { return SysCallAndSysRet(); });
    p.AddGetter("FPCond_MOVE_Instruct", [this] { return FPCond_MOVE_Instruct(); });
    p.AddGetter("AMD3DNow", [this] { return AMD3DNow(); });
    p.Add("CPUName", FCPUName);
    p.AddGetter("ExistCPUInfo", [this] { return ExistCPUInfo(); });
}

// ---------------------------------------------------------------- TQuentaSysInfo

TQuentaSysInfo::TQuentaSysInfo(classes::TComponent* owner)
    : classes::TComponent(owner),
      FEnvironment(std::make_unique<classes::TStringList>()),
      FProcessorInfo(std::make_unique<TQuentaCPUInfoObject>()) {
    FIsNT = VersionInfo().dwPlatformId == win32::VER_PLATFORM_WIN32_NT;
    FPlusAvailable = !FIsNT && win32::SystemParametersInfoA(win32::SPI_GETWINDOWSEXTENSION, 1, nullptr, 0) != 0;
}

TQuentaSysInfo::~TQuentaSysInfo() = default;

void TQuentaSysInfo::PublishProperties(classes::TPublished& p) const {
    classes::TComponent::PublishProperties(p);
#define TORVEX_PUBLISH(Name) p.AddGetter(#Name, [this] { return Name(); });
    TORVEX_PUBLISH(CurrentUser)
    TORVEX_PUBLISH(RegisteredCompany)
    TORVEX_PUBLISH(RegisteredOwner)
    TORVEX_PUBLISH(VersionWIN)
    TORVEX_PUBLISH(WinPath)
    TORVEX_PUBLISH(WinSysPath)
    TORVEX_PUBLISH(FreeGdiRes)
    TORVEX_PUBLISH(FreeUsrRes)
    TORVEX_PUBLISH(FreeSysRes)
    TORVEX_PUBLISH(MemoryLoaded)
    TORVEX_PUBLISH(Platform)
    TORVEX_PUBLISH(TempPath)
    TORVEX_PUBLISH(Computername)
    TORVEX_PUBLISH(ProcessorType)
    TORVEX_PUBLISH(DefaultLanguageString)
    TORVEX_PUBLISH(TimeZone)
    TORVEX_PUBLISH(BuildNumber)
    TORVEX_PUBLISH(MemPhysTotal)
    TORVEX_PUBLISH(MemPhysFree)
    TORVEX_PUBLISH(MemVirtTotal)
    TORVEX_PUBLISH(MemVirtFree)
    TORVEX_PUBLISH(MemPageTotal)
    TORVEX_PUBLISH(MemPageFree)
    TORVEX_PUBLISH(ScreenSaverDelay)
    TORVEX_PUBLISH(DefaultLanguageID)
    TORVEX_PUBLISH(TimeZoneDiff)
    TORVEX_PUBLISH(ScreenWidth)
    TORVEX_PUBLISH(ScreenHeight)
    TORVEX_PUBLISH(ScreenPPi)
    TORVEX_PUBLISH(ProcessorNumber)
    TORVEX_PUBLISH(ColorDepth)
    TORVEX_PUBLISH(KeyboardDelay)
    TORVEX_PUBLISH(KeyboardSpeed)
    TORVEX_PUBLISH(NumLockState)
    TORVEX_PUBLISH(CapsLockState)
    TORVEX_PUBLISH(ScrollLockState)
    TORVEX_PUBLISH(WindowAnimation)
    TORVEX_PUBLISH(WarningBeep)
    TORVEX_PUBLISH(ScreenSaveActive)
    TORVEX_PUBLISH(FontSmoothing)
    TORVEX_PUBLISH(DragFullWindows)
    TORVEX_PUBLISH(SnapToDefaultButton)
    TORVEX_PUBLISH(PlusAvailable)
    TORVEX_PUBLISH(LocaleCalendarType)
    TORVEX_PUBLISH(LocaleCurrencyDigits)
    TORVEX_PUBLISH(LocaleICurrency)
    TORVEX_PUBLISH(LocaleDigits)
    TORVEX_PUBLISH(LocaleFirstDayOfWeek)
    TORVEX_PUBLISH(LocaleFirstWeekOfYear)
    TORVEX_PUBLISH(LocaleZero)
    TORVEX_PUBLISH(LocaleMeasureSystem)
    TORVEX_PUBLISH(LocaleNegativeCurrencyFormat)
    TORVEX_PUBLISH(LocaleNegativeNumberFormat)
    TORVEX_PUBLISH(LocaleTime)
    TORVEX_PUBLISH(LocaleMorningSymbol)
    TORVEX_PUBLISH(LocaleAfternoonSymbol)
    TORVEX_PUBLISH(LocaleCurrencySymbol)
    TORVEX_PUBLISH(LocaleDateSeparator)
    TORVEX_PUBLISH(LocaleDecimalSeparator)
    TORVEX_PUBLISH(LocaleNumericGrouping)
    TORVEX_PUBLISH(LocaleListSeparator)
    TORVEX_PUBLISH(LocaleLongDateFormat)
    TORVEX_PUBLISH(LocaleMonthDecimalSeparator)
    TORVEX_PUBLISH(LocaleCurrencyGrouping)
    TORVEX_PUBLISH(LocaleThousandSeparator)
    TORVEX_PUBLISH(LocaleNegativeSign)
    TORVEX_PUBLISH(LocalePositiveSign)
    TORVEX_PUBLISH(LocaleShortDateFormat)
    TORVEX_PUBLISH(LocaleThousand)
    TORVEX_PUBLISH(LocaleTimeSeparator)
    TORVEX_PUBLISH(LocaleShortTimeFormat)
#undef TORVEX_PUBLISH
    p.Add("ProcessorInfo", FProcessorInfo);
}

// ---------------------------------------------------------------- texts

std::string TQuentaSysInfo::CurrentUser() const {
    char buffer[64] = {};
    win32::DWORD size = 63;
    return win32::GetUserNameA(buffer, &size) ? std::string(buffer) : kUnknown;
}

std::string TQuentaSysInfo::Registration(const char* value) const {
    win32::HKEY key = nullptr;
    const char* path = FIsNT ? "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion" : "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    if (win32::RegOpenKeyExA(win32::HKEY_LOCAL_MACHINE, path, 0, win32::KEY_ALL_ACCESS, &key) != win32::ERROR_SUCCESS)
        return kUnknown;
    std::string text;
    win32::DWORD type = 0, size = 0;
    if (win32::RegQueryValueExA(key, value, nullptr, &type, nullptr, &size) == win32::ERROR_SUCCESS && size > 0) {
        std::string data(size, '\0');
        if (win32::RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<win32::LPBYTE>(data.data()), &size) ==
            win32::ERROR_SUCCESS)
            text = data.c_str();
    }
    win32::RegCloseKey(key);
    return text;
}

std::string TQuentaSysInfo::RegisteredCompany() const { return Registration("RegisteredOrganization"); }
std::string TQuentaSysInfo::RegisteredOwner() const { return Registration("RegisteredOwner"); }

std::string TQuentaSysInfo::VersionWIN() const {
    win32::OSVERSIONINFOA info = VersionInfo();
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(info.dwMajorVersion),
                  static_cast<int>(info.dwMinorVersion));
    return text;
}

std::string TQuentaSysInfo::WinPath() const { return Buffered(win32::GetWindowsDirectoryA); }
std::string TQuentaSysInfo::WinSysPath() const { return Buffered(win32::GetSystemDirectoryA); }

std::string TQuentaSysInfo::FreeResources(win32::WORD selector) const {
    if (FIsNT) return Percent(0);
    auto load = reinterpret_cast<win32::LoadLibrary16Proc>(Kernel32Export(win32::MAKEINTRESOURCEA(35)));
    auto free16 = reinterpret_cast<win32::FreeLibrary16Proc>(Kernel32Export(win32::MAKEINTRESOURCEA(36)));
    auto address = reinterpret_cast<win32::GetProcAddress16Proc>(Kernel32Export(win32::MAKEINTRESOURCEA(37)));
    auto thunk = reinterpret_cast<win32::QT_ThunkProc>(Kernel32Export("QT_Thunk"));
    int percent = 0;
    win32::HINSTANCE16 user = load ? load("user.exe") : 0;
    if (user >= 32) {
        win32::SEGPTR procedure = address ? address(user, "GetFreeSystemResources") : 0;
        if (procedure && thunk) percent = thunk(procedure, selector) & 0x7F;
        if (free16) free16(user);
    }
    return Percent(percent);
}

std::string TQuentaSysInfo::FreeGdiRes() const { return FreeResources(1); }
std::string TQuentaSysInfo::FreeUsrRes() const { return FreeResources(2); }
std::string TQuentaSysInfo::FreeSysRes() const { return FreeResources(0); }
std::string TQuentaSysInfo::MemoryLoaded() const { return Percent(static_cast<int>(MemoryStatus().dwMemoryLoad)); }

std::string TQuentaSysInfo::Platform() const {
    switch (VersionInfo().dwPlatformId) {
    case win32::VER_PLATFORM_WIN32s: return "Win32s";
    case win32::VER_PLATFORM_WIN32_WINDOWS: return "Windows 95";
    case win32::VER_PLATFORM_WIN32_NT: return "Windows NT";
    default: return kUnknown;
    }
}

std::string TQuentaSysInfo::TempPath() const {
    char buffer[win32::MAX_PATH + 1] = {};
    win32::DWORD n = win32::GetTempPathA(win32::MAX_PATH, buffer);
    return n <= win32::MAX_PATH ? std::string(buffer, n) : std::string();
}

std::string TQuentaSysInfo::Computername() const {
    char buffer[17] = {};
    win32::DWORD size = 16;
    return win32::GetComputerNameA(buffer, &size) ? std::string(buffer) : kUnknown;
}

std::string TQuentaSysInfo::ProcessorType() const {
    win32::SYSTEM_INFO info{};
    win32::GetSystemInfo(&info);
    switch (info.dwProcessorType) {
    case 386: return "Intel 386";
    case 486: return "Intel 486";
    case 586: return "Intel Pentium";
    case 21064: return "Alpha 21064";
    case 2000:
    case 3000:
    case 4000: return "Mips R" + std::to_string(info.dwProcessorType);
    default: return std::to_string(info.dwProcessorType);
    }
}

std::string TQuentaSysInfo::DefaultLanguageString() const {
    char buffer[256] = {};
    win32::VerLanguageNameA(win32::GetSystemDefaultLangID(), buffer, sizeof buffer);
    return buffer;
}

std::string TQuentaSysInfo::TimeZone() const {
    win32::TIME_ZONE_INFORMATION tz{};
    win32::GetTimeZoneInformation(&tz);
    return win32::TimeZoneNameText(tz.StandardName);
}

// ---------------------------------------------------------------- integers

std::int32_t TQuentaSysInfo::BuildNumber() const { return static_cast<std::int32_t>(VersionInfo().dwBuildNumber & 0xFFFF); }
std::int32_t TQuentaSysInfo::MemPhysTotal() const { return static_cast<std::int32_t>(MemoryStatus().dwTotalPhys / 1024); }
std::int32_t TQuentaSysInfo::MemPhysFree() const { return static_cast<std::int32_t>(MemoryStatus().dwAvailPhys / 1024); }
std::int32_t TQuentaSysInfo::MemVirtTotal() const { return static_cast<std::int32_t>(MemoryStatus().dwTotalVirtual / 1024); }
std::int32_t TQuentaSysInfo::MemVirtFree() const { return static_cast<std::int32_t>(MemoryStatus().dwAvailVirtual / 1024); }
std::int32_t TQuentaSysInfo::MemPageTotal() const { return static_cast<std::int32_t>(MemoryStatus().dwTotalPageFile / 1024); }
std::int32_t TQuentaSysInfo::MemPageFree() const { return static_cast<std::int32_t>(MemoryStatus().dwAvailPageFile / 1024); }

std::int32_t TQuentaSysInfo::ScreenSaverDelay() const {
    int seconds = 0;
    win32::SystemParametersInfoA(win32::SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
    return seconds / 60;
}

std::int32_t TQuentaSysInfo::DefaultLanguageID() const { return win32::GetSystemDefaultLangID(); }

std::int32_t TQuentaSysInfo::TimeZoneDiff() const {
    win32::TIME_ZONE_INFORMATION tz{};
    win32::GetTimeZoneInformation(&tz);
    return tz.Bias;
}

std::int32_t TQuentaSysInfo::ScreenWidth() const { return win32::GetSystemMetrics(win32::SM_CXSCREEN); }
std::int32_t TQuentaSysInfo::ScreenHeight() const { return win32::GetSystemMetrics(win32::SM_CYSCREEN); }

std::int32_t TQuentaSysInfo::ScreenPPi() const {
    win32::HDC dc = win32::GetDC(nullptr);
    int ppi = win32::GetDeviceCaps(dc, win32::LOGPIXELSY);
    win32::ReleaseDC(nullptr, dc);
    return ppi;
}

std::uint8_t TQuentaSysInfo::ProcessorNumber() const {
    win32::SYSTEM_INFO info{};
    win32::GetSystemInfo(&info);
    return static_cast<std::uint8_t>(info.dwNumberOfProcessors);
}

std::uint8_t TQuentaSysInfo::ColorDepth() const {
    win32::HDC dc = win32::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    int depth = win32::GetDeviceCaps(dc, win32::PLANES) * win32::GetDeviceCaps(dc, win32::BITSPIXEL);
    win32::DeleteDC(dc);
    return static_cast<std::uint8_t>(depth);
}

std::int32_t TQuentaSysInfo::KeyboardDelay() const {
    int value = 0;
    win32::SystemParametersInfoA(win32::SPI_GETKEYBOARDDELAY, 0, &value, 0);
    return value;
}

void TQuentaSysInfo::SetKeyboardDelay(std::int32_t value) {
    win32::SystemParametersInfoA(win32::SPI_SETKEYBOARDDELAY, static_cast<win32::UINT>(value), nullptr, kBroadcast);
}

std::int32_t TQuentaSysInfo::KeyboardSpeed() const {
    int value = 0;
    win32::SystemParametersInfoA(win32::SPI_GETKEYBOARDSPEED, 0, &value, 0);
    return value;
}

void TQuentaSysInfo::SetKeyboardSpeed(std::int32_t value) {
    win32::SystemParametersInfoA(win32::SPI_SETKEYBOARDSPEED, static_cast<win32::UINT>(value), nullptr, kBroadcast);
}

// ---------------------------------------------------------------- Booleans

bool TQuentaSysInfo::GetFlag(win32::UINT action) const {
    win32::BOOL value = win32::FALSE;
    win32::SystemParametersInfoA(action, 0, &value, 0);
    return value != 0;
}

void TQuentaSysInfo::SetFlag(win32::UINT action, bool on) {
    win32::SystemParametersInfoA(action, on ? 1 : 0, nullptr, kBroadcast);
}

bool TQuentaSysInfo::LockState(int key) const { return (win32::GetKeyState(key) & 1) != 0; }

void TQuentaSysInfo::SetLockState(int key, bool on) {
    if (LockState(key) == on) return;
    if (FIsNT) {
        // NT takes the lock keys' state from the keyboard only: press and
        // release the key.
        win32::keybd_event(static_cast<win32::BYTE>(key), 0x45, win32::KEYEVENTF_EXTENDEDKEY, 0);
        win32::keybd_event(static_cast<win32::BYTE>(key), 0x45, win32::KEYEVENTF_EXTENDEDKEY | win32::KEYEVENTF_KEYUP, 0);
    } else {
        win32::BYTE state[256];
        win32::GetKeyboardState(state);
        state[key] = on ? (state[key] | 1) : (state[key] & ~1);
        win32::SetKeyboardState(state);
    }
}

bool TQuentaSysInfo::NumLockState() const { return LockState(win32::VK_NUMLOCK); }
void TQuentaSysInfo::SetNumLockState(bool on) { SetLockState(win32::VK_NUMLOCK, on); }
bool TQuentaSysInfo::CapsLockState() const { return LockState(win32::VK_CAPITAL); }
void TQuentaSysInfo::SetCapsLockState(bool on) { SetLockState(win32::VK_CAPITAL, on); }
bool TQuentaSysInfo::ScrollLockState() const { return LockState(win32::VK_SCROLL); }
void TQuentaSysInfo::SetScrollLockState(bool on) { SetLockState(win32::VK_SCROLL, on); }

bool TQuentaSysInfo::WindowAnimation() const {
    win32::ANIMATIONINFO info{sizeof(win32::ANIMATIONINFO), 0};
    win32::SystemParametersInfoA(win32::SPI_GETANIMATION, sizeof info, &info, 0);
    return info.iMinAnimate != 0;
}

void TQuentaSysInfo::SetWindowAnimation(bool on) {
    win32::ANIMATIONINFO info{sizeof(win32::ANIMATIONINFO), on ? 1 : 0};
    win32::SystemParametersInfoA(win32::SPI_SETANIMATION, sizeof info, &info, kBroadcast);
}

bool TQuentaSysInfo::WarningBeep() const { return GetFlag(win32::SPI_GETBEEP); }
void TQuentaSysInfo::SetWarningBeep(bool on) { SetFlag(win32::SPI_SETBEEP, on); }
bool TQuentaSysInfo::ScreenSaveActive() const { return GetFlag(win32::SPI_GETSCREENSAVEACTIVE); }
void TQuentaSysInfo::SetScreenSaveActive(bool on) { SetFlag(win32::SPI_SETSCREENSAVEACTIVE, on); }
bool TQuentaSysInfo::FontSmoothing() const { return FPlusAvailable && GetFlag(win32::SPI_GETFONTSMOOTHING); }
void TQuentaSysInfo::SetFontSmoothing(bool on) {
    if (FPlusAvailable) SetFlag(win32::SPI_SETFONTSMOOTHING, on);
}
bool TQuentaSysInfo::DragFullWindows() const { return FPlusAvailable && GetFlag(win32::SPI_GETDRAGFULLWINDOWS); }
void TQuentaSysInfo::SetDragFullWindows(bool on) {
    if (FPlusAvailable) SetFlag(win32::SPI_SETDRAGFULLWINDOWS, on);
}
bool TQuentaSysInfo::SnapToDefaultButton() const { return FIsNT && GetFlag(win32::SPI_GETSNAPTODEFBUTTON); }
void TQuentaSysInfo::SetSnapToDefaultButton(bool on) {
    if (FIsNT) SetFlag(win32::SPI_SETSNAPTODEFBUTTON, on);
}

// ---------------------------------------------------------------- lists

const classes::TStringList& TQuentaSysInfo::Environment() const {
    FEnvironment->Clear();
    win32::LPSTR block = win32::GetEnvironmentStringsA();
    for (const char* p = block; p && *p; p += std::strlen(p) + 1) FEnvironment->Add(p);
    if (block) win32::FreeEnvironmentStringsA(block);
    return *FEnvironment;
}

namespace {

int AddFamily(const win32::LOGFONTA* font, const void*, win32::DWORD, win32::LPARAM param) {
    reinterpret_cast<std::vector<std::string>*>(param)->push_back(font->lfFaceName);
    return 1;
}

}  // namespace

classes::TStringList TQuentaSysInfo::AllFonts() const {
    std::vector<std::string> names;
    win32::HDC dc = win32::GetDC(nullptr);
    win32::EnumFontFamiliesA(dc, nullptr, AddFamily, reinterpret_cast<win32::LPARAM>(&names));
    win32::ReleaseDC(nullptr, dc);
    return Sorted(std::move(names));
}

classes::TStringList TQuentaSysInfo::AllPrinters() const {
    win32::DWORD needed = 0, count = 0;
    std::vector<std::string> names;
    win32::EnumPrintersA(win32::PRINTER_ENUM_LOCAL | win32::PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed,
                         &count);
    if (needed > 0) {
        std::vector<win32::BYTE> buffer(needed);
        if (win32::EnumPrintersA(win32::PRINTER_ENUM_LOCAL | win32::PRINTER_ENUM_CONNECTIONS, nullptr, 4, buffer.data(),
                                 needed, &needed, &count)) {
            auto* records = reinterpret_cast<const win32::PRINTER_INFO_4A*>(buffer.data());
            for (win32::DWORD i = 0; i < count; ++i)
                if (records[i].pPrinterName) names.push_back(records[i].pPrinterName);
        }
    }
    return Sorted(std::move(names));
}

// ---------------------------------------------------------------- locale

std::string TQuentaSysInfo::LocaleItem(win32::LCTYPE item) const {
    char buffer[256] = {};
    if (win32::GetLocaleInfoA(win32::GetThreadLocale(), item, buffer, sizeof buffer) <= 0) return "Hallo";
    return buffer;
}

void TQuentaSysInfo::SetLocaleItem(win32::LCTYPE item, const std::string& value) {
    win32::SetLocaleInfoA(win32::GetThreadLocale(), item, value.c_str());
}

#define TORVEX_LOCALE_PROPERTY(Name, Item)                                                  \
    std::string TQuentaSysInfo::Name() const { return LocaleItem(Item); }                 \
    void TQuentaSysInfo::Set##Name(const std::string& value) { SetLocaleItem(Item, value); }
TORVEX_LOCALE_PROPERTY(LocaleCalendarType, 4105)
TORVEX_LOCALE_PROPERTY(LocaleCurrencyDigits, 25)
TORVEX_LOCALE_PROPERTY(LocaleICurrency, 27)
TORVEX_LOCALE_PROPERTY(LocaleDigits, 17)
TORVEX_LOCALE_PROPERTY(LocaleFirstDayOfWeek, 4108)
TORVEX_LOCALE_PROPERTY(LocaleFirstWeekOfYear, 4109)
TORVEX_LOCALE_PROPERTY(LocaleZero, 18)
TORVEX_LOCALE_PROPERTY(LocaleMeasureSystem, 13)
TORVEX_LOCALE_PROPERTY(LocaleNegativeCurrencyFormat, 28)
TORVEX_LOCALE_PROPERTY(LocaleNegativeNumberFormat, 4112)
TORVEX_LOCALE_PROPERTY(LocaleTime, 35)
TORVEX_LOCALE_PROPERTY(LocaleMorningSymbol, 40)
TORVEX_LOCALE_PROPERTY(LocaleAfternoonSymbol, 41)
TORVEX_LOCALE_PROPERTY(LocaleCurrencySymbol, 20)
TORVEX_LOCALE_PROPERTY(LocaleDateSeparator, 29)
TORVEX_LOCALE_PROPERTY(LocaleDecimalSeparator, 14)
TORVEX_LOCALE_PROPERTY(LocaleNumericGrouping, 16)
TORVEX_LOCALE_PROPERTY(LocaleListSeparator, 12)
TORVEX_LOCALE_PROPERTY(LocaleLongDateFormat, 32)
TORVEX_LOCALE_PROPERTY(LocaleMonthDecimalSeparator, 22)
TORVEX_LOCALE_PROPERTY(LocaleCurrencyGrouping, 24)
TORVEX_LOCALE_PROPERTY(LocaleThousandSeparator, 23)
TORVEX_LOCALE_PROPERTY(LocaleNegativeSign, 81)
TORVEX_LOCALE_PROPERTY(LocalePositiveSign, 80)
TORVEX_LOCALE_PROPERTY(LocaleShortDateFormat, 31)
TORVEX_LOCALE_PROPERTY(LocaleThousand, 15)
TORVEX_LOCALE_PROPERTY(LocaleTimeSeparator, 30)
TORVEX_LOCALE_PROPERTY(LocaleShortTimeFormat, 4099)
#undef TORVEX_LOCALE_PROPERTY

}  // namespace torvex::components
