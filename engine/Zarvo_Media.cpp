#include "engine/Zarvo_Media.h"

#include "engine/Zarvo_Common.h"
#include "engine/Zarvo_Devices.h"
#include "platform/win32/Win32Media.h"

namespace torvex::engine {

namespace {

// Upper case of the ASCII letters only, as the name test has always been.
std::string UpperCase(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

// Adds the text unless the list holds exactly that text already.
void AddOnce(TStringList& list, const std::string& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (list[i] == text) return;
    list.Add(text);
}

// Every device of one kind whose capability query succeeds.
template <class Caps>
void AddDevices(TStringList& list, win32::UINT (*count)(), win32::MMRESULT (*query)(win32::UINT, Caps*, win32::UINT)) {
    win32::UINT n = count();
    for (win32::UINT id = 0; id < n; ++id) {
        Caps caps{};
        if (query(id, &caps, sizeof caps) != win32::MMSYSERR_NOERROR) continue;
        caps.szPname[win32::MAXPNAMELEN - 1] = '\0';
        AddOnce(list, MediaDeviceText(caps.szPname, caps.vDriverVersion));
    }
}

}  // namespace

std::string MediaDeviceText(const std::string& productName, std::uint32_t driverVersion) {
    return productName + " v" + std::to_string((driverVersion >> 8) & 0xFF) + "." +
           std::to_string(driverVersion & 0xFF);
}

TMedia::TMedia() {}

void TMedia::ReadDevices() const {
    if (FDevicesRead) return;
    FDevicesRead = true;
    TDevices devices;
    GuardedCall(GetInfoLabel(devices), emMessage, &TDevices::GetInfo, devices);
    for (int i = 0; i < devices.DeviceCount(); ++i) {
        TDevice d;
        if (!devices.GetDevice(i, d) || d.DeviceClass != dcMEDIA) continue;
        std::string name = d.FriendlyName.empty() ? d.Description : d.FriendlyName;
        int k = FDevices.Add(name);
        // A game port is never the sound card, whatever its location says;
        // the last one listed wins.
        if (UpperCase(name).find("GAME") != std::string::npos)
            FGamePortIndex = k;
        else if (!d.Location.empty() && FSoundCardIndex == -1)
            FSoundCardIndex = k;
    }
}

void TMedia::GetInfo() {
    ReadDevices();
    AddDevices(FWAVEOut, win32::waveOutGetNumDevs, win32::waveOutGetDevCapsA);
    AddDevices(FWAVEIn, win32::waveInGetNumDevs, win32::waveInGetDevCapsA);
    AddDevices(FMIDIOut, win32::midiOutGetNumDevs, win32::midiOutGetDevCapsA);
    AddDevices(FMIDIIn, win32::midiInGetNumDevs, win32::midiInGetDevCapsA);
    AddDevices(FAUX, win32::auxGetNumDevs, win32::auxGetDevCapsA);
    AddDevices(FMixer, win32::mixerGetNumDevs, win32::mixerGetDevCapsA);
}

void TMedia::Report(TStringList& lines) const {
    lines.Add("[Media]");
    ReadDevices();
    ListToReport(FDevices, "Count", "Device", lines);
    lines.Add("[Sound]");
    ListToReport(FWAVEIn, "WaveInCount", "WaveIn", lines);
    ListToReport(FWAVEOut, "WaveOutCount", "WaveOut", lines);
    ListToReport(FMIDIIn, "MIDIInCount", "MIDIIn", lines);
    ListToReport(FMIDIOut, "MIDIOutCount", "MIDIOut", lines);
    ListToReport(FAUX, "AUXCount", "AUX", lines);
    ListToReport(FMixer, "MixerCount", "Mixer", lines);
}

void TMedia::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    ReadDevices();
    published.Add("Devices", FDevices);
    published.Add("SoundCardIndex", FSoundCardIndex);
    published.Add("GamePortIndex", FGamePortIndex);
    published.Add("WAVEIn", FWAVEIn);
    published.Add("WAVEOut", FWAVEOut);
    published.Add("MIDIIn", FMIDIIn);
    published.Add("MIDIOut", FMIDIOut);
    published.Add("AUX", FAUX);
    published.Add("Mixer", FMixer);
}

}  // namespace torvex::engine
