#include "platform/host/HostDisks.h"

#include <sys/statvfs.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/machine/FileText.h"

namespace torvex::platform::host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWho = "drives";

bool HasOption(std::string_view options, std::string_view name) {
    for (auto opt : Split(options, ','))
        if (opt == name || (opt.size() > name.size() && opt.substr(0, name.size()) == name &&
                            opt[name.size()] == '='))
            return true;
    return false;
}

bool IsNetwork(std::string_view type) {
    return type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" || type == "smbfs" ||
           type == "fuse.sshfs";
}

std::string Unquote(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return std::string(v.substr(1, v.size() - 2));
    return std::string(v);
}

}  // namespace

VolumeIdentity ParseBlkidCache(std::string_view text, std::string_view device, unsigned major, unsigned minor) {
    // The kernel's device number, as blkid writes it ("0x0801").
    unsigned long devno = (minor & 0xFFu) | (static_cast<unsigned long>(major) << 8) |
                          (static_cast<unsigned long>(minor & ~0xFFu) << 12);
    VolumeIdentity id;
    ForEachLine(text, [&](std::string_view line, int) {
        // <device DEVNO="0x0801" LABEL="x" UUID="y" TYPE="ext4">/dev/sda1</device>
        auto close = line.find('>');
        auto end = line.find("</device>");
        if (line.substr(0, 8) != "<device " || close == std::string_view::npos || end == std::string_view::npos ||
            end < close)
            return true;
        std::string_view attrs = line.substr(8, close - 8);
        std::string_view path = line.substr(close + 1, end - close - 1);
        VolumeIdentity found;
        std::string number;
        std::size_t at = 0;
        while (at < attrs.size()) {
            auto eq = attrs.find("=\"", at);
            if (eq == std::string_view::npos) break;
            auto stop = attrs.find('"', eq + 2);
            if (stop == std::string_view::npos) break;
            std::string key(TrimView(attrs.substr(at, eq - at)));
            std::string value(attrs.substr(eq + 2, stop - eq - 2));
            if (key == "LABEL") found.label = value;
            if (key == "UUID") found.uuid = value;
            if (key == "TYPE") found.type = value;
            if (key == "SEC_TYPE" && value == "msdos") found.version = "FAT16";
            if (key == "DEVNO") number = value;
            at = stop + 1;
        }
        if ((!device.empty() && path == device) ||
            (!number.empty() && std::strtoul(number.c_str(), nullptr, 16) == devno && (major || minor))) {
            id = found;
            return false;
        }
        return true;
    });
    return id;
}

VolumeIdentity ReadVolumeIdentity(const fs::path& root, unsigned major, unsigned minor) {
    std::string node = "b" + std::to_string(major) + ":" + std::to_string(minor);
    VolumeIdentity id;
    if (auto udev = ReadFileTraced(root / "run/udev/data" / node, kWho)) {
        for (const auto& kv : ParseKeyValues(*udev, '=')) {
            if (kv.key == "E:ID_FS_LABEL") id.label = kv.value;
            if (kv.key == "E:ID_FS_UUID") id.uuid = kv.value;
            if (kv.key == "E:ID_FS_TYPE") id.type = kv.value;
            if (kv.key == "E:ID_FS_VERSION") id.version = kv.value;
        }
        return id;
    }
    // Without udev (a container, a minimal system) blkid's cache may know it.
    std::string device;
    if (auto uevent = ReadFileTraced(root / "sys/dev/block" / (std::to_string(major) + ":" + std::to_string(minor)) / "uevent", kWho)) {
        auto map = KeyValueMap(*uevent, '=');
        if (auto it = map.find("DEVNAME"); it != map.end()) device = "/dev/" + it->second;
    }
    if (auto cache = ReadFileTraced(root / "run/blkid/blkid.tab", kWho))
        id = ParseBlkidCache(*cache, device, major, minor);
    if (id.uuid.empty()) Trace(kWho, node + ": no label or UUID known (no udev data, no blkid cache entry)");
    return id;
}

std::uint32_t SerialFromUuid(std::string_view uuid, std::string_view fsType) {
    std::string hex;
    for (char c : uuid)
        if (std::isxdigit(static_cast<unsigned char>(c))) hex.push_back(c);
    if (hex.size() < 8) return 0;
    // NTFS keeps a 64-bit serial; Windows shows its lower half.
    bool ntfs = fsType == "ntfs" || fsType == "ntfs3";
    std::string digits = ntfs && hex.size() == 16 ? hex.substr(8) : hex.substr(0, 8);
    return static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
}

std::string UncNameOf(std::string_view fsType, std::string_view source) {
    std::string server, share;
    if (fsType == "cifs" || fsType == "smb3" || fsType == "smbfs") {
        std::string_view s = source;
        while (!s.empty() && (s.front() == '/' || s.front() == '\\')) s.remove_prefix(1);
        auto slash = s.find_first_of("/\\");
        if (slash == std::string_view::npos) return {};
        server = s.substr(0, slash);
        share = s.substr(slash + 1);
    } else if (fsType == "nfs" || fsType == "nfs4" || fsType == "fuse.sshfs") {
        std::string_view s = source;
        auto colon = s.rfind(':');
        if (colon == std::string_view::npos) return {};
        std::string_view host = s.substr(0, colon);
        // Never the user name of an sshfs source ("anna@nas"): no account
        // name belongs in a report.
        if (auto at = host.rfind('@'); at != std::string_view::npos) host = host.substr(at + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
        server = host;
        share = s.substr(colon + 1);
    } else {
        return {};
    }
    while (!share.empty() && (share.front() == '/' || share.front() == '\\')) share.erase(0, 1);
    while (!share.empty() && (share.back() == '/' || share.back() == '\\')) share.pop_back();
    if (server.empty()) return {};
    std::string unc = "\\\\" + server + "\\" + share;
    for (auto& c : unc) if (c == '/') c = '\\';
    if (unc.back() == '\\') unc.pop_back();
    return unc;
}

std::string WindowsFileSystemName(std::string_view fsType, const VolumeIdentity& identity) {
    if (fsType == "vfat" || fsType == "msdos") {
        if (identity.version == "FAT32" || identity.version == "FAT16" || identity.version == "FAT12")
            return identity.version == "FAT32" ? "FAT32" : "FAT";
        return "FAT";
    }
    if (fsType == "ntfs" || fsType == "ntfs3" || (fsType == "fuseblk" && identity.type == "ntfs")) return "NTFS";
    if (fsType == "exfat") return "exFAT";
    if (fsType == "iso9660") return "CDFS";
    if (fsType == "udf") return "UDF";
    if (fsType == "fuse.sshfs") return "sshfs";
    return std::string(fsType);
}

std::uint32_t VolumeFlagsOf(std::string_view type, std::string_view options) {
    constexpr std::uint32_t caseSensitive = 0x1, casePreserved = 0x2, unicode = 0x4, acls = 0x8,
                            compression = 0x10, quotas = 0x20, sparse = 0x40;
    std::uint32_t flags = 0;
    bool native = type == "ext2" || type == "ext3" || type == "ext4" || type == "xfs" || type == "btrfs" ||
                  type == "f2fs" || type == "jfs" || type == "reiserfs" || type == "zfs" || type == "bcachefs";
    if (native) {
        flags |= caseSensitive | casePreserved | unicode | sparse;
        // These mount with POSIX ACLs unless told not to; xfs always has them.
        if ((type.substr(0, 3) == "ext" || type == "btrfs" || type == "f2fs" || type == "reiserfs") &&
            !HasOption(options, "noacl"))
            flags |= acls;
        if (type == "xfs") flags |= acls;
        if (type == "zfs" && HasOption(options, "posixacl")) flags |= acls;
        if (type == "btrfs" && (HasOption(options, "compress") || HasOption(options, "compress-force")))
            flags |= compression;
    } else if (type == "tmpfs" || type == "ramfs") {
        flags |= caseSensitive | casePreserved | unicode | sparse;
    } else if (type == "vfat" || type == "msdos" || type == "exfat") {
        flags |= casePreserved | unicode;
    } else if (type == "ntfs" || type == "ntfs3" || type == "fuseblk") {
        flags |= casePreserved | unicode | sparse;
        if (HasOption(options, "acl")) flags |= acls;
    } else if (type == "nfs" || type == "nfs4" || type == "fuse.sshfs") {
        flags |= caseSensitive | casePreserved | unicode;
        if (type == "nfs4" || HasOption(options, "acl")) flags |= (HasOption(options, "noacl") ? 0 : acls);
    } else if (type == "cifs" || type == "smb3" || type == "smbfs") {
        flags |= casePreserved | unicode;
        if (HasOption(options, "cifsacl") || HasOption(options, "acl")) flags |= acls;
    } else if (type == "iso9660" || type == "udf") {
        flags |= unicode | (type == "udf" ? casePreserved : 0);
    }
    if (HasOption(options, "usrquota") || HasOption(options, "grpquota") || HasOption(options, "prjquota") ||
        HasOption(options, "quota") || HasOption(options, "usrjquota") || HasOption(options, "grpjquota"))
        flags |= quotas;
    return flags;
}

bool IsUserRamDisk(const MountEntry& m) {
    if (m.fsType != "tmpfs" && m.fsType != "ramfs") return false;
    for (std::string_view place : {"/mnt/", "/media/", "/run/media/", "/home/", "/srv/"})
        if (m.mountPoint.compare(0, place.size(), place) == 0) return true;
    return false;
}

std::optional<DriveFacts> HostDriveFacts(const fs::path& root, const DriveMap& map, char letter) {
    const Drive* d = map.drive(letter);
    if (!d) return std::nullopt;
    const MountEntry& m = d->mount;
    DriveFacts facts;
    VolumeIdentity identity;
    if (IsNetwork(m.fsType)) {
        facts.kind = DriveKind::remote;
        facts.uncName = UncNameOf(m.fsType, m.source);
    } else if (IsUserRamDisk(m)) {
        facts.kind = DriveKind::ramDisk;
    } else {
        facts.kind = DriveKind::fixed;
        if (m.major != 0) {
            identity = ReadVolumeIdentity(root, m.major, m.minor);
            fs::path dev = root / "sys/dev/block" / (std::to_string(m.major) + ":" + std::to_string(m.minor));
            std::error_code ec;
            // A partition's properties are its disk's.
            fs::path disk = fs::exists(dev / "partition", ec) ? dev / ".." : dev;
            std::string removable = Trim(ReadFileTraced(disk / "removable", kWho).value_or(""));
            std::string scsiType = Trim(ReadFileTraced(disk / "device/type", kWho).value_or(""));
            if (m.major == 11 || scsiType == "5" || m.fsType == "iso9660" || m.fsType == "udf")
                facts.kind = DriveKind::cdrom;
            else if (removable == "1")
                facts.kind = DriveKind::removable;
        }
    }
    VolumeInfo v;
    v.label = identity.label;
    v.serial = SerialFromUuid(identity.uuid, identity.type.empty() ? m.fsType : identity.type);
    v.fileSystem = WindowsFileSystemName(m.fsType, identity);
    v.flags = VolumeFlagsOf(m.fsType, m.superOptions);
    // Windows counts characters; the FAT and NTFS drivers here give bytes of
    // UTF-8, so their length is the Windows one.
    v.maxComponentLength = 255;
    std::string native = v.fileSystem;
    if (native != "FAT" && native != "FAT32" && native != "NTFS" && native != "exFAT") {
        struct statvfs s {};
        fs::path at = root / fs::path(d->mountPoint).relative_path();
        if (statvfs(at.c_str(), &s) == 0 && s.f_namemax > 0) v.maxComponentLength = static_cast<std::uint32_t>(s.f_namemax);
    }
    facts.volume = v;
    return facts;
}

}  // namespace torvex::platform::host
