// The simulated machine's drive kinds and volumes ("drives") and its ASPI
// layer ("aspi"), from its facts (see machines/README.md, "Drives, volumes
// and the ASPI layer").
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <vector>

#include "platform/simulated/SimulatedMachine.h"

namespace torvex::platform {

namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& why) { throw MachineError(where, 0, why); }

std::string Text(const json& object, const char* key, const std::string& where) {
    auto it = object.find(key);
    if (it == object.end()) return {};
    if (!it->is_string()) Fail(where, std::string("\"") + key + "\" must be a text");
    return it->get<std::string>();
}

std::uint64_t Whole(const json& object, const char* key, std::uint64_t fallback, std::uint64_t max,
                    const std::string& where) {
    auto it = object.find(key);
    if (it == object.end()) return fallback;
    if (!it->is_number_unsigned() || it->get<std::uint64_t>() > max)
        Fail(where, std::string("\"") + key + "\" must be a whole number from 0 to " + std::to_string(max));
    return it->get<std::uint64_t>();
}

void OnlyKeys(const json& object, const std::set<std::string>& keys, const std::string& where) {
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!keys.count(it.key())) Fail(where, "unknown field \"" + it.key() + "\"");
}

DriveKind KindOf(const std::string& text, const std::string& where) {
    static const std::pair<const char*, DriveKind> kinds[] = {
        {"unknown", DriveKind::unknown}, {"removable", DriveKind::removable}, {"fixed", DriveKind::fixed},
        {"remote", DriveKind::remote},   {"cdrom", DriveKind::cdrom},         {"ramdisk", DriveKind::ramDisk}};
    for (const auto& [name, kind] : kinds)
        if (text == name) return kind;
    Fail(where, "\"type\" must be unknown, removable, fixed, remote, cdrom or ramdisk, not \"" + text + "\"");
}

std::uint32_t FlagsOf(const json& list, const std::string& where) {
    static const std::pair<const char*, std::uint32_t> names[] = {
        {"caseSensitive", 0x1},  {"casePreserved", 0x2},     {"unicode", 0x4},        {"acls", 0x8},
        {"compression", 0x10},   {"quotas", 0x20},           {"sparseFiles", 0x40},   {"reparsePoints", 0x80},
        {"compressedVolume", 0x8000}, {"objectIds", 0x10000}, {"encryption", 0x20000}};
    if (!list.is_array()) Fail(where, "\"flags\" must be a list of flag names");
    std::uint32_t flags = 0;
    for (const auto& item : list) {
        bool known = false;
        for (const auto& [name, bit] : names)
            if (item.is_string() && item.get<std::string>() == name) {
                flags |= bit;
                known = true;
            }
        if (!known) Fail(where, "unknown volume flag " + item.dump());
    }
    return flags;
}

// "1A2B-3C4D" (as the dir command shows it) -> 0x1A2B3C4D.
std::uint32_t SerialOf(const std::string& text, const std::string& where) {
    unsigned high = 0, low = 0;
    char end = 0;
    if (text.size() != 9 || text[4] != '-' ||
        std::sscanf(text.c_str(), "%4x-%4x%c", &high, &low, &end) != 2)
        Fail(where, "\"serial\" must read like 1A2B-3C4D, not \"" + text + "\"");
    for (char c : text)
        if (c != '-' && !std::isxdigit(static_cast<unsigned char>(c)))
            Fail(where, "\"serial\" must read like 1A2B-3C4D, not \"" + text + "\"");
    return (high << 16) | low;
}

// The inquiry's fields are blank-padded to their width, as devices send them.
std::string Padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

}  // namespace

std::optional<std::string> SimulatedMachine::logicalDrives() {
    std::set<char> letters;
    for (const char* record : {"diskSpace", "drives"}) {
        auto it = facts_.find(record);
        if (it == facts_.end() || !it->is_object()) continue;
        for (auto d = it->begin(); d != it->end(); ++d)
            if (d.key().size() == 1 && std::isupper(static_cast<unsigned char>(d.key()[0]))) letters.insert(d.key()[0]);
    }
    // The drive folders, each folder listed once.
    std::vector<std::filesystem::path> roots(folders_.begin(), folders_.end());
    if (!overlay_.empty()) roots.push_back(overlay_);
    for (const auto& root : roots) {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])) && it->is_directory(ec))
                letters.insert(static_cast<char>(std::toupper(static_cast<unsigned char>(name[0]))));
        }
    }
    return std::string(letters.begin(), letters.end());
}

std::optional<DriveFacts> SimulatedMachine::drive(char letter) {
    auto all = facts_.find("drives");
    if (all == facts_.end() || all->is_null()) return std::nullopt;
    std::string file = (folder() / "machine.json").string();
    if (!all->is_object()) Fail(file + ": drives", "must be an object of drive letters");
    auto d = all->find(std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))));
    if (d == all->end()) return std::nullopt;
    std::string where = file + ": drives." + d.key();
    if (!d->is_object()) Fail(where, "must be an object");
    OnlyKeys(*d, {"type", "unc", "volume", "space"}, where);
    DriveFacts facts;
    facts.kind = KindOf(Text(*d, "type", where), where);
    facts.uncName = Text(*d, "unc", where);
    if (!facts.uncName.empty() && (facts.kind != DriveKind::remote || facts.uncName.rfind("\\\\", 0) != 0))
        Fail(where, "\"unc\" belongs to a remote drive and reads \\\\server\\share");
    auto v = d->find("volume");
    if (v != d->end() && !v->is_null()) {
        std::string at = where + ".volume";
        if (!v->is_object()) Fail(at, "must be an object or null");
        OnlyKeys(*v, {"label", "serial", "fileSystem", "maxComponentLength", "flags"}, at);
        VolumeInfo info;
        info.label = Text(*v, "label", at);
        info.serial = SerialOf(Text(*v, "serial", at).empty() ? "0000-0000" : Text(*v, "serial", at), at);
        info.fileSystem = Text(*v, "fileSystem", at);
        info.maxComponentLength = static_cast<std::uint32_t>(Whole(*v, "maxComponentLength", 255, 255, at));
        if (v->contains("flags")) info.flags = FlagsOf((*v)["flags"], at);
        // A label renamed while the machine runs; the folder keeps its own.
        if (auto renamed = volumeLabels_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
            renamed != volumeLabels_.end())
            info.label = renamed->second;
        facts.volume = info;
    }
    return facts;
}

std::optional<AspiFacts> SimulatedMachine::aspiLayer() {
    auto a = facts_.find("aspi");
    if (a == facts_.end() || a->is_null()) return std::nullopt;
    std::string where = (folder() / "machine.json").string() + ": aspi";
    if (!a->is_object()) Fail(where, "must be an object or null");
    OnlyKeys(*a, {"hostAdapters", "devices"}, where);
    AspiFacts facts;
    facts.hostAdapters = static_cast<std::uint8_t>(Whole(*a, "hostAdapters", 0, 8, where));
    auto list = a->find("devices");
    if (list == a->end()) return facts;
    if (!list->is_array()) Fail(where, "\"devices\" must be a list");
    for (std::size_t i = 0; i < list->size(); ++i) {
        const json& d = (*list)[i];
        std::string at = where + ".devices[" + std::to_string(i) + "]";
        if (!d.is_object()) Fail(at, "must be an object");
        OnlyKeys(d,
                 {"adapter", "target", "lun", "type", "vendor", "product", "revision", "vendorSpecific",
                  "testUnitReadyStatus", "inquiryStatus", "neverCompletes"},
                 at);
        AspiDevice dev;
        dev.hostAdapter = static_cast<std::uint8_t>(Whole(d, "adapter", 0, 7, at));
        if (dev.hostAdapter >= facts.hostAdapters) Fail(at, "\"adapter\" must be below \"hostAdapters\"");
        dev.target = static_cast<std::uint8_t>(Whole(d, "target", 0, 15, at));
        dev.lun = static_cast<std::uint8_t>(Whole(d, "lun", 0, 7, at));
        dev.deviceType = static_cast<std::uint8_t>(Whole(d, "type", 0, 31, at));
        dev.vendor = Padded(Text(d, "vendor", at), 8);
        dev.product = Padded(Text(d, "product", at), 16);
        dev.revision = Padded(Text(d, "revision", at), 4);
        dev.vendorSpecific = Padded(Text(d, "vendorSpecific", at), 20);
        dev.testUnitReadyStatus = static_cast<std::uint8_t>(Whole(d, "testUnitReadyStatus", 1, 255, at));
        dev.inquiryStatus = static_cast<std::uint8_t>(Whole(d, "inquiryStatus", 1, 255, at));
        if (auto n = d.find("neverCompletes"); n != d.end()) {
            if (!n->is_boolean()) Fail(at, "\"neverCompletes\" must be true or false");
            dev.neverCompletes = n->get<bool>();
        }
        facts.devices.push_back(dev);
    }
    return facts;
}

std::optional<std::uint64_t> SimulatedMachine::firstProcessorIdleTime() {
    auto it = facts_.find("processorLoad");
    if (it == facts_.end() || it->is_null()) return std::nullopt;
    if (!it->is_number_unsigned() || it->get<std::uint64_t>() > 100)
        Fail((folder() / "machine.json").string() + ": processorLoad", "must be a whole percentage from 0 to 100");
    advance();
    std::uint64_t idlePercent = 100 - it->get<std::uint64_t>();
    // 100-ns units of the time since boot, the idle share of them.
    return nanosecondsSinceBoot() / 100 / 100 * idlePercent;
}

bool SimulatedMachine::aspiExports(const std::string& library, const std::string* function) const {
    auto a = facts_.find("aspi");
    if (a == facts_.end() || a->is_null()) return false;
    std::string name = library.substr(library.find_last_of("\\/") == std::string::npos ? 0 : library.find_last_of("\\/") + 1);
    for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name != "wnaspi32.dll" && name != "wnaspi32") return false;
    return !function || *function == "GetASPI32SupportInfo" || *function == "SendASPI32Command";
}

}  // namespace torvex::platform
