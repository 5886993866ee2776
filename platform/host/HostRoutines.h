// The live host's answers for the general routines: shell folders, drive
// space, dial-up connections, and the internet settings projected into the
// registry (default browser and mail client, proxy).
//
// Everything is read below a root directory ("/" normally) with the
// environment given as a look-up, so that a captured tree replays the same.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/HostDrives.h"
#include "platform/machine/Machine.h"
#include "platform/machine/Registry.h"

namespace torvex::platform::host {

// A variable of the environment; nullopt when unset.
using EnvLookup = std::function<std::optional<std::string>(const char* name)>;
// The process environment.
EnvLookup ProcessEnvironment();

struct HostContext {
    std::filesystem::path root = "/";
    std::string home;   // the user's home folder (host path)
    EnvLookup env;
};

// A host path ("/etc/xdg") below the root a context reads from.
std::filesystem::path UnderRoot(const std::filesystem::path& root, const std::string& hostPath);
// An environment variable of the context; "" when unset.
std::string Env(const HostContext& c, const char* name);
// The user's XDG configuration and data folders (host paths); the variables
// count only as absolute paths.
std::string ConfigHome(const HostContext& c);
std::string DataHome(const HostContext& c);

// ~/.config/user-dirs.dirs: XDG_DESKTOP_DIR="$HOME/Desktop" -> {"DESKTOP",
// "/home/kari/Desktop"}. Lines of another shape are skipped.
std::map<std::string, std::string> ParseUserDirs(std::string_view text, const std::string& home);

// The host folder of a shell folder (CSIDL):
//   desktop (0x00, 0x10)    the XDG desktop folder (always given: the
//                           profile folder is derived from it)
//   personal (0x05)         the XDG documents folder; music, video and
//                           pictures (0x0D, 0x0E, 0x27) and templates (0x15)
//                           likewise
//   startup (0x07)          $XDG_CONFIG_HOME/autostart
//   common startup (0x18)   autostart below the first $XDG_CONFIG_DIRS
//                           folder (/etc/xdg/autostart)
//   programs (0x02)         $XDG_DATA_HOME/applications (the menu entries)
//   common programs (0x17)  /usr/share/applications
//   fonts (0x14)            /usr/share/fonts: the system's fonts folder
//   app data (0x1A)         $XDG_CONFIG_HOME (~/.config)
//   local app data (0x1C)   $XDG_DATA_HOME (~/.local/share)
//   common app data (0x23)  the first $XDG_CONFIG_DIRS folder (/etc/xdg)
//   internet cache (0x20)   $XDG_CACHE_HOME (~/.cache)
//   profile (0x28)          the home folder
// An XDG user folder that is unset or set to the home folder itself is
// switched off. Apart from the desktop, a folder that does not exist is
// none. nullopt for the Windows and system folders (the machine's own
// folders answer them); "" for every folder the host has no equivalent of.
std::optional<std::string> HostSpecialFolderPath(int csidl, const HostContext& context);

// statvfs of a mounted file system as Windows' space figures: one block of
// the file system is one cluster of 512-byte sectors (a block smaller than
// 512 bytes is one sector); the free clusters are those the user may fill.
std::optional<DiskSpace> HostDiskSpace(const std::filesystem::path& mountPoint);

// Point-to-point (ppp) network interfaces that are up: a modem or mobile
// connection, which is what Windows counts as dial-up.
std::uint32_t HostDialUpConnections(const std::filesystem::path& root);

// ---------------------------------------------------------------- internet settings

// The .desktop file (its id, "firefox.desktop") of the default handler of a
// MIME type such as "x-scheme-handler/http", from the mimeapps.list files in
// the order the XDG desktop-entry rules give; "" when none names an installed
// application.
std::string DefaultApplication(const std::string& mimeType, const HostContext& context);
// The same for several types at once, each list read once; "" for a type none names.
std::vector<std::string> DefaultApplications(const std::vector<std::string>& mimeTypes, const HostContext& context);
// The Exec line of an installed application's .desktop file ("" when none).
std::string DesktopExec(const std::string& desktopId, const HostContext& context);
// An Exec line as a Windows command line: the program (looked up in PATH
// below root when it has no folder) in drive-letter form and quoted, the
// URL field codes as "%1", the other field codes left out. "" when the
// program cannot be found.
std::string WindowsCommand(const std::string& exec, const HostContext& context, const DriveMap& drives);
// The proxy of the standard environment variables (http_proxy, https_proxy,
// ftp_proxy, either letter case) as Windows writes ProxyServer: "host:port"
// when all agree, else "http=host:port;https=host:port"; without scheme and
// credentials. "" when none is set.
std::string ProxyFromEnvironment(const EnvLookup& env);
// no_proxy as ProxyOverride: the entries separated by ";".
std::string ProxyOverrideFromEnvironment(const EnvLookup& env);

// Projects HKEY_CLASSES_ROOT\htmlfile, http and mailto "shell\open\command"
// from the desktop's default handlers, and the proxy into HKEY_CURRENT_USER
// "...\Internet Settings" (ProxyEnable, ProxyServer, ProxyOverride).
void ProjectHostInternet(Registry& registry, const HostContext& context, const DriveMap& drives);

}  // namespace torvex::platform::host
