// The live host's facts turned into Windows' figures, from the texts the
// kernel and the distribution write.
#include <gtest/gtest.h>

#include "platform/host/HostFacts.h"
#include "platform/host/HostRegistry.h"

namespace {

using namespace torvex::platform;
using namespace torvex::platform::host;

TEST(HostFacts, MeminfoGivesPhysicalCommitAndTheWholeUserRange) {
    MemoryFacts m = ParseMeminfo(
        "MemTotal:        8000000 kB\n"
        "MemFree:          500000 kB\n"
        "MemAvailable:    2000000 kB\n"
        "Buffers:          100000 kB\n"
        "Cached:          1000000 kB\n"
        "SwapTotal:       1000000 kB\n"
        "SwapFree:         600000 kB\n"
        "CommitLimit:     5000000 kB\n"
        "Committed_AS:    7000000 kB\n"
        "HugePages_Total:       0\n");
    EXPECT_EQ(m.totalPhys, 8000000ull * 1024);
    EXPECT_EQ(m.availPhys, 2000000ull * 1024);
    EXPECT_EQ(m.memoryLoad, 75u);
    // Physical memory plus swap, as Windows counts its commit limit; the
    // kernel's CommitLimit and Committed_AS play no part.
    EXPECT_EQ(m.totalPageFile, 9000000ull * 1024);
    EXPECT_EQ(m.availPageFile, 2600000ull * 1024);
    EXPECT_EQ(m.totalVirtual, 0x7FFE0000ull);
    EXPECT_EQ(m.availVirtual, 0x7FFE0000ull);
}

TEST(HostFacts, MeminfoOfOvercommittedAndOldKernels) {
    // More committed than the limit (overcommit) and no swap: the free
    // figure is the free memory, never 0 and never a wrap.
    MemoryFacts over = ParseMeminfo(
        "MemTotal: 1000 kB\nMemAvailable: 10 kB\nCommitLimit: 500 kB\nCommitted_AS: 900 kB\n"
        "SwapTotal: 0 kB\nSwapFree: 0 kB\n");
    EXPECT_EQ(over.totalPageFile, 1000u * 1024);
    EXPECT_EQ(over.availPageFile, 10u * 1024);
    EXPECT_EQ(over.memoryLoad, 99u);
    // Before 3.14 there is no MemAvailable: free + buffers + page cache.
    MemoryFacts old = ParseMeminfo(
        "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB\n");
    EXPECT_EQ(old.availPhys, 400u * 1024);
    EXPECT_EQ(old.memoryLoad, 60u);
    EXPECT_EQ(old.totalPageFile, 1000u * 1024);
    EXPECT_EQ(old.availPageFile, 400u * 1024);
    // Nothing readable: zeros, no division by zero.
    MemoryFacts none = ParseMeminfo("");
    EXPECT_EQ(none.totalPhys, 0u);
    EXPECT_EQ(none.memoryLoad, 0u);
    EXPECT_EQ(MemoryLoad(100, 200), 0u);
}

TEST(HostFacts, OsReleaseUndoesShellQuoting) {
    auto v = ParseOsRelease(
        "# comment\n"
        "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
        "ID=debian\n"
        "NAME='Fedora Linux'\n"
        "VARIANT=\"Say \\\"hi\\\" \\$HOME \\\\ done\"\n"
        "BROKEN\n"
        "WINDOWS_LINE=yes\r\n");
    EXPECT_EQ(v["PRETTY_NAME"], "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(v["ID"], "debian");
    EXPECT_EQ(v["NAME"], "Fedora Linux");
    EXPECT_EQ(v["VARIANT"], "Say \"hi\" $HOME \\ done");
    EXPECT_EQ(v["WINDOWS_LINE"], "yes");
    EXPECT_EQ(v.count("BROKEN"), 0u);
}

TEST(HostFacts, ProcessorLevelAndRevisionFromTheSignature) {
    struct Case {
        std::uint32_t signature;
        std::uint16_t level, revision;
    } cases[] = {
        {0x00000543, 5, 0x0403},    // Pentium MMX: no extended fields
        {0x0000068A, 6, 0x080A},    // Pentium III Coppermine
        {0x00000F29, 15, 0x0209},   // Pentium 4 Northwood
        {0x000906EA, 6, 0x9E0A},    // Core i7-8700: extended model
        {0x00870F10, 23, 0x7100},   // Ryzen 5 3600: extended family and model
        {0x00020F32, 15, 0x2302},   // Athlon 64 X2: extended model with family 15
        {0x00000562, 5, 0x0602},    // K6: family 5 ignores the extended model bits
    };
    for (const auto& c : cases) {
        ProcessorLevel p = LevelFromSignature(c.signature);
        EXPECT_EQ(p.level, c.level) << std::hex << c.signature;
        EXPECT_EQ(p.revision, c.revision) << std::hex << c.signature;
    }
    // Extended model bits on family 5 are not model bits.
    EXPECT_EQ(LevelFromSignature(0x00010562).revision, 0x0602);
}

TEST(HostFacts, CpuListsCountProcessors) {
    EXPECT_EQ(CountCpuList("0-11\n"), 12u);
    EXPECT_EQ(CountCpuList("0"), 1u);
    EXPECT_EQ(CountCpuList("0-3,6,8-9"), 7u);
    EXPECT_EQ(CountCpuList(""), 0u);
    EXPECT_EQ(CountCpuList("3-1"), 0u);
    EXPECT_EQ(CountCpuList("zero"), 0u);
}

TEST(HostFacts, ComputerNameIsTheNetBiosForm) {
    EXPECT_EQ(NetBiosName("vm\n"), "VM");
    EXPECT_EQ(NetBiosName("anna-desktop.example.org"), "ANNA-DESKTOP");
    EXPECT_EQ(NetBiosName("anna-workstation-2020"), "ANNA-WORKSTATIO");
    // Never cut inside a character.
    EXPECT_EQ(NetBiosName("abcdefghijklmn\xC3\xA9x"), "ABCDEFGHIJKLMN");
    EXPECT_EQ(NetBiosName(""), "");
}

TEST(HostFacts, PasswordDatabaseGivesLoginHomeAndFullName) {
    const char* passwd =
        "root:x:0:0:root:/root:/bin/bash\n"
        "# a comment\n"
        "short:x:7\n"
        "anna:x:1000:1000:Anna Lindqvist,Room 12,555-0100,,:/home/anna:/bin/bash\n"
        "bob:x:1001:1001::/home/bob:/bin/sh\n";
    auto anna = FindPasswdEntry(passwd, 1000);
    ASSERT_TRUE(anna);
    EXPECT_EQ(anna->login, "anna");
    EXPECT_EQ(anna->home, "/home/anna");
    EXPECT_EQ(GecosFullName(anna->gecos), "Anna Lindqvist");
    auto bob = FindPasswdEntry(passwd, 1001);
    ASSERT_TRUE(bob);
    EXPECT_EQ(GecosFullName(bob->gecos), "");
    EXPECT_FALSE(FindPasswdEntry(passwd, 7));
    EXPECT_FALSE(FindPasswdEntry(passwd, 4242));
    EXPECT_EQ(GecosFullName(" Anna Lindqvist "), "Anna Lindqvist");
}

TEST(HostFacts, RegistryProjectionHoldsOnlyFactsThatExist) {
    Registry r;
    r.setUserIsAdmin(false);
    HostRegistryFacts f;
    f.productName = "Debian GNU/Linux 12 (bookworm)";
    f.registeredOwner = "Anna Lindqvist";
    f.csdVersion = "Linux 6.1.0-27-amd64";
    // No machine id and no host name on this host.
    ProjectHostRegistry(r, f);
    EXPECT_TRUE(r.userIsAdmin());
    RegKey* nt =
        r.root(RegRoot::LocalMachine).find("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    ASSERT_NE(nt, nullptr);
    EXPECT_EQ(nt->value("ProductName")->text(), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(nt->value("RegisteredOwner")->text(), "Anna Lindqvist");
    ASSERT_NE(nt->value("RegisteredOrganization"), nullptr);
    EXPECT_EQ(nt->value("RegisteredOrganization")->text(), "");
    EXPECT_EQ(nt->value("ProductId"), nullptr);
    EXPECT_EQ(nt->value("CSDVersion")->text(), "Linux 6.1.0-27-amd64");
    EXPECT_EQ(nt->value("CurrentVersion")->text(), "5.1");
    EXPECT_EQ(nt->value("CurrentBuildNumber")->text(), "2600");
    RegKey* win =
        r.root(RegRoot::LocalMachine).find("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->value("ProductName")->text(), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(win->value("RegisteredOwner")->text(), "Anna Lindqvist");
    EXPECT_EQ(win->value("CSDVersion"), nullptr);
    EXPECT_EQ(r.root(RegRoot::LocalMachine)
                  .find("SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName"),
              nullptr);
}

}  // namespace
