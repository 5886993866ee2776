#include "engine/Zarvo_Startup.h"

#include <memory>
#include <vector>

#include "platform/Corvane_Registry.h"
#include "platform/Corvane_Routines.h"
#include "platform/win32/Win32Find.h"
#include "platform/win32/Win32Print.h"
#include "platform/win32/Win32Shell.h"

namespace torvex::engine {

namespace {

constexpr const char* kRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnceKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// The command line an entry carries, owned by its list.
class TRunValue : public TObject {
public:
    explicit TRunValue(std::string text) : Text(std::move(text)) {}
    std::string Text;
};

// The value names of an open key, in the registry's order.
std::vector<std::string> ValueNames(win32::HKEY key) {
    std::vector<std::string> names;
    for (win32::DWORD i = 0;; ++i) {
        char name[16384];
        win32::DWORD size = sizeof name;
        if (win32::RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != win32::ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

}  // namespace

TStartup::TStartup() = default;

void TStartup::Append(int source, const std::string& name, const std::string& value) {
    FRuns[source].AddObject(name, std::make_unique<TRunValue>(value));
}

void TStartup::ReadRegistry(win32::HKEY root, const char* path, int source) {
    platform::TRegistryReader key(root, path);
    if (!key) return;
    // A value that holds no text (a number put there by some installer)
    // still names a program; its command line reads as empty.
    for (const std::string& name : ValueNames(key.Handle())) Append(source, name, key.ReadString(name));
}

void TStartup::ReadFolder(int csidl, int source) {
    std::string folder = platform::routines::GetSpecialFolder(nullptr, csidl);
    if (folder.empty()) return;
    if (folder.back() == '\\') folder.pop_back();
    win32::WIN32_FIND_DATAA data{};
    win32::HANDLE find = win32::FindFirstFileA((folder + "\\*.lnk").c_str(), &data);
    if (find == win32::INVALID_HANDLE_VALUE) return;
    do {
        if (data.dwFileAttributes & win32::FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string file = data.cFileName;
        std::string target, arguments;
        platform::routines::ResolveLink(folder + "\\" + file, target, arguments);
        Append(source, file.substr(0, file.size() - 4), target + " " + arguments);
    } while (win32::FindNextFileA(find, &data));
    win32::FindClose(find);
}

void TStartup::ReadWinIni() {
    std::vector<char> keys(32768, 0);
    win32::DWORD n = win32::GetProfileStringA("windows", nullptr, "", keys.data(), static_cast<win32::DWORD>(keys.size()));
    for (win32::DWORD at = 0; at < n && keys[at];) {
        std::string key = keys.data() + at;
        at += static_cast<win32::DWORD>(key.size()) + 1;
        std::string lower = key;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (lower != "run" && lower != "load") continue;
        char value[4096] = {};
        win32::GetProfileStringA("windows", key.c_str(), "", value, sizeof value);
        // Blanks and line breaks anywhere in the value go: the programs it
        // names are joined without them.
        std::string text;
        for (const char* c = value; *c; ++c) {
            if (c[0] == '\r' && c[1] == '\n') {
                ++c;
                continue;
            }
            if (*c != ' ') text += *c;
        }
        if (!text.empty()) Append(ssWinIni, key, text);
    }
}

void TStartup::GetInfo() {
    for (auto& list : FRuns) list.Clear();
    ReadRegistry(win32::HKEY_CURRENT_USER, kRunKey, ssHKCURun);
    ReadRegistry(win32::HKEY_LOCAL_MACHINE, kRunKey, ssHKLMRun);
    ReadRegistry(win32::HKEY_CURRENT_USER, kRunOnceKey, ssRunOnce);
    ReadRegistry(win32::HKEY_LOCAL_MACHINE, kRunOnceKey, ssRunOnce);
    ReadFolder(win32::CSIDL_COMMON_STARTUP, ssCommonStartup);
    ReadFolder(win32::CSIDL_STARTUP, ssUserStartup);
    ReadWinIni();
}

std::int32_t TStartup::RunsCount() const {
    std::int32_t n = 0;
    for (const auto& list : FRuns) n += list.Count();
    return n;
}

int TStartup::Count(int source) const { return source >= 0 && source < kSources ? FRuns[source].Count() : 0; }

std::string TStartup::Name(int source, int index) const {
    if (index < 0 || index >= Count(source)) return {};
    return FRuns[source][index];
}

std::string TStartup::Value(int source, int index) const {
    if (index < 0 || index >= Count(source)) return {};
    auto* value = static_cast<const TRunValue*>(FRuns[source].Objects(index));
    return value ? value->Text : std::string();
}

void TStartup::Report(TStringList& lines) const {
    const std::pair<const char*, int> sections[] = {{"[User Startup]", ssUserStartup},
                                                    {"[Common Startup]", ssCommonStartup},
                                                    {"[HKLM Run]", ssHKLMRun},
                                                    {"[HKCU Run]", ssHKCURun},
                                                    {"[Run Once]", ssRunOnce}};
    for (const auto& [section, source] : sections) {
        lines.Add(section);
        lines.Add(Format("Count=%d", {Count(source)}));
        for (int i = 0; i < Count(source); ++i) lines.Add(Format("%s=%s", {Name(source, i), Value(source, i)}));
    }
}

void TStartup::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.AddGetter("RunsCount", [this] { return RunsCount(); });
}

}  // namespace torvex::engine
