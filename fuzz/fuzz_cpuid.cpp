// The CPUID dump reader, and every question the simulated processor asks it.
#include <cstdint>
#include <string_view>

#include "platform/machine/Machine.h"
#include "platform/simulated/CpuidDump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using torvex::platform::CpuidDump;
    try {
        CpuidDump dump = CpuidDump::Parse(std::string_view(reinterpret_cast<const char*>(data), size), "cpuid.txt");
        dump.vendor();
        std::uint32_t maxBasic = dump.maxBasicLeaf();
        for (std::uint32_t leaf = 0; leaf <= std::min<std::uint32_t>(maxBasic, 32); ++leaf) dump.answer(leaf, 0);
        if (auto ext = dump.maxExtendedLeaf())
            for (std::uint32_t leaf = 0x80000000u; leaf <= std::min<std::uint32_t>(*ext, 0x80000020u); ++leaf)
                dump.answer(leaf, 1);
        dump.cpuType();
        dump.headerClockMhz();
    } catch (const torvex::platform::MachineError&) {
    }
    return 0;
}
