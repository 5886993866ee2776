// The build's layer rules (cmake/CheckLayers.cmake) reject an include that
// runs the wrong way and pass the project as it is; the program context
// keeps what a program sets, apart from the machine it runs on.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FakeMachine.h"
#include "platform/machine/ProgramContext.h"

namespace fs = std::filesystem;

namespace {

struct CheckResult {
    int status = -1;
    std::string output;
};

CheckResult RunLayerCheck(const fs::path& tree) {
    fs::path out = tree / "check.out";
    std::string command = std::string("\"") + TORVEX_CMAKE_COMMAND + "\" -DSOURCE_DIR=\"" + tree.string() +
                          "\" -P \"" + TORVEX_SOURCE_DIR + "/cmake/CheckLayers.cmake\" > \"" + out.string() +
                          "\" 2>&1";
    CheckResult r;
    r.status = std::system(command.c_str());
    std::ifstream in(out);
    r.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return r;
}

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

class LayerCheck : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "torvex-layers-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        tree_ = pattern;
        Write(tree_ / "platform/machine/Machine.h", "#pragma once\n#include <string>\n");
        Write(tree_ / "platform/win32/Win32.h", "#include \"platform/machine/Machine.h\"\n");
        Write(tree_ / "platform/host/Host.cpp", "#include \"platform/machine/Machine.h\"\n#include <libudev.h>\n");
        Write(tree_ / "engine/Zarvo_X.cpp", "#include \"platform/win32/Win32.h\"\n#include \"engine/Zarvo_X.h\"\n");
    }
    void TearDown() override { fs::remove_all(tree_); }
    fs::path tree_;
};

}  // namespace

TEST_F(LayerCheck, PassesIncludesThatRunDownward) {
    CheckResult r = RunLayerCheck(tree_);
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(LayerCheck, RejectsTheHostIncludingTheShimAndTheEngineIncludingAMachine) {
    Write(tree_ / "platform/host/HostMachine.cpp", "#include \"platform/win32/Exports.h\"\n");
    Write(tree_ / "engine/cpu/Zarvo_Y.cpp", "  #  include \"platform/machine/TextUtil.h\" // indented\n");
    CheckResult r = RunLayerCheck(tree_);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("platform/host/HostMachine.cpp: includes \"platform/win32/Exports.h\""), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("engine/cpu/Zarvo_Y.cpp: includes \"platform/machine/TextUtil.h\""), std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("Zarvo_X.cpp"), std::string::npos) << r.output;
}

TEST(LayerCheckProject, TheProjectKeepsItsLayers) {
    CheckResult r = RunLayerCheck(TORVEX_SOURCE_DIR);
    EXPECT_EQ(r.status, 0) << r.output;
}

// Lock keys toggled through the program belong to the machine they were
// toggled on: a newly selected machine starts from its own indicators.
TEST(ProgramContext, KeyTogglesAreForgottenWithTheirMachine) {
    using namespace torvex::platform;
    SetActiveMachine(std::make_unique<torvex::testing::FakeMachine>(fs::temp_directory_path() / "torvex-context-fake"));
    EXPECT_EQ(ActiveMachine().keyToggled(0x14), std::nullopt);
    EXPECT_TRUE(ActiveMachine().setKeyToggled(0x14, true));
    EXPECT_EQ(ActiveMachine().keyToggled(0x14), std::optional<bool>(true));
    SetActiveMachine(std::make_unique<torvex::testing::FakeMachine>(fs::temp_directory_path() / "torvex-context-fake"));
    EXPECT_EQ(ActiveMachine().keyToggled(0x14), std::nullopt);
    SetActiveMachine(nullptr);
    fs::remove_all(fs::temp_directory_path() / "torvex-context-fake");
}

// A program's context replaces the last one whole; its parts can be changed
// one at a time afterwards (the window program learns the display late).
TEST(ProgramContext, SetUpWholeThenChangedInParts) {
    using namespace torvex::platform;
    ProgramContext context;
    context.resourceStrings = {{7, "Sju"}};
    context.messageBox = [](const std::string&, const std::string&, unsigned) { return 2; };
    SetProgramContext(std::move(context));
    EXPECT_EQ(ProgramResourceString(7), std::optional<std::string>("Sju"));
    EXPECT_EQ(ProgramResourceString(8), std::nullopt);
    ASSERT_TRUE(ProgramMessageBox());
    EXPECT_EQ(ProgramMessageBox()("t", "c", 0), 2);
    EXPECT_EQ(ProgramDisplayFacts(), std::nullopt);
    SetDisplayFacts(ScreenFacts{1024, 768, 16, 1, 96});
    ASSERT_TRUE(ProgramDisplayFacts());
    EXPECT_EQ(ProgramDisplayFacts()->width, 1024);
    SetProgramContext({});
    EXPECT_EQ(ProgramResourceString(7), std::nullopt);
    EXPECT_FALSE(ProgramMessageBox());
    EXPECT_EQ(ProgramDisplayFacts(), std::nullopt);
}
