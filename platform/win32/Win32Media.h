// The multimedia services' device counts and capability records (winmm).
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

using MMRESULT = UINT;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr int MAXPNAMELEN = 32;

// Each record begins with the manufacturer and product ids, the driver
// version (major in bits 8-15, minor in bits 0-7) and the product name.
struct WAVEOUTCAPSA {
    WORD wMid, wPid;
    DWORD vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels, wReserved1;
    DWORD dwSupport;
};
struct WAVEINCAPSA {
    WORD wMid, wPid;
    DWORD vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels, wReserved1;
};
struct MIDIOUTCAPSA {
    WORD wMid, wPid;
    DWORD vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    WORD wTechnology, wVoices, wNotes, wChannelMask;
    DWORD dwSupport;
};
struct MIDIINCAPSA {
    WORD wMid, wPid;
    DWORD vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD dwSupport;
};
struct AUXCAPSA {
    WORD wMid, wPid;
    DWORD vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    WORD wTechnology, wReserved1;
    DWORD dwSupport;
};
struct MIXERCAPSA {
    WORD wMid, wPid;
    DWORD vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD fdwSupport;
    DWORD cDestinations;
};
static_assert(sizeof(WAVEOUTCAPSA) == 52 && sizeof(WAVEINCAPSA) == 48 && sizeof(MIDIOUTCAPSA) == 52 &&
              sizeof(MIDIINCAPSA) == 44 && sizeof(AUXCAPSA) == 48 && sizeof(MIXERCAPSA) == 48);

// Counts of the devices of each kind, and the record of device number id
// (0 .. count-1). A size smaller than the record fails with
// MMSYSERR_INVALPARAM, a number past the last with MMSYSERR_BADDEVICEID;
// the product name is cut to 31 bytes in the machine's code page.
UINT waveOutGetNumDevs();
MMRESULT waveOutGetDevCapsA(UINT id, WAVEOUTCAPSA* caps, UINT size);
UINT waveInGetNumDevs();
MMRESULT waveInGetDevCapsA(UINT id, WAVEINCAPSA* caps, UINT size);
UINT midiOutGetNumDevs();
MMRESULT midiOutGetDevCapsA(UINT id, MIDIOUTCAPSA* caps, UINT size);
UINT midiInGetNumDevs();
MMRESULT midiInGetDevCapsA(UINT id, MIDIINCAPSA* caps, UINT size);
UINT auxGetNumDevs();
MMRESULT auxGetDevCapsA(UINT id, AUXCAPSA* caps, UINT size);
UINT mixerGetNumDevs();
MMRESULT mixerGetDevCapsA(UINT id, MIXERCAPSA* caps, UINT size);

}  // namespace win32
