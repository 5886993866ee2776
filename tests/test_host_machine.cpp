// The live host machine, replayed from a captured /proc, /sys and /etc tree,
// and a look at the real one that checks only what holds everywhere.
#include <gtest/gtest.h>

#include "platform/host/HostRegistry.h"

#include <stdlib.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/host/HostDrives.h"
#include "platform/host/HostFacts.h"
#include "platform/machine/Machine.h"

namespace {

namespace fs = std::filesystem;
using namespace torvex::platform;

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A private copy of the captured tree, with a password file that knows the
// uid running the test (a real capture would name the user who made it).
class HostReplay : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "torvex-hostroot-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::copy(fs::path(TORVEX_SOURCE_DIR) / "tests/data/hostroot", root_,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        std::ofstream passwd(root_ / "etc/passwd");
        unsigned uid = getuid();
        passwd << "nobody:x:" << (uid == 65534 ? 65533 : 65534)
               << ":65534:nobody:/nonexistent:/usr/sbin/nologin\n"
               << "anna:x:" << uid << ":" << uid
               << ":Anna Lindqvist,Room 12,555-0100,,:/home/anna:/bin/bash\n";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    fs::path root_;
};

TEST_F(HostReplay, VersionPresentsXpWithTheKernelRelease) {
    auto m = CreateHostMachine(root_);
    EXPECT_EQ(m->description(), "live host");
    EXPECT_EQ(m->ansiCodePage(), 65001u);
    VersionFacts v = m->version();
    EXPECT_EQ(v.platformId, 2u);
    EXPECT_EQ(v.major, 5u);
    EXPECT_EQ(v.minor, 1u);
    EXPECT_EQ(v.build, 2600u);
    EXPECT_EQ(v.csdVersion, "Linux 6.1.0-27-amd64");
    EXPECT_TRUE(v.extendedRecord);
    EXPECT_EQ(v.productType, 1);
    EXPECT_EQ(v.servicePackMajor, 0);
}

TEST_F(HostReplay, SystemInformationFromTheCapturedProcessor) {
    auto m = CreateHostMachine(root_);
    SystemInfoFacts s = m->systemInfo();
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(s.architecture, 0);
    EXPECT_EQ(s.processorType, 586u);
    // Ryzen 5 3600: family 23, model 113, stepping 0.
    EXPECT_EQ(s.processorLevel, 23);
    EXPECT_EQ(s.processorRevision, 0x7100);
#endif
    EXPECT_EQ(s.processors, 12u);
    EXPECT_EQ(s.activeProcessorMask, 0xFFFu);
    EXPECT_EQ(s.minAppAddress, 0x10000u);
    EXPECT_EQ(s.maxAppAddress, 0x7FFEFFFFu);
    EXPECT_EQ(s.allocationGranularity, 0x10000u);
    EXPECT_EQ(s.pageSize, static_cast<std::uint32_t>(sysconf(_SC_PAGESIZE)));
}

TEST_F(HostReplay, ManyProcessorsFillTheWholeMask) {
    std::ofstream(root_ / "sys/devices/system/cpu/online") << "0-63\n";
    SystemInfoFacts s = CreateHostMachine(root_)->systemInfo();
    EXPECT_EQ(s.processors, 32u);
    EXPECT_EQ(s.activeProcessorMask, 0xFFFFFFFFu);
}

TEST_F(HostReplay, MemoryStatusFromMeminfo) {
    MemoryFacts m = CreateHostMachine(root_)->memoryStatus();
    EXPECT_EQ(m.totalPhys, 16710492160ull);       // 16318840 kB
    EXPECT_EQ(m.availPhys, 10113581056ull);       // 9876544 kB
    EXPECT_EQ(m.memoryLoad, 39u);
    EXPECT_EQ(m.totalPageFile, 25101193216ull);   // MemTotal + SwapTotal 8194044 kB
    EXPECT_EQ(m.availPageFile, 18501136384ull);   // MemAvailable + SwapFree 8190972 kB
    EXPECT_EQ(m.totalVirtual, 0x7FFE0000ull);
}

TEST_F(HostReplay, NamesFromTheCapturedSystem) {
    auto m = CreateHostMachine(root_);
    EXPECT_EQ(m->computerName(), "ANNA-WORKSTATIO");
    EXPECT_EQ(m->userName(), "anna");
    // Without the kernel's running value, the configured name.
    fs::remove(root_ / "proc/sys/kernel/hostname");
    std::ofstream(root_ / "etc/hostname") << "# set by the installer\nkitchen-pc\n";
    EXPECT_EQ(CreateHostMachine(root_)->computerName(), "KITCHEN-PC");
}

TEST_F(HostReplay, FoldersInDriveLetterForm) {
    auto m = CreateHostMachine(root_);
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/home/anna/.config");
        EXPECT_EQ(m->windowsDirectory(), "E:\\anna\\.config\\torvex");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/is/ignored");
        ScopedEnv home("HOME", "/media/anna/USB STICK/home");
        EXPECT_EQ(m->windowsDirectory(), "H:\\home\\.config\\torvex");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        // The home folder from the password database.
        EXPECT_EQ(m->windowsDirectory(), "E:\\anna\\.config\\torvex");
    }
    EXPECT_EQ(m->systemDirectory(), "C:\\usr\\lib");
    {
        ScopedEnv tmp("TMPDIR", nullptr);
        EXPECT_EQ(m->tempDirectory(), "C:\\tmp\\");
    }
    {
        ScopedEnv tmp("TMPDIR", "/home/anna/tmp/");
        EXPECT_EQ(m->tempDirectory(), "E:\\anna\\tmp\\");
    }
    EXPECT_EQ(m->moduleFileName(), "E:\\anna\\bin\\torvex");
}

TEST_F(HostReplay, WindowsFolderIsCreatedByTheFirstWriteOnly) {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/home/anna/.config");
    auto m = CreateHostMachine(root_);
    const std::string ini = m->windowsDirectory() + "\\Norvo.INI";
    EXPECT_FALSE(m->readPath(ini));
    EXPECT_FALSE(fs::exists(root_ / "home/anna/.config/torvex"));
    auto target = m->writePath(ini);
    ASSERT_TRUE(target);
    EXPECT_EQ(*target, root_ / "home/anna/.config/torvex/Norvo.INI");
    EXPECT_TRUE(fs::is_directory(root_ / "home/anna/.config/torvex"));
    std::ofstream(*target) << "[NorvoUtility]\r\n";
    auto read = m->readPath("e:\\ANNA\\..\\anna\\.config\\torvex\\Norvo.INI");
    ASSERT_TRUE(read);
    EXPECT_TRUE(fs::equivalent(*read, *target));
    // Nothing else is created on the way: a folder that does not exist
    // cannot be written into, and an unknown drive is no place at all.
    EXPECT_FALSE(m->writePath("E:\\anna\\missing\\file.txt"));
    EXPECT_FALSE(fs::exists(root_ / "home/anna/missing"));
    EXPECT_FALSE(m->writePath("Q:\\file.txt"));
    EXPECT_TRUE(m->readPath("C:\\etc\\os-release"));
    EXPECT_FALSE(m->readPath("C:\\etc\\no-such-file"));
}

TEST_F(HostReplay, RegistryProjectsTheSystemOnce) {
    auto m = CreateHostMachine(root_);
    Registry& r = m->registry();
    EXPECT_TRUE(r.userIsAdmin());
    for (const char* path : {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"}) {
        RegKey* key = r.root(RegRoot::LocalMachine).find(path);
        ASSERT_NE(key, nullptr) << path;
        ASSERT_NE(key->value("ProductName"), nullptr) << path;
        EXPECT_EQ(key->value("ProductName")->text(), "Debian GNU/Linux 12 (bookworm)");
        ASSERT_NE(key->value("RegisteredOwner"), nullptr) << path;
        EXPECT_EQ(key->value("RegisteredOwner")->text(), "Anna Lindqvist");
        ASSERT_NE(key->value("RegisteredOrganization"), nullptr) << path;
        EXPECT_EQ(key->value("RegisteredOrganization")->text(), "");
        ASSERT_NE(key->value("ProductId"), nullptr) << path;
        EXPECT_EQ(key->value("ProductId")->text(), "b1946ac92492d2347c6235b4d2611184");
    }
    RegKey* nt =
        r.root(RegRoot::LocalMachine).find("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    EXPECT_EQ(nt->value("CSDVersion")->text(), "Linux 6.1.0-27-amd64");
    ASSERT_NE(nt->value("CurrentType"), nullptr);
    EXPECT_EQ(nt->value("CurrentType")->text(), "Multiprocessor Free");
    RegKey* cn = r.root(RegRoot::LocalMachine)
                     .find("SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName");
    ASSERT_NE(cn, nullptr);
    EXPECT_EQ(cn->value("ComputerName")->text(), "ANNA-WORKSTATIO");

    // Built once: a change on the system and a write by the program are
    // not replaced by a second projection.
    nt->setValue(RegValue::String("RegisteredOrganization", "written by the program"));
    std::ofstream(root_ / "etc/machine-id") << "00000000000000000000000000000000\n";
    Registry& again = m->registry();
    EXPECT_EQ(&again, &r);
    RegKey* nt2 =
        again.root(RegRoot::LocalMachine).find("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    EXPECT_EQ(nt2->value("RegisteredOrganization")->text(), "written by the program");
    EXPECT_EQ(nt2->value("ProductId")->text(), "b1946ac92492d2347c6235b4d2611184");
}

TEST_F(HostReplay, HardwareDescriptionCarriesTheFirmwareVersionAndDate) {
    // Without DMI (many virtual machines) no version and no date are made up.
    {
        auto m = CreateHostMachine(root_);
        RegKey* d = m->registry().root(RegRoot::LocalMachine).find("HARDWARE\\DESCRIPTION\\System");
        if (d) {
            EXPECT_EQ(d->value("SystemBiosVersion"), nullptr);
            EXPECT_EQ(d->value("SystemBiosDate"), nullptr);
        }
    }
    fs::create_directories(root_ / "sys/class/dmi/id");
    std::ofstream(root_ / "sys/class/dmi/id/bios_version") << "1.21.0\n";
    std::ofstream(root_ / "sys/class/dmi/id/bios_date") << "07/14/2023\n";
    auto m = CreateHostMachine(root_);
    RegKey* d = m->registry().root(RegRoot::LocalMachine).find("HARDWARE\\DESCRIPTION\\System");
    ASSERT_NE(d, nullptr);
    ASSERT_NE(d->value("SystemBiosVersion"), nullptr);
    EXPECT_EQ(d->value("SystemBiosVersion")->type, 7u);
    const std::vector<std::uint8_t> multi = {'1', '.', '2', '1', '.', '0', 0, 0};
    EXPECT_EQ(d->value("SystemBiosVersion")->data, multi);
    // Windows keeps the date as the firmware's own "MM/DD/YY".
    EXPECT_EQ(d->value("SystemBiosDate")->text(), "07/14/23");
    EXPECT_EQ(torvex::platform::host::WindowsBiosDate("2023-07-14"), "2023-07-14");
    EXPECT_EQ(torvex::platform::host::KernelType("#1 PREEMPT Tue Jan 2 2024"), "Uniprocessor Free");
    EXPECT_EQ(torvex::platform::host::KernelType("#1 SMP PREEMPT_DYNAMIC @0"), "Multiprocessor Free");
}

TEST_F(HostReplay, OwnerWithoutFullNameIsTheLogin) {
    std::ofstream(root_ / "etc/passwd") << "anna:x:" << getuid() << ":100::/home/anna:/bin/sh\n";
    fs::remove(root_ / "etc/machine-id");
    fs::remove(root_ / "etc/os-release");
    fs::create_directories(root_ / "usr/lib");
    std::ofstream(root_ / "usr/lib/os-release") << "NAME=Arch\nPRETTY_NAME='Arch Linux'\n";
    auto m = CreateHostMachine(root_);
    RegKey* nt = m->registry().root(RegRoot::LocalMachine)
                     .find("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    ASSERT_NE(nt, nullptr);
    EXPECT_EQ(nt->value("RegisteredOwner")->text(), "anna");
    EXPECT_EQ(nt->value("ProductName")->text(), "Arch Linux");
    EXPECT_EQ(nt->value("ProductId"), nullptr);
}

TEST_F(HostReplay, LibrariesAreWhatTheLayerImplements) {
    auto m = CreateHostMachine(root_);
    EXPECT_TRUE(m->hasLibrary("KERNEL32"));
    EXPECT_TRUE(m->hasLibrary("C:\\WINDOWS\\system32\\advapi32.dll"));
    EXPECT_TRUE(m->hasExport("kernel32.dll", "GlobalMemoryStatusEx"));
    EXPECT_FALSE(m->hasExport("kernel32.dll", "GlobalMemoryStatusEy"));
    // Nothing of the 16-bit path of Windows 9x, no system library the layer
    // lacks.
    EXPECT_FALSE(m->hasExport("kernel32.dll", "QT_Thunk"));
    EXPECT_FALSE(m->hasLibrary("psapi.dll"));
    EXPECT_FALSE(m->hasLibrary("wnaspi32"));
}

TEST_F(HostReplay, ClockAndAbsentSixteenBitPath) {
    auto m = CreateHostMachine(root_);
    EXPECT_EQ(m->millisecondsSinceStart(), 93412570u);   // /proc/uptime 93412.57
    EXPECT_EQ(m->performanceFrequency(), 1000000000u);
    EXPECT_EQ(m->exportByOrdinal("kernel32.dll", 35), "");
    EXPECT_FALSE(m->freeSystemResources(0));
    EXPECT_FALSE(m->freeSystemResources(2));
}

// The running system: only what holds on every Linux PC.
TEST(HostLive, RealRootKeepsItsInvariants) {
    auto m = CreateHostMachine("/");
    utsname u{};
    ASSERT_EQ(uname(&u), 0);
    EXPECT_EQ(m->version().csdVersion, std::string("Linux ") + u.release);

    MemoryFacts mem = m->memoryStatus();
    EXPECT_GT(mem.totalPhys, 0u);
    EXPECT_LE(mem.availPhys, mem.totalPhys);
    EXPECT_LE(mem.memoryLoad, 100u);

    SystemInfoFacts s = m->systemInfo();
    EXPECT_GE(s.processors, 1u);
    EXPECT_LE(s.processors, 32u);

    std::string name = m->computerName();
    EXPECT_LE(name.size(), 15u);
    for (char c : name) EXPECT_FALSE(c >= 'a' && c <= 'z') << name;

    // Every absolute path has a drive-letter form that leads back to it.
    host::DriveMap drives = host::DriveMap::Load("/");
    ASSERT_FALSE(drives.drives().empty());
    EXPECT_EQ(drives.drives().front().letter, 'C');
    EXPECT_EQ(drives.drives().front().mountPoint, "/");
    for (const char* p : {"/", "/usr/lib", "/tmp", "/proc/self", "/home"})
        EXPECT_EQ(drives.toHost(drives.toWindows(p)).value_or("?"), p);
    std::string module = m->moduleFileName();
    ASSERT_GE(module.size(), 3u);
    EXPECT_EQ(module.substr(1, 2), ":\\");

    // Clocks move forward.
    std::uint64_t c1 = m->performanceCounter();
    std::uint64_t t1 = m->millisecondsSinceStart();
    m->sleep(20);
    EXPECT_GT(m->performanceCounter(), c1 + 19000000u);
    EXPECT_GE(m->millisecondsSinceStart(), t1 + 10);
    LocalTime utc = m->systemTime();
    EXPECT_GE(utc.year, 2024);
    EXPECT_GE(utc.month, 1);
    EXPECT_LE(utc.month, 12);

    // The environment is this process's own.
    ScopedEnv marker("TORVEX_HOST_TEST_MARKER", "a=b");
    bool found = false;
    for (const auto& e : m->environment()) found |= e == "TORVEX_HOST_TEST_MARKER=a=b";
    EXPECT_TRUE(found);

#if defined(__x86_64__) || defined(__i386__)
    ASSERT_TRUE(m->cpuidAvailable());
    CpuidAnswer leaf0 = m->cpuid(0, 0);
    EXPECT_GE(leaf0.eax, 1u);
    EXPECT_NE(leaf0.ebx, 0u);   // the vendor text begins here
    // The kernel's decoding of the processor and Windows' agree.
    host::ProcessorLevel fromSignature = host::LevelFromSignature(m->cpuid(1, 0).eax);
    EXPECT_EQ(s.processorLevel, fromSignature.level);
    EXPECT_EQ(s.processorRevision, fromSignature.revision);
    std::uint64_t tsc = m->timeStampCounter();
    EXPECT_GT(m->timeStampCounter(), tsc);
#endif
}

}  // namespace
