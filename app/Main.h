// The summary window: the program's one window, with the header picture,
// the image buttons over it and the two-column list of facts.
#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/ImageButton.h"
#include "app/QuentaSysURLLabel.h"
#include "app/summary/SummaryList.h"
#include "components/QuentaSysDrive.h"
#include "components/QuentaSysInfo.h"
#include "components/QuentaSysProcessor.h"
#include "components/QuentaSysUninstall.h"

class QLabel;
class QPrinter;
class QTextEdit;
class QTreeWidget;

namespace torvex::engine {
class TCorvaneSystemInfo;
}

namespace torvex::app {

// Program-wide state, set once by TTorvex::FormCreate.
// 0 Danish, 1 Norwegian, 2 Swedish, 3 Finnish.
extern std::uint8_t Edition;
// Windows 95, 98 and NT 4.0 and older: the summary leaves out what those
// systems cannot tell.
extern bool OldWindows;

// The edition of the registered string table, judged by the label of the
// voltage row that every edition translates. A table whose label is none of
// the four words is taken as Danish.
std::uint8_t DecideEdition();

// True when the version text ("%d.%d") is at most "4.10" as plain text.
bool IsOldWindows(const std::string& versionWin);

// Hands the primary screen's size, colour depth and dots per inch to the
// live host's layer, which has no display of its own to ask. Call once the
// application object exists.
void InstallScreenFacts();

// The publisher's web site of each edition.
extern const std::array<const char*, 4> WebAddresses;

// The settings file and its section.
inline constexpr const char* SettingsFile = "Norvo.INI";
inline constexpr const char* SettingsSection = "NorvoUtility";

// The hot spot over the logo: invisible, with a hint, any mouse button opens
// the web site.
class THotSpot : public QWidget {
    Q_OBJECT
public:
    explicit THotSpot(QWidget* parent = nullptr);
signals:
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TTorvex : public QWidget {
    Q_OBJECT
public:
    explicit TTorvex(QWidget* parent = nullptr);
    ~TTorvex() override;

    engine::TCorvaneSystemInfo& CorvaneSystemInfo() { return *corvaneSystemInfo_; }
    components::TQuentaSysInfo& QuentaSysInfo1() { return quentaSysInfo1_; }
    components::TQuentaSysDrive& DriveInfo() { return *driveInfo_; }
    components::TQuentaSysUninstall& Uninstall() { return *uninstall_; }
    components::TQuentaSysProcessor& CPUInfo() { return *cpuInfo_; }
    components::TQuentaSysWindows& WinInfo() { return *winInfo_; }
    // Owned as the window has always owned it; nothing reads it.
    components::TQuentaSysNetwork& NetInfo() { return *netInfo_; }

    const TGraphicList IkonListe;
    const TGraphicList KnapBilleder;
    const TGraphicList KnapBillederNo;
    const TGraphicList KnapBillederSv;
    const TGraphicList KnapBillederFi;

    QFrame* Panel2 = nullptr;
    QTreeWidget* List = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Hoved = nullptr;
    TImageButton* Programmer = nullptr;
    TImageButton* Partitioner = nullptr;
    TImageButton* Detaljer = nullptr;
    TImageButton* Afslut = nullptr;
    TImageButton* Udskriv = nullptr;
    QTextEdit* Udskrift = nullptr;
    TImageButton* Kopier = nullptr;
    THotSpot* Shape1 = nullptr;
    TQuentaSysURLLabel* WWWHop = nullptr;

    // The face list of an edition (0..3; anything else gives the Danish one).
    const TGraphicList& FacesOf(int edition) const;

    // Builds the summary into List (the caller clears it). The three toggles
    // are disabled while it runs.
    void BuildList();

    // The toggle states as the list builder takes them.
    summary::TSummaryToggles Toggles() const;

    // Appends a line of the given size (points) to Udskrift.
    void AddPrintLine(const QString& text, int size);
    // Fills Udskrift from List: a title, then label and value lines per
    // fact, an empty line per blank row, and the program names.
    void BuildPrintText();
    // Prints Udskrift as one job titled with the edition's document title.
    void PrintDocument(QPrinter& printer);

    // Handlers, named after their control and event.
    void OpdaterClick();
    void UdskrivClick();
    void KopierClick();
    void AfslutClick();
    void Shape1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    // Appends the rows of the current toggle states.
    virtual void AddRows();
    // Shows the print dialog; true when the user confirms.
    virtual bool ExecPrintDialog(QPrinter& printer);

private:
    void CreateControls();
    void FormCreate();
    void ShowHandlerError(const std::exception& error);

    void AddRow(const summary::TSummaryRow& row);

    std::unique_ptr<engine::TCorvaneSystemInfo> corvaneSystemInfo_;
    components::TQuentaSysInfo quentaSysInfo1_;
    std::unique_ptr<components::TQuentaSysDrive> driveInfo_;
    std::unique_ptr<components::TQuentaSysUninstall> uninstall_;
    std::unique_ptr<components::TQuentaSysProcessor> cpuInfo_;
    std::unique_ptr<components::TQuentaSysWindows> winInfo_;
    std::unique_ptr<components::TQuentaSysNetwork> netInfo_;
    int printLines_ = 0;   // lines in Udskrift since it was cleared
};

}  // namespace torvex::app
