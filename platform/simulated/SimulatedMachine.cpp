#include "platform/simulated/SimulatedMachine.h"
#include "platform/simulated/SimulatedDriveTree.h"
#include "platform/simulated/SimulatedDisplay.h"

#include "platform/machine/FileText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/machine/TextUtil.h"
#include "platform/simulated/RegFile.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace torvex::platform {

namespace {

constexpr int kMaxBaseDepth = 16;

struct FactsFile {
    fs::path path;
    std::string text;
    json facts;
};


int LineOfByte(const std::string& text, std::size_t byte) {
    byte = std::min(byte, text.size());
    return 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(byte), '\n'));
}

// A name as one token of a JSON pointer ("~" and "/" escaped).
std::string Token(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '~') out += "~0";
        else if (c == '/') out += "~1";
        else out += c;
    }
    return out;
}

std::string Untoken(const std::string& token) {
    std::string out;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] == '~' && i + 1 < token.size() && (token[i + 1] == '0' || token[i + 1] == '1')) {
            out += token[i + 1] == '0' ? '~' : '/';
            ++i;
        } else {
            out += token[i];
        }
    }
    return out;
}

// Reads typed facts and reports a wrong one with the file that sets it and
// the line of its key.
class FactReader {
public:
    FactReader(const json& merged, const std::vector<FactsFile>& files) : merged_(merged), files_(files) {}

    [[noreturn]] void fail(const std::string& pointer, const std::string& why) const {
        json::json_pointer ptr(pointer);
        for (const auto& f : files_) {   // the machine itself first, then its bases
            if (!f.facts.contains(ptr)) continue;
            std::size_t at = 0;
            std::size_t start = 1;
            while (start <= pointer.size()) {
                std::size_t end = pointer.find('/', start);
                if (end == std::string::npos) end = pointer.size();
                std::string token = Untoken(pointer.substr(start, end - start));
                if (!token.empty() && !std::all_of(token.begin(), token.end(), ::isdigit)) {
                    std::size_t found = f.text.find("\"" + token + "\"", at);
                    if (found != std::string::npos) at = found;
                }
                start = end + 1;
            }
            throw MachineError(f.path.string(), LineOfByte(f.text, at), label(pointer) + ": " + why);
        }
        throw MachineError(files_.front().path.string(), 0, label(pointer) + ": " + why);
    }

    const json* find(const std::string& pointer) const {
        json::json_pointer ptr(pointer);
        const json* v = merged_.contains(ptr) ? &merged_.at(ptr) : nullptr;
        if (TraceEnabled()) traceSource(pointer, ptr, v != nullptr);
        return v;
    }

    // Which file a fact is answered from: the machine's own or a base's.
    void traceSource(const std::string& pointer, const json::json_pointer& ptr, bool given) const {
        if (given)
            for (const auto& f : files_)
                if (f.facts.contains(ptr)) {
                    Trace("simulated", label(pointer) + ": from " + f.path.string());
                    return;
                }
        Trace("simulated", label(pointer) + ": not in " + files_.front().path.string() + ", the default answers");
    }

    std::uint64_t unsignedAt(const std::string& pointer, std::uint64_t fallback,
                             std::uint64_t max = 0xFFFFFFFFu) const {
        const json* v = find(pointer);
        if (!v) return fallback;
        if (!v->is_number_unsigned()) fail(pointer, "expected a whole number of 0 or more");
        std::uint64_t n = v->get<std::uint64_t>();
        if (n > max) fail(pointer, "must not exceed " + std::to_string(max));
        return n;
    }

    std::int64_t signedAt(const std::string& pointer, std::int64_t fallback) const {
        const json* v = find(pointer);
        if (!v) return fallback;
        if (!v->is_number_integer()) fail(pointer, "expected a whole number");
        return v->get<std::int64_t>();
    }

    double numberAt(const std::string& pointer, double fallback) const {
        const json* v = find(pointer);
        if (!v) return fallback;
        if (!v->is_number() || v->get<double>() < 0) fail(pointer, "expected a number of 0 or more");
        return v->get<double>();
    }

    bool boolAt(const std::string& pointer, bool fallback) const {
        const json* v = find(pointer);
        if (!v) return fallback;
        if (!v->is_boolean()) fail(pointer, "expected true or false");
        return v->get<bool>();
    }

    std::string stringAt(const std::string& pointer, const std::string& fallback = {}) const {
        const json* v = find(pointer);
        if (!v) return fallback;
        if (!v->is_string()) fail(pointer, "expected a text in quotes");
        return v->get<std::string>();
    }

    std::vector<std::string> stringsAt(const std::string& pointer) const {
        std::vector<std::string> out;
        const json* v = find(pointer);
        if (!v) return out;
        if (!v->is_array()) fail(pointer, "expected a list of texts");
        for (std::size_t i = 0; i < v->size(); ++i) {
            if (!(*v)[i].is_string()) fail(pointer + "/" + std::to_string(i), "expected a text in quotes");
            out.push_back((*v)[i].get<std::string>());
        }
        return out;
    }

    // A record's fields must be among the known ones, so that a misspelt
    // fact is reported instead of silently ignored.
    void onlyFields(const std::string& pointer, std::initializer_list<const char*> known) const {
        const json* v = find(pointer);
        if (!v) return;
        if (!v->is_object()) fail(pointer, "expected an object { ... }");
        for (const auto& item : v->items()) {
            // A named copy, not a structured binding: older compilers cannot
            // capture a binding in the lambda.
            const std::string& key = item.key();
            bool ok = std::any_of(known.begin(), known.end(), [&](const char* k) { return key == k; });
            if (!ok) {
                std::string list;
                for (const char* k : known) list += std::string(list.empty() ? "" : ", ") + k;
                fail(pointer + "/" + Token(key), "unknown field; known are " + list);
            }
        }
    }

private:
    static std::string label(const std::string& pointer) {
        std::string s = pointer.substr(pointer.empty() ? 0 : 1);
        std::replace(s.begin(), s.end(), '/', '.');
        return "\"" + s + "\"";
    }

    const json& merged_;
    const std::vector<FactsFile>& files_;
};

// "C:\WINDOWS\WIN.INI" -> 'C' and {"WINDOWS", "WIN.INI"}; "." and ".." are
// resolved, so a path never leaves its drive. nullopt for anything that is
// not an absolute drive-letter path.
struct WindowsPath {
    char drive;
    std::vector<std::string> parts;
    bool folder = false;   // ends with a separator: only a folder answers
};

std::optional<WindowsPath> ParseWindowsPath(const std::string& path) {
    if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) return std::nullopt;
    if (path.size() > 2 && path[2] != '\\' && path[2] != '/') return std::nullopt;
    WindowsPath wp{char(std::toupper(static_cast<unsigned char>(path[0]))), {}};
    wp.folder = path.back() == '\\' || path.back() == '/';
    std::size_t start = 2;
    while (start < path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        // Windows ignores trailing dots and blanks of a name.
        while (!part.empty() && (part.back() == ' ' || (part.back() == '.' && part != "." && part != "..")))
            part.pop_back();
        if (part == "..") {
            if (!wp.parts.empty()) wp.parts.pop_back();
        } else if (!part.empty() && part != ".") {
            if (part.find_first_of(":*?\"<>|") != std::string::npos) return std::nullopt;
            wp.parts.push_back(part);
        }
        start = end + 1;
    }
    return wp;
}

// The entry of dir whose name equals name ignoring letter case; the exact
// name wins when both exist.
std::optional<fs::path> FindNoCase(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    fs::path exact = dir / name;
    if (fs::exists(exact, ec)) return exact;
    if (!fs::is_directory(dir, ec)) return std::nullopt;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (EqualsNoCase(entry.path().filename().string(), name)) return entry.path();
    return std::nullopt;
}

std::optional<fs::path> Resolve(const fs::path& root, const WindowsPath& wp) {
    auto at = FindNoCase(root, std::string(1, wp.drive));
    for (std::size_t i = 0; at && i < wp.parts.size(); ++i) at = FindNoCase(*at, wp.parts[i]);
    // "X.EXE\" names a folder X.EXE: a file of that name does not answer.
    std::error_code ec;
    if (at && wp.folder && !fs::is_directory(*at, ec)) return std::nullopt;
    return at;
}

std::int64_t DaysFromCivil(int y, unsigned m, unsigned d) {
    using namespace std::chrono;
    return sys_days(year_month_day(year(y), month(m), day(d))).time_since_epoch().count();
}

LocalTime FromSeconds(std::int64_t seconds, unsigned milliseconds) {
    using namespace std::chrono;
    std::int64_t days = seconds / 86400;
    std::int64_t rem = seconds % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    sys_days sd{std::chrono::days(days)};
    year_month_day ymd(sd);
    LocalTime t;
    t.year = int(ymd.year());
    t.month = int(unsigned(ymd.month()));
    t.day = int(unsigned(ymd.day()));
    t.dayOfWeek = int(weekday(sd).c_encoding());
    t.hour = int(rem / 3600);
    t.minute = int(rem / 60 % 60);
    t.second = int(rem % 60);
    t.milliseconds = int(milliseconds);
    return t;
}

// Whole units of a rate over a time in nanoseconds, without overflow.
std::uint64_t Scale(std::uint64_t ns, std::uint64_t perSecond) {
    return ns / 1000000000u * perSecond + ns % 1000000000u * perSecond / 1000000000u;
}

fs::path DefaultOverlayRoot() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state && fs::path(state).is_absolute()) return fs::path(state) / "torvex" / "machines";
    const char* home = std::getenv("HOME");
    if (home && *home) return fs::path(home) / ".local" / "state" / "torvex" / "machines";
    return {};
}

}  // namespace

std::unique_ptr<SimulatedMachine> SimulatedMachine::Load(const fs::path& folder, const fs::path& overlay) {
    // The facts are checked field by field; this only keeps an unforeseen
    // shape of them from escaping as anything but a MachineError.
    try {
        return LoadChecked(folder, overlay);
    } catch (const json::exception& e) {
        throw MachineError((folder / "machine.json").string(), 0, std::string("unusable facts: ") + e.what());
    } catch (const fs::filesystem_error& e) {
        throw MachineError(folder.string(), 0, std::string("cannot read the machine folder: ") + e.what());
    }
}

std::unique_ptr<SimulatedMachine> SimulatedMachine::LoadChecked(const fs::path& folderIn, const fs::path& overlay) {
    std::unique_ptr<SimulatedMachine> m(new SimulatedMachine());

    // The chain of machines: this one, its base, the base's base ...
    std::vector<FactsFile> files;
    std::set<fs::path> seen;
    fs::path folder = folderIn.lexically_normal();
    if (folder.has_filename() == false && folder.has_parent_path()) folder = folder.parent_path();
    for (int depth = 0;; ++depth) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) {
            if (files.empty()) throw MachineError(folder.string(), 0, "no machine folder here");
            throw MachineError(files.back().path.string(), 0, "the base machine folder " + folder.string() + " does not exist");
        }
        fs::path canonical = fs::weakly_canonical(folder, ec);
        if (!seen.insert(canonical).second || depth > kMaxBaseDepth)
            throw MachineError(files.back().path.string(), 0, "the base machines form a loop");
        FactsFile f;
        f.path = folder / "machine.json";
        FileRead read = ReadWholeFile(f.path);
        if (read.failure == ReadFailure::missing)
            throw MachineError(f.path.string(), 0, "missing machine.json (the machine's facts)");
        if (!read) throw MachineError(f.path.string(), 0, std::string("machine.json: ") + ReadFailureText(read.failure));
        f.text = std::move(read.text);
        try {
            f.facts = json::parse(f.text);
        } catch (const json::parse_error& e) {
            std::string why = e.what();
            if (auto at = why.find("syntax error"); at != std::string::npos) why = why.substr(at);
            throw MachineError(f.path.string(), LineOfByte(f.text, e.byte > 0 ? e.byte - 1 : 0), "bad JSON: " + why);
        }
        if (!f.facts.is_object()) throw MachineError(f.path.string(), 1, "the facts must be one JSON object { ... }");
        m->folders_.push_back(folder);
        json baseName = f.facts.contains("base") ? f.facts["base"] : json();
        files.push_back(std::move(f));
        if (baseName.is_null()) break;
        if (!baseName.is_string() || baseName.get<std::string>().empty())
            FactReader(files.back().facts, files).fail("/base", "expected the base machine's folder as a text");
        fs::path base = baseName.get<std::string>();
        folder = (base.is_absolute() ? base : folder / base).lexically_normal();
        if (!folder.has_filename() && folder.has_parent_path()) folder = folder.parent_path();
    }

    // Facts: the base-most first, each machine overriding the one it is based on.
    for (auto it = files.rbegin(); it != files.rend(); ++it) m->facts_.merge_patch(it->facts);
    m->facts_.erase("base");
    FactReader r(m->facts_, files);

    r.onlyFields("/version", {"major", "minor", "build", "platformId", "csdVersion", "extendedRecord",
                              "servicePackMajor", "servicePackMinor", "suiteMask", "productType"});
    if (!r.find("/version")) throw MachineError(files.front().path.string(), 0, "\"version\": missing");
    VersionFacts& v = m->version_;
    v.major = std::uint32_t(r.unsignedAt("/version/major", 0));
    v.minor = std::uint32_t(r.unsignedAt("/version/minor", 0));
    v.build = std::uint32_t(r.unsignedAt("/version/build", 0));
    v.platformId = std::uint32_t(r.unsignedAt("/version/platformId", 0, 2));
    v.csdVersion = r.stringAt("/version/csdVersion");
    if (v.csdVersion.size() > 127) r.fail("/version/csdVersion", "at most 127 characters fit the record");
    v.extendedRecord = r.boolAt("/version/extendedRecord", false);
    v.servicePackMajor = std::uint16_t(r.unsignedAt("/version/servicePackMajor", 0, 0xFFFF));
    v.servicePackMinor = std::uint16_t(r.unsignedAt("/version/servicePackMinor", 0, 0xFFFF));
    v.suiteMask = std::uint16_t(r.unsignedAt("/version/suiteMask", 0, 0xFFFF));
    v.productType = std::uint8_t(r.unsignedAt("/version/productType", 0, 0xFF));

    r.onlyFields("/systemInfo", {"architecture", "pageSize", "minAppAddress", "maxAppAddress", "activeProcessorMask",
                                 "processors", "processorType", "allocationGranularity", "processorLevel",
                                 "processorRevision"});
    SystemInfoFacts& s = m->systemInfo_;
    s.architecture = std::uint16_t(r.unsignedAt("/systemInfo/architecture", s.architecture, 0xFFFF));
    s.pageSize = std::uint32_t(r.unsignedAt("/systemInfo/pageSize", s.pageSize));
    s.minAppAddress = std::uint32_t(r.unsignedAt("/systemInfo/minAppAddress", s.minAppAddress));
    s.maxAppAddress = std::uint32_t(r.unsignedAt("/systemInfo/maxAppAddress", s.maxAppAddress));
    s.activeProcessorMask = std::uint32_t(r.unsignedAt("/systemInfo/activeProcessorMask", s.activeProcessorMask));
    s.processors = std::uint32_t(r.unsignedAt("/systemInfo/processors", s.processors));
    s.processorType = std::uint32_t(r.unsignedAt("/systemInfo/processorType", s.processorType));
    s.allocationGranularity = std::uint32_t(r.unsignedAt("/systemInfo/allocationGranularity", s.allocationGranularity));
    s.processorLevel = std::uint16_t(r.unsignedAt("/systemInfo/processorLevel", s.processorLevel, 0xFFFF));
    s.processorRevision = std::uint16_t(r.unsignedAt("/systemInfo/processorRevision", s.processorRevision, 0xFFFF));

    r.onlyFields("/memory", {"memoryLoad", "totalPhys", "availPhys", "totalPageFile", "availPageFile", "totalVirtual",
                             "availVirtual"});
    MemoryFacts& mem = m->memory_;
    constexpr std::uint64_t kAny = ~std::uint64_t{0};
    mem.memoryLoad = std::uint32_t(r.unsignedAt("/memory/memoryLoad", 0, 100));
    mem.totalPhys = r.unsignedAt("/memory/totalPhys", 0, kAny);
    mem.availPhys = r.unsignedAt("/memory/availPhys", 0, kAny);
    mem.totalPageFile = r.unsignedAt("/memory/totalPageFile", 0, kAny);
    mem.availPageFile = r.unsignedAt("/memory/availPageFile", 0, kAny);
    mem.totalVirtual = r.unsignedAt("/memory/totalVirtual", 0, kAny);
    mem.availVirtual = r.unsignedAt("/memory/availVirtual", 0, kAny);
    if (mem.availPhys > mem.totalPhys) r.fail("/memory/availPhys", "more than totalPhys");

    m->ansiCodePage_ = unsigned(r.unsignedAt("/ansiCodePage", 1252, 65535));
    m->computerName_ = r.stringAt("/computerName");
    m->userName_ = r.stringAt("/userName");
    m->windowsDirectory_ = r.stringAt("/windowsDirectory", "C:\\WINDOWS");
    m->systemDirectory_ = r.stringAt("/systemDirectory", m->windowsDirectory_ + "\\SYSTEM");
    m->tempDirectory_ = r.stringAt("/tempDirectory", m->windowsDirectory_ + "\\TEMP\\");
    m->moduleFileName_ = r.stringAt("/moduleFileName", "C:\\Program Files\\Torvex\\Torvex.exe");
    for (const char* dir : {"/windowsDirectory", "/systemDirectory", "/tempDirectory", "/moduleFileName"})
        if (r.find(dir) && !ParseWindowsPath(r.stringAt(dir))) r.fail(dir, "expected a drive-letter path such as C:\\WINDOWS");
    m->environment_ = r.stringsAt("/environment");
    for (std::size_t i = 0; i < m->environment_.size(); ++i)
        if (m->environment_[i].find('=', 1) == std::string::npos)
            r.fail("/environment/" + std::to_string(i), "an entry is NAME=value");

    // Clock.
    r.onlyFields("/clock", {"start", "utcOffsetMinutes", "secondsSinceBoot", "performanceFrequency"});
    std::string start = r.stringAt("/clock/start", "2000-01-01 12:00:00");
    int y, mo, d, h, mi, se;
    char sep;
    if (std::sscanf(start.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &y, &mo, &d, &sep, &h, &mi, &se) != 7 ||
        (sep != ' ' && sep != 'T') || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 59 ||
        y < 1601 || !std::chrono::year_month_day(std::chrono::year(y), std::chrono::month(unsigned(mo)),
                                                 std::chrono::day(unsigned(d))).ok())
        r.fail("/clock/start", "expected a local time \"YYYY-MM-DD hh:mm:ss\"");
    m->startLocalSeconds_ = DaysFromCivil(y, unsigned(mo), unsigned(d)) * 86400 + h * 3600 + mi * 60 + se;
    std::int64_t offset = r.signedAt("/clock/utcOffsetMinutes", 0);
    if (offset < -14 * 60 || offset > 14 * 60) r.fail("/clock/utcOffsetMinutes", "must lie between -840 and 840");
    m->utcOffsetSeconds_ = offset * 60;
    // Up to ten years: a server may run longer than the 49.7 days after which
    // the 32-bit tick count wraps, and the layer's 64-bit count must show it.
    m->bootNs_ = r.unsignedAt("/clock/secondsSinceBoot", 60, 10ull * 366 * 86400) * 1000000000ull;
    m->performanceFrequency_ = r.unsignedAt("/clock/performanceFrequency", 3579545, kAny);

    r.onlyFields("/processor", {"clockMHz"});
    double mhz = r.numberAt("/processor/clockMHz", 0);
    if (mhz > 100000) r.fail("/processor/clockMHz", "not a processor clock in MHz");
    m->clockKHz_ = std::uint64_t(mhz * 1000 + 0.5);

    // Libraries.
    if (const json* libs = r.find("/libraries")) {
        if (!libs->is_object()) r.fail("/libraries", "expected an object of libraries by file name");
        for (const auto& [name, lib] : libs->items()) {
            if (lib.is_null()) continue;   // removed by a variant
            std::string p = "/libraries/" + Token(name);
            r.onlyFields(p, {"exports", "ordinals"});
            Library& l = m->libraries_[NormalizeLibraryName(name)];
            l.exports = r.stringsAt(p + "/exports");
            if (const json* ords = r.find(p + "/ordinals")) {
                if (!ords->is_object()) r.fail(p + "/ordinals", "expected an object of \"ordinal\": \"function\"");
                for (const auto& [ordinal, function] : ords->items()) {
                    char* end = nullptr;
                    unsigned long n = std::strtoul(ordinal.c_str(), &end, 10);
                    if (ordinal.empty() || *end || n == 0 || n > 0xFFFF)
                        r.fail(p + "/ordinals/" + Token(ordinal), "an ordinal is a number from 1 to 65535");
                    l.ordinals[std::uint16_t(n)] = r.stringAt(p + "/ordinals/" + Token(ordinal));
                }
            }
        }
    }

    // The 16-bit USER module's free resources (Windows 9x only).
    if (const json* res = r.find("/freeSystemResources"); res && !res->is_null()) {
        r.onlyFields("/freeSystemResources", {"system", "gdi", "user"});
        m->hasUserModule16_ = true;
        const char* names[3] = {"system", "gdi", "user"};
        for (int i = 0; i < 3; ++i)
            m->freeResources_[i] = std::uint16_t(r.unsignedAt(std::string("/freeSystemResources/") + names[i], 0, 100));
    }

    // Mains and battery as GetSystemPowerStatus answers them; a PC without
    // the record runs on mains with no battery.
    if (const json* power = r.find("/power"); power && !power->is_null()) {
        r.onlyFields("/power", {"acLineStatus", "batteryFlag", "batteryLifePercent", "batteryLifeTime",
                                "batteryFullLifeTime"});
        PowerStatusFacts p;
        p.acLineStatus = std::uint8_t(r.unsignedAt("/power/acLineStatus", p.acLineStatus, 0xFF));
        p.batteryFlag = std::uint8_t(r.unsignedAt("/power/batteryFlag", p.batteryFlag, 0xFF));
        p.batteryLifePercent = std::uint8_t(r.unsignedAt("/power/batteryLifePercent", p.batteryLifePercent, 0xFF));
        // Seconds, or -1 where Windows reports the time as unknown.
        auto seconds = [&](const char* name, std::uint32_t fallback) {
            std::string at = std::string("/power/") + name;
            std::int64_t n = r.signedAt(at, fallback == 0xFFFFFFFFu ? -1 : std::int64_t(fallback));
            if (n < -1 || n > 0xFFFFFFFEll) r.fail(at, "expected seconds from 0 to 4294967294, or -1 for unknown");
            return n < 0 ? 0xFFFFFFFFu : std::uint32_t(n);
        };
        p.batteryLifeTime = seconds("batteryLifeTime", p.batteryLifeTime);
        p.batteryFullLifeTime = seconds("batteryFullLifeTime", p.batteryFullLifeTime);
        m->power_ = p;
    }

    m->firmware_ = SimulatedFirmware(m->facts_, files.front().path.string(), m->folders_);
    m->network_ = SimulatedNetwork(m->facts_, files.front().path.string());
    m->display_ = SimulatedDisplay(m->facts_, files.front().path.string());
    m->media_ = SimulatedMedia(m->facts_, files.front().path.string());

    r.onlyFields("/shell", {"canOpen"});
    m->shellOpenWorks_ = r.boolAt("/shell/canOpen", true);

    // Registry: the base-most machine's files first; within a machine in
    // file-name order.
    for (auto it = m->folders_.rbegin(); it != m->folders_.rend(); ++it) {
        fs::path dir = *it / "registry";
        std::error_code ec;
        if (!fs::is_directory(dir, ec)) continue;
        std::vector<fs::path> regs;
        for (const auto& entry : fs::directory_iterator(dir, ec))
            if (entry.is_regular_file() && EqualsNoCase(entry.path().extension().string(), ".reg"))
                regs.push_back(entry.path());
        std::sort(regs.begin(), regs.end(),
                  [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });
        for (const auto& reg : regs) LoadRegFile(reg, m->registry_);
    }
    m->registry_.setUserIsAdmin(r.boolAt("/userIsAdmin", true));
    std::vector<std::string> readOnly = r.stringsAt("/readOnlyKeys");
    for (std::size_t i = 0; i < readOnly.size(); ++i) {
        const std::string& key = readOnly[i];
        std::size_t slash = key.find('\\');
        RegRoot root;
        if (!ParseRegRoot(key.substr(0, slash), root))
            r.fail("/readOnlyKeys/" + std::to_string(i), "a key path begins with its root, e.g. HKEY_LOCAL_MACHINE\\SOFTWARE");
        RegKey* k = &m->registry_.resolvedRoot(root);
        if (slash != std::string::npos) k = k->find(key.substr(slash + 1));
        if (!k) r.fail("/readOnlyKeys/" + std::to_string(i), "the registry has no key " + key);
        k->setReadOnly(true);
    }

    // Processor: the nearest machine's dump.
    std::size_t dumpOf = 0;
    for (; dumpOf < m->folders_.size(); ++dumpOf) {
        fs::path dump = m->folders_[dumpOf] / "cpuid.txt";
        std::error_code ec;
        if (fs::exists(dump, ec)) {
            m->cpuid_ = CpuidDump::Load(dump);
            break;
        }
    }
    // The clock goes with the processor: a machine with its own dump and no
    // clock of its own runs at its dump's clock, not at a base machine's.
    bool clockWithDump = false;
    for (std::size_t i = 0; i <= dumpOf && i < files.size(); ++i) {
        const json& own = files[i].facts;
        clockWithDump |= own.contains("processor") && own["processor"].is_object() &&
                         own["processor"].contains("clockMHz");
    }
    if (m->cpuid_ && (m->clockKHz_ == 0 || !clockWithDump) && m->cpuid_->headerClockMhz())
        m->clockKHz_ = std::uint64_t(*m->cpuid_->headerClockMhz()) * 1000;

    // Overlay: decided now, created on the first write.
    if (!overlay.empty()) {
        m->overlay_ = overlay;
    } else if (fs::path root = DefaultOverlayRoot(); !root.empty()) {
        std::error_code ec;
        fs::path name = fs::weakly_canonical(m->folders_.front(), ec).filename();
        if (name.empty()) name = m->folders_.front().filename();
        m->overlay_ = root / name;
    }
    // A drive tree must not reach out of the machine's folders.
    CheckDriveTree(m->folders_);
    return m;
}

std::string SimulatedMachine::description() const { return "simulated: " + folders_.front().string(); }

LocalTime SimulatedMachine::localTime() {
    advance();
    return FromSeconds(startLocalSeconds_ + std::int64_t(elapsedNs_ / 1000000000u),
                       unsigned(elapsedNs_ / 1000000u % 1000u));
}

LocalTime SimulatedMachine::systemTime() {
    advance();
    return FromSeconds(startLocalSeconds_ - utcOffsetSeconds_ + std::int64_t(elapsedNs_ / 1000000000u),
                       unsigned(elapsedNs_ / 1000000u % 1000u));
}

std::uint64_t SimulatedMachine::millisecondsSinceStart() {
    advance();
    return nanosecondsSinceBoot() / 1000000u;
}

std::uint64_t SimulatedMachine::performanceCounter() {
    if (performanceFrequency_ == 0) return 0;
    advance();
    return Scale(nanosecondsSinceBoot(), performanceFrequency_);
}

std::uint64_t SimulatedMachine::timeStampCounter() {
    advance();
    return Scale(nanosecondsSinceBoot(), clockKHz_ * 1000u);
}

void SimulatedMachine::sleep(std::uint32_t milliseconds) {
    elapsedNs_ += std::uint64_t(milliseconds) * 1000000u;
    sleptNs_ += std::uint64_t(milliseconds) * 1000000u;
}

const SimulatedMachine::Library* SimulatedMachine::library(const std::string& name) const {
    auto it = libraries_.find(NormalizeLibraryName(name));
    return it == libraries_.end() ? nullptr : &it->second;
}

bool SimulatedMachine::hasLibrary(const std::string& name) {
    return library(name) != nullptr || aspiExports(name, nullptr);
}

bool SimulatedMachine::hasExport(const std::string& name, const std::string& function) {
    const Library* l = library(name);
    if (!l) return aspiExports(name, &function);
    for (const auto& e : l->exports)
        if (EqualsNoCase(e, function)) return true;
    // Functions exported by ordinal only are found through their ordinal.
    for (const auto& [ordinal, e] : l->ordinals)
        if (EqualsNoCase(e, function)) return true;
    return false;
}

std::string SimulatedMachine::exportByOrdinal(const std::string& name, std::uint16_t ordinal) {
    const Library* l = library(name);
    if (!l) return {};
    auto it = l->ordinals.find(ordinal);
    return it == l->ordinals.end() ? std::string() : it->second;
}

std::optional<fs::path> SimulatedMachine::readPath(const std::string& windowsPath) {
    auto wp = ParseWindowsPath(windowsPath);
    if (!wp) return std::nullopt;
    if (!overlay_.empty())
        if (auto p = Resolve(overlay_, *wp)) return p;
    for (const auto& f : folders_)
        if (auto p = Resolve(f, *wp)) return p;
    return std::nullopt;
}

std::optional<fs::path> SimulatedMachine::writePath(const std::string& windowsPath) {
    auto wp = ParseWindowsPath(windowsPath);
    if (!wp || wp->parts.empty() || overlay_.empty()) return std::nullopt;
    // Keep the letter case the machine (or an earlier write) gave a folder,
    // so that the overlay mirrors the machine's tree.
    fs::path at = overlay_ / std::string(1, wp->drive);
    std::vector<std::optional<fs::path>> machineAt;
    for (const auto& f : folders_) machineAt.push_back(FindNoCase(f, std::string(1, wp->drive)));
    for (const auto& part : wp->parts) {
        std::string name = part;
        for (auto& m : machineAt) {
            if (m) m = FindNoCase(*m, part);
            if (m && name == part) name = m->filename().string();
        }
        if (auto existing = FindNoCase(at, part)) name = existing->filename().string();
        at /= name;
    }
    std::error_code ec;
    fs::create_directories(at.parent_path(), ec);
    if (ec) return std::nullopt;
    return at;
}

CpuidAnswer SimulatedMachine::cpuid(std::uint32_t leaf, std::uint32_t subLeaf) {
    return cpuid_ ? cpuid_->answer(leaf, subLeaf) : CpuidAnswer{};
}

std::optional<std::uint16_t> SimulatedMachine::freeSystemResources(std::uint16_t selector) {
    if (!hasUserModule16_) return std::nullopt;
    if (selector > 2) return std::uint16_t{0};
    return freeResources_[selector];
}

bool SimulatedMachine::shellOpen(const std::string& target) {
    shellOpenLog_.push_back(target);
    return shellOpenWorks_;
}

std::unique_ptr<Machine> LoadSimulatedMachine(const fs::path& folder, const fs::path& overlay) {
    return SimulatedMachine::Load(folder, overlay);
}

}  // namespace torvex::platform
