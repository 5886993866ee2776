// What the live host starts on its own, in the places Windows keeps it:
// the XDG autostart entries as the shortcut files of the Startup folders,
// and the enabled systemd user units as the values of the Run keys.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/HostDrives.h"
#include "platform/host/HostRoutines.h"
#include "platform/machine/Registry.h"
#include "platform/machine/SoftwareFacts.h"

namespace torvex::platform::host {

// The keys of a desktop entry's [Desktop Entry] group; localised keys
// ("Name[nb]") are left out, the first occurrence of a key wins.
std::map<std::string, std::string> ParseDesktopEntry(std::string_view text);

// An Exec line split into its arguments as the desktop-entry format quotes
// them; with fieldCodes, the field codes (%f, %U, %i, ...) are removed and
// %% is %.
std::vector<std::string> ExecArguments(std::string_view exec, bool fieldCodes = true);

// The autostart entries as shortcut files: the user's folder
// ($XDG_CONFIG_HOME/autostart) or the system's (autostart below the first
// $XDG_CONFIG_DIRS folder, without the entries a user file of the same name
// replaces). Left out: entries that are Hidden, switched off
// (X-GNOME-Autostart-enabled=false), not of Type Application, without an
// Exec line, or not meant for the current desktop (OnlyShowIn / NotShowIn
// against $XDG_CURRENT_DESKTOP). Each is "Name.lnk" (characters Windows
// forbids in file names become '_'); its target is the program in
// drive-letter form (looked up in PATH), its arguments the rest of the line.
std::vector<ShortcutFile> AutostartShortcuts(const HostContext& context, const DriveMap& drives, bool common);

// The enabled systemd user units as Run values: "unit=command line". The
// user's (symbolic links in $XDG_CONFIG_HOME/systemd/user/*.wants) or the
// ones enabled for every user (/etc/systemd/user/*.wants). Only services;
// masked units are left out; a template's instance fills in %i.
std::vector<std::pair<std::string, std::string>> SystemdRunEntries(const HostContext& context,
                                                                    const DriveMap& drives, bool user);

}  // namespace torvex::platform::host
