// The firmware decoder over a 64 KB segment image, as read below 1 MB.
#include <cstdint>
#include <vector>

#include "engine/Zarvo_SMBIOS.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > torvex::engine::TSMBIOS::kImageSize) return 0;
    torvex::engine::TSMBIOS smbios;
    smbios.SetImage(std::vector<std::uint8_t>(data, data + size));
    smbios.GetInfo(0);
    torvex::classes::TStringList list;
    smbios.Report(list);
    for (int i = 0; i < smbios.MemorySlotCount(); ++i) smbios.MemoryBank(i);
    for (int i = 0; i < smbios.PortCount(); ++i) smbios.Port(i);
    for (int i = 0; i < smbios.SystemSlotCount(); ++i) smbios.SystemSlot(i);
    for (int i = 0; i < smbios.CacheCount(); ++i) smbios.Cache(i);
    return 0;
}
