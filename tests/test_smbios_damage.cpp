// Damaged firmware images: every read stays inside the 64 KB buffer, a
// structure that runs past the segment ends the walk, and what cannot be
// read is empty, never a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "platform/machine/TextUtil.h"
#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

using engine::TSMBIOS;

// The image read a second time, independently, as the standard lays it
// out: the entry point, the structures it counts, and a structure's
// strings by their numbers. A decoder that walks or numbers differently
// disagrees with it.
struct Reading {
    struct Structure {
        std::uint32_t address;
        std::uint8_t type, length;
    };
    std::vector<Structure> structures;

    explicit Reading(const Image& whole) : image(whole) {
        image.resize(65536, 0);
        std::size_t e = Find("_SM_");
        if (e == std::string::npos) {
            e = Find("_DMI_");
            if (e == std::string::npos || e < 16) return;   // an entry point below the segment reads zeros
            e -= 16;
        }
        std::uint32_t table = Byte(e + 0x18) | Byte(e + 0x19) << 8 | Byte(e + 0x1A) << 16 | std::uint32_t(Byte(e + 0x1B)) << 24;
        std::size_t length = Byte(e + 0x16) | Byte(e + 0x17) << 8;
        std::size_t count = Byte(e + 0x1C) | Byte(e + 0x1D) << 8;
        if (table < 0xF0000 || table > 0xFFFFF) return;
        std::size_t p = table - 0xF0000, end = std::min<std::size_t>(p + length, 65536);
        while ((count == 0 || structures.size() < count) && p + 4 <= end && Byte(p + 1) >= 4) {
            std::size_t q = p + Byte(p + 1);
            while (q + 1 < end && (Byte(q) || Byte(q + 1))) ++q;
            if (q + 2 > end) break;
            structures.push_back({std::uint32_t(0xF0000 + p), Byte(p), Byte(p + 1)});
            if (Byte(p) == 127) break;
            p = q + 2;
        }
    }
    const Structure* First(std::uint8_t type) const {
        for (const auto& s : structures)
            if (s.type == type) return &s;
        return nullptr;
    }
    // String number n of a structure, trimmed, as the engine shows it.
    std::string String(const Structure& s, std::size_t field) const {
        if (field >= s.length) return "";
        std::size_t n = Byte(s.address - 0xF0000 + field), p = s.address - 0xF0000 + s.length;
        if (n == 0) return "";
        for (std::size_t k = 1; p < 65536 && Byte(p); ++k) {
            std::size_t q = p;
            while (q < 65536 && Byte(q)) ++q;
            if (q == 65536) return "";
            if (k == n) return platform::Cp1252ToUtf8(platform::Trim(std::string(image.begin() + long(p), image.begin() + long(q))));
            p = q + 1;
        }
        return "";
    }
    std::uint8_t Byte(std::size_t at) const { return at < image.size() ? image[at] : 0; }

private:
    // The first anchor whose entry point sums to zero, else the first.
    std::size_t Find(const std::string& anchor) const {
        std::string bytes(image.begin(), image.end());
        std::size_t first = bytes.find(anchor);
        for (std::size_t k = first; k != std::string::npos; k = bytes.find(anchor, k + 1)) {
            std::size_t length = anchor == "_DMI_" ? 15 : Byte(k + 5);
            if (length < anchor.size() || k + length > bytes.size()) continue;
            int sum = 0;
            for (std::size_t i = 0; i < length; ++i) sum += Byte(k + i);
            if (sum % 256 == 0) return k;
        }
        return first;
    }
    Image image;
};

// What every decode must agree on with the second reading.
void ExpectAgrees(const TSMBIOS& smbios, const Image& image) {
    Reading r(image);
    ASSERT_EQ(smbios.Structures().size(), r.structures.size());
    for (std::size_t i = 0; i < r.structures.size(); ++i) {
        EXPECT_EQ(smbios.Structures()[i].Address, r.structures[i].address) << "structure " << i;
        EXPECT_EQ(smbios.Structures()[i].Type, r.structures[i].type) << "structure " << i;
    }
    auto text = [&](std::uint8_t type, std::size_t field) {
        const Reading::Structure* s = r.First(type);
        return s ? r.String(*s, field) : std::string();
    };
    EXPECT_EQ(smbios.BIOSVendor(), text(0, 0x04));
    EXPECT_EQ(smbios.BIOSVersion(), text(0, 0x05));
    EXPECT_EQ(smbios.BIOSDate(), text(0, 0x08));
    EXPECT_EQ(smbios.SystemManufacturer(), text(1, 0x04));
    EXPECT_EQ(smbios.SystemSerial(), text(1, 0x07));
    EXPECT_EQ(smbios.MainBoardModel(), text(2, 0x05));
    EXPECT_EQ(smbios.ChassisSerial(), text(3, 0x07));
    EXPECT_EQ(smbios.CPUVersion(), text(4, 0x10));
    // Every port and slot with a designation is listed, in table order.
    std::vector<std::string> ports, slots;
    std::size_t modules = 0;
    for (const auto& s : r.structures) {
        if (s.type == 8 && !r.String(s, 0x04).empty()) ports.push_back(r.String(s, 0x04));
        if (s.type == 9 && !r.String(s, 0x04).empty()) slots.push_back(r.String(s, 0x04));
        modules += s.type == 6;
    }
    ASSERT_EQ(std::size_t(smbios.PortCount()), ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(smbios.Port(int(i)).Designator, ports[i]);
    ASSERT_EQ(std::size_t(smbios.SystemSlotCount()), slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i) EXPECT_EQ(smbios.SystemSlot(int(i)).Designation, slots[i]);
    if (modules) EXPECT_EQ(std::size_t(smbios.MemorySlotCount()), modules);
    std::vector<std::string> report = ReportOf(smbios);
    EXPECT_EQ(report[4], "Structure Table Count=" + std::to_string(r.structures.size()));
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
    EXPECT_EQ(smbios.Structures().size(), 1u) << "the zeros behind it are no structure";
    ExpectAgrees(smbios, image);
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
    // A structure at FFF80h whose strings never end: it is not whole, so
    // the table ends in front of it.
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
    EXPECT_TRUE(smbios.Structures().empty());
    EXPECT_EQ(smbios.SystemManufacturer(), "");
    EXPECT_EQ(smbios.SystemUUID(), "");
    ExpectAgrees(smbios, image);

    // Its strings end just before the segment does: it is whole and read.
    image[At(0xFFFFE)] = 0;
    image[At(0xFFFFF)] = 0;
    Decode(smbios, image);
    ASSERT_EQ(smbios.Structures().size(), 1u);
    EXPECT_EQ(smbios.SystemManufacturer(), std::string(0x10000 - 2 - At(0xFFF80) - 0x19, 'x'));
    ExpectAgrees(smbios, image);

    // The formatted area itself crosses the end: no structure.
    place(0xFFFF8, 4, 0x28);
    for (int i = 0; i < 4; ++i) image[0x18 + i] = std::uint8_t(0xFFFF8u >> (8 * i));
    Decode(smbios, image);
    EXPECT_TRUE(smbios.Structures().empty());
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

TEST(SmbiosDamage, DamageBehindTheTablesChangesNothing) {
    const Image good = WriteImage(DesktopDescription());
    TSMBIOS reference;
    Decode(reference, good);
    const std::vector<std::string> expected = ReportOf(reference);
    ASSERT_EQ(expected[4], "Structure Table Count=20");
    std::size_t end = 0x20 + reference.TableLength();
    std::mt19937 random(20261209);
    for (int round = 0; round < 100; ++round) {
        Image image = good;
        for (int i = 0; i < 200; ++i) {
            std::size_t at = end + random() % (image.size() - end);
            // No second anchor: the first "_SM_" must stay the one found.
            image[at] = std::uint8_t('a' + random() % 26);
        }
        TSMBIOS smbios;
        Decode(smbios, image);
        ASSERT_EQ(ReportOf(smbios), expected) << "round " << round;
    }
}

TEST(SmbiosDamage, RandomDamageDecodesAsTheStandardReadsIt) {
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
        ExpectAgrees(smbios, image);
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
        ExpectAgrees(smbios, image);
    }
}

}  // namespace
}  // namespace torvex::testing
