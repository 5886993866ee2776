#include "platform/host/HostVolume.h"

#include <unistd.h>

#include <charconv>
#include <system_error>

#include "platform/machine/FileText.h"

namespace torvex::platform::host {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kWho = "volumes";

bool IsNetworkFileSystem(std::string_view type) {
    for (std::string_view t : {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph", "glusterfs",
                               "fuse.sshfs", "davfs", "fuse.davfs2"})
        if (type == t) return true;
    return false;
}

bool IsOpticalFileSystem(std::string_view type) { return type == "iso9660" || type == "udf"; }

// udev escapes blanks and other bytes in link names as \xHH.
std::string UnescapeUdev(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() + 0 && name[i + 1] == 'x') {
            unsigned value = 0;
            auto [p, ec] = std::from_chars(name.data() + i + 2, name.data() + i + 4, value, 16);
            if (ec == std::errc() && p == name.data() + i + 4) {
                out += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

std::string LabelOf(const std::string& source, const fs::path& root) {
    if (source.rfind("/dev/", 0) != 0) return {};
    std::error_code ec;
    fs::path device = fs::weakly_canonical(root / source.substr(1), ec);
    if (ec) return {};
    fs::path labels = root / "dev/disk/by-label";
    fs::directory_iterator it(labels, ec);
    if (ec) {
        Trace(kWho, labels.string() + ": missing, so no volume has a label");
        return {};
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        fs::path target = fs::weakly_canonical(it->path(), ec);
        if (!ec && target == device) return UnescapeUdev(it->path().filename().string());
        ec.clear();
    }
    return {};
}

}  // namespace

std::optional<VolumeFacts> HostVolumeFacts(const DriveMap& map, char letter, const fs::path& root) {
    const Drive* d = map.drive(letter);
    if (!d) return std::nullopt;
    VolumeFacts v;
    const std::string& type = d->mount.fsType;
    v.driveType = IsNetworkFileSystem(type) ? 4u : IsOpticalFileSystem(type) ? 5u : 3u;
    v.fileSystem = type;
    v.label = LabelOf(d->mount.source, root);
    // Linux file systems keep case and names in Unicode; the FAT family
    // ignores case.
    v.fileSystemFlags = 0x2 | 0x4;
    if (type != "vfat" && type != "msdos" && type != "exfat") v.fileSystemFlags |= 0x1;
    return v;
}

std::optional<std::uint64_t> IdleTimeFromProcStat(std::string_view text, long ticksPerSecond) {
    std::optional<std::uint64_t> idle;
    if (ticksPerSecond <= 0) return idle;
    ForEachLine(text, [&](std::string_view line, int) {
        if (line.substr(0, 4) != "cpu ") return true;
        // cpu user nice system idle ...
        std::vector<std::string_view> fields;
        for (auto f : Split(TrimView(line.substr(4)), ' '))
            if (!f.empty()) fields.push_back(f);
        std::uint64_t ticks = 0;
        if (fields.size() >= 4) {
            auto [p, ec] = std::from_chars(fields[3].data(), fields[3].data() + fields[3].size(), ticks);
            if (ec == std::errc() && p == fields[3].data() + fields[3].size())
                idle = ticks * (10000000ull / std::uint64_t(ticksPerSecond));
        }
        return false;
    });
    return idle;
}

std::optional<std::uint64_t> HostProcessorIdleTime(const fs::path& root) {
    auto text = ReadFileTraced(root / "proc/stat", "processor load");
    if (!text) return std::nullopt;
    auto idle = IdleTimeFromProcStat(*text, sysconf(_SC_CLK_TCK));
    if (!idle) Trace("processor load", (root / "proc/stat").string() + ": no cpu line");
    return idle;
}

}  // namespace torvex::platform::host
