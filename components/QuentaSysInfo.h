// TQuentaSysInfo: answers questions about the running Windows at the moment
// a property is read. It holds no facts of its own and has no refresh: every
// read goes to the Win32-shaped layer; assigning a setting changes it in the
// running system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/Classes.h"
#include "platform/win32/Win32.h"

namespace torvex::components {

// The processor identification, read once when the object is created.
class TQuentaCPUInfoObject : public classes::TPersistent {
public:
    TQuentaCPUInfoObject();

    const std::string& IDString() const { return FIDString; }
    std::int32_t Stepping() const { return FStepping; }
    std::int32_t Model() const { return FModel; }
    std::int32_t Family() const { return FFamily; }
    bool FPU() const { return Bit(0); }
    bool VirtualModeExtensions() const { return Bit(1); }
    bool DebuggingExtensions() const { return Bit(2); }
    bool PageSizeExtensions() const { return Bit(3); }
    bool TimeStampCoutner() const { return Bit(4); }
    bool K86_ModelSpecificRegisters() const { return Bit(5); }
    bool MachineCheckException() const { return Bit(7); }
    bool CMP_XCHG_8B() const { return Bit(8); }
    bool APIC() const { return Bit(9); }
    bool MemoryTypeRangeRegisters() const { return Bit(12); }
    bool GlobalPaging() const { return Bit(13); }
    bool Cond_MOVE_Instruct() const { return Bit(15); }
    bool MMX() const { return Bit(23); }
    bool SysCallAndSysRet() const { return (FExtendedFeatures >> 11) & 1; }
    bool FPCond_MOVE_Instruct() const { return (FExtendedFeatures >> 16) & 1; }
    bool AMD3DNow() const { return (FExtendedFeatures >> 31) & 1; }
    const std::string& CPUName() const { return FCPUName; }
    // Asked of the processor on every read.
    bool ExistCPUInfo() const;

protected:
    void PublishProperties(classes::TPublished& published) const override;

private:
    void Identify();
    bool Bit(int n) const { return (FFeatures >> n) & 1; }

    std::string FIDString, FCPUName;
    std::int32_t FStepping = 0, FModel = 0, FFamily = 0;
    std::uint32_t FFeatures = 0, FExtendedFeatures = 0;
};

// A non-visual component: a form owns it, and its properties are listed
// like those of any component (each listing reads the system anew).
class TQuentaSysInfo : public classes::TComponent {
public:
    explicit TQuentaSysInfo(classes::TComponent* owner = nullptr);
    ~TQuentaSysInfo() override;
    TQuentaSysInfo(const TQuentaSysInfo&) = delete;
    TQuentaSysInfo& operator=(const TQuentaSysInfo&) = delete;

    // ------------------------------------------------------------ text properties
    std::string CurrentUser() const;
    // From the registration key, opened with full access: "(Unknown)" when
    // it cannot be opened that way (a user without write rights to it).
    std::string RegisteredCompany() const;
    std::string RegisteredOwner() const;
    // Major and minor version of the running Windows as "%d.%d" ("4.10" on
    // Windows 98); "0.0" when the version cannot be read.
    std::string VersionWIN() const;
    std::string WinPath() const;
    std::string WinSysPath() const;
    // Windows 9x: free resources of the 16-bit heaps, "%d %"; "0 %" on NT.
    std::string FreeGdiRes() const;
    std::string FreeUsrRes() const;
    std::string FreeSysRes() const;
    std::string MemoryLoaded() const;
    std::string Platform() const;
    std::string TempPath() const;
    std::string Computername() const;
    std::string ProcessorType() const;
    std::string DefaultLanguageString() const;
    std::string TimeZone() const;

    // ------------------------------------------------------------ integer properties
    std::int32_t BuildNumber() const;
    std::int32_t MemPhysTotal() const;
    std::int32_t MemPhysFree() const;
    std::int32_t MemVirtTotal() const;
    std::int32_t MemVirtFree() const;
    std::int32_t MemPageTotal() const;
    std::int32_t MemPageFree() const;
    std::int32_t ScreenSaverDelay() const;
    std::int32_t DefaultLanguageID() const;
    std::int32_t TimeZoneDiff() const;
    std::int32_t ScreenWidth() const;
    std::int32_t ScreenHeight() const;
    std::int32_t ScreenPPi() const;
    std::uint8_t ProcessorNumber() const;
    std::uint8_t ColorDepth() const;
    std::int32_t KeyboardDelay() const;
    void SetKeyboardDelay(std::int32_t value);
    std::int32_t KeyboardSpeed() const;
    void SetKeyboardSpeed(std::int32_t value);

    // ------------------------------------------------------------ Boolean properties
    bool NumLockState() const;
    void SetNumLockState(bool on);
    bool CapsLockState() const;
    void SetCapsLockState(bool on);
    bool ScrollLockState() const;
    void SetScrollLockState(bool on);
    bool WindowAnimation() const;
    void SetWindowAnimation(bool on);
    bool WarningBeep() const;
    void SetWarningBeep(bool on);
    bool ScreenSaveActive() const;
    void SetScreenSaveActive(bool on);
    bool FontSmoothing() const;
    void SetFontSmoothing(bool on);
    bool DragFullWindows() const;
    void SetDragFullWindows(bool on);
    bool SnapToDefaultButton() const;
    void SetSnapToDefaultButton(bool on);
    bool PlusAvailable() const { return FPlusAvailable; }

    // ------------------------------------------------------------ list properties
    // Refilled with the process environment on every read.
    const classes::TStringList& Environment() const;
    classes::TStringList AllFonts() const;
    classes::TStringList AllPrinters() const;

    // ------------------------------------------------------------ locale properties
    // Each reads the thread locale's item ("Hallo" when the system does not
    // know it) and writes it for the thread locale.
#define TORVEX_LOCALE_PROPERTY(Name)        \
    std::string Name() const;                \
    void Set##Name(const std::string& value);
    TORVEX_LOCALE_PROPERTY(LocaleCalendarType)
    TORVEX_LOCALE_PROPERTY(LocaleCurrencyDigits)
    TORVEX_LOCALE_PROPERTY(LocaleICurrency)
    TORVEX_LOCALE_PROPERTY(LocaleDigits)
    TORVEX_LOCALE_PROPERTY(LocaleFirstDayOfWeek)
    TORVEX_LOCALE_PROPERTY(LocaleFirstWeekOfYear)
    TORVEX_LOCALE_PROPERTY(LocaleZero)
    TORVEX_LOCALE_PROPERTY(LocaleMeasureSystem)
    TORVEX_LOCALE_PROPERTY(LocaleNegativeCurrencyFormat)
    TORVEX_LOCALE_PROPERTY(LocaleNegativeNumberFormat)
    TORVEX_LOCALE_PROPERTY(LocaleTime)
    TORVEX_LOCALE_PROPERTY(LocaleMorningSymbol)
    TORVEX_LOCALE_PROPERTY(LocaleAfternoonSymbol)
    TORVEX_LOCALE_PROPERTY(LocaleCurrencySymbol)
    TORVEX_LOCALE_PROPERTY(LocaleDateSeparator)
    TORVEX_LOCALE_PROPERTY(LocaleDecimalSeparator)
    TORVEX_LOCALE_PROPERTY(LocaleNumericGrouping)
    TORVEX_LOCALE_PROPERTY(LocaleListSeparator)
    TORVEX_LOCALE_PROPERTY(LocaleLongDateFormat)
    TORVEX_LOCALE_PROPERTY(LocaleMonthDecimalSeparator)
    TORVEX_LOCALE_PROPERTY(LocaleCurrencyGrouping)
    TORVEX_LOCALE_PROPERTY(LocaleThousandSeparator)
    TORVEX_LOCALE_PROPERTY(LocaleNegativeSign)
    TORVEX_LOCALE_PROPERTY(LocalePositiveSign)
    TORVEX_LOCALE_PROPERTY(LocaleShortDateFormat)
    TORVEX_LOCALE_PROPERTY(LocaleThousand)
    TORVEX_LOCALE_PROPERTY(LocaleTimeSeparator)
    TORVEX_LOCALE_PROPERTY(LocaleShortTimeFormat)
#undef TORVEX_LOCALE_PROPERTY

    const TQuentaCPUInfoObject& ProcessorInfo() const { return *FProcessorInfo; }

protected:
    void PublishProperties(classes::TPublished& published) const override;

private:
    std::string Registration(const char* value) const;
    std::string FreeResources(win32::WORD selector) const;
    bool GetFlag(win32::UINT action) const;
    void SetFlag(win32::UINT action, bool on);
    bool LockState(int key) const;
    void SetLockState(int key, bool on);
    std::string LocaleItem(win32::LCTYPE item) const;
    void SetLocaleItem(win32::LCTYPE item, const std::string& value);

    bool FIsNT = false;
    bool FPlusAvailable = false;
    std::unique_ptr<classes::TStringList> FEnvironment;
    std::unique_ptr<TQuentaCPUInfoObject> FProcessorInfo;
};

}  // namespace torvex::components
