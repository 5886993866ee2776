// The hyperlink label and the header's hot spot.
#include <QTemporaryDir>

#include "tests/gui/GuiSupport.h"

using namespace torvex;
using namespace torvex::guitest;

class UrlLabelTest : public QObject {
    Q_OBJECT
private slots:
    void init() { machine = UseFakeMachine(folder); }

    void theAddressComesFromJumpOrTheCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("jump");
        QTest::addColumn<QString>("opened");
        QTest::newRow("jump") << "Our site" << "torvex.no" << "torvex.no";
        QTest::newRow("jump kept as stored") << "Our site" << " torvex.se " << " torvex.se ";
        QTest::newRow("caption") << "torvex.fi" << "" << "torvex.fi";
        QTest::newRow("blank jump uses caption") << "torvex.dk" << "   " << "torvex.dk";
        QTest::newRow("mail address") << "post@torvex.no" << "" << "mailto:post@torvex.no";
        QTest::newRow("mail with blank jump") << "a@b.fi" << "\t " << "mailto:a@b.fi";
    }
    void theAddressComesFromJumpOrTheCaption() {
        QFETCH(QString, caption);
        QFETCH(QString, jump);
        QFETCH(QString, opened);
        app::TQuentaSysURLLabel label;
        label.setText(caption);
        label.SetJump(jump);
        label.resize(100, 20);
        label.show();
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(machine->opened.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(machine->opened[0]), opened);
        QVERIFY(label.isEnabled());
    }

    void aFailedOpenDisablesTheLabelButJumpsFromCodeStillRun() {
        machine->openSucceeds = false;
        app::TQuentaSysURLLabel label;
        label.setText("torvex.no");
        label.resize(100, 20);
        label.show();
        QTest::mouseClick(&label, Qt::LeftButton);
        QVERIFY(!label.isEnabled());
        // A disabled label ignores the mouse ...
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(machine->opened.size(), std::size_t(1));
        // ... but its owner can still make it jump.
        machine->openSucceeds = true;
        label.DoJump();
        QCOMPARE(machine->opened.size(), std::size_t(2));
        QVERIFY(!label.isEnabled());
    }

    void colourAndUnderline() {
        app::TQuentaSysURLLabel label;
        label.setText("torvex.no");
        label.resize(100, 20);
        label.show();
        QCOMPARE(label.TextColor(), QColor(0, 0, 255));
        QVERIFY(label.font().underline());
        QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
        QTest::mousePress(&label, Qt::LeftButton);
        QCOMPARE(label.TextColor(), QColor(128, 0, 128));
        QTest::mouseRelease(&label, Qt::LeftButton);
        QCOMPARE(label.TextColor(), QColor(0, 0, 255));
        // A jump from code leaves the label in its active colour.
        label.DoJump();
        QCOMPARE(label.TextColor(), QColor(128, 0, 128));
        label.SetJumpUnderline(false);
        QVERIFY(!label.font().underline());
    }

    void theHotSpotOpensTheEditionsSiteWithAnyButton() {
        auto window = StartWindow(app::SwedishStrings());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTest::mouseClick(window->Shape1, Qt::RightButton, {}, QPoint(40, 40));
        QTest::mouseClick(window->Shape1, Qt::LeftButton, {}, QPoint(5, 90));
        QCOMPARE(machine->opened, (std::vector<std::string>{"torvex.se", "torvex.se"}));
        QCOMPARE(window->WWWHop->Jump(), QString("torvex.se"));
        QVERIFY(window->WWWHop->isHidden());
        // A failing open disables the hidden label; the next click still opens.
        machine->openSucceeds = false;
        QTest::mouseClick(window->Shape1, Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(!window->WWWHop->isEnabled());
        QTest::mouseClick(window->Shape1, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(machine->opened.size(), std::size_t(4));
    }

private:
    QTemporaryDir folder;
    testing::FakeMachine* machine = nullptr;
};

QTEST_MAIN(UrlLabelTest)
#include "test_url_label.moc"
