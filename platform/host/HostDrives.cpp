#include "platform/host/HostDrives.h"
#include "platform/host/HostDisks.h"

#include "platform/machine/FileText.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace torvex::platform::host {

namespace {

// The kernel writes space, tab, newline and backslash in paths as \ooo.
std::string DecodeOctal(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            bool octal = true;
            int v = 0;
            for (std::size_t k = 1; k <= 3; ++k) {
                if (s[i + k] < '0' || s[i + k] > '7') {
                    octal = false;
                    break;
                }
                v = v * 8 + (s[i + k] - '0');
            }
            if (octal && v < 256) {
                out.push_back(static_cast<char>(v));
                i += 3;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

std::vector<std::string_view> SplitSpaces(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool ParseUnsigned(std::string_view s, unsigned& v) {
    if (s.empty() || s.size() > 9) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// Network file systems: each mounted share is a drive, as a mapped network
// drive is on Windows.
const std::set<std::string, std::less<>> kNetworkTypes = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs",
};

// File systems that the kernel or a packaging system makes and that hold no
// volume of their own, even when their source looks like a device.
const std::set<std::string, std::less<>> kVirtualTypes = {
    "proc",       "sysfs",    "tmpfs",      "devtmpfs",    "devpts",      "ramfs",
    "cgroup",     "cgroup2",  "overlay",    "aufs",        "squashfs",    "securityfs",
    "debugfs",    "tracefs",  "pstore",     "bpf",         "mqueue",      "hugetlbfs",
    "configfs",   "fusectl",  "binfmt_misc", "autofs",     "efivarfs",    "rpc_pipefs",
    "nsfs",       "selinuxfs", "fuse.snapfuse", "fuse.lxcfs", "fuse.gvfsd-fuse",
    "fuse.portal", "nfsd",    "sockfs",     "pipefs",      "zonefs",
};

// The btrfs subvolume a mount shows, from its "subvol=" super option.
std::string Subvolume(const std::string& superOptions) {
    std::size_t start = 0;
    while (start <= superOptions.size()) {
        std::size_t end = superOptions.find(',', start);
        if (end == std::string::npos) end = superOptions.size();
        std::string_view opt(superOptions.data() + start, end - start);
        if (opt.substr(0, 7) == "subvol=") return std::string(opt.substr(7));
        start = end + 1;
    }
    return {};
}

// True when the mount shows a whole volume rather than a part of one bound
// elsewhere: its root is the file system's root, or the btrfs subvolume that
// was asked for.
bool IsWholeVolume(const MountEntry& m) {
    if (m.root == "/") return true;
    std::string sub = Subvolume(m.superOptions);
    return !sub.empty() && sub == m.root;
}

bool IsDiskVolume(const MountEntry& m) {
    if (kVirtualTypes.count(m.fsType)) return false;
    bool device = m.source.rfind("/dev/", 0) == 0 || m.fsType == "zfs";
    return device && IsWholeVolume(m);
}

// Is `path` equal to `prefix` or below it (component-wise)?
bool HasPrefix(std::string_view path, std::string_view prefix) {
    if (prefix == "/") return !path.empty() && path[0] == '/';
    if (path.substr(0, prefix.size()) != prefix) return false;
    return path.size() == prefix.size() || path[prefix.size()] == '/';
}

// The part of `path` below `prefix`, without a leading slash.
std::string Below(std::string_view path, std::string_view prefix) {
    std::string_view rest = prefix == "/" ? path.substr(1) : path.substr(prefix.size());
    while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    return std::string(rest);
}

std::string JoinHost(std::string_view base, std::string_view rel) {
    if (rel.empty()) return std::string(base);
    std::string out(base);
    if (out.empty() || out.back() != '/') out.push_back('/');
    out += rel;
    return out;
}

std::string WindowsForm(char letter, std::string_view rel) {
    std::string out{letter, ':', '\\'};
    for (char c : rel) out.push_back(c == '/' ? '\\' : c);
    return out;
}

}  // namespace

std::string NormalizeHostPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && path[i] == '/') ++i;
        std::size_t start = i;
        while (i < path.size() && path[i] != '/') ++i;
        std::string_view part = path.substr(start, i - start);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (auto p : parts) {
        out.push_back('/');
        out += p;
    }
    return out.empty() ? "/" : out;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    ForEachLine(text, [&](std::string_view line, int number) {
        auto unparsable = [&] {
            if (TraceEnabled()) Trace("drives", "mountinfo: unparsable at line " + std::to_string(number));
            return true;
        };
        auto f = SplitSpaces(line);
        // id parent major:minor root mountpoint options [optional...] - type source superoptions
        auto dash = std::find(f.begin(), f.end(), std::string_view("-"));
        if (f.size() < 10 || dash - f.begin() < 6 || f.end() - dash < 3) return unparsable();
        MountEntry m;
        unsigned id = 0, parent = 0;
        std::string_view dev = f[2];
        std::size_t colon = dev.find(':');
        if (!ParseUnsigned(f[0], id) || !ParseUnsigned(f[1], parent) ||
            colon == std::string_view::npos || !ParseUnsigned(dev.substr(0, colon), m.major) ||
            !ParseUnsigned(dev.substr(colon + 1), m.minor))
            return unparsable();
        m.id = static_cast<int>(id);
        m.parentId = static_cast<int>(parent);
        m.root = DecodeOctal(f[3]);
        m.mountPoint = DecodeOctal(f[4]);
        if (m.mountPoint.empty() || m.mountPoint[0] != '/') return unparsable();
        m.fsType = std::string(dash[1]);
        m.source = DecodeOctal(dash[2]);
        if (dash + 3 < f.end()) m.superOptions = std::string(dash[3]);
        entries.push_back(std::move(m));
        return true;
    });
    return entries;
}

DriveMap DriveMap::FromMountInfo(std::string_view mountInfo) {
    DriveMap map;
    std::vector<MountEntry> all = ParseMountInfo(mountInfo);

    // A mount is hidden when another one was mounted over it later, or when
    // the mount it hangs from is hidden.
    std::map<int, std::size_t> byId;
    for (std::size_t i = 0; i < all.size(); ++i) byId[all[i].id] = i;
    auto isTop = [&](std::size_t i) {
        for (std::size_t k = 0; k < all.size(); ++k) {
            if (k == i || all[k].mountPoint != all[i].mountPoint) continue;
            if (all[k].parentId == all[i].id) return false;      // stacked on it
            if (k > i && all[i].parentId != all[k].id) return false;   // mounted later
        }
        return true;
    };
    std::vector<int> state(all.size(), -1);   // -1 unknown, 0 hidden, 1 visible
    auto visible = [&](std::size_t i) {
        // Walks up iteratively; a capture with a parent cycle ends after
        // all.size() steps as hidden.
        std::vector<std::size_t> chain;
        std::size_t cur = i;
        int result = 1;
        for (std::size_t steps = 0;; ++steps) {
            if (steps > all.size()) {
                result = 0;
                break;
            }
            if (state[cur] != -1) {
                result = state[cur];
                break;
            }
            chain.push_back(cur);
            if (!isTop(cur)) {
                result = 0;
                break;
            }
            // Skip the mounts this one is stacked on: they are hidden by it,
            // not its parents in the tree.
            auto p = byId.find(all[cur].parentId);
            std::size_t guard = 0;
            while (p != byId.end() && all[p->second].mountPoint == all[cur].mountPoint &&
                   guard++ <= all.size())
                p = byId.find(all[p->second].parentId);
            if (p == byId.end() || p->second == cur) break;   // the top of the tree
            cur = p->second;
        }
        for (auto c : chain) state[c] = result;
        return result == 1;
    };
    for (std::size_t i = 0; i < all.size(); ++i)
        if (visible(i)) map.visible_.push_back(all[i]);

    // C: is the root file system, whatever it is (an overlay in a container,
    // a btrfs subvolume, a network root).
    std::set<std::pair<unsigned, unsigned>> lettered;
    auto root = std::find_if(map.visible_.begin(), map.visible_.end(),
                             [](const MountEntry& m) { return m.mountPoint == "/"; });
    Drive c;
    c.letter = 'C';
    c.mountPoint = "/";
    if (root != map.visible_.end()) {
        c.mount = *root;
        lettered.insert({root->major, root->minor});
    } else {
        c.mount.mountPoint = "/";
        c.mount.root = "/";
    }
    map.drives_.push_back(c);

    std::vector<const MountEntry*> candidates;
    for (const auto& m : map.visible_) {
        if (m.mountPoint == "/") continue;
        if (kNetworkTypes.count(m.fsType) || IsDiskVolume(m) || IsUserRamDisk(m)) candidates.push_back(&m);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const MountEntry* a, const MountEntry* b) {
                         return a->mountPoint < b->mountPoint;
                     });
    char next = 'D';
    for (const MountEntry* m : candidates) {
        if (next > 'Z') break;
        bool network = kNetworkTypes.count(m->fsType) > 0;
        // A volume mounted a second time is still one drive.
        if (!network && !lettered.insert({m->major, m->minor}).second) continue;
        Drive d;
        d.letter = next++;
        d.mountPoint = m->mountPoint;
        d.mount = *m;
        map.drives_.push_back(std::move(d));
    }
    return map;
}

DriveMap DriveMap::Load(const std::filesystem::path& root) {
    return FromMountInfo(ReadFileTraced(root / "proc/self/mountinfo", "drives").value_or(""));
}

const Drive* DriveMap::drive(char letter) const {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    for (const auto& d : drives_)
        if (d.letter == letter) return &d;
    return nullptr;
}

std::string DriveMap::toWindows(std::string_view hostPath) const {
    if (hostPath.empty() || hostPath[0] != '/') return {};
    std::string path = NormalizeHostPath(hostPath);

    // The mount that holds the path.
    const MountEntry* holder = nullptr;
    for (const auto& m : visible_)
        if (HasPrefix(path, m.mountPoint) &&
            (!holder || m.mountPoint.size() >= holder->mountPoint.size()))
            holder = &m;

    const Drive* best = nullptr;
    for (const auto& d : drives_)
        if (HasPrefix(path, d.mountPoint) &&
            (!best || d.mountPoint.size() > best->mountPoint.size()))
            best = &d;

    if (holder && !(best && best->mountPoint == holder->mountPoint)) {
        // A bind mount of a part of a lettered volume: the file lives on
        // that volume, at the bound directory's place in it.
        for (const auto& d : drives_) {
            if (d.mount.fsType.empty() || kNetworkTypes.count(d.mount.fsType)) continue;
            if (d.mount.major != holder->major || d.mount.minor != holder->minor) continue;
            std::string inVolume =
                NormalizeHostPath(JoinHost(holder->root, Below(path, holder->mountPoint)));
            if (HasPrefix(inVolume, d.mount.root))
                return WindowsForm(d.letter, Below(inVolume, d.mount.root));
        }
    }
    // Otherwise through the lettered mount above it (C: at the latest).
    if (!best) return {};
    return WindowsForm(best->letter, Below(path, best->mountPoint));
}

std::optional<std::string> DriveMap::toHost(std::string_view windowsPath) const {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::nullopt;
    const Drive* d = drive(windowsPath[0]);
    if (!d) return std::nullopt;
    std::string_view rest = windowsPath.substr(2);
    // "C:name" is relative to the drive's current folder, which a program
    // here has not set.
    if (!rest.empty() && rest[0] != '\\' && rest[0] != '/') return std::nullopt;
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && (rest[i] == '\\' || rest[i] == '/')) ++i;
        std::size_t start = i;
        while (i < rest.size() && rest[i] != '\\' && rest[i] != '/') ++i;
        std::string_view part = rest.substr(start, i - start);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.emplace_back(part);
    }
    std::string out = d->mountPoint;
    for (const auto& p : parts) {
        if (out.back() != '/') out.push_back('/');
        out += p;
    }
    // A closing separator names a folder, on Linux as on Windows: "ls/" is
    // no file.
    if (!rest.empty() && (rest.back() == '\\' || rest.back() == '/') && out.back() != '/') out.push_back('/');
    return out;
}

}  // namespace torvex::platform::host
