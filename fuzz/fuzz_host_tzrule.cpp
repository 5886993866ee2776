// The zone file's rule string (the POSIX TZ footer of a TZif file).
#include <cstdint>
#include <string_view>

#include "platform/host/HostTimeZone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    TzifFooter(text);
    if (auto rules = ParsePosixTz(text, 2003)) {
        TziBytes(*rules);
        NameHostTimeZone("Fuzz/Zone", *rules);
    }
    ParsePosixTz(text, 1970);
    ParsePosixTz(text, 2038);
    return 0;
}
