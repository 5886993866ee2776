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
#include "components/QuentaSysInfo.h"

class QLabel;
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

    // Handlers, named after their control and event.
    void OpdaterClick();
    void AfslutClick();
    void Shape1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    // Appends the rows of the current toggle states.
    virtual void AddRows();

private:
    void CreateControls();
    void FormCreate();
    void ShowHandlerError(const std::exception& error);

    std::unique_ptr<engine::TCorvaneSystemInfo> corvaneSystemInfo_;
    components::TQuentaSysInfo quentaSysInfo1_;
};

}  // namespace torvex::app
