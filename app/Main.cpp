#include "app/Main.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QScreen>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <charconv>
#include <cstdio>

#include "app/Art.h"
#include "app/EditionStrings.h"
#include "app/JpegDecoder.h"
#include "engine/Zarvo_GUI.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32.h"


namespace torvex::app {

std::uint8_t Edition = 0;
bool OldWindows = false;

const std::array<const char*, 4> WebAddresses = {"torvex.dk", "torvex.no", "torvex.se",
                                                 "torvex.fi"};

namespace {

// Loads a string of the program's own table; empty when the id is unknown.
std::string ResourceString(unsigned id) {
    char buffer[256] = {};
    const int length = win32::LoadStringA(win32::GetModuleHandleSelf(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// A value of the settings file as the file's integer reader takes it: the
// whole text must be a decimal integer, anything else is false.
bool ReadToggle(const char* key) {
    char buffer[64] = {};
    const win32::DWORD length = win32::GetPrivateProfileStringA(
        SettingsSection, key, "", buffer, sizeof buffer, SettingsFile);
    const char* first = buffer;
    const char* last = buffer + length;
    if (first != last && *first == '+') ++first;
    long long value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) return false;
    return value != 0;
}

void WriteToggle(const char* key, bool pressed) {
    win32::WritePrivateProfileStringA(SettingsSection, key, pressed ? "1" : "0", SettingsFile);
}

// The captions painted on each edition's faces, repeated as accessible names:
// Programmer, Partitioner, Detaljer, Udskriv, Afslut.
const std::array<std::array<const char*, 5>, 4> ButtonCaptions = {{
    {"Programmer", "Partitioner", "Detaljer", "Udskriv", "Afslut"},
    {"Programmer", "Partisjoner", "Detaljer", "Skriv ut", "Avslutt"},
    {"Program", "Partitioner", "Detaljer", "Skriv ut", "Avsluta"},
    {"Ohjelmat", "Osiot", "Lisätiedot", "Tulosta", "Lopeta"},
}};

// Same text in every edition: the code never changes it.
const char* const HotSpotHint =
    "Torvex - made by the Torvex team.\nClick here to visit our web site.";

QMessageBox::Icon IconOf(unsigned type) {
    switch (type & 0xF0u) {
    case win32::MB_ICONSTOP: return QMessageBox::Critical;
    case win32::MB_ICONQUESTION: return QMessageBox::Question;
    case win32::MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case win32::MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

std::uint8_t DecideEdition() {
    std::uint8_t edition = 0;
    // Each test is independent; the last match wins.
    if (ResourceString(res::Voltage) == "Jännite") edition = 3;
    if (ResourceString(res::Voltage) == "Spænding") edition = 0;
    if (ResourceString(res::Voltage) == "Spenning") edition = 1;
    if (ResourceString(res::Voltage) == "Spänning") edition = 2;
    return edition;
}

void InstallScreenFacts() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        platform::SetDisplayFacts(std::nullopt);
        return;
    }
    // Windows counts device pixels, and its dots per inch are the logical
    // ones that text is laid out by.
    const qreal ratio = screen->devicePixelRatio();
    platform::ScreenFacts facts;
    facts.width = int(screen->geometry().width() * ratio + 0.5);
    facts.height = int(screen->geometry().height() * ratio + 0.5);
    facts.bitsPerPixel = screen->depth();
    facts.planes = 1;
    facts.logPixels = int(screen->logicalDotsPerInchY() + 0.5);
    platform::SetDisplayFacts(facts);
}

bool IsOldWindows(const std::string& versionWin) { return versionWin <= "4.10"; }

THotSpot::THotSpot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setToolTip(QString::fromUtf8(HotSpotHint));
    setAccessibleName(QString::fromUtf8(HotSpotHint));
    setCursor(Qt::PointingHandCursor);
}

void THotSpot::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

TTorvex::TTorvex(QWidget* parent)
    : QWidget(parent),
      IkonListe(LoadRowIcons()),
      KnapBilleder(LoadButtonFaces(0)),
      KnapBillederNo(LoadButtonFaces(1)),
      KnapBillederSv(LoadButtonFaces(2)),
      KnapBillederFi(LoadButtonFaces(3)),
      corvaneSystemInfo_(std::make_unique<engine::TCorvaneSystemInfo>()),
      driveInfo_(std::make_unique<components::TQuentaSysDrive>()),
      uninstall_(std::make_unique<components::TQuentaSysUninstall>()),
      cpuInfo_(std::make_unique<components::TQuentaSysProcessor>()),
      winInfo_(std::make_unique<components::TQuentaSysWindows>()),
      netInfo_(std::make_unique<components::TQuentaSysNetwork>()) {
    setObjectName("Torvex");
    setWindowTitle("Torvex");
    corvaneSystemInfo_->SetExceptionMode(engine::emMessage);
    // The engine's guarded steps report through the message box of the
    // layer: a modal box of its own, without an owner window, as a box
    // raised from deep inside a refresh has none to name.
    platform::SetMessageBoxHook([](const std::string& text, const std::string& caption, unsigned type) {
        QMessageBox box(IconOf(type), QString::fromStdString(caption),
                        QString::fromStdString(text), QMessageBox::Ok, nullptr);
        box.exec();
        return win32::IDOK;
    });
    CreateControls();
    // The form has loaded: the drive and installed-programs components
    // retrieve their data once, before the first build.
    driveInfo_->SetAutoRetrieve(true);
    uninstall_->SetAutoRetrieve(true);
    try {
        driveInfo_->Loaded();
        uninstall_->Loaded();
    } catch (const std::exception& error) {
        ShowHandlerError(error);
    }
    FormCreate();
}

TTorvex::~TTorvex() { platform::SetMessageBoxHook({}); }

const TGraphicList& TTorvex::FacesOf(int edition) const {
    switch (edition) {
    case 1: return KnapBillederNo;
    case 2: return KnapBillederSv;
    case 3: return KnapBillederFi;
    default: return KnapBilleder;
    }
}

void TTorvex::CreateControls() {
    const QString family = UiFontFamily();
    QFont windowFont(family);
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setAutoFillBackground(true);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, QColor(236, 233, 216));   // button face
    setPalette(windowPalette);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(0);

    Panel2 = new QFrame(this);
    Panel2->setObjectName("Panel2");
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    QFont panelFont(family);
    panelFont.setPixelSize(13);
    Panel2->setFont(panelFont);
    outer->addWidget(Panel2);
    auto* inner = new QVBoxLayout(Panel2);
    // The lowered inner bevel is Panel2's one-pixel frame; nothing more.
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);

    Panel1 = new QFrame(Panel2);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(110);
    Panel1->setAutoFillBackground(true);
    QPalette grey = Panel1->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    Panel1->setPalette(grey);
    // The panel's own caption; only seen if the header picture is missing.
    auto* caption = new QLabel("  System Overview", Panel1);
    QFont captionFont(family);
    captionFont.setPixelSize(11);
    captionFont.setBold(true);
    caption->setFont(captionFont);
    caption->setStyleSheet("color: white");
    caption->setGeometry(0, 0, 576, 110);

    List = new QTreeWidget(Panel2);
    List->setObjectName("List");
    List->setColumnCount(2);
    List->setHeaderHidden(true);
    List->header()->setSectionsClickable(false);
    List->header()->setStretchLastSection(false);
    List->setColumnWidth(0, 250);
    List->setColumnWidth(1, 310);
    List->setRootIsDecorated(false);
    List->setItemsExpandable(false);
    List->setUniformRowHeights(true);
    List->setFrameShape(QFrame::NoFrame);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setIconSize(QSize(16, 16));
    List->setAccessibleName("System facts");
    QPalette cream = List->palette();
    cream.setColor(QPalette::Base, QColor(255, 251, 240));   // cream
    cream.setColor(QPalette::Text, Qt::black);
    List->setPalette(cream);
    List->setFont(panelFont);

    inner->addWidget(Panel1);
    inner->addWidget(List, 1);

    Hoved = new QLabel(Panel1);
    Hoved->setObjectName("Hoved");
    Hoved->setGeometry(0, 0, 576, 110);
    try {
        Hoved->setPixmap(QPixmap::fromImage(LoadJpeg(HeaderPicturePath())));
    } catch (const JpegError& error) {
        // Without its picture the header shows the panel's caption instead.
        std::fprintf(stderr, "torvex: %s\n", error.what());
        Hoved->hide();
    }

    auto makeButton = [this](const char* name, int x, int y, int w, int h, int group,
                             int faceUp) {
        auto* button = new TImageButton(Panel1);
        button->setObjectName(name);
        button->setGeometry(x, y, w, h);
        button->SetGroupIndex(group);
        button->SetAllowAllUp(group != 0);
        button->SetFaces(&KnapBilleder, faceUp);
        return button;
    };
    Programmer = makeButton("Programmer", 105, 58, 112, 26, 1, 0);
    Partitioner = makeButton("Partitioner", 224, 58, 112, 26, 2, 2);
    Detaljer = makeButton("Detaljer", 343, 58, 112, 26, 3, 4);
    Afslut = makeButton("Afslut", 469, 26, 91, 26, 0, 8);
    Udskriv = makeButton("Udskriv", 469, 58, 91, 26, 0, 6);
    for (auto* toggle : {Programmer, Partitioner, Detaljer})
        connect(toggle, &TImageButton::Click, this, &TTorvex::OpdaterClick);
    connect(Afslut, &TImageButton::Click, this, &TTorvex::AfslutClick);
    connect(Udskriv, &TImageButton::Click, this, &TTorvex::UdskrivClick);

    Udskrift = new QTextEdit(Panel2);
    Udskrift->setObjectName("Udskrift");
    Udskrift->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Udskrift->setTabChangesFocus(false);
    Udskrift->hide();

    Kopier = makeButton("Kopier", 365, 26, 91, 26, 0, 6);
    Kopier->hide();
    connect(Kopier, &TImageButton::Click, this, &TTorvex::KopierClick);

    Shape1 = new THotSpot(Panel1);
    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(0, 0, 97, 97);
    connect(Shape1, &THotSpot::MouseDown, this, &TTorvex::Shape1MouseDown);

    WWWHop = new TQuentaSysURLLabel(Panel2);
    WWWHop->setObjectName("WWWHop");
    WWWHop->setText("WWWJump");
    QFont linkFont(QStringLiteral("MS Sans Serif"));
    linkFont.setPixelSize(11);
    linkFont.setUnderline(WWWHop->JumpUnderline());
    WWWHop->setFont(linkFont);
    WWWHop->hide();

    // Start size, centred on the screen; never wider than the header's row.
    // 590 x 385 is the designed window with its sizeable frame and caption;
    // the client area is what the controls need: the 576-pixel header and
    // the 242-pixel list inside Panel2's border and bevel, with no strip
    // beside the header.
    const int edge = 2 * (outer->contentsMargins().left() + Panel2->frameWidth() + inner->contentsMargins().left());
    const QSize client(576 + edge, 110 + 242 + edge);
    setMaximumWidth(client.width());
    resize(client);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(client.width() / 2, client.height() / 2));
    }
}

void TTorvex::FormCreate() {
    // 1. Edition, from the registered string table.
    Edition = DecideEdition();
    // 2. The edition's faces and the captions they show.
    const TGraphicList& faces = FacesOf(Edition);
    const auto& captions = ButtonCaptions[Edition];
    Programmer->SetFaces(&faces, 0);
    Programmer->SetCaption(QString::fromUtf8(captions[0]));
    Partitioner->SetFaces(&faces, 2);
    Partitioner->SetCaption(QString::fromUtf8(captions[1]));
    Detaljer->SetFaces(&faces, 4);
    Detaljer->SetCaption(QString::fromUtf8(captions[2]));
    Udskriv->SetFaces(&faces, 6);
    Udskriv->SetCaption(QString::fromUtf8(captions[3]));
    Afslut->SetFaces(&faces, 8);
    Afslut->SetCaption(QString::fromUtf8(captions[4]));
    Kopier->SetCaption(QString::fromUtf8(ButtonCaptions[0][3]));
    // 3. The remembered toggles; nothing is written here.
    Programmer->SetPressed(ReadToggle("Programmer"));
    Partitioner->SetPressed(ReadToggle("Partitioner"));
    Detaljer->SetPressed(ReadToggle("Detaljer"));
    // 4. Old Windows versions lack some facts.
    OldWindows = IsOldWindows(quentaSysInfo1_.VersionWIN());
    // 5. The list.
    try {
        BuildList();
    } catch (const std::exception& error) {
        ShowHandlerError(error);
    }
}

void TTorvex::BuildList() {
    // Re-enabled however the build ends, so a failing build cannot leave the
    // window without its toggles.
    // A toggle worked from the keyboard gets its focus back afterwards;
    // disabling it would otherwise push the focus on to another button.
    struct Reenable {
        TTorvex* window;
        QPointer<QWidget> focused;
        ~Reenable() {
            window->Programmer->setEnabled(true);
            window->Partitioner->setEnabled(true);
            window->Detaljer->setEnabled(true);
            if (focused && focused != QApplication::focusWidget()) focused->setFocus();
        }
    };
    Reenable reenable{this, QApplication::focusWidget()};
    Programmer->setEnabled(false);
    Partitioner->setEnabled(false);
    Detaljer->setEnabled(false);
    AddRows();
}

summary::TSummaryToggles TTorvex::Toggles() const {
    summary::TSummaryToggles t;
    t.Programmer = Programmer->Pressed();
    t.Partitioner = Partitioner->Pressed();
    t.Detaljer = Detaljer->Pressed();
    return t;
}

void TTorvex::AddRow(const summary::TSummaryRow& row) {
    auto* item = new QTreeWidgetItem(List);
    if (row.IsBlank()) return;   // no caption, no value, no icon
    item->setText(0, QString::fromStdString(row.Caption));
    item->setText(1, QString::fromStdString(row.Value));
    if (row.Image >= 0 && row.Image < IkonListe.Count()) item->setIcon(0, IkonListe.Picture(row.Image));
    item->setData(0, Qt::UserRole, row.Image);
}

void TTorvex::AddRows() {
    summary::TSummaryList builder(*corvaneSystemInfo_, *cpuInfo_, *winInfo_, *driveInfo_, *uninstall_);
    // Each row shows as soon as it is made, so that a build that fails keeps
    // what it had added.
    builder.BuildList(Toggles(), OldWindows, [this](const summary::TSummaryRow& row) { AddRow(row); });
}

void TTorvex::AddPrintLine(const QString& text, int size) {
    QTextCursor cursor(Udskrift->document());
    cursor.movePosition(QTextCursor::End);
    // Every line after the first starts a new paragraph, as a line added to
    // the rich edit's lines does.
    const bool first = printLines_ == 0;
    QTextCharFormat format;
    format.setFontPointSize(size);
    format.setFontFamilies({Udskrift->font().family()});
    if (!first) cursor.insertBlock(QTextBlockFormat(), format);
    cursor.setCharFormat(format);
    cursor.insertText(text, format);
    ++printLines_;
}

void TTorvex::BuildPrintText() {
    Udskrift->clear();
    printLines_ = 0;
    bool inPrograms = false;
    AddPrintLine(QString::fromStdString(ResourceString(res::PrintTitle)), 14);
    const QString programsHeader = QString::fromStdString(ResourceString(res::InstalledPrograms));
    for (int i = 0; i < List->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = List->topLevelItem(i);
        const QVariant imageData = row->data(0, Qt::UserRole);
        const int image = imageData.isValid() ? imageData.toInt() : summary::icon::None;
        const QString caption = row->text(0);
        if (image == summary::icon::None && !inPrograms) {
            AddPrintLine(QString(), 10);
            continue;
        }
        if (caption.trimmed() == programsHeader) inPrograms = true;
        if (!inPrograms) {
            AddPrintLine(caption + ":", 10);
            AddPrintLine(row->text(1).trimmed(), 12);
        } else {
            AddPrintLine(caption.trimmed(), 10);
        }
    }
}

bool TTorvex::ExecPrintDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
}

void TTorvex::PrintDocument(QPrinter& printer) {
    printer.setDocName(QString::fromStdString(ResourceString(res::PrintDocument)));
    printer.setFullPage(true);
    Udskrift->document()->print(&printer);
}

void TTorvex::UdskrivClick() {
    BuildPrintText();
    QPrinter printer(QPrinter::HighResolution);
    if (!ExecPrintDialog(printer)) return;
    PrintDocument(printer);
}

void TTorvex::KopierClick() {
    BuildPrintText();
    Udskrift->selectAll();
    Udskrift->copy();
}

void TTorvex::OpdaterClick() {
    List->clear();
    try {
        BuildList();
    } catch (const std::exception& error) {
        ShowHandlerError(error);
    }
}

void TTorvex::AfslutClick() {
    WriteToggle("Programmer", Programmer->Pressed());
    WriteToggle("Partitioner", Partitioner->Pressed());
    WriteToggle("Detaljer", Detaljer->Pressed());
    // Posted, as the quit message is: the loop ends after this handler.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TTorvex::Shape1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (Edition < WebAddresses.size()) WWWHop->SetJump(QString::fromUtf8(WebAddresses[Edition]));
    WWWHop->DoJump();
}

void TTorvex::ShowHandlerError(const std::exception& error) {
    QMessageBox::critical(this, QApplication::applicationName(),
                          QString::fromUtf8(error.what()));
}

}  // namespace torvex::app
