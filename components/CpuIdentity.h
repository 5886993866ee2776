// What the processor says of itself through CPUID: the vendor text, the
// signature, the feature words and, on AMD processors with the leaves, the
// brand string. The system-information object and the processor component
// both show it.
#pragma once

#include <cstdint>
#include <string>

namespace torvex::components {

struct CpuIdentity {
    std::string idString, cpuName;
    std::int32_t stepping = 0, model = 0, family = 0;
    std::uint32_t features = 0, extendedFeatures = 0;
};

// Everything empty or zero on a processor without CPUID.
CpuIdentity ReadCpuIdentity();

}  // namespace torvex::components
