// A laptop's screen and sound as the host backend takes them in, replayed:
// the cards and connectors libdrm hands over (a DRM display), ALSA's files
// below /proc/asound and the sound modules below /sys (an ALSA card and a USB
// MIDI interface), through the display and multimedia categories.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <stdlib.h>

#include "engine/Zarvo_Display.h"
#include "engine/Zarvo_Media.h"
#include "platform/Corvane_Routines.h"
#include "platform/host/HostDisplay.h"
#include "platform/host/HostMedia.h"
#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"

namespace fs = std::filesystem;
using namespace torvex;
using namespace torvex::engine;
using platform::DisplayMode;
using platform::host::DrmCard;
using platform::host::DrmConnector;

namespace {

std::vector<std::string> Lines(const TStringList& list) {
    std::vector<std::string> r;
    for (int i = 0; i < list.Count(); ++i) r.push_back(list[i]);
    return r;
}

// The laptop's card as libdrm reports it: the built-in panel driven at its
// native mode in 32 bits, an HDMI port with nothing plugged in.
DrmCard LaptopCard() {
    DrmCard card;
    card.node = "card0";
    card.driver = "i915";
    card.description = "Intel Graphics";
    card.devicePath = "/sys/devices/pci0000:00/0000:00:02.0";
    DrmConnector panel;
    panel.name = "eDP-1";
    panel.connected = true;
    panel.widthMM = 309;
    panel.heightMM = 174;
    panel.modes = {{1920, 1080, 0, 60}, {1920, 1080, 0, 48}, {1680, 1050, 0, 60}, {1280, 720, 0, 60}};
    panel.current = DisplayMode{1920, 1080, 32, 60};
    DrmConnector hdmi;
    hdmi.name = "HDMI-A-1";
    hdmi.modes = {{3840, 2160, 0, 30}};
    card.connectors = {hdmi, panel};
    return card;
}

class HostAv : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "torvex-hostav-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directories(root / "etc");
    }
    void TearDown() override {
        platform::host::SetDrmReader(nullptr);
        platform::SetDisplayFacts(std::nullopt);
        platform::SetActiveMachine(nullptr);
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void Put(const std::string& relative, const std::string& text) {
        fs::path p = root / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
    void Link(const std::string& relative, const std::string& target) {
        fs::path p = root / relative;
        fs::create_directories(p.parent_path());
        fs::create_directory_symlink(target, p);
    }
    void Replay(std::vector<DrmCard> cards) {
        platform::host::SetDrmReader([cards](const fs::path&) { return cards; });
    }
    void Use() {
        platform::SetActiveMachine(platform::CreateHostMachine(root));
        platform::routines::InitializeRoutines();
    }
    fs::path root;
};

TEST_F(HostAv, LaptopPanelGivesItsModeDepthSizeAndListedModes) {
    Replay({LaptopCard()});
    Use();
    TDisplay display;
    display.GetInfo();
    // The CRTC's mode and its framebuffer's depth, not the first listed mode.
    EXPECT_EQ(display.HorzRes(), 1920);
    EXPECT_EQ(display.VertRes(), 1080);
    EXPECT_EQ(display.ColorDepth(), 32);
    EXPECT_EQ(display.FontResolution(), 96u);
    EXPECT_EQ(display.Technology(), "Raster Display");
    EXPECT_EQ(display.HorzSize(), 309);
    EXPECT_EQ(display.VertSize(), 174);
    // The panel's modes as the connector lists them, the native one twice
    // (60 and 48 Hz), at the framebuffer's depth; the unplugged port's none.
    EXPECT_EQ(Lines(display.Modes()),
              (std::vector<std::string>{"1920 x 1080 - 32 bit", "1920 x 1080 - 32 bit", "1680 x 1050 - 32 bit",
                                        "1280 x 720 - 32 bit"}));
    // The raster engine does everything but banding and palettes.
    EXPECT_FALSE(display.RasterCaps().Contains(rcRequiresBanding));
    EXPECT_FALSE(display.RasterCaps().Contains(rcPaletteBased));
    for (TRasterCap c : {rcTranserBitmaps, rcBitmaps64K, rcSetGetDIBits, rcSetDIBitsToDevice, rcFloodfills,
                         rcWindows2xFeatures, rcScaling, rcStretchBlt, rcStretchDIBits})
        EXPECT_TRUE(display.RasterCaps().Contains(c)) << c;
    EXPECT_TRUE(display.CurveCaps().Contains(ccRoundedRects));
    EXPECT_TRUE(display.LineCaps().Contains(lcInteriors));
    EXPECT_TRUE(display.PolygonCaps().Contains(pcAltFillPolygons));
    EXPECT_TRUE(display.TextCaps().Contains(tcVectorFonts));
    EXPECT_FALSE(display.TextCaps().Contains(tcNoScrollUsingBlts));
}

TEST_F(HostAv, WithoutDrmAccessThereIsNoScreenUnlessTheWindowProgramHasOne) {
    // Cards that do not answer (no access) leave nothing: zeros, no modes,
    // no capabilities, no technology.
    Replay({});
    Use();
    TDisplay display;
    display.GetInfo();
    EXPECT_EQ(display.HorzRes(), 0);
    EXPECT_EQ(display.ColorDepth(), 0);
    EXPECT_EQ(display.Technology(), "");
    EXPECT_EQ(display.Modes().Count(), 0);
    EXPECT_TRUE(display.RasterCaps().Empty());
    EXPECT_TRUE(display.TextCaps().Empty());

    // A connector that is connected but switched off has no current mode.
    DrmCard off = LaptopCard();
    for (auto& c : off.connectors) c.current.reset();
    Replay({off});
    Use();
    display.GetInfo();
    EXPECT_EQ(display.HorzRes(), 0);
    EXPECT_EQ(display.Modes().Count(), 0);

    // The window program hands over its screen: that one mode, its size in
    // millimetres at its dots per inch.
    Replay({});
    platform::SetDisplayFacts(platform::ScreenFacts{2560, 1440, 24, 1, 120});
    Use();
    display.GetInfo();
    EXPECT_EQ(display.HorzRes(), 2560);
    EXPECT_EQ(display.FontResolution(), 120u);
    EXPECT_EQ(display.HorzSize(), 541);   // 2560 / 120 * 25.4
    EXPECT_EQ(Lines(display.Modes()), std::vector<std::string>{"2560 x 1440 - 24 bit"});
    EXPECT_TRUE(display.RasterCaps().Contains(rcStretchDIBits));
}

TEST_F(HostAv, NodesThatAreNotModeSettingDevicesAreTracedAndSkipped) {
    Put("dev/dri/card0", "");   // a plain file: no mode-setting answers
    std::vector<std::string> trace;
    platform::SetTraceSink([&](const std::string& line) { trace.push_back(line); });
    platform::SetTraceEnabled(true);
    std::vector<DrmCard> cards = platform::host::ReadDrmCards(root);
    std::vector<DrmCard> none = platform::host::ReadDrmCards(root / "nowhere");
    platform::SetTraceEnabled(false);
    platform::SetTraceSink(nullptr);
    EXPECT_TRUE(cards.empty());
    EXPECT_TRUE(none.empty());
    bool named = false, missing = false;
    for (const auto& l : trace) {
        named |= l.find("card0") != std::string::npos && l.find("no mode setting") != std::string::npos;
        missing |= l.find("nowhere/dev/dri: missing") != std::string::npos;
    }
    EXPECT_TRUE(named);
    EXPECT_TRUE(missing);
}

TEST_F(HostAv, AdapterChipAndMemoryGoWhereWindowsDriversKeepThem) {
    platform::host::HostDevice gpu;
    gpu.className = "Display";
    gpu.active = true;
    gpu.service = "amdgpu";
    gpu.sourcePath = "/sys/devices/pci0000:00/0000:03:00.0";
    DrmCard card;
    card.driver = "amdgpu";
    card.description = "AMD GPU";
    card.devicePath = gpu.sourcePath;
    card.videoMemory = 8ull << 30;   // 8 GB
    platform::Registry registry;
    platform::host::ProjectVideoKeys(registry, {gpu}, {card}, root);
    platform::RegKey* key =
        registry.root(platform::RegRoot::LocalMachine).find("SYSTEM\\CurrentControlSet\\Services\\amdgpu\\Device0");
    ASSERT_NE(key, nullptr);
    const platform::RegValue* chip = key->value("HardwareInformation.ChipType");
    ASSERT_NE(chip, nullptr);
    std::vector<std::uint8_t> expected;
    for (char c : std::string("AMD GPU")) expected.insert(expected.end(), {std::uint8_t(c), 0});
    expected.insert(expected.end(), {0, 0});
    EXPECT_EQ(chip->data, expected);
    // Four bytes that the program reads as a signed number: 8 GB stops just
    // below 2 GB instead of turning negative.
    EXPECT_EQ(key->value("HardwareInformation.MemorySize")->data,
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}));

    // A card of another device, or no card at all: nothing is written.
    platform::Registry other;
    card.devicePath = "/sys/devices/pci0000:00/0000:00:02.0";
    platform::host::ProjectVideoKeys(other, {gpu}, {card}, root);
    EXPECT_EQ(other.root(platform::RegRoot::LocalMachine).find("SYSTEM\\CurrentControlSet\\Services\\amdgpu"), nullptr);
}

TEST_F(HostAv, AlsaCardsGiveWaveMidiAndOneMixerEach) {
    Put("proc/asound/cards",
        " 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"
        "                      HDA Intel PCH at 0xf1230000 irq 146\n"
        " 1 [UMONE          ]: USB-Audio - UM-ONE\n"
        "                      Roland UM-ONE at usb-0000:00:14.0-2, full speed\n");
    Put("proc/asound/pcm",
        "00-00: ALC3246 Analog : ALC3246 Analog : playback 1 : capture 1\n"
        "00-03: HDMI 0 : HDMI 0 : playback 1\n"
        "00-07: HDMI 1 : HDMI 1 : playback 1\n"
        "00-10: DMIC : DMIC : capture 1\n"
        "garbage\n");
    Put("proc/asound/card1/midi0", "UM-ONE\n\nOutput 0\n  Tx bytes     : 0\nInput 0\n  Rx bytes     : 0\n");
    Put("proc/asound/card0/pcm0p/info", "card: 0\n");
    // Card 1's module carries a version of its own (1.5); card 0's none.
    Put("sys/module/snd_hda_intel/parameters/index", "-1\n");
    Put("sys/module/snd_usb_audio/version", "1.5\n");
    fs::create_directories(root / "sys/bus/pci/drivers/snd_hda_intel");
    fs::create_directories(root / "sys/bus/usb/drivers/snd-usb-audio");
    Link("sys/bus/pci/drivers/snd_hda_intel/module", "../../../../module/snd_hda_intel");
    Link("sys/bus/usb/drivers/snd-usb-audio/module", "../../../../module/snd_usb_audio");
    Link("sys/class/sound/card0/device/driver", "../../../../bus/pci/drivers/snd_hda_intel");
    Link("sys/class/sound/card1/device/driver", "../../../../bus/usb/drivers/snd-usb-audio");
    Replay({});
    Use();
    TMedia media;
    media.GetInfo();
    EXPECT_EQ(Lines(media.WAVEOut()),
              (std::vector<std::string>{"ALC3246 Analog v0.0", "HDMI 0 v0.0", "HDMI 1 v0.0"}));
    EXPECT_EQ(Lines(media.WAVEIn()), (std::vector<std::string>{"ALC3246 Analog v0.0", "DMIC v0.0"}));
    EXPECT_EQ(Lines(media.MIDIOut()), std::vector<std::string>{"UM-ONE v1.5"});
    EXPECT_EQ(Lines(media.MIDIIn()), std::vector<std::string>{"UM-ONE v1.5"});
    EXPECT_EQ(Lines(media.Mixer()), (std::vector<std::string>{"HDA Intel PCH v0.0", "UM-ONE v1.5"}));
    EXPECT_EQ(media.AUX().Count(), 0);
}

TEST_F(HostAv, AHostWithoutSoundReportsNone) {
    Put("proc/asound/cards", "--- no soundcards ---\n");
    Replay({});
    Use();
    TMedia media;
    media.GetInfo();
    TStringList report;
    media.Report(report);
    EXPECT_EQ(Lines(report), (std::vector<std::string>{"[Media]", "Count=0", "[Sound]", "WaveInCount=0",
                                                        "WaveOutCount=0", "MIDIInCount=0", "MIDIOutCount=0",
                                                        "AUXCount=0", "MixerCount=0"}));
}

}  // namespace
