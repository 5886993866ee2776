// Plain ASCII texts compared without ICU must order exactly as ICU's root
// collation orders them (letter case ignored, punctuation before digits
// before letters); checked against ICU itself over many texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "platform/classes/SysUtils.h"

using torvex::classes::AnsiCompareText;
using torvex::classes::AnsiSameText;
using torvex::classes::SetCollationLocale;

namespace {

// Whether this process's locale leaves the user's collation the root one.
bool RootLocaleHere() {
    const char* id = std::getenv("LC_ALL");
    if (!id) id = std::getenv("LC_MESSAGES");
    if (!id) id = std::getenv("LANG");
    if (!id) return true;
    return std::strncmp(id, "C", 1) == 0 || std::strncmp(id, "POSIX", 5) == 0 || std::strncmp(id, "en", 2) == 0;
}

}  // namespace

TEST(AsciiCollation, AgreesWithIcuRootCollation) {
    if (!RootLocaleHere()) GTEST_SKIP() << "the locale here is neither C nor English";
    // Under an explicit English collation every comparison goes to ICU; "["
    // sorts before "1" there but not in the byte order used without ICU.
    SetCollationLocale("en");
    const bool icu = AnsiCompareText("[", "1") < 0;
    if (!icu) {
        SetCollationLocale("");
        GTEST_SKIP() << "ICU is not available here";
    }
    std::mt19937 random(20261209);
    const std::string alphabet = " _-,;:!?.'\"()[]{}@*/\\&#%`^+<=>|~$0123456789AaBbIiZzxX";
    auto text = [&] {
        std::string s;
        for (int n = int(random() % 6); n > 0; --n) s.push_back(alphabet[random() % alphabet.size()]);
        return s;
    };
    int disagreements = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string a = text(), b = text();
        SetCollationLocale("en");
        int byIcu = AnsiCompareText(a, b);
        SetCollationLocale("");
        int plain = AnsiCompareText(a, b);
        if ((byIcu > 0) - (byIcu < 0) != plain) {
            if (++disagreements <= 5) ADD_FAILURE() << "\"" << a << "\" vs \"" << b << "\": ICU " << byIcu << ", plain " << plain;
        }
    }
    EXPECT_EQ(disagreements, 0);
    // Every printable character against every other, once each way.
    for (int x = 0x20; x < 0x7F; ++x)
        for (int y = 0x20; y < 0x7F; ++y) {
            std::string a(1, char(x)), b(1, char(y));
            SetCollationLocale("en");
            int byIcu = AnsiCompareText(a, b);
            SetCollationLocale("");
            EXPECT_EQ((byIcu > 0) - (byIcu < 0), AnsiCompareText(a, b)) << a << " vs " << b;
        }
    EXPECT_TRUE(AnsiSameText("Memory", "MEMORY"));
    EXPECT_FALSE(AnsiSameText("Time Zone", "TimeZone"));
    // A text with a letter beyond ASCII still goes to ICU: accents count.
    EXPECT_LT(AnsiCompareText("resume", "r\xC3\xA9sum\xC3\xA9"), 0);
    EXPECT_LT(AnsiCompareText("r\xC3\xA9sum\xC3\xA9", "resumes"), 0);
}
