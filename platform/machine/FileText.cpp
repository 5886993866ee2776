#include "platform/machine/FileText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <mutex>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/machine/TextUtil.h"

namespace torvex::platform {

namespace {

ReadFailure FailureFromErrno(int e) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return ReadFailure::missing;
    case EACCES:
    case EPERM:
        return ReadFailure::permissionDenied;
    case EISDIR:
        return ReadFailure::notAFile;
    default:
        return ReadFailure::ioError;
    }
}

FileRead Failed(const std::filesystem::path& file, ReadFailure failure) {
    FileRead r;
    r.failure = failure;
    r.reason = file.string() + ": " + ReadFailureText(failure);
    return r;
}

// -1: not decided yet; read once from the environment.
int g_trace = -1;
std::function<void(const std::string&)>& TraceSink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

// The lines written so far.
std::mutex& TraceMutex() {
    static std::mutex m;
    return m;
}
std::set<std::string>& TraceSeen() {
    static std::set<std::string> seen;
    return seen;
}

}  // namespace

const char* ReadFailureText(ReadFailure failure) {
    switch (failure) {
    case ReadFailure::none: return "read";
    case ReadFailure::missing: return "missing";
    case ReadFailure::permissionDenied: return "permission denied";
    case ReadFailure::notAFile: return "not a file";
    case ReadFailure::tooLarge: return "too large";
    case ReadFailure::ioError: return "read error";
    }
    return "read error";
}

FileRead ReadWholeFile(const std::filesystem::path& file, std::size_t cap) {
    // POSIX calls rather than a stream: one open, a few reads, one close, and
    // errno tells missing from denied.
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Failed(file, FailureFromErrno(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Failed(file, ReadFailure::notAFile);
    }
    FileRead r;
    std::size_t hint = (st.st_size > 0 && std::size_t(st.st_size) <= cap) ? std::size_t(st.st_size) : 0;
    r.text.reserve(hint ? hint + 1 : 4096);
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd);
            return Failed(file, FailureFromErrno(e) == ReadFailure::permissionDenied
                                    ? ReadFailure::permissionDenied
                                    : ReadFailure::ioError);
        }
        if (n == 0) break;
        if (r.text.size() + std::size_t(n) > cap) {
            ::close(fd);
            return Failed(file, ReadFailure::tooLarge);
        }
        r.text.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return r;
}

std::optional<std::string> ReadFileTraced(const std::filesystem::path& file, std::string_view who,
                                          std::size_t cap) {
    FileRead r = ReadWholeFile(file, cap);
    if (!r) {
        if (TraceEnabled()) Trace(who, r.reason);
        return std::nullopt;
    }
    return std::move(r.text);
}

void ForEachLine(std::string_view text,
                 const std::function<bool(std::string_view line, int number)>& line) {
    std::size_t pos = 0;
    int number = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::size_t stop = end;
        if (stop > pos && text[stop - 1] == '\r') --stop;
        if (!line(text.substr(pos, stop - pos), ++number)) return;
        pos = next;
    }
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    ForEachLine(text, [&](std::string_view l, int) {
        lines.push_back(l);
        return true;
    });
    return lines;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = text.find(separator, pos);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(pos));
            return parts;
        }
        parts.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
}

std::string_view TrimView(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

namespace {

std::string Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        char q = v.front();
        v = v.substr(1, v.size() - 2);
        if (q == '\'') return std::string(v);
        std::string out;
        out.reserve(v.size());
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (v[i] == '\\' && i + 1 < v.size() && std::strchr("\"\\$`", v[i + 1])) ++i;
            out += v[i];
        }
        return out;
    }
    return std::string(v);
}

}  // namespace

std::vector<KeyValue> ParseKeyValues(std::string_view text, char separator, bool unquote) {
    std::vector<KeyValue> pairs;
    ForEachLine(text, [&](std::string_view raw, int number) {
        std::string_view l = TrimView(raw);
        if (l.empty() || l.front() == '#') return true;
        std::size_t at = l.find(separator);
        if (at == std::string_view::npos) return true;
        KeyValue kv;
        kv.key = Trim(l.substr(0, at));
        std::string_view value = TrimView(l.substr(at + 1));
        kv.value = unquote ? Unquote(value) : std::string(value);
        kv.line = number;
        pairs.push_back(std::move(kv));
        return true;
    });
    return pairs;
}

std::map<std::string, std::string> KeyValueMap(std::string_view text, char separator, bool unquote) {
    std::map<std::string, std::string> map;
    for (auto& kv : ParseKeyValues(text, separator, unquote)) map.emplace(kv.key, std::move(kv.value));
    return map;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::uint32_t NextUtf8(std::string_view s, std::size_t& pos) {
    unsigned char c = static_cast<unsigned char>(s[pos]);
    std::uint32_t cp;
    std::size_t len;
    std::uint32_t min;
    if (c < 0x80) {
        ++pos;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        cp = c & 0x1F, len = 2, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        cp = c & 0x0F, len = 3, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        cp = c & 0x07, len = 4, min = 0x10000;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + len > s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (std::size_t k = 1; k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[pos + k]);
        if ((cc & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    pos += len;
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return 0xFFFD;
    return cp;
}

std::size_t Utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++n) NextUtf8(utf8, pos);
    return n;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::uint32_t cp = NextUtf8(utf8, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view u) {
    std::string out;
    out.reserve(u.size());
    for (std::size_t i = 0; i < u.size(); ++i) {
        std::uint32_t c = u[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] < 0xE000) {
            AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00));
            ++i;
            continue;
        }
        AppendUtf8(out, c);   // an unpaired surrogate becomes U+FFFD there
    }
    return out;
}

std::string CodePageToUtf8(std::string_view bytes, unsigned codePage) {
    if (codePage == 65001) return std::string(bytes);
    return Cp1252ToUtf8(bytes);
}

std::string Utf8ToCodePage(std::string_view utf8, unsigned codePage) {
    if (codePage == 65001) return std::string(utf8);
    return Utf8ToCp1252(utf8);
}

std::optional<std::string> Utf8ToCodePageExact(std::string_view utf8, unsigned codePage) {
    if (codePage == 65001) return std::string(utf8);
    std::string out = Utf8ToCp1252(utf8);
    // Round trip: a character the code page lacks came back as '?'.
    if (Cp1252ToUtf8(out) != utf8) return std::nullopt;
    return out;
}

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

bool TraceEnabled() {
    if (g_trace < 0) {
        const char* v = std::getenv("TORVEX_TRACE");
        g_trace = (v && *v && std::strcmp(v, "0") != 0) ? 1 : 0;
    }
    return g_trace == 1;
}

void Trace(std::string_view who, std::string_view what) {
    if (!TraceEnabled()) return;
    std::string line = "torvex: ";
    line.append(who);
    line += ": ";
    line.append(what);
    // A fact asked for again is explained once: each reason is one line.
    {
        std::lock_guard lock(TraceMutex());
        if (!TraceSeen().insert(line).second) return;
    }
    if (TraceSink()) {
        TraceSink()(line);
        return;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void SetTraceSink(std::function<void(const std::string& line)> sink) {
    TraceSink() = std::move(sink);
    std::lock_guard lock(TraceMutex());
    TraceSeen().clear();
}

void SetTraceEnabled(bool on) {
    g_trace = on ? 1 : 0;
    std::lock_guard lock(TraceMutex());
    TraceSeen().clear();
}

}  // namespace torvex::platform
