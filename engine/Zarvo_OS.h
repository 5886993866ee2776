// Operating system: platform and version numbers, the version and
// service-pack texts, registration data, special folders, the environment,
// and four owned objects for the time zone, NT product data, internet
// settings and the system default locale.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "engine/Zarvo_Common.h"
#include "platform/classes/Classes.h"
#include "platform/win32/Win32.h"

namespace torvex::engine {

enum TOSPlatform { opWin31, opWin9x, opWinNT };
TORVEX_ENUM_NAMES(TOSPlatform, "opWin31", "opWin9x", "opWinNT")

enum TNtProductType { ptUnknown, ptWorkStation, ptServer, ptAdvancedServer };
TORVEX_ENUM_NAMES(TNtProductType, "ptUnknown", "ptWorkStation", "ptServer", "ptAdvancedServer")

enum TNTSuite {
    suSmallBusiness,
    suEnterprise,
    suBackOffice,
    suCommunications,
    suTerminal,
    suSmallBusinessRestricted,
    suEmbeddedNT,
    suDataCenter
};
TORVEX_ENUM_NAMES(TNTSuite, "suSmallBusiness", "suEnterprise", "suBackOffice", "suCommunications", "suTerminal",
                  "suSmallBusinessRestricted", "suEmbeddedNT", "suDataCenter")
using TNTSuites = std::set<TNTSuite>;

enum TConnectionType { ctNone, ctLAN, ctDialup };
TORVEX_ENUM_NAMES(TConnectionType, "ctNone", "ctLAN", "ctDialup")

enum TMeasureSystem { Metric, US };
TORVEX_ENUM_NAMES(TMeasureSystem, "Metric", "US")
enum TPositiveCurrencyMode {
    Prefix_No_Separation,
    Suffix_No_Separation,
    Prefix_One_Char_Separation,
    Suffix_One_Char_Separation
};
TORVEX_ENUM_NAMES(TPositiveCurrencyMode, "Prefix_No_Separation", "Suffix_No_Separation",
                  "Prefix_One_Char_Separation", "Suffix_One_Char_Separation")
enum TDateOrder { MDY, DMY, YMD };
TORVEX_ENUM_NAMES(TDateOrder, "MDY", "DMY", "YMD")
enum TTimeFormat { H12, H24 };
TORVEX_ENUM_NAMES(TTimeFormat, "H12", "H24")
enum TYearFormat { TwoDigit, FourDigit };
TORVEX_ENUM_NAMES(TYearFormat, "TwoDigit", "FourDigit")

// Days since 30 December 1899, the fraction the time of day.
using TDateTime = double;
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int milliseconds);
// The date-time text in the user's short date format, followed by the long
// time format unless the time of day is midnight (0 gives the zero date).
std::string DateTimeToStr(TDateTime value);
// The text of a date-time in a Windows date/time picture ("dd.MM.yyyy",
// "HH:mm:ss", "h:mm:ss tt").
std::string FormatDateTimePicture(const std::string& picture, TDateTime value);

// The instant of a time-zone transition record in a year: 0 for month 0;
// the absolute date when its year is set; else the day-th (5: last)
// dayOfWeek of the month, at the record's time.
TDateTime TransitionInstant(const win32::SYSTEMTIME& rule, int year);

// The negative currency patterns by the first digit of LOCALE_INEGCURR.
extern const char* const kNegativeCurrencyPatterns[10];

class TTimeZone : public TPersistent {
public:
    void GetInfo();
    void Report(TStringList& list) const;

    const std::string& DisplayName() const { return FDisplayName; }
    const std::string& StandardName() const { return FStandardName; }
    const std::string& DaylightName() const { return FDaylightName; }
    TDateTime DaylightStart() const { return FDaylightStart; }
    TDateTime StandardStart() const { return FStandardStart; }
    std::int32_t Bias() const { return FBias; }
    std::int32_t DaylightBias() const { return FDaylightBias; }
    std::int32_t StandardBias() const { return FStandardBias; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    std::string FDisplayName, FStandardName, FDaylightName;
    TDateTime FDaylightStart = 0, FStandardStart = 0;
    std::int32_t FBias = 0, FDaylightBias = 0, FStandardBias = 0;
};

class TNTSpecific : public TPersistent {
public:
    void GetInfo();
    void Report(TStringList& list) const;

    TNtProductType ProductType() const { return FProductType; }
    const TNTSuites& InstalledSuites() const { return FInstalledSuites; }
    std::uint16_t ServicePackMajorVersion() const { return FServicePackMajorVersion; }
    std::uint16_t ServicePackMinorVersion() const { return FServicePackMinorVersion; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    TNtProductType FProductType = ptUnknown;
    TNTSuites FInstalledSuites;
    std::uint16_t FServicePackMajorVersion = 0, FServicePackMinorVersion = 0;
};

class TInternet : public TPersistent {
public:
    void GetInfo();
    void Report(TStringList& list) const;

    const std::string& DefaultBrowser() const { return FDefaultBrowser; }
    const std::string& DefaultMailClient() const { return FDefaultMailClient; }
    TConnectionType ConnectionType() const { return FConnectionType; }
    const std::string& ProxyServer() const { return FProxyServer; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    std::string FDefaultBrowser, FDefaultMailClient, FProxyServer;
    TConnectionType FConnectionType = ctNone;
};

class TLocaleInfo : public TPersistent {
public:
    // Reads the items of a locale; an enumerated item whose first character
    // is not a digit of the enumeration raises EConvertError.
    void GetInfo(win32::LCID locale);
    void Report(TStringList& list) const;

    const std::string& FullLocalizeLanguage() const { return FFullLocalizeLanguage; }
    const std::string& FullLanguageEnglishName() const { return FFullLanguageEnglishName; }
    const std::string& AbbreviateLanguageName() const { return FAbbreviateLanguageName; }
    const std::string& CountryCode() const { return FCountryCode; }
    const std::string& FullCountryCode() const { return FFullCountryCode; }
    const std::string& AbbreviateCountryCode() const { return FAbbreviateCountryCode; }
    const std::string& ListSeparator() const { return FListSeparator; }
    TMeasureSystem MeasurementSystem() const { return FMeasurementSystem; }
    const std::string& DecimalSeparator() const { return FDecimalSeparator; }
    const std::string& NumberOfDecimalDigits() const { return FNumberOfDecimalDigits; }
    const std::string& LocalMonetarySymbol() const { return FLocalMonetarySymbol; }
    const std::string& InternationalMonetarySymbol() const { return FInternationalMonetarySymbol; }
    const std::string& CurrencyDecimalSeparator() const { return FCurrencyDecimalSeparator; }
    const std::string& CurrencyThousandSeparator() const { return FCurrencyThousandSeparator; }
    const std::string& CurrencyDecimalDigits() const { return FCurrencyDecimalDigits; }
    TPositiveCurrencyMode PositiveCurrencyMode() const { return FPositiveCurrencyMode; }
    const std::string& NegativeCurrencyMode() const { return FNegativeCurrencyMode; }
    const std::string& DateSeparator() const { return FDateSeparator; }
    const std::string& TimeSeparator() const { return FTimeSeparator; }
    const std::string& TimeFormat() const { return FTimeFormat; }
    const std::string& ShortDateFormat() const { return FShortDateFormat; }
    TDateOrder ShortDateOrder() const { return FShortDateOrder; }
    TDateOrder LongDateOrder() const { return FLongDateOrder; }
    TTimeFormat TimeFormatSpecifier() const { return FTimeFormatSpecifier; }
    TYearFormat YearFormat() const { return FYearFormat; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    std::string FFullLocalizeLanguage, FFullLanguageEnglishName, FAbbreviateLanguageName, FCountryCode,
        FFullCountryCode, FAbbreviateCountryCode, FListSeparator, FDecimalSeparator, FNumberOfDecimalDigits,
        FLocalMonetarySymbol, FInternationalMonetarySymbol, FCurrencyDecimalSeparator,
        FCurrencyThousandSeparator, FCurrencyDecimalDigits, FNegativeCurrencyMode, FDateSeparator,
        FTimeSeparator, FTimeFormat, FShortDateFormat;
    TMeasureSystem FMeasurementSystem = Metric;
    TPositiveCurrencyMode FPositiveCurrencyMode = Prefix_No_Separation;
    TDateOrder FShortDateOrder = MDY, FLongDateOrder = MDY;
    TTimeFormat FTimeFormatSpecifier = H12;
    TYearFormat FYearFormat = TwoDigit;
};

class TOperatingSystem : public TPersistent {
public:
    TOperatingSystem();
    ~TOperatingSystem() override;

    void GetInfo();
    void Report(TStringList& list) const;

    TExceptionMode ExceptionMode() const { return FExceptionMode; }
    void SetExceptionMode(TExceptionMode mode) { FExceptionMode = mode; }

    std::int32_t MajorVersion() const { return FMajorVersion; }
    std::int32_t MinorVersion() const { return FMinorVersion; }
    std::int32_t BuildNumber() const { return FBuildNumber; }
    TOSPlatform Platform() const { return FPlatform; }
    const std::string& Version() const { return FVersion; }
    const std::string& CSD() const { return FCSD; }
    const std::string& ProductID() const { return FProductID; }
    const std::string& ProductKey() const { return FProductKey; }
    const std::string& RegisteredUser() const { return FRegisteredUser; }
    const std::string& RegisteredOrg() const { return FRegisteredOrg; }
    const std::string& DVDRegion() const { return FDVDRegion; }
    const TTimeZone& TimeZone() const { return *FTimeZone; }
    const TStringList& Environment() const { return *FEnvironment; }
    const TStringList& Folders() const { return *FFolders; }
    const TNTSpecific& NTSpecific() const { return *FNTSpecific; }
    const TInternet& Internet() const { return *FInternet; }
    const TLocaleInfo& LocaleInfo() const { return *FLocaleInfo; }
    const std::string& LanguageID() const { return FLanguageID; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    void ReadRegistry();
    void AddSpecialFolders();

    TExceptionMode FExceptionMode = emMessage;
    std::int32_t FMajorVersion = 0, FMinorVersion = 0, FBuildNumber = 0;
    TOSPlatform FPlatform = opWin31;
    std::string FVersion, FCSD, FProductID, FProductKey, FRegisteredUser, FRegisteredOrg, FDVDRegion, FLanguageID;
    std::unique_ptr<TTimeZone> FTimeZone;
    std::unique_ptr<TStringList> FEnvironment, FFolders;
    std::unique_ptr<TNTSpecific> FNTSpecific;
    std::unique_ptr<TInternet> FInternet;
    std::unique_ptr<TLocaleInfo> FLocaleInfo;
};

}  // namespace torvex::engine
