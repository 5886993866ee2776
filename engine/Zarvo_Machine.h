// The machine as a whole: its names, boot and up time, the keyboard's lock
// states, the computer model, the firmware's identification strings and its
// SMBIOS tables. This unit also holds the duration formatter that writes a
// number of seconds as words or as a clock text, shared by the machine's up
// time, the battery times and the windows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/Zarvo_Common.h"
#include "engine/Zarvo_OS.h"
#include "engine/Zarvo_SMBIOS.h"
#include "platform/classes/Classes.h"

namespace torvex::engine {

// Seconds as text. The units, greedily: centuries (877,200 hours), years
// (365.5 days), months (31 days), weeks, days, hours, minutes, seconds.
//  - neither flag: the word form, from the largest unit that is not zero
//    down to the seconds, zeros included ("1 Hour, 0 Minutes, 1 Second.");
//  - allUnits: every unit from centuries down, in words;
//  - clockForm: "hh:mm:ss" of the hours, minutes and seconds alone;
//  - both: "yy.mm.dd hh:mm:ss", weeks counted as days, centuries left out.
// wholeSeconds writes the seconds without decimals, else with two.
// A negative count is taken as zero.
std::string FormatSeconds(std::int64_t seconds, bool wholeSeconds, bool allUnits, bool clockForm);

// The firmware's identification strings. NT keeps them in the registry's
// hardware description; Windows 9x lets a program read them straight from
// the firmware segment.
class TBIOS : public TPersistent {
public:
    void GetInfo();
    void Report(TStringList& list) const;

    const std::string& Name() const { return FName; }
    const std::string& Copyright() const { return FCopyright; }
    const std::string& Date() const { return FDate; }
    const std::string& ExtendedInfo() const { return FExtendedInfo; }

    // Where Windows 9x finds the strings in the segment.
    static constexpr std::uint32_t kNameAddress = 0xFE061;
    static constexpr std::uint32_t kCopyrightAddress = 0xFE091;
    static constexpr std::uint32_t kExtendedInfoAddress = 0xFEC71;
    static constexpr std::uint32_t kDateAddress = 0xFFFF5;

protected:
    void PublishProperties(TPublished& published) const override;

private:
    void GetInfoNT();
    void GetInfo9x();

    std::string FName, FCopyright, FDate, FExtendedInfo;
};

class TMachine : public TPersistent {
public:
    // Finds the computer model in a device list of its own, made for the
    // question and freed again.
    TMachine();
    ~TMachine() override;

    // mode 1 reads everything, the firmware tables included; any other mode
    // only the names, times and lock keys (and the BIOS strings), for a
    // quick refresh every second.
    void GetInfo(int mode);
    void Report(TStringList& list) const;

    TExceptionMode ExceptionMode() const { return FExceptionMode; }
    void SetExceptionMode(TExceptionMode mode) { FExceptionMode = mode; }

    const std::string& Name() const { return FName; }
    const std::string& User() const { return FUser; }
    // Seconds since the system started.
    long double SystemUpTime() const { return FSystemUpTime; }
    TDateTime LastBoot() const { return FLastBoot; }
    bool CapsLock() const { return FCapsLock; }
    bool NumLock() const { return FNumLock; }
    bool ScrollLock() const { return FScrollLock; }
    // The model of the computer as the device list names it; the list is
    // read with the first question, so a root that never shows the model
    // never walks the devices.
    const std::string& Computer() const;
    TSMBIOS& SMBIOS() const { return *FSMBIOS; }
    TBIOS& BIOS() const { return *FBIOS; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    TExceptionMode FExceptionMode = emMessage;
    std::string FName, FUser;
    long double FSystemUpTime = 0;
    TDateTime FLastBoot = 0;
    bool FCapsLock = false, FNumLock = false, FScrollLock = false;
    mutable std::optional<std::string> FComputer;
    std::unique_ptr<TSMBIOS> FSMBIOS;
    std::unique_ptr<TBIOS> FBIOS;
};

}  // namespace torvex::engine
