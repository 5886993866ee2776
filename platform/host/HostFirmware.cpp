#include "platform/host/HostFirmware.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/firmware/SmbiosWriter.h"
#include "platform/machine/TextUtil.h"

namespace torvex::platform::host {

namespace fs = std::filesystem;
using firmware::kSegmentBase;
using firmware::kSegmentSize;
using firmware::kStringReadReach;

namespace {

std::optional<std::vector<std::uint8_t>> ReadBytes(const fs::path& file) {
    auto text = ReadFileTraced(file, "firmware");
    if (!text) return std::nullopt;
    return std::vector<std::uint8_t>(text->begin(), text->end());
}

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return at + 1 < b.size() ? std::uint16_t(b[at] | b[at + 1] << 8) : 0;
}

std::uint32_t DWord(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(Word(b, at)) | std::uint32_t(Word(b, at + 2)) << 16;
}

bool StartsWith(const std::vector<std::uint8_t>& b, const char* anchor) {
    std::size_t n = std::strlen(anchor);
    return b.size() >= n && std::memcmp(b.data(), anchor, n) == 0;
}

// The first line of a one-value file, blanks trimmed; "" when unreadable.
std::string Value(const fs::path& file) {
    auto text = ReadFileTraced(file, "firmware");
    if (!text) return {};
    std::string line;
    ForEachLine(*text, [&](std::string_view l, int) {
        line = Trim(l);
        return false;
    });
    return line;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> RelocateTables(const std::vector<std::uint8_t>& entry,
                                                        const std::vector<std::uint8_t>& table) {
    firmware::SmbiosTable out;
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

    static const std::uint8_t kEndOfTable[] = {127, 4, 0xFF, 0xFE, 0, 0};
    const std::size_t room = kSegmentSize - 0x20 - kStringReadReach - sizeof(kEndOfTable);
    std::size_t p = 0;
    bool ended = false;
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
        if (table[p] == 127) {
            ended = true;
            break;
        }
        p += size;
    }
    if (!ended && out.count < 0xFFFF) {
        out.structures.insert(out.structures.end(), std::begin(kEndOfTable), std::end(kEndOfTable));
        ++out.count;
    }
    return firmware::PlaceInSegment(out);
}

std::optional<std::vector<std::uint8_t>> ImageFromDmiId(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return std::nullopt;
    auto v = [&](const char* name) { return Value(folder / name); };
    // Serial numbers and the UUID are readable by root only; the image
    // holds what every user sees.
    nlohmann::json d = {{"version", "2.3"}};
    d["bios"] = {{"vendor", v("bios_vendor")}, {"version", v("bios_version")}, {"date", v("bios_date")}};
    d["system"] = {{"manufacturer", v("sys_vendor")}, {"product", v("product_name")},
                   {"version", v("product_version")}};
    d["board"] = {{"manufacturer", v("board_vendor")}, {"product", v("board_name")},
                  {"version", v("board_version")}};
    d["chassis"] = {{"manufacturer", v("chassis_vendor")}, {"version", v("chassis_version")},
                    {"assetTag", v("chassis_asset_tag")}};
    std::string type = v("chassis_type");
    if (!type.empty() && type.find_first_not_of("0123456789") == std::string::npos && type.size() < 4 &&
        std::stoi(type) < 256)
        d["chassis"]["type"] = std::stoi(type);
    else
        d["chassis"]["type"] = 2;   // unknown
    return firmware::WriteSegmentImage(d, (folder).string());
}

FirmwareSegment HostFirmwareSegment(const fs::path& root) {
    FirmwareSegment segment;
    segment.access = FirmwareSegment::Access::section;
    auto entry = ReadBytes(root / "sys/firmware/dmi/tables/smbios_entry_point");
    auto table = ReadBytes(root / "sys/firmware/dmi/tables/DMI");
    if (entry && table) {
        if (auto image = RelocateTables(*entry, *table)) {
            segment.image = std::move(*image);
            return segment;
        }
        Trace("firmware", (root / "sys/firmware/dmi/tables/smbios_entry_point").string() +
                              ": unparsable entry point, trying the kernel's DMI texts");
    }
    try {
        if (auto image = ImageFromDmiId(root / "sys/class/dmi/id")) {
            segment.image = std::move(*image);
            return segment;
        }
        Trace("firmware", (root / "sys/class/dmi/id").string() + ": missing, the firmware segment stays empty");
    } catch (const std::exception& e) {
        // Texts the writer cannot take leave the segment empty, as on a
        // machine without DMI.
        Trace("firmware", std::string("the kernel's DMI texts rejected: ") + e.what());
    }
    segment.image.assign(kSegmentSize, 0);
    return segment;
}

}  // namespace torvex::platform::host
