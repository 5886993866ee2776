// Pages named on the command line: as the page spells its name, in other
// letter case, with blanks around it, or not at all.
#include <gtest/gtest.h>

#include "engine/Zarvo_GUI.h"

using torvex::engine::OverviewPageByName;
using torvex::engine::OverviewPageName;

TEST(TopicNames, FoundAsSpelledInAnyCaseAndTrimmed) {
    EXPECT_EQ(OverviewPageByName("Memory"), 3);
    EXPECT_EQ(OverviewPageByName("CPU"), 2);
    EXPECT_EQ(OverviewPageByName("memory"), 3);
    EXPECT_EQ(OverviewPageByName("cpu"), 2);
    EXPECT_EQ(OverviewPageByName("  Time Zone "), OverviewPageByName("time zone"));
    EXPECT_STREQ(OverviewPageName(OverviewPageByName("TIME ZONE")), "Time Zone");
    EXPECT_EQ(OverviewPageByName("Memor"), -1);
    EXPECT_EQ(OverviewPageByName(""), -1);
}
