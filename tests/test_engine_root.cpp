// The engine root and what its categories share: the error policy of a
// refresh step, the list-to-report routine and the report's framing.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include "FakeMachine.h"
#include "engine/Zarvo_Common.h"
#include "engine/Zarvo_GUI.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32.h"

using namespace torvex;
using namespace torvex::engine;

namespace {

// A category whose refresh stores one fact and then fails.
class TFlakyCategory : public TPersistent {
public:
    int Before = 0;
    int After = 0;
    int Argument = -1;
    bool Fail = true;
    bool ThrowForeign = false;

    void GetInfo() {
        Before = 1;
        if (ThrowForeign) throw 42;
        if (Fail) throw std::runtime_error("Device not ready");
        After = 1;
    }
    void GetInfoWith(int argument) {
        Argument = argument;
        if (Fail) throw Exception("Bad argument");
    }
};

struct Box {
    std::string text, caption;
    unsigned type;
};

// Records message boxes instead of showing them.
class EngineRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned type) {
            boxes.push_back({text, caption, type});
            return win32::IDOK;
        });
    }
    void TearDown() override {
        platform::SetMessageBoxHook(nullptr);
        SetRefreshSplashFactory(nullptr);
    }
    std::vector<Box> boxes;
};

}  // namespace

TEST_F(EngineRootTest, MessageModeShowsOneErrorBoxAndGoesOn) {
    TFlakyCategory first, second;
    second.Fail = false;
    GuardedCall(GetInfoLabel(first), emMessage, &TFlakyCategory::GetInfo, first);
    GuardedCall(GetInfoLabel(second), emMessage, &TFlakyCategory::GetInfo, second);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "TFlakyCategory.GetInfo: Device not ready");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, win32::MB_OK | win32::MB_ICONERROR);
    // What the failing step stored stays; what it did not reach is unchanged.
    EXPECT_EQ(first.Before, 1);
    EXPECT_EQ(first.After, 0);
    EXPECT_EQ(second.After, 1);
}

TEST_F(EngineRootTest, RaiseModePassesOnOneExceptionWithTheLabel) {
    TFlakyCategory category;
    try {
        GuardedCall("TCPU.GetInfo", emRaise, &TFlakyCategory::GetInfo, category);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "TCPU.GetInfo: Device not ready");
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(category.Before, 1);
}

TEST_F(EngineRootTest, SilentModeLeavesNoTrace) {
    TFlakyCategory category;
    EXPECT_NO_THROW(GuardedCall(GetInfoLabel(category), emSilent, &TFlakyCategory::GetInfo, category));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(category.Before, 1);
}

TEST_F(EngineRootTest, GuardedCallWithArgumentAndForeignExceptions) {
    TFlakyCategory category;
    GuardedCall(1, "TMachine.GetInfo", emMessage, &TFlakyCategory::GetInfoWith, category);
    EXPECT_EQ(category.Argument, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "TMachine.GetInfo: Bad argument");
    // Something thrown that is no exception object still gets a label.
    category.ThrowForeign = true;
    EXPECT_THROW(GuardedCall("X.GetInfo", emRaise, &TFlakyCategory::GetInfo, category), Exception);
    GuardedCall("X.GetInfo", emMessage, &TFlakyCategory::GetInfo, category);
    EXPECT_EQ(boxes.back().text, "X.GetInfo: Unknown exception");
    // A step that succeeds shows nothing in any mode.
    category.ThrowForeign = false;
    category.Fail = false;
    for (auto mode : {emRaise, emMessage, emSilent})
        GuardedCall(GetInfoLabel(category), mode, &TFlakyCategory::GetInfo, category);
    EXPECT_EQ(boxes.size(), 2u);
}

TEST(EngineListToReport, CountLineThenNumberedEntries) {
    TStringList report;
    report.Add("[Devices]");
    TStringList devices;
    devices.Add("Floppy disk controller");
    devices.Add("");
    devices.Add("PCI bus");
    ListToReport(devices, "Count", "Device", report);
    EXPECT_EQ(report.ToVector(), (std::vector<std::string>{"[Devices]", "Count=3", "Device1=Floppy disk controller",
                                                          "Device2=", "Device3=PCI bus"}));
}

TEST(EngineListToReport, EmptyListsAndEmptyCountKey) {
    TStringList report;
    ListToReport(TStringList(), "Count", "Device", report);
    EXPECT_EQ(report.ToVector(), (std::vector<std::string>{"Count=0"}));
    report.Clear();
    ListToReport(TStringList(), "", "Device", report);
    EXPECT_EQ(report.Count(), 0);
    ListToReport(std::vector<std::string>{"a", "b"}, "", "Path", report);
    EXPECT_EQ(report.ToVector(), (std::vector<std::string>{"Path1=a", "Path2=b"}));
    // A list written into itself sees only its own entries.
    TStringList self;
    self.Add("x");
    ListToReport(self, "N", "E", self);
    EXPECT_EQ(self.ToVector(), (std::vector<std::string>{"x", "N=1", "E1=x"}));
}

TEST_F(EngineRootTest, ReportOpensWithTheBannerAndOnlyAppends) {
    TCorvaneSystemInfo info;
    EXPECT_EQ(info.About(), "Corvane System Information Component 7.61");
    TStringList report;
    report.Add("kept");
    info.Report(report);
    ASSERT_GE(report.Count(), 2);
    EXPECT_EQ(report[0], "kept");
    EXPECT_EQ(report[1], ";" + info.About());
    for (int i = 1; i < report.Count(); ++i) {
        EXPECT_FALSE(report[i].empty()) << "line " << i;
        if (i > 1) {
            EXPECT_NE(report[i][0], ';') << "line " << i;
        }
        EXPECT_EQ(report[i].find('\n'), std::string::npos);
        // The framing adds no trailing blank; the processor's cache line is
        // written as "Intel Cache Description: %s", so an empty description
        // leaves the blank of its own text.
        if (report[i] != "Intel Cache Description: ") {
            EXPECT_NE(report[i].back(), ' ');
        }
    }
}

TEST_F(EngineRootTest, ModeStartsAsMessageAndIsPublished) {
    TComponent form;
    auto& info = form.CreateComponent<TCorvaneSystemInfo>();
    EXPECT_EQ(info.ExceptionMode(), emMessage);
    info.SetExceptionMode(emRaise);
    EXPECT_EQ(info.ExceptionMode(), emRaise);
    std::vector<std::string> shown;
    for (const auto& p : info.GetPropList()) shown.push_back(p.Name + ":" + p.TypeName + "=" + p.Get().AsText());
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown[2], "About:string=Corvane System Information Component 7.61");
    EXPECT_EQ(shown[3], "ExceptionMode:TExceptionMode=emRaise");
}

namespace {

struct CountingSplash : TRefreshSplash {
    explicit CountingSplash(int& alive) : alive_(alive) { ++alive_; }
    ~CountingSplash() override { --alive_; }
    int& alive_;
};

}  // namespace

TEST_F(EngineRootTest, RefreshShowsTheSplashOnlyWhileItRuns) {
    int alive = 0, made = 0;
    SetRefreshSplashFactory([&] {
        ++made;
        return std::make_unique<CountingSplash>(alive);
    });
    TCorvaneSystemInfo info;
    EXPECT_EQ(made, 0);   // construction reads nothing
    info.Refresh();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(alive, 0);

    // Hosted by a form designer: no splash.
    TComponent designer;
    designer.SetDesigning(true);
    auto& designed = designer.CreateComponent<TCorvaneSystemInfo>();
    EXPECT_TRUE(designed.HasState(csDesigning));
    designed.Refresh();
    EXPECT_EQ(made, 1);
}

TEST(EngineReportFile, CrLfLinesInTheMachinesCodePage) {
    TStringList report;
    report.Add(";banner");
    report.Add("Code Name=0,13 \xC2\xB5m");   // the micro sign
    report.Add("Name=\xE2\x82\xAC \xE4\xB8\x80");   // euro sign, then a character outside 1252
    auto folder = std::filesystem::temp_directory_path() / ("torvex-report-file-" + std::to_string(::getpid()));
    auto fake = std::make_unique<torvex::testing::FakeMachine>(folder);
    auto* machine = fake.get();
    platform::SetActiveMachine(std::move(fake));
    machine->codePage = 1252;
    EXPECT_EQ(ReportFileBytes(report), ";banner\r\nCode Name=0,13 \xB5m\r\nName=\x80 ?\r\n");
    machine->codePage = 65001;
    EXPECT_EQ(ReportFileBytes(report),
              ";banner\r\nCode Name=0,13 \xC2\xB5m\r\nName=\xE2\x82\xAC \xE4\xB8\x80\r\n");
    EXPECT_EQ(ReportFileBytes(TStringList()), "");
    std::filesystem::remove_all(folder);
}

TEST(EngineRootModes, TheRootsModeReachesTheCategoriesThatFollowIt) {
    TCorvaneSystemInfo info;
    // Constructed: the root's own mode is stored, not passed on.
    EXPECT_EQ(info.ExceptionMode(), emMessage);
    EXPECT_EQ(info.CPU().ExceptionMode(), emMessage);
    info.SetExceptionMode(emRaise);
    EXPECT_EQ(info.CPU().ExceptionMode(), emRaise);
    info.SetExceptionMode(emSilent);
    EXPECT_EQ(info.CPU().ExceptionMode(), emSilent);
}
