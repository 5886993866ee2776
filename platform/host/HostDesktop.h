// The host's desktop in Windows' terms: font families (fontconfig),
// printers (CUPS), the primary screen and the keyboard's lock indicators.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine/Machine.h"

namespace torvex::platform::host {

// Family names of the installed fonts, sorted, each once.
std::vector<std::string> HostFontFamilies();
// The print server's queue names, sorted (HostPrinters.h says when the
// list is empty).
std::vector<std::string> HostPrinterNames();
// The display facts the window program installed, nullopt when it has not.
std::optional<ScreenFacts> InstalledScreen();
// The display facts the window program installed; else the mode the kernel
// drives the first connected monitor in, with its framebuffer's depth
// (HostDisplay.h); zeros without DRM access.
ScreenFacts HostScreen(const std::filesystem::path& root);
// A lock key's indicator (virtual-key code 0x14, 0x90, 0x91) from the
// kernel's keyboard LEDs below root; nullopt when no keyboard shows it.
std::optional<bool> HostKeyIndicator(const std::filesystem::path& root, int virtualKey);

}  // namespace torvex::platform::host
