// The root's ShowOverview hands itself to the window the program installed;
// a program without windows gets an error, not a silent nothing.
#include <gtest/gtest.h>

#include "engine/Zarvo_GUI.h"

using namespace torvex;

TEST(EngineOverviewHook, WithoutAWindowShowOverviewRaisesAndWithOneItGetsTheRoot) {
    engine::SetOverviewShower({});
    engine::TCorvaneSystemInfo info;
    EXPECT_THROW(info.ShowOverview(), Exception);

    int shown = 0;
    engine::TCorvaneSystemInfo* seen = nullptr;
    engine::SetOverviewShower([&](engine::TCorvaneSystemInfo& root) {
        ++shown;
        seen = &root;
    });
    info.ShowOverview();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(seen, &info);
    engine::SetOverviewShower({});
}
