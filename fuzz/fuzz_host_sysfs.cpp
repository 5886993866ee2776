// The kernel device list read from /sys (bus and class listings, uevent
// files, driver links, attributes, udev's database records), then the
// device rules over it and the saved form of it read back.
// The input is a small file tree (see FuzzTree.h) written into a temporary
// root, since this reader takes its files from a root folder.
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzTree.h"
#include "platform/host/HostDevices.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    using namespace torvex::platform::host;
    auto root = torvex::fuzz::FreshRoot("sysfs");
    torvex::fuzz::WriteTree(root, std::string_view(reinterpret_cast<const char*>(data), size));
    auto records = ReadSysfsDevices(root);
    HostDeviceContext context;
    ClassifyDevices(records, context);
    ParseKernelDevices(SaveKernelDevices(records), "fuzz");
    return 0;
}
