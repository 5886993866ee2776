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
