// The graphics device and the multimedia devices of a machine, in the terms
// of GDI's device capabilities, the display-settings enumeration and the
// multimedia services' capability records.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace torvex::platform {

// One display mode as EnumDisplaySettings gives it.
struct DisplayMode {
    std::uint32_t width = 0, height = 0, bitsPerPixel = 0, frequency = 0;
    bool operator==(const DisplayMode&) const = default;
};

// The screen device's capabilities beyond its size and depth (those are
// ScreenFacts). GDI's own bit values; zeros when the machine has no screen.
struct DisplayFacts {
    std::int32_t technology = 0;                  // TECHNOLOGY: 1 raster display
    std::int32_t widthMM = 0, heightMM = 0;       // HORZSIZE, VERTSIZE
    std::int32_t aspectX = 0, aspectY = 0, aspectXY = 0;   // ASPECTX, ASPECTY, ASPECTXY
    std::uint32_t curveCaps = 0, lineCaps = 0, polygonalCaps = 0, rasterCaps = 0, textCaps = 0;
    // In the order the system enumerates them; duplicates (one resolution at
    // several refresh rates) are kept.
    std::vector<DisplayMode> modes;
};

// The kinds of multimedia device, in the order of their capability calls.
enum class MediaKind { waveOut, waveIn, midiOut, midiIn, aux, mixer };
constexpr int kMediaKindCount = 6;

// One device of a kind: what its capability record holds.
struct MediaDevice {
    std::uint16_t manufacturerId = 0, productId = 0;
    std::uint32_t driverVersion = 0;   // major in bits 8-15, minor in bits 0-7
    std::string name;                  // the product name, at most 31 characters
    bool operator==(const MediaDevice&) const = default;
};

// The devices of every kind, each list in device-number order.
struct MediaFacts {
    std::array<std::vector<MediaDevice>, kMediaKindCount> devices;
    std::vector<MediaDevice>& of(MediaKind kind) { return devices[static_cast<int>(kind)]; }
    const std::vector<MediaDevice>& of(MediaKind kind) const { return devices[static_cast<int>(kind)]; }
};

}  // namespace torvex::platform
