// The live host's installed programs as Windows lists them for uninstalling.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/host/HostRoutines.h"
#include "platform/machine/Registry.h"

namespace torvex::platform::host {

struct InstalledProgram {
    std::string key;            // the Uninstall subkey: desktop-file id or package name
    std::string displayName;
    std::string publisher;      // the developer named by AppStream data, else ""
    std::string displayVersion;
    std::string uninstallString;   // the package manager's command that removes it
};

// The applications a software centre shows: the desktop entries of the
// XDG data folders (Type Application, neither NoDisplay nor Hidden; the
// first of one id wins), with the developer from the AppStream metainfo
// files and the removal command of the package owning the entry (dpkg's
// file lists; flatpak and snap entries by their own commands). On a system
// without desktop applications: the packages dpkg lists as installed. Each
// file is read once; nothing is started. Sorted by key.
std::vector<InstalledProgram> HostInstalledPrograms(const HostContext& context);

// AppStream metainfo (one component): the desktop-file ids it launches and
// its developer's name ("" when it names none).
struct MetainfoFacts {
    std::vector<std::string> desktopIds;
    std::string developer;
};
MetainfoFacts ParseMetainfo(std::string_view xml);

// Installed packages of a dpkg status file: name and version.
std::vector<std::pair<std::string, std::string>> ParseDpkgStatus(std::string_view text);

// Writes the programs as subkeys of the Uninstall key.
void ProjectInstalledPrograms(RegKey& uninstall, const std::vector<InstalledProgram>& programs);

}  // namespace torvex::platform::host
