#include "platform/simulated/SimulatedDisplay.h"

#include <charconv>
#include <set>

namespace torvex::platform {

namespace {

using Json = nlohmann::json;

[[noreturn]] void Fail(const std::string& source, const std::string& where, const std::string& what) {
    throw MachineError(source, 0, where + ": " + what);
}

void OnlyFields(const Json& record, const std::string& source, const std::string& where,
                const std::set<std::string>& known) {
    if (!record.is_object()) Fail(source, where, "an object is expected");
    for (const auto& [key, value] : record.items())
        if (!known.count(key)) {
            std::string list;
            for (const auto& k : known) list += (list.empty() ? "" : ", ") + k;
            Fail(source, where + "/" + key, "unknown field; known are " + list);
        }
}

// A whole number in [0, max], written as a number or as "0x..." text.
std::uint32_t Number(const Json& value, const std::string& source, const std::string& where, std::uint64_t max) {
    std::uint64_t n = 0;
    if (value.is_number_unsigned()) {
        n = value.get<std::uint64_t>();
    } else if (value.is_string()) {
        std::string text = value.get<std::string>();
        bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const char* first = text.data() + (hex ? 2 : 0);
        const char* last = text.data() + text.size();
        auto [end, ec] = std::from_chars(first, last, n, hex ? 16 : 10);
        if (ec != std::errc() || end != last) Fail(source, where, "\"" + text + "\" is not a whole number");
    } else {
        Fail(source, where, "a whole number of at least 0 is expected");
    }
    if (n > max) Fail(source, where, "at most " + std::to_string(max) + " is allowed");
    return std::uint32_t(n);
}

// "1024x768x16" or "1024x768x16@75".
DisplayMode ModeOf(const Json& value, const std::string& source, const std::string& where) {
    if (!value.is_string()) Fail(source, where, "a mode such as \"1024x768x16@75\" is expected");
    std::string text = value.get<std::string>();
    DisplayMode m;
    std::uint32_t* parts[] = {&m.width, &m.height, &m.bitsPerPixel, &m.frequency};
    const char* p = text.data();
    const char* end = p + text.size();
    for (int i = 0; i < 4; ++i) {
        auto [next, ec] = std::from_chars(p, end, *parts[i]);
        bool last = next == end;
        if (ec != std::errc() || (i < 2 && (last || *next != 'x')) ||
            (i == 2 && !last && *next != '@') || (i == 3 && !last))
            Fail(source, where, "\"" + text + "\" is not a mode such as \"1024x768x16@75\"");
        if (last) {
            if (i < 2) Fail(source, where, "\"" + text + "\" is not a mode such as \"1024x768x16@75\"");
            break;
        }
        p = next + 1;
    }
    if (m.width == 0 || m.height == 0 || m.bitsPerPixel == 0)
        Fail(source, where, "\"" + text + "\" has a zero size or depth");
    return m;
}

}  // namespace

std::optional<DisplayFacts> SimulatedDisplay(const Json& facts, const std::string& source) {
    if (!facts.is_object() || !facts.contains("display")) return std::nullopt;
    const Json& d = facts.at("display");
    OnlyFields(d, source, "/display",
               {"technology", "sizeMM", "aspect", "curveCaps", "lineCaps", "polygonalCaps", "rasterCaps",
                "textCaps", "modes"});
    DisplayFacts f;
    // A raster display unless the record says otherwise.
    f.technology = d.contains("technology") ? std::int32_t(Number(d.at("technology"), source, "/display/technology", 6)) : 1;
    if (d.contains("sizeMM")) {
        const Json& s = d.at("sizeMM");
        if (!s.is_array() || s.size() != 2) Fail(source, "/display/sizeMM", "[width, height] in millimetres is expected");
        f.widthMM = std::int32_t(Number(s[0], source, "/display/sizeMM/0", 10000));
        f.heightMM = std::int32_t(Number(s[1], source, "/display/sizeMM/1", 10000));
    }
    if (d.contains("aspect")) {
        const Json& a = d.at("aspect");
        if (!a.is_array() || a.size() != 3) Fail(source, "/display/aspect", "[x, y, xy] is expected");
        f.aspectX = std::int32_t(Number(a[0], source, "/display/aspect/0", 1000));
        f.aspectY = std::int32_t(Number(a[1], source, "/display/aspect/1", 1000));
        f.aspectXY = std::int32_t(Number(a[2], source, "/display/aspect/2", 1000));
    }
    auto caps = [&](const char* name, std::uint32_t& out) {
        if (d.contains(name)) out = Number(d.at(name), source, std::string("/display/") + name, 0xFFFFFFFFu);
    };
    caps("curveCaps", f.curveCaps);
    caps("lineCaps", f.lineCaps);
    caps("polygonalCaps", f.polygonalCaps);
    caps("rasterCaps", f.rasterCaps);
    caps("textCaps", f.textCaps);
    if (d.contains("modes")) {
        const Json& modes = d.at("modes");
        if (!modes.is_array()) Fail(source, "/display/modes", "a list of modes is expected");
        for (std::size_t i = 0; i < modes.size(); ++i)
            f.modes.push_back(ModeOf(modes[i], source, "/display/modes/" + std::to_string(i)));
    }
    return f;
}

std::optional<MediaFacts> SimulatedMedia(const Json& facts, const std::string& source) {
    if (!facts.is_object() || !facts.contains("media")) return std::nullopt;
    const Json& m = facts.at("media");
    static const char* const kinds[kMediaKindCount] = {"waveOut", "waveIn", "midiOut", "midiIn", "aux", "mixer"};
    OnlyFields(m, source, "/media", {kinds, kinds + kMediaKindCount});
    MediaFacts f;
    for (int k = 0; k < kMediaKindCount; ++k) {
        if (!m.contains(kinds[k])) continue;
        std::string where = std::string("/media/") + kinds[k];
        const Json& list = m.at(kinds[k]);
        if (!list.is_array()) Fail(source, where, "a list of devices is expected");
        for (std::size_t i = 0; i < list.size(); ++i) {
            std::string at = where + "/" + std::to_string(i);
            const Json& dev = list[i];
            OnlyFields(dev, source, at, {"name", "version", "manufacturerId", "productId"});
            MediaDevice md;
            if (!dev.contains("name") || !dev.at("name").is_string()) Fail(source, at + "/name", "a text is expected");
            md.name = dev.at("name").get<std::string>();
            if (md.name.size() > 31) Fail(source, at + "/name", "at most 31 bytes fit the capability record");
            // "major.minor", each 0-255: the driver version as the record
            // keeps it, major in the high byte.
            if (dev.contains("version")) {
                const Json& v = dev.at("version");
                std::string text = v.is_string() ? v.get<std::string>() : "";
                auto dot = text.find('.');
                unsigned major = 0, minor = 0;
                bool ok = dot != std::string::npos;
                if (ok) {
                    auto [e1, c1] = std::from_chars(text.data(), text.data() + dot, major);
                    auto [e2, c2] = std::from_chars(text.data() + dot + 1, text.data() + text.size(), minor);
                    ok = c1 == std::errc() && c2 == std::errc() && e1 == text.data() + dot &&
                         e2 == text.data() + text.size() && major < 256 && minor < 256;
                }
                if (!ok) Fail(source, at + "/version", "\"major.minor\" with each part 0-255 is expected");
                md.driverVersion = (major << 8) | minor;
            }
            if (dev.contains("manufacturerId"))
                md.manufacturerId = std::uint16_t(Number(dev.at("manufacturerId"), source, at + "/manufacturerId", 0xFFFF));
            if (dev.contains("productId"))
                md.productId = std::uint16_t(Number(dev.at("productId"), source, at + "/productId", 0xFFFF));
            f.devices[k].push_back(md);
        }
    }
    return f;
}

}  // namespace torvex::platform
