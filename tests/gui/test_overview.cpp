// The overview window on the shipped PCs: which pages show and which one is
// active, the order in which pages are filled, what the filled pages say
// (expected values written from the machine folders), read-only checks,
// the device properties, the lock keys of the timer, the root's
// ShowOverview, and the report export against torvex-report's own file.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/Zarvo_GUI.h"
#include "overview/Corvane_Dialogs.h"
#include "overview/Zarvo_DetailDlg.h"
#include "overview/Zarvo_Overview.h"
#include "platform/Corvane_Startup.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32User.h"
#include "tests/FakeMachine.h"

using namespace torvex;
using namespace torvex::overview;

namespace {

std::string Machines(const char* name) { return std::string(TORVEX_SOURCE_DIR) + "/machines/" + name; }

// Makes a shipped PC active, with the platform flags of a program start.
void UseMachine(const char* name) {
    platform::SetActiveMachine(platform::LoadSimulatedMachine(Machines(name)));
    platform::PlatformStartup();
}

std::string ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A window that notes the pages in the order they are filled.
class TWatchedOverview : public TfrmZarvo_Overview {
public:
    std::vector<int> filled;

protected:
    void FillPage(int page) override {
        filled.push_back(page);
        TfrmZarvo_Overview::FillPage(page);
    }
};

// Runs `inspect` on the modal window that `action` opens, then closes it.
template <class Action, class Inspect>
void WithModal(Action action, Inspect inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) {
            seen = true;
            inspect(modal);
            modal->close();
        }
    });
    action();
    QVERIFY2(seen, "no modal window opened");
}

}  // namespace

class OverviewTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // Error boxes of a refresh would wait for a click.
        platform::SetMessageBoxHook([](const std::string& text, const std::string&, unsigned) {
            qWarning("%s", text.c_str());
            return 1;
        });
        ResetReportState();
        SetSaveDialogRunner({});
    }

    void pageMaskShowsItsPagesAndActivatesTheLastVisible() {
        TfrmZarvo_Overview window;
        // As created: every page but About, the machine page active.
        QCOMPARE(window.PageMask(), std::uint16_t(0x7FFF));
        QVERIFY(!window.pc->isTabVisible(tsAbout));
        for (int page = 0; page < tsAbout; ++page) QVERIFY(window.pc->isTabVisible(page));
        QCOMPARE(window.pc->currentIndex(), int(tsWksta));
        QCOMPARE(window.pcMachine->currentIndex(), 0);
        QCOMPARE(window.lAboutVersion->text(), QString("Version 7.61"));
        QCOMPARE(window.lAboutTitle->text(), QString("Corvane System Information Component"));
        QVERIFY(!window.bReport->isVisibleTo(&window));

        window.SetPageMask(0x0005);
        QVERIFY(window.pc->isTabVisible(tsWksta));
        QVERIFY(!window.pc->isTabVisible(tsOS));
        QVERIFY(window.pc->isTabVisible(tsCPU));
        QCOMPARE(window.pc->currentIndex(), int(tsCPU));
        window.SetPageMask(0x1100);
        QCOMPARE(window.pc->currentIndex(), int(tsTZ));
        window.SetPageMask(0xFFFF);
        QCOMPARE(window.pc->currentIndex(), int(tsAbout));
        window.SetShowReportButton(true);
        QVERIFY(window.bReport->isVisibleTo(&window));
    }

    void pagesAreFilledInTheirOrderAndOnlyWhenVisible() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TWatchedOverview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.cmRefresh();
        QCOMPARE(window.filled, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 9, 13, 14}));
        window.filled.clear();
        window.SetPageMask((1 << tsPrinters) | (1 << tsTZ) | (1 << tsDevices));
        window.FillPages();
        QCOMPARE(window.filled, (std::vector<int>{8, 12, 9}));
    }

    void win98sePagesShowTheMachineFolder() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        // machine.json: computer and user; the firmware image: Award 4.51 PG.
        QCOMPARE(window.lMachine->text(), QString("HJEMME-PC"));
        QCOMPARE(window.lUser->text(), QString("Bjørn"));
        QCOMPARE(window.lBIOSVendor->text(), QString("Award Software International, Inc."));
        QCOMPARE(window.lBIOSVersion->text(), QString("4.51 PG"));
        QCOMPARE(window.lBIOSDate->text(), QString("12/28/99"));
        QCOMPARE(window.lBIOSSize->text(), QString("256 KB"));
        QCOMPARE(window.lUpTime->text(), QString("30 Minutes, 43 Seconds."));
        QVERIFY(window.tvSMBIOS->findItems("Type 127: End-of-Table", Qt::MatchRecursive).size() == 1);
        // Version 4.10, build 0x040A08AE: 2222 in the low word; " A " is SE's
        // service-pack text.
        QCOMPARE(window.pc->tabText(tsOS), QString("Windows 9x"));
        QCOMPARE(window.lOSName->text(), QString("Windows 98"));
        QCOMPARE(window.lOSVersion->text(), QString("Version: 4.10.2222"));
        QCOMPARE(window.lRegUser->text(), QString("Bjørn Haugen"));
        QVERIFY(!window.bSuites->isEnabled());
        QVERIFY(window.lvFolders->findItems("Windows", Qt::MatchExactly).size() == 1);
        QCOMPARE(window.lvFolders->findItems("Windows", Qt::MatchExactly).first()->text(1), QString("C:\\WINDOWS"));
        // cpuid.txt: a Katmai at 450 MHz.
        QCOMPARE(window.lCPUHead->text(), QString("1 x Intel Pentium III - 450 MHz"));
        QCOMPARE(window.lCPUFMS->text(), QString("Family 6  Model 7  Stepping 3"));
        QCOMPARE(window.clbFeatures->item(0)->text(), QString("Built-In FPU"));
        QCOMPARE(window.clbFeatures->item(0)->checkState(), Qt::Checked);
        // machine.json memory: 133,677,056 bytes of RAM.
        QCOMPARE(window.lPhysTotal->text(), QString("133,677,056"));
        QCOMPARE(window.lAppAddress->text(), QString("00400000 - 7FFEFFFF"));
        QCOMPARE(window.lGDI->text().left(6), QString("GDI - "));
        // A desktop on mains power without a battery.
        QCOMPARE(window.lACStatus->text(), QString("Online"));
        QCOMPARE(window.lBatteryStatus->text(), QString("No Battery"));
        QCOMPARE(window.lRemainLife->text(), QString("<info not available>"));
        QCOMPARE(window.lTZName->text(), QString("(GMT+01:00) Amsterdam, Berlin, Bern, Oslo, Roma, Stockholm, Wien"));
        QCOMPARE(window.lTZStdBias->text(), QString("-60 minutes"));
        // TimeZoneInformation: the last Sunday of October at 3:00 in 2000.
        QCOMPARE(window.lTZStdStart->text(), QString("29.10.2000 03:00:00"));
        // The device tree: the computer, the classes in sorted order.
        QTreeWidgetItem* root = window.Tree->topLevelItem(0);
        QCOMPARE(root->text(0), QString("HJEMME-PC"));
        QCOMPARE(root->child(0)->text(0), QString("CD-ROM"));
        QCOMPARE(root->child(0)->child(0)->text(0), QString("LG CD-ROM CRD-8482B"));
        int devices = 0;
        for (int i = 0; i < root->childCount(); ++i) devices += root->child(i)->childCount();
        QCOMPARE(devices, info.Devices().DeviceCount());
    }

    void aZoneWithoutDaylightTimeHasNoTransitions() {
        // A machine with nothing in its registry: bias 0, no transitions.
        QTemporaryDir folder;
        auto machine = std::make_unique<testing::FakeMachine>(folder.path().toStdString());
        machine->versionFacts.major = 5;
        machine->versionFacts.minor = 1;
        machine->versionFacts.platformId = 2;
        platform::SetActiveMachine(std::move(machine));
        platform::PlatformStartup();
        engine::TCorvaneSystemInfo info;
        info.SetExceptionMode(engine::emSilent);
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        QCOMPARE(window.lTZStdStart->text(), QString("none"));
        QCOMPARE(window.lTZDlStart->text(), QString("none"));
        QCOMPARE(window.lTZBias->text(), QString("0 minutes"));
        QCOMPARE(window.lMachine->text(), QString("FAKE-PC"));
    }

    void ntPagesNameTheProductAndTheSuites() {
        UseMachine("nt4-pc");
        {
            engine::TCorvaneSystemInfo info;
            TfrmZarvo_Overview window;
            window.SetSystemInfo(&info);
            window.cmRefresh();
            QCOMPARE(window.lMachine->text(), QString("CADSTATION2"));
            QCOMPARE(window.pc->tabText(tsOS), QString("Windows NT"));
            QCOMPARE(window.lOSVersion->text(), QString("Version: 4.0.1381"));
            // Service Pack 6 with the Q246009 fix installed.
            QCOMPARE(window.lOSCSD->text(), QString("Service Pack 6a"));
            QCOMPARE(window.lRegUser->text(), QString("Dan Walker"));
            QCOMPARE(window.lTZName->text(), QString("(GMT-06:00) Central Time (US & Canada)"));
            QCOMPARE(window.lCPUHead->text().left(4), QString("2 x "));
            // NT 4.0 has no power management.
            QCOMPARE(window.lACStatus->text(), QString("<info not available>"));
            QVERIFY(!window.bSuites->isEnabled());
        }
        UseMachine("win2000-dc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        // Product type 2 (domain controller), suite mask 2 (Enterprise).
        QCOMPARE(window.lOSName->text(), QString("Windows 2000 - Advanced Server"));
        QCOMPARE(window.lUser->text(), QString("Administratör"));
        QVERIFY(window.bSuites->isEnabled());
        WithModal([&] { window.cmNTSpec(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Installed Suites"));
            QCOMPARE(dialog->Page(), int(TdlgZarvo_Detail::pgCheckBox));
            QCOMPARE(dialog->clb()->count(), 8);
            QCOMPARE(dialog->clb()->item(1)->text(), QString("Enterprise"));
            QCOMPARE(dialog->clb()->item(1)->checkState(), Qt::Checked);
            QCOMPARE(dialog->clb()->item(0)->checkState(), Qt::Unchecked);
        });
        WithModal([&] { window.cmEnvironment(); }, [&](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Environment"));
            QCOMPARE(dialog->lv()->topLevelItemCount(), info.OS().Environment().Count());
            QVERIFY(dialog->lv()->topLevelItemCount() > 0);
        });
    }

    // Display, media, network, printers, engines, drives, startup and
    // software of the Norwegian 98 SE PC, as its machine folder holds them.
    void win98seCategoryPagesShowTheMachineFolder() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();

        // Display: Class\Display\0000 and its INFO key, machine.json's
        // "display" record.
        QCOMPARE(window.lAdapter->text(), QString("Matrox Millennium G400 - English"));
        QCOMPARE(window.lChipset->text(), QString("MGA-G400"));
        QCOMPARE(window.lDAC->text(), QString("Integrated RAMDAC"));
        QCOMPARE(window.lVideoMemory->text(), QString("33,554,432 B"));   // dword:02000000
        QCOMPARE(window.lTechnology->text(), QString("Raster Display"));
        QCOMPARE(window.lMetrics->text(), QString("1024 x 768, 16 bit; 270 x 203 mm"));
        QCOMPARE(window.lPixels->text(), QString("width 36, height 36, diagonal 51"));
        QCOMPARE(window.lFontRes->text(), QString("96 dpi"));
        for (QPushButton* b : {window.bModes, window.bCurve, window.bLine, window.bPolygon, window.bRaster,
                               window.bText})
            QVERIFY(b->isEnabled());
        WithModal([&] { window.cmModes(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Supported Video Modes"));
            QCOMPARE(dialog->clb()->count(), 48);
            QCOMPARE(dialog->clb()->item(0)->text(), QString("640 x 480 - 8 bit"));
            QCOMPARE(dialog->clb()->item(47)->text(), QString("1600 x 1200 - 32 bit"));
            for (int i = 0; i < 48; ++i) QCOMPARE(dialog->clb()->item(i)->checkState(), Qt::Checked);
        });
        // TEXTCAPS 0x7807: the three precisions, underlines, strikeouts,
        // raster and vector fonts; the section's heading is no capability.
        WithModal([&] { window.bText->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Text Capabilities"));
            QListWidget* clb = dialog->clb();
            QCOMPARE(clb->count(), 16);
            QCOMPARE(clb->item(0)->text(), QString("Capable of Character Output Precision"));
            QCOMPARE(clb->item(0)->checkState(), Qt::Checked);
            QCOMPARE(clb->item(3)->text(), QString("Supports 90 Degree Character Rotation"));
            QCOMPARE(clb->item(3)->checkState(), Qt::Unchecked);
            QCOMPARE(clb->item(10)->text(), QString("Supports Italics"));
            QCOMPARE(clb->item(10)->checkState(), Qt::Unchecked);
            QCOMPARE(clb->item(11)->text(), QString("Supports Underlines"));
            QCOMPARE(clb->item(11)->checkState(), Qt::Checked);
            QCOMPARE(clb->item(15)->checkState(), Qt::Unchecked);
            // Read-only like every check list.
            clb->item(3)->setCheckState(Qt::Checked);
            QCOMPARE(clb->item(3)->checkState(), Qt::Unchecked);
        });
        // RASTERCAPS 0x3E99: blocks (1) yes, banding (2) and palette (0x100) no.
        WithModal([&] { window.bRaster->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Raster Capabilities"));
            QCOMPARE(dialog->clb()->count(), 11);
            QCOMPARE(dialog->clb()->item(0)->text(), QString("Requires Banding"));
            QCOMPARE(dialog->clb()->item(0)->checkState(), Qt::Unchecked);
            QCOMPARE(dialog->clb()->item(1)->checkState(), Qt::Checked);
            QCOMPARE(dialog->clb()->item(7)->text(), QString("Palette Based"));
            QCOMPARE(dialog->clb()->item(7)->checkState(), Qt::Unchecked);
        });
        WithModal([&] { window.bCurve->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Curve Capabilities"));
            QCOMPARE(dialog->clb()->count(), 9);   // CURVECAPS 0x01FF: all nine
            QCOMPARE(dialog->clb()->item(8)->text(), QString("Rounded Rectangles"));
            QCOMPARE(dialog->clb()->item(8)->checkState(), Qt::Checked);
        });

        // Media: the wave-out device listed twice in machine.json is one.
        QCOMPARE(window.tvMedia->topLevelItemCount(), 6);
        const char* groups[] = {"Wave In", "Wave Out", "MIDI In", "MIDI Out", "AUX", "Mixer"};
        const int counts[] = {1, 1, 1, 2, 0, 1};
        for (int g = 0; g < 6; ++g) {
            QCOMPARE(window.tvMedia->topLevelItem(g)->text(0), QString(groups[g]));
            QCOMPARE(window.tvMedia->topLevelItem(g)->childCount(), counts[g]);
        }
        QCOMPARE(window.tvMedia->topLevelItem(3)->child(1)->text(0), QString("SB Live! MIDI UART v5.10"));
        QCOMPARE(window.lvSound->topLevelItemCount(), 2);
        QCOMPARE(window.lvSound->topLevelItem(0)->text(0), QString("Creative SB Live! Value (WDM)"));
        QCOMPARE(window.lvSound->topLevelItem(1)->text(0), QString("Creative Gameport Joystick"));

        // Network: one 3Com card, its address, TCP/IP and the Norwegian client.
        QCOMPARE(window.lbAdapters->count(), 1);
        QCOMPARE(window.lbAdapters->item(0)->text(),
                 QString("3Com EtherLink 10/100 PCI For Complete PC Management NIC (3C905C-TX)"));
        QCOMPARE(window.lbMAC->item(0)->text(), QString("00:04:76:A2:5C:31"));
        QCOMPARE(window.lbIP->item(0)->text(), QString("192.168.0.10"));
        QCOMPARE(window.lWSDescription->text(), QString("WinSock 2.0"));
        QCOMPARE(window.lWSVersion->text(), QString("2.2"));
        QCOMPARE(window.lWSStatus->text(), QString("Running"));
        QCOMPARE(window.lHost->text(), QString("hjemme-pc"));
        QCOMPARE(window.lNodeType->text(), QString("Broadcast"));   // nodeType 1
        QCOMPARE(window.lbDNS->count(), 1);
        QCOMPARE(window.lbDNS->item(0)->text(), QString("148.122.16.253"));
        QCOMPARE(window.cbAdapters->count(), 1);
        QCOMPARE(window.cbAdapters->currentIndex(), 0);
        QCOMPARE(window.lAdapterAddress->text(), QString("00-04-76-A2-5C-31"));
        QCOMPARE(window.lAdapterType->text(), QString("Ethernet"));
        QVERIFY(!window.cbxDHCP->isChecked());
        // One row per entry; the IP helper's lists hold one empty entry where
        // there is no server.
        QCOMPARE(window.lvAddresses->topLevelItemCount(), 5);
        QCOMPARE(window.lvAddresses->topLevelItem(2)->text(0), QString("DHCP Server"));
        QCOMPARE(window.lvAddresses->topLevelItem(2)->text(1), QString());
        QCOMPARE(window.lvAddresses->topLevelItem(4)->text(0), QString("Secondary WINS Server"));
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(0), QString("Local"));
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(1), QString("192.168.0.10"));
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(2), QString("255.255.255.0"));
        QCOMPARE(window.lvAddresses->topLevelItem(1)->text(0), QString("Gateway"));
        QCOMPARE(window.lvAddresses->topLevelItem(1)->text(1), QString("192.168.0.1"));
        QVERIFY(window.bProto->isEnabled());
        WithModal([&] { window.bCli->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Clients"));
            QCOMPARE(dialog->clb()->count(), 1);
            QCOMPARE(dialog->clb()->item(0)->text(), QString("Klient for Microsoft-nettverk"));
            QCOMPARE(dialog->clb()->item(0)->checkState(), Qt::Checked);
        });
        WithModal([&] { window.bServ->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Services"));
            QCOMPARE(dialog->clb()->count(), 0);
        });

        // Printers: the one printer of Control\Print\Printers.
        QCOMPARE(window.lvPrinters->topLevelItemCount(), 1);
        QCOMPARE(window.lvPrinters->topLevelItem(0)->text(0), QString("HP DeskJet 690C"));
        QCOMPARE(window.lvPrinters->topLevelItem(0)->text(1), QString("LPT1:"));

        // Engines: ODBC and DirectX 6.1 (4.07.00.0716) without drivers.
        QCOMPARE(window.lODBC->text(), QString("Open Database Connectivity 3.520.4403.2"));
        QCOMPARE(window.lBDE->text(), QString("Borland Database Engine not found"));
        QCOMPARE(window.lDAO->text(), QString("Microsoft Data Access Objects not found"));
        QCOMPARE(window.lADO->text(), QString("Microsoft ActiveX Data Objects not found"));
        QCOMPARE(window.lDirectX->text(), QString("Installed version: 4.07.00.0716"));
        QCOMPARE(window.lvDirectX->topLevelItemCount(), 0);
        QCOMPARE(window.lASPI->text(), QString("Adaptec ASPI not found"));
        QCOMPARE(window.lvASPI->topLevelItemCount(), 0);

        // Drives A, C, D, E; C holds C:\WINDOWS and is selected. diskSpace C:
        // 1,048,064 clusters of 8 x 512 bytes, 611,420 free: 41.66 % used.
        QCOMPARE(window.cbDrive->count(), 4);
        QCOMPARE(window.cbDrive->itemText(0), QString("A:"));
        QCOMPARE(window.cbDrive->currentText(), QString("C:"));
        QCOMPARE(window.lDriveType->text(), QString("Fixed"));
        QCOMPARE(window.lSerial->text(), QString("1A2B-3C4D"));
        QCOMPARE(window.lCapacity->text(), QString("Capacity: 4,292,870,144 B"));
        QCOMPARE(window.lFreeSpace->text(), QString("Free space: 2,504,376,320 B"));
        QCOMPARE(window.lBytesPerSector->text(), QString("Bytes/sector: 512"));
        QCOMPARE(window.lSectorsPerCluster->text(), QString("Sector/cluster: 8"));
        // The old cluster call of Windows 98 counts at most 2 GB: 524,287
        // clusters of 4 KB; the byte figures come from the extended call.
        QCOMPARE(window.lFreeClusters->text(), QString("Free clusters: 524,287"));
        QCOMPARE(window.lTotalClusters->text(), QString("Total clusters: 524,287"));
        QCOMPARE(window.gDriveUsed->value(), 42);
        QCOMPARE(window.clbDriveFlags->count(), 12);
        QCOMPARE(window.clbDriveFlags->item(0)->text(), QString("Case Is Preserved"));
        QCOMPARE(window.clbDriveFlags->item(0)->checkState(), Qt::Checked);
        QCOMPARE(window.clbDriveFlags->item(1)->checkState(), Qt::Unchecked);   // FAT32 keeps no case
        QCOMPARE(window.clbDriveFlags->item(2)->checkState(), Qt::Checked);
        QCOMPARE(info.Disk().Drive(), std::string("C:"));
        // The CD: 311,020 clusters of 2048 bytes, none free.
        window.cbDrive->setCurrentIndex(2);
        QCOMPARE(info.Disk().Drive(), std::string("D:"));
        QCOMPARE(window.lDriveType->text(), QString("CDROM"));
        QCOMPARE(window.lCapacity->text(), QString("Capacity: 636,968,960 B"));
        QCOMPARE(window.lFreeSpace->text(), QString("Free space: 0 B"));
        QCOMPARE(window.gDriveUsed->value(), 100);
        // The floppy drive without a disk: zero figures, an empty gauge.
        window.cbDrive->setCurrentIndex(0);
        QCOMPARE(window.lDriveType->text(), QString("Removable"));
        QCOMPARE(window.lCapacity->text(), QString("Capacity: 0 B"));
        QCOMPARE(window.lFreeClusters->text(), QString("Free clusters: 0"));
        QCOMPARE(window.lBytesPerSector->text(), QString("Bytes/sector: 0"));
        QCOMPARE(window.gDriveUsed->value(), 0);
        for (int i = 0; i < window.clbDriveFlags->count(); ++i)
            QCOMPARE(window.clbDriveFlags->item(i)->checkState(), Qt::Unchecked);

        // Startup, tab by tab: the user's Oppstart folder, the empty common
        // one, six HKLM Run values, ICQ in HKCU Run, nothing else.
        QCOMPARE(window.tcStartup->currentIndex(), 0);
        QCOMPARE(window.lvStartup->topLevelItemCount(), 2);
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(0), QString("Microsoft Office Hurtigstart"));
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(1),
                 QString("C:\\Programfiler\\Microsoft Office\\Office\\OSA9.EXE -b -l"));
        const int startupCounts[] = {2, 0, 6, 1, 0, 0};
        for (int tab = 0; tab < 6; ++tab) {
            window.tcStartup->setCurrentIndex(tab);
            QCOMPARE(window.lvStartup->topLevelItemCount(), startupCounts[tab]);
        }
        window.tcStartup->setCurrentIndex(2);
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(0), QString("ScanRegistry"));
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(1), QString("C:\\WINDOWS\\scanregw.exe /autorun"));
        QCOMPARE(window.lvStartup->topLevelItem(5)->text(0), QString("Norton Auto-Protect"));
        window.tcStartup->setCurrentIndex(3);
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(0), QString("ICQ"));
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(1), QString("C:\\Programfiler\\ICQ\\ICQ.exe -minimize"));

        // Software: the uninstall keys with a display name and a string.
        QCOMPARE(window.lvSoftware->topLevelItemCount(), 7);
        QCOMPARE(window.lvSoftware->topLevelItem(0)->text(0), QString("Winamp (remove only)"));
        QCOMPARE(window.lvSoftware->topLevelItem(0)->text(1), QString("\"C:\\Programfiler\\Winamp\\UninstWA.exe\""));
        QCOMPARE(window.lvSoftware->topLevelItem(1)->text(0), QString("WinZip"));
        QCOMPARE(window.lvSoftware->topLevelItem(1)->text(1), QString("C:\\PROGRA~1\\WINZIP\\WINZIP32.EXE /uninstall"));
        // A refresh refills the lists rather than adding to them.
        window.cmRefresh();
        QCOMPARE(window.lvSoftware->topLevelItemCount(), 7);
        QCOMPARE(window.lvPrinters->topLevelItemCount(), 1);
        QCOMPARE(window.tvMedia->topLevelItemCount(), 6);
        QCOMPARE(window.lbAdapters->count(), 1);
        QCOMPARE(window.cbDrive->count(), 4);
    }

    // The XP PC: NT's display values, two TCP/IP adapters, the engines with
    // their DirectX drivers, a network drive.
    void xpCategoryPagesShowTheMachineFolder() {
        UseMachine("winxp-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        QCOMPARE(window.lChipset->text(), QString("ATI RADEON 9600 AGP (0x4150)"));
        QCOMPARE(window.lVideoMemory->text(), QString("134,217,728 B"));
        QCOMPARE(window.lVideoBIOS->text(), QString("ATI RADEON 9600 BIOSBK-ATI VER008.011.005.032\n06/30/03"));
        QCOMPARE(window.lMetrics->text(), QString("1280 x 1024, 32 bit; 338 x 270 mm"));

        QCOMPARE(window.cbAdapters->count(), 2);
        QCOMPARE(window.cbAdapters->itemText(0), QString("Realtek RTL8139 Family PCI Fast Ethernet NIC"));
        QVERIFY(window.cbxDHCP->isChecked());
        QCOMPARE(window.lvAddresses->topLevelItemCount(), 5);
        QCOMPARE(window.lvAddresses->topLevelItem(2)->text(0), QString("DHCP Server"));
        QCOMPARE(window.lvAddresses->topLevelItem(2)->text(1), QString("192.168.1.1"));
        QCOMPARE(window.lbDNS->count(), 2);
        QCOMPARE(window.lbDNS->item(1)->text(), QString("194.239.134.83"));
        window.cbAdapters->setCurrentIndex(1);
        QCOMPARE(window.lAdapterType->text(), QString("Other"));   // type 144
        QCOMPARE(window.lAdapterAddress->text(), QString());
        QVERIFY(!window.cbxDHCP->isChecked());
        QCOMPARE(window.lvAddresses->topLevelItemCount(), 5);
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(1), QString("169.254.25.129"));
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(2), QString("255.255.0.0"));
        QCOMPARE(window.lvAddresses->topLevelItem(1)->text(1), QString());
        WithModal([&] { window.bProto->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Protocols"));
            QCOMPARE(dialog->clb()->count(), 3);
            QCOMPARE(dialog->clb()->item(0)->text(), QString("Internet Protocol (TCP/IP)"));
        });

        QCOMPARE(window.lvPrinters->topLevelItemCount(), 2);
        QCOMPARE(window.lvPrinters->topLevelItem(0)->text(0), QString("Canon iP4000"));
        QCOMPARE(window.lvPrinters->topLevelItem(0)->text(1), QString("USB001"));

        QCOMPARE(window.lBDE->text(), QString("Borland Database Engine 5.2.0.2"));
        QCOMPARE(window.lDirectX->text(), QString("Installed version: 4.09.00.0904"));
        // Three Direct3D drivers, one synthesizer, four DirectPlay services.
        QCOMPARE(window.lvDirectX->topLevelItemCount(), 8);
        QCOMPARE(window.lvDirectX->topLevelItem(0)->text(0),
                 QString("Microsoft Direct3D Hardware acceleration through Direct3D HAL"));
        QCOMPARE(window.lvDirectX->topLevelItem(0)->text(1), QString("Direct3D"));
        QCOMPARE(window.lvDirectX->topLevelItem(3)->text(0), QString("Microsoft Synthesizer"));
        QCOMPARE(window.lvDirectX->topLevelItem(3)->text(1), QString("DirectMusic"));
        QCOMPARE(window.lvDirectX->topLevelItem(7)->text(1), QString("DirectPlay"));

        QCOMPARE(window.cbDrive->count(), 4);
        QCOMPARE(window.cbDrive->currentText(), QString("C:"));
        QCOMPARE(window.clbDriveFlags->item(1)->checkState(), Qt::Checked);   // NTFS: case sensitive
        window.cbDrive->setCurrentIndex(3);
        QCOMPARE(window.lDriveType->text(), QString("Remote"));
        QCOMPARE(window.lUNC->text(), QString("\\\\NAS-STUE\\Fotos\\"));
        QCOMPARE(window.lSerial->text(), QString("0E41-77B2"));
    }

    // The load meter drives the gauge through the class library's timer,
    // ticking from the event loop: 9x reads the kernel statistic (7 in
    // the 98 SE PC's dynamic data), NT the idle time (the XP PC runs at 12 %).
    void theLoadMeterFeedsTheGauge() {
        UseMachine("win98se-pc");
        {
            engine::TCorvaneSystemInfo info;
            TfrmZarvo_Overview window;
            window.SetSystemInfo(&info);
            window.cmRefresh();
            QVERIFY(window.CPUUsage->Active());
            QCOMPARE(window.CPUUsage->Interval(), 1000u);
            QVERIFY(!window.gCPU->isEnabled());
            QTRY_VERIFY_WITH_TIMEOUT(window.gCPU->isEnabled(), 3000);
            QCOMPARE(window.gCPU->value(), 7);
            window.close();
            QVERIFY(!window.CPUUsage->Active());
        }
        UseMachine("winxp-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        // The waits of the event loop pass on the PC's own clock: from the
        // second tick on (the first also covers the refresh) the gauge shows
        // its load. A tick comes a little after its second while the load
        // is taken over the nominal interval, so it may read a little low.
        QTRY_VERIFY_WITH_TIMEOUT(window.gCPU->isEnabled(), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(window.gCPU->value() >= 8 && window.gCPU->value() <= 12, 5000);
        // Out-of-range values from the meter are clamped.
        window.CPUUsageInterval(-3);
        QCOMPARE(window.gCPU->value(), 0);
        window.CPUUsageInterval(250);
        QCOMPARE(window.gCPU->value(), 100);
    }

    // Pictures of every page for looking at: run alone under a display
    // server with TORVEX_SCREENSHOT_DIR set (the machine is the layer's own
    // setting, TORVEX_MACHINE or the host). The window keeps its fixed size
    // on every page.
    void screenshotsOfEveryPage() {
        const QString dir = qEnvironmentVariable("TORVEX_SCREENSHOT_DIR");
        if (dir.isEmpty()) QSKIP("TORVEX_SCREENSHOT_DIR not set");
        platform::PlatformStartup();
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.SetShowReportButton(true);
        window.cmRefresh();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(2500);   // two ticks of the load meter
        for (int page = 0; page < kPageCount; ++page) {
            window.pc->setCurrentIndex(page);
            QTest::qWait(50);
            QPixmap shot = window.grab();
            QCOMPARE(window.size(), QSize(399, 509));
            QVERIFY(shot.save(QString("%1/page%2.png").arg(dir).arg(page, 2, 10, QChar('0'))));
        }
        auto inner = [&](QTabWidget* tabs, int page, const char* name) {
            window.pc->setCurrentIndex(page);
            for (int i = 1; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QTest::qWait(50);
                QVERIFY(window.grab().save(QString("%1/%2-%3.png").arg(dir, name).arg(i)));
            }
            tabs->setCurrentIndex(0);
        };
        inner(window.pcMachine, tsWksta, "machine");
        inner(window.pcOS, tsOS, "os");
        inner(window.pcNetwork, tsNetwork, "network");
        inner(window.findChild<QTabWidget*>("pcEngines"), tsEngines, "engines");
    }

    void checksCannotBeChangedByClicks() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        window.show();
        window.pc->setCurrentIndex(tsCPU);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The first unset feature, clicked on its box, stays unset; a set one
        // stays set.
        for (int i = 0; i < window.clbFeatures->count(); ++i) {
            QListWidgetItem* item = window.clbFeatures->item(i);
            Qt::CheckState before = item->checkState();
            item->setCheckState(before == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            QCOMPARE(item->checkState(), before);
        }
        window.pc->setCurrentIndex(tsNetwork);
        window.pcNetwork->setCurrentIndex(2);
        QTest::qWait(10);
        QVERIFY(!window.cbxProxy->isChecked());
        QTest::mouseClick(window.cbxProxy, Qt::LeftButton, {}, QPoint(6, window.cbxProxy->height() / 2));
        QVERIFY(!window.cbxProxy->isChecked());
        window.cbxDNS->setChecked(true);
        QTest::mouseClick(window.cbxDNS, Qt::LeftButton, {}, QPoint(6, window.cbxDNS->height() / 2));
        QVERIFY(window.cbxDNS->isChecked());
    }

    void devicePropertiesOfTheSelectedDevice() {
        UseMachine("nt4-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        QTreeWidgetItem* root = window.Tree->topLevelItem(0);
        window.Tree->setCurrentItem(root->child(0));
        QVERIFY(!window.bProps->isEnabled());
        QTreeWidgetItem* device = root->child(0)->child(0);
        window.Tree->setCurrentItem(device);
        QVERIFY(window.bProps->isEnabled());
        engine::TDevice record;
        QVERIFY(info.Devices().GetDevice(0, record));
        WithModal([&] { window.cmProps(); }, [&](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Device Properties"));
            QTreeWidget* lv = dialog->lv();
            QCOMPARE(lv->topLevelItemCount(), 13);
            const char* names[] = {"Device Name", "Class Name", "Class Description", "Class GUID",
                                   "Manufacturer", "Location", "HardwareID", "Registry info",
                                   "Driver Version", "Driver Date", "Driver Provider", "Service Name",
                                   "Service Group"};
            for (int i = 0; i < 13; ++i) QCOMPARE(lv->topLevelItem(i)->text(0), QString(names[i]));
            QCOMPARE(lv->topLevelItem(0)->text(1), QString("TOSHIBA CD-ROM XM-5701TA"));
            QCOMPARE(lv->topLevelItem(2)->text(1), root->child(0)->text(0));
            QCOMPARE(lv->topLevelItem(3)->text(1), QString("{4D36E965-E325-11CE-BFC1-08002BE10318}"));
            QCOMPARE(lv->topLevelItem(11)->text(1), QString::fromStdString(record.ServiceName));
        });
    }

    void aServiceWithoutDisplayNameShowsItsKeyName() {
        // nt4-pc with the CD-ROM's service key stripped of its DisplayName.
        QTemporaryDir copy;
        std::filesystem::path folder = copy.path().toStdString() + "/nt4-pc";
        std::filesystem::copy(Machines("nt4-pc"), folder, std::filesystem::copy_options::recursive);
        std::string reg = ReadBytes(QString::fromStdString((folder / "registry/50-devices.reg").string()));
        const std::string line = "\"DisplayName\"=\"Cdrom\"\r\n";
        std::size_t at = reg.find(line);
        QVERIFY(at != std::string::npos);
        reg.erase(at, line.size());
        std::ofstream((folder / "registry/50-devices.reg").string(), std::ios::binary | std::ios::trunc) << reg;
        platform::SetActiveMachine(platform::LoadSimulatedMachine(folder));
        platform::PlatformStartup();
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        QTreeWidgetItem* cdrom = window.Tree->topLevelItem(0)->child(0)->child(0);
        QCOMPARE(cdrom->text(0), QString("TOSHIBA CD-ROM XM-5701TA"));
        window.Tree->setCurrentItem(cdrom);
        WithModal([&] { window.cmProps(); }, [&](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->lv()->topLevelItem(11)->text(1), QString("Cdrom"));
        });
    }

    void timerShowsTheLockKeysAndTheLoad() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        platform::ActiveMachine().setKeyToggled(win32::VK_CAPITAL, true);
        platform::ActiveMachine().setKeyToggled(win32::VK_NUMLOCK, false);
        window.CPUUsageInterval(37);
        QCOMPARE(window.pCapsLock->palette().color(QPalette::Window), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(window.pNumLock->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(window.gCPU->value(), 37);
        QCOMPARE(window.lPhysTotal->text(), QString("133,677,056"));
    }

    void usedSpaceGauge() {
        QCOMPARE(UsedSpacePercent(0, 0), 0);   // no medium
        QCOMPARE(UsedSpacePercent(1000, 250), 75);
        QCOMPARE(UsedSpacePercent(3, 1), 67);
        QCOMPARE(UsedSpacePercent(3, 2), 33);
        QCOMPARE(DeviceClassImage(engine::dcUSB), 20);
        QCOMPARE(DeviceClassImage(engine::dcNet), 15);
        QCOMPARE(DeviceClassImage(99), 0);
    }

    void showOverviewRunsTheWindowOverTheRoot() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        engine::SetOverviewShower({});
        QVERIFY_THROWS_EXCEPTION(Exception, info.ShowOverview());
        InstallOverview();
        WithModal([&] { info.ShowOverview(); }, [](QWidget* modal) {
            auto* window = qobject_cast<TfrmZarvo_Overview*>(modal);
            QVERIFY(window);
            QCOMPARE(window->PageMask(), std::uint16_t(0xFFFF));
            QVERIFY(window->pc->isTabVisible(tsAbout));
            QVERIFY(window->bReport->isVisible());
            QCOMPARE(window->lMachine->text(), QString("HJEMME-PC"));
        });
        QApplication::processEvents();
        for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<TfrmZarvo_Overview*>(w));
        engine::SetOverviewShower({});
    }

    // "Current Topic" writes what torvex-report -o writes for the topic,
    // byte for byte: CR LF, code page 1252, no byte-order mark.
    void currentTopicEqualsTheConsoleExport_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("suggested");
        QTest::newRow("devices") << int(tsDevices) << "Devices" << "Devices.txt";
        QTest::newRow("time zone") << int(tsTZ) << "Time Zone" << "Time Zone.txt";
        QTest::newRow("operating system") << int(tsOS) << "Operating System" << "Windows 9x.txt";
        QTest::newRow("software") << int(tsSoftware) << "Software" << "Software.txt";
        QTest::newRow("startup") << int(tsStartup) << "Startup" << "Startup.txt";
    }
    void currentTopicEqualsTheConsoleExport() {
        QFETCH(int, page);
        QFETCH(QString, topic);
        QFETCH(QString, suggested);
        QTemporaryDir out;
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.cmRefresh();
        window.pc->setCurrentIndex(page);
        QString mine = out.filePath("overview.txt");
        QString asked;
        SetSaveDialogRunner([&](const TSaveDialogRequest& request) {
            asked = request.suggestedName;
            TSaveDialogAnswer answer;
            answer.accepted = true;
            answer.fileName = mine;
            return answer;
        });
        window.cmReportCurrent();
        QCOMPARE(asked, suggested);
        QString theirs = out.filePath("report.txt");
        QProcess report;
        report.start(TORVEX_REPORT_EXE, {"--machine", QString::fromStdString(Machines("win98se-pc")), "--topic",
                                         topic, "-o", theirs});
        QVERIFY(report.waitForFinished(60000));
        QCOMPARE(report.exitCode(), 0);
        std::string bytes = ReadBytes(mine);
        QCOMPARE(bytes, ReadBytes(theirs));
        QVERIFY(bytes.rfind(";Corvane System Information Component 7.61\r\n", 0) == 0);
        QVERIFY(bytes.find("\n") == bytes.find("\r\n") + 1);
        QVERIFY(bytes.compare(0, 3, "\xEF\xBB\xBF") != 0);
        // No LF without its CR.
        for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
            QVERIFY(at > 0 && bytes[at - 1] == '\r');
        if (page == tsOS) {
            // "Bjørn Haugen" in code page 1252: ø is one byte, F8.
            QVERIFY(bytes.find("RegUser=Bj\xF8rn Haugen\r\n") != std::string::npos);
        }
        SetSaveDialogRunner({});
    }

    void exportsRememberTheDirectoryAndCancelWritesNothing() {
        QTemporaryDir out;
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.cmRefresh();
        std::vector<TSaveDialogRequest> requests;
        TSaveDialogAnswer next;
        SetSaveDialogRunner([&](const TSaveDialogRequest& request) {
            requests.push_back(request);
            return next;
        });
        // Cancelled: nothing written, the list empty.
        next.accepted = false;
        next.fileName = "SystemInfo.txt";
        window.cmReportAll();
        QCOMPARE(window.ReportList().Count(), 0);
        QCOMPARE(requests.back().title, QString("Select file"));
        QCOMPARE(requests.back().filter, QString("All Files (*)"));
        QCOMPARE(requests.back().suggestedName, QString("SystemInfo.txt"));
        QCOMPARE(requests.back().directory, FirstReportDirectory());
        // Accepted: every category, the banner first.
        next.accepted = true;
        next.fileName = out.filePath("all.txt");
        window.cmReportAll();
        std::string bytes = ReadBytes(out.filePath("all.txt"));
        QVERIFY(bytes.rfind(";Corvane System Information Component 7.61\r\n[Machine]\r\n", 0) == 0);
        QCOMPARE(ReportDirectory(), out.path());
        // The next dialog starts where the last one saved.
        next.fileName = out.filePath("about.txt");
        window.pc->setCurrentIndex(tsAbout);
        window.cmReportCurrent();
        QCOMPARE(requests.back().directory, out.path());
        QCOMPARE(requests.back().suggestedName, QString("About.txt"));
        QCOMPARE(ReadBytes(out.filePath("about.txt")), std::string(";Corvane System Information Component 7.61\r\n"));
        // A dialog that fails raises its extended error in hexadecimal.
        next.accepted = false;
        next.errorCode = 0x3002;
        try {
            window.cmReportAll();
            QFAIL("no error raised");
        } catch (const Exception& error) {
            QCOMPARE(QString(error.what()), QString("GetFileSaveDlg.CommDlgExtendedError = 3002"));
        }
        // A file that cannot be written raises the file-creation error with
        // the file's name; the file already there stays as it was.
        next = {};
        next.accepted = true;
        next.fileName = out.filePath("missing/folder/report.txt");
        QVERIFY_THROWS_EXCEPTION(EFCreateError, window.cmReportAll());
        try {
            window.cmReportAll();
        } catch (const EFCreateError& error) {
            QVERIFY(QString(error.what()).contains("missing/folder/report.txt"));
        }
        SetSaveDialogRunner({});
    }

    void theToolkitDialogAsksAsTheSystemOneDid() {
        QTemporaryDir out;
        QString directory = out.path();
        QString name = "SystemInfo.txt";
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QCOMPARE(dialog->windowTitle(), QString("Select file"));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(dialog->defaultSuffix(), QString());
            QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->nameFilters(), QStringList{"All Files (*)"});
            QCOMPARE(QDir(dialog->directory()).absolutePath(), QDir(out.path()).absolutePath());
            dialog->reject();
        });
        bool accepted = GetFileSaveDlg(nullptr, directory, name, "Select file", "All Files|*.*");
        QVERIFY(seen);
        QVERIFY(!accepted);
        // A cancel keeps the suggestion; a bare name has no directory.
        QCOMPARE(name, QString("SystemInfo.txt"));
        QCOMPARE(directory, QString());
    }
};

QTEST_MAIN(OverviewTest)
#include "test_overview.moc"
