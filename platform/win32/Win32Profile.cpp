// Private profile files (".INI") over the active machine's files.
//
// The file is handled as the bytes it holds: lines the program does not
// touch, foreign sections and keys, comments and line ends stay exactly as
// they were. Only section and key names are compared (ignoring letter case);
// texts cross into the machine's ANSI code page on the way in and out.
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <unistd.h>

#include "platform/machine/FileText.h"
#include "platform/machine/FileWrite.h"
#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"
#include "platform/win32/Win32.h"

namespace win32 {
namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::EqualsNoCase;
using torvex::platform::Trim;

std::string ToAnsi(const std::string& utf8) {
    return GetACP() == 1252 ? torvex::platform::Utf8ToCp1252(utf8) : utf8;
}
std::string FromAnsi(const std::string& bytes) {
    return GetACP() == 1252 ? torvex::platform::Cp1252ToUtf8(bytes) : bytes;
}

std::string ProfilePath(LPCSTR fileName) {
    std::string name = fileName ? fileName : "";
    if (name.find_first_of("\\/:") == std::string::npos)
        return ActiveMachine().windowsDirectory() + "\\" + name;
    return name;
}

struct Line {
    std::string text;   // without its line end
    std::string end;    // "\r\n", "\n" or "" for a last line without one
};

struct Profile {
    std::vector<Line> lines;

    static Profile Read(const std::string& windowsPath) {
        Profile p;
        auto path = ActiveMachine().readPath(windowsPath);
        if (!path) return p;
        // A missing or unreadable file reads as an empty one, as Windows
        // treats a profile it cannot open; each line keeps its own end, so
        // that a rewrite changes only the line written.
        std::string bytes = torvex::platform::ReadWholeFile(*path).text;
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t nl = bytes.find('\n', start);
            Line l;
            if (nl == std::string::npos) {
                l.text = bytes.substr(start);
                start = bytes.size();
            } else {
                l.text = bytes.substr(start, nl - start);
                l.end = "\n";
                start = nl + 1;
                if (!l.text.empty() && l.text.back() == '\r') {
                    l.text.pop_back();
                    l.end = "\r\n";
                }
            }
            p.lines.push_back(std::move(l));
        }
        return p;
    }

    bool Write(const std::string& windowsPath) const {
        auto path = ActiveMachine().writePath(windowsPath);
        if (!path) return false;
        std::error_code ec;
        std::filesystem::create_directories(path->parent_path(), ec);
        // The one safe writer: a failed write never leaves half a settings
        // file behind, and a linked or protected file keeps what it is.
        std::string bytes;
        for (const auto& l : lines) bytes += l.text + l.end;
        return torvex::platform::WriteFileSafely(*path, bytes).empty();
    }

    static bool SectionName(const std::string& text, std::string& name) {
        std::string t = Trim(text);
        if (t.size() < 2 || t.front() != '[') return false;
        auto close = t.find(']');
        name = Trim(t.substr(1, (close == std::string::npos ? t.size() : close) - 1));
        return true;
    }

    static bool KeyOf(const std::string& text, std::string& key, std::string& value) {
        auto eq = text.find('=');
        if (eq == std::string::npos) return false;
        std::string t = Trim(text);
        if (!t.empty() && t.front() == ';') return false;
        key = Trim(text.substr(0, eq));
        value = Trim(text.substr(eq + 1));
        return true;
    }

    // Lines [first, last) of the section's body; first == npos when absent.
    // The name asked for is trimmed as the file's names are, or a section
    // written under a name with a blank or control character at an end
    // could never be found again.
    std::pair<std::size_t, std::size_t> Section(const std::string& asked) const {
        const std::string section = Trim(asked);
        std::size_t first = std::string::npos;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string name;
            if (!SectionName(lines[i].text, name)) continue;
            if (first != std::string::npos) return {first, i};
            if (EqualsNoCase(name, section)) first = i + 1;
        }
        return {first, lines.size()};
    }

    std::size_t KeyLine(std::pair<std::size_t, std::size_t> s, const std::string& asked) const {
        if (s.first == std::string::npos) return std::string::npos;
        const std::string key = Trim(asked);
        for (std::size_t i = s.first; i < s.second; ++i) {
            std::string k, v;
            if (KeyOf(lines[i].text, k, v) && EqualsNoCase(k, key)) return i;
        }
        return std::string::npos;
    }

    std::string NewLineEnd() const {
        for (const auto& l : lines)
            if (!l.end.empty()) return l.end;
        return "\r\n";
    }
};

// Copies a zero-separated list ("a\0b\0\0") with the truncation rule of
// Windows: the result is size - 2 when it does not fit.
DWORD CopyList(const std::vector<std::string>& items, LPSTR buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    std::string all;
    for (const auto& i : items) {
        all += i;
        all += '\0';
    }
    if (all.size() + 1 <= size) {
        std::memcpy(buffer, all.data(), all.size());
        buffer[all.size()] = '\0';
        if (all.empty()) buffer[1] = '\0';
        return static_cast<DWORD>(all.size());
    }
    std::memcpy(buffer, all.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

DWORD CopyText(const std::string& text, LPSTR buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    DWORD n = std::min<DWORD>(static_cast<DWORD>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size,
                               LPCSTR fileName) {
    Profile p = Profile::Read(ProfilePath(fileName));
    if (!section) {
        std::vector<std::string> names;
        for (const auto& l : p.lines) {
            std::string name;
            if (Profile::SectionName(l.text, name)) names.push_back(FromAnsi(name));
        }
        return CopyList(names, buffer, size);
    }
    auto s = p.Section(ToAnsi(section));
    if (!key) {
        std::vector<std::string> keys;
        if (s.first != std::string::npos)
            for (std::size_t i = s.first; i < s.second; ++i) {
                std::string k, v;
                if (Profile::KeyOf(p.lines[i].text, k, v)) keys.push_back(FromAnsi(k));
            }
        return CopyList(keys, buffer, size);
    }
    std::size_t line = p.KeyLine(s, ToAnsi(key));
    if (line == std::string::npos) {
        std::string d = defaultText ? defaultText : "";
        while (!d.empty() && d.back() == ' ') d.pop_back();
        return CopyText(d, buffer, size);
    }
    std::string k, v;
    Profile::KeyOf(p.lines[line].text, k, v);
    // A value in matching quotes is returned without them.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return CopyText(FromAnsi(v), buffer, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName) {
    char text[64];
    const char* marker = "\x01";
    GetPrivateProfileStringA(section, key, marker, text, sizeof text, fileName);
    if (std::strcmp(text, marker) == 0) return static_cast<UINT>(defaultValue);
    // Windows reads the leading decimal digits and ignores the rest. It
    // counts in 32 bits, so a number too long for them wraps around rather
    // than overflowing.
    const char* s = text;
    bool negative = false;
    if (*s == '-') {
        negative = true;
        ++s;
    }
    UINT v = 0;
    while (*s >= '0' && *s <= '9') v = v * 10u + static_cast<UINT>(*s++ - '0');
    return negative ? 0u - v : v;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR fileName) {
    if (!section) {
        // Windows flushes its cache here; there is no cache to flush.
        return TRUE;
    }
    std::string path = ProfilePath(fileName);
    Profile p = Profile::Read(path);
    std::string sec = ToAnsi(section);
    auto s = p.Section(sec);
    std::string eol = p.NewLineEnd();
    if (!key) {
        if (s.first == std::string::npos) return TRUE;
        p.lines.erase(p.lines.begin() + static_cast<long>(s.first - 1), p.lines.begin() + static_cast<long>(s.second));
        return p.Write(path) ? TRUE : FALSE;
    }
    std::string k = ToAnsi(key);
    std::size_t line = p.KeyLine(s, k);
    if (!text) {
        if (line == std::string::npos) return TRUE;
        p.lines.erase(p.lines.begin() + static_cast<long>(line));
        return p.Write(path) ? TRUE : FALSE;
    }
    std::string value = ToAnsi(text);
    if (line != std::string::npos) {
        std::string oldKey, oldValue;
        Profile::KeyOf(p.lines[line].text, oldKey, oldValue);
        if (oldValue == value) return TRUE;
        p.lines[line].text = oldKey + "=" + value;
    } else if (s.first != std::string::npos) {
        // After the section's last non-blank line, before its trailing blanks.
        std::size_t at = s.second;
        while (at > s.first && Trim(p.lines[at - 1].text).empty()) --at;
        if (at > 0 && p.lines[at - 1].end.empty()) p.lines[at - 1].end = eol;
        p.lines.insert(p.lines.begin() + static_cast<long>(at), Line{k + "=" + value, eol});
    } else {
        if (!p.lines.empty() && p.lines.back().end.empty()) p.lines.back().end = eol;
        p.lines.push_back(Line{"[" + sec + "]", eol});
        p.lines.push_back(Line{k + "=" + value, eol});
    }
    return p.Write(path) ? TRUE : FALSE;
}

}  // namespace win32
