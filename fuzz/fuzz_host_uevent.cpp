// The kernel's device records (uevent and sysfs attributes: DRM connectors'
// EDID, SCSI devices' type, vendor and model) and the device rules over them.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/host/HostDevices.h"
#include "platform/machine/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    std::vector<KernelDevice> devices;
    try {
        devices = ParseKernelDevices(text, "devices.txt");
    } catch (const torvex::platform::MachineError&) {
        return 0;
    }
    // What is read must write back as a text the reader takes again (an
    // escaping MachineError here is a finding).
    ParseKernelDevices(SaveKernelDevices(devices), "saved.txt");
    // The device rules over the records: the DRM connectors' EDID, the SCSI
    // devices' type, vendor and model, and every other sysfs attribute kept.
    HostDeviceContext context;
    context.processors = 2;
    context.processorName = "Fuzz processor";
    auto classified = ClassifyDevices(devices, context);
    torvex::platform::Registry registry;
    ProjectDevices(registry, classified, context);
    return 0;
}
