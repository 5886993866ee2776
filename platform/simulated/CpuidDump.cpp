#include "platform/simulated/CpuidDump.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/machine/TextUtil.h"

namespace torvex::platform {

namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

std::uint32_t HexValue(std::string_view digits) {
    std::uint32_t v = 0;
    for (char c : digits) {
        int d = (c >= '0' && c <= '9') ? c - '0' : (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
        v = (v << 4) | std::uint32_t(d);
    }
    return v;
}

// The processor number of a section header ("------[ Logical CPU #1 ]------",
// "CPUID Registers (CPU #1):"), or -1 when the line is none.
int SectionCpu(std::string_view line) {
    std::size_t at = line.find("CPU #");
    if (at == std::string_view::npos) return -1;
    bool logical = line.find("Logical CPU #") != std::string_view::npos;
    bool registers = line.find("CPUID Registers") != std::string_view::npos;
    if (!logical && !registers) return -1;
    int n = 0;
    std::size_t i = at + 5;
    if (i >= line.size() || !std::isdigit(static_cast<unsigned char>(line[i]))) return -1;
    // A number too long for any processor count stays a large one instead
    // of overflowing ("CPU #4444444444").
    constexpr int kLarge = 999999;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i)
        n = n > kLarge / 10 ? kLarge : n * 10 + (line[i] - '0');
    return n;
}

// The first "<number> MHz" in a text.
std::optional<std::uint32_t> ClockIn(std::string_view text) {
    for (std::size_t at = text.find("MHz"); at != std::string_view::npos; at = text.find("MHz", at + 3)) {
        std::size_t end = at;
        while (end > 0 && text[end - 1] == ' ') --end;
        std::size_t begin = end;
        while (begin > 0 && std::isdigit(static_cast<unsigned char>(text[begin - 1]))) --begin;
        if (begin < end && end - begin <= 6) return std::uint32_t(std::stoul(std::string(text.substr(begin, end - begin))));
    }
    return std::nullopt;
}

}  // namespace

CpuidDump CpuidDump::Load(const std::filesystem::path& path) {
    FileRead read = ReadWholeFile(path);
    if (!read)
        throw MachineError(path.string(), 0, std::string("cannot read the CPUID dump: ") + ReadFailureText(read.failure));
    return Parse(read.text, path.string());
}

CpuidDump CpuidDump::Parse(std::string_view text, const std::string& fileName) {
    CpuidDump dump;
    bool collecting = true;   // lines before any section belong to the only processor
    bool sawSection = false;
    int lines = 0;
    ForEachLine(text, [&](std::string_view raw, int lineNumber) {
        lines = lineNumber;
        std::string line = Trim(raw);

        if (int cpu = SectionCpu(line); cpu >= 0) {
            // Only the first processor's section counts; later ones repeat it
            // with their own APIC ids.
            if (sawSection || !dump.leaves_.empty()) collecting = false;
            sawSection = true;
            return true;
        }
        if (line.size() >= 7 && line.compare(0, 2, "--") == 0) {
            // Another section ("MSR Registers") ends the processor's section.
            if (sawSection) collecting = false;
            return true;
        }
        if (line.compare(0, 6, "CPUID ") != 0) {
            auto colon = line.find(':');
            if (colon != std::string::npos && Trim(line.substr(0, colon)) == "CPU Type") {
                dump.cpuType_ = Trim(line.substr(colon + 1));
                dump.headerClockMhz_ = ClockIn(dump.cpuType_);
            }
            return true;
        }
        std::string_view rest(line);
        rest.remove_prefix(6);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        std::size_t n = 0;
        while (n < rest.size() && IsHex(rest[n])) ++n;
        // "CPUID Manufacturer : ..." and the like are header lines.
        if (n != 8 || (n < rest.size() && rest[n] != ':' && rest[n] != ' ' && rest[n] != '\t')) return true;
        std::uint32_t leaf = HexValue(rest.substr(0, 8));
        rest.remove_prefix(8);

        std::uint32_t regs[4];
        for (int r = 0; r < 4; ++r) {
            while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t' || rest.front() == ':' ||
                                     (r > 0 && rest.front() == '-')))
                rest.remove_prefix(1);
            std::size_t digits = 0;
            while (digits < rest.size() && IsHex(rest[digits])) ++digits;
            if (digits == 0 || digits > 8)
                throw MachineError(fileName, lineNumber,
                                   "CPUID line needs four registers EAX-EBX-ECX-EDX of up to 8 hex digits");
            regs[r] = HexValue(rest.substr(0, digits));
            rest.remove_prefix(digits);
        }
        if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t' && rest.front() != '[')
            throw MachineError(fileName, lineNumber, "unexpected text after the CPUID registers");
        if (collecting) dump.leaves_[leaf].push_back(CpuidAnswer{regs[0], regs[1], regs[2], regs[3]});
        return true;
    });
    if (!dump.lists(0)) throw MachineError(fileName, lines, "the CPUID dump has no line for leaf 00000000");
    return dump;
}

std::string CpuidDump::vendor() const {
    auto it = leaves_.find(0);
    if (it == leaves_.end()) return {};
    const CpuidAnswer& a = it->second.front();
    std::string v;
    for (std::uint32_t reg : {a.ebx, a.edx, a.ecx})
        for (int i = 0; i < 4; ++i) v += char((reg >> (8 * i)) & 0xFF);
    return v;
}

std::uint32_t CpuidDump::maxBasicLeaf() const {
    auto it = leaves_.find(0);
    return it == leaves_.end() ? 0 : it->second.front().eax;
}

std::optional<std::uint32_t> CpuidDump::maxExtendedLeaf() const {
    auto it = leaves_.find(0x80000000u);
    if (it == leaves_.end()) return std::nullopt;
    return it->second.front().eax;
}

CpuidAnswer CpuidDump::answer(std::uint32_t leaf, std::uint32_t subLeaf) const {
    auto listed = [&](std::uint32_t l) -> std::optional<CpuidAnswer> {
        auto it = leaves_.find(l);
        if (it == leaves_.end()) return std::nullopt;
        if (it->second.size() == 1) return it->second.front();
        if (subLeaf < it->second.size()) return it->second[subLeaf];
        return CpuidAnswer{};
    };
    if (auto a = listed(leaf)) return *a;

    if (vendor() == "GenuineIntel") {
        bool aboveMaximum;
        if (leaf < 0x80000000u) {
            aboveMaximum = leaf > maxBasicLeaf();
        } else {
            auto maxExt = maxExtendedLeaf();
            aboveMaximum = !maxExt || *maxExt < 0x80000000u || leaf > *maxExt;
        }
        if (aboveMaximum)
            if (auto a = listed(maxBasicLeaf())) return *a;
    }
    return CpuidAnswer{};
}

}  // namespace torvex::platform
