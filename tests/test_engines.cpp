// Engines: DirectX and its drivers, the ASPI layer and its devices, the
// data-access engines' versions, on the shipped PCs and on a machine whose
// SCSI device never answers; the host's SCSI generic driver and unixODBC
// over replayed files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "FakeMachine.h"
#include "engine/Zarvo_Engines.h"
#include "engine/Zarvo_GUI.h"
#include "platform/Corvane_Routines.h"
#include "platform/Corvane_WnASPI32.h"
#include "platform/host/HostEngines.h"
#include "platform/simulated/SimulatedMachine.h"

using namespace torvex::engine;
namespace fs = std::filesystem;
namespace rt = torvex::platform::routines;

namespace {

const fs::path kMachines = fs::path(TORVEX_SOURCE_DIR) / "machines";

class ShippedEngines : public ::testing::Test {
protected:
    TEngines& Use(const std::string& pc) {
        overlay = fs::temp_directory_path() / ("torvex-engines-" + std::to_string(::getpid()) + "-" + pc);
        torvex::platform::SetActiveMachine(torvex::platform::SimulatedMachine::Load(kMachines / pc, overlay));
        rt::InitializeRoutines();
        torvex::platform::wnaspi32::BindWnASPI32();
        engines.GetInfo();
        return engines;
    }
    std::vector<std::string> Report() {
        TStringList lines;
        engines.Report(lines);
        return lines.ToVector();
    }
    void TearDown() override {
        torvex::platform::wnaspi32::ReleaseWnASPI32();
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(overlay);
    }
    fs::path overlay;
    TEngines engines;
};

// A machine whose only SCSI device never completes a request.
class SilentScsiMachine : public torvex::testing::FakeMachine {
public:
    using FakeMachine::FakeMachine;
    std::uint64_t slept = 0;
    void sleep(std::uint32_t ms) override { slept += ms; }
    std::optional<torvex::platform::AspiFacts> aspiLayer() override {
        torvex::platform::AspiFacts f;
        f.hostAdapters = 1;
        torvex::platform::AspiDevice d;
        d.target = 3;
        d.deviceType = 1;
        d.neverCompletes = true;
        f.devices.push_back(d);
        return f;
    }
};

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

}  // namespace

TEST(EnginesVersions, InstalledVersionTakesMajorAndMinorHighByteFirst) {
    const std::uint8_t dx7[] = {0, 0, 0, 7};
    const std::uint8_t dx9[] = {0, 0, 0, 9, 0, 0, 0, 0};
    const std::uint8_t dx81[] = {0, 0, 0, 8, 0, 0, 0, 1};
    EXPECT_EQ(InstalledVersionText(dx7, 4), "7.0");
    EXPECT_EQ(InstalledVersionText(dx9, 8), "9.0");
    EXPECT_EQ(InstalledVersionText(dx81, 8), "8.1");
    EXPECT_EQ(InstalledVersionText(dx7, 3), "");
}

TEST_F(ShippedEngines, ScsiDeviceThatFailsTheInquiryKeepsEmptyNamesAndItsStatus) {
    Use("nt4-pc");
    auto v = Report();
    auto at = std::find(v.begin(), v.end(), "[ASPI32]");
    ASSERT_NE(at, v.end());
    std::vector<std::string> aspi(at, v.end());
    EXPECT_EQ(aspi[1], "Version=4.60.0.1021");
    EXPECT_EQ(std::count_if(aspi.begin(), aspi.end(), [](const std::string& l) { return l.rfind("Count=", 0) == 0; }), 1);
    EXPECT_EQ(aspi[2], "Count=3");
    EXPECT_EQ(aspi[3], "Vendor1=IBM     ");
    EXPECT_EQ(aspi[5], "Vendor3=");
    EXPECT_NE(std::find(aspi.begin(), aspi.end(), "Product3="), aspi.end());
    EXPECT_NE(std::find(aspi.begin(), aspi.end(), "ID3=6"), aspi.end());
    EXPECT_NE(std::find(aspi.begin(), aspi.end(), "Type3=1"), aspi.end());
    EXPECT_EQ(aspi.back(), "Status3=4");
    // The CD-ROM without a disc fails its unit-ready test; the inquiry's
    // status replaces it.
    EXPECT_NE(std::find(aspi.begin(), aspi.end(), "Status2=1"), aspi.end());
    EXPECT_EQ(engines.ASPI32().HostAdapterCount(), 1u);
    EXPECT_EQ(engines.ASPI32().Revisions()[1], "0167");
}

TEST_F(ShippedEngines, Dao35OnlyAndNoDirectXGiveTheVersionAndOneHeader) {
    Use("win95-pc");
    EXPECT_EQ(engines.DAO(), "3.51");
    EXPECT_EQ(engines.ADO(), "");
    EXPECT_EQ(engines.ODBC(), "");
    auto v = Report();
    EXPECT_EQ(v, (std::vector<std::string>{"[ODBC]", "[BDE]", "[DAO]", "Version=3.51", "[ADO]", "[DirectX]", "[ASPI32]"}));
}

TEST_F(ShippedEngines, BdeOdbcAndDirectXWithItsDrivers) {
    Use("winxp-pc");
    EXPECT_EQ(engines.BDE(), "5.2.0.2");
    EXPECT_EQ(engines.ODBC(), "3.525.1117.0");
    EXPECT_EQ(engines.DirectX().Version(), "4.09.00.0904");
    EXPECT_EQ(engines.DirectX().Direct3D().Count(), 3);
    EXPECT_EQ(engines.DirectX().DirectPlay().Count(), 4);
    ASSERT_EQ(engines.DirectX().DirectMusic().Count(), 1);
    EXPECT_EQ(engines.DirectX().DirectMusic()[0], "Microsoft Synthesizer");
    EXPECT_EQ(engines.ASPI32().ASPI(), "");
    // A second refresh finds the same, and the lists do not grow.
    engines.GetInfo();
    EXPECT_EQ(engines.DirectX().Direct3D().Count(), 3);
}

TEST(EnginesAspi, APendingRequestIsWaitedForABoundedTime) {
    fs::path folder = fs::temp_directory_path() / ("torvex-silentscsi-" + std::to_string(::getpid()));
    auto m = std::make_unique<SilentScsiMachine>(folder);
    m->exports["wnaspi32.dll"] = {"GetASPI32SupportInfo", "SendASPI32Command"};
    auto* machine = m.get();
    torvex::platform::SetActiveMachine(std::move(m));
    ASSERT_TRUE(torvex::platform::wnaspi32::BindWnASPI32());
    TASPI32 aspi;
    aspi.GetInfo();
    // Both requests (unit ready, inquiry) waited their bound, no longer.
    EXPECT_EQ(machine->slept, 2ull * kAspiRequestWaitMs);
    ASSERT_EQ(aspi.Statuses().Count(), 1);
    EXPECT_EQ(aspi.Statuses()[0], "0");
    EXPECT_EQ(aspi.IDs()[0], "3");
    EXPECT_EQ(aspi.Vendors()[0], "");
    torvex::platform::wnaspi32::ReleaseWnASPI32();
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(folder);
}

TEST(EnginesRoot, EnginesStartRaisingAndTakeTheRootsModeWhenItIsSet) {
    TCorvaneSystemInfo info;
    EXPECT_EQ(info.Engines().ExceptionMode(), emRaise);
    info.SetExceptionMode(emSilent);
    EXPECT_EQ(info.Engines().ExceptionMode(), emSilent);
    EXPECT_EQ(info.Memory().ExceptionMode(), emMessage);
}

TEST(HostEngines, ScsiGenericDriverIsTheAspiLayerWithItsDevices) {
    fs::path root = fs::temp_directory_path() / ("torvex-hostsg-" + std::to_string(::getpid()));
    fs::remove_all(root);
    EXPECT_FALSE(torvex::platform::host::HostAspiLayer(root));
    Write(root / "proc/scsi/sg/version", "30536\t3.5.36 [20140603]\n");
    Write(root / "sys/bus/scsi/devices/host0/uevent", "DEVTYPE=scsi_host\n");
    Write(root / "sys/bus/scsi/devices/0:0:0:0/type", "0\n");
    Write(root / "sys/bus/scsi/devices/0:0:0:0/vendor", "ATA     \n");
    Write(root / "sys/bus/scsi/devices/0:0:0:0/model", "Samsung SSD 860 \n");
    Write(root / "sys/bus/scsi/devices/0:0:0:0/rev", "4B6Q\n");
    Write(root / "sys/bus/scsi/devices/2:0:1:0/type", "5\n");
    Write(root / "sys/bus/scsi/devices/2:0:1:0/vendor", "HL-DT-ST\n");
    Write(root / "sys/bus/scsi/devices/2:0:1:0/model", "DVDRAM GH24NSD1\n");
    Write(root / "sys/bus/scsi/devices/2:0:1:0/rev", "LG00\n");
    auto facts = torvex::platform::host::HostAspiLayer(root);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->hostAdapters, 2);
    ASSERT_EQ(facts->devices.size(), 2u);
    EXPECT_EQ(facts->devices[1].hostAdapter, 1);
    EXPECT_EQ(facts->devices[1].target, 1);
    EXPECT_EQ(facts->devices[1].deviceType, 5);
    EXPECT_EQ(facts->devices[1].vendor, "HL-DT-ST");
    EXPECT_EQ(facts->devices[0].product, "Samsung SSD 860 ");
    auto version = torvex::platform::host::SgDriverVersion(root);
    ASSERT_TRUE(version);
    EXPECT_EQ(*version, (torvex::platform::FileVersionNumbers{3, 5, 36, 0}));
    Write(root / "proc/scsi/sg/version", "garbage\n");
    EXPECT_FALSE(torvex::platform::host::HostAspiLayer(root));
    fs::remove_all(root);
}

TEST(HostEngines, OdbcIsTheDriverManagersLibraryVersionAndIdleTimeIsCpu0s) {
    fs::path root = fs::temp_directory_path() / ("torvex-hostodbc-" + std::to_string(::getpid()));
    fs::remove_all(root);
    EXPECT_FALSE(torvex::platform::host::OdbcDriverManagerVersion(root));
    Write(root / "usr/lib/x86_64-linux-gnu/libodbc.so.2.0.0", "");
    fs::create_symlink("libodbc.so.2.0.0", root / "usr/lib/x86_64-linux-gnu/libodbc.so.2");
    Write(root / "usr/lib/x86_64-linux-gnu/libodbcinst.so.2.0.0", "");
    auto v = torvex::platform::host::OdbcDriverManagerVersion(root);
    ASSERT_TRUE(v);
    EXPECT_EQ(*v, (torvex::platform::FileVersionNumbers{2, 0, 0, 0}));
    fs::remove_all(root);

    std::string stat = "cpu  100 0 50 9000 10 0 0 0 0 0\ncpu0 40 0 20 4500 5 0 0 0 0 0\ncpu1 60 0 30 4500 5 0 0 0 0 0\n";
    EXPECT_EQ(torvex::platform::host::Cpu0IdleTime(stat, 100), std::optional<std::uint64_t>(4505ull * 100000));
    EXPECT_FALSE(torvex::platform::host::Cpu0IdleTime("cpu  1 2 3 4\n", 100));
    EXPECT_FALSE(torvex::platform::host::Cpu0IdleTime("cpu0 1 x 3 4\n", 100));
}
