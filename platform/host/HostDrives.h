// The drive letters of the live host.
//
// Windows names every volume by a letter; Linux hangs its file systems into
// one tree. The host is shown the way a compatibility layer shows it: each
// mounted real file system is a drive. C: is always the root file system;
// further file systems backed by a block device (disks, USB sticks, optical
// media, disk images), network file systems and ZFS datasets get D:, E:, ...
// ordered by mount point so that the letters stay the same from run to run.
// The kernel's own file systems (proc, sysfs, tmpfs, cgroup, ...), container
// overlays, squashfs images (snaps) and bind mounts of a part of a volume get
// none, and past Z nothing gets a letter. A tmpfs that a user mounted where
// volumes are mounted (/mnt, /media, ...) is a RAM disk and gets one.
//
// A host path is written with the letter of the volume that holds it,
// relative to that volume's mount point, with backslashes. A path on a file
// system without a letter (a tmpfs /tmp) is written through the lettered
// mount above it (C:\tmp), so that every host path has a Windows form and
// that form leads back to the same place.
//
// The disk category uses the same letters, so the mapping is public here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvex::platform::host {

// One line of /proc/<pid>/mountinfo, octal escapes decoded.
struct MountEntry {
    int id = 0, parentId = 0;
    unsigned major = 0, minor = 0;
    std::string root;         // the part of the file system mounted here
    std::string mountPoint;
    std::string fsType;
    std::string source;
    std::string superOptions;
};

// Parses mountinfo text. Lines that do not have the kernel's shape are
// skipped (the kernel writes no such lines; a damaged capture loses only
// them).
std::vector<MountEntry> ParseMountInfo(std::string_view text);

struct Drive {
    char letter = 'C';
    std::string mountPoint;   // host path of the volume's root as mounted
    MountEntry mount;         // the mount that gave the letter
};

class DriveMap {
public:
    // Assigns letters to the mounts of a mountinfo listing. A listing without
    // a root mount (unreadable, empty) still has C: for "/": every Linux
    // system has a root file system.
    static DriveMap FromMountInfo(std::string_view mountInfo);
    // Reads <root>/proc/self/mountinfo.
    static DriveMap Load(const std::filesystem::path& root);

    const std::vector<Drive>& drives() const { return drives_; }
    const Drive* drive(char letter) const;

    // "/home/anna/doc.txt" -> "D:\anna\doc.txt" when /home is D:. The path
    // must be absolute; "." and ".." are resolved as text. "" for a
    // relative path.
    std::string toWindows(std::string_view hostPath) const;
    // "d:\anna\doc.txt" or "D:/anna/doc.txt" -> "/home/anna/doc.txt".
    // ".." stops at the drive's root, as on Windows, so a path cannot leave
    // its volume. nullopt for a letter without a drive, a relative path or a
    // UNC name.
    std::optional<std::string> toHost(std::string_view windowsPath) const;

private:
    std::vector<MountEntry> visible_;   // mounts not hidden by a later one
    std::vector<Drive> drives_;         // in letter order
};

// Resolves "." and ".." and doubled slashes of an absolute host path as
// text; ".." at "/" stays at "/".
std::string NormalizeHostPath(std::string_view path);

}  // namespace torvex::platform::host
