#include "platform/host/HostFacts.h"

#include <charconv>
#include <vector>

#include "platform/machine/FileText.h"
#include "platform/machine/TextUtil.h"

namespace torvex::platform::host {

namespace {

bool ToNumber(std::string_view s, std::uint64_t& v) {
    if (s.empty()) return false;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

MemoryFacts ParseMeminfo(std::string_view text) {
    std::map<std::string, std::uint64_t, std::less<>> kb;
    ForEachLine(text, [&](std::string_view line, int) {
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return true;
        std::string value = Trim(line.substr(colon + 1));
        std::uint64_t factor = 1;
        if (value.size() > 3 && value.compare(value.size() - 3, 3, " kB") == 0) {
            value.resize(value.size() - 3);
            factor = 1024;
        }
        std::uint64_t v = 0;
        if (ToNumber(Trim(value), v)) kb[std::string(line.substr(0, colon))] = v * factor;
        return true;
    });
    auto get = [&](const char* key) -> std::optional<std::uint64_t> {
        auto it = kb.find(key);
        if (it == kb.end()) return std::nullopt;
        return it->second;
    };

    MemoryFacts m;
    m.totalPhys = get("MemTotal").value_or(0);
    if (auto avail = get("MemAvailable"))
        m.availPhys = *avail;
    else
        m.availPhys = get("MemFree").value_or(0) + get("Buffers").value_or(0) +
                      get("Cached").value_or(0);
    if (m.availPhys > m.totalPhys) m.availPhys = m.totalPhys;
    m.memoryLoad = MemoryLoad(m.totalPhys, m.availPhys);

    // Windows' page-file figures are its commit limit: physical memory plus
    // the page files, and what of both is free. The kernel's CommitLimit is
    // a policy figure (half the memory without swap) and Committed_AS
    // exceeds it under overcommit, so they say nothing a user would expect.
    std::uint64_t swapTotal = get("SwapTotal").value_or(0), swapFree = get("SwapFree").value_or(0);
    if (swapFree > swapTotal) swapFree = swapTotal;
    m.totalPageFile = m.totalPhys + swapTotal;
    m.availPageFile = m.availPhys + swapFree;

    // The program runs as a 64-bit Linux process: its own mappings live far
    // above 4 GB and take nothing from a 2 GB window, and every allocation
    // that the 32-bit personality could ask for still finds room. The real
    // free address space, clipped to the window, is the whole window.
    m.totalVirtual = kAppAddressSpace;
    m.availVirtual = kAppAddressSpace;
    return m;
}

std::uint32_t MemoryLoad(std::uint64_t totalPhys, std::uint64_t availPhys) {
    if (totalPhys == 0) return 0;
    if (availPhys > totalPhys) availPhys = totalPhys;
    return static_cast<std::uint32_t>((totalPhys - availPhys) * 100 / totalPhys);
}

std::map<std::string, std::string> ParseOsRelease(std::string_view text) {
    std::map<std::string, std::string> out;
    ForEachLine(text, [&](std::string_view raw, int) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') return true;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) return true;
        std::string key = line.substr(0, eq);
        std::string_view v(line);
        v.remove_prefix(eq + 1);
        std::string value;
        if (!v.empty() && v.front() == '\'') {
            // Single quotes: literal up to the closing quote.
            std::size_t close = v.find('\'', 1);
            value = std::string(v.substr(1, close == std::string_view::npos ? v.npos : close - 1));
        } else if (!v.empty() && v.front() == '"') {
            for (std::size_t i = 1; i < v.size(); ++i) {
                char c = v[i];
                if (c == '"') break;
                if (c == '\\' && i + 1 < v.size() &&
                    (v[i + 1] == '"' || v[i + 1] == '\\' || v[i + 1] == '$' || v[i + 1] == '`')) {
                    value.push_back(v[++i]);
                    continue;
                }
                value.push_back(c);
            }
        } else {
            for (std::size_t i = 0; i < v.size(); ++i) {
                if (v[i] == '\\' && i + 1 < v.size()) {
                    value.push_back(v[++i]);
                    continue;
                }
                value.push_back(v[i]);
            }
        }
        out[key] = value;
        return true;
    });
    return out;
}

std::string ServicePackText(std::string_view kernelRelease) {
    std::string release = Trim(kernelRelease);
    if (release.empty()) return "Linux";
    return "Linux " + release;
}

ProcessorLevel LevelFromSignature(std::uint32_t signature) {
    std::uint32_t stepping = signature & 0xF;
    std::uint32_t model = (signature >> 4) & 0xF;
    std::uint32_t family = (signature >> 8) & 0xF;
    std::uint32_t extModel = (signature >> 16) & 0xF;
    std::uint32_t extFamily = (signature >> 20) & 0xFF;
    if (family == 6 || family == 15) model |= extModel << 4;
    if (family == 15) family += extFamily;
    ProcessorLevel p;
    p.level = static_cast<std::uint16_t>(family);
    p.revision = static_cast<std::uint16_t>((model << 8) | stepping);
    return p;
}

std::uint32_t CountCpuList(std::string_view list) {
    std::string text = Trim(list);
    if (text.empty()) return 0;
    std::uint32_t count = 0;
    for (auto part : Split(text, ',')) {
        std::size_t dash = part.find('-');
        std::uint64_t a = 0, b = 0;
        if (dash == std::string_view::npos) {
            if (!ToNumber(part, a)) return 0;
            ++count;
        } else {
            if (!ToNumber(part.substr(0, dash), a) || !ToNumber(part.substr(dash + 1), b) || b < a)
                return 0;
            count += static_cast<std::uint32_t>(b - a + 1);
        }
    }
    return count;
}

std::string NetBiosName(std::string_view hostName) {
    std::string name = Trim(hostName);
    std::size_t dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
    name = ToUpperAscii(name);
    if (name.size() > 15) {
        // Cut at a character boundary; a host name is ASCII by the rules of
        // DNS, but a hand-edited one need not be.
        std::size_t cut = 15;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return name;
}

std::optional<PasswdEntry> FindPasswdEntry(std::string_view passwd, std::uint32_t uid) {
    std::optional<PasswdEntry> found;
    ForEachLine(passwd, [&](std::string_view line, int) {
        if (found || line.empty() || line[0] == '#') return true;
        auto f = Split(line, ':');
        if (f.size() < 7) return true;
        std::uint64_t id = 0;
        if (!ToNumber(f[2], id) || id != uid) return true;
        PasswdEntry e;
        e.login = std::string(f[0]);
        e.uid = uid;
        e.gecos = std::string(f[4]);
        e.home = std::string(f[5]);
        found = std::move(e);
        return true;
    });
    return found;
}

std::string GecosFullName(std::string_view gecos) {
    return Trim(gecos.substr(0, gecos.find(',')));
}

}  // namespace torvex::platform::host
