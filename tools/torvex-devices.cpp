// Records and replays the live host's kernel device list:
//   torvex-devices save FILE   this machine's devices as the collection sees them
//   torvex-devices show FILE   the Windows devices the rules make of a saved
//                              list or of a `udevadm info --export-db` dump
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

#include "platform/host/HostDevices.h"
#include "platform/machine/Machine.h"

namespace host = torvex::platform::host;

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "save") != 0 && std::strcmp(argv[1], "show") != 0)) {
        std::fprintf(stderr, "usage: torvex-devices save|show FILE\n");
        return 2;
    }
    try {
        if (std::strcmp(argv[1], "save") == 0) {
            std::ofstream out(argv[2], std::ios::binary);
            out << host::SaveKernelDevices(host::CollectKernelDevices());
            if (!out.flush()) {
                std::fprintf(stderr, "torvex-devices: cannot write %s\n", argv[2]);
                return 1;
            }
            return 0;
        }
        host::HostDeviceContext context;
        for (const host::HostDevice& d : host::ClassifyDevices(host::LoadKernelDevices(argv[2]), context))
            std::printf("%-12s %s\\%s\\%s  %s%s%s\n", d.className.c_str(), d.enumerator.c_str(), d.deviceId.c_str(),
                        d.instance.c_str(), d.description.c_str(), d.service.empty() ? "" : "  service=",
                        d.service.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "torvex-devices: %s\n", e.what());
        return 1;
    }
}
