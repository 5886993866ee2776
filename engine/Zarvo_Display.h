// The display: the adapter with its chip, converter and memory, the video
// firmware's texts, the screen's metrics and drawing capabilities, and the
// display modes the adapter offers.
#pragma once

#include <cstdint>
#include <string>

#include "platform/classes/Classes.h"

namespace torvex::engine {

using namespace torvex::classes;

// A set of the elements of an enumeration, as its capability bits make it.
template <class E>
class TCapSet {
public:
    bool Contains(E e) const { return (FBits >> unsigned(e)) & 1u; }
    void Include(E e) { FBits |= 1u << unsigned(e); }
    void Clear() { FBits = 0; }
    bool Empty() const { return FBits == 0; }
    bool operator==(const TCapSet&) const = default;

private:
    std::uint32_t FBits = 0;
};

enum TCurveCap { ccCircles, ccPieWedges, ccChords, ccEllipses, ccWideBorders, ccStyledBorders,
                 ccWideStyledBorders, ccInteriors, ccRoundedRects };
enum TLineCap { lcPolylines, lcMarkers, lcMultipleMarkers, lcWideLines, lcStyledLines, lcWideStyledLines,
                lcInteriors };
enum TPolygonCap { pcAltFillPolygons, pcRectangles, pcWindingFillPolygons, pcSingleScanlines, pcWideBorders,
                   pcStyledBorders, pcWideStyledBorders, pcInteriors };
enum TRasterCap { rcRequiresBanding, rcTranserBitmaps, rcBitmaps64K, rcSetGetDIBits, rcSetDIBitsToDevice,
                  rcFloodfills, rcWindows2xFeatures, rcPaletteBased, rcScaling, rcStretchBlt, rcStretchDIBits };
enum TTextCap { tcCharOutPrec, tcStrokeOutPrec, tcStrokeClipPrec, tcCharRotation90, tcCharRotationAny,
                tcScaleIndependent, tcDoubledCharScaling, tcIntMultiScaling, tcAnyMultiExactScaling,
                tcDoubleWeightChars, tcItalics, tcUnderlines, tcStrikeouts, tcRasterFonts, tcVectorFonts,
                tcNoScrollUsingBlts };
TORVEX_ENUM_NAMES(TCurveCap, "ccCircles", "ccPieWedges", "ccChords", "ccEllipses", "ccWideBorders",
                  "ccStyledBorders", "ccWideStyledBorders", "ccInteriors", "ccRoundedRects")
TORVEX_ENUM_NAMES(TLineCap, "lcPolylines", "lcMarkers", "lcMultipleMarkers", "lcWideLines", "lcStyledLines",
                  "lcWideStyledLines", "lcInteriors")
TORVEX_ENUM_NAMES(TPolygonCap, "pcAltFillPolygons", "pcRectangles", "pcWindingFillPolygons",
                  "pcSingleScanlines", "pcWideBorders", "pcStyledBorders", "pcWideStyledBorders", "pcInteriors")
TORVEX_ENUM_NAMES(TRasterCap, "rcRequiresBanding", "rcTranserBitmaps", "rcBitmaps64K", "rcSetGetDIBits",
                  "rcSetDIBitsToDevice", "rcFloodfills", "rcWindows2xFeatures", "rcPaletteBased", "rcScaling",
                  "rcStretchBlt", "rcStretchDIBits")
TORVEX_ENUM_NAMES(TTextCap, "tcCharOutPrec", "tcStrokeOutPrec", "tcStrokeClipPrec", "tcCharRotation90",
                  "tcCharRotationAny", "tcScaleIndependent", "tcDoubledCharScaling", "tcIntMultiScaling",
                  "tcAnyMultiExactScaling", "tcDoubleWeightChars", "tcItalics", "tcUnderlines", "tcStrikeouts",
                  "tcRasterFonts", "tcVectorFonts", "tcNoScrollUsingBlts")
using TCurveCaps = TCapSet<TCurveCap>;
using TLineCaps = TCapSet<TLineCap>;
using TPolygonCaps = TCapSet<TPolygonCap>;
using TRasterCaps = TCapSet<TRasterCap>;
using TTextCaps = TCapSet<TTextCap>;

// The sets a capability value makes; a value of 0 gives the empty set.
TCurveCaps CurveCapsOf(std::uint32_t bits);
TLineCaps LineCapsOf(std::uint32_t bits);
TPolygonCaps PolygonCapsOf(std::uint32_t bits);
TRasterCaps RasterCapsOf(std::uint32_t bits);
TTextCaps TextCapsOf(std::uint32_t bits);

// The text of a TECHNOLOGY value ("Raster Display"); "" outside 0..6.
std::string TechnologyText(int technology);

class TDisplay : public TPersistent {
public:
    // Finds the adapter in a device list of its own; the adapter stays the
    // same for the object's life.
    TDisplay();

    void GetInfo();
    void Report(TStringList& lines) const;

    const std::string& Adapter() const {
        ReadAdapterDevice();
        return FAdapter;
    }
    const std::string& DAC() const { return FDAC; }
    const std::string& Chipset() const { return FChipset; }
    std::int32_t Memory() const { return FMemory; }
    std::int32_t HorzRes() const { return FHorzRes; }
    std::int32_t VertRes() const { return FVertRes; }
    std::int32_t ColorDepth() const { return FColorDepth; }
    const std::string& BIOSVersion() const { return FBIOSVersion; }
    const std::string& BIOSDate() const { return FBIOSDate; }
    const std::string& Technology() const { return FTechnology; }
    std::int32_t PixelWidth() const { return FPixelWidth; }
    std::int32_t PixelHeight() const { return FPixelHeight; }
    std::int32_t PixelDiagonal() const { return FPixelDiagonal; }
    const TCurveCaps& CurveCaps() const { return FCurveCaps; }
    const TLineCaps& LineCaps() const { return FLineCaps; }
    const TPolygonCaps& PolygonCaps() const { return FPolygonCaps; }
    const TRasterCaps& RasterCaps() const { return FRasterCaps; }
    const TTextCaps& TextCaps() const { return FTextCaps; }
    const TStringList& Modes() const { return FModes; }
    std::uint32_t FontResolution() const { return FFontResolution; }

    // Not published: the screen's size in millimetres and the adapter's
    // registry texts.
    std::int32_t HorzSize() const { return FHorzSize; }
    std::int32_t VertSize() const { return FVertSize; }
    const std::string& Driver() const {
        ReadAdapterDevice();
        return FDriver;
    }
    const std::string& Service() const {
        ReadAdapterDevice();
        return FService;
    }
    const std::string& DeviceParameter() const {
        ReadAdapterDevice();
        return FDeviceParameter;
    }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    void ReadAdapterNT();
    void ReadAdapter9x();

    mutable std::string FAdapter;
    std::string FDAC, FChipset;
    std::int32_t FMemory = 0;
    std::int32_t FHorzRes = 0, FVertRes = 0, FColorDepth = 0;
    std::string FBIOSVersion, FBIOSDate, FTechnology;
    std::int32_t FPixelWidth = 0, FPixelHeight = 0, FPixelDiagonal = 0;
    std::int32_t FHorzSize = 0, FVertSize = 0;
    TCurveCaps FCurveCaps;
    TLineCaps FLineCaps;
    TPolygonCaps FPolygonCaps;
    TRasterCaps FRasterCaps;
    TTextCaps FTextCaps;
    TStringList FModes;
    std::uint32_t FFontResolution = 0;
    mutable std::string FDriver, FService, FDeviceParameter;
    mutable bool FAdapterDeviceRead = false;
    // The adapter's device from the device list, read with the first
    // question that needs it, so a root that never shows the display never
    // walks the devices.
    void ReadAdapterDevice() const;
};

}  // namespace torvex::engine
