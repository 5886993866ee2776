// machine.json with the base/variant merge. The input is a variant's facts,
// optionally followed by a line "#base" and the facts of the machine it is
// based on; they are written as <tmp>/m/machine.json and <tmp>/base/
// machine.json, so that "base": "../base" names the second. Anything the
// machine would write goes to an overlay inside the same temporary folder.
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzTree.h"
#include "platform/machine/Machine.h"
#include "platform/simulated/SimulatedMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 262144) return 0;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto root = torvex::fuzz::FreshRoot("machine_json");
    std::string_view variant = input, base;
    if (auto at = input.find("\n#base\n"); at != std::string_view::npos) {
        variant = input.substr(0, at);
        base = input.substr(at + 7);
        torvex::fuzz::WriteFile(root / "base" / "machine.json", base);
    }
    torvex::fuzz::WriteFile(root / "m" / "machine.json", variant);
    try {
        auto machine = torvex::platform::SimulatedMachine::Load(root / "m", root / "overlay");
        machine->description();
        machine->version();
        machine->systemInfo();
        machine->memoryStatus();
        machine->environment();
        machine->localTime();
    } catch (const torvex::platform::MachineError&) {
    }
    return 0;
}
