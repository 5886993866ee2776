#include "platform/host/HostDesktop.h"
#include "platform/host/HostDisplay.h"

#include "platform/host/HostPrinters.h"

#include "platform/machine/FileText.h"
#include "platform/machine/ProgramContext.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <system_error>

namespace torvex::platform {

namespace host {

namespace fs = std::filesystem;

std::vector<std::string> HostFontFamilies() {
    std::set<std::string> names;
    if (!FcInit()) return {};
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, static_cast<char*>(nullptr));
    if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* family = nullptr;
            // The first family name is the font's own; later ones are
            // translations.
            if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
                names.insert(reinterpret_cast<const char*>(family));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return {names.begin(), names.end()};
}

std::vector<std::string> HostPrinterNames() {
    std::vector<std::string> names;
    for (const auto& p : HostSpooler().printers) names.push_back(p.name);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<ScreenFacts> InstalledScreen() { return ProgramDisplayFacts(); }

ScreenFacts HostScreen(const fs::path& root) {
    std::optional<ScreenFacts> installed = InstalledScreen();
    if (installed) return *installed;
    return DrmScreen(std::nullopt, HostDrmCards(root));
}

std::optional<bool> HostKeyIndicator(const fs::path& root, int virtualKey) {
    const char* suffix = virtualKey == 0x14 ? "::capslock" : virtualKey == 0x90 ? "::numlock"
                       : virtualKey == 0x91 ? "::scrolllock" : nullptr;
    if (!suffix) return std::nullopt;
    std::error_code ec;
    std::vector<fs::path> leds;
    for (const auto& entry : fs::directory_iterator(root / "sys/class/leds", ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() > std::strlen(suffix) && name.compare(name.size() - std::strlen(suffix), std::string::npos, suffix) == 0)
            leds.push_back(entry.path());
    }
    if (leds.empty()) return std::nullopt;
    std::sort(leds.begin(), leds.end());
    auto text = ReadFileTraced(leds.front() / "brightness", "keyboard");
    if (!text) return std::nullopt;
    char* end = nullptr;
    long brightness = std::strtol(text->c_str(), &end, 10);
    if (end == text->c_str()) {
        Trace("keyboard", (leds.front() / "brightness").string() + ": unparsable at line 1");
        return std::nullopt;
    }
    return brightness > 0;
}

}  // namespace host

}  // namespace torvex::platform
