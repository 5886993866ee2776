#include <cstdlib>
#include <iostream>
#include <mutex>

#include "platform/machine/Machine.h"

namespace torvex::platform {

MachineError::MachineError(const std::string& file, int line, const std::string& what)
    : std::runtime_error(line > 0 ? file + ":" + std::to_string(line) + ": " + what
                                  : file + ": " + what),
      file_(file),
      line_(line) {}

namespace {

std::unique_ptr<Machine>& Slot() {
    static std::unique_ptr<Machine> machine;
    return machine;
}

}  // namespace

Machine& ActiveMachine() {
    auto& slot = Slot();
    if (!slot) {
        // The machine is a setting of the layer, as a compatibility layer's
        // prefix is; the program itself keeps no environment variables.
        const char* folder = std::getenv("TORVEX_MACHINE");
        if (folder && *folder)
            slot = LoadSimulatedMachine(folder);
        else
            slot = CreateHostMachine("/");
    }
    return *slot;
}

void SetActiveMachine(std::unique_ptr<Machine> machine) { Slot() = std::move(machine); }

}  // namespace torvex::platform
