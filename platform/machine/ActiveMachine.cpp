#include <cstdlib>
#include <iostream>
#include <mutex>

#include "platform/machine/Machine.h"

// The choice between the backends, built above both of them (the rest of
// the machine interface knows neither).

namespace torvex::platform {

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

void SetActiveMachine(std::unique_ptr<Machine> machine) {
    Slot() = std::move(machine);
    // The lock keys toggled on the last machine were that machine's.
    ForgetProgramKeyToggles();
}

}  // namespace torvex::platform
