// The PE version-resource reader, and the queries made of the block it finds.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Win32Version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> image(data, data + size);
    std::string error;
    std::vector<std::uint8_t> raw = torvex::platform::ReadPeVersionResource(image, error);
    if (raw.empty()) return 0;
    // The block as GetFileVersionInfoA hands it over: the resource, then
    // room for the texts VerQueryValueA converts (twice its size again).
    std::vector<std::uint8_t> block(((raw.size() + 3) & ~std::size_t{3}) * 3, 0);
    std::copy(raw.begin(), raw.end(), block.begin());
    static const char* const kQueries[] = {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904E4\\FileVersion",
                                           "\\StringFileInfo\\040904B0\\CompanyName", "\\StringFileInfo"};
    for (const char* q : kQueries) {
        void* value = nullptr;
        win32::UINT length = 0;
        if (win32::VerQueryValueA(block.data(), q, &value, &length) && value) {
            // Whatever is answered must lie inside the block.
            auto* p = static_cast<const std::uint8_t*>(value);
            if (p < block.data() || p + length > block.data() + block.size()) __builtin_trap();
        }
    }
    return 0;
}
