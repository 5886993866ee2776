#include "platform/win32/Win32Media.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/machine/Machine.h"

namespace win32 {

using torvex::platform::ActiveMachine;
using torvex::platform::MediaDevice;
using torvex::platform::MediaKind;

namespace {

std::vector<MediaDevice> DevicesOf(MediaKind kind) {
    auto facts = ActiveMachine().media();
    if (!facts) return {};
    return facts->of(kind);
}

UINT Count(MediaKind kind) { return UINT(DevicesOf(kind).size()); }

// Fills the head every capability record shares. The name is cut to the
// record's 31 bytes on a character boundary, so that no half character of a
// UTF-8 text is handed out.
template <class Caps>
MMRESULT Fill(MediaKind kind, UINT id, Caps* caps, UINT size) {
    if (!caps || size < sizeof(Caps)) return MMSYSERR_INVALPARAM;
    std::vector<MediaDevice> devices = DevicesOf(kind);
    if (id >= devices.size()) return MMSYSERR_BADDEVICEID;
    const MediaDevice& d = devices[id];
    std::memset(caps, 0, sizeof(Caps));
    caps->wMid = d.manufacturerId;
    caps->wPid = d.productId;
    caps->vDriverVersion = d.driverVersion;
    std::size_t n = std::min<std::size_t>(d.name.size(), MAXPNAMELEN - 1);
    while (n > 0 && n < d.name.size() && (static_cast<unsigned char>(d.name[n]) & 0xC0) == 0x80) --n;
    std::memcpy(caps->szPname, d.name.data(), n);
    return MMSYSERR_NOERROR;
}

}  // namespace

UINT waveOutGetNumDevs() { return Count(MediaKind::waveOut); }
MMRESULT waveOutGetDevCapsA(UINT id, WAVEOUTCAPSA* caps, UINT size) { return Fill(MediaKind::waveOut, id, caps, size); }
UINT waveInGetNumDevs() { return Count(MediaKind::waveIn); }
MMRESULT waveInGetDevCapsA(UINT id, WAVEINCAPSA* caps, UINT size) { return Fill(MediaKind::waveIn, id, caps, size); }
UINT midiOutGetNumDevs() { return Count(MediaKind::midiOut); }
MMRESULT midiOutGetDevCapsA(UINT id, MIDIOUTCAPSA* caps, UINT size) { return Fill(MediaKind::midiOut, id, caps, size); }
UINT midiInGetNumDevs() { return Count(MediaKind::midiIn); }
MMRESULT midiInGetDevCapsA(UINT id, MIDIINCAPSA* caps, UINT size) { return Fill(MediaKind::midiIn, id, caps, size); }
UINT auxGetNumDevs() { return Count(MediaKind::aux); }
MMRESULT auxGetDevCapsA(UINT id, AUXCAPSA* caps, UINT size) { return Fill(MediaKind::aux, id, caps, size); }
UINT mixerGetNumDevs() { return Count(MediaKind::mixer); }
MMRESULT mixerGetDevCapsA(UINT id, MIXERCAPSA* caps, UINT size) { return Fill(MediaKind::mixer, id, caps, size); }

}  // namespace win32
