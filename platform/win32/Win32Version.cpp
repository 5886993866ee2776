// File version information over the active machine's files.
#include "platform/win32/Win32Version.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"

#ifndef TORVEX_VERSION
#define TORVEX_VERSION "0.0.0"
#endif

namespace torvex::platform {

namespace {

std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
// [at, at + size) lies inside b.
bool Fits(const std::vector<std::uint8_t>& b, std::uint64_t at, std::uint64_t size) {
    return at <= b.size() && size <= b.size() - at;
}
std::string Hex(std::uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(v));
    return text;
}

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

constexpr std::uint32_t kRtVersion = 16;

}  // namespace

std::vector<std::uint8_t> ReadPeVersionResource(const std::vector<std::uint8_t>& image,
                                                std::string& error) {
    error.clear();
    auto fail = [&](const std::string& why) {
        error = why;
        return std::vector<std::uint8_t>{};
    };
    if (!Fits(image, 0, 0x40) || image[0] != 'M' || image[1] != 'Z')
        return fail("no executable header (\"MZ\") at offset 0x0");
    std::uint32_t pe = Get32(image, 0x3C);
    if (!Fits(image, pe, 24) || std::memcmp(&image[pe], "PE\0\0", 4) != 0)
        return fail("no PE header at offset " + Hex(pe) + " (a 16-bit or damaged file)");
    std::uint16_t sectionCount = Get16(image, pe + 6);
    std::uint16_t optionalSize = Get16(image, pe + 20);
    std::size_t optional = pe + 24;
    if (!Fits(image, optional, optionalSize) || optionalSize < 2)
        return fail("optional header at offset " + Hex(optional) + " lies beyond the end of the file");
    std::uint16_t magic = Get16(image, optional);
    std::size_t directories;
    if (magic == 0x10B)
        directories = 96;   // PE32
    else if (magic == 0x20B)
        directories = 112;   // PE32+
    else
        return fail("unknown optional header kind " + Hex(magic) + " at offset " + Hex(optional));
    if (optionalSize < directories)
        return fail("optional header at offset " + Hex(optional) + " is too short");
    std::uint32_t directoryCount = Get32(image, optional + directories - 4);
    if (directoryCount < 3 || optionalSize < directories + 3 * 8)
        return fail("the file has no resource directory");
    std::uint32_t resourceRva = Get32(image, optional + directories + 16);
    std::uint32_t resourceSize = Get32(image, optional + directories + 20);
    if (resourceRva == 0 || resourceSize == 0) return fail("the file has no resources");

    std::size_t table = optional + optionalSize;
    if (!Fits(image, table, static_cast<std::uint64_t>(sectionCount) * 40))
        return fail("section table at offset " + Hex(table) + " lies beyond the end of the file");
    std::vector<Section> sections;
    for (std::uint16_t i = 0; i < sectionCount; ++i) {
        std::size_t at = table + i * 40u;
        sections.push_back({Get32(image, at + 12), Get32(image, at + 8), Get32(image, at + 16),
                            Get32(image, at + 20)});
    }
    // An address of the loaded image to its place in the file; nullopt when
    // the range is not backed by the file's bytes.
    auto toFile = [&](std::uint32_t rva, std::uint32_t size) -> std::optional<std::size_t> {
        for (const auto& s : sections) {
            std::uint64_t span = std::max(s.virtualSize, s.rawSize);
            if (rva < s.virtualAddress || rva - s.virtualAddress >= span) continue;
            std::uint64_t inSection = rva - s.virtualAddress;
            if (inSection + size > s.rawSize) return std::nullopt;
            std::uint64_t at = static_cast<std::uint64_t>(s.rawOffset) + inSection;
            if (!Fits(image, at, size)) return std::nullopt;
            return static_cast<std::size_t>(at);
        }
        return std::nullopt;
    };
    auto base = toFile(resourceRva, 16);
    if (!base) return fail("resource directory at address " + Hex(resourceRva) + " lies outside the file");
    // Every directory offset is relative to the resource directory's start
    // and must stay inside the resource section as the file holds it.
    std::uint64_t limit = image.size() - *base;
    if (limit > resourceSize) limit = resourceSize;

    // One step down the directory tree: the entry with the wanted id, or the
    // first entry when any will do. Returns the offset its entry points to.
    auto descend = [&](std::uint64_t directory, std::optional<std::uint32_t> id,
                       bool wantDirectory, const char* level) -> std::optional<std::uint32_t> {
        if (directory + 16 > limit) {
            error = std::string(level) + " directory at offset " + Hex(*base + directory) +
                    " lies beyond the end of the resources";
            return std::nullopt;
        }
        std::size_t at = *base + directory;
        std::uint32_t entries = static_cast<std::uint32_t>(Get16(image, at + 12)) + Get16(image, at + 14);
        if (directory + 16 + static_cast<std::uint64_t>(entries) * 8 > limit) {
            error = std::string(level) + " directory at offset " + Hex(at) + " lists more entries than fit";
            return std::nullopt;
        }
        for (std::uint32_t i = 0; i < entries; ++i) {
            std::size_t entry = at + 16 + i * 8u;
            std::uint32_t name = Get32(image, entry);
            std::uint32_t target = Get32(image, entry + 4);
            if (id && ((name & 0x80000000u) || name != *id)) continue;
            bool isDirectory = (target & 0x80000000u) != 0;
            if (isDirectory != wantDirectory) {
                error = std::string(level) + " entry at offset " + Hex(entry) + " points to the wrong kind of record";
                return std::nullopt;
            }
            return target & 0x7FFFFFFFu;
        }
        error = id ? "the file has no version resource" : std::string(level) + " directory is empty";
        return std::nullopt;
    };
    auto names = descend(0, kRtVersion, true, "type");
    if (!names) return {};
    // A directory pointing at itself or backwards could loop a walker that
    // follows it further; this one takes exactly three steps.
    auto languages = descend(*names, std::nullopt, true, "name");
    if (!languages) return {};
    auto data = descend(*languages, std::nullopt, false, "language");
    if (!data) return {};
    if (*data + 16 > limit) return fail("resource data entry at offset " + Hex(*base + *data) + " lies beyond the end of the resources");
    std::uint32_t dataRva = Get32(image, *base + *data);
    std::uint32_t dataSize = Get32(image, *base + *data + 4);
    if (dataSize < 6) return fail("version resource of " + std::to_string(dataSize) + " bytes is too short");
    auto where = toFile(dataRva, dataSize);
    if (!where) return fail("version resource at address " + Hex(dataRva) + " (" + std::to_string(dataSize) + " bytes) lies outside the file");
    std::uint16_t length = Get16(image, *where);
    if (length < 6 || length > dataSize)
        return fail("version block at offset " + Hex(*where) + " has a length of " + std::to_string(length) +
                    " in a resource of " + std::to_string(dataSize) + " bytes");
    return std::vector<std::uint8_t>(image.begin() + static_cast<std::ptrdiff_t>(*where),
                                     image.begin() + static_cast<std::ptrdiff_t>(*where + length));
}

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, static_cast<std::uint16_t>(v));
    Put16(b, static_cast<std::uint16_t>(v >> 16));
}
void Align4(std::vector<std::uint8_t>& b) {
    while (b.size() % 4) b.push_back(0);
}


void PutText16(std::vector<std::uint8_t>& b, const std::string& s) {
    for (char16_t c : torvex::platform::Utf8ToUtf16(s)) Put16(b, c);
    Put16(b, 0);
}

// One node: header, key, value, then the children, its length patched in.
struct NodeWriter {
    std::vector<std::uint8_t>& out;
    std::size_t start;
    NodeWriter(std::vector<std::uint8_t>& b, const std::string& key, std::uint16_t valueLength,
               std::uint16_t type)
        : out(b), start(b.size()) {
        Put16(out, 0);
        Put16(out, valueLength);
        Put16(out, type);
        PutText16(out, key);
        Align4(out);
    }
    ~NodeWriter() {
        std::size_t length = out.size() - start;
        out[start] = static_cast<std::uint8_t>(length);
        out[start + 1] = static_cast<std::uint8_t>(length >> 8);
        Align4(out);
    }
};

}  // namespace

std::vector<std::uint8_t> BuildVersionBlock(const VersionBlockFacts& f) {
    std::vector<std::uint8_t> b;
    {
        NodeWriter root(b, "VS_VERSION_INFO", 52, 0);
        Put32(b, win32::VS_FFI_SIGNATURE);
        Put32(b, win32::VS_FFI_STRUCVERSION);
        Put32(b, (static_cast<std::uint32_t>(f.file[0]) << 16) | f.file[1]);
        Put32(b, (static_cast<std::uint32_t>(f.file[2]) << 16) | f.file[3]);
        Put32(b, (static_cast<std::uint32_t>(f.product[0]) << 16) | f.product[1]);
        Put32(b, (static_cast<std::uint32_t>(f.product[2]) << 16) | f.product[3]);
        Put32(b, 0x3F);         // file flags mask
        Put32(b, 0);            // file flags
        Put32(b, 0x00040004);   // VOS_NT_WINDOWS32
        Put32(b, 1);            // VFT_APP
        Put32(b, 0);
        Put32(b, 0);
        Put32(b, 0);
        Align4(b);
        {
            NodeWriter info(b, "StringFileInfo", 0, 1);
            NodeWriter table(b, "040904E4", 0, 1);
            for (const auto& [name, text] : f.strings) {
                auto units = torvex::platform::Utf8ToUtf16(text).size() + 1;
                NodeWriter s(b, name, static_cast<std::uint16_t>(units), 1);
                PutText16(b, text);
            }
        }
        {
            NodeWriter var(b, "VarFileInfo", 0, 1);
            NodeWriter translation(b, "Translation", 4, 0);
            Put16(b, 0x0409);
            Put16(b, 0x04E4);
        }
    }
    return b;
}

std::string ProgramVersion() { return TORVEX_VERSION; }

}  // namespace torvex::platform

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::EqualsNoCase;

// The block that GetFileVersionInfoA hands out: the raw resource, then a
// second area of twice its size where VerQueryValueA places its UTF-8
// copies of the texts (a text at raw offset o goes to 2*o of that area:
// a UTF-16 text of n bytes needs at most 1.5*n bytes as UTF-8, so the
// copies never overlap).
std::size_t BlockSize(std::size_t raw) { return ((raw + 3) & ~std::size_t{3}) * 3; }

std::optional<std::vector<std::uint8_t>> ReadWindowsExecutable(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    auto size = std::filesystem::file_size(path, ec);
    // Version resources live in executables; a file of gigabytes is none.
    if (ec || size > (1ull << 30)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // Only a Windows executable ("MZ") holds a version resource; anything
    // else (the host's own programs, tens of megabytes) is not read whole.
    char magic[2] = {};
    if (!in.read(magic, 2) || magic[0] != 'M' || magic[1] != 'Z') return std::nullopt;
    in.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::uint64_t>(in.gcount()) != size) return std::nullopt;
    return bytes;
}

// The Windows path of a file as the library search finds it.
std::optional<std::string> Locate(const std::string& name) {
    auto& m = ActiveMachine();
    if (name.find_first_of("\\/:") != std::string::npos) {
        if (m.readPath(name)) return name;
        return std::nullopt;
    }
    std::vector<std::string> folders;
    std::string module = m.moduleFileName();
    auto slash = module.rfind('\\');
    if (slash != std::string::npos) folders.push_back(module.substr(0, slash));
    folders.push_back(m.systemDirectory());
    folders.push_back(m.windowsDirectory());
    for (const auto& entry : m.environment()) {
        if (entry.size() < 5 || !EqualsNoCase(entry.substr(0, 5), "PATH=")) continue;
        std::string list = entry.substr(5);
        std::size_t pos = 0;
        while (pos <= list.size()) {
            std::size_t end = list.find(';', pos);
            if (end == std::string::npos) end = list.size();
            std::string folder = torvex::platform::Trim(list.substr(pos, end - pos));
            if (!folder.empty()) folders.push_back(folder);
            pos = end + 1;
        }
        break;
    }
    for (auto folder : folders) {
        if (folder.empty()) continue;
        if (folder.back() != '\\') folder.push_back('\\');
        std::string candidate = folder + name;
        if (auto p = m.readPath(candidate); p && std::filesystem::is_regular_file(*p)) return candidate;
    }
    return std::nullopt;
}

// The raw version block of a file; sets the last error on failure.
std::optional<std::vector<std::uint8_t>> RawBlock(LPCSTR fileName) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    auto& m = ActiveMachine();
    std::string name = fileName;
    auto windowsPath = Locate(name);
    std::optional<std::vector<std::uint8_t>> bytes;
    if (windowsPath)
        if (auto host = m.readPath(*windowsPath)) bytes = ReadWindowsExecutable(*host);
    if (bytes) {
        std::string error;
        auto block = torvex::platform::ReadPeVersionResource(*bytes, error);
        if (!block.empty()) return block;
    }
    // The program itself: its executable is no Windows file, and it answers
    // with the version it was built as.
    std::string self = m.moduleFileName();
    if (!self.empty() && (EqualsNoCase(name, self) || (windowsPath && EqualsNoCase(*windowsPath, self)))) {
        torvex::platform::VersionBlockFacts f;
        unsigned parts[4] = {0, 0, 0, 0};
        std::sscanf(torvex::platform::ProgramVersion().c_str(), "%u.%u.%u.%u", &parts[0], &parts[1],
                    &parts[2], &parts[3]);
        for (int i = 0; i < 4; ++i) f.file[i] = f.product[i] = static_cast<std::uint16_t>(parts[i]);
        std::string text = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
                           std::to_string(parts[2]) + "." + std::to_string(parts[3]);
        f.strings = {{"FileDescription", "Torvex"},
                     {"FileVersion", text},
                     {"ProductName", "Torvex"},
                     {"ProductVersion", text}};
        return torvex::platform::BuildVersionBlock(f);
    }
    // A library the machine provides by other means (the host's driver
    // manager, its SCSI driver) answers with that version.
    if (!bytes) {
        std::string base = name.substr(name.find_last_of("\\/") == std::string::npos ? 0 : name.find_last_of("\\/") + 1);
        for (auto& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (auto v = m.providedLibraryVersion(base)) {
            torvex::platform::VersionBlockFacts f;
            for (int i = 0; i < 4; ++i) f.file[i] = f.product[i] = (*v)[static_cast<std::size_t>(i)];
            std::string text = std::to_string((*v)[0]) + "." + std::to_string((*v)[1]) + "." +
                               std::to_string((*v)[2]) + "." + std::to_string((*v)[3]);
            f.strings = {{"FileVersion", text}, {"ProductVersion", text}};
            return torvex::platform::BuildVersionBlock(f);
        }
    }
    if (!bytes)
        SetLastError(ERROR_FILE_NOT_FOUND);
    else
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return std::nullopt;
}

struct Node {
    std::size_t start = 0, end = 0;   // end: start + wLength, within the block
    std::u16string key;
    std::size_t value = 0, valueBytes = 0;
    bool text = false;
    std::size_t children = 0;
};

std::uint16_t At16(const std::uint8_t* b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// Reads the node at start, which must end by limit.
std::optional<Node> ReadNode(const std::uint8_t* b, std::size_t start, std::size_t limit) {
    if (start + 6 > limit) return std::nullopt;
    Node n;
    n.start = start;
    std::size_t length = At16(b, start);
    if (length < 6 || start + length > limit) return std::nullopt;
    n.end = start + length;
    std::size_t valueLength = At16(b, start + 2);
    n.text = At16(b, start + 4) == 1;
    std::size_t at = start + 6;
    for (;;) {
        if (at + 2 > n.end) return std::nullopt;
        char16_t c = At16(b, at);
        at += 2;
        if (c == 0) break;
        n.key.push_back(c);
    }
    at = (at + 3) & ~std::size_t{3};
    n.value = std::min(at, n.end);
    // Texts count their length in characters; some writers give bytes. The
    // value never reaches past its node.
    std::size_t bytes = n.text ? valueLength * 2 : valueLength;
    n.valueBytes = std::min(bytes, n.end - n.value);
    n.children = std::min((n.value + n.valueBytes + 3) & ~std::size_t{3}, n.end);
    return n;
}

bool KeyEquals(const std::u16string& key, const std::string& name) {
    if (key.size() != name.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        char16_t a = key[i];
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (a > 0x7F) return false;
        if (std::tolower(static_cast<unsigned char>(a)) != std::tolower(c)) return false;
    }
    return true;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) {
    if (handle) *handle = 0;
    auto raw = RawBlock(fileName);
    if (!raw) return 0;
    return static_cast<DWORD>(BlockSize(raw->size()));
}

BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD, DWORD size, LPVOID data) {
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto raw = RawBlock(fileName);
    if (!raw) return FALSE;
    std::size_t need = BlockSize(raw->size());
    if (size < need) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* out = static_cast<std::uint8_t*>(data);
    std::memset(out, 0, need);
    std::memcpy(out, raw->data(), raw->size());
    return TRUE;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) {
    if (!block || !subBlock || !buffer || !length) return FALSE;
    auto* b = static_cast<const std::uint8_t*>(block);
    std::size_t raw = At16(b, 0);
    auto node = ReadNode(b, 0, raw);
    if (!node) return FALSE;
    std::string path = subBlock;
    std::size_t pos = 0;
    while (pos < path.size()) {
        while (pos < path.size() && path[pos] == '\\') ++pos;
        if (pos >= path.size()) break;
        std::size_t end = path.find('\\', pos);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(pos, end - pos);
        pos = end;
        std::optional<Node> found;
        for (std::size_t child = node->children; child + 6 <= node->end;) {
            auto c = ReadNode(b, child, node->end);
            if (!c) break;
            if (KeyEquals(c->key, name)) {
                found = c;
                break;
            }
            child = (c->end + 3) & ~std::size_t{3};
        }
        if (!found) return FALSE;
        node = found;
    }
    if (node->valueBytes == 0 && !node->text) return FALSE;
    if (!node->text) {
        *buffer = const_cast<std::uint8_t*>(b + node->value);
        *length = static_cast<UINT>(node->valueBytes);
        return TRUE;
    }
    // A text: up to its zero, converted into the block's second area.
    std::size_t units = 0;
    while (units * 2 + 1 < node->valueBytes && At16(b, node->value + units * 2) != 0) ++units;
    std::string text = torvex::platform::Utf16LeToUtf8(b + node->value, units * 2);
    auto* area = const_cast<std::uint8_t*>(b) + ((raw + 3) & ~std::size_t{3}) + 2 * node->value;
    std::memcpy(area, text.data(), text.size());
    area[text.size()] = 0;
    *buffer = area;
    *length = static_cast<UINT>(text.size() + 1);
    return TRUE;
}

}  // namespace win32
