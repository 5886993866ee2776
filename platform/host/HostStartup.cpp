#include "platform/host/HostStartup.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/machine/FileText.h"
#include "platform/machine/TextUtil.h"

namespace torvex::platform::host {

namespace {

namespace fs = std::filesystem;
constexpr const char* kWho = "startup";

std::string FirstConfigDir(const HostContext& c) {
    std::string dirs = Env(c, "XDG_CONFIG_DIRS");
    for (auto d : Split(dirs, ':'))
        if (!d.empty() && d[0] == '/') return std::string(d);
    return "/etc/xdg";
}

bool IsTrue(const std::map<std::string, std::string>& e, const char* key) {
    auto it = e.find(key);
    return it != e.end() && ToLowerAscii(Trim(it->second)) == "true";
}

// The entry's list of desktops meets the current desktops.
bool Meets(const std::string& list, const std::vector<std::string>& current) {
    for (auto d : Split(list, ';'))
        for (const auto& c : current)
            if (!d.empty() && EqualsNoCase(Trim(d), c)) return true;
    return false;
}

// The program of an argument list in drive-letter form: looked up in PATH
// when it has no folder; as written when it cannot be found.
std::string Program(const std::string& program, const HostContext& c, const DriveMap& drives) {
    std::error_code ec;
    std::string path = program;
    if (path.find('/') == std::string::npos) {
        path.clear();
        std::string search = Env(c, "PATH");
        if (search.empty()) search = "/usr/local/bin:/usr/bin:/bin";
        for (auto dir : Split(search, ':')) {
            if (dir.empty() || dir[0] != '/') continue;
            std::string candidate = std::string(dir) + "/" + program;
            if (fs::is_regular_file(UnderRoot(c.root, candidate), ec)) {
                path = candidate;
                break;
            }
        }
        if (path.empty()) return program;
    }
    std::string windows = path[0] == '/' ? drives.toWindows(path) : std::string();
    return windows.empty() ? program : windows;
}

std::string JoinArguments(const std::vector<std::string>& args, std::size_t from) {
    std::string out;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!out.empty()) out += ' ';
        out += a.empty() || a.find_first_of(" \t\"") != std::string::npos ? "\"" + a + "\"" : a;
    }
    return out;
}

std::string FileNameOf(std::string name) {
    for (char& ch : name)
        if (std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos || static_cast<unsigned char>(ch) < 32)
            ch = '_';
    return name;
}

std::vector<fs::path> SortedFiles(const fs::path& dir, std::string_view extension) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().extension() == extension) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::map<std::string, std::string> ParseDesktopEntry(std::string_view text) {
    std::map<std::string, std::string> keys;
    bool inGroup = false;
    ForEachLine(text, [&](std::string_view raw, int) {
        std::string_view line = TrimView(raw);
        if (line.empty() || line[0] == '#') return true;
        if (line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            return true;
        }
        if (!inGroup) return true;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return true;
        std::string key = Trim(line.substr(0, eq));
        if (key.find('[') != std::string::npos) return true;
        keys.emplace(key, Trim(line.substr(eq + 1)));
        return true;
    });
    return keys;
}

std::vector<std::string> ExecArguments(std::string_view exec, bool fieldCodes) {
    std::vector<std::string> args;
    std::string current;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        char ch = exec[i];
        if (quoted) {
            if (ch == '\\' && i + 1 < exec.size()) current.push_back(exec[++i]);
            else if (ch == '"') quoted = false;
            else current.push_back(ch);
        } else if (ch == '"') {
            quoted = any = true;
        } else if (ch == ' ' || ch == '\t') {
            if (any || !current.empty()) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current.push_back(ch);
        }
    }
    if (any || !current.empty()) args.push_back(current);
    if (!fieldCodes) return args;
    // Field codes stand for files, addresses and icons a launcher passes;
    // a program started at log-in gets none of them.
    std::vector<std::string> out;
    for (const auto& a : args) {
        std::string text;
        bool dropped = false;
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (a[k] == '%' && k + 1 < a.size()) {
                if (a[k + 1] == '%') text.push_back('%');
                else dropped = true;
                ++k;
                continue;
            }
            text.push_back(a[k]);
        }
        if (!(dropped && text.empty())) out.push_back(text);
    }
    return out;
}

std::vector<ShortcutFile> AutostartShortcuts(const HostContext& c, const DriveMap& drives, bool common) {
    if (!common && (c.home.empty() || c.home[0] != '/')) return {};
    std::string userDir = ConfigHome(c) + "/autostart";
    std::string dir = common ? FirstConfigDir(c) + "/autostart" : userDir;
    std::vector<std::string> current;
    std::string desktops = Env(c, "XDG_CURRENT_DESKTOP");
    for (auto d : Split(desktops, ':'))
        if (!d.empty()) current.emplace_back(d);
    std::vector<ShortcutFile> out;
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& file : SortedFiles(UnderRoot(c.root, dir), ".desktop")) {
        std::string id = file.filename().string();
        // A user's file of the same name replaces the system's entry, also
        // to switch it off.
        if (common && !c.home.empty() && fs::exists(UnderRoot(c.root, userDir + "/" + id), ec)) continue;
        auto text = ReadFileTraced(file, kWho, 1 << 20);
        if (!text) continue;
        auto e = ParseDesktopEntry(*text);
        auto type = e.find("Type");
        if (type != e.end() && type->second != "Application") continue;
        if (IsTrue(e, "Hidden")) {
            Trace(kWho, file.string() + ": hidden");
            continue;
        }
        auto enabled = e.find("X-GNOME-Autostart-enabled");
        if (enabled != e.end() && ToLowerAscii(enabled->second) == "false") continue;
        if (auto only = e.find("OnlyShowIn"); only != e.end() && !Meets(only->second, current)) {
            Trace(kWho, file.string() + ": only for " + only->second);
            continue;
        }
        if (auto not_ = e.find("NotShowIn"); not_ != e.end() && Meets(not_->second, current)) continue;
        auto args = ExecArguments(e.count("Exec") ? e["Exec"] : "");
        if (args.empty()) {
            Trace(kWho, file.string() + ": no Exec line");
            continue;
        }
        std::string name = e.count("Name") && !e["Name"].empty() ? e["Name"] : id.substr(0, id.size() - 8);
        name = FileNameOf(name);
        // Two entries of one name would be one file in a Windows folder.
        if (!names.insert(ToLowerAscii(name)).second) name += " (" + FileNameOf(id.substr(0, id.size() - 8)) + ")";
        ShortcutFile s;
        s.fileName = name + ".lnk";
        s.target = Program(args[0], c, drives);
        s.arguments = JoinArguments(args, 1);
        if (e.count("Path")) s.workingDirectory = drives.toWindows(e["Path"]);
        if (e.count("Comment")) s.description = e["Comment"];
        out.push_back(std::move(s));
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> SystemdRunEntries(const HostContext& c, const DriveMap& drives,
                                                                    bool user) {
    if (user && (c.home.empty() || c.home[0] != '/')) return {};
    std::string userUnits = ConfigHome(c) + "/systemd/user";
    std::string base = user ? userUnits : std::string("/etc/systemd/user");
    // Where a unit's file is looked for when its link does not say.
    std::vector<std::string> unitDirs;
    if (!c.home.empty() && c.home[0] == '/') unitDirs.push_back(userUnits);
    for (const char* d : {"/etc/systemd/user", "/usr/local/lib/systemd/user", "/usr/lib/systemd/user",
                          "/usr/share/systemd/user"})
        unitDirs.emplace_back(d);

    std::vector<std::pair<std::string, std::string>> out;
    std::set<std::string> seen;
    std::error_code ec;
    std::vector<fs::path> wants;
    for (const auto& entry : fs::directory_iterator(UnderRoot(c.root, base), ec))
        if (entry.is_directory(ec) && entry.path().extension() == ".wants") wants.push_back(entry.path());
    std::sort(wants.begin(), wants.end());
    for (const auto& w : wants) {
        for (const auto& link : SortedFiles(w, ".service")) {
            std::string unit = link.filename().string();
            if (!seen.insert(unit).second) continue;
            fs::path target = fs::read_symlink(link, ec);
            if (!ec && target.string() == "/dev/null") continue;   // masked
            // foo@bar.service is an instance of foo@.service.
            std::string instance;
            std::string file = unit;
            if (auto at = unit.find('@'); at != std::string::npos) {
                instance = unit.substr(at + 1, unit.size() - at - 1 - 8);
                file = unit.substr(0, at + 1) + ".service";
            }
            std::optional<std::string> text;
            if (!ec && target.is_absolute()) text = ReadFileTraced(UnderRoot(c.root, target.string()), kWho, 1 << 20);
            for (std::size_t i = 0; !text && i < unitDirs.size(); ++i) {
                fs::path p = UnderRoot(c.root, unitDirs[i] + "/" + file);
                if (fs::is_regular_file(p, ec)) text = ReadFileTraced(p, kWho, 1 << 20);
            }
            if (!text) {
                Trace(kWho, unit + ": enabled, but no unit file found");
                continue;
            }
            std::string exec;
            bool inService = false;
            ForEachLine(*text, [&](std::string_view raw, int) {
                std::string_view line = TrimView(raw);
                if (!line.empty() && line.front() == '[') inService = line == "[Service]";
                else if (inService && line.substr(0, 10) == "ExecStart=") {
                    exec = Trim(line.substr(10));
                    return false;
                }
                return true;
            });
            // "-", "@", "+", "!" and ":" in front change how it runs, not what.
            while (!exec.empty() && std::string_view("-@+!:").find(exec[0]) != std::string_view::npos)
                exec.erase(exec.begin());
            if (exec.empty()) {
                Trace(kWho, unit + ": no ExecStart line");
                continue;
            }
            // The specifiers a command line of a unit commonly holds.
            std::string expanded;
            for (std::size_t k = 0; k < exec.size(); ++k) {
                if (exec[k] != '%' || k + 1 >= exec.size()) {
                    expanded.push_back(exec[k]);
                    continue;
                }
                char code = exec[++k];
                if (code == 'i' || code == 'I') expanded += instance;
                else if (code == 'h') expanded += c.home;
                else if (code == '%') expanded.push_back('%');
                else expanded += std::string("%") + code;
            }
            auto args = ExecArguments(expanded, false);
            if (args.empty()) continue;
            std::string command = Program(args[0], c, drives);
            if (command.find(' ') != std::string::npos) command = "\"" + command + "\"";
            std::string rest = JoinArguments(args, 1);
            out.emplace_back(unit.substr(0, unit.size() - 8), rest.empty() ? command : command + " " + rest);
        }
    }
    return out;
}

}  // namespace torvex::platform::host
