// The .reg reader, both formats (REGEDIT4 in the ANSI code page and the
// UTF-16 "Windows Registry Editor Version 5.00" one): a damaged file must be
// refused with a MachineError, never crash.
#include <cstdint>
#include <string_view>

#include "platform/machine/Machine.h"
#include "platform/machine/Registry.h"
#include "platform/simulated/RegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    torvex::platform::Registry registry;
    try {
        torvex::platform::ApplyRegFile(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.reg",
                                       registry);
    } catch (const torvex::platform::MachineError&) {
    }
    return 0;
}
