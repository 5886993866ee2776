#include "overview/Zarvo_Overview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <climits>
#include <cmath>

#include "engine/Zarvo_Machine.h"
#include "overview/Corvane_Dialogs.h"
#include "overview/TimerLoop.h"
#include "overview/Zarvo_DetailDlg.h"
#include "platform/Corvane_Routines.h"
#include "platform/machine/FileWrite.h"
#include "platform/win32/Win32.h"

namespace torvex::overview {

using namespace torvex::engine;

namespace {

constexpr int kWidth = 399;
constexpr int kHeight = 509;
constexpr int kDeviceIndexRole = Qt::UserRole + 1;

// The tabs' captions, blanks included, as the report's "Current Topic"
// trims them into file names.
constexpr const char* kCaptions[kPageCount] = {
    " Machine ", " Operating System", " CPU ",   " Memory ",  " Display ", " APM ",
    " Media ",   " Network ",         " Devices ", " Printers ", " Engines ", " Drives ",
    "Time Zone", " Startup ",         " Software ", "About"};

// Where the engine's maker is reached from the About page.
constexpr const char* kSupportMail = "support@torvex.dk";
constexpr const char* kWebSite = "https://www.torvex.dk/";

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Q(const char* text) { return QString::fromUtf8(text); }

// A caption and a value label, one form row; the value may be selected and
// copied but not edited.
QLabel* Row(QFormLayout* form, const QString& caption, const char* name) {
    auto* value = new QLabel;
    value->setObjectName(name);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setWordWrap(false);
    form->addRow(caption, value);
    return value;
}

QFormLayout* Form(QWidget* parent) {
    auto* form = new QFormLayout(parent);
    form->setLabelAlignment(Qt::AlignLeft);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setVerticalSpacing(3);
    return form;
}

QTreeWidget* ListView(const QStringList& columns, const char* name) {
    auto* view = new QTreeWidget;
    view->setObjectName(name);
    view->setHeaderLabels(columns);
    view->setRootIsDecorated(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAllColumnsShowFocus(true);
    return view;
}

// A list whose columns take the width of their longest text, with a scroll
// bar where the rows are wider than the page: command lines and driver
// names stay readable in the fixed-size window.
void FitColumns(QTreeWidget* view) {
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->setTextElideMode(Qt::ElideNone);
}

QPushButton* Button(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QProgressBar* Gauge(const char* name, Qt::Orientation orientation = Qt::Horizontal) {
    auto* gauge = new QProgressBar;
    gauge->setObjectName(name);
    gauge->setOrientation(orientation);
    gauge->setRange(0, 100);
    gauge->setValue(0);
    gauge->setTextVisible(orientation == Qt::Horizontal);
    return gauge;
}

// A gauge of two byte counts: the toolkit's gauges count in int, so large
// figures are scaled down together.
void SetGauge(QProgressBar* gauge, std::int64_t maximum, std::int64_t position) {
    if (maximum < 0) maximum = 0;
    if (position < 0) position = 0;
    if (position > maximum) position = maximum;
    while (maximum > INT_MAX) {
        maximum /= 1024;
        position /= 1024;
    }
    gauge->setRange(0, int(maximum));
    gauge->setValue(int(position));
}

// The images of the tree and lists, by the index the device tree's class
// table gives.
QIcon Image(const QStyle* style, int index) {
    QStyle::StandardPixmap pixmap = QStyle::SP_FileIcon;
    switch (index) {
        case 0:    // the computer
        case 1: pixmap = QStyle::SP_ComputerIcon; break;       // computer, system devices
        case 2:                                                // display adapters
        case 3: pixmap = QStyle::SP_DesktopIcon; break;        // monitors
        case 4: pixmap = QStyle::SP_DriveHDIcon; break;        // disk drives, their controllers
        case 5: pixmap = QStyle::SP_DriveFDIcon; break;        // floppy drives
        case 6: pixmap = QStyle::SP_DriveHDIcon; break;        // volumes
        case 7: pixmap = QStyle::SP_DriveCDIcon; break;        // CD-ROM
        case 15:                                               // network cards
        case 22: pixmap = QStyle::SP_DriveNetIcon; break;      // other network adapters
        case 19: pixmap = QStyle::SP_MediaVolume; break;       // sound, video and games
        case 9: pixmap = QStyle::SP_DialogApplyButton; break;  // batteries
        default: pixmap = QStyle::SP_DirIcon; break;
    }
    return style->standardIcon(pixmap);
}

void Colour(QFrame* panel, bool on) {
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, on ? QColor(0x00, 0xFF, 0x00) : QColor(0xC0, 0xC0, 0xC0));
    palette.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(palette);
}

QFrame* LockPanel(const QString& caption, const char* name) {
    auto* panel = new QFrame;
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    panel->setMinimumHeight(22);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(2, 1, 2, 1);
    auto* label = new QLabel(caption);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    Colour(panel, false);
    return panel;
}

QTreeWidgetItem* Group(QTreeWidget* tree, const QString& caption) {
    auto* item = new QTreeWidgetItem(tree, {caption});
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    item->setFirstColumnSpanned(true);
    return item;
}

void Pair(QTreeWidgetItem* parent, const QString& name, const QString& value) {
    new QTreeWidgetItem(parent, {name, value});
}

// The name=value lines of one section of a category's report, the header
// left out; for the lists whose names and values the engine writes itself.
std::vector<std::pair<std::string, std::string>> SectionPairs(const TStringList& report,
                                                              const std::string& header) {
    std::vector<std::pair<std::string, std::string>> pairs;
    bool inside = false;
    for (int i = 0; i < report.Count(); ++i) {
        const std::string& line = report[i];
        if (!line.empty() && line.front() == '[') {
            inside = line == header;
            continue;
        }
        if (!inside) continue;
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        pairs.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return pairs;
}

}  // namespace

int UsedSpacePercent(std::int64_t capacity, std::int64_t freeSpace) {
    if (capacity <= 0) return 0;
    double used = double(capacity - freeSpace) / double(capacity) * 100.0;
    if (used < 0) used = 0;
    if (used > 100) used = 100;
    return int(std::lround(used));
}

int DeviceClassImage(int classIndex) {
    static constexpr int kImages[kDeviceClassCount] = {9,  1,  4,  2,  7,  4,  5,  27, 26, 4,  18, 10, 29,
                                                       11, 25, 18, 12, 13, 3,  28, 14, 15, 18, 16, 18, 15,
                                                       14, 35, 17, 28, 19, 6,  1,  8,  39, 8,  20};
    return classIndex >= 0 && classIndex < kDeviceClassCount ? kImages[classIndex] : 0;
}

// ------------------------------------------------------------------ creation

TfrmZarvo_Overview::TfrmZarvo_Overview(QWidget* parent) : QDialog(parent) {
    setObjectName("frmZarvo_Overview");
    setWindowTitle("Corvane System Information");
    setFixedSize(kWidth, kHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    pc = new QTabWidget;
    pc->setObjectName("pc");
    pc->setUsesScrollButtons(true);
    layout->addWidget(pc, 1);
    Pages.resize(kPageCount, nullptr);
    for (int page = 0; page < kPageCount; ++page) {
        Pages[page] = new QWidget;
        static constexpr const char* kNames[kPageCount] = {
            "tsWksta",    "tsOS",      "tsCPU",   "tsMemory", "tsDisplay", "tsAPM",
            "tsMedia",    "tsNetwork", "tsDevices", "tsPrinters", "tsEngines", "tsDrives",
            "tsTZ",       "tsStartup", "tsSoftware", "tsAbout"};
        Pages[page]->setObjectName(kNames[page]);
        pc->addTab(Pages[page], kCaptions[page]);
    }
    BuildMachinePage();
    BuildOSPage();
    BuildCPUPage();
    BuildMemoryPage();
    BuildDisplayPage();
    BuildAPMPage();
    BuildMediaPage();
    BuildNetworkPage();
    BuildDevicesPage();
    BuildPrintersPage();
    BuildEnginesPage();
    BuildDrivesPage();
    BuildTimeZonePage();
    BuildStartupPage();
    BuildSoftwarePage();
    BuildAboutPage();

    auto* buttons = new QHBoxLayout;
    bReport = Button("Report...", "bReport");
    bRefresh = Button("Refresh", "bRefresh");
    bOK = new QPushButton("OK");
    bOK->setObjectName("bOK");
    bOK->setDefault(true);
    buttons->addWidget(bReport);
    buttons->addStretch();
    buttons->addWidget(bRefresh);
    buttons->addWidget(bOK);
    layout->addLayout(buttons);
    ReportMenu = new QMenu(this);
    ReportMenu->setObjectName("ReportMenu");
    miAllTopics = ReportMenu->addAction("All Topics");
    miCurrentTopic = ReportMenu->addAction("Current Topic");
    connect(bReport, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmReportClick);
    // An error leaves these handlers as an exception; the event loop cannot
    // carry one, so it ends here in the program's error box, and the window
    // goes on.
    auto safely = [this](void (TfrmZarvo_Overview::*handler)()) {
        return [this, handler] {
            try {
                (this->*handler)();
            } catch (const std::exception& error) {
                QMessageBox::critical(this, QApplication::applicationName(), QString::fromUtf8(error.what()));
            }
        };
    };
    connect(miAllTopics, &QAction::triggered, this, safely(&TfrmZarvo_Overview::cmReportAll));
    connect(miCurrentTopic, &QAction::triggered, this, safely(&TfrmZarvo_Overview::cmReportCurrent));
    connect(bRefresh, &QPushButton::clicked, this, safely(&TfrmZarvo_Overview::cmRefresh));
    connect(bOK, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmClose);
    bReport->setVisible(false);

    // FormCreate: every page but About, the machine page and the first
    // sub-page of each inner page control active.
    SetPageMask(0x7FFF);
    pc->setCurrentIndex(tsWksta);
    for (QTabWidget* inner : {pcMachine, pcOS, pcNetwork}) inner->setCurrentIndex(0);
    lAboutTitle->setText(Q(kEngineTitle));
    lAboutVersion->setText(Q("Version ") + Q(kEngineVersion));

    // The one-second figures: the processor load meter (active, 1000 ms)
    // brings them with its load. A meter that cannot start (no statistic
    // on this machine) leaves the timer below to bring the rest without one.
    InstallTimerLoop();
    CPUUsage = std::make_unique<TCorvaneCPUUsage>();
    CPUUsage->SetName("CPUUsage");
    CPUUsage->OnInterval = [this](TObject*, std::uint32_t value) {
        // The meter hands on its value as 32 bits; one below 0 (the NT
        // formula's first interval after an earlier activation, or a failed
        // read) comes out as a large number and is clamped to 0.
        CPUUsageInterval(int(std::int32_t(value)));
    };
    CPUUsage->SetInterval(1000);
    try {
        CPUUsage->SetActive(true);
    } catch (const std::exception&) {
        // Stays inactive; the gauge stays empty.
    }
    Timer = new QTimer(this);
    Timer->setInterval(1000);
    connect(Timer, &QTimer::timeout, this, [this] {
        // >>> Processor load: while the meter runs its tick brings every
        // figure, the load included.
        if (CPUUsage && CPUUsage->Active()) return;
        CPUUsageInterval(std::nullopt);
        // <<<
    });
    Timer->start();

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

TfrmZarvo_Overview::~TfrmZarvo_Overview() = default;

void TfrmZarvo_Overview::SetPageMask(std::uint16_t mask) {
    FPageMask = mask;
    for (int page = 0; page < pc->count(); ++page)
        pc->setTabVisible(page, page < 16 && (mask >> page & 1) != 0);
    // The active page: the first visible one from the last page backwards.
    for (int page = pc->count() - 1; page >= 0; --page)
        if (pc->isTabVisible(page)) {
            pc->setCurrentIndex(page);
            break;
        }
}

void TfrmZarvo_Overview::SetShowReportButton(bool show) {
    FShowReport = show;
    bReport->setVisible(show);
}

void TfrmZarvo_Overview::closeEvent(QCloseEvent* event) {
    // FormClose: the window goes when its modal loop returns; ShowOverview
    // destroys it, once.
    Timer->stop();
    CPUUsage->SetActive(false);
    event->accept();
}

void TfrmZarvo_Overview::cmClose() { close(); }

// ------------------------------------------------------------------ refresh

void TfrmZarvo_Overview::cmRefresh() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        if (FSysInfo) FSysInfo->Refresh();
        FillPages();
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void TfrmZarvo_Overview::FillPages() {
    if (!FSysInfo) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        for (int page : kFillOrder)
            if (FPageMask >> page & 1) FillPage(page);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void TfrmZarvo_Overview::FillPage(int page) {
    switch (page) {
        case tsWksta: FillMachine(); break;
        case tsOS: FillOS(); break;
        case tsCPU: FillCPU(); break;
        case tsMemory: FillMemory(); break;
        case tsDisplay: FillDisplay(); break;
        case tsAPM: FillAPM(); break;
        case tsMedia: FillMedia(); break;
        case tsNetwork: FillNetwork(); break;
        case tsDevices: FillDevices(); break;
        case tsPrinters: FillPrinters(); break;
        case tsEngines: FillEngines(); break;
        case tsDrives: FillDrives(); break;
        case tsTZ: FillTimeZone(); break;
        case tsStartup: FillStartup(); break;
        case tsSoftware: FillSoftware(); break;
        default: break;
    }
}

// ------------------------------------------------------------------ machine

void TfrmZarvo_Overview::BuildMachinePage() {
    auto* layout = new QVBoxLayout(Pages[tsWksta]);
    pcMachine = new QTabWidget;
    pcMachine->setObjectName("pcMachine");
    layout->addWidget(pcMachine);

    auto* general = new QWidget;
    auto* box = new QVBoxLayout(general);
    auto* machine = new QGroupBox("Machine");
    auto* form = Form(machine);
    lMachine = Row(form, "Machine name:", "lMachine");
    lUser = Row(form, "User name:", "lUser");
    lLastBoot = Row(form, "Last boot:", "lLastBoot");
    lUpTime = Row(form, "System up time:", "lUpTime");
    lUpTime->setWordWrap(true);
    box->addWidget(machine);
    auto* bios = new QGroupBox("BIOS");
    form = Form(bios);
    lBIOSVendor = Row(form, "Vendor:", "lBIOSVendor");
    lBIOSVersion = Row(form, "Version:", "lBIOSVersion");
    lBIOSDate = Row(form, "Date:", "lBIOSDate");
    lBIOSSize = Row(form, "Size:", "lBIOSSize");
    box->addWidget(bios);
    auto* keys = new QGroupBox("Keyboard");
    auto* row = new QHBoxLayout(keys);
    pNumLock = LockPanel("Num Lock", "pNumLock");
    pCapsLock = LockPanel("Caps Lock", "pCapsLock");
    pScrollLock = LockPanel("Scroll Lock", "pScrollLock");
    row->addWidget(pNumLock);
    row->addWidget(pCapsLock);
    row->addWidget(pScrollLock);
    box->addWidget(keys);
    box->addStretch();
    pcMachine->addTab(general, " General ");

    tvSMBIOS = new QTreeWidget;
    tvSMBIOS->setObjectName("tvSMBIOS");
    tvSMBIOS->setHeaderLabels({"Item", "Value"});
    tvSMBIOS->header()->resizeSection(0, 150);
    tvSMBIOS->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pcMachine->addTab(tvSMBIOS, "SM BIOS");
}

void TfrmZarvo_Overview::FillMachine() {
    const TMachine& m = FSysInfo->Machine();
    lMachine->setText(Q(m.Name()));
    lUser->setText(Q(m.User()));
    const TSMBIOS& s = m.SMBIOS();
    lBIOSVendor->setText(Q(s.BIOSVendor()));
    lBIOSVersion->setText(Q(s.BIOSVersion()));
    lBIOSDate->setText(Q(s.BIOSDate()));
    lBIOSSize->setText(Q(Format("%d KB", {s.BIOSSize()})));
    lLastBoot->setText(Q(DateTimeToStr(m.LastBoot())));
    ShowMachineClock();
    FillSMBIOS();
}

void TfrmZarvo_Overview::FillSMBIOS() {
    const TSMBIOS& s = FSysInfo->Machine().SMBIOS();
    tvSMBIOS->clear();
    auto* system = Group(tvSMBIOS, "System");
    Pair(system, "Manufacturer", Q(s.SystemManufacturer()));
    Pair(system, "Model", Q(s.SystemModel()));
    Pair(system, "Version", Q(s.SystemVersion()));
    Pair(system, "Serial number", Q(s.SystemSerial()));
    Pair(system, "UUID", Q(s.SystemUUID()));
    auto* board = Group(tvSMBIOS, "Main board");
    Pair(board, "Manufacturer", Q(s.MainBoardManufacturer()));
    Pair(board, "Model", Q(s.MainBoardModel()));
    Pair(board, "Version", Q(s.MainBoardVersion()));
    Pair(board, "Serial number", Q(s.MainBoardSerial()));
    auto* chassis = Group(tvSMBIOS, "Chassis");
    Pair(chassis, "Manufacturer", Q(s.ChassisManufacturer()));
    Pair(chassis, "Model", Q(s.ChassisModel()));
    Pair(chassis, "Version", Q(s.ChassisVersion()));
    Pair(chassis, "Serial number", Q(s.ChassisSerial()));
    auto* cpu = Group(tvSMBIOS, "Processor");
    Pair(cpu, "Socket", Q(s.CPUSocket()));
    Pair(cpu, "Manufacturer", Q(s.CPUManufacturer()));
    Pair(cpu, "Version", Q(s.CPUVersion()));
    Pair(cpu, "Upgrade", Q(s.CPUUpgrade()));
    Pair(cpu, "Voltage", Q(Format("%1.1f", {s.CPUVoltage()})) + " V");
    Pair(cpu, "External clock", Q(Format("%d MHz", {s.CPUExternalClock()})));
    Pair(cpu, "Clock", Q(Format("%d MHz", {s.CPUClock()})));
    auto* caches = Group(tvSMBIOS, "Caches");
    for (int i = 0; i < s.CacheCount(); ++i) {
        TCache c = s.Cache(i);
        auto* item = new QTreeWidgetItem(caches, {Q(c.Designation)});
        Pair(item, "Maximum size", Q(Format("%d KB", {c.MaxSize})));
        Pair(item, "Installed size", Q(Format("%d KB", {c.InstalledSize})));
        Pair(item, "SRAM type", Q(SRAMTypeName(c.SRAMType)));
        Pair(item, "Type", Q(CacheTypeName(c.CacheType)));
        Pair(item, "Associativity", Q(CacheAssociativityName(c.Associativity)));
        Pair(item, "Speed", Q(Format("%d ns", {c.Speed})));
    }
    auto* memory = Group(tvSMBIOS, "Memory");
    for (int i = 0; i < s.MemorySlotCount(); ++i) {
        TMemoryBank b = s.MemoryBank(i);
        auto* item = new QTreeWidgetItem(memory, {Q(b.Socket)});
        Pair(item, "Size", Q(Format("%d MB", {b.Size})));
        if (b.SpeedMHz) Pair(item, "Speed", Q(Format("%d MHz", {b.SpeedMHz})));
        else Pair(item, "Speed", Q(Format("%d ns", {b.Speed})));
        Pair(item, "Type", Q(MemoryTypeText(b.Types)));
    }
    auto* ports = Group(tvSMBIOS, "Ports");
    for (int i = 0; i < s.PortCount(); ++i) {
        TPort p = s.Port(i);
        auto* item = new QTreeWidgetItem(ports, {Q(p.Designator)});
        Pair(item, "Connector", Q(ConnectorName(p.Connector)));
        Pair(item, "Type", Q(PortTypeName(p.PortType)));
    }
    auto* slotGroup = Group(tvSMBIOS, "Slots");
    for (int i = 0; i < s.SystemSlotCount(); ++i) {
        TSlot sl = s.SystemSlot(i);
        auto* item = new QTreeWidgetItem(slotGroup, {Q(sl.Designation)});
        Pair(item, "Type", Q(SlotTypeName(sl.SlotType)));
        Pair(item, "Data bus", Q(SlotDataBusName(sl.DataBus)));
        Pair(item, "ID", Q(Format("%d", {sl.SlotID})));
    }
    auto* tables = Group(tvSMBIOS, "Available tables");
    for (const TStructTable& t : s.Structures())
        new QTreeWidgetItem(tables, {Q(Format("Type %d: %s", {t.Type, t.Name})),
                                     Q(Format("Length %d, handle %4.4x", {t.Length, t.Handle}))});
    for (int i = 0; i < tvSMBIOS->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tvSMBIOS->topLevelItem(i);
        // The single-record groups open; the long lists stay closed.
        if (i < 4) top->setExpanded(true);
    }
}

void TfrmZarvo_Overview::ShowMachineClock() {
    const TMachine& m = FSysInfo->Machine();
    lUpTime->setText(Q(FormatSeconds(std::int64_t(std::llround(double(m.SystemUpTime()))), true, false, false)));
    Colour(pNumLock, m.NumLock());
    Colour(pCapsLock, m.CapsLock());
    Colour(pScrollLock, m.ScrollLock());
}

// ------------------------------------------------------------------ OS

void TfrmZarvo_Overview::BuildOSPage() {
    auto* layout = new QVBoxLayout(Pages[tsOS]);
    auto* head = new QWidget;
    auto* form = Form(head);
    form->setContentsMargins(0, 0, 0, 0);
    lOSName = new QLabel;
    lOSName->setObjectName("lOSName");
    QFont bold = lOSName->font();
    bold.setBold(true);
    lOSName->setFont(bold);
    form->addRow(lOSName);
    lOSVersion = new QLabel;
    lOSVersion->setObjectName("lOSVersion");
    form->addRow(lOSVersion);
    lOSCSD = new QLabel;
    lOSCSD->setObjectName("lOSCSD");
    form->addRow(lOSCSD);
    lDVDRegion = new QLabel;
    lDVDRegion->setObjectName("lDVDRegion");
    form->addRow(lDVDRegion);
    layout->addWidget(head);

    pcOS = new QTabWidget;
    pcOS->setObjectName("pcOS");
    auto* general = new QWidget;
    form = Form(general);
    lProductID = Row(form, "Product ID:", "lProductID");
    lRegUser = Row(form, "Registered user:", "lRegUser");
    lRegOrg = Row(form, "Organization:", "lRegOrg");
    lProductKey = Row(form, "Product key:", "lProductKey");
    pcOS->addTab(general, "General");
    lvFolders = ListView({"Folder", "Location"}, "lvFolders");
    lvFolders->header()->resizeSection(0, 110);
    pcOS->addTab(lvFolders, "Folders");
    auto* internet = new QWidget;
    form = Form(internet);
    lBrowser = Row(form, "Default browser:", "lBrowser");
    lConnection = Row(form, "Connection:", "lConnection");
    lProxy = Row(form, "Proxy server:", "lProxy");
    lMailClient = Row(form, "Default mail client:", "lMailClient");
    for (QLabel* l : {lBrowser, lMailClient}) l->setWordWrap(true);
    pcOS->addTab(internet, "Internet");
    lvLocale = ListView({"Parameter", "Value"}, "lvLocale");
    lvLocale->header()->resizeSection(0, 170);
    pcOS->addTab(lvLocale, "Locale");
    layout->addWidget(pcOS, 1);

    auto* buttons = new QHBoxLayout;
    bEnvironment = Button("Environment...", "bEnvironment");
    bSuites = Button("Installed Suites...", "bSuites");
    bSuites->setEnabled(false);
    buttons->addWidget(bEnvironment);
    buttons->addWidget(bSuites);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(bEnvironment, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmEnvironment);
    connect(bSuites, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmNTSpec);
}

void TfrmZarvo_Overview::FillOS() {
    const TOperatingSystem& os = FSysInfo->OS();
    static constexpr const char* kPlatformCaptions[] = {"Windows 3.1x", "Windows 9x", "Windows NT"};
    pc->setTabText(tsOS, kPlatformCaptions[os.Platform()]);
    QString name = Q(platform::routines::OSName);
    if (os.Platform() == opWinNT) {
        switch (os.NTSpecific().ProductType()) {
            case ptWorkStation: name += " - Workstation"; break;
            case ptServer: name += " - Server"; break;
            case ptAdvancedServer: name += " - Advanced Server"; break;
            default: break;
        }
    }
    lOSName->setText(name);
    lOSVersion->setText(Q(Format("Version: %d.%d.%d", {os.MajorVersion(), os.MinorVersion(), os.BuildNumber()})));
    lOSCSD->setText(Q(os.CSD()));
    lDVDRegion->setText("DVD Region: " + Q(os.DVDRegion()));
    lProductID->setText(Q(os.ProductID()));
    lRegUser->setText(Q(os.RegisteredUser()));
    lRegOrg->setText(Q(os.RegisteredOrg()));
    lProductKey->setText(Q(os.ProductKey()));

    lvFolders->clear();
    const TStringList& folders = os.Folders();
    for (int i = 0; i < folders.Count(); ++i) {
        std::string location = folders.ValueFromIndex(i);
        if (Trim(location).empty()) continue;
        new QTreeWidgetItem(lvFolders, {Q(folders.Names(i)), Q(location)});
    }

    const TInternet& net = os.Internet();
    static constexpr const char* kConnections[] = {"None", "LAN", "Dial-up"};
    lBrowser->setText(Q(net.DefaultBrowser()));
    lConnection->setText(kConnections[net.ConnectionType()]);
    lProxy->setText(Q(net.ProxyServer()));
    lMailClient->setText(Q(net.DefaultMailClient()));

    lvLocale->clear();
    TStringList locale;
    os.LocaleInfo().Report(locale);
    for (const auto& [parameter, value] : SectionPairs(locale, "[Locale]"))
        new QTreeWidgetItem(lvLocale, {Q(parameter), Q(value)});

    // The suites exist from Windows 2000 on.
    bSuites->setEnabled(os.Platform() == opWinNT && os.MajorVersion() == 5 &&
                        (os.MinorVersion() == 0 || os.MinorVersion() == 1));
}

void TfrmZarvo_Overview::cmEnvironment() {
    if (!FSysInfo) return;
    TdlgZarvo_Detail dialog(this);
    dialog.SetPage(TdlgZarvo_Detail::pgListView);
    dialog.SetTitle("Environment");
    const TStringList& environment = FSysInfo->OS().Environment();
    for (int i = 0; i < environment.Count(); ++i)
        dialog.AddRow(Q(environment.Names(i)), Q(environment.ValueFromIndex(i)));
    dialog.exec();
}

void TfrmZarvo_Overview::cmNTSpec() {
    if (!FSysInfo) return;
    static constexpr const char* kSuites[] = {"Small Business", "Enterprise", "BackOffice",
                                              "Communications", "Terminal", "Small Business Restricted",
                                              "Embedded NT", "Data Center"};
    QStringList items;
    std::vector<bool> checked;
    const TNTSuites& installed = FSysInfo->OS().NTSpecific().InstalledSuites();
    for (int s = suSmallBusiness; s <= suDataCenter; ++s) {
        items << kSuites[s];
        checked.push_back(installed.count(TNTSuite(s)) != 0);
    }
    ShowCheckList("Installed Suites", items, checked);
}

void TfrmZarvo_Overview::ShowCheckList(const QString& title, const QStringList& items,
                                       const std::vector<bool>& checked) {
    TdlgZarvo_Detail dialog(this);
    dialog.SetPage(TdlgZarvo_Detail::pgCheckBox);
    dialog.SetTitle(title);
    for (int i = 0; i < items.size(); ++i)
        AddCheckItem(dialog.clb(), items[i], std::size_t(i) < checked.size() && checked[std::size_t(i)]);
    dialog.exec();
}

void TfrmZarvo_Overview::ShowCapabilities(const QString& title, const TStringList& capabilities) {
    QStringList items;
    std::vector<bool> checked;
    // The list's first line is not a capability.
    for (int i = 1; i < capabilities.Count(); ++i) {
        items << Q(capabilities.Names(i));
        checked.push_back(capabilities.ValueFromIndex(i) == "1");
    }
    ShowCheckList(title, items, checked);
}

// ------------------------------------------------------------------ CPU

void TfrmZarvo_Overview::BuildCPUPage() {
    auto* layout = new QHBoxLayout(Pages[tsCPU]);
    auto* left = new QVBoxLayout;
    lCPUHead = new QLabel;
    lCPUHead->setObjectName("lCPUHead");
    QFont bold = lCPUHead->font();
    bold.setBold(true);
    lCPUHead->setFont(bold);
    lCPUHead->setWordWrap(true);
    left->addWidget(lCPUHead);
    auto* facts = new QWidget;
    auto* form = Form(facts);
    form->setContentsMargins(0, 0, 0, 0);
    lCPUVendor = Row(form, "Vendor:", "lCPUVendor");
    lCPUSerial = Row(form, "Serial:", "lCPUSerial");
    lCPUCodeName = Row(form, "Code name:", "lCPUCodeName");
    left->addWidget(facts);
    lCPUFMS = new QLabel;
    lCPUFMS->setObjectName("lCPUFMS");
    left->addWidget(lCPUFMS);
    lCPUCache = new QLabel;
    lCPUCache->setObjectName("lCPUCache");
    lCPUCache->setWordWrap(true);
    left->addWidget(lCPUCache);
    clbFeatures = new QListWidget;
    clbFeatures->setObjectName("clbFeatures");
    MakeCheckListReadOnly(clbFeatures);
    left->addWidget(clbFeatures, 1);
    layout->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    auto* usage = new QLabel("Usage");
    usage->setAlignment(Qt::AlignHCenter);
    right->addWidget(usage);
    gCPU = Gauge("gCPU", Qt::Vertical);
    // Until the load meter's first value, the gauge has nothing to show.
    gCPU->setEnabled(false);
    right->addWidget(gCPU, 1, Qt::AlignHCenter);
    layout->addLayout(right);
}

void TfrmZarvo_Overview::FillCPU() {
    const TCPU& cpu = FSysInfo->CPU();
    lCPUHead->setText(Q(Format("%d x %s %s - %d MHz", {cpu.Count(), cpu.Vendor(), cpu.VendorID(), cpu.Frequency()})));
    lCPUVendor->setText(Q(cpu.VendorEx()));
    lCPUSerial->setText(Q(cpu.SerialNumber()));
    lCPUCodeName->setText(Q(cpu.CodeName()));
    lCPUFMS->setText(Q(Format("Family %d  Model %d  Stepping %d", {cpu.Family(), cpu.Model(), cpu.Stepping()})));
    const TCPUCache& cache = cpu.Cache();
    QStringList lines;
    lines << Q(Format("Level 1 data cache: %d KB", {cache.L1Data()}))
          << Q(Format("Level 1 instruction cache: %d KB", {cache.L1Code()}))
          << Q(Format("Level 1 unified cache: %d KB", {cache.Level1()}))
          << Q(Format("Level 2 unified cache: %d KB", {cache.Level2()}));
    if (!cache.IntelDescription().empty()) lines << Q(cache.IntelDescription());
    lCPUCache->setText(lines.join('\n'));
    clbFeatures->clear();
    TStringList features;
    cpu.Features().Report(features);
    for (const auto& [name, value] : SectionPairs(features, "[CPU Features]"))
        AddCheckItem(clbFeatures, Q(name), value == "1");
}

// ------------------------------------------------------------------ memory

void TfrmZarvo_Overview::BuildMemoryPage() {
    auto* layout = new QVBoxLayout(Pages[tsMemory]);
    auto* figures = new QGroupBox("Memory");
    auto* grid = new QGridLayout(figures);
    grid->setVerticalSpacing(3);
    auto value = [](const char* name) {
        auto* label = new QLabel;
        label->setObjectName(name);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    };
    grid->addWidget(new QLabel("<b>Total</b>"), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel("<b>Free</b>"), 0, 2, Qt::AlignRight);
    grid->addWidget(new QLabel("Physical:"), 1, 0);
    grid->addWidget(lPhysTotal = value("lPhysTotal"), 1, 1);
    grid->addWidget(lPhysFree = value("lPhysFree"), 1, 2);
    grid->addWidget(new QLabel("Page file:"), 2, 0);
    grid->addWidget(lPageTotal = value("lPageTotal"), 2, 1);
    grid->addWidget(lPageFree = value("lPageFree"), 2, 2);
    grid->addWidget(new QLabel("Virtual:"), 3, 0);
    grid->addWidget(lVirtTotal = value("lVirtTotal"), 3, 1);
    grid->addWidget(lVirtFree = value("lVirtFree"), 3, 2);
    layout->addWidget(figures);
    auto* other = new QWidget;
    auto* form = Form(other);
    form->setContentsMargins(0, 0, 0, 0);
    lAllocGran = Row(form, "Allocation granularity:", "lAllocGran");
    lAppAddress = Row(form, "Application address range:", "lAppAddress");
    lPageSize = Row(form, "Page size:", "lPageSize");
    layout->addWidget(other);
    auto* gauges = new QGroupBox("Utilisation and free memory");
    auto* gform = Form(gauges);
    gform->addRow("Memory load:", gMemLoad = Gauge("gMemLoad"));
    gform->addRow("Physical free:", gPhysFree = Gauge("gPhysFree"));
    gform->addRow("Page file free:", gPageFree = Gauge("gPageFree"));
    gform->addRow("Virtual free:", gVirtFree = Gauge("gVirtFree"));
    layout->addWidget(gauges);
    auto* resources = new QGroupBox("Resources");
    auto* rgrid = new QGridLayout(resources);
    rgrid->addWidget(lGDI = new QLabel, 0, 0);
    rgrid->addWidget(gGDI = Gauge("gGDI"), 0, 1);
    rgrid->addWidget(lUserRes = new QLabel, 1, 0);
    rgrid->addWidget(gUser = Gauge("gUser"), 1, 1);
    rgrid->addWidget(lSystemRes = new QLabel, 2, 0);
    rgrid->addWidget(gSystem = Gauge("gSystem"), 2, 1);
    lGDI->setObjectName("lGDI");
    lUserRes->setObjectName("lUserRes");
    lSystemRes->setObjectName("lSystemRes");
    layout->addWidget(resources);
    layout->addStretch();
}

void TfrmZarvo_Overview::FillMemory() {
    const TMemory& m = FSysInfo->Memory();
    lAllocGran->setText(Q(FormatFloat("#,#0", m.AllocGranularity())));
    lAppAddress->setText(Q(Format("%s - %s", {IntToHex(m.MinAppAddress(), 8), IntToHex(m.MaxAppAddress(), 8)})));
    lPageSize->setText(Q(FormatFloat("#,#0", m.PageSize())));
    ShowMemory();
}

void TfrmZarvo_Overview::ShowMemory() {
    const TMemory& m = FSysInfo->Memory();
    lPhysTotal->setText(Q(FormatFloat("#,##", m.PhysicalTotal())));
    lPageTotal->setText(Q(FormatFloat("#,##", m.PageFileTotal())));
    lVirtTotal->setText(Q(FormatFloat("#,##", m.VirtualTotal())));
    lPhysFree->setText(Q(FormatFloat("#,#0", m.PhysicalFree())));
    lPageFree->setText(Q(FormatFloat("#,#0", m.PageFileFree())));
    lVirtFree->setText(Q(FormatFloat("#,#0", m.VirtualFree())));
    gMemLoad->setRange(0, 100);
    gMemLoad->setValue(std::clamp(int(m.MemoryLoad()), 0, 100));
    SetGauge(gPhysFree, m.PhysicalTotal(), m.PhysicalFree());
    SetGauge(gPageFree, m.PageFileTotal(), m.PageFileFree());
    SetGauge(gVirtFree, m.VirtualTotal(), m.VirtualFree());
    const TResources& r = m.Resources();
    gGDI->setValue(std::clamp(int(r.GDI()), 0, 100));
    gUser->setValue(std::clamp(int(r.User()), 0, 100));
    gSystem->setValue(std::clamp(int(r.System()), 0, 100));
    lGDI->setText(Q(Format("GDI - %d%% free", {int(r.GDI())})));
    lUserRes->setText(Q(Format("User - %d%% free", {int(r.User())})));
    lSystemRes->setText(Q(Format("System - %d%% free", {int(r.System())})));
}

void TfrmZarvo_Overview::CPUUsageInterval(std::optional<int> load) {
    if (!FSysInfo) return;
    // Refreshed every second: an error here would repeat every second, so
    // it is dropped and the figures stay those of the last good reading.
    GuardedCall(GetInfoLabel(FSysInfo->Memory()), emSilent, &TMemory::GetInfo, FSysInfo->Memory());
    ShowMemory();
    if (load) {
        gCPU->setEnabled(true);
        gCPU->setValue(std::clamp(*load, 0, 100));
    }
    GuardedCall(0, GetInfoLabel(FSysInfo->Machine()), emSilent, &TMachine::GetInfo, FSysInfo->Machine());
    ShowMachineClock();
}

// ------------------------------------------------------------------ display

void TfrmZarvo_Overview::BuildDisplayPage() {
    auto* layout = new QVBoxLayout(Pages[tsDisplay]);
    auto* adapter = new QGroupBox("Adapter");
    auto* form = Form(adapter);
    lAdapter = Row(form, "Adapter:", "lAdapter");
    lChipset = Row(form, "Chipset:", "lChipset");
    lDAC = Row(form, "DAC:", "lDAC");
    lVideoMemory = Row(form, "Memory:", "lVideoMemory");
    lVideoBIOS = Row(form, "BIOS:", "lVideoBIOS");
    layout->addWidget(adapter);
    auto* device = new QGroupBox("Device");
    form = Form(device);
    lTechnology = Row(form, "Technology:", "lTechnology");
    lMetrics = Row(form, "Metrics:", "lMetrics");
    lPixels = Row(form, "Pixel size:", "lPixels");
    lFontRes = Row(form, "Font resolution:", "lFontRes");
    layout->addWidget(device);
    auto* grid = new QGridLayout;
    bModes = Button("Supported Video Modes...", "bModes");
    bCurve = Button("Curve...", "bCurve");
    bLine = Button("Line...", "bLine");
    bPolygon = Button("Polygon...", "bPolygon");
    bRaster = Button("Raster...", "bRaster");
    bText = Button("Text...", "bText");
    grid->addWidget(bModes, 0, 0, 1, 3);
    grid->addWidget(bCurve, 1, 0);
    grid->addWidget(bLine, 1, 1);
    grid->addWidget(bPolygon, 1, 2);
    grid->addWidget(bRaster, 2, 0);
    grid->addWidget(bText, 2, 1);
    layout->addLayout(grid);
    layout->addStretch();
    connect(bModes, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmModes);
    int tag = 0;
    for (QPushButton* b : {bCurve, bLine, bPolygon, bRaster, bText}) {
        connect(b, &QPushButton::clicked, this, [this, tag] { cmCaps(tag); });
        ++tag;
    }
    // The buttons wait for the display category to have something to show.
    for (QPushButton* b : {bModes, bCurve, bLine, bPolygon, bRaster, bText}) b->setEnabled(false);
}

void TfrmZarvo_Overview::FillDisplay() {
    const TDisplay& d = FSysInfo->Display();
    lAdapter->setText(Q(d.Adapter()));
    lChipset->setText(Q(d.Chipset()));
    lDAC->setText(Q(d.DAC()));
    lVideoMemory->setText(Q(FormatFloat("#,#0 B", double(d.Memory()))));
    // The firmware's version lines, then its date.
    QString bios = Q(d.BIOSVersion());
    if (!d.BIOSDate().empty()) bios += (bios.isEmpty() ? "" : "\n") + Q(d.BIOSDate());
    lVideoBIOS->setText(bios);
    lTechnology->setText(Q(d.Technology()));
    lMetrics->setText(Q(Format("%d x %d, %d bit; %d x %d mm",
                               {d.HorzRes(), d.VertRes(), d.ColorDepth(), d.HorzSize(), d.VertSize()})));
    lPixels->setText(Q(Format("width %d, height %d, diagonal %d",
                              {d.PixelWidth(), d.PixelHeight(), d.PixelDiagonal()})));
    lFontRes->setText(Q(Format("%d dpi", {std::int64_t(d.FontResolution())})));
    for (QPushButton* b : {bModes, bCurve, bLine, bPolygon, bRaster, bText}) b->setEnabled(true);
}

void TfrmZarvo_Overview::cmCaps(int tag) {
    // Tags 0..4: curve, line, polygonal, raster, text capabilities.
    static constexpr const char* kTitles[] = {"Curve Capabilities", "Line Capabilities",
                                              "Polygonal Capabilities", "Raster Capabilities",
                                              "Text Capabilities"};
    if (!FSysInfo || tag < 0 || tag > 4) return;
    // The capability list of the tag is the display report's section of the
    // same title: its heading, then one name=value line per capability.
    TStringList report, capabilities;
    FSysInfo->Display().Report(report);
    const std::string heading = std::string("[") + kTitles[tag] + "]";
    bool inside = false;
    for (int i = 0; i < report.Count(); ++i) {
        const std::string& line = report[i];
        if (!line.empty() && line.front() == '[') {
            if (inside) break;
            inside = line == heading;
        }
        if (inside) capabilities.Add(line);
    }
    ShowCapabilities(kTitles[tag], capabilities);
}

void TfrmZarvo_Overview::cmModes() {
    if (!FSysInfo) return;
    const TStringList& modes = FSysInfo->Display().Modes();
    QStringList items;
    for (int i = 0; i < modes.Count(); ++i) items << Q(modes[i]);
    ShowCheckList("Supported Video Modes", items, std::vector<bool>(std::size_t(items.size()), true));
}

// ------------------------------------------------------------------ APM

void TfrmZarvo_Overview::BuildAPMPage() {
    auto* layout = new QVBoxLayout(Pages[tsAPM]);
    auto* power = new QGroupBox("Power");
    auto* form = Form(power);
    lACStatus = Row(form, "Mains power:", "lACStatus");
    lBatteryStatus = Row(form, "Battery charge:", "lBatteryStatus");
    lFullLife = Row(form, "Full life time:", "lFullLife");
    lRemainLife = Row(form, "Remaining life time:", "lRemainLife");
    form->addRow("Charge:", gBattery = Gauge("gBattery"));
    layout->addWidget(power);
    layout->addStretch();
}

void TfrmZarvo_Overview::FillAPM() {
    const TAPM& apm = FSysInfo->APM();
    const QString unknown = "<info not available>";
    lACStatus->setText(apm.ACPowerStatus() == psUnknown ? unknown : Q(PowerStatusText(apm.ACPowerStatus())));
    lBatteryStatus->setText(apm.BatteryChargeStatus() == bsUnknown ? unknown
                                                                   : Q(BatteryStatusText(apm.BatteryChargeStatus())));
    auto time = [&](std::uint32_t seconds) {
        return seconds == 0xFFFFFFFFu ? unknown : Q(FormatSeconds(seconds, true, false, false));
    };
    lFullLife->setText(time(apm.BatteryLifeFullTime()));
    lRemainLife->setText(time(apm.BatteryLifeTime()));
    if (apm.BatteryLifePercent() > 100) {
        gBattery->setValue(0);
        gBattery->setFormat(unknown);
    } else {
        gBattery->setFormat("%p%");
        gBattery->setValue(apm.BatteryLifePercent());
    }
}

// ------------------------------------------------------------------ media

void TfrmZarvo_Overview::BuildMediaPage() {
    auto* layout = new QVBoxLayout(Pages[tsMedia]);
    layout->addWidget(new QLabel("Multimedia devices:"));
    tvMedia = new QTreeWidget;
    tvMedia->setObjectName("tvMedia");
    tvMedia->setHeaderHidden(true);
    layout->addWidget(tvMedia, 2);
    layout->addWidget(new QLabel("Sound devices:"));
    lvSound = ListView({"Device"}, "lvSound");
    layout->addWidget(lvSound, 1);
}

void TfrmZarvo_Overview::FillMedia() {
    tvMedia->clear();
    lvSound->clear();
    const TMedia& media = FSysInfo->Media();
    const std::pair<const char*, const TStringList*> groups[] = {
        {"Wave In", &media.WAVEIn()}, {"Wave Out", &media.WAVEOut()}, {"MIDI In", &media.MIDIIn()},
        {"MIDI Out", &media.MIDIOut()}, {"AUX", &media.AUX()},        {"Mixer", &media.Mixer()}};
    for (const auto& [caption, devices] : groups) {
        auto* group = new QTreeWidgetItem(tvMedia, {caption});
        group->setIcon(0, Image(style(), 19));
        for (int i = 0; i < devices->Count(); ++i) new QTreeWidgetItem(group, {Q((*devices)[i])});
        group->setExpanded(true);
    }
    const TStringList& sound = media.Devices();
    for (int i = 0; i < sound.Count(); ++i) new QTreeWidgetItem(lvSound, {Q(sound[i])});
}

// ------------------------------------------------------------------ network

void TfrmZarvo_Overview::BuildNetworkPage() {
    auto* layout = new QVBoxLayout(Pages[tsNetwork]);
    pcNetwork = new QTabWidget;
    pcNetwork->setObjectName("pcNetwork");
    layout->addWidget(pcNetwork);

    auto* general = new QWidget;
    auto* box = new QVBoxLayout(general);
    box->addWidget(new QLabel("Adapters:"));
    lbAdapters = new QListWidget;
    lbAdapters->setObjectName("lbAdapters");
    box->addWidget(lbAdapters, 2);
    auto* pair = new QHBoxLayout;
    auto* macBox = new QVBoxLayout;
    macBox->addWidget(new QLabel("MAC addresses:"));
    lbMAC = new QListWidget;
    lbMAC->setObjectName("lbMAC");
    macBox->addWidget(lbMAC);
    auto* ipBox = new QVBoxLayout;
    ipBox->addWidget(new QLabel("IP addresses:"));
    lbIP = new QListWidget;
    lbIP->setObjectName("lbIP");
    ipBox->addWidget(lbIP);
    pair->addLayout(macBox);
    pair->addLayout(ipBox);
    box->addLayout(pair, 1);
    auto* buttons = new QHBoxLayout;
    bProto = Button("Protocols...", "bProto");
    bServ = Button("Services...", "bServ");
    bCli = Button("Clients...", "bCli");
    for (QPushButton* b : {bProto, bServ, bCli}) {
        buttons->addWidget(b);
        b->setEnabled(false);
    }
    box->addLayout(buttons);
    connect(bProto, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmProto);
    connect(bServ, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmServ);
    connect(bCli, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmCli);
    pcNetwork->addTab(general, "General");

    auto* winsock = new QWidget;
    auto* form = Form(winsock);
    lWSDescription = Row(form, "Description:", "lWSDescription");
    lWSVersion = Row(form, "Version:", "lWSVersion");
    lWSStatus = Row(form, "Status:", "lWSStatus");
    pcNetwork->addTab(winsock, "Winsock");

    auto* tcpip = new QWidget;
    auto* tbox = new QVBoxLayout(tcpip);
    auto* facts = new QWidget;
    form = Form(facts);
    form->setContentsMargins(0, 0, 0, 0);
    lHost = Row(form, "Host:", "lHost");
    lDomain = Row(form, "Domain:", "lDomain");
    lNodeType = Row(form, "Node type:", "lNodeType");
    lDNSSuffix = Row(form, "Primary DNS suffix:", "lDNSSuffix");
    tbox->addWidget(facts);
    auto* checks = new QHBoxLayout;
    cbxProxy = new TReadOnlyCheckBox("Proxy");
    cbxRouting = new TReadOnlyCheckBox("Routing");
    cbxDNS = new TReadOnlyCheckBox("DNS");
    cbxProxy->setObjectName("cbxProxy");
    cbxRouting->setObjectName("cbxRouting");
    cbxDNS->setObjectName("cbxDNS");
    for (QCheckBox* c : {cbxProxy, cbxRouting, cbxDNS}) checks->addWidget(c);
    tbox->addLayout(checks);
    tbox->addWidget(new QLabel("DNS servers:"));
    lbDNS = new QListWidget;
    lbDNS->setObjectName("lbDNS");
    lbDNS->setMaximumHeight(60);
    tbox->addWidget(lbDNS);
    cbAdapters = new QComboBox;
    cbAdapters->setObjectName("cbAdapters");
    tbox->addWidget(cbAdapters);
    auto* adapter = new QWidget;
    form = Form(adapter);
    form->setContentsMargins(0, 0, 0, 0);
    lAdapterAddress = Row(form, "Address:", "lAdapterAddress");
    lAdapterType = Row(form, "Type:", "lAdapterType");
    tbox->addWidget(adapter);
    auto* checks2 = new QHBoxLayout;
    cbxDHCP = new TReadOnlyCheckBox("DHCP");
    cbxWINS = new TReadOnlyCheckBox("WINS");
    cbxDHCP->setObjectName("cbxDHCP");
    cbxWINS->setObjectName("cbxWINS");
    checks2->addWidget(cbxDHCP);
    checks2->addWidget(cbxWINS);
    checks2->addStretch();
    tbox->addLayout(checks2);
    lvAddresses = ListView({"Resource", "IP Address", "IP Mask"}, "lvAddresses");
    FitColumns(lvAddresses);
    tbox->addWidget(lvAddresses, 1);
    connect(cbAdapters, &QComboBox::currentIndexChanged, this, &TfrmZarvo_Overview::cbAdaptersChange);
    pcNetwork->addTab(tcpip, "TCP/IP");
}

void TfrmZarvo_Overview::FillNetwork() {
    lbAdapters->clear();
    lbMAC->clear();
    lbIP->clear();
    lbDNS->clear();
    cbAdapters->clear();
    lvAddresses->clear();
    lAdapterAddress->clear();
    lAdapterType->clear();
    const TNetwork& net = FSysInfo->Network();
    const TStringList& adapters = net.Adapters();
    for (int i = 0; i < adapters.Count(); ++i) {
        auto* item = new QListWidgetItem(Image(style(), i == net.CardAdapterIndex() ? 15 : 22), Q(adapters[i]));
        lbAdapters->addItem(item);
    }
    for (int i = 0; i < net.MACAddresses().Count(); ++i) lbMAC->addItem(Q(net.MACAddresses()[i]));
    for (int i = 0; i < net.IPAddresses().Count(); ++i) lbIP->addItem(Q(net.IPAddresses()[i]));
    for (QPushButton* b : {bProto, bServ, bCli}) b->setEnabled(true);

    const TWinsock& ws = net.WinSock();
    lWSDescription->setText(Q(ws.Description()));
    lWSVersion->setText(Q(Format("%d.%d", {ws.MajorVersion(), ws.MinorVersion()})));
    lWSStatus->setText(Q(ws.Status()));

    const TTCPIP& tcp = net.TCPIP();
    lHost->setText(Q(tcp.HostName()));
    lDomain->setText(Q(tcp.DomainName()));
    lNodeType->setText(Q(NodeTypeText(tcp.NodeType())));
    lDNSSuffix->setText(Q(tcp.PrimaryDNSSuffix()));
    cbxProxy->setChecked(tcp.EnableProxy());
    cbxRouting->setChecked(tcp.EnableRouting());
    cbxDNS->setChecked(tcp.EnableDNS());
    for (int i = 0; i < tcp.DNSServers().Count(); ++i) lbDNS->addItem(Q(tcp.DNSServers()[i]));
    {
        QSignalBlocker quiet(cbAdapters);
        for (int i = 0; i < tcp.AdapterCount(); ++i) {
            TAdapter adapter;
            if (tcp.GetAdapter(i, adapter)) cbAdapters->addItem(Q(adapter.Name));
        }
        if (cbAdapters->count() > 0) cbAdapters->setCurrentIndex(0);
    }
    cbAdaptersChange();
}

void TfrmZarvo_Overview::cbAdaptersChange() {
    lvAddresses->clear();
    cbxDHCP->setChecked(false);
    cbxWINS->setChecked(false);
    lAdapterAddress->clear();
    lAdapterType->clear();
    TAdapter adapter;
    if (!FSysInfo || cbAdapters->currentIndex() < 0 ||
        !FSysInfo->Network().TCPIP().GetAdapter(cbAdapters->currentIndex(), adapter))
        return;
    lAdapterAddress->setText(Q(adapter.Address));
    lAdapterType->setText(Q(AdapterTypeText(adapter.AdapterType)));
    cbxDHCP->setChecked(adapter.EnableDHCP);
    cbxWINS->setChecked(adapter.HaveWINS);
    auto rows = [this](const char* resource, const TStringList& addresses, const TStringList& masks) {
        for (int i = 0; i < addresses.Count(); ++i)
            new QTreeWidgetItem(lvAddresses, {resource, Q(addresses[i]), i < masks.Count() ? Q(masks[i]) : QString()});
    };
    rows("Local", adapter.IPAddress, adapter.IPMask);
    rows("Gateway", adapter.Gateway_IPAddress, adapter.Gateway_IPMask);
    rows("DHCP Server", adapter.DHCP_IPAddress, adapter.DHCP_IPMask);
    rows("Primary WINS Server", adapter.PrimaryWINS_IPAddress, adapter.PrimaryWINS_IPMask);
    rows("Secondary WINS Server", adapter.SecondaryWINS_IPAddress, adapter.SecondaryWINS_IPMask);
}

void TfrmZarvo_Overview::ShowComponents(const QString& title, const TStringList& components) {
    QStringList items;
    for (int i = 0; i < components.Count(); ++i) items << Q(components[i]);
    ShowCheckList(title, items, std::vector<bool>(std::size_t(items.size()), true));
}

void TfrmZarvo_Overview::cmProto() {
    if (FSysInfo) ShowComponents("Protocols", FSysInfo->Network().Protocols());
}

void TfrmZarvo_Overview::cmServ() {
    if (FSysInfo) ShowComponents("Services", FSysInfo->Network().Services());
}

void TfrmZarvo_Overview::cmCli() {
    if (FSysInfo) ShowComponents("Clients", FSysInfo->Network().Clients());
}

// ------------------------------------------------------------------ devices

void TfrmZarvo_Overview::BuildDevicesPage() {
    auto* layout = new QVBoxLayout(Pages[tsDevices]);
    Tree = new QTreeWidget;
    Tree->setObjectName("Tree");
    Tree->setHeaderHidden(true);
    Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(Tree, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bProps = Button("Properties...", "bProps");
    bProps->setEnabled(false);
    buttons->addWidget(bProps);
    layout->addLayout(buttons);
    connect(Tree, &QTreeWidget::currentItemChanged, this, &TfrmZarvo_Overview::TreeChange);
    connect(Tree, &QTreeWidget::itemDoubleClicked, this, &TfrmZarvo_Overview::cmProps);
    connect(bProps, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmProps);
}

void TfrmZarvo_Overview::FillDevices() {
    Tree->clear();
    const TDevices& devices = FSysInfo->Devices();
    auto* root = new QTreeWidgetItem(Tree, {Q(FSysInfo->Machine().Name())});
    root->setIcon(0, Image(style(), 0));
    QTreeWidgetItem* classNode = nullptr;
    int previousClass = -1;
    TDevice device;
    for (int i = 0; i < devices.DeviceCount(); ++i) {
        if (!devices.GetDevice(i, device)) continue;
        // A new class node whenever the class index changes from the device
        // before: classes whose names map to one index share a node.
        if (!classNode || device.DeviceClass != previousClass) {
            std::string text = Trim(device.ClassDescription).empty() ? device.ClassName : device.ClassDescription;
            classNode = new QTreeWidgetItem(root, {Q(text)});
            classNode->setIcon(0, Image(style(), DeviceClassImage(device.DeviceClass)));
            previousClass = device.DeviceClass;
        }
        auto* node = new QTreeWidgetItem(classNode, {Q(device.DisplayName())});
        node->setIcon(0, classNode->icon(0));
        node->setData(0, kDeviceIndexRole, i);
    }
    root->setExpanded(true);
    TreeChange();
}

void TfrmZarvo_Overview::TreeChange() {
    QTreeWidgetItem* item = Tree->currentItem();
    // Only a device node, the third level, has properties.
    bProps->setEnabled(item && item->parent() && item->parent()->parent());
}

void TfrmZarvo_Overview::cmProps() {
    QTreeWidgetItem* item = Tree->currentItem();
    if (!FSysInfo || !item || !item->parent() || !item->parent()->parent()) return;
    TDevice d;
    if (!FSysInfo->Devices().GetDevice(item->data(0, kDeviceIndexRole).toInt(), d)) return;
    TdlgZarvo_Detail dialog(this);
    dialog.SetPage(TdlgZarvo_Detail::pgListView);
    dialog.SetTitle("Device Properties");
    dialog.AddRow("Device Name", item->text(0));
    dialog.AddRow("Class Name", Q(d.ClassName));
    dialog.AddRow("Class Description", item->parent()->text(0));
    dialog.AddRow("Class GUID", Q(d.ClassGUID));
    dialog.AddRow("Manufacturer", Q(d.Manufacturer));
    dialog.AddRow("Location", Q(d.Location));
    dialog.AddRow("HardwareID", Q(d.HardwareID));
    dialog.AddRow("Registry info", Q(d.Driver));
    dialog.AddRow("Driver Version", Q(d.DriverVersion));
    dialog.AddRow("Driver Date", Q(d.DriverDate));
    dialog.AddRow("Driver Provider", Q(d.DriverProvider));
    dialog.AddRow("Service Name", Q(d.ServiceName.empty() ? d.Service : d.ServiceName));
    dialog.AddRow("Service Group", Q(d.ServiceGroup));
    dialog.exec();
}

// ------------------------------------------------------------------ printers

void TfrmZarvo_Overview::BuildPrintersPage() {
    auto* layout = new QVBoxLayout(Pages[tsPrinters]);
    lvPrinters = ListView({"Name", "Port"}, "lvPrinters");
    FitColumns(lvPrinters);
    layout->addWidget(lvPrinters, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bPrintSetup = Button("Properties...", "bPrintSetup");
    bPrintSetup->setEnabled(false);
    buttons->addWidget(bPrintSetup);
    layout->addLayout(buttons);
    connect(lvPrinters, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { bPrintSetup->setEnabled(current != nullptr); });
    connect(bPrintSetup, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmPrintSetup);
}

void TfrmZarvo_Overview::FillPrinters() {
    lvPrinters->clear();
    bPrintSetup->setEnabled(false);
    const TPrinters& printers = FSysInfo->Printers();
    for (int i = 0; i < printers.Names().Count(); ++i)
        new QTreeWidgetItem(lvPrinters, {Q(printers.Names()[i]),
                                         i < printers.Ports().Count() ? Q(printers.Ports()[i]) : QString()});
}

void TfrmZarvo_Overview::cmPrintSetup() {
    QTreeWidgetItem* item = lvPrinters->currentItem();
    if (!item) return;
    // The toolkit's page set-up dialog for the selected printer, in place
    // of the system's printer set-up dialog.
    QPrinter printer;
    printer.setPrinterName(item->text(0));
    QPageSetupDialog psd(&printer, this);
    psd.setObjectName("psd");
    psd.exec();
}

// ------------------------------------------------------------------ engines

void TfrmZarvo_Overview::BuildEnginesPage() {
    auto* layout = new QVBoxLayout(Pages[tsEngines]);
    auto* lines = new QGroupBox("Data access");
    auto* box = new QVBoxLayout(lines);
    for (QLabel** l : {&lODBC, &lBDE, &lDAO, &lADO}) {
        *l = new QLabel;
        (*l)->setWordWrap(true);
        box->addWidget(*l);
    }
    lODBC->setObjectName("lODBC");
    lBDE->setObjectName("lBDE");
    lDAO->setObjectName("lDAO");
    lADO->setObjectName("lADO");
    layout->addWidget(lines);
    auto* tabs = new QTabWidget;
    tabs->setObjectName("pcEngines");
    auto* dx = new QWidget;
    auto* dxBox = new QVBoxLayout(dx);
    lDirectX = new QLabel;
    lDirectX->setObjectName("lDirectX");
    dxBox->addWidget(lDirectX);
    lvDirectX = ListView({"Driver", "Device"}, "lvDirectX");
    FitColumns(lvDirectX);
    dxBox->addWidget(lvDirectX);
    tabs->addTab(dx, "DirectX");
    auto* aspi = new QWidget;
    auto* aBox = new QVBoxLayout(aspi);
    lASPI = new QLabel;
    lASPI->setObjectName("lASPI");
    aBox->addWidget(lASPI);
    lvASPI = ListView({"Product", "Revision", "Adapter", "Device", "Type", "Info"}, "lvASPI");
    FitColumns(lvASPI);
    aBox->addWidget(lvASPI);
    tabs->addTab(aspi, "ASPI");
    layout->addWidget(tabs, 1);
}

void TfrmZarvo_Overview::FillEngines() {
    lvDirectX->clear();
    lvASPI->clear();
    const TEngines& e = FSysInfo->Engines();
    auto line = [](const std::string& name, const std::string& version) {
        return Q(version.empty() ? name + " not found" : name + " " + version);
    };
    lODBC->setText(line("Open Database Connectivity", e.ODBC()));
    lBDE->setText(line("Borland Database Engine", e.BDE()));
    lDAO->setText(line("Microsoft Data Access Objects", e.DAO()));
    lADO->setText(line("Microsoft ActiveX Data Objects", e.ADO()));

    const TDirectX& dx = e.DirectX();
    if (dx.Version().empty()) {
        lDirectX->setText("Not installed.");
    } else {
        lDirectX->setText(Q("Installed version: " + dx.Version()));
        const std::pair<const TStringList*, const char*> kinds[] = {
            {&dx.Direct3D(), "Direct3D"}, {&dx.DirectMusic(), "DirectMusic"}, {&dx.DirectPlay(), "DirectPlay"}};
        for (const auto& [list, kind] : kinds)
            for (int i = 0; i < list->Count(); ++i) new QTreeWidgetItem(lvDirectX, {Q((*list)[i]), kind});
    }

    const TASPI32& aspi = e.ASPI32();
    lASPI->setText(line("Adaptec ASPI", aspi.ASPI()));
    auto at = [](const TStringList& list, int i) { return i < list.Count() ? Q(list[i]) : QString(); };
    for (int i = 0; i < aspi.Products().Count(); ++i) {
        QString product = (at(aspi.Vendors(), i).trimmed() + " " + at(aspi.Products(), i).trimmed()).trimmed();
        new QTreeWidgetItem(lvASPI, {product, at(aspi.Revisions(), i), at(aspi.HostAdapters(), i),
                                     at(aspi.IDs(), i), at(aspi.Types(), i), at(aspi.VendorSpecific(), i)});
    }
}

// ------------------------------------------------------------------ drives

void TfrmZarvo_Overview::BuildDrivesPage() {
    auto* layout = new QVBoxLayout(Pages[tsDrives]);
    auto* top = new QHBoxLayout;
    cbDrive = new QComboBox;
    cbDrive->setObjectName("cbDrive");
    top->addWidget(new QLabel("Drive:"));
    top->addWidget(cbDrive);
    iDriveType = new QLabel;
    iDriveType->setObjectName("iDriveType");
    top->addWidget(iDriveType);
    lDriveType = new QLabel;
    lDriveType->setObjectName("lDriveType");
    top->addWidget(lDriveType, 1);
    layout->addLayout(top);
    auto* facts = new QWidget;
    auto* form = Form(facts);
    form->setContentsMargins(0, 0, 0, 0);
    lUNC = Row(form, "UNC name:", "lUNC");
    lSerial = Row(form, "Serial number:", "lSerial");
    lCapacity = Row(form, "", "lCapacity");
    lFreeSpace = Row(form, "", "lFreeSpace");
    lBytesPerSector = Row(form, "", "lBytesPerSector");
    lSectorsPerCluster = Row(form, "", "lSectorsPerCluster");
    lFreeClusters = Row(form, "", "lFreeClusters");
    lTotalClusters = Row(form, "", "lTotalClusters");
    form->addRow("Used:", gDriveUsed = Gauge("gDriveUsed"));
    layout->addWidget(facts);
    clbDriveFlags = new QListWidget;
    clbDriveFlags->setObjectName("clbDriveFlags");
    MakeCheckListReadOnly(clbDriveFlags);
    layout->addWidget(clbDriveFlags, 1);
    connect(cbDrive, &QComboBox::currentIndexChanged, this, &TfrmZarvo_Overview::cbDriveChange);
}

void TfrmZarvo_Overview::FillDrives() {
    QSignalBlocker quiet(cbDrive);
    cbDrive->clear();
    const std::string letters = FSysInfo->Disk().AvailableDisks();
    for (char letter : letters) cbDrive->addItem(QString(QChar(letter)) + ":");
    const std::string windows = FSysInfo->OS().Folders().Values("Windows");
    int selected = 0;
    if (!windows.empty()) {
        int at = cbDrive->findText(QString(QChar(windows[0])) + ":", Qt::MatchFixedString);
        if (at >= 0) selected = at;
    }
    if (cbDrive->count() > 0) cbDrive->setCurrentIndex(selected);
    cbDriveChange();
}

void TfrmZarvo_Overview::cbDriveChange() {
    clbDriveFlags->clear();
    for (QLabel* l : {iDriveType, lDriveType, lUNC, lSerial, lCapacity, lFreeSpace, lBytesPerSector,
                      lSectorsPerCluster, lFreeClusters, lTotalClusters})
        l->clear();
    gDriveUsed->setValue(0);
    if (!FSysInfo || cbDrive->currentIndex() < 0) return;
    TDisk& disk = FSysInfo->Disk();
    disk.SetDrive(cbDrive->currentText().toStdString());
    QStyle::StandardPixmap picture = QStyle::SP_DriveHDIcon;
    switch (disk.MediaType()) {
        case dtRemovable: picture = QStyle::SP_DriveFDIcon; break;
        case dtRemote: picture = QStyle::SP_DriveNetIcon; break;
        case dtCDROM: picture = QStyle::SP_DriveCDIcon; break;
        default: break;
    }
    iDriveType->setPixmap(style()->standardIcon(picture).pixmap(32, 32));
    lDriveType->setText(Q(MediaTypeText(disk.MediaType())));
    lUNC->setText(Q(ExpandUNCDrive(disk.Drive())));
    lSerial->setText(Q(disk.SerialNumber()));
    lCapacity->setText(Q(FormatFloat("Capacity: #,#0 B", double(disk.Capacity()))));
    lFreeSpace->setText(Q(FormatFloat("Free space: #,#0 B", double(disk.FreeSpace()))));
    lBytesPerSector->setText(Q(FormatFloat("Bytes/sector: 0", disk.BytesPerSector())));
    lSectorsPerCluster->setText(Q(FormatFloat("Sector/cluster: 0", disk.SectorsPerCluster())));
    lFreeClusters->setText(Q(FormatFloat("Free clusters: #,#0", disk.FreeClusters())));
    lTotalClusters->setText(Q(FormatFloat("Total clusters: #,#0", disk.TotalClusters())));
    gDriveUsed->setRange(0, 100);
    gDriveUsed->setValue(UsedSpacePercent(disk.Capacity(), disk.FreeSpace()));
    static const char* const kFlags[] = {"Case Is Preserved", "Case Sensitive", "Unicode stored On Disk",
                                         "Persistent Acls", "File Compression", "Volume Is Compressed",
                                         "Long Filenames", "Encrypted File System Support", "Object IDs Support",
                                         "Reparse Points Support", "Sparse Files Support", "Disk Quotas Support"};
    for (int f = 0; f <= fsDiskQuotasSupport; ++f)
        AddCheckItem(clbDriveFlags, kFlags[f], HasFileFlag(disk.FileFlags(), TFileFlag(f)));
}

// ------------------------------------------------------------------ time zone

void TfrmZarvo_Overview::BuildTimeZonePage() {
    auto* layout = new QVBoxLayout(Pages[tsTZ]);
    lTZName = new QLabel;
    lTZName->setObjectName("lTZName");
    lTZName->setWordWrap(true);
    QFont bold = lTZName->font();
    bold.setBold(true);
    lTZName->setFont(bold);
    layout->addWidget(lTZName);
    auto* facts = new QGroupBox("Rules");
    auto* form = Form(facts);
    lTZBias = Row(form, "Bias:", "lTZBias");
    lTZStdStart = Row(form, "Standard time starts:", "lTZStdStart");
    lTZStdBias = Row(form, "Standard bias:", "lTZStdBias");
    lTZDlStart = Row(form, "Daylight time starts:", "lTZDlStart");
    lTZDlBias = Row(form, "Daylight bias:", "lTZDlBias");
    layout->addWidget(facts);
    layout->addStretch();
}

void TfrmZarvo_Overview::FillTimeZone() {
    const TTimeZone& tz = FSysInfo->OS().TimeZone();
    lTZName->setText(Q(tz.DisplayName()));
    lTZBias->setText(Q(Format("%d minutes", {tz.Bias()})));
    // A zone without daylight saving time has no transitions: the engine
    // keeps the zero date for them, which is no date the clock changes on.
    auto start = [](TDateTime when) { return when == 0 ? QString("none") : Q(DateTimeToStr(when)); };
    lTZStdStart->setText(start(tz.StandardStart()));
    lTZStdBias->setText(Q(Format("%d minutes", {tz.StandardBias()})));
    lTZDlStart->setText(start(tz.DaylightStart()));
    lTZDlBias->setText(Q(Format("%d minutes", {tz.DaylightBias()})));
}

// ------------------------------------------------------------------ startup, software

void TfrmZarvo_Overview::BuildStartupPage() {
    auto* layout = new QVBoxLayout(Pages[tsStartup]);
    tcStartup = new QTabBar;
    tcStartup->setObjectName("tcStartup");
    tcStartup->setExpanding(false);
    tcStartup->setUsesScrollButtons(true);
    for (const char* tab : {"Startup (User)", "Startup (Common)", "HKLM \\ Run", "HKCU \\ Run", "Run Once", "WIN.INI"})
        tcStartup->addTab(tab);
    layout->addWidget(tcStartup);
    lvStartup = ListView({"Name", "Command line"}, "lvStartup");
    FitColumns(lvStartup);
    layout->addWidget(lvStartup, 1);
    connect(tcStartup, &QTabBar::currentChanged, this, &TfrmZarvo_Overview::tcStartupChange);
}

void TfrmZarvo_Overview::FillStartup() { tcStartupChange(); }

void TfrmZarvo_Overview::tcStartupChange() {
    lvStartup->clear();
    if (!FSysInfo) return;
    // The tabs in the order they stand, each with the startup category's
    // source of that kind.
    static constexpr int kSourceOfTab[] = {ssUserStartup, ssCommonStartup, ssHKLMRun,
                                           ssHKCURun,     ssRunOnce,       ssWinIni};
    int tab = tcStartup->currentIndex();
    if (tab < 0 || tab >= int(std::size(kSourceOfTab))) return;
    const TStartup& startup = FSysInfo->Startup();
    int source = kSourceOfTab[tab];
    for (int i = 0; i < startup.Count(source); ++i)
        new QTreeWidgetItem(lvStartup, {Q(startup.Name(source, i)), Q(startup.Value(source, i))});
}

void TfrmZarvo_Overview::BuildSoftwarePage() {
    auto* layout = new QVBoxLayout(Pages[tsSoftware]);
    lvSoftware = ListView({"Product", "Uninstall string"}, "lvSoftware");
    FitColumns(lvSoftware);
    layout->addWidget(lvSoftware);
}

void TfrmZarvo_Overview::FillSoftware() {
    lvSoftware->clear();
    const TSoftware& software = FSysInfo->Software();
    for (int i = 0; i < software.Products().Count(); ++i)
        new QTreeWidgetItem(lvSoftware, {Q(software.Products()[i]), i < software.Uninstalls().Count()
                                                                        ? Q(software.Uninstalls()[i])
                                                                        : QString()});
}

// ------------------------------------------------------------------ about

void TfrmZarvo_Overview::BuildAboutPage() {
    auto* layout = new QVBoxLayout(Pages[tsAbout]);
    layout->addStretch();
    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    lAboutTitle = new QLabel;
    lAboutTitle->setObjectName("lAboutTitle");
    lAboutTitle->setAlignment(Qt::AlignCenter);
    QFont big = lAboutTitle->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    lAboutTitle->setFont(big);
    lAboutTitle->setWordWrap(true);
    layout->addWidget(lAboutTitle);
    lAboutVersion = new QLabel;
    lAboutVersion->setObjectName("lAboutVersion");
    lAboutVersion->setAlignment(Qt::AlignCenter);
    layout->addWidget(lAboutVersion);
    lAboutText = new QLabel(
        "Reads the processor, memory, operating system, firmware tables, devices and more of the PC "
        "it runs on, and writes them as a sectioned report text.\n\nPart of Torvex.");
    lAboutText->setObjectName("lAboutText");
    lAboutText->setAlignment(Qt::AlignCenter);
    lAboutText->setWordWrap(true);
    layout->addWidget(lAboutText);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bMail = Button("Mail...", "bMail");
    bWeb = Button("Web...", "bWeb");
    buttons->addWidget(bMail);
    buttons->addWidget(bWeb);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    connect(bMail, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmMail);
    connect(bWeb, &QPushButton::clicked, this, &TfrmZarvo_Overview::cmWeb);
}

void TfrmZarvo_Overview::cmMail() {
    std::string link = std::string("mailto:") + kSupportMail + "?subject=" + kEngineTitle + " " + kEngineVersion;
    for (std::size_t at = 0; (at = link.find(' ', at)) != std::string::npos;) link.replace(at, 1, "%20");
    win32::ShellExecuteA(nullptr, "open", link.c_str(), nullptr, nullptr, win32::SW_SHOWNORMAL);
}

void TfrmZarvo_Overview::cmWeb() {
    win32::ShellExecuteA(nullptr, "open", kWebSite, nullptr, nullptr, win32::SW_SHOWNORMAL);
}

// ------------------------------------------------------------------ reports

void TfrmZarvo_Overview::cmReportClick() {
    // Under the button: its left edge, its top plus its height.
    QPoint at = bReport->parentWidget()->mapToGlobal(QPoint(bReport->x(), bReport->y() + bReport->height()));
    ReportMenu->popup(at);
}

void TfrmZarvo_Overview::cmReportAll() {
    FReport.Clear();
    ReportFileName() = "SystemInfo.txt";
    if (!GetFileSaveDlg(this, ReportDirectory(), ReportFileName(), "Select file", "All Files|*.*")) return;
    if (FSysInfo) FSysInfo->Report(FReport);
    SaveReportFile(ReportFileName(), FReport);
}

void TfrmZarvo_Overview::cmReportCurrent() {
    FReport.Clear();
    int page = pc->currentIndex();
    ReportFileName() = pc->tabText(page).trimmed() + ".txt";
    if (!GetFileSaveDlg(this, ReportDirectory(), ReportFileName(), "Select file", "All Files|*.*")) return;
    if (FSysInfo) {
        ReportPage(*FSysInfo, page, FReport);
        FReport.Insert(0, ";" + FSysInfo->About());
    }
    SaveReportFile(ReportFileName(), FReport);
}

void SaveReportFile(const QString& path, const TStringList& report) {
    // The one writer of exports, shared with torvex-report -o.
    std::string error = platform::WriteFileSafely(QFile::encodeName(path).toStdString(), ReportFileBytes(report));
    if (!error.empty())
        throw EFCreateError("Cannot create file \"" + path.toStdString() + "\". " + error);
}

// ------------------------------------------------------------------ the root's window

void InstallOverview() {
    SetOverviewShower([](TCorvaneSystemInfo& root) {
        auto* window = new TfrmZarvo_Overview(nullptr);
        // Destroyed exactly once, here, whatever the refresh or the loop
        // raises.
        std::unique_ptr<TfrmZarvo_Overview> owner(window);
        window->SetSystemInfo(&root);
        window->SetPageMask(0xFFFF);
        window->SetShowReportButton(true);
        window->cmRefresh();
        window->exec();
    });
}

}  // namespace torvex::overview
