#include "components/CpuIdentity.h"

#include <cstring>

#include "platform/win32/Win32.h"

namespace torvex::components {

CpuIdentity ReadCpuIdentity() {
    CpuIdentity id;
    if (!win32::CpuidAvailable()) return id;
    win32::CPUIDRegs r = win32::Cpuid(0);
    char vendor[13] = {};
    std::memcpy(vendor, &r.ebx, 4);
    std::memcpy(vendor + 4, &r.edx, 4);
    std::memcpy(vendor + 8, &r.ecx, 4);
    id.idString = vendor;   // ends at a zero byte
    r = win32::Cpuid(1);
    id.stepping = static_cast<std::int32_t>(r.eax & 0xF);
    id.model = static_cast<std::int32_t>((r.eax >> 4) & 0xF);
    id.family = static_cast<std::int32_t>((r.eax >> 8) & 0xF);
    id.features = r.edx;
    if (id.idString != "AuthenticAMD") return id;
    win32::DWORD highest = win32::Cpuid(0x80000000).eax;
    if ((highest & 0xFF) == 0) return id;
    id.extendedFeatures = win32::Cpuid(0x80000001).edx;
    // Only a processor that names an extended leaf range has brand-string
    // leaves; anything else answering here is the registers of another leaf.
    if (highest >= 0x80000004u && highest <= 0x8000FFFFu) {
        char brand[49] = {};
        for (win32::DWORD leaf = 0; leaf < 3; ++leaf) {
            win32::CPUIDRegs b = win32::Cpuid(0x80000002 + leaf);
            std::memcpy(brand + 16 * leaf, &b.eax, 4);
            std::memcpy(brand + 16 * leaf + 4, &b.ebx, 4);
            std::memcpy(brand + 16 * leaf + 8, &b.ecx, 4);
            std::memcpy(brand + 16 * leaf + 12, &b.edx, 4);
        }
        id.cpuName = brand;   // up to the first zero byte
    }
    return id;
}

}  // namespace torvex::components
