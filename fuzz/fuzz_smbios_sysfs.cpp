// The sysfs pair (entry point and table, as /sys/firmware/dmi/tables gives
// them) and a raw dump file, through the relocation into a segment image and
// on through the decoder. The first byte splits the input: that many bytes
// (at most 31) are the entry point, the rest the table.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Zarvo_SMBIOS.h"
#include "platform/firmware/SmbiosRelocate.h"

namespace {

void Decode(const std::vector<std::uint8_t>& image) {
    torvex::engine::TSMBIOS smbios;
    smbios.SetImage(image);
    smbios.GetInfo(0);
    torvex::classes::TStringList list;
    smbios.Report(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 0x20000) return 0;
    std::size_t split = std::min<std::size_t>(data[0] & 0x1F, size - 1);
    std::vector<std::uint8_t> entry(data + 1, data + 1 + split), table(data + 1 + split, data + size);
    if (auto image = torvex::platform::firmware::RelocateTables(entry, table)) Decode(*image);
    std::string why;
    std::vector<std::uint8_t> file(data + 1, data + size);
    if (auto image = torvex::platform::firmware::RelocateDumpFile(file, why)) Decode(*image);
    return 0;
}
