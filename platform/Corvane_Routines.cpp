#include "platform/Corvane_Routines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/Corvane_Registry.h"
#include "platform/machine/FileText.h"
#include "platform/machine/TextUtil.h"

namespace torvex::platform::routines {

using namespace win32;

TOSVersion OSVersion = osUnknown;
bool IsNT = false, IsWin95 = false, IsOSR2 = false, IsWin98 = false, IsSE = false, IsME = false,
     IsWin2K = false, IsWinXP = false;
std::string OSName, OSFullName, MachineName, UserName, ProfilePath, ClassKey, ExeVersion;
std::uint32_t TotalPhysicalMemory = 0;

namespace {

using Key = TRegistryReader;

std::string Before(const std::string& path, char separator) {
    auto at = path.rfind(separator);
    return at == std::string::npos ? path : path.substr(0, at);
}

}  // namespace

// ---------------------------------------------------------------- classification

std::string WithHotfixQ246009(const std::string& servicePack) {
    if (servicePack != "Service Pack 6") return servicePack;
    Key hotfix(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009");
    // A value of another kind is not the hotfix's mark.
    return hotfix && hotfix.ReadInteger("Installed") == 1u ? "Service Pack 6a" : servicePack;
}

TOSVersion ClassifyWindowsVersion(std::string& servicePack) {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    servicePack.clear();
    if (!GetVersionExA(&v)) return osUnknown;
    servicePack.assign(v.szCSDVersion, strnlen(v.szCSDVersion, sizeof v.szCSDVersion));
    TOSVersion result = osUnknown;
    if (v.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        switch (v.dwMajorVersion) {
        case 3: result = osWinNT3; break;
        case 4: result = osWinNT4; break;
        case 5: result = v.dwMinorVersion == 1 ? osWinXP : osWin2000; break;
        default: result = osUnknown; break;
        }
        servicePack = WithHotfixQ246009(servicePack);
    } else if (v.dwMajorVersion == 4) {
        std::string mark = Trim(servicePack);
        if (v.dwMinorVersion == 0)
            result = mark == "B" ? osWin95OSR2 : osWin95;
        else if (v.dwMinorVersion == 10)
            result = mark == "A" ? osWin98SE : osWin98;
        else if (v.dwMinorVersion == 90)
            result = osWinME;
    }
    return result;
}

std::string OSNameOf(TOSVersion version) {
    switch (version) {
    case osWin95:
    case osWin95OSR2: return "Windows 95";
    case osWin98:
    case osWin98SE: return "Windows 98";
    case osWinME: return "Windows Millenium Edition";
    case osWinNT3:
    case osWinNT4: return "Windows NT";
    case osWin2000: return "Windows 2000";
    case osWinXP: return "Windows XP";
    default: return {};
    }
}

std::string OSFullNameOf(TOSVersion version, const std::string& servicePack) {
    switch (version) {
    case osWin95: return "Windows 95";
    case osWin95OSR2: return "Windows 95 OSR2";
    case osWin98: return "Windows 98";
    case osWin98SE: return "Windows 98 Second Edition";
    case osWinME: return "Windows Millenium Edition";
    case osWinNT3: return "Windows NT 3.x " + servicePack;
    case osWinNT4: return "Windows NT 4.x " + servicePack;
    case osWin2000: return "Windows 2000 " + servicePack;
    case osWinXP: return "Windows XP " + servicePack;
    default: return {};
    }
}

void InitializeRoutines() {
    std::string servicePack;
    OSVersion = ClassifyWindowsVersion(servicePack);
    IsNT = OSVersion >= osWinNT3 && OSVersion <= osWinXP;
    IsWin95 = OSVersion == osWin95;
    IsOSR2 = OSVersion == osWin95OSR2;
    IsWin98 = OSVersion == osWin98;
    IsSE = OSVersion == osWin98SE;
    IsME = OSVersion == osWinME;
    IsWin2K = OSVersion == osWin2000;
    IsWinXP = OSVersion == osWinXP;

    UserName = GetUser();
    MachineName = ToUpperAscii(GetMachine());
    std::string profile = Before(GetSpecialFolder(nullptr, CSIDL_DESKTOP), '\\');
    if (profile.size() > 255) profile = profile.substr(profile.size() - 255);
    ProfilePath = profile;

    OSName = OSNameOf(OSVersion);
    OSFullName = OSFullNameOf(OSVersion, servicePack);
    ClassKey = IsNT ? "SYSTEM\\CurrentControlSet\\Control\\Class" : "SYSTEM\\CurrentControlSet\\Services\\Class";

    MEMORYSTATUS memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    TotalPhysicalMemory = memory.dwTotalPhys;

    char self[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ExeVersion = GetFileVersion(self);
}

// ---------------------------------------------------------------- file versions

bool GetFileVerInfo(const std::string& fileName, TVersionInfo& info) {
    info = TVersionInfo{};
    info.FileName = fileName;
    if (fileName.empty()) return false;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
    if (size == 0) return false;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoA(fileName.c_str(), handle, size, block.data())) return false;

    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", &value, &length) && value && length >= sizeof(VS_FIXEDFILEINFO)) {
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, value, sizeof fixed);
        info.Major = fixed.dwFileVersionMS >> 16;
        info.Minor = fixed.dwFileVersionMS & 0xFFFF;
        info.Release = fixed.dwFileVersionLS >> 16;
        info.Build = fixed.dwFileVersionLS & 0xFFFF;
        info.FileVersion = std::to_string(info.Major) + "." + std::to_string(info.Minor) + "." +
                           std::to_string(info.Release) + "." + std::to_string(info.Build);
    }
    // Without a translation list there is no string table to name; the
    // fixed block still counts.
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) || !value || length < 4)
        return true;
    DWORD translation;
    std::memcpy(&translation, value, 4);
    char language[16];
    std::snprintf(language, sizeof language, "%04X%04X", static_cast<unsigned>(translation & 0xFFFF),
                  static_cast<unsigned>(translation >> 16));
    const std::pair<const char*, std::string*> strings[] = {
        {"FileDescription", &info.Description}, {"LegalCopyright", &info.Copyright},
        {"Comments", &info.Comments},           {"ProductName", &info.ProductName},
        {"CompanyName", &info.CompanyName},
    };
    for (const auto& [name, target] : strings) {
        std::string query = std::string("\\StringFileInfo\\") + language + "\\" + name;
        if (VerQueryValueA(block.data(), query.c_str(), &value, &length) && value)
            *target = static_cast<const char*>(value);
    }
    return true;
}

std::string GetFileVersion(const std::string& fileName) {
    TVersionInfo info;
    return GetFileVerInfo(fileName, info) ? info.FileVersion : std::string();
}

// ---------------------------------------------------------------- names and folders

std::string GetMachine() {
    char buffer[256] = {};
    DWORD size = 255;
    std::string name;
    if (GetComputerNameA(buffer, &size)) name = buffer;
    Key key(HKEY_LOCAL_MACHINE, "\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName");
    // Only a text names the computer; a value of another kind is no name.
    auto kind = key.ValueType("ComputerName");
    if (kind && (*kind == REG_SZ || *kind == REG_EXPAND_SZ)) name = key.ReadString("ComputerName");
    return name;
}

std::string GetUser() {
    char buffer[256] = {};
    DWORD size = 255;
    return GetUserNameA(buffer, &size) ? std::string(buffer) : std::string();
}

std::string GetSpecialFolder(HWND owner, int folder) {
    LPITEMIDLIST list = nullptr;
    std::string path;
    if (SUCCEEDED(SHGetSpecialFolderLocation(owner, folder, &list))) {
        char buffer[MAX_PATH + 1] = {};
        if (SHGetPathFromIDListA(list, buffer)) path = buffer;
        CoTaskMemFree(list);
    }
    return path;
}

std::string GetWinDir() {
    char buffer[MAX_PATH + 1] = {};
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

std::string GetSysDir() {
    char buffer[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

std::string GetSearchPath() { return GetWinDir() + ";" + GetSysDir(); }

// ---------------------------------------------------------------- environment

void GetEnvironment(classes::TStringList& list) {
    list.Clear();
    LPSTR block = GetEnvironmentStringsA();
    if (!block) return;
    // The 4096 bytes are the ANSI block's: an entry counts in the machine's
    // code page (one byte per character in code page 1252), while the layer
    // hands the entries over as UTF-8. The block ends with an empty entry,
    // so the scan never passes its end.
    const unsigned codePage = GetACP();
    std::size_t used = 0;
    for (const char* at = block; *at != '\0';) {
        std::string_view entry(at);
        used += torvex::platform::Utf8ToCodePage(entry, codePage).size() + 1;
        if (used > 4096) break;
        list.Add(std::string(entry));
        at += entry.size() + 1;
    }
    FreeEnvironmentStringsA(block);
}

std::string ExpandEnvVars(const std::string& text) {
    classes::TStringList env;
    GetEnvironment(env);
    std::string s = text;
    for (int i = 0; i < env.Count(); ++i) {
        const std::string& entry = env[i];
        auto eq = entry.find('=');
        // NT keeps the current folder of each drive as "=C:=C:\..." entries:
        // they have no name, and an empty name would match every backslash.
        if (eq == std::string::npos || eq == 0) continue;
        std::string name = entry.substr(0, eq);
        std::string value = entry.substr(eq + 1);
        std::string reference = "%" + name + "%";
        auto at = s.find(reference);
        if (at == std::string::npos) {
            reference = "\\" + name;
            at = s.find(reference);
        }
        if (at == std::string::npos) continue;
        std::string after = s.substr(at + reference.size());
        if (after.size() > 1024) after.resize(1024);
        s = s.substr(0, at) + value + after;
    }
    return s;
}

namespace {
bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

std::string GetFileFromCommand(const std::string& command) {
    std::string s = ExpandEnvVars(command);
    // A command that is only a quoted path would otherwise lose its closing
    // quote first and never be unquoted.
    if (s.size() > 1 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    while (!FileExists(s)) {
        if (s.empty()) break;
        s.pop_back();
        if (s.size() > 1 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    }
    // Windows finds "X.EXE " as X.EXE, so shortening stops one blank early
    // on an unquoted path with arguments; the program's name has none.
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// ---------------------------------------------------------------- internet

namespace {
std::string CommandProgram(const char* key) {
    Key k(HKEY_CLASSES_ROOT, key);
    if (!k) return {};
    return GetFileFromCommand(k.ReadString(""));
}
const char* const kInternetSettings = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet settings";
}  // namespace

std::string GetDefaultMailClient() { return CommandProgram("\\mailto\\shell\\open\\command"); }

std::string GetDefaultBrowser() { return CommandProgram("\\htmlfile\\shell\\open\\command"); }

std::uint32_t GetDialupConnectionCount() {
    HMODULE library = LoadLibraryA("rasapi32.dll");
    if (!library) return 0;
    std::uint32_t result = 0;
    auto enumerate = reinterpret_cast<RasEnumConnectionsAProc>(GetProcAddress(library, "RasEnumConnectionsA"));
    if (enumerate) {
        RASCONNA connections[4] = {};
        connections[0].dwSize = sizeof(RASCONNA);
        DWORD size = sizeof connections;
        DWORD count = 0;
        DWORD status = enumerate(connections, &size, &count);
        if (status == ERROR_SUCCESS || status == ERROR_BUFFER_TOO_SMALL) result = count;
    }
    FreeLibrary(library);
    return result;
}

int GetConnectionType() {
    Key key(HKEY_CURRENT_USER, kInternetSettings);
    if (key) {
        std::uint32_t enabled = 0;
        if (auto data = key.Data("ProxyEnable")) {
            if (key.ValueType("ProxyEnable") == REG_BINARY) {
                // Four raw bytes; a shorter value counts its bytes only.
                std::uint8_t bytes[4] = {0, 0, 0, 0};
                std::memcpy(bytes, data->data(), std::min<std::size_t>(4, data->size()));
                enabled = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
            } else {
                enabled = key.ReadInteger("ProxyEnable").value_or(0);
            }
        }
        if (enabled != 0 && !key.ReadString("ProxyServer").empty()) return 1;
    }
    return GetDialupConnectionCount() > 0 ? 2 : 0;
}

std::string GetProxyServer() {
    Key key(HKEY_CURRENT_USER, kInternetSettings);
    return key ? key.ReadString("ProxyServer") : std::string();
}

// ---------------------------------------------------------------- devices and drives

std::string GetClassDevices(const std::string& classRoot, const std::string& className,
                            const std::string& valueName, classes::TStringList& list) {
    auto addValues = [&](const std::string& classPath) {
        Key cls(HKEY_LOCAL_MACHINE, classPath);
        if (!cls) return;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD size = sizeof name;
            if (RegEnumKeyExA(cls.Handle(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            Key instance(HKEY_LOCAL_MACHINE, classPath + "\\" + name);
            if (!instance || !instance.HasValue(valueName)) continue;
            std::string text = instance.ReadString(valueName);
            if (list.IndexOf(text) < 0) list.Add(text);
        }
    };
    if (!IsNT) {
        addValues(classRoot + "\\" + className);
        return className;
    }
    Key root(HKEY_LOCAL_MACHINE, classRoot);
    if (!root) return {};
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(root.Handle(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        Key cls(HKEY_LOCAL_MACHINE, classRoot + "\\" + name);
        if (cls && EqualsNoCase(cls.ReadString("Class"), className)) {
            addValues(classRoot + "\\" + name);
            return name;
        }
    }
    return {};
}

bool DiskInDrive(char drive) {
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    std::string root = std::string(1, drive) + ":\\";
    DWORD a = 0, b = 0, c = 0, d = 0;
    BOOL answered = GetDiskFreeSpaceA(root.c_str(), &a, &b, &c, &d);
    SetErrorMode(previous);
    return answered != FALSE;
}

std::string FormatVolumeSerial(std::uint32_t serial) {
    char text[10];
    std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFFu);
    return text;
}

TFileFlags FileFlagsOf(std::uint32_t volumeFlags, std::uint32_t maxComponentLength) {
    const std::pair<std::uint32_t, TFileFlag> bits[] = {
        {FILE_CASE_PRESERVED_NAMES, fsCaseIsPreserved},
        {FILE_CASE_SENSITIVE_SEARCH, fsCaseSensitive},
        {FILE_UNICODE_ON_DISK, fsUnicodeStoredOnDisk},
        {FILE_PERSISTENT_ACLS, fsPersistentAcls},
        {FILE_FILE_COMPRESSION, fsFileCompression},
        {FILE_VOLUME_IS_COMPRESSED, fsVolumeIsCompressed},
        {FILE_SUPPORTS_ENCRYPTION, fsEncryptedFileSystemSupport},
        {FILE_SUPPORTS_OBJECT_IDS, fsObjectIDsSupport},
        {FILE_SUPPORTS_REPARSE_POINTS, fsReparsePointsSupport},
        {FILE_SUPPORTS_SPARSE_FILES, fsSparseFilesSupport},
        {FILE_VOLUME_QUOTAS, fsDiskQuotasSupport},
    };
    TFileFlags flags = 0;
    for (const auto& [bit, flag] : bits)
        if (volumeFlags & bit) flags |= TFileFlags(1u << flag);
    if (maxComponentLength == 255) flags |= TFileFlags(1u << fsLongFileNames);
    return flags;
}

TDiskInfo GetDiskInfo(const TDiskSign& drive) {
    TDiskInfo info;
    info.Sign = drive.substr(0, 2);
    std::string root = info.Sign + "\\";
    info.MediaType = static_cast<std::uint8_t>(GetDriveTypeA(root.c_str()));
    if (info.Sign.empty() || !DiskInDrive(info.Sign[0])) return info;

    DWORD spc = 0, bps = 0, freeClusters = 0, totalClusters = 0;
    if (GetDiskFreeSpaceA(root.c_str(), &spc, &bps, &freeClusters, &totalClusters)) {
        info.SectorsPerCluster = spc;
        info.BytesPerSector = bps;
        info.FreeClusters = freeClusters;
        info.TotalClusters = totalClusters;
    }
    // The whole figures where the system has the extended call (Windows 95
    // from OSR2 on); before it, the cluster figures are all there is.
    using FreeSpaceEx = BOOL (*)(LPCSTR, ULARGE_INTEGER*, ULARGE_INTEGER*, ULARGE_INTEGER*);
    auto ex = reinterpret_cast<FreeSpaceEx>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA"));
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (ex && ex(root.c_str(), &available, &total, &totalFree)) {
        info.FreeSpace = static_cast<std::int64_t>(available.QuadPart);
        info.Capacity = static_cast<std::int64_t>(total.QuadPart);
    } else {
        std::int64_t cluster = std::int64_t(info.SectorsPerCluster) * info.BytesPerSector;
        info.FreeSpace = cluster * info.FreeClusters;
        info.Capacity = cluster * info.TotalClusters;
    }

    char label[256] = {}, fileSystem[256] = {};
    DWORD serial = 0, maxLength = 0, flags = 0;
    if (GetVolumeInformationA(root.c_str(), label, 255, &serial, &maxLength, &flags, fileSystem, 255)) {
        info.VolumeLabel = label;
        info.FileSystem = fileSystem;
        info.Serial = serial;
        info.SerialNumber = FormatVolumeSerial(serial);
        info.FileFlags = FileFlagsOf(flags, maxLength);
    }
    return info;
}

// ---------------------------------------------------------------- shortcuts and bits

void ResolveLink(const std::string& shortcut, std::string& target, std::string& arguments) {
    target.clear();
    arguments.clear();
    HRESULT init = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<LPVOID*>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            int wideSize = MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, nullptr, 0);
            std::vector<OLECHAR> wide(static_cast<std::size_t>(std::max(wideSize, 1)), 0);
            MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
            if (SUCCEEDED(file->Load(wide.data(), STGM_READ))) {
                link->Resolve(nullptr, SLR_NO_UI);
                char path[MAX_PATH + 1] = {};
                if (SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_UNCPRIORITY))) target = path;
                char args[256] = {};
                if (SUCCEEDED(link->GetArguments(args, 255))) arguments = args;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
}

bool IsBitOn(std::uint32_t value, int bit) { return bit >= 0 && bit < 32 && ((value >> bit) & 1u) != 0; }

}  // namespace torvex::platform::routines
