// The live host's installed programs and startup programs, read from
// replayed trees of the files they come from.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/host/HostDrives.h"
#include "platform/host/HostSoftware.h"
#include "platform/host/HostStartup.h"

using namespace torvex::platform;
using namespace torvex::platform::host;

namespace {

class ReplayedTree : public ::testing::Test {
protected:
    void SetUp() override {
        root = std::filesystem::temp_directory_path() /
               ("torvex-host-sws-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        context.root = root;
        context.home = "/home/kari";
        env["PATH"] = "/usr/local/bin:/usr/bin:/bin";
        context.env = [this](const char* name) -> std::optional<std::string> {
            auto it = env.find(name);
            if (it == env.end()) return std::nullopt;
            return it->second;
        };
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    void write(const std::string& hostPath, const std::string& text) {
        auto p = root / hostPath.substr(1);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    void link(const std::string& target, const std::string& hostPath) {
        auto p = root / hostPath.substr(1);
        std::filesystem::create_directories(p.parent_path());
        std::filesystem::create_symlink(target, p);
    }
    // The real host's drive letters: "/" is C:.
    DriveMap drives = DriveMap::Load("/");
    std::filesystem::path root;
    std::map<std::string, std::string> env;
    HostContext context;
};

std::string Entry(const std::string& body) { return "[Desktop Entry]\nType=Application\n" + body; }

TEST_F(ReplayedTree, AutostartEntriesAsShortcutsWithTheDesktopRules) {
    write("/usr/bin/nm-applet", "");
    write("/usr/bin/blueman-applet", "");
    write("/etc/xdg/autostart/nm-applet.desktop",
          Entry("Name=Network\nName[nb]=Nettverk\nExec=nm-applet --indicator %U\nNotShowIn=KDE;\n"));
    write("/etc/xdg/autostart/blueman.desktop", Entry("Name=Blueman Applet\nExec=blueman-applet\n"));
    write("/etc/xdg/autostart/kdeconnect.desktop", Entry("Name=KDE Connect\nExec=kdeconnectd\nOnlyShowIn=KDE;\n"));
    write("/etc/xdg/autostart/tracker.desktop",
          Entry("Name=Tracker\nExec=tracker-miner-fs\nX-GNOME-Autostart-enabled=false\n"));
    write("/etc/xdg/autostart/orca.desktop", Entry("Name=Screen Reader\nExec=orca\nHidden=true\n"));
    write("/etc/xdg/autostart/empty.desktop", Entry("Name=No Command\n"));
    // The user switches the system's Bluetooth applet off and adds a program.
    write("/home/kari/.config/autostart/blueman.desktop", Entry("Name=Blueman Applet\nExec=blueman-applet\nHidden=true\n"));
    write("/home/kari/.config/autostart/backup.desktop",
          Entry("Name=Nightly: backup?\nExec=\"/opt/My Backup/run\" --quiet \"two words\" 100%%\n"));
    write("/home/kari/.config/autostart/notes.txt", "not an entry");

    env["XDG_CURRENT_DESKTOP"] = "ubuntu:GNOME";
    auto common = AutostartShortcuts(context, drives, true);
    // Switched off by the user, without a command, for another desktop,
    // disabled and hidden entries are left out; the field code goes.
    ASSERT_EQ(common.size(), 1u);
    EXPECT_EQ(common[0].fileName, "Network.lnk");
    EXPECT_EQ(common[0].target, "C:\\usr\\bin\\nm-applet");
    EXPECT_EQ(common[0].arguments, "--indicator");

    auto user = AutostartShortcuts(context, drives, false);
    ASSERT_EQ(user.size(), 1u);
    EXPECT_EQ(user[0].fileName, "Nightly_ backup_.lnk");
    EXPECT_EQ(user[0].target, "C:\\opt\\My Backup\\run");
    EXPECT_EQ(user[0].arguments, "--quiet \"two words\" 100%");

    env["XDG_CURRENT_DESKTOP"] = "KDE";
    common = AutostartShortcuts(context, drives, true);
    std::vector<std::string> names;
    for (const auto& s : common) names.push_back(s.fileName);
    // nm-applet is not for KDE; KDE Connect is, and its program is not
    // installed, so it is named as written.
    EXPECT_EQ(names, (std::vector<std::string>{"KDE Connect.lnk"}));
    EXPECT_EQ(common[0].target, "kdeconnectd");
}

TEST_F(ReplayedTree, EnabledUserUnitsAreRunValues) {
    write("/usr/bin/syncthing", "");
    write("/usr/lib/systemd/user/syncthing.service",
          "[Unit]\nDescription=Syncthing\n[Service]\nExecStart=/usr/bin/syncthing serve --no-browser\n");
    write("/usr/lib/systemd/user/mpris-proxy.service", "[Service]\nType=simple\nExecStart=-/usr/bin/mpris-proxy\n");
    write("/usr/lib/systemd/user/backup@.service", "[Service]\nExecStart=/usr/bin/rsync -a %h/%i /srv/backup/%i\n");
    write("/home/kari/.config/systemd/user/own.service", "[Service]\nExecStart=%h/bin/own-daemon\n");
    link("/usr/lib/systemd/user/syncthing.service", "/home/kari/.config/systemd/user/default.target.wants/syncthing.service");
    link("/usr/lib/systemd/user/backup@.service", "/home/kari/.config/systemd/user/default.target.wants/backup@Documents.service");
    link("/home/kari/.config/systemd/user/own.service", "/home/kari/.config/systemd/user/default.target.wants/own.service");
    link("/dev/null", "/home/kari/.config/systemd/user/default.target.wants/masked.service");
    link("/usr/lib/systemd/user/gone.socket", "/home/kari/.config/systemd/user/sockets.target.wants/gone.socket");
    link("/usr/lib/systemd/user/mpris-proxy.service", "/etc/systemd/user/default.target.wants/mpris-proxy.service");

    auto user = SystemdRunEntries(context, drives, true);
    EXPECT_EQ(user, (std::vector<std::pair<std::string, std::string>>{
                        {"backup@Documents", "C:\\usr\\bin\\rsync -a /home/kari/Documents /srv/backup/Documents"},
                        {"own", "C:\\home\\kari\\bin\\own-daemon"},
                        {"syncthing", "C:\\usr\\bin\\syncthing serve --no-browser"}}));
    auto all = SystemdRunEntries(context, drives, false);
    EXPECT_EQ(all, (std::vector<std::pair<std::string, std::string>>{{"mpris-proxy", "C:\\usr\\bin\\mpris-proxy"}}));
}

TEST_F(ReplayedTree, DesktopApplicationsWithDevelopersAndOwningPackages) {
    write("/usr/bin/apt", "");
    write("/usr/share/applications/org.gnome.Calculator.desktop",
          Entry("Name=Calculator\nName[nb]=Kalkulator\nExec=gnome-calculator\n"));
    write("/usr/share/applications/python3.11.desktop", Entry("Name=Python (v3.11)\nExec=python3.11\nNoDisplay=true\n"));
    write("/usr/share/applications/vim.desktop", Entry("Name=Vim\nExec=vim %F\n"));
    write("/usr/share/applications/kde4/kate.desktop", Entry("Name=Kate\nExec=kate\n"));
    write("/usr/share/applications/link.desktop", "[Desktop Entry]\nType=Link\nName=Web\nURL=http://x\n");
    write("/var/lib/flatpak/exports/share/applications/org.gimp.GIMP.desktop", Entry("Name=GNU Image Manipulation Program\n"));
    // The user's own copy of an application replaces the system's.
    write("/home/kari/.local/share/applications/vim.desktop", Entry("Name=Vim (mine)\nExec=vim\n"));
    env["XDG_DATA_DIRS"] = "/usr/share:/var/lib/flatpak/exports/share";
    write("/usr/share/metainfo/org.gnome.Calculator.appdata.xml",
          "<?xml version=\"1.0\"?>\n<component type=\"desktop-application\">\n"
          "  <id>org.gnome.Calculator</id>\n  <launchable type=\"desktop-id\">org.gnome.Calculator.desktop</launchable>\n"
          "  <developer_name xml:lang=\"nb\">GNOME-prosjektet</developer_name>\n"
          "  <developer_name>The GNOME Project &amp; friends</developer_name>\n</component>\n");
    write("/usr/share/metainfo/org.kde.kate.appdata.xml",
          "<component type=\"desktop\"><id>kde4-kate.desktop</id>"
          "<developer id=\"kde.org\"><name xml:lang=\"de\">KDE-Team</name><name>KDE</name></developer></component>");
    write("/var/lib/dpkg/info/gnome-calculator.list",
          "/.\n/usr\n/usr/share/applications\n/usr/share/applications/org.gnome.Calculator.desktop\n");
    write("/var/lib/dpkg/info/kate:amd64.list", "/usr/share/applications/kde4/kate.desktop\n");

    auto programs = HostInstalledPrograms(context);
    ASSERT_EQ(programs.size(), 4u);
    EXPECT_EQ(programs[0].key, "kde4-kate");
    EXPECT_EQ(programs[0].publisher, "KDE");
    EXPECT_EQ(programs[0].uninstallString, "apt remove kate");
    EXPECT_EQ(programs[1].key, "org.gimp.GIMP");
    EXPECT_EQ(programs[1].uninstallString, "flatpak uninstall org.gimp.GIMP");
    EXPECT_EQ(programs[2].displayName, "Calculator");
    EXPECT_EQ(programs[2].publisher, "The GNOME Project & friends");
    EXPECT_EQ(programs[2].uninstallString, "apt remove gnome-calculator");
    EXPECT_EQ(programs[3].displayName, "Vim (mine)");
    EXPECT_EQ(programs[3].publisher, "");
    EXPECT_EQ(programs[3].uninstallString, "");

    RegKey uninstall("Uninstall");
    ProjectInstalledPrograms(uninstall, programs);
    ASSERT_NE(uninstall.child("org.gnome.Calculator"), nullptr);
    EXPECT_EQ(uninstall.child("org.gnome.Calculator")->value("Publisher")->text(), "The GNOME Project & friends");
    EXPECT_EQ(uninstall.child("vim")->value("UninstallString"), nullptr);
}

// Owners are found whether or not the package is named like its entry; a
// file another list claims as well stays with the first package by name.
TEST_F(ReplayedTree, OwningPackagesNamedLikeTheirEntriesOrNot) {
    write("/usr/share/applications/display-im6.q16.desktop", Entry("Name=ImageMagick (color depth=q16)\n"));
    write("/usr/share/applications/vim.desktop", Entry("Name=Vim\nExec=vim %F\n"));
    write("/var/lib/dpkg/info/aaa-unrelated.list", "/usr/bin/aaa\n");
    write("/var/lib/dpkg/info/imagemagick-6.q16.list", "/usr/share/applications/display-im6.q16.desktop\n");
    write("/var/lib/dpkg/info/vim-common.list", "/usr/share/applications/vim.desktop\n");
    write("/var/lib/dpkg/info/zz-other:amd64.list", "/usr/share/applications/vim.desktop\n");

    auto programs = HostInstalledPrograms(context);
    ASSERT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs[0].key, "display-im6.q16");
    EXPECT_EQ(programs[0].uninstallString, "dpkg --remove imagemagick-6.q16");
    EXPECT_EQ(programs[1].key, "vim");
    EXPECT_EQ(programs[1].uninstallString, "dpkg --remove vim-common");
}

TEST_F(ReplayedTree, PackagesWhenNoDesktopApplicationIsInstalled) {
    write("/var/lib/dpkg/status",
          "Package: zlib1g\nStatus: install ok installed\nPriority: optional\nVersion: 1:1.2.13.dfsg-1\n"
          "Description: compression library - runtime\n zlib is a library\n .\n more\n\n"
          "Package: old-tool\nStatus: deinstall ok config-files\nVersion: 1.0\n\n"
          "Package: half\nStatus: install reinstreq half-installed\nVersion: 2\n\n"
          "Package: bash\nVersion: 5.2.15-2+b7\nStatus: install ok installed");
    auto programs = HostInstalledPrograms(context);
    ASSERT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs[0].displayName, "zlib1g");
    EXPECT_EQ(programs[0].displayVersion, "1:1.2.13.dfsg-1");
    EXPECT_EQ(programs[0].uninstallString, "dpkg --remove zlib1g");
    EXPECT_EQ(programs[1].displayName, "bash");
    EXPECT_EQ(programs[1].displayVersion, "5.2.15-2+b7");
}

TEST_F(ReplayedTree, BrokenFilesGiveNothingAndNoCrash) {
    write("/etc/xdg/autostart/binary.desktop", std::string("\0\xff\xfe[Desktop Entry\nExec=", 22));
    write("/usr/share/metainfo/cut.xml", "<component><launchable type=\"desktop-id\">x.desktop</launch");
    write("/var/lib/dpkg/status", "Package: \nStatus: install ok installed\n");
    write("/usr/lib/systemd/user/noexec.service", "[Service]\nType=oneshot\n");
    link("/usr/lib/systemd/user/noexec.service", "/etc/systemd/user/default.target.wants/noexec.service");
    EXPECT_TRUE(AutostartShortcuts(context, drives, true).empty());
    EXPECT_TRUE(HostInstalledPrograms(context).empty());
    EXPECT_TRUE(SystemdRunEntries(context, drives, false).empty());
    EXPECT_TRUE(ParseMetainfo("<component><launchable type=\"desktop-id\">x.desktop</launch").desktopIds.empty());
}

}  // namespace
