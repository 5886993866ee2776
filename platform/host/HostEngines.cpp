#include "platform/host/HostEngines.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>
#include <vector>

#include "platform/machine/FileText.h"

namespace torvex::platform::host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWho = "engines";

// Up to four dot-separated numbers at the start of text.
std::optional<FileVersionNumbers> VersionNumbers(std::string_view text) {
    FileVersionNumbers v{0, 0, 0, 0};
    std::size_t part = 0, i = 0;
    bool any = false;
    while (i < text.size() && part < 4) {
        if (text[i] < '0' || text[i] > '9') break;
        unsigned long n = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            n = n * 10 + static_cast<unsigned long>(text[i] - '0');
            if (n > 0xFFFF) return std::nullopt;
            ++i;
        }
        v[part++] = static_cast<std::uint16_t>(n);
        any = true;
        if (i < text.size() && text[i] == '.') ++i; else break;
    }
    if (!any) return std::nullopt;
    return v;
}

bool ParseHctl(const std::string& name, unsigned (&hctl)[4]) {
    auto parts = Split(name, ':');
    if (parts.size() != 4) return false;
    for (int k = 0; k < 4; ++k) {
        if (parts[k].empty() || parts[k].size() > 6) return false;
        unsigned v = 0;
        for (char c : parts[k]) {
            if (c < '0' || c > '9') return false;
            v = v * 10 + static_cast<unsigned>(c - '0');
        }
        hctl[k] = v;
    }
    return true;
}

}  // namespace

std::optional<FileVersionNumbers> SgDriverVersion(const fs::path& root) {
    auto text = ReadFileTraced(root / "proc/scsi/sg/version", kWho);
    if (!text) return std::nullopt;
    // "30536\t3.5.36 [20140603]": the number, then the dotted version.
    std::string line = Trim(*text);
    auto fields = Split(line, '\t');
    std::string_view dotted = fields.size() >= 2 ? TrimView(fields[1]) : std::string_view{};
    auto v = VersionNumbers(dotted);
    if (!v) Trace(kWho, (root / "proc/scsi/sg/version").string() + ": unparsable at line 1");
    return v;
}

std::optional<AspiFacts> HostAspiLayer(const fs::path& root) {
    if (!SgDriverVersion(root)) return std::nullopt;
    struct Found {
        unsigned hctl[4];
        AspiDevice device;
    };
    std::vector<Found> found;
    std::error_code ec;
    for (fs::directory_iterator it(root / "sys/bus/scsi/devices", ec), end; !ec && it != end; it.increment(ec)) {
        Found f{};
        if (!ParseHctl(it->path().filename().string(), f.hctl)) continue;   // hosts and targets
        auto read = [&](const char* name) { return ReadFileTraced(it->path() / name, kWho).value_or(""); };
        std::string type = Trim(read("type"));
        f.device.deviceType = static_cast<std::uint8_t>(std::strtoul(type.c_str(), nullptr, 10) & 0x1F);
        // sysfs gives the inquiry's fields without their padding; the layer
        // hands them on padded, as the device sent them.
        f.device.vendor = Trim(read("vendor"));
        f.device.product = Trim(read("model"));
        f.device.revision = Trim(read("rev"));
        f.device.vendor.resize(8, ' ');
        f.device.product.resize(16, ' ');
        f.device.revision.resize(4, ' ');
        f.device.vendorSpecific.assign(20, ' ');
        f.device.lun = static_cast<std::uint8_t>(std::min(f.hctl[3], 255u));
        found.push_back(f);
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.hctl[0], a.hctl[1], a.hctl[2], a.hctl[3]) < std::tie(b.hctl[0], b.hctl[1], b.hctl[2], b.hctl[3]);
    });
    // Each host and channel is one adapter, numbered in the kernel's order.
    std::map<std::pair<unsigned, unsigned>, std::uint8_t> adapters;
    AspiFacts facts;
    for (auto& f : found) {
        auto key = std::make_pair(f.hctl[0], f.hctl[1]);
        auto a = adapters.find(key);
        if (a == adapters.end()) {
            if (adapters.size() >= 8) continue;
            a = adapters.emplace(key, static_cast<std::uint8_t>(adapters.size())).first;
        }
        if (f.hctl[2] > 15) continue;   // beyond the targets a layer of the era addresses
        f.device.hostAdapter = a->second;
        f.device.target = static_cast<std::uint8_t>(f.hctl[2]);
        facts.devices.push_back(f.device);
    }
    facts.hostAdapters = static_cast<std::uint8_t>(adapters.size());
    return facts;
}

std::optional<FileVersionNumbers> OdbcDriverManagerVersion(const fs::path& root) {
    // The library by its soname; the file it leads to carries the whole
    // version ("libodbc.so.2" -> "libodbc.so.2.0.0").
    const std::string prefix = "libodbc.so.";
    for (const char* dir : {"usr/lib/x86_64-linux-gnu", "usr/lib/aarch64-linux-gnu", "usr/lib64", "usr/lib",
                            "usr/local/lib", "lib/x86_64-linux-gnu"}) {
        for (const char* soname : {"libodbc.so.2", "libodbc.so.1"}) {
            fs::path link = root / dir / soname;
            std::error_code ec;
            if (!fs::exists(link, ec)) continue;
            std::string name = soname;
            for (int hops = 0; hops < 8 && fs::is_symlink(link, ec); ++hops) {
                fs::path target = fs::read_symlink(link, ec);
                if (ec) break;
                link = target.is_absolute() ? root / target.relative_path() : link.parent_path() / target;
                name = target.filename().string();
            }
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            if (auto v = VersionNumbers(std::string_view(name).substr(prefix.size()))) return v;
        }
    }
    Trace(kWho, "unixODBC's driver manager (libodbc.so.2) not found in the library folders");
    return std::nullopt;
}

std::optional<std::uint64_t> Cpu0IdleTime(std::string_view procStat, long ticksPerSecond) {
    if (ticksPerSecond <= 0) return std::nullopt;
    std::optional<std::uint64_t> result;
    ForEachLine(procStat, [&](std::string_view line, int) {
        if (line.substr(0, 5) != "cpu0 ") return true;
        std::vector<std::uint64_t> values;
        for (auto f : Split(line.substr(5), ' ')) {
            if (f.empty()) continue;
            std::uint64_t v = 0;
            for (char c : f) {
                if (c < '0' || c > '9') return false;
                v = v * 10 + static_cast<std::uint64_t>(c - '0');
            }
            values.push_back(v);
        }
        // user nice system idle iowait ...
        if (values.size() < 4) return false;
        std::uint64_t ticks = values[3] + (values.size() > 4 ? values[4] : 0);
        result = ticks * (10000000ull / static_cast<std::uint64_t>(ticksPerSecond));
        return false;
    });
    return result;
}

}  // namespace torvex::platform::host
