// The multimedia devices: those of the device list, with the sound card and
// the game port among them, and the wave, MIDI, auxiliary and mixer devices
// of the multimedia services.
#pragma once

#include <cstdint>
#include <string>

#include "platform/classes/Classes.h"

namespace torvex::engine {

using namespace torvex::classes;

// "<name> v<major>.<minor>" of a capability record's product name and driver
// version (0105h: "v1.5").
std::string MediaDeviceText(const std::string& productName, std::uint32_t driverVersion);

class TMedia : public TPersistent {
public:
    // Lists the multimedia-class devices of a device list of its own and
    // finds the sound card and the game port among them; fixed for the
    // object's life.
    TMedia();

    // Adds the devices of each kind that are not listed yet; nothing is
    // ever removed.
    void GetInfo();
    void Report(TStringList& lines) const;

    const TStringList& Devices() const {
        ReadDevices();
        return FDevices;
    }
    std::int32_t SoundCardIndex() const {
        ReadDevices();
        return FSoundCardIndex;
    }
    std::int32_t GamePortIndex() const {
        ReadDevices();
        return FGamePortIndex;
    }
    const TStringList& WAVEIn() const { return FWAVEIn; }
    const TStringList& WAVEOut() const { return FWAVEOut; }
    const TStringList& MIDIIn() const { return FMIDIIn; }
    const TStringList& MIDIOut() const { return FMIDIOut; }
    const TStringList& AUX() const { return FAUX; }
    const TStringList& Mixer() const { return FMixer; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    mutable TStringList FDevices;
    mutable std::int32_t FSoundCardIndex = -1;
    mutable std::int32_t FGamePortIndex = -1;
    mutable bool FDevicesRead = false;
    // The media devices of the device list, read with the first question
    // that needs them, so a root that never shows them never walks the
    // devices.
    void ReadDevices() const;
    TStringList FWAVEIn, FWAVEOut, FMIDIIn, FMIDIOut, FAUX, FMixer;
};

}  // namespace torvex::engine
