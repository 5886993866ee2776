// Which edition a build is, and what the edition changes: faces, captions
// and the web address.
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidget>

#include "app/Art.h"
#include "engine/Zarvo_GUI.h"
#include "platform/win32/Win32.h"
#include <QLabel>
#include <QTextEdit>
#include "tests/gui/GuiSupport.h"

using namespace torvex;
using namespace torvex::guitest;

class EditionTest : public QObject {
    Q_OBJECT
private slots:
    void init() { machine = UseFakeMachine(folder); }

    void eachTableIsItsOwnEdition_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("edition");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("programmerCaption");
        QTest::newRow("Danish") << 0 << 0 << "torvex.dk" << "Programmer";
        QTest::newRow("Norwegian") << 1 << 1 << "torvex.no" << "Programmer";
        QTest::newRow("Swedish") << 2 << 2 << "torvex.se" << "Program";
        QTest::newRow("Finnish") << 3 << 3 << "torvex.fi" << "Ohjelmat";
    }
    void eachTableIsItsOwnEdition() {
        QFETCH(int, table);
        QFETCH(int, edition);
        QFETCH(QString, address);
        QFETCH(QString, programmerCaption);
        const app::StringTable tables[] = {app::DanishStrings(), app::NorwegianStrings(),
                                           app::SwedishStrings(), app::FinnishStrings()};
        auto window = StartWindow(tables[table]);
        QCOMPARE(int(app::Edition), edition);
        // Every button of the edition shows that edition's faces; the hidden
        // copy button keeps the Danish ones.
        for (auto* button : {window->Programmer, window->Partitioner, window->Detaljer,
                             window->Udskriv, window->Afslut})
            QCOMPARE(button->Faces(), &window->FacesOf(edition));
        QCOMPARE(window->Kopier->Faces(), &window->KnapBilleder);
        QCOMPARE(window->Programmer->accessibleName(), programmerCaption);
        window->Shape1MouseDown(Qt::LeftButton, Qt::NoModifier, 10, 10);
        QCOMPARE(machine->opened.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(machine->opened.back()), address);
    }

    void aTableWithNoneOfTheWordsIsDanish_data() {
        QTest::addColumn<QString>("voltage");
        QTest::newRow("other language") << "Voltage";
        QTest::newRow("lower case") << "spenning";
        QTest::newRow("trailing blank") << "Spänning ";
        QTest::newRow("missing") << "";
    }
    void aTableWithNoneOfTheWordsIsDanish() {
        QFETCH(QString, voltage);
        app::StringTable table = app::NorwegianStrings();
        if (voltage.isEmpty())
            table.erase(app::res::Voltage);
        else
            table[app::res::Voltage] = voltage.toStdString();
        auto window = StartWindow(table);
        QCOMPARE(int(app::Edition), 0);
        QCOMPARE(window->Programmer->Faces(), &window->KnapBilleder);
        window->Shape1MouseDown(Qt::RightButton, Qt::NoModifier, 0, 0);
        QCOMPARE(machine->opened.back(), std::string("torvex.dk"));
    }

    void theDecisionReadsOnlyTheVoltageLabel() {
        // The other labels of a table play no part: a Norwegian table whose
        // voltage label is Swedish is the Swedish edition.
        app::StringTable table = app::NorwegianStrings();
        table[app::res::Voltage] = "Spänning";
        platform::SetResourceStrings(table);
        QCOMPARE(int(app::DecideEdition()), 2);
        table[app::res::Voltage] = "Jännite";
        platform::SetResourceStrings(table);
        QCOMPARE(int(app::DecideEdition()), 3);
    }

    void everyEditionTranslatesTheSameIds() {
        const app::StringTable da = app::DanishStrings();
        for (const app::StringTable& other :
             {app::NorwegianStrings(), app::SwedishStrings(), app::FinnishStrings()}) {
            QCOMPARE(other.size(), da.size());
            for (const auto& [id, text] : da) {
                QVERIFY2(other.count(id), qPrintable(QString::number(id)));
                QVERIFY(!other.at(id).empty());
            }
        }
        // The quoted Norwegian texts stand as they are.
        const app::StringTable no = app::NorwegianStrings();
        QCOMPARE(no.at(65204), std::string("Aktuell skjermoppløsning"));
        QCOMPARE(no.at(65214), std::string("Installerte programmer"));
        QCOMPARE(no.at(65184), std::string("Datamaskinens spesifikasjoner:"));
        QCOMPARE(no.at(65276), std::string("Uninstall[%d]:ProgramName"));
    }

    void everyEditionHasTenDistinctFaces() {
        for (int edition = 0; edition < 4; ++edition) {
            const app::TGraphicList faces = app::LoadButtonFaces(edition);
            QCOMPARE(faces.Count(), 10);
            for (int i = 0; i < 10; i += 2) {
                const QImage up = faces.Picture(i).toImage();
                const QImage down = faces.Picture(i + 1).toImage();
                QCOMPARE(up.size(), QSize(i < 6 ? 112 : 91, 26));
                QCOMPARE(down.size(), up.size());
                QVERIFY2(up != down, qPrintable(faces.At(i).name));
            }
            QCOMPARE(faces.At(9).name, QString("AfslutNede"));
        }
        // The editions' captions differ, so their faces do too.
        QVERIFY(app::LoadButtonFaces(0).Picture(8).toImage() !=
                app::LoadButtonFaces(1).Picture(8).toImage());
        const app::TGraphicList icons = app::LoadRowIcons();
        QCOMPARE(icons.Count(), 27);
        for (int i = 0; i < icons.Count(); ++i) QCOMPARE(icons.Picture(i).size(), QSize(16, 16));
    }

    void engineMessagesShowAModalErrorBox() {
        auto window = StartWindow(app::NorwegianStrings());
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            title = box->windowTitle();
            icon = box->icon();
            modal = box->isModal();
            box->accept();
        });
        const int answer = win32::MessageBoxA(nullptr, "TCPU.GetInfo: no answer", "Error",
                                              win32::MB_OK | win32::MB_ICONSTOP);
        QCOMPARE(answer, win32::IDOK);
        QCOMPARE(title, QString("Error"));
        QCOMPARE(icon, QMessageBox::Critical);
        QVERIFY(modal);
    }

    void theWindowHasTheDesignedParts() {
        auto window = StartWindow(app::NorwegianStrings());
        QCOMPARE(window->windowTitle(), QString("Torvex"));
        QCOMPARE(window->CorvaneSystemInfo().ExceptionMode(), engine::emMessage);
        // The client area is what the controls need: Panel2's border (2)
        // and bevel (1) around the 576 x 110 header and the 576 x 242 list.
        QCOMPARE(window->size(), QSize(582, 358));
        QCOMPARE(window->Hoved->pixmap().size(), QSize(576, 110));
        QCOMPARE(window->Panel1->height(), 110);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        // No strip beside the header: the panel is exactly the picture's width.
        QCOMPARE(window->Panel1->width(), 576);
        QCOMPARE(window->Hoved->geometry(), QRect(0, 0, 576, 110));
        QCOMPARE(window->List->size(), QSize(576, 242));
        QCOMPARE(window->Panel1->mapTo(window.get(), QPoint(0, 0)), QPoint(3, 3));
        QCOMPARE(window->Programmer->geometry(), QRect(105, 58, 112, 26));
        QCOMPARE(window->Afslut->geometry(), QRect(469, 26, 91, 26));
        QCOMPARE(window->Udskriv->geometry(), QRect(469, 58, 91, 26));
        QCOMPARE(window->Shape1->geometry(), QRect(0, 0, 97, 97));
        QVERIFY(!window->Shape1->toolTip().isEmpty());
        QVERIFY(window->Udskrift->isHidden());
        QVERIFY(window->WWWHop->isHidden());
        QVERIFY(window->Kopier->isHidden());
        QCOMPARE(window->WWWHop->text(), QString("WWWJump"));
        QVERIFY(window->List->isHeaderHidden());
        QCOMPARE(window->List->columnWidth(0), 250);
        QCOMPARE(window->List->columnWidth(1), 310);
        QCOMPARE(window->List->editTriggers(), QAbstractItemView::NoEditTriggers);
        // The list holds the summary, the processor first.
        QVERIFY(window->List->topLevelItemCount() > 0);
        QCOMPARE(window->List->topLevelItem(0)->text(0), QString("Processor"));
    }

    void theWindowIsNeverWiderThanItsHeaderRow() {
        auto window = StartWindow(app::NorwegianStrings());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const int listHeight = window->List->height();
        window->resize(900, 600);
        QTest::qWait(20);
        QCOMPARE(window->width(), 582);
        QCOMPARE(window->height(), 600);
        // The extra height goes to the list; the header keeps its 110.
        QCOMPARE(window->List->height(), listHeight + 242);
        QCOMPARE(window->Panel1->height(), 110);
    }

private:
    QTemporaryDir folder;
    testing::FakeMachine* machine = nullptr;
};

QTEST_MAIN(EditionTest)
#include "test_edition.moc"
