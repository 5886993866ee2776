// The detailed overview window: one page per category of the engine, the
// report export of every category or of the current page, and a one-second
// timer that re-reads memory, up time and the lock keys.
//
// The window never reads the system itself: it runs the engine's refresh
// and copies the engine objects' values into its controls.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/Zarvo_CPUUsage.h"
#include "engine/Zarvo_GUI.h"

namespace torvex::overview {

// The pages by index; the index is the page's bit in the page mask and its
// number in the "Current Topic" report.
enum TOverviewPage {
    tsWksta = 0, tsOS = 1, tsCPU = 2, tsMemory = 3, tsDisplay = 4, tsAPM = 5, tsMedia = 6,
    tsNetwork = 7, tsDevices = 8, tsPrinters = 9, tsEngines = 10, tsDrives = 11, tsTZ = 12,
    tsStartup = 13, tsSoftware = 14, tsAbout = 15
};
constexpr int kPageCount = 16;
// The order in which the pages are filled (by their bits): the printers
// come after the drives and the time zone.
constexpr int kFillOrder[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 9, 13, 14};

// A check box the user cannot change: a click leaves its state as it was
// (cbxClick). The program sets it with setChecked.
class TReadOnlyCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

// The used share of a drive in percent, rounded; 0 for a drive without
// capacity (no medium).
int UsedSpacePercent(std::int64_t capacity, std::int64_t freeSpace);

// The icon index of a device class node by class index (0..36); the
// computer's image for an index outside the table.
int DeviceClassImage(int classIndex);

class TfrmZarvo_Overview : public QDialog {
    Q_OBJECT
public:
    // FormCreate: every page but About visible, the machine page active.
    explicit TfrmZarvo_Overview(QWidget* parent = nullptr);
    ~TfrmZarvo_Overview() override;

    // The engine root (not owned); set before the refresh.
    void SetSystemInfo(engine::TCorvaneSystemInfo* info) { FSysInfo = info; }
    engine::TCorvaneSystemInfo* SystemInfo() const { return FSysInfo; }

    // Bit i shows page i; the active page becomes the last visible one.
    void SetPageMask(std::uint16_t mask);
    std::uint16_t PageMask() const { return FPageMask; }
    void SetShowReportButton(bool show);
    bool ShowReportButton() const { return FShowReport; }

    // The report list the export commands fill and save.
    TStringList& ReportList() { return FReport; }

    // Handlers.
    void cmRefresh();
    void cmClose();
    void cmReportClick();
    void cmReportAll();
    void cmReportCurrent();
    void cmEnvironment();
    void cmNTSpec();
    void cmCaps(int tag);
    void cmModes();
    void cmProto();
    void cmServ();
    void cmCli();
    void cmProps();
    void TreeChange();
    void cbAdaptersChange();
    void cbDriveChange();
    void tcStartupChange();
    void cmPrintSetup();
    // Every second: memory, up time, lock keys; `load` is the processor load
    // in percent when the usage meter gives one.
    void CPUUsageInterval(std::optional<int> load);
    void cmMail();
    void cmWeb();

    // Fills every page whose mask bit is set, in kFillOrder.
    void FillPages();

    // The controls, by their names, for the program and its tests.
    QTabWidget* pc = nullptr;
    QPushButton *bReport = nullptr, *bRefresh = nullptr, *bOK = nullptr;
    QMenu* ReportMenu = nullptr;
    QAction *miAllTopics = nullptr, *miCurrentTopic = nullptr;
    QTimer* Timer = nullptr;
    // The processor load meter, active at 1000 ms while the window exists.
    std::unique_ptr<engine::TCorvaneCPUUsage> CPUUsage;
    std::vector<QWidget*> Pages;   // by TOverviewPage

    // Machine.
    QTabWidget* pcMachine = nullptr;
    QLabel *lMachine = nullptr, *lUser = nullptr, *lBIOSVendor = nullptr, *lBIOSVersion = nullptr,
           *lBIOSDate = nullptr, *lBIOSSize = nullptr, *lLastBoot = nullptr, *lUpTime = nullptr;
    QFrame *pNumLock = nullptr, *pCapsLock = nullptr, *pScrollLock = nullptr;
    QTreeWidget* tvSMBIOS = nullptr;
    // Operating system.
    QTabWidget* pcOS = nullptr;
    QLabel *lOSName = nullptr, *lOSVersion = nullptr, *lOSCSD = nullptr, *lDVDRegion = nullptr,
           *lProductID = nullptr, *lRegUser = nullptr, *lRegOrg = nullptr, *lProductKey = nullptr,
           *lBrowser = nullptr, *lConnection = nullptr, *lProxy = nullptr, *lMailClient = nullptr;
    QTreeWidget *lvFolders = nullptr, *lvLocale = nullptr;
    QPushButton *bEnvironment = nullptr, *bSuites = nullptr;
    // CPU.
    QLabel *lCPUHead = nullptr, *lCPUVendor = nullptr, *lCPUSerial = nullptr, *lCPUCodeName = nullptr,
           *lCPUFMS = nullptr, *lCPUCache = nullptr;
    QListWidget* clbFeatures = nullptr;
    QProgressBar* gCPU = nullptr;
    // Memory.
    QLabel *lPhysTotal = nullptr, *lPhysFree = nullptr, *lPageTotal = nullptr, *lPageFree = nullptr,
           *lVirtTotal = nullptr, *lVirtFree = nullptr, *lAllocGran = nullptr, *lAppAddress = nullptr,
           *lPageSize = nullptr, *lGDI = nullptr, *lUserRes = nullptr, *lSystemRes = nullptr;
    QProgressBar *gMemLoad = nullptr, *gPhysFree = nullptr, *gPageFree = nullptr, *gVirtFree = nullptr,
                 *gGDI = nullptr, *gUser = nullptr, *gSystem = nullptr;
    // Display.
    QLabel *lAdapter = nullptr, *lChipset = nullptr, *lDAC = nullptr, *lVideoMemory = nullptr,
           *lVideoBIOS = nullptr, *lTechnology = nullptr, *lMetrics = nullptr, *lPixels = nullptr,
           *lFontRes = nullptr;
    QPushButton *bModes = nullptr, *bCurve = nullptr, *bLine = nullptr, *bPolygon = nullptr,
                *bRaster = nullptr, *bText = nullptr;
    // APM.
    QLabel *lACStatus = nullptr, *lBatteryStatus = nullptr, *lFullLife = nullptr, *lRemainLife = nullptr;
    QProgressBar* gBattery = nullptr;
    // Media.
    QTreeWidget *tvMedia = nullptr, *lvSound = nullptr;
    // Network.
    QTabWidget* pcNetwork = nullptr;
    QListWidget *lbAdapters = nullptr, *lbMAC = nullptr, *lbIP = nullptr, *lbDNS = nullptr;
    QPushButton *bProto = nullptr, *bServ = nullptr, *bCli = nullptr;
    QLabel *lWSDescription = nullptr, *lWSVersion = nullptr, *lWSStatus = nullptr, *lHost = nullptr,
           *lDomain = nullptr, *lNodeType = nullptr, *lDNSSuffix = nullptr, *lAdapterAddress = nullptr,
           *lAdapterType = nullptr;
    TReadOnlyCheckBox *cbxProxy = nullptr, *cbxRouting = nullptr, *cbxDNS = nullptr, *cbxDHCP = nullptr,
                      *cbxWINS = nullptr;
    QComboBox* cbAdapters = nullptr;
    QTreeWidget* lvAddresses = nullptr;
    // Devices.
    QTreeWidget* Tree = nullptr;
    QPushButton* bProps = nullptr;
    // Printers.
    QTreeWidget* lvPrinters = nullptr;
    QPushButton* bPrintSetup = nullptr;
    // Engines.
    QLabel *lODBC = nullptr, *lBDE = nullptr, *lDAO = nullptr, *lADO = nullptr, *lDirectX = nullptr,
           *lASPI = nullptr;
    QTreeWidget *lvDirectX = nullptr, *lvASPI = nullptr;
    // Drives.
    QComboBox* cbDrive = nullptr;
    QLabel *iDriveType = nullptr, *lDriveType = nullptr, *lUNC = nullptr, *lSerial = nullptr,
           *lCapacity = nullptr, *lFreeSpace = nullptr, *lBytesPerSector = nullptr,
           *lSectorsPerCluster = nullptr, *lFreeClusters = nullptr, *lTotalClusters = nullptr;
    QProgressBar* gDriveUsed = nullptr;
    QListWidget* clbDriveFlags = nullptr;
    // Time zone.
    QLabel *lTZName = nullptr, *lTZStdStart = nullptr, *lTZStdBias = nullptr, *lTZDlStart = nullptr,
           *lTZDlBias = nullptr, *lTZBias = nullptr;
    // Startup and software.
    QTabBar* tcStartup = nullptr;
    QTreeWidget *lvStartup = nullptr, *lvSoftware = nullptr;
    // About.
    QLabel *lAboutTitle = nullptr, *lAboutVersion = nullptr, *lAboutText = nullptr;
    QPushButton *bMail = nullptr, *bWeb = nullptr;

protected:
    // One page's fill step; a test may watch the order.
    virtual void FillPage(int page);
    // FormClose.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMachinePage();
    void BuildOSPage();
    void BuildCPUPage();
    void BuildMemoryPage();
    void BuildDisplayPage();
    void BuildAPMPage();
    void BuildMediaPage();
    void BuildNetworkPage();
    void BuildDevicesPage();
    void BuildPrintersPage();
    void BuildEnginesPage();
    void BuildDrivesPage();
    void BuildTimeZonePage();
    void BuildStartupPage();
    void BuildSoftwarePage();
    void BuildAboutPage();

    void FillMachine();
    void FillSMBIOS();
    void FillOS();
    void FillCPU();
    void FillMemory();
    void FillDisplay();
    void FillAPM();
    void FillMedia();
    void FillNetwork();
    void FillDevices();
    void FillPrinters();
    void FillEngines();
    void FillDrives();
    void FillTimeZone();
    void FillStartup();
    void FillSoftware();

    // The memory figures and the machine's up time and lock keys, as the
    // timer shows them.
    void ShowMemory();
    void ShowMachineClock();

    // A check list in the detail dialog, titled.
    void ShowCheckList(const QString& title, const QStringList& items, const std::vector<bool>& checked);
    // The names of a name=value capability list, its first line left out,
    // checked where the value is 1.
    void ShowCapabilities(const QString& title, const TStringList& capabilities);
    void ShowComponents(const QString& title, const TStringList& components);

    // Runs an export: the save dialog, then the list written to the file.
    void SaveReport();

    engine::TCorvaneSystemInfo* FSysInfo = nullptr;
    TStringList FReport;
    std::uint16_t FPageMask = 0;
    bool FShowReport = false;
};

// Lets every engine root of the program show this window (ShowOverview).
void InstallOverview();

// Writes a report list as an export file (CR LF, the machine's ANSI code
// page, no byte-order mark), replacing `path` safely; raises EFCreateError
// naming the file and the reason when it cannot be written.
void SaveReportFile(const QString& path, const TStringList& report);

}  // namespace torvex::overview
