// The display and multimedia categories: the adapter's video keys on both
// families, the firmware texts, the screen's metrics and capability sets, the
// mode list, the multimedia devices with the sound card and game port, the
// six device lists of the multimedia services and the layer calls behind
// them; then the shipped PCs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "FakeMachine.h"
#include "engine/Zarvo_Display.h"
#include "engine/Zarvo_GUI.h"
#include "engine/Zarvo_Media.h"
#include "platform/Corvane_Routines.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Display.h"
#include "platform/win32/Win32Media.h"

using namespace torvex;
using namespace torvex::engine;
using platform::DisplayFacts;
using platform::DisplayMode;
using platform::MediaDevice;
using platform::MediaFacts;
using platform::MediaKind;
using platform::RegKey;
using platform::RegRoot;
using platform::RegValue;
using torvex::testing::FakeMachine;

namespace {

constexpr const char* kDisplayGuid = "{4D36E968-E325-11CE-BFC1-08002BE10318}";
constexpr const char* kMediaGuid = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";

// A machine built in code that also has a screen and sound devices.
class AvMachine : public FakeMachine {
public:
    using FakeMachine::FakeMachine;
    std::optional<platform::ScreenFacts> screenFacts;
    std::optional<DisplayFacts> displayFacts;
    std::optional<MediaFacts> mediaFacts;
    std::optional<platform::ScreenFacts> screen() override {
        return screenFacts ? screenFacts : platform::ScreenFacts{};
    }
    std::optional<DisplayFacts> display() override { return displayFacts; }
    std::optional<MediaFacts> media() override { return mediaFacts; }
};

MediaDevice Dev(const std::string& name, std::uint32_t version) {
    MediaDevice d;
    d.name = name;
    d.driverVersion = version;
    return d;
}

std::vector<std::uint8_t> Wide(const std::string& ascii) {
    std::vector<std::uint8_t> b;
    for (char c : ascii) {
        b.push_back(std::uint8_t(c));
        b.push_back(0);
    }
    b.push_back(0);
    b.push_back(0);
    return b;
}

std::vector<std::string> Lines(const TStringList& list) {
    std::vector<std::string> r;
    for (int i = 0; i < list.Count(); ++i) r.push_back(list[i]);
    return r;
}

class AvTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("torvex-av-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        auto m = std::make_unique<AvMachine>(folder);
        machine = m.get();
        platform::SetActiveMachine(std::move(m));
        MakeNT();
    }
    void TearDown() override {
        platform::SetActiveMachine(nullptr);
        std::filesystem::remove_all(folder);
    }
    RegKey& hklm() { return machine->registry().root(RegRoot::LocalMachine); }
    void MakeNT() {
        machine->versionFacts = {5, 1, 2600, win32::VER_PLATFORM_WIN32_NT, "Service Pack 2", true, 2, 0, 0x100, 1};
        platform::routines::InitializeRoutines();
    }
    void Make9x() {
        machine->versionFacts = {4, 10, 2222, win32::VER_PLATFORM_WIN32_WINDOWS, " A ", false};
        platform::routines::InitializeRoutines();
    }
    void NTClass(const std::string& guid, const std::string& name) {
        hklm().ensure("SYSTEM\\CurrentControlSet\\Control\\Class\\" + guid).setValue(RegValue::String("Class", name));
    }
    // A started NT device of a class.
    RegKey& NTDevice(const std::string& path, const std::string& guid, const std::string& name,
                     const std::string& driver) {
        RegKey& k = hklm().ensure("SYSTEM\\CurrentControlSet\\Enum\\" + path);
        k.ensure("Control");
        k.setValue(RegValue::String("ClassGUID", guid));
        k.setValue(RegValue::String("DeviceDesc", name));
        if (!driver.empty()) k.setValue(RegValue::String("Driver", driver));
        return k;
    }

    std::filesystem::path folder;
    AvMachine* machine = nullptr;
};

// ------------------------------------------------------------------ media

TEST_F(AvTest, MediaListsGiveNameAndVersionOnceAndAreNeverCleared) {
    MediaFacts f;
    f.of(MediaKind::waveOut) = {Dev("Wave A", 0x0105), Dev("Wave A", 0x0105), Dev("Wave A", 0x0106)};
    f.of(MediaKind::midiIn) = {Dev("MIDI In", 0x050A)};
    f.of(MediaKind::mixer) = {Dev("Mixer", 0)};
    machine->mediaFacts = f;
    TMedia media;
    media.GetInfo();
    // 0105h is version 1.5; a second device with the same name and version
    // adds nothing; another version is another line.
    EXPECT_EQ(Lines(media.WAVEOut()), (std::vector<std::string>{"Wave A v1.5", "Wave A v1.6"}));
    EXPECT_EQ(Lines(media.MIDIIn()), std::vector<std::string>{"MIDI In v5.10"});
    EXPECT_EQ(Lines(media.Mixer()), std::vector<std::string>{"Mixer v0.0"});
    EXPECT_EQ(media.WAVEIn().Count(), 0);

    // A device that has gone stays listed; a new one is added after it.
    f.of(MediaKind::waveOut) = {Dev("Wave B", 0x0200)};
    machine->mediaFacts = f;
    media.GetInfo();
    EXPECT_EQ(Lines(media.WAVEOut()), (std::vector<std::string>{"Wave A v1.5", "Wave A v1.6", "Wave B v2.0"}));

    TStringList report;
    media.Report(report);
    EXPECT_EQ(Lines(report), (std::vector<std::string>{
                                 "[Media]", "Count=0", "[Sound]", "WaveInCount=0", "WaveOutCount=3",
                                 "WaveOut1=Wave A v1.5", "WaveOut2=Wave A v1.6", "WaveOut3=Wave B v2.0",
                                 "MIDIInCount=1", "MIDIIn1=MIDI In v5.10", "MIDIOutCount=0", "AUXCount=0",
                                 "MixerCount=1", "Mixer1=Mixer v0.0"}));
}

TEST_F(AvTest, GamePortIsNeverTheSoundCardAndTheLastGamePortWins) {
    NTClass(kMediaGuid, "MEDIA");
    // The game port has a location and comes first: still not the sound card.
    NTDevice("PCI\\A\\1", kMediaGuid, "Creative Gameport Joystick", kMediaGuid + std::string("\\0001"))
        .setValue(RegValue::String("LocationInformation", "PCI bus 0, device 11, function 1"));
    NTDevice("PCI\\B\\1", kMediaGuid, "Some Audio Without Location", kMediaGuid + std::string("\\0002"));
    NTDevice("PCI\\C\\1", kMediaGuid, "SB Live!", kMediaGuid + std::string("\\0000"))
        .setValue(RegValue::String("LocationInformation", "PCI bus 0, device 11, function 0"));
    NTDevice("PCI\\D\\1", kMediaGuid, "Standard game port", kMediaGuid + std::string("\\0003"));
    TMedia media;
    ASSERT_EQ(media.Devices().Count(), 4);
    std::vector<std::string> names = Lines(media.Devices());
    auto at = [&](const std::string& n) { return int(std::find(names.begin(), names.end(), n) - names.begin()); };
    // Lower-case "game" counts too: the test is on the upper-cased name.
    EXPECT_EQ(media.GamePortIndex(), std::max(at("Creative Gameport Joystick"), at("Standard game port")));
    EXPECT_EQ(media.SoundCardIndex(), at("SB Live!"));
}

TEST_F(AvTest, MultimediaCallsCheckSizeNumberAndCutTheNameOnACharacter) {
    MediaFacts f;
    // 30 bytes of ASCII and a two-byte character: the cut may not split it.
    f.of(MediaKind::waveOut) = {Dev(std::string(30, 'x') + "\xC3\xA6", 0x0400)};
    machine->mediaFacts = f;
    win32::WAVEOUTCAPSA caps{};
    EXPECT_EQ(win32::waveOutGetNumDevs(), 1u);
    EXPECT_EQ(win32::waveOutGetDevCapsA(0, &caps, sizeof caps - 1), win32::MMSYSERR_INVALPARAM);
    EXPECT_EQ(win32::waveOutGetDevCapsA(1, &caps, sizeof caps), win32::MMSYSERR_BADDEVICEID);
    ASSERT_EQ(win32::waveOutGetDevCapsA(0, &caps, sizeof caps), win32::MMSYSERR_NOERROR);
    EXPECT_EQ(std::string(caps.szPname), std::string(30, 'x'));
    EXPECT_EQ(caps.vDriverVersion, 0x0400u);
    // A machine that says nothing has no devices of any kind.
    machine->mediaFacts.reset();
    EXPECT_EQ(win32::waveOutGetNumDevs(), 0u);
    EXPECT_EQ(win32::mixerGetNumDevs(), 0u);
}

// ---------------------------------------------------------------- display

TEST(DisplayCapabilities, SetsFollowTheirOwnBitsNotTheElementOrder) {
    // The raster set's first element is the banding bit 0002h, its second
    // the bitmap-transfer bit 0001h.
    TRasterCaps r = RasterCapsOf(0x0002);
    EXPECT_TRUE(r.Contains(rcRequiresBanding));
    EXPECT_FALSE(r.Contains(rcTranserBitmaps));
    r = RasterCapsOf(0x0001 | 0x0100);
    EXPECT_TRUE(r.Contains(rcTranserBitmaps));
    EXPECT_TRUE(r.Contains(rcPaletteBased));
    EXPECT_FALSE(r.Contains(rcRequiresBanding));
    // Line capabilities begin at 0002h: bit 0001h means nothing.
    EXPECT_TRUE(LineCapsOf(0x0001).Empty());
    EXPECT_TRUE(LineCapsOf(0x0002).Contains(lcPolylines));
    // The last text element is 10000h, past a gap.
    EXPECT_TRUE(TextCapsOf(0x10000).Contains(tcNoScrollUsingBlts));
    EXPECT_FALSE(TextCapsOf(0x8000).Contains(tcNoScrollUsingBlts));
    EXPECT_TRUE(TextCapsOf(0x8000).Empty());
    EXPECT_TRUE(CurveCapsOf(0x0100).Contains(ccRoundedRects));
    EXPECT_TRUE(PolygonCapsOf(0).Empty());
    EXPECT_EQ(TechnologyText(1), "Raster Display");
    EXPECT_EQ(TechnologyText(6), "Display File");
    EXPECT_EQ(TechnologyText(7), "");
}

TEST_F(AvTest, NTAdapterReadsItsVideoKeyThroughTheDeviceParameter) {
    NTClass(kDisplayGuid, "Display");
    // The first display device without "0000" in its driver key is passed over.
    NTDevice("PCI\\SECOND\\1", kDisplayGuid, "Card Secondary", kDisplayGuid + std::string("\\0001"));
    RegKey& d = NTDevice("PCI\\FIRST\\1", kDisplayGuid, "Card", kDisplayGuid + std::string("\\0000"));
    d.setValue(RegValue::String("FriendlyName", "Card (friendly)"));
    d.setValue(RegValue::String("Service", "card"));
    d.ensure("Device Parameters").setValue(RegValue::Dword("PreferredMode", 0));
    d.ensure("Device Parameters").setValue(RegValue::String("VideoID", "{VID}"));
    RegKey& video = hklm().ensure("SYSTEM\\CurrentControlSet\\Control\\Video\\{VID}\\0000");
    // The chip text ends at its first zero character; what follows is not read.
    std::vector<std::uint8_t> chip = Wide("Chip X");
    for (std::uint8_t b : Wide("junk")) chip.push_back(b);
    video.setValue(RegValue::Binary("HardwareInformation.ChipType", chip));
    video.setValue(RegValue::Binary("HardwareInformation.DacType", Wide("Internal DAC(400MHz)")));
    // Only the first four bytes count.
    video.setValue(RegValue::Binary("HardwareInformation.MemorySize", {0x00, 0x00, 0x00, 0x08, 0xFF}));
    // The service's key is not read when the device parameter names one.
    RegKey& dev0 = hklm().ensure("SYSTEM\\CurrentControlSet\\Services\\card\\Device0");
    dev0.setValue(RegValue::Binary("HardwareInformation.ChipType", Wide("Wrong")));
    // The firmware version's strings run together.
    RegKey& sys = hklm().ensure("HARDWARE\\DESCRIPTION\\System");
    sys.setValue(RegValue::Binary("VideoBiosVersion", {'V', '1', 0, 'B', 'K', 0, 0, 'Z'}));
    sys.setValue(RegValue::String("VideoBiosDate", "06/30/03"));

    TDisplay display;
    EXPECT_EQ(display.Adapter(), "Card (friendly)");
    EXPECT_EQ(display.Service(), "card");
    EXPECT_EQ(display.DeviceParameter(), "{VID}");
    display.GetInfo();
    EXPECT_EQ(display.Chipset(), "Chip X");
    EXPECT_EQ(display.DAC(), "Internal DAC(400MHz)");
    EXPECT_EQ(display.Memory(), 0x08000000);
    EXPECT_EQ(display.BIOSVersion(), "V1BK");
    EXPECT_EQ(display.BIOSDate(), "06/30/03");

    // Without a device parameter the service's first device key is read; a
    // value that is missing there keeps what the last refresh read.
    d.find("Device Parameters")->removeValue("VideoID");
    TDisplay second;
    EXPECT_EQ(second.DeviceParameter(), "");
    second.GetInfo();
    EXPECT_EQ(second.Chipset(), "Wrong");
    EXPECT_EQ(second.DAC(), "");
    EXPECT_EQ(second.Memory(), 0);
}

TEST_F(AvTest, WindowsNineXReadsTheInfoKeyOfItsDriver) {
    Make9x();
    hklm().ensure("System\\CurrentControlSet\\Services\\Class\\Display").setValue(RegValue::String("Class", "Display"));
    hklm().ensure("System\\CurrentControlSet\\Services\\Class\\{GUID}").setValue(RegValue::String("Link", "Display"));
    RegKey& info = hklm().ensure("System\\CurrentControlSet\\Services\\Class\\Display\\0000\\INFO");
    info.setValue(RegValue::String("ChipType", "MGA-G400"));
    info.setValue(RegValue::String("DacType", "Integrated RAMDAC"));
    info.setValue(RegValue::Dword("VideoMemory", 0x2000000));
    RegKey& dyn = machine->registry().root(RegRoot::DynData).ensure("Config Manager\\Enum\\C1");
    dyn.setValue(RegValue::String("HardwareKey", "PCI\\G400\\0"));
    RegKey& dev = hklm().ensure("Enum\\PCI\\G400\\0");
    dev.setValue(RegValue::String("Class", "DISPLAY"));
    dev.setValue(RegValue::String("DeviceDesc", "Matrox Millennium G400"));
    dev.setValue(RegValue::String("Driver", "DISPLAY\\0000"));
    TDisplay display;
    EXPECT_EQ(display.Adapter(), "Matrox Millennium G400");
    EXPECT_EQ(display.Driver(), "DISPLAY\\0000");
    display.GetInfo();
    EXPECT_EQ(display.Chipset(), "MGA-G400");
    EXPECT_EQ(display.DAC(), "Integrated RAMDAC");
    EXPECT_EQ(display.Memory(), 0x2000000);
}

TEST_F(AvTest, ScreenMetricsCapabilitiesAndModesInTheSystemsOrder) {
    machine->screenFacts = platform::ScreenFacts{1024, 768, 16, 1, 120};
    DisplayFacts f;
    f.technology = 1;
    f.widthMM = 270;
    f.heightMM = 203;
    f.aspectX = 36;
    f.aspectY = 36;
    f.aspectXY = 51;
    f.rasterCaps = 0x0100;
    f.textCaps = 0x10000;
    // One resolution at three refresh rates: three equal lines, in order.
    f.modes = {{640, 480, 8, 60}, {1024, 768, 16, 60}, {1024, 768, 16, 75}, {1024, 768, 16, 85}, {800, 600, 8, 0}};
    machine->displayFacts = f;
    TDisplay display;
    display.GetInfo();
    EXPECT_EQ(display.HorzRes(), 1024);
    EXPECT_EQ(display.VertRes(), 768);
    EXPECT_EQ(display.ColorDepth(), 16);
    EXPECT_EQ(display.FontResolution(), 120u);
    EXPECT_EQ(display.Technology(), "Raster Display");
    EXPECT_EQ(display.HorzSize(), 270);
    EXPECT_EQ(display.PixelDiagonal(), 51);
    EXPECT_EQ(Lines(display.Modes()),
              (std::vector<std::string>{"640 x 480 - 8 bit", "1024 x 768 - 16 bit", "1024 x 768 - 16 bit",
                                        "1024 x 768 - 16 bit", "800 x 600 - 8 bit"}));
    TStringList report;
    display.Report(report);
    std::vector<std::string> lines = Lines(report);
    auto find = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
    EXPECT_EQ(lines[0], "[Display]");
    EXPECT_TRUE(find("PixelDiag=51"));
    EXPECT_TRUE(find("FontRes=120"));
    EXPECT_TRUE(find("Mode5=800 x 600 - 8 bit"));
    EXPECT_TRUE(find("Palette Based=1"));
    EXPECT_TRUE(find("Requires Banding=0"));
    EXPECT_TRUE(find("Cannot Scroll Using Blts=1"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Interiors=0"), 3);   // curve, line, polygon

    // A second refresh starts the modes and sets afresh; an unknown
    // technology value keeps the text it had.
    f.modes = {{640, 480, 32, 60}};
    f.rasterCaps = 0;
    f.technology = 9;
    machine->displayFacts = f;
    display.GetInfo();
    EXPECT_EQ(Lines(display.Modes()), std::vector<std::string>{"640 x 480 - 32 bit"});
    EXPECT_TRUE(display.RasterCaps().Empty());
    EXPECT_EQ(display.Technology(), "Raster Display");
}

TEST_F(AvTest, AMachineWithoutAScreenReportsNoneAndNoPlotter) {
    // Every GetDeviceCaps answer is 0, and 0 would read as a vector plotter.
    TDisplay display;
    display.GetInfo();
    EXPECT_EQ(display.HorzRes(), 0);
    EXPECT_EQ(display.Technology(), "");
    EXPECT_EQ(display.Modes().Count(), 0);
    EXPECT_TRUE(display.CurveCaps().Empty());
    win32::DEVMODEA mode{};
    EXPECT_FALSE(win32::EnumDisplaySettingsA(nullptr, 0, &mode));
    EXPECT_FALSE(win32::EnumDisplaySettingsA(nullptr, win32::ENUM_CURRENT_SETTINGS, &mode));
}

// ---------------------------------------------------------- shipped PCs

struct Shipped : ::testing::Test {
    void Load(const std::string& name) {
        platform::SetActiveMachine(platform::LoadSimulatedMachine(std::filesystem::path(TORVEX_SOURCE_DIR) / "machines" / name));
        platform::routines::InitializeRoutines();
    }
    void TearDown() override { platform::SetActiveMachine(nullptr); }
};

TEST_F(Shipped, EachPCShowsItsCardAndItsSoundDevices) {
    struct Expect {
        const char* pc;
        const char* adapter;
        const char* chip;
        std::int32_t memory;
        int modes;
        int waveOut;
        int mediaDevices;
        bool gamePort;
    };
    const Expect cases[] = {
        // NT 4.0's legacy display device has no driver key: no adapter is found.
        {"nt4-pc", "", "", 0, 33, 1, 1, false},
        // The server has no sound device at all.
        {"win2000-dc", "ATI RAGE XL PCI", "ATI RAGE XL PCI (0x4752)", 8 << 20, 45, 0, 0, false},
        {"win95-pc", "S3 Trio32/64 PCI", "S3 Trio64", 1 << 20, 8, 1, 2, true},
        {"win95osr2-pc", "S3 Inc. ViRGE/DX PCI", "S3 ViRGE/DX", 2 << 20, 11, 1, 2, true},
        {"win98-pc", "NVIDIA RIVA TNT2 Model 64", "RIVA TNT2 Model 64", 32 << 20, 36, 1, 2, false},
        // Two wave devices with one name and version: one line.
        {"win98se-pc", "Matrox Millennium G400 - English", "MGA-G400", 32 << 20, 48, 1, 2, true},
        {"winme-pc", "NVIDIA GeForce2 MX/MX 400", "GeForce2 MX/MX 400", 32 << 20, 42, 1, 2, false},
        {"winxp-pc", "RADEON 9600 Series   ", "ATI RADEON 9600 AGP (0x4150)", 128 << 20, 81, 1, 2, true},
        {"winxp-pc-guest", "RADEON 9600 Series   ", "ATI RADEON 9600 AGP (0x4150)", 128 << 20, 81, 1, 2, true},
    };
    for (const Expect& e : cases) {
        SCOPED_TRACE(e.pc);
        Load(e.pc);
        TCorvaneSystemInfo info;
        info.SetExceptionMode(emRaise);
        info.Refresh();
        EXPECT_EQ(info.Display().Adapter(), e.adapter);
        EXPECT_EQ(info.Display().Chipset(), e.chip);
        EXPECT_EQ(info.Display().Memory(), e.memory);
        EXPECT_EQ(info.Display().Modes().Count(), e.modes);
        EXPECT_EQ(info.Display().Technology(), "Raster Display");
        EXPECT_GT(info.Display().HorzRes(), 0);
        EXPECT_EQ(info.Media().WAVEOut().Count(), e.waveOut);
        EXPECT_EQ(info.Media().Devices().Count(), e.mediaDevices);
        EXPECT_EQ(info.Media().GamePortIndex() >= 0, e.gamePort);
        if (e.gamePort) EXPECT_NE(info.Media().SoundCardIndex(), info.Media().GamePortIndex());
    }
}

TEST_F(Shipped, RootReportPlacesDisplayAfterMemoryAndMediaAfterPower) {
    Load("win98se-pc");
    TCorvaneSystemInfo info;
    info.SetExceptionMode(emRaise);
    info.Refresh();
    TStringList report;
    info.Report(report);
    std::vector<std::string> lines = Lines(report);
    auto pos = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) - lines.begin(); };
    EXPECT_LT(pos("[Memory]"), pos("[Display]"));
    EXPECT_LT(pos("[Text Capabilities]"), pos("[Advanced Power Management]"));
    EXPECT_LT(pos("[Advanced Power Management]"), pos("[Media]"));
    EXPECT_LT(pos("[Sound]"), pos("[Devices]"));
    EXPECT_EQ(info.Display().BIOSVersion(), "");   // Windows 9x keeps no firmware texts there
    std::vector<std::string> names;
    for (const auto& p : info.GetPropList()) names.push_back(p.Name);
    auto at = [&](const std::string& n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    EXPECT_LT(at("Machine"), at("Display"));
    EXPECT_EQ(at("Display") + 1, at("Media"));
    EXPECT_LT(at("Media"), at("Devices"));

    // The topics print their own category and nothing else.
    for (const char* topic : {"Display", "Media"}) {
        TStringList page;
        ReportPage(info, OverviewPageByName(topic), page);
        ASSERT_GT(page.Count(), 0) << topic;
        EXPECT_EQ(page[0], std::string("[") + topic + "]");
        std::vector<std::string> pl = Lines(page);
        EXPECT_EQ(std::count(pl.begin(), pl.end(), "[Devices]"), 0);
        EXPECT_EQ(std::count(pl.begin(), pl.end(), topic == std::string("Display") ? "[Media]" : "[Display]"), 0);
    }
}

// ------------------------------------------------------- broken machines

TEST(SimulatedDisplayRecords, ABrokenRecordNamesTheFileAndTheMember) {
    auto folder = std::filesystem::temp_directory_path() / "torvex-av-broken";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::pair<std::string, std::string> cases[] = {
        {R"("display": {"modes": ["640x480x8", "1024by768x16"]})", "/display/modes/1"},
        {R"("display": {"rasterCaps": "0xZZ"})", "/display/rasterCaps"},
        {R"("display": {"colours": 3})", "/display/colours"},
        {R"("media": {"waveOut": [{"name": "x", "version": "1.256"}]})", "/media/waveOut/0/version"},
        {R"("media": {"mixer": [{"name": "0123456789012345678901234567890123"}]})", "/media/mixer/0/name"},
        {R"("media": {"speakers": []})", "/media/speakers"},
    };
    for (const auto& [record, member] : cases) {
        SCOPED_TRACE(record);
        std::ofstream(folder / "machine.json")
            << R"({"version": {"major": 5, "minor": 1, "build": 2600, "platformId": 2}, )" << record << "}";
        try {
            platform::LoadSimulatedMachine(folder, folder / "overlay");
            ADD_FAILURE() << "loaded";
        } catch (const platform::MachineError& e) {
            EXPECT_NE(std::string(e.what()).find("machine.json"), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(member), std::string::npos) << e.what();
        }
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
