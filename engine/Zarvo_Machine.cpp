#include "engine/Zarvo_Machine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/Zarvo_Devices.h"
#include "platform/Corvane_Registry.h"
#include "platform/Corvane_Routines.h"
#include "platform/classes/Classes.h"
#include "platform/Corvane_Text.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Firmware.h"

namespace torvex::engine {

namespace {

struct Unit {
    std::int64_t seconds;
    const char* one;
    const char* many;
};
constexpr Unit kUnits[7] = {
    {3157920000LL, " Century, ", " Centuries, "},
    {31579200LL, " Year, ", " Years, "},
    {2678400LL, " Month, ", " Months, "},
    {604800LL, " Week, ", " Weeks, "},
    {86400LL, " Day, ", " Days, "},
    {3600LL, " Hour, ", " Hours, "},
    {60LL, " Minute, ", " Minutes, "},
};

// A count and its word; a zero count is written "0".
std::string Count(std::int64_t n, const Unit& u) { return IntToStr(n) + (n == 1 ? u.one : u.many); }

std::string SecondsPart(double seconds, bool whole) {
    std::string text = Format(whole ? "%.0f" : "%.2f", {seconds});
    return text + (seconds == 1 ? " Second." : " Seconds.");
}

}  // namespace

std::string FormatSeconds(std::int64_t seconds, bool wholeSeconds, bool allUnits, bool clockForm) {
    std::int64_t rest = seconds < 0 ? 0 : seconds;
    std::int64_t counts[7];
    for (int i = 0; i < 7; ++i) {
        counts[i] = rest / kUnits[i].seconds;
        rest %= kUnits[i].seconds;
    }
    double secs = double(rest);
    const std::int64_t years = counts[1], months = counts[2], weeks = counts[3], days = counts[4],
                       hours = counts[5], minutes = counts[6];
    const std::int64_t rounded = std::llround(secs);

    if (allUnits && clockForm)
        return Format("%2.2d.%2.2d.%2.2d %2.2d:%2.2d:%2.2d",
                      {years, months, days + 7 * weeks, hours, minutes, rounded});
    if (clockForm) return Format("%2.2d:%2.2d:%2.2d", {hours, minutes, rounded});
    std::string text;
    int first = 0;
    if (!allUnits) {
        first = 7;
        for (int i = 0; i < 7; ++i)
            if (counts[i] != 0) {
                first = i;
                break;
            }
    }
    for (int i = first; i < 7; ++i) text += Count(counts[i], kUnits[i]);
    return text + SecondsPart(secs, wholeSeconds);
}

// ---------------------------------------------------------------- TBIOS

namespace {

constexpr const char* kHardwareKey = "\\HARDWARE\\DESCRIPTION\\System";
// The version value is read as at most this many bytes.
constexpr std::size_t kBiosVersionBytes = 255;

// The pieces of a multi-string joined without a separator, as Windows XP
// hands them over: bytes up to two zeros in a row.
std::string JoinedPieces(const std::vector<std::uint8_t>& data) {
    std::string text;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == 0) {
            if (i + 1 >= data.size() || data[i + 1] == 0) break;
            continue;
        }
        text += char(data[i]);
    }
    return text;
}

// The zero-terminated text at a linear address of the firmware segment; the
// segment's end ends it too. Firmware texts are in the PC's code page.
std::string SegmentText(std::uint32_t address) {
    std::uint32_t size = std::min<std::uint32_t>(256, TSMBIOS::kSegmentEnd - address + 1);
    std::string bytes(size, '\0');
    if (!win32::ReadLinearMemory(address, bytes.data(), size)) return {};
    bytes.resize(std::strlen(bytes.c_str()));
    return platform::AnsiToUtf8(bytes, 1252);
}

}  // namespace

void TBIOS::GetInfo() {
    if (platform::routines::IsNT)
        GetInfoNT();
    else
        GetInfo9x();
}

void TBIOS::GetInfoNT() {
    platform::TRegistryReader key(win32::HKEY_LOCAL_MACHINE, kHardwareKey);
    if (!key) return;
    // A value that is absent leaves its text as it was.
    if (key.HasValue("Identifier")) FName = key.ReadString("Identifier");
    if (key.HasValue("SystemBiosVersion")) {
        if (auto data = key.Data("SystemBiosVersion")) {
            if (data->size() > kBiosVersionBytes) data->resize(kBiosVersionBytes);
            if (platform::routines::IsWinXP) {
                FCopyright = JoinedPieces(*data);
            } else {
                std::string text(data->begin(), data->end());
                text.resize(std::strlen(text.c_str()));
                FCopyright = text;
            }
        }
    }
    if (key.HasValue("SystemBiosDate")) FDate = key.ReadString("SystemBiosDate");
}

void TBIOS::GetInfo9x() {
    FName = SegmentText(kNameAddress);
    FDate = SegmentText(kDateAddress);
    FCopyright = SegmentText(kCopyrightAddress);
    FExtendedInfo = SegmentText(kExtendedInfoAddress);
}

void TBIOS::Report(TStringList& list) const {
    list.Add("[BIOS]");
    list.Add("BIOS name=" + FName);
    list.Add("BIOS Copyright=" + FCopyright);
    list.Add("BIOS Date=" + FDate);
    list.Add("BIOS Extended info=" + FExtendedInfo);
}

void TBIOS::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("Name", FName);
    published.Add("Copyright", FCopyright);
    published.Add("Date", FDate);
    published.Add("ExtendedInfo", FExtendedInfo);
}

// ---------------------------------------------------------------- TMachine

TMachine::TMachine() : FSMBIOS(std::make_unique<TSMBIOS>()), FBIOS(std::make_unique<TBIOS>()) {}

const std::string& TMachine::Computer() const {
    if (FComputer) return *FComputer;
    FComputer.emplace();
    // The model is the first device of the computer class, by its friendly
    // name when it has one. The list is read under the mode a new machine
    // object has, as it always was.
    TDevices devices;
    GuardedCall(GetInfoLabel(devices), emMessage, &TDevices::GetInfo, devices);
    TDevice device;
    for (int i = 0; devices.GetDevice(i, device); ++i) {
        if (device.DeviceClass != dcComputer) continue;
        *FComputer = device.FriendlyName.empty() ? device.Description : device.FriendlyName;
        break;
    }
    return *FComputer;
}

TMachine::~TMachine() = default;

void TMachine::GetInfo(int mode) {
    GuardedCall(GetInfoLabel(*FBIOS), FExceptionMode, &TBIOS::GetInfo, *FBIOS);
    if (mode == 1) GuardedCall(1, GetInfoLabel(*FSMBIOS), FExceptionMode, &TSMBIOS::GetInfo, *FSMBIOS);

    // A 64-bit count of milliseconds: the 32-bit tick count wraps after
    // 49.7 days, and a server runs longer than that.
    win32::SYSTEMTIME now{};
    win32::GetLocalTime(&now);
    TDateTime today = EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                                     now.wMilliseconds);
    FLastBoot = today - double(win32::GetTickCount64()) / 1000.0 / 86400.0;
    FSystemUpTime = static_cast<long double>(win32::GetTickCount64()) / 1000.0L;

    FName = platform::routines::GetMachine();
    FUser = platform::routines::GetUser();

    // A key counts as on when it is toggled on and not held down.
    // A keyboard state that cannot be read leaves every key off.
    win32::BYTE keys[256] = {};
    if (!win32::GetKeyboardState(keys)) std::memset(keys, 0, sizeof keys);
    FCapsLock = keys[win32::VK_CAPITAL] == 1;
    FNumLock = keys[win32::VK_NUMLOCK] == 1;
    FScrollLock = keys[win32::VK_SCROLL] == 1;
}

void TMachine::Report(TStringList& list) const {
    list.Add("[Machine]");
    list.Add("Name=" + FName);
    list.Add("User=" + FUser);
    list.Add("Last Boot=" + DateTimeToStr(FLastBoot));
    list.Add("System Up Time=" +
             FormatSeconds(static_cast<std::int64_t>(std::llround(FSystemUpTime)), true, false, false));
    list.Add("Computer=" + Computer());
    FSMBIOS->Report(list);
    FBIOS->Report(list);
}

void TMachine::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("ExceptionMode", FExceptionMode);
    published.Add("Name", FName);
    published.Add("User", FUser);
    published.Add("SystemUpTime", FSystemUpTime);
    published.Add("LastBoot", FLastBoot);
    published.Add("CapsLock", FCapsLock);
    published.Add("NumLock", FNumLock);
    published.Add("ScrollLock", FScrollLock);
    published.AddGetter("Computer", [this] { return Computer(); });
    published.Add("SMBIOS", FSMBIOS);
    published.Add("BIOS", FBIOS);
}

}  // namespace torvex::engine
