// Desktop entries (autostart and application files).
#include <cstdint>
#include <string_view>

#include "platform/host/HostStartup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    ParseDesktopEntry(text);
    return 0;
}
