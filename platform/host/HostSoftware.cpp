#include "platform/host/HostSoftware.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "platform/host/HostStartup.h"
#include "platform/machine/FileText.h"
#include "platform/machine/TextUtil.h"

namespace torvex::platform::host {

namespace {

namespace fs = std::filesystem;
constexpr const char* kWho = "software";

std::vector<std::string> DataDirs(const HostContext& c) {
    std::vector<std::string> dirs;
    std::string home = Env(c, "XDG_DATA_HOME");
    if (!home.empty() && home[0] == '/') dirs.push_back(home);
    else if (!c.home.empty() && c.home[0] == '/') dirs.push_back(c.home + "/.local/share");
    std::string list = Env(c, "XDG_DATA_DIRS");
    bool any = false;
    for (auto d : Split(list, ':'))
        if (!d.empty() && d[0] == '/') {
            dirs.emplace_back(d);
            any = true;
        }
    if (!any) dirs.insert(dirs.end(), {"/usr/local/share", "/usr/share"});
    return dirs;
}

// The text between <tag ...> and </tag> from `from`, with the opening tag's
// attributes; npos when there is none.
struct Element {
    std::string attributes, text;
    std::size_t end = std::string_view::npos;
};
Element Next(std::string_view xml, std::string_view tag, std::size_t from) {
    std::string open = "<" + std::string(tag);
    for (std::size_t at = xml.find(open, from); at != std::string_view::npos; at = xml.find(open, at + 1)) {
        std::size_t after = at + open.size();
        if (after >= xml.size() || (xml[after] != '>' && xml[after] != ' ' && xml[after] != '\t' && xml[after] != '\n'))
            continue;
        std::size_t close = xml.find('>', after);
        if (close == std::string_view::npos) break;
        std::string closeTag = "</" + std::string(tag) + ">";
        std::size_t finish = xml.find(closeTag, close);
        if (finish == std::string_view::npos) break;
        return {std::string(xml.substr(after, close - after)), Trim(xml.substr(close + 1, finish - close - 1)),
                finish + closeTag.size()};
    }
    return {};
}

std::string Unescape(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1))
            s.replace(at, std::strlen(from), to);
    return s;
}

}  // namespace

MetainfoFacts ParseMetainfo(std::string_view xml) {
    MetainfoFacts m;
    for (Element e = Next(xml, "launchable", 0); e.end != std::string_view::npos; e = Next(xml, "launchable", e.end))
        if (e.attributes.find("desktop-id") != std::string::npos) m.desktopIds.push_back(Unescape(e.text));
    if (m.desktopIds.empty()) {
        // Older files name the desktop file as the component's id.
        Element id = Next(xml, "id", 0);
        if (id.end != std::string_view::npos && id.text.size() > 8 &&
            id.text.compare(id.text.size() - 8, 8, ".desktop") == 0)
            m.desktopIds.push_back(Unescape(id.text));
    }
    // The untranslated name: the one without xml:lang.
    for (Element e = Next(xml, "developer_name", 0); e.end != std::string_view::npos;
         e = Next(xml, "developer_name", e.end))
        if (e.attributes.find("xml:lang") == std::string::npos) {
            m.developer = Unescape(e.text);
            break;
        }
    if (m.developer.empty()) {
        Element developer = Next(xml, "developer", 0);
        if (developer.end != std::string_view::npos)
            for (Element n = Next(developer.text, "name", 0); n.end != std::string_view::npos;
                 n = Next(developer.text, "name", n.end))
                if (n.attributes.find("xml:lang") == std::string::npos) {
                    m.developer = Unescape(n.text);
                    break;
                }
    }
    return m;
}

std::vector<std::pair<std::string, std::string>> ParseDpkgStatus(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> out;
    std::string package, version, status;
    auto finish = [&] {
        // "install ok installed"; half-installed and removed packages with
        // only their configuration left are no installed programs.
        if (!package.empty() && status.size() >= 10 && status.compare(status.size() - 10, 10, " installed") == 0)
            out.emplace_back(package, version);
        package.clear();
        version.clear();
        status.clear();
    };
    ForEachLine(text, [&](std::string_view line, int) {
        if (TrimView(line).empty()) {
            finish();
            return true;
        }
        if (line[0] == ' ' || line[0] == '\t') return true;
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return true;
        std::string_view key = line.substr(0, colon);
        std::string value = Trim(line.substr(colon + 1));
        if (key == "Package") package = value;
        else if (key == "Version") version = value;
        else if (key == "Status") status = value;
        return true;
    });
    finish();
    return out;
}

namespace {

// The words of a package or desktop entry name: "display-im6.q16" gives
// "display", "im6", "q16"; single letters and digits say too little.
std::vector<std::string> NameWords(const std::string& name) {
    std::vector<std::string> out;
    std::string word;
    for (char ch : name + "-") {
        if (ch == '-' || ch == '.' || ch == '_' || ch == '+') {
            if (word.size() > 1) out.push_back(word);
            word.clear();
        } else {
            word.push_back(char(std::tolower(static_cast<unsigned char>(ch))));
        }
    }
    return out;
}

// Whether a package can have installed the file: not one below the user's
// home folder, nor one flatpak or snap exports.
bool PackageMayOwn(const HostContext& c, const std::string& path) {
    if (c.home.size() > 1 && path.compare(0, c.home.size() + 1, c.home + "/") == 0) return false;
    return path.find("/flatpak/exports/") == std::string::npos && path.find("/snapd/desktop/") == std::string::npos;
}

}  // namespace

std::vector<InstalledProgram> HostInstalledPrograms(const HostContext& c) {
    std::error_code ec;
    // The desktop entries, first of an id wins.
    struct Entry {
        std::string id, name, path;
    };
    std::vector<Entry> entries;
    std::set<std::string> ids;
    for (const auto& data : DataDirs(c)) {
        std::string dir = data + "/applications";
        fs::path hostDir = UnderRoot(c.root, dir);
        if (!fs::is_directory(hostDir, ec)) continue;
        std::vector<fs::path> files;
        for (auto it = fs::recursive_directory_iterator(hostDir, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->path().extension() == ".desktop") files.push_back(it->path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::string rel = fs::relative(file, hostDir, ec).generic_string();
            std::string id = rel;
            std::replace(id.begin(), id.end(), '/', '-');
            if (!ids.insert(id).second) continue;
            auto text = ReadFileTraced(file, kWho, 1 << 20);
            if (!text) continue;
            auto e = ParseDesktopEntry(*text);
            auto flag = [&](const char* key) { return e.count(key) && ToLowerAscii(e[key]) == "true"; };
            if (e["Type"] != "Application" || flag("NoDisplay") || flag("Hidden") || e["Name"].empty()) continue;
            entries.push_back({id, e["Name"], dir + "/" + rel});
        }
    }

    std::vector<InstalledProgram> out;
    bool apt = fs::exists(UnderRoot(c.root, "/usr/bin/apt"), ec);
    auto removal = [&](const std::string& package) {
        return (apt ? "apt remove " : "dpkg --remove ") + package;
    };
    fs::path dpkgInfo = UnderRoot(c.root, "/var/lib/dpkg/info");
    if (entries.empty()) {
        auto text = ReadFileTraced(UnderRoot(c.root, "/var/lib/dpkg/status"), kWho);
        if (!text) Trace(kWho, "no desktop applications and no dpkg status: nothing is listed");
        for (const auto& [package, version] : ParseDpkgStatus(text.value_or("")))
            out.push_back({package, package, "", version, removal(package)});
        return out;
    }

    // AppStream's word on who made each application.
    std::map<std::string, std::string> developers;
    for (const char* dir : {"/usr/share/metainfo", "/usr/share/appdata"}) {
        std::vector<fs::path> files;
        for (const auto& f : fs::directory_iterator(UnderRoot(c.root, dir), ec))
            if (f.path().extension() == ".xml") files.push_back(f.path());
        std::sort(files.begin(), files.end());
        for (const auto& f : files) {
            auto text = ReadFileTraced(f, kWho, 4 << 20);
            if (!text) continue;
            MetainfoFacts m = ParseMetainfo(*text);
            if (m.developer.empty()) continue;
            for (const auto& id : m.desktopIds) developers.emplace(id, m.developer);
        }
    }

    // The package owning each entry, from dpkg's file lists, each read once.
    // Lists are many (a thousand on a desktop) and large, so those of
    // packages named like an entry are read first and the reading stops once
    // every entry has its owner; files in the home folder and what flatpak
    // and snap export belong to no package, so they are not looked for.
    std::map<std::string, std::string> owners;
    std::set<std::string> wanted;
    std::set<std::string> entryWords;
    for (const auto& e : entries) {
        if (!PackageMayOwn(c, e.path)) continue;
        wanted.insert(e.path);
        for (const std::string& w : NameWords(e.id.substr(0, e.id.size() - 8))) entryWords.insert(w);
    }
    // The folder holds several thousand files: their names are read as they
    // are, without making a path of each.
    std::vector<std::string> lists;   // package names, "libc6:amd64"
    if (!wanted.empty()) {
        if (DIR* d = opendir(dpkgInfo.c_str())) {
            while (const dirent* f = readdir(d)) {
                std::string_view name = f->d_name;
                if (name.size() > 5 && name.substr(name.size() - 5) == ".list")
                    lists.emplace_back(name.substr(0, name.size() - 5));
            }
            closedir(d);
        } else {
            ReadFailure why = errno == ENOENT  ? ReadFailure::missing
                              : errno == EACCES ? ReadFailure::permissionDenied
                                                : ReadFailure::ioError;
            Trace(kWho, dpkgInfo.string() + ": " + ReadFailureText(why) + ", so no package owners");
        }
    }
    std::sort(lists.begin(), lists.end());
    std::stable_partition(lists.begin(), lists.end(), [&](const std::string& list) {
        for (const std::string& w : NameWords(list.substr(0, list.find(':'))))
            if (entryWords.count(w)) return true;
        return false;
    });
    for (const auto& list : lists) {
        if (owners.size() == wanted.size()) break;
        auto text = ReadFileTraced(dpkgInfo / (list + ".list"), kWho);
        if (!text) continue;
        std::string package = list.substr(0, list.find(':'));
        ForEachLine(*text, [&](std::string_view line, int) {
            if (wanted.count(std::string(line))) owners.emplace(std::string(line), package);
            return true;
        });
    }

    for (const auto& e : entries) {
        InstalledProgram p{e.id.substr(0, e.id.size() - 8), e.name, "", "", ""};
        if (auto d = developers.find(e.id); d != developers.end()) p.publisher = d->second;
        if (auto o = owners.find(e.path); o != owners.end()) {
            p.uninstallString = removal(o->second);
        } else if (e.path.find("/flatpak/exports/") != std::string::npos) {
            p.uninstallString = "flatpak uninstall " + p.key;
        } else if (e.path.find("/snapd/desktop/") != std::string::npos) {
            p.uninstallString = "snap remove " + p.key.substr(0, p.key.find('_'));
        } else {
            Trace(kWho, e.path + ": no package owns it");
        }
        out.push_back(std::move(p));
    }
    std::sort(out.begin(), out.end(), [](const InstalledProgram& a, const InstalledProgram& b) {
        return ToLowerAscii(a.key) < ToLowerAscii(b.key);
    });
    return out;
}

void ProjectInstalledPrograms(RegKey& uninstall, const std::vector<InstalledProgram>& programs) {
    for (const auto& p : programs) {
        RegKey& k = uninstall.ensureChild(p.key);
        k.setValue(RegValue::String("DisplayName", p.displayName));
        if (!p.publisher.empty()) k.setValue(RegValue::String("Publisher", p.publisher));
        if (!p.displayVersion.empty()) k.setValue(RegValue::String("DisplayVersion", p.displayVersion));
        if (!p.uninstallString.empty()) k.setValue(RegValue::String("UninstallString", p.uninstallString));
    }
}

}  // namespace torvex::platform::host
