// Special folders, the component library's few calls and the shell's link
// object over the active machine.
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Automation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>

#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"

namespace torvex::platform {

namespace {

std::string Hex(std::uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(v));
    return text;
}

// A shortcut's bytes with every read checked against the end.
class Reader {
public:
    Reader(const std::vector<std::uint8_t>& b, unsigned codePage) : b_(b), codePage_(codePage) {}
    std::size_t size() const { return b_.size(); }
    bool fits(std::uint64_t at, std::uint64_t n) const { return at <= b_.size() && n <= b_.size() - at; }
    std::uint8_t byte(std::size_t at) const { return b_[at]; }
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(b_[at] | (b_[at + 1] << 8)); }
    std::uint32_t u32(std::size_t at) const {
        return static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16);
    }
    // A zero-ended ANSI text in [at, end); nullopt when it has no end there.
    std::optional<std::string> ansi(std::size_t at, std::size_t end) const {
        if (end > b_.size() || at >= end) return std::nullopt;
        const auto* start = b_.data() + at;
        const void* zero = std::memchr(start, 0, end - at);
        if (!zero) return std::nullopt;
        return decode(std::string_view(reinterpret_cast<const char*>(start),
                                       static_cast<const std::uint8_t*>(zero) - start));
    }
    // A zero-ended UTF-16 text in [at, end).
    std::optional<std::string> unicode(std::size_t at, std::size_t end) const {
        if (end > b_.size()) return std::nullopt;
        for (std::size_t p = at; p + 2 <= end; p += 2)
            if (u16(p) == 0) return Utf16LeToUtf8(b_.data() + at, p - at);
        return std::nullopt;
    }
    std::string decode(std::string_view bytes) const {
        if (codePage_ == 65001 && torvex::platform::IsValidUtf8(bytes)) return std::string(bytes);
        return Cp1252ToUtf8(bytes);
    }

private:
    const std::vector<std::uint8_t>& b_;
    unsigned codePage_;
};

constexpr std::uint32_t kHasTargetIdList = 0x1, kHasLinkInfo = 0x2, kHasName = 0x4,
                        kHasRelativePath = 0x8, kHasWorkingDir = 0x10, kHasArguments = 0x20,
                        kHasIconLocation = 0x40, kIsUnicode = 0x80, kForceNoLinkInfo = 0x100;

const std::uint8_t kMyComputer[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                      0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

// The long name in a file entry's extension block (signature BEEF0004),
// when the item has one that can be read.
std::optional<std::string> LongName(const Reader& r, std::size_t item, std::size_t end) {
    for (std::size_t p = item + 4; p + 8 <= end; p += 2) {
        if (r.u32(p + 4) != 0xBEEF0004u) continue;
        std::size_t blockSize = r.u16(p);
        std::uint16_t version = r.u16(p + 2);
        if (blockSize < 8 || p + blockSize > end) return std::nullopt;
        std::size_t at = p + 18;   // size, version, signature, two dates, identifier
        if (version >= 7) at += 18;
        if (version >= 3) at += 2;
        if (version >= 9) at += 4;
        if (version >= 8) at += 4;
        return r.unicode(at, p + blockSize);
    }
    return std::nullopt;
}

// The item list as a path: My Computer, a drive, then folders and files.
std::string IdListPath(const Reader& r, std::size_t at, std::size_t end) {
    std::string path;
    bool computer = false;
    while (at + 2 <= end) {
        std::size_t size = r.u16(at);
        if (size == 0) break;
        if (size < 3 || at + size > end) return {};
        std::uint8_t type = r.byte(at + 2);
        if (!computer) {
            if (type != 0x1F || size < 20) return {};
            for (std::size_t i = 0; i < 16; ++i)
                if (r.byte(at + 4 + i) != kMyComputer[i]) return {};
            computer = true;
        } else if ((type & 0x70) == 0x20) {
            auto volume = r.ansi(at + 3, at + size);
            if (!volume || volume->empty()) return {};
            path = *volume;
        } else if ((type & 0x70) == 0x30) {
            if (path.empty() || size < 15) return {};
            std::optional<std::string> name =
                (type & 0x04) ? r.unicode(at + 14, at + size) : r.ansi(at + 14, at + size);
            if (auto longName = LongName(r, at, at + size)) name = longName;
            if (!name || name->empty()) return {};
            if (path.back() != '\\') path.push_back('\\');
            path += *name;
        } else {
            return {};
        }
        at += size;
    }
    return path;
}

}  // namespace

bool ParseShellLink(const std::vector<std::uint8_t>& file, unsigned codePage, ShellLinkData& link,
                    std::string& error) {
    link = {};
    error.clear();
    Reader r(file, codePage);
    auto fail = [&](std::string why) {
        error = std::move(why);
        return false;
    };
    static const std::uint8_t clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    if (!r.fits(0, 76) || r.u32(0) != 0x4C || std::memcmp(file.data() + 4, clsid, 16) != 0)
        return fail("no shell-link header at offset 0x0");
    link.linkFlags = r.u32(20);
    link.fileAttributes = r.u32(24);
    link.iconIndex = static_cast<std::int32_t>(r.u32(56));
    link.showCommand = r.u32(60);
    link.hotkey = r.u16(64);
    std::size_t at = 76;
    const std::uint32_t flags = link.linkFlags;

    if (flags & kHasTargetIdList) {
        if (!r.fits(at, 2)) return fail("item list size at offset " + Hex(at) + " lies beyond the end of the file");
        std::size_t size = r.u16(at);
        if (!r.fits(at + 2, size))
            return fail("item list at offset " + Hex(at) + " claims " + std::to_string(size) + " bytes, the file has " +
                        std::to_string(file.size()));
        link.idListPath = IdListPath(r, at + 2, at + 2 + size);
        at += 2 + size;
    }

    if (flags & kHasLinkInfo) {
        if (!r.fits(at, 28)) return fail("LinkInfo at offset " + Hex(at) + " lies beyond the end of the file");
        std::size_t size = r.u32(at);
        std::size_t header = r.u32(at + 4);
        if (size < 28 || !r.fits(at, size))
            return fail("LinkInfo at offset " + Hex(at) + " claims " + std::to_string(size) + " bytes, the file has " +
                        std::to_string(file.size()));
        if (header < 28 || header > size)
            return fail("LinkInfo at offset " + Hex(at) + " has a header of " + std::to_string(header) + " bytes");
        std::size_t end = at + size;
        std::uint32_t infoFlags = r.u32(at + 8);
        std::uint32_t baseOffset = r.u32(at + 16);
        std::uint32_t netOffset = r.u32(at + 20);
        std::uint32_t suffixOffset = r.u32(at + 24);
        std::uint32_t baseUnicode = 0, suffixUnicode = 0;
        if (header >= 0x24) {
            baseUnicode = r.u32(at + 28);
            suffixUnicode = r.u32(at + 32);
        }
        auto text = [&](std::uint32_t offset, bool wide, const char* what) -> std::optional<std::string> {
            auto t = wide ? r.unicode(at + offset, end) : r.ansi(at + offset, end);
            if (!t) error = std::string(what) + " at offset " + Hex(at + offset) + " does not end inside the LinkInfo";
            return t;
        };
        std::string suffix;
        if (suffixUnicode) {
            auto t = text(suffixUnicode, true, "common path suffix");
            if (!t) return false;
            suffix = *t;
        } else if (suffixOffset) {
            auto t = text(suffixOffset, false, "common path suffix");
            if (!t) return false;
            suffix = *t;
        }
        if ((infoFlags & 0x1) && !(flags & kForceNoLinkInfo)) {
            auto t = baseUnicode ? text(baseUnicode, true, "local base path") : text(baseOffset, false, "local base path");
            if (!t) return false;
            link.localPath = *t + suffix;
        }
        if ((infoFlags & 0x2) && !(flags & kForceNoLinkInfo)) {
            std::size_t cnrl = at + netOffset;
            if (netOffset < header || !r.fits(cnrl, 20) || cnrl + 20 > end)
                return fail("network link at offset " + Hex(cnrl) + " lies outside the LinkInfo");
            std::size_t cnrlSize = r.u32(cnrl);
            std::size_t cnrlEnd = cnrl + cnrlSize;
            if (cnrlSize < 20 || cnrlEnd > end)
                return fail("network link at offset " + Hex(cnrl) + " claims " + std::to_string(cnrlSize) + " bytes");
            std::uint32_t cnrlFlags = r.u32(cnrl + 4);
            std::uint32_t nameOffset = r.u32(cnrl + 8);
            std::uint32_t deviceOffset = r.u32(cnrl + 12);
            std::optional<std::string> net, device;
            if (nameOffset > 20 && cnrlSize >= 28) {
                // Unicode forms follow the ANSI offsets.
                std::uint32_t nameUnicode = r.u32(cnrl + 20);
                std::uint32_t deviceUnicode = r.u32(cnrl + 24);
                if (nameUnicode) net = r.unicode(cnrl + nameUnicode, cnrlEnd);
                if (deviceUnicode && (cnrlFlags & 0x1)) device = r.unicode(cnrl + deviceUnicode, cnrlEnd);
            }
            if (!net) net = r.ansi(cnrl + nameOffset, cnrlEnd);
            if (!net) return fail("share name at offset " + Hex(cnrl + nameOffset) + " does not end inside the network link");
            if (!device && (cnrlFlags & 0x1) && deviceOffset) device = r.ansi(cnrl + deviceOffset, cnrlEnd);
            link.networkPath = *net;
            if (!suffix.empty()) {
                if (link.networkPath.empty() || link.networkPath.back() != '\\') link.networkPath.push_back('\\');
                link.networkPath += suffix;
            }
            if (device && !device->empty()) {
                link.deviceName = *device;
                if (link.localPath.empty()) link.localPath = *device + (suffix.empty() ? "" : "\\" + suffix);
            }
        }
        at = end;
    }

    const bool wide = (flags & kIsUnicode) != 0;
    const std::pair<std::uint32_t, std::string*> texts[] = {
        {kHasName, &link.description},
        {kHasRelativePath, &link.relativePath},
        {kHasWorkingDir, &link.workingDirectory},
        {kHasArguments, &link.arguments},
        {kHasIconLocation, &link.iconLocation},
    };
    for (const auto& [flag, target] : texts) {
        if (!(flags & flag)) continue;
        if (!r.fits(at, 2)) return fail("text length at offset " + Hex(at) + " lies beyond the end of the file");
        std::size_t count = r.u16(at);
        std::size_t bytes = wide ? count * 2 : count;
        if (!r.fits(at + 2, bytes))
            return fail("text at offset " + Hex(at) + " of " + std::to_string(count) + " characters runs past the end of the file");
        *target = wide ? Utf16LeToUtf8(file.data() + at + 2, bytes)
                       : r.decode(std::string_view(reinterpret_cast<const char*>(file.data() + at + 2), bytes));
        at += 2 + bytes;
    }

    // Extra data blocks, up to the terminal block (size below 4). A link
    // cut off among them still has its target: they only add to it.
    while (r.fits(at, 4)) {
        std::size_t size = r.u32(at);
        if (size < 4) break;
        if (size < 8 || !r.fits(at, size)) break;
        std::uint32_t signature = r.u32(at + 4);
        if (signature == 0xA0000001u && size >= 0x314) {   // environment variables location
            auto u = r.unicode(at + 8 + 260, at + 8 + 260 + 520);
            auto a = r.ansi(at + 8, at + 8 + 260);
            if (u && !u->empty())
                link.environmentTarget = *u;
            else if (a)
                link.environmentTarget = *a;
        }
        at += size;
    }
    return true;
}

}  // namespace torvex::platform

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::EqualsNoCase;

// ---------------------------------------------------------------- text helpers

std::string Narrow(LPCOLESTR wide) {
    std::string out;
    if (!wide) return out;
    for (; *wide; ++wide) {
        auto c = static_cast<std::uint32_t>(*wide);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        torvex::platform::AppendUtf8(out, c);
    }
    return out;
}

// Copies into a caller's buffer of size characters, always ended.
void CopyOut(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return;
    std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1);
    // A cut never splits a UTF-8 sequence.
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

// %NAME% references replaced by the machine's environment, names compared
// without regard to case; unknown references stay as they are.
std::string ExpandEnvironment(const std::string& text) {
    auto env = ActiveMachine().environment();
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t open = text.find('%', pos);
        std::size_t close = open == std::string::npos ? std::string::npos : text.find('%', open + 1);
        if (close == std::string::npos) {
            out += text.substr(pos);
            break;
        }
        out += text.substr(pos, open - pos);
        std::string name = text.substr(open + 1, close - open - 1);
        bool found = false;
        for (const auto& e : env) {
            auto eq = e.find('=', 1);
            if (eq != std::string::npos && EqualsNoCase(e.substr(0, eq), name)) {
                out += e.substr(eq + 1);
                found = true;
                break;
            }
        }
        if (found) {
            pos = close + 1;
        } else {
            out += text.substr(open, close - open);
            pos = close;
        }
    }
    return out;
}

// ---------------------------------------------------------------- special folders

enum class Hive { User, Common, None };
struct FolderName {
    int csidl;
    Hive hive;
    const char* value;
};

// The value names under "...\Explorer\User Shell Folders" and "Shell
// Folders" (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE for the common ones).
constexpr FolderName kFolderNames[] = {
    {CSIDL_DESKTOP, Hive::User, "Desktop"},
    {CSIDL_PROGRAMS, Hive::User, "Programs"},
    {CSIDL_PERSONAL, Hive::User, "Personal"},
    {CSIDL_FAVORITES, Hive::User, "Favorites"},
    {CSIDL_STARTUP, Hive::User, "Startup"},
    {CSIDL_RECENT, Hive::User, "Recent"},
    {CSIDL_SENDTO, Hive::User, "SendTo"},
    {CSIDL_STARTMENU, Hive::User, "Start Menu"},
    {CSIDL_MYMUSIC, Hive::User, "My Music"},
    {CSIDL_MYVIDEO, Hive::User, "My Video"},
    {CSIDL_DESKTOPDIRECTORY, Hive::User, "Desktop"},
    {CSIDL_NETHOOD, Hive::User, "NetHood"},
    {CSIDL_FONTS, Hive::User, "Fonts"},
    {CSIDL_TEMPLATES, Hive::User, "Templates"},
    {CSIDL_COMMON_STARTMENU, Hive::Common, "Common Start Menu"},
    {CSIDL_COMMON_PROGRAMS, Hive::Common, "Common Programs"},
    {CSIDL_COMMON_STARTUP, Hive::Common, "Common Startup"},
    {CSIDL_COMMON_DESKTOPDIRECTORY, Hive::Common, "Common Desktop"},
    {CSIDL_APPDATA, Hive::User, "AppData"},
    {CSIDL_PRINTHOOD, Hive::User, "PrintHood"},
    {CSIDL_LOCAL_APPDATA, Hive::User, "Local AppData"},
    {CSIDL_ALTSTARTUP, Hive::User, "AltStartup"},
    {CSIDL_COMMON_ALTSTARTUP, Hive::Common, "Common AltStartup"},
    {CSIDL_COMMON_FAVORITES, Hive::Common, "Common Favorites"},
    {CSIDL_INTERNET_CACHE, Hive::User, "Cache"},
    {CSIDL_COOKIES, Hive::User, "Cookies"},
    {CSIDL_HISTORY, Hive::User, "History"},
    {CSIDL_COMMON_APPDATA, Hive::Common, "Common AppData"},
    {CSIDL_MYPICTURES, Hive::User, "My Pictures"},
    {CSIDL_COMMON_TEMPLATES, Hive::Common, "Common Templates"},
    {CSIDL_COMMON_DOCUMENTS, Hive::Common, "Common Documents"},
};

bool IsVirtualFolder(int csidl) {
    return csidl == CSIDL_INTERNET || csidl == CSIDL_CONTROLS || csidl == CSIDL_PRINTERS ||
           csidl == CSIDL_BITBUCKET || csidl == CSIDL_DRIVES || csidl == CSIDL_NETWORK;
}

std::optional<std::string> ReadText(HKEY root, const char* path, const char* name, bool expand) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<std::string> result;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        std::vector<BYTE> data(size + 1, 0);
        if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
            std::string text(reinterpret_cast<const char*>(data.data()));
            result = (expand && type == REG_EXPAND_SZ) ? ExpandEnvironment(text) : text;
        }
    }
    RegCloseKey(key);
    return result;
}

// The registry's answer, as the shell of Windows reads it.
std::string RegistryFolder(int csidl) {
    auto& m = ActiveMachine();
    if (csidl == CSIDL_WINDOWS) return m.windowsDirectory();
    if (csidl == CSIDL_SYSTEM) return m.systemDirectory();
    const char* current = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    if (csidl == CSIDL_PROGRAM_FILES) return ReadText(HKEY_LOCAL_MACHINE, current, "ProgramFilesDir", false).value_or("");
    if (csidl == CSIDL_PROGRAM_FILES_COMMON)
        return ReadText(HKEY_LOCAL_MACHINE, current, "CommonFilesDir", false).value_or("");
    if (csidl == CSIDL_PROFILE) {
        for (const auto& e : m.environment())
            if (e.size() > 12 && EqualsNoCase(e.substr(0, 12), "USERPROFILE=")) return e.substr(12);
        return {};
    }
    for (const auto& f : kFolderNames) {
        if (f.csidl != csidl) continue;
        HKEY root = f.hive == Hive::Common ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        if (auto t = ReadText(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                              f.value, true);
            t && !t->empty())
            return *t;
        if (auto t = ReadText(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                              f.value, false);
            t && !t->empty())
            return *t;
        // Every Windows has its fonts folder, named or not.
        if (csidl == CSIDL_FONTS && !m.windowsDirectory().empty()) return m.windowsDirectory() + "\\FONTS";
        return {};
    }
    return {};
}

}  // namespace

struct ITEMIDLIST {
    int csidl = 0;
    std::string path;
};

namespace {

std::mutex listsMutex;
std::set<const ITEMIDLIST*> liveLists;

}  // namespace

HRESULT SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list) {
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    std::string path;
    if (auto answer = ActiveMachine().specialFolder(folder))
        path = *answer;
    else if (!IsVirtualFolder(folder))
        path = RegistryFolder(folder);
    if (path.empty() && !IsVirtualFolder(folder)) return E_FAIL;
    auto* l = new ITEMIDLIST{folder, IsVirtualFolder(folder) ? std::string() : path};
    std::lock_guard lock(listsMutex);
    liveLists.insert(l);
    *list = l;
    return S_OK;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path) {
    if (!path) return FALSE;
    path[0] = '\0';
    {
        std::lock_guard lock(listsMutex);
        if (!list || !liveLists.count(list)) return FALSE;
    }
    if (list->path.empty()) return FALSE;
    CopyOut(list->path, path, static_cast<int>(MAX_PATH));
    return TRUE;
}

void ILFree(LPITEMIDLIST list) { CoTaskMemFree(list); }

void CoTaskMemFree(LPVOID memory) {
    if (!memory) return;
    std::lock_guard lock(listsMutex);
    auto* l = static_cast<ITEMIDLIST*>(memory);
    if (liveLists.erase(l)) delete l;
}

// ---------------------------------------------------------------- component library

namespace {
thread_local int comInitialised = 0;
}

HRESULT CoInitialize(LPVOID) { return comInitialised++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
    if (comInitialised > 0) --comInitialised;
}

namespace {

class ShellLink final : public IShellLinkA, public IPersistFile {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IShellLinkA)
            *object = static_cast<IShellLinkA*>(this);
        else if (iid == IID_IPersistFile || iid == IID_IPersist)
            *object = static_cast<IPersistFile*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // --- IPersistFile
    HRESULT GetClassID(CLSID* clsid) override {
        if (!clsid) return E_POINTER;
        *clsid = CLSID_ShellLink;
        return S_OK;
    }
    HRESULT IsDirty() override { return S_FALSE; }
    HRESULT Load(LPCOLESTR fileName, DWORD) override {
        std::string name = Narrow(fileName);
        auto& m = ActiveMachine();
        auto host = name.empty() ? std::nullopt : m.readPath(name);
        std::error_code ec;
        if (!host || !std::filesystem::is_regular_file(*host, ec)) return loadShown(name);
        // Shortcuts are a few kilobytes; a huge file is no shortcut.
        auto size = std::filesystem::file_size(*host, ec);
        if (ec || size > (1u << 20)) return HRESULT_BAD_FORMAT;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        std::ifstream in(*host, std::ios::binary);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (static_cast<std::uint64_t>(in.gcount()) != size) return HRESULT_BAD_FORMAT;
        torvex::platform::ShellLinkData data;
        std::string error;
        if (!torvex::platform::ParseShellLink(bytes, m.ansiCodePage(), data, error)) return HRESULT_BAD_FORMAT;
        link_ = std::move(data);
        file_ = name;
        loaded_ = true;
        return S_OK;
    }
    HRESULT Save(LPCOLESTR, BOOL) override { return E_NOTIMPL; }
    HRESULT SaveCompleted(LPCOLESTR) override { return S_OK; }

    // --- IShellLinkA
    HRESULT GetPath(LPSTR file, int size, WIN32_FIND_DATAA*, DWORD flags) override {
        if (!file || size <= 0) return E_INVALIDARG;
        std::string path = target(flags);
        CopyOut(path, file, size);
        return path.empty() ? S_FALSE : S_OK;
    }
    HRESULT GetDescription(LPSTR name, int size) override { return text(link_.description, name, size); }
    HRESULT GetWorkingDirectory(LPSTR dir, int size) override { return text(link_.workingDirectory, dir, size); }
    HRESULT GetArguments(LPSTR args, int size) override { return text(link_.arguments, args, size); }
    HRESULT GetIconLocation(LPSTR iconPath, int size, int* icon) override {
        if (icon) *icon = link_.iconIndex;
        return text(link_.iconLocation, iconPath, size);
    }
    HRESULT GetShowCmd(int* showCommand) override {
        if (!showCommand) return E_POINTER;
        *showCommand = static_cast<int>(link_.showCommand);
        return S_OK;
    }
    HRESULT GetHotkey(WORD* hotkey) override {
        if (!hotkey) return E_POINTER;
        *hotkey = link_.hotkey;
        return S_OK;
    }
    HRESULT Resolve(HWND, DWORD) override {
        if (!loaded_) return E_FAIL;
        std::string path = target(0);
        if (path.empty()) return S_FALSE;
        return ActiveMachine().readPath(path) ? S_OK : S_FALSE;
    }

private:
    // A shortcut the machine shows in a folder without storing it.
    HRESULT loadShown(const std::string& name) {
        auto slash = name.rfind('\\');
        if (name.empty() || slash == std::string::npos) return HRESULT_FILE_NOT_FOUND;
        for (const auto& s : ActiveMachine().folderShortcuts(name.substr(0, slash))) {
            if (!EqualsNoCase(s.fileName, name.substr(slash + 1))) continue;
            torvex::platform::ShellLinkData data;
            data.localPath = s.target;
            data.arguments = s.arguments;
            data.workingDirectory = s.workingDirectory;
            data.description = s.description;
            link_ = std::move(data);
            file_ = name;
            loaded_ = true;
            return S_OK;
        }
        return HRESULT_FILE_NOT_FOUND;
    }

    static HRESULT text(const std::string& value, LPSTR buffer, int size) {
        if (!buffer || size <= 0) return E_INVALIDARG;
        CopyOut(value, buffer, size);
        return S_OK;
    }

    // The target, from the richest description the link holds.
    std::string target(DWORD flags) const {
        if ((flags & SLGP_UNCPRIORITY) && !link_.networkPath.empty()) return link_.networkPath;
        if (!link_.localPath.empty()) return link_.localPath;
        if (!link_.networkPath.empty()) return link_.networkPath;
        if (!link_.environmentTarget.empty())
            return (flags & SLGP_RAWPATH) ? link_.environmentTarget : ExpandEnvironment(link_.environmentTarget);
        if (!link_.idListPath.empty()) return link_.idListPath;
        if (!link_.relativePath.empty()) return relativeTarget();
        return {};
    }

    // The relative path, taken from the folder that holds the link.
    std::string relativeTarget() const {
        auto slash = file_.rfind('\\');
        if (slash == std::string::npos) return {};
        std::vector<std::string> parts;
        auto push = [&](const std::string& text) {
            std::size_t pos = 0;
            while (pos <= text.size()) {
                std::size_t end = text.find('\\', pos);
                if (end == std::string::npos) end = text.size();
                std::string part = text.substr(pos, end - pos);
                if (part == "..") {
                    if (parts.size() > 1) parts.pop_back();
                } else if (!part.empty() && part != ".") {
                    parts.push_back(part);
                }
                pos = end + 1;
            }
        };
        push(file_.substr(0, slash));
        push(link_.relativePath);
        std::string out;
        for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "\\" : "") + parts[i];
        return out;
    }

    ULONG references_ = 1;
    bool loaded_ = false;
    std::string file_;
    torvex::platform::ShellLinkData link_;
};

}  // namespace

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (comInitialised == 0) return CO_E_NOTINITIALIZED;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!(clsid == CLSID_ShellLink)) return CreateAutomationObject(clsid, context, iid, object);
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    auto* link = new ShellLink;
    HRESULT hr = link->QueryInterface(iid, object);
    link->Release();   // the interface asked for holds the only reference now
    return hr;
}

int MultiByteToWideChar(UINT, DWORD, LPCSTR text, int bytes, LPOLESTR wide, int size) {
    if (!text) return 0;
    std::string s = bytes < 0 ? std::string(text) + '\0' : std::string(text, static_cast<std::size_t>(bytes));
    // The program's texts are UTF-8; every character is one wide character
    // (wchar_t holds any code point), an invalid byte U+FFFD.
    std::vector<OLECHAR> out;
    for (std::size_t i = 0; i < s.size();) out.push_back(static_cast<OLECHAR>(torvex::platform::NextUtf8(s, i)));
    if (size == 0) return static_cast<int>(out.size());
    if (!wide || static_cast<std::size_t>(size) < out.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(out.begin(), out.end(), wide);
    return static_cast<int>(out.size());
}

}  // namespace win32
