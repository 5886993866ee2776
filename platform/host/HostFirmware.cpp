#include "platform/host/HostFirmware.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/firmware/SmbiosRelocate.h"
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

std::optional<std::vector<std::uint8_t>> ImageFromDmiId(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return std::nullopt;
    // The kernel shows the firmware's own bytes; read as the code page the
    // segment holds, they go back into it unchanged.
    auto v = [&](const char* name) { return Cp1252ToUtf8(Value(folder / name)); };
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
        if (auto image = firmware::RelocateTables(*entry, *table)) {
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
