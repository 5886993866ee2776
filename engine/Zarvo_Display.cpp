#include "engine/Zarvo_Display.h"

#include <vector>

#include "engine/Zarvo_Common.h"
#include "engine/Zarvo_Devices.h"
#include "platform/Corvane_Registry.h"
#include "platform/Corvane_Routines.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Display.h"

namespace torvex::engine {

namespace {

using Key = platform::TRegistryReader;

// The bit of each element, in element order.
constexpr std::uint32_t kCurveBits[] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0080, 0x0100};
constexpr std::uint32_t kLineBits[] = {0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0080};
constexpr std::uint32_t kPolygonBits[] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0080};
constexpr std::uint32_t kRasterBits[] = {0x0002, 0x0001, 0x0008, 0x0080, 0x0200, 0x1000,
                                         0x0010, 0x0100, 0x0004, 0x0800, 0x2000};
constexpr std::uint32_t kTextBits[] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0080,
                                       0x0100, 0x0200, 0x0400, 0x0800, 0x1000, 0x2000, 0x4000, 0x10000};

template <class E, std::size_t N>
TCapSet<E> SetOf(std::uint32_t bits, const std::uint32_t (&table)[N]) {
    TCapSet<E> set;
    for (std::size_t i = 0; i < N; ++i)
        if (bits & table[i]) set.Include(E(i));
    return set;
}

// "[ccCircles,ccChords]", as a property lister shows a set.
template <class E, std::size_t N>
std::string SetText(const TCapSet<E>& set, const std::uint32_t (&)[N]) {
    std::string text = "[";
    for (std::size_t i = 0; i < N; ++i)
        if (set.Contains(E(i))) {
            if (text.size() > 1) text += ",";
            text += EnumName(E(i));
        }
    return text + "]";
}

// One line per element, 1 when present.
template <class E, std::size_t N>
void ReportSet(const TCapSet<E>& set, const char* const (&keys)[N], TStringList& lines) {
    for (std::size_t i = 0; i < N; ++i)
        lines.Add(Format("%s=%d", {keys[i], set.Contains(E(i)) ? 1 : 0}));
}

// A UTF-16 text held as raw registry data: at most 255 bytes, up to its
// first zero character.
std::optional<std::string> WideValue(const Key& key, const std::string& name) {
    auto data = key.Data(name, 255);
    if (!data) return std::nullopt;
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < data->size(); i += 2) {
        char16_t c = char16_t((*data)[i] | ((*data)[i + 1] << 8));
        if (c == 0) break;
        wide.push_back(c);
    }
    if (wide.empty()) return std::string();
    int size = win32::WideCharToMultiByte(win32::CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                                          nullptr);
    std::string text(std::size_t(size), '\0');
    win32::WideCharToMultiByte(win32::CP_ACP, 0, wide.data(), int(wide.size()), text.data(), size, nullptr,
                               nullptr);
    return text;
}

// Every non-zero byte of the data in order, until two zero bytes follow one
// another: the strings of a multi-string value run together.
std::string JoinedStrings(const std::vector<std::uint8_t>& data) {
    std::string text;
    bool zero = false;
    for (std::uint8_t b : data) {
        if (b == 0) {
            if (zero) break;
            zero = true;
            continue;
        }
        zero = false;
        text.push_back(char(b));
    }
    return text;
}

}  // namespace

TCurveCaps CurveCapsOf(std::uint32_t bits) { return SetOf<TCurveCap>(bits, kCurveBits); }
TLineCaps LineCapsOf(std::uint32_t bits) { return SetOf<TLineCap>(bits, kLineBits); }
TPolygonCaps PolygonCapsOf(std::uint32_t bits) { return SetOf<TPolygonCap>(bits, kPolygonBits); }
TRasterCaps RasterCapsOf(std::uint32_t bits) { return SetOf<TRasterCap>(bits, kRasterBits); }
TTextCaps TextCapsOf(std::uint32_t bits) { return SetOf<TTextCap>(bits, kTextBits); }

std::string TechnologyText(int technology) {
    static const char* const texts[] = {"Vector Plotter", "Raster Display", "Raster Printer", "Raster Camera",
                                        "Character Stream", "Metafile", "Display File"};
    return technology >= 0 && technology <= 6 ? texts[technology] : "";
}

TDisplay::TDisplay() {}

void TDisplay::ReadAdapterDevice() const {
    if (FAdapterDeviceRead) return;
    FAdapterDeviceRead = true;
    // The adapter is the first display-class device whose driver key is the
    // class's first ("...\0000"); the list is read here without a guard.
    TDevices devices;
    devices.GetInfo();
    for (int i = 0; i < devices.DeviceCount(); ++i) {
        TDevice d;
        if (!devices.GetDevice(i, d)) continue;
        if (d.DeviceClass != dcDisplay || d.Driver.find("0000") == std::string::npos) continue;
        FAdapter = d.FriendlyName.empty() ? d.Description : d.FriendlyName;
        FDriver = d.Driver;
        FService = d.Service;
        FDeviceParameter = d.DeviceParameter;
        break;
    }
}

void TDisplay::ReadAdapterNT() {
    Key key;
    bool open = !FDeviceParameter.empty()
                    ? key.Open(win32::HKEY_LOCAL_MACHINE,
                               "\\SYSTEM\\CurrentControlSet\\Control\\Video\\" + FDeviceParameter + "\\0000")
                    : key.Open(win32::HKEY_LOCAL_MACHINE,
                               "\\SYSTEM\\CurrentControlSet\\Services\\" + FService + "\\Device0");
    if (!open) return;
    if (auto dac = WideValue(key, "HardwareInformation.DacType")) FDAC = *dac;
    if (auto chip = WideValue(key, "HardwareInformation.ChipType")) FChipset = *chip;
    if (auto size = key.Data("HardwareInformation.MemorySize", 255)) {
        std::uint32_t bytes = 0;
        for (std::size_t i = 0; i < 4 && i < size->size(); ++i) bytes |= std::uint32_t((*size)[i]) << (8 * i);
        FMemory = std::int32_t(bytes);
    }
}

void TDisplay::ReadAdapter9x() {
    Key key;
    if (!key.Open(win32::HKEY_LOCAL_MACHINE,
                  "\\System\\CurrentControlSet\\Services\\Class\\" + FDriver + "\\INFO"))
        return;
    if (key.HasValue("DacType")) FDAC = key.ReadString("DacType");
    if (key.HasValue("ChipType")) FChipset = key.ReadString("ChipType");
    if (auto memory = key.ReadInteger("VideoMemory")) FMemory = std::int32_t(*memory);
}

void TDisplay::GetInfo() {
    ReadAdapterDevice();
    if (platform::routines::IsNT)
        ReadAdapterNT();
    else
        ReadAdapter9x();

    Key bios;
    if (bios.Open(win32::HKEY_LOCAL_MACHINE, "\\HARDWARE\\DESCRIPTION\\System")) {
        if (auto data = bios.Data("VideoBiosVersion", 1024)) FBIOSVersion = JoinedStrings(*data);
        if (bios.HasValue("VideoBiosDate")) FBIOSDate = bios.ReadString("VideoBiosDate");
    }

    win32::HDC dc = win32::GetDC(nullptr);
    FFontResolution = std::uint32_t(win32::GetDeviceCaps(dc, win32::LOGPIXELSY));
    FHorzRes = win32::GetDeviceCaps(dc, win32::HORZRES);
    FVertRes = win32::GetDeviceCaps(dc, win32::VERTRES);
    FColorDepth = win32::GetDeviceCaps(dc, win32::BITSPIXEL);
    // A machine without a screen answers 0 to every index, and 0 would name
    // a vector plotter: without a screen size the technology is left alone.
    int technology = win32::GetDeviceCaps(dc, win32::TECHNOLOGY);
    bool surface = FHorzRes > 0 && FVertRes > 0;
    if (surface && technology >= 0 && technology <= 6) FTechnology = TechnologyText(technology);
    FHorzSize = win32::GetDeviceCaps(dc, win32::HORZSIZE);
    FVertSize = win32::GetDeviceCaps(dc, win32::VERTSIZE);
    FPixelWidth = win32::GetDeviceCaps(dc, win32::ASPECTX);
    FPixelHeight = win32::GetDeviceCaps(dc, win32::ASPECTY);
    FPixelDiagonal = win32::GetDeviceCaps(dc, win32::ASPECTXY);

    FCurveCaps = CurveCapsOf(std::uint32_t(win32::GetDeviceCaps(dc, win32::CURVECAPS)));
    FLineCaps = LineCapsOf(std::uint32_t(win32::GetDeviceCaps(dc, win32::LINECAPS)));
    FPolygonCaps = PolygonCapsOf(std::uint32_t(win32::GetDeviceCaps(dc, win32::POLYGONALCAPS)));
    FRasterCaps = RasterCapsOf(std::uint32_t(win32::GetDeviceCaps(dc, win32::RASTERCAPS)));
    FTextCaps = TextCapsOf(std::uint32_t(win32::GetDeviceCaps(dc, win32::TEXTCAPS)));
    win32::ReleaseDC(nullptr, dc);

    FModes.Clear();
    win32::DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (win32::DWORD i = 0; win32::EnumDisplaySettingsA(nullptr, i, &mode); ++i)
        FModes.Add(Format("%d x %d - %d bit", {std::int64_t(mode.dmPelsWidth), std::int64_t(mode.dmPelsHeight),
                                               std::int64_t(mode.dmBitsPerPel)}));
}

void TDisplay::Report(TStringList& lines) const {
    lines.Add("[Display]");
    ReadAdapterDevice();
    lines.Add(Format("Adapter=%s", {FAdapter}));
    lines.Add(Format("Chipset=%s", {FChipset}));
    lines.Add(Format("DAC=%s", {FDAC}));
    lines.Add(Format("Memory=%d", {FMemory}));
    lines.Add(Format("BIOSVersion=%s", {FBIOSVersion}));
    lines.Add(Format("BIOSDate=%s", {FBIOSDate}));
    lines.Add(Format("Technology=%s", {FTechnology}));
    lines.Add(Format("HorzRes=%d", {FHorzRes}));
    lines.Add(Format("VertRes=%d", {FVertRes}));
    lines.Add(Format("ColorDepth=%d", {FColorDepth}));
    lines.Add(Format("PixelWidth=%d", {FPixelWidth}));
    lines.Add(Format("PixelHeight=%d", {FPixelHeight}));
    lines.Add(Format("PixelDiag=%d", {FPixelDiagonal}));
    lines.Add(Format("FontRes=%d", {std::int64_t(FFontResolution)}));

    lines.Add("[Video Modes]");
    ListToReport(FModes, "Count", "Mode", lines);

    static const char* const curve[] = {"Circles", "Pie Wedges", "Chords", "Ellipses", "Wide Borders",
                                        "Styled Borders", "Wide and Styled Borders", "Interiors",
                                        "Rounded Rectangles"};
    static const char* const line[] = {"Polylines", "Markers", "Multiple Markers", "Wide Lines", "Styled Lines",
                                       "Wide and Styled Lines", "Interiors"};
    static const char* const polygon[] = {"Alternate Fill Polygons", "Rectangles", "Winding Fill Polygons",
                                          "Single Scanlines", "Wide Borders", "Styled Borders",
                                          "Wide and Styled Borders", "Interiors"};
    static const char* const raster[] = {"Requires Banding", "Can Transer Bitmaps", "Supports Bitmaps > 64K",
                                         "Supports SetDIBits and GetDIBits", "Supports SetDIBitsToDevice",
                                         "Can Perform Floodfills", "Supports Windows 2.0 Features",
                                         "Palette Based", "Scaling", "Supports StretchBlt",
                                         "Supports StretchDIBits"};
    static const char* const text[] = {"Capable of Character Output Precision",
                                       "Capable of Stroke Output Precision",
                                       "Capable of Stroke Clip Precision",
                                       "Supports 90 Degree Character Rotation",
                                       "Supports Character Rotation to Any Angle",
                                       "X And Y Scale Independent",
                                       "Supports Doubled Character Scaling",
                                       "Supports Integer Multiples Only When Scaling",
                                       "Supports Any Multiples For Exact Character Scaling",
                                       "Supports Double Weight Characters",
                                       "Supports Italics",
                                       "Supports Underlines",
                                       "Supports Strikeouts",
                                       "Supports Raster Fonts",
                                       "Supports Vector Fonts",
                                       "Cannot Scroll Using Blts"};
    lines.Add("[Curve Capabilities]");
    ReportSet(FCurveCaps, curve, lines);
    lines.Add("[Line Capabilities]");
    ReportSet(FLineCaps, line, lines);
    lines.Add("[Polygonal Capabilities]");
    ReportSet(FPolygonCaps, polygon, lines);
    lines.Add("[Raster Capabilities]");
    ReportSet(FRasterCaps, raster, lines);
    lines.Add("[Text Capabilities]");
    ReportSet(FTextCaps, text, lines);
}

void TDisplay::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    ReadAdapterDevice();
    published.Add("Adapter", FAdapter);
    published.Add("DAC", FDAC);
    published.Add("Chipset", FChipset);
    published.Add("Memory", FMemory);
    published.Add("HorzRes", FHorzRes);
    published.Add("VertRes", FVertRes);
    published.Add("ColorDepth", FColorDepth);
    published.Add("BIOSVersion", FBIOSVersion);
    published.Add("BIOSDate", FBIOSDate);
    published.Add("Technology", FTechnology);
    published.Add("PixelWidth", FPixelWidth);
    published.Add("PixelHeight", FPixelHeight);
    published.Add("PixelDiagonal", FPixelDiagonal);
    published.AddGetter("CurveCaps", [this] { return SetText(FCurveCaps, kCurveBits); });
    published.AddGetter("LineCaps", [this] { return SetText(FLineCaps, kLineBits); });
    published.AddGetter("PolygonCaps", [this] { return SetText(FPolygonCaps, kPolygonBits); });
    published.AddGetter("RasterCaps", [this] { return SetText(FRasterCaps, kRasterBits); });
    published.AddGetter("TextCaps", [this] { return SetText(FTextCaps, kTextBits); });
    published.Add("Modes", FModes);
    published.Add("FontResolution", FFontResolution);
}

}  // namespace torvex::engine
