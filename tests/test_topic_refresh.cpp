// A report of one topic gathers that topic alone, and prints exactly what the
// same topic prints after a whole refresh: the categories made by the root
// read their devices when first asked, not on construction.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/Zarvo_GUI.h"
#include "platform/Corvane_Routines.h"
#include "platform/machine/Machine.h"

namespace {

using namespace torvex;
using namespace torvex::engine;

std::vector<std::string> PageLines(const TCorvaneSystemInfo& info, int page) {
    classes::TStringList list;
    ReportPage(info, page, list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

class TopicRefresh : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        platform::SetActiveMachine(
            platform::LoadSimulatedMachine(std::filesystem::path(TORVEX_SOURCE_DIR) / "machines" / GetParam()));
        platform::routines::InitializeRoutines();
    }
    void TearDown() override { platform::SetActiveMachine(nullptr); }
};

TEST_P(TopicRefresh, EachTopicAloneEqualsItsPartOfTheWholeRefresh) {
    TCorvaneSystemInfo whole;
    whole.Refresh();
    for (int page = 0; page < kAboutPage; ++page) {
        std::vector<std::string> expected = PageLines(whole, page);
        ASSERT_FALSE(expected.empty()) << OverviewPageName(page);
        TCorvaneSystemInfo alone;
        alone.RefreshTopic(page);
        EXPECT_EQ(PageLines(alone, page), expected) << GetParam() << ", topic " << OverviewPageName(page);
    }
}

TEST_P(TopicRefresh, ModelAndAdaptersAreThereWithoutARefresh) {
    // Read on first question: a root asked before any refresh still names
    // the same model and adapters as one that refreshed everything.
    TCorvaneSystemInfo whole;
    whole.Refresh();
    TCorvaneSystemInfo fresh;
    EXPECT_EQ(fresh.Machine().Computer(), whole.Machine().Computer());
    EXPECT_EQ(fresh.Network().Adapters().Count(), whole.Network().Adapters().Count());
    EXPECT_EQ(fresh.Network().CardAdapterIndex(), whole.Network().CardAdapterIndex());
    EXPECT_EQ(fresh.Display().Adapter(), whole.Display().Adapter());
    EXPECT_EQ(fresh.Media().Devices().Count(), whole.Media().Devices().Count());
    EXPECT_EQ(fresh.Media().SoundCardIndex(), whole.Media().SoundCardIndex());
}

INSTANTIATE_TEST_SUITE_P(ShippedPCs, TopicRefresh,
                         ::testing::Values("nt4-pc", "win2000-dc", "win95-pc", "win95osr2-pc", "win98-pc",
                                           "win98se-pc", "win98se-pc-nonet", "winme-pc", "winxp-pc",
                                           "winxp-pc-guest"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });

}  // namespace
