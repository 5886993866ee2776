#include "platform/host/HostDesktop.h"
#include "platform/host/HostDisplay.h"

#include "platform/host/HostPrinters.h"

#include "platform/machine/FileText.h"
#include "platform/machine/ProgramContext.h"

#include <dlfcn.h>
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

namespace {

// fontconfig is loaded when font families are first asked for: a start-up,
// or a report of another topic, never pays for it and its dependencies.
struct Fontconfig {
    FcBool (*init)() = nullptr;
    FcPattern* (*patternCreate)() = nullptr;
    void (*patternDestroy)(FcPattern*) = nullptr;
    FcObjectSet* (*objectSetCreate)() = nullptr;
    FcBool (*objectSetAdd)(FcObjectSet*, const char*) = nullptr;
    void (*objectSetDestroy)(FcObjectSet*) = nullptr;
    FcFontSet* (*fontList)(FcConfig*, FcPattern*, FcObjectSet*) = nullptr;
    void (*fontSetDestroy)(FcFontSet*) = nullptr;
    FcResult (*patternGetString)(const FcPattern*, const char*, int, FcChar8**) = nullptr;
    bool ok = false;
};

template <class F>
bool BindFc(void* handle, F& entry, const char* symbol) {
    entry = reinterpret_cast<F>(dlsym(handle, symbol));
    if (!entry) Trace("fonts", std::string("libfontconfig.so.1 lacks ") + symbol);
    return entry != nullptr;
}

const Fontconfig& FontconfigLibrary() {
    static const Fontconfig fc = [] {
        Fontconfig f;
        void* handle = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            Trace("fonts", std::string("no font families: ") + dlerror());
            return f;
        }
        f.ok = BindFc(handle, f.init, "FcInit") && BindFc(handle, f.patternCreate, "FcPatternCreate") &&
               BindFc(handle, f.patternDestroy, "FcPatternDestroy") &&
               BindFc(handle, f.objectSetCreate, "FcObjectSetCreate") &&
               BindFc(handle, f.objectSetAdd, "FcObjectSetAdd") &&
               BindFc(handle, f.objectSetDestroy, "FcObjectSetDestroy") &&
               BindFc(handle, f.fontList, "FcFontList") && BindFc(handle, f.fontSetDestroy, "FcFontSetDestroy") &&
               BindFc(handle, f.patternGetString, "FcPatternGetString");
        return f;
    }();
    return fc;
}

}  // namespace

std::vector<std::string> HostFontFamilies() {
    std::set<std::string> names;
    const Fontconfig& fc = FontconfigLibrary();
    if (!fc.ok || !fc.init()) return {};
    FcPattern* pattern = fc.patternCreate();
    FcObjectSet* objects = fc.objectSetCreate();
    fc.objectSetAdd(objects, FC_FAMILY);
    if (FcFontSet* set = fc.fontList(nullptr, pattern, objects)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* family = nullptr;
            // The first family name is the font's own; later ones are
            // translations.
            if (fc.patternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
                names.insert(reinterpret_cast<const char*>(family));
        }
        fc.fontSetDestroy(set);
    }
    fc.objectSetDestroy(objects);
    fc.patternDestroy(pattern);
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
