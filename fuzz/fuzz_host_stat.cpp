// /proc/stat: the first processor's idle time.
#include <cstdint>
#include <string_view>

#include "platform/host/HostEngines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    Cpu0IdleTime(text, 100);
    Cpu0IdleTime(text, 1);
    return 0;
}
