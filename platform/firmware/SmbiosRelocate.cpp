#include "platform/firmware/SmbiosRelocate.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/firmware/SmbiosWriter.h"

namespace torvex::platform::firmware {

namespace {

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return at + 1 < b.size() ? std::uint16_t(b[at] | b[at + 1] << 8) : 0;
}

std::uint32_t DWord(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(Word(b, at)) | std::uint32_t(Word(b, at + 2)) << 16;
}

std::uint64_t QWord(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint64_t(DWord(b, at)) | std::uint64_t(DWord(b, at + 4)) << 32;
}

bool StartsWith(const std::vector<std::uint8_t>& b, const char* anchor) {
    std::size_t n = std::strlen(anchor);
    return b.size() >= n && std::memcmp(b.data(), anchor, n) == 0;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> RelocateTables(const std::vector<std::uint8_t>& entry,
                                                        const std::vector<std::uint8_t>& table) {
    SmbiosTable out;
    std::size_t limit = table.size();   // bytes of the table to look at
    std::size_t maxCount = SIZE_MAX;    // structures the entry point announces
    if (StartsWith(entry, "_SM3_")) {
        if (entry.size() < 0x18) return std::nullopt;
        out.major = entry[7];
        out.minor = entry[8];
        limit = std::min<std::size_t>(limit, DWord(entry, 0x0C));
    } else if (StartsWith(entry, "_SM_")) {
        if (entry.size() < 0x1F) return std::nullopt;
        out.major = entry[6];
        out.minor = entry[7];
        limit = std::min<std::size_t>(limit, Word(entry, 0x16));
        maxCount = Word(entry, 0x1C);
    } else if (StartsWith(entry, "_DMI_")) {
        if (entry.size() < 0x0F) return std::nullopt;
        out.major = std::uint8_t(entry[0x0E] >> 4);
        out.minor = std::uint8_t(entry[0x0E] & 0x0F);
        limit = std::min<std::size_t>(limit, Word(entry, 0x06));
        maxCount = Word(entry, 0x0C);
    } else {
        return std::nullopt;
    }

    // The count stays the firmware's own: a table without an end-of-table
    // structure (SMBIOS 2.1 did not require one) gets none added, since
    // the count and the length already end it.
    const std::size_t room = kSegmentSize - 0x20 - kStringReadReach;
    std::size_t p = 0;
    while (p + 4 <= limit && out.count < maxCount) {
        std::size_t length = table[p + 1];
        if (length < 4 || p + length > limit) break;   // a damaged header ends the table
        std::size_t q = p + length;
        while (q + 1 < limit && (table[q] != 0 || table[q + 1] != 0)) ++q;
        if (q + 1 >= limit) break;                       // strings run past the end
        std::size_t size = q + 2 - p;
        if (out.structures.size() + size > room) break;
        out.structures.insert(out.structures.end(), table.begin() + long(p), table.begin() + long(p + size));
        out.largestStructure = std::max<std::uint16_t>(out.largestStructure, std::uint16_t(size));
        ++out.count;
        if (table[p] == 127) break;
        p += size;
    }
    return PlaceInSegment(out);
}

std::optional<std::vector<std::uint8_t>> RelocateDumpFile(const std::vector<std::uint8_t>& file, std::string& why) {
    std::uint64_t table = 0;
    std::size_t entrySize = 0;
    if (StartsWith(file, "_SM3_")) {
        table = QWord(file, 0x10);
        entrySize = 0x18;
    } else if (StartsWith(file, "_SM_")) {
        table = DWord(file, 0x18);
        entrySize = 0x1F;
    } else if (StartsWith(file, "_DMI_")) {
        table = DWord(file, 0x08);
        entrySize = 0x0F;
    } else {
        why = "no SMBIOS entry point (\"_SM_\", \"_SM3_\" or \"_DMI_\") at its start";
        return std::nullopt;
    }
    if (file.size() < entrySize) {
        why = "the entry point is cut short";
        return std::nullopt;
    }
    if (table < entrySize || table >= file.size()) {
        why = "the entry point's table address " + std::to_string(table) + " lies outside the file";
        return std::nullopt;
    }
    std::vector<std::uint8_t> entry(file.begin(), file.begin() + long(entrySize));
    std::vector<std::uint8_t> structures(file.begin() + long(table), file.end());
    auto image = RelocateTables(entry, structures);
    if (!image) why = "the entry point cannot be read";
    return image;
}

}  // namespace torvex::platform::firmware
