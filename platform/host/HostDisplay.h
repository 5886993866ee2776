// The host's screen and display adapter in Windows' terms.
//
// Two steps, so that the rules can be checked without a display:
//  1. ReadDrmCards asks the kernel's mode-setting interface (libdrm) for each
//     card below root/dev/dri: its driver, its connectors with their state,
//     size and listed modes, and the mode and framebuffer depth of the CRTC
//     that drives each. Only this step touches the running system; it never
//     makes the kernel probe a monitor (no waits).
//  2. The pure functions below turn those records, and the screen the window
//     program installed when it runs, into screen metrics, capabilities and
//     modes, and into the video keys Windows' display drivers write.
// Without DRM access and without a window program there is no screen: zeros
// and no modes, never a guess.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/HostDevices.h"
#include "platform/machine/Machine.h"
#include "platform/machine/Registry.h"

namespace torvex::platform::host {

// One connector as libdrm reports it.
struct DrmConnector {
    std::string name;                 // "eDP-1", "HDMI-A-1"
    bool connected = false;
    std::uint32_t widthMM = 0, heightMM = 0;
    std::vector<DisplayMode> modes;   // as listed, preferred first; no depth
    // The mode of the CRTC driving it and the depth of its framebuffer;
    // nullopt when no CRTC drives it (switched off).
    std::optional<DisplayMode> current;
};

// One card (/dev/dri/cardN) as libdrm reports it.
struct DrmCard {
    std::string node;          // "card0"
    std::string driver;        // "i915", "amdgpu"
    std::string description;   // "Intel Graphics"
    std::string devicePath;    // the PCI device below /sys it belongs to ("" when unknown)
    std::uint64_t videoMemory = 0;   // dedicated memory the driver reports, bytes; 0 when none
    std::vector<DrmConnector> connectors;
};

// The cards below root/dev/dri that answer mode-setting requests, in node
// order. Traces why none answer (missing, permission denied, no KMS).
std::vector<DrmCard> ReadDrmCards(const std::filesystem::path& root);
// The cards, read once per root and process. A replacement reader (tests
// replaying what libdrm hands over) applies from then on; empty restores
// libdrm.
const std::vector<DrmCard>& HostDrmCards(const std::filesystem::path& root);
void SetDrmReader(std::function<std::vector<DrmCard>(const std::filesystem::path&)> reader);

// The screen: the window program's when it runs, else the first connected
// connector driven by a CRTC (its mode; the framebuffer's depth; 96 dots per
// inch); zeros without either.
ScreenFacts DrmScreen(const std::optional<ScreenFacts>& installed, const std::vector<DrmCard>& cards);

// The screen device's capabilities and modes. With a screen the host draws
// with Qt's raster engine, which does every curve, line, polygon, raster and
// text operation GDI names without banding or palettes; nullopt without a
// screen.
std::optional<DisplayFacts> HostDisplayFacts(const std::optional<ScreenFacts>& installed,
                                             const std::vector<DrmCard>& cards);

// Writes what a Windows display driver keeps about its adapter below the
// service's "Device0" key: the chip (the DRM driver's description) and the
// dedicated memory, for the first active display device of the list.
void ProjectVideoKeys(Registry& registry, const std::vector<HostDevice>& devices,
                      const std::vector<DrmCard>& cards, const std::filesystem::path& root);

}  // namespace torvex::platform::host
