// Number and text formatting of the class library, as the report lines and
// the overview window use it.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/classes/Classes.h"

using namespace torvex;

TEST(ClassesFormat, IntegersInDecimalIncluding64Bit) {
    EXPECT_EQ(Format("%d", {0}), "0");
    EXPECT_EQ(Format("%d", {-42}), "-42");
    EXPECT_EQ(Format("%d", {std::int64_t(1) << 40}), "1099511627776");
    EXPECT_EQ(Format("%d", {std::uint64_t(18446744073709551615ull)}), "18446744073709551615");
    EXPECT_EQ(Format("%d", {std::uint32_t(4000000000u)}), "4000000000");
    EXPECT_EQ(Format("%d", {true}), "1");
    EXPECT_EQ(Format("%d", {false}), "0");
}

TEST(ClassesFormat, WidthPrecisionAndJustification) {
    EXPECT_EQ(Format("%5d|", {42}), "   42|");
    EXPECT_EQ(Format("%-5d|", {42}), "42   |");
    EXPECT_EQ(Format("%.3d", {7}), "007");
    EXPECT_EQ(Format("%.3d", {-7}), "-007");
    EXPECT_EQ(Format("%*d", {4, 9}), "   9");
    EXPECT_EQ(Format("%.2s", {"abc"}), "ab");
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
}

TEST(ClassesFormat, HexadecimalIsUpperCaseWithoutPrefix) {
    EXPECT_EQ(Format("%x", {255}), "FF");
    EXPECT_EQ(Format("%x", {0}), "0");
    EXPECT_EQ(Format("%8.8x", {0x1a2b}), "00001A2B");
    EXPECT_EQ(Format("%8.8x", {std::uint32_t(0xBFEBFBFF)}), "BFEBFBFF");
    EXPECT_EQ(Format("%4.4x", {0x1f}), "001F");
    // A negative number is written in its own width's two's complement.
    EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
    EXPECT_EQ(Format("%x", {std::int64_t(-1)}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(std::int32_t(0x3f), 4), "003F");
    EXPECT_EQ(IntToHex(std::int32_t(-2), 2), "FFFFFFFE");
    EXPECT_EQ(IntToHex(std::uint64_t(0x123456789ull), 8), "123456789");
}

TEST(ClassesFormat, ReportLineShapes) {
    EXPECT_EQ(Format("%s=%d", {"Count", 0}), "Count=0");
    EXPECT_EQ(Format("%s%d=%s", {"Device", 12, "Floppy disk controller"}), "Device12=Floppy disk controller");
    EXPECT_EQ(Format("[Disk%s]", {"C:"}), "[DiskC:]");
    EXPECT_EQ(Format("GDI - %d%% free", {75}), "GDI - 75% free");
    EXPECT_EQ(Format("%s=", {""}), "=");
    // Texts go in verbatim: a percent sign or UTF-8 in an argument is data.
    EXPECT_EQ(Format("%s", {"100% \xC2\xB5P"}), "100% \xC2\xB5P");
}

TEST(ClassesFormat, FixedPointRoundsHalvesAwayFromZero) {
    EXPECT_EQ(Format("%1.1f", {1.75}), "1.8");
    EXPECT_EQ(Format("%1.1f", {2.25}), "2.3");
    EXPECT_EQ(Format("%1.1f", {-2.25}), "-2.3");
    EXPECT_EQ(Format("%1.1f", {3.3}), "3.3");
    EXPECT_EQ(Format("%1.1f", {0.04}), "0.0");
    EXPECT_EQ(Format("%f", {2.0}), "2.00");
    EXPECT_EQ(Format("%.0f", {9.5}), "10");
    EXPECT_EQ(Format("%1.1f", {5}), "5.0");
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
    EXPECT_EQ(Format("%g", {0.5}), "0.5");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(2.5), "2.5");
}

TEST(ClassesFormat, MismatchedArgumentsRaise) {
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {5}), EConvertError);
    EXPECT_THROW(Format("%d %d", {5}), EConvertError);
    EXPECT_THROW(Format("%q", {5}), EConvertError);
    EXPECT_THROW(Format("%", {5}), EConvertError);
}

TEST(ClassesFormatFloat, GroupingPatterns) {
    EXPECT_EQ(FormatFloat("#,##", std::int64_t(1073741824)), "1,073,741,824");
    EXPECT_EQ(FormatFloat("#,#0", std::int64_t(1073741824)), "1,073,741,824");
    EXPECT_EQ(FormatFloat("0,##", std::int64_t(4294967296)), "4,294,967,296");
    EXPECT_EQ(FormatFloat("#,##", std::int64_t(999)), "999");
    EXPECT_EQ(FormatFloat("#,##", std::int64_t(1000)), "1,000");
    // Only forced digits ("0") are written for zero: "#,##" writes nothing.
    EXPECT_EQ(FormatFloat("#,#0", 0), "0");
    EXPECT_EQ(FormatFloat("#,##", 0), "");
    // A leading "0" forces every digit place to its right.
    EXPECT_EQ(FormatFloat("0,##", 5), "005");
    EXPECT_EQ(FormatFloat("0,000", 5), "0,005");
    EXPECT_EQ(FormatFloat("#,##0", -1234), "-1,234");
    // Numbers beyond a double's precision keep every digit.
    EXPECT_EQ(FormatFloat("#,##", std::int64_t(9007199254740993)), "9,007,199,254,740,993");
    EXPECT_EQ(FormatFloat("#,##", std::uint64_t(18446744073709551615ull)), "18,446,744,073,709,551,615");
}

TEST(ClassesFormatFloat, LiteralsSectionsDecimalsAndSeparators) {
    EXPECT_EQ(FormatFloat("Capacity=0,##", std::int64_t(2146467840)), "Capacity=2,146,467,840");
    EXPECT_EQ(FormatFloat("BytesPerSector=0", 512), "BytesPerSector=512");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1,234.50");
    EXPECT_EQ(FormatFloat("0.##", 1.5), "1.5");
    EXPECT_EQ(FormatFloat("0.##", 2.0), "2");
    EXPECT_EQ(FormatFloat("0.00", 0.125), "0.13");
    EXPECT_EQ(FormatFloat("0 'MB'", 64), "64 MB");
    EXPECT_EQ(FormatFloat("0;(0);'zero'", -5), "(5)");
    EXPECT_EQ(FormatFloat("0;(0);'zero'", 0), "zero");
    EXPECT_EQ(FormatFloat("0;(0);'zero'", 7), "7");
    TFormatSettings norwegian{' ', ','};
    EXPECT_EQ(FormatFloat("#,##0.0", 1234567.25, norwegian), "1 234 567,3");
    TFormatSettings german{'.', ','};
    EXPECT_EQ(FormatFloat("#,##", std::int64_t(1234567), german), "1.234.567");
}

TEST(ClassesFormat, IntegerTexts) {
    EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), "-9223372036854775808");
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("-0x10"), -16);
    EXPECT_THROW(StrToInt("12a"), EConvertError);
    EXPECT_THROW(StrToInt("99999999999999999999"), EConvertError);
    EXPECT_EQ(StrToIntDef("", -1), -1);
}
