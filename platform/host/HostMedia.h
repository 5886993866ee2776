// The host's sound devices in the shape of Windows' multimedia services,
// from ALSA's files below root/proc/asound: each playback PCM device is a
// wave-out device, each capture PCM device a wave-in device, each raw MIDI
// device's output and input a MIDI-out and MIDI-in device, and each card has
// one mixer. The version is that of the card's kernel module where the module
// carries one (/sys/module/<module>/version), else 0.0. Auxiliary devices
// have no counterpart. A host without ALSA cards has none of any kind.
#pragma once

#include <filesystem>

#include "platform/machine/Machine.h"

namespace torvex::platform::host {

MediaFacts HostMediaFacts(const std::filesystem::path& root);

}  // namespace torvex::platform::host
