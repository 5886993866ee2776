// The simulated PC's volume labels, renamed in memory, and its processors'
// idle time.
#include <cctype>

#include "platform/simulated/SimulatedMachine.h"

namespace torvex::platform {

// A rename lives as long as the loaded machine: the folder is never written.
bool SimulatedMachine::setVolumeLabel(char letter, const std::string& label) {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    auto facts = drive(upper);
    if (!facts || !facts->volume) return false;
    volumeLabels_[upper] = label;
    return true;
}

// The simulated processors only run while the program asks them something;
// the time the program sleeps they spend idle, every one of them.
std::optional<std::uint64_t> SimulatedMachine::processorIdleTime() {
    advance();
    std::uint64_t processors = systemInfo_.processors ? systemInfo_.processors : 1;
    return sleptNs_ / 100u * processors;
}

}  // namespace torvex::platform
