// Damaged firmware images: every read stays inside the 64 KB buffer, a
// structure that runs past the segment ends the walk, and what cannot be
// read is empty, never a crash.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

using engine::TSMBIOS;

void ExpectSane(const TSMBIOS& smbios) {
    for (const auto& s : smbios.Structures()) {
        EXPECT_GE(s.Address, 0xF0000u);
        EXPECT_LE(s.Address, 0xFFFFFu);
    }
    EXPECT_LE(smbios.Structures().size(), std::size_t(smbios.StructureCount()) + 1);
    std::vector<std::string> report = ReportOf(smbios);
    EXPECT_GE(report.size(), 33u);
}

TEST(SmbiosDamage, AnEmptySegmentReportsNothing) {
    TSMBIOS smbios;
    Decode(smbios, Image(65536, 0));
    EXPECT_EQ(smbios.EntryPoint(), 0u);
    std::vector<std::string> report = ReportOf(smbios);
    std::vector<std::string> head(report.begin(), report.begin() + 7);
    EXPECT_EQ(head, (std::vector<std::string>{"[SMBIOS]", "Version=", "Start Address=0",
                                              "Structure Table Start Address=0", "Structure Table Count=0",
                                              "TableCount=-1", "BIOS Vendor="}));
    EXPECT_EQ(report.back(), "SystemSlotCount=0");
}

TEST(SmbiosDamage, AShortImageIsReadAsIfZerosFollowed) {
    Image image = WriteImage(DesktopDescription());
    image.resize(0x5C);   // the entry point and the BIOS structure up to "4.51"
    TSMBIOS smbios;
    Decode(smbios, image);
    EXPECT_EQ(smbios.Image().size(), 65536u);
    EXPECT_EQ(smbios.EntryPoint(), 0xF0000u);
    EXPECT_EQ(smbios.BIOSVendor(), "Award Software International, Inc.");
    EXPECT_EQ(smbios.BIOSVersion(), "4.51");
    EXPECT_EQ(smbios.BIOSDate(), "") << "cut off";
    ExpectSane(smbios);
}

TEST(SmbiosDamage, ATableOutsideTheSegmentGivesNoStructures) {
    Image image = WriteImage(DesktopDescription());
    for (std::uint32_t address : {0x000E0000u, 0x00100000u, 0xFFFFFFFFu, 0u}) {
        for (int i = 0; i < 4; ++i) image[0x18 + i] = std::uint8_t(address >> (8 * i));
        TSMBIOS smbios;
        Decode(smbios, image);
        EXPECT_TRUE(smbios.Structures().empty()) << std::hex << address;
        EXPECT_EQ(smbios.BIOSVendor(), "");
    }
}

TEST(SmbiosDamage, AStructureRunningPastTheSegmentEndsTheWalk) {
    Image image = WriteImage(DesktopDescription());
    // A last structure at FFF80h whose strings never end: nothing after it,
    // and its strings lie too close to the end to be read.
    auto place = [&](std::uint32_t at, std::uint8_t type, std::uint8_t length) {
        image[At(at)] = type;
        image[At(at) + 1] = length;
        image[At(at) + 4] = 1;   // a string field
        for (std::size_t k = At(at) + length; k < image.size(); ++k) image[k] = 'x';
    };
    place(0xFFF80, 1, 0x19);
    for (int i = 0; i < 4; ++i) image[0x18 + i] = std::uint8_t(0xFFF80u >> (8 * i));
    image[0x16] = 0xFF;
    image[0x17] = 0xFF;
    TSMBIOS smbios;
    Decode(smbios, image);
    ASSERT_EQ(smbios.Structures().size(), 1u);
    EXPECT_EQ(smbios.SystemManufacturer(), "");
    EXPECT_EQ(smbios.SystemUUID().size(), 32u);
    ExpectSane(smbios);

    // The formatted area itself crosses the end: its fields read as zero.
    place(0xFFFF8, 4, 0x28);
    for (int i = 0; i < 4; ++i) image[0x18 + i] = std::uint8_t(0xFFFF8u >> (8 * i));
    Decode(smbios, image);
    ASSERT_EQ(smbios.Structures().size(), 1u);
    EXPECT_EQ(smbios.CPUClock(), 0);
    EXPECT_EQ(smbios.CPUUpgrade(), "");
}

TEST(SmbiosDamage, ADmiAnchorAtTheSegmentStartPutsTheEntryPointBelowIt) {
    Image image(65536, 0);
    std::memcpy(image.data() + 4, "_DMI_", 5);
    TSMBIOS smbios;
    Decode(smbios, image);
    EXPECT_EQ(smbios.EntryPoint(), 0xEFFF4u);
    EXPECT_EQ(smbios.Version(), "0.0") << "fields below the segment read as zero";
    EXPECT_TRUE(smbios.Structures().empty());
}

TEST(SmbiosDamage, RandomDamageNeverReadsOutsideTheImage) {
    const Image good = WriteImage(DesktopDescription());
    std::mt19937 random(20261208);
    for (int round = 0; round < 400; ++round) {
        Image image = good;
        int hits = 1 + int(random() % 40);
        for (int i = 0; i < hits; ++i) {
            // Mostly the entry point and the table, sometimes anywhere.
            std::size_t at = random() % 4 ? random() % 0x700 : random() % image.size();
            image[at] = std::uint8_t(random());
        }
        if (round % 10 == 0) image.resize(random() % 0x800);
        TSMBIOS smbios;
        Decode(smbios, image);
        ExpectSane(smbios);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "round " << round;
            break;
        }
    }
    // Pure noise, with anchors sprinkled in.
    for (int round = 0; round < 60; ++round) {
        Image image(65536);
        for (auto& b : image) b = std::uint8_t(random());
        for (int i = 0; i < 3; ++i) std::memcpy(image.data() + random() % 65530, i ? "_DMI_" : "_SM_", i ? 5 : 4);
        TSMBIOS smbios;
        Decode(smbios, image);
        ExpectSane(smbios);
    }
}

}  // namespace
}  // namespace torvex::testing
