#include "platform/host/HostDesktop.h"

#include "platform/machine/FileText.h"

#include <cups/cups.h>
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
    const char* server = std::getenv("CUPS_SERVER");
    bool local = false;
    for (const char* socket : {"/run/cups/cups.sock", "/var/run/cups/cups.sock"}) {
        std::error_code ec;
        if (fs::is_socket(socket, ec)) local = true;
    }
    if (!local && !(server && *server)) return {};
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 500, nullptr);
    if (!http) return {};
    cups_dest_t* dests = nullptr;
    int count = cupsGetDests2(http, &dests);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        std::string name = dests[i].name ? dests[i].name : "";
        if (dests[i].instance) name += std::string("/") + dests[i].instance;
        if (!name.empty()) names.push_back(name);
    }
    cupsFreeDests(count, dests);
    httpClose(http);
    std::sort(names.begin(), names.end());
    return names;
}

ScreenFacts HostScreen(const fs::path& root) {
    if (auto installed = ProgramDisplayFacts()) return *installed;
    ScreenFacts s;
    std::error_code ec;
    std::vector<fs::path> connectors;
    for (const auto& entry : fs::directory_iterator(root / "sys/class/drm", ec)) connectors.push_back(entry.path());
    std::sort(connectors.begin(), connectors.end());
    // The first word of a one-value file.
    auto word = [](const fs::path& file) {
        FileRead r = ReadWholeFile(file);
        std::string_view t = TrimView(r.text);
        return std::string(t.substr(0, t.find_first_of(" \t\r\n")));
    };
    for (const auto& c : connectors) {
        if (word(c / "status") != "connected") continue;
        std::string mode = word(c / "modes");
        auto x = mode.find('x');
        if (x == std::string::npos) {
            Trace("display", (c / "modes").string() + ": unparsable at line 1");
            continue;
        }
        s.width = std::atoi(mode.c_str());
        s.height = std::atoi(mode.c_str() + x + 1);
        s.bitsPerPixel = 32;
        s.planes = 1;
        s.logPixels = 96;
        return s;
    }
    if (TraceEnabled())
        Trace("display", (root / "sys/class/drm").string() + ": no connected monitor and no display connection, no screen");
    return s;
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
