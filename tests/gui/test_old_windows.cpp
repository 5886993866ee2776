// OldWindows: the version text of the running Windows compared as text with
// "4.10".
#include <QTemporaryDir>

#include "tests/gui/GuiSupport.h"

using namespace torvex;
using namespace torvex::guitest;

class OldWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void decidedFromTheVersionText_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("platformId");
        QTest::addColumn<QString>("versionText");
        QTest::addColumn<bool>("old");
        QTest::newRow("Windows 95") << 4 << 0 << 1 << "4.0" << true;
        QTest::newRow("NT 4.0") << 4 << 0 << 2 << "4.0" << true;
        QTest::newRow("Windows 98") << 4 << 10 << 1 << "4.10" << true;
        QTest::newRow("Windows Me") << 4 << 90 << 1 << "4.90" << false;
        QTest::newRow("Windows 2000") << 5 << 0 << 2 << "5.0" << false;
        QTest::newRow("Windows XP") << 5 << 1 << 2 << "5.1" << false;
        QTest::newRow("NT 3.51") << 3 << 51 << 2 << "3.51" << true;
    }
    void decidedFromTheVersionText() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, platformId);
        QFETCH(QString, versionText);
        QFETCH(bool, old);
        QTemporaryDir folder;
        UseFakeMachine(folder, major, minor, platformId);
        auto window = StartWindow(app::NorwegianStrings());
        QCOMPARE(QString::fromStdString(window->QuentaSysInfo1().VersionWIN()), versionText);
        QCOMPARE(app::OldWindows, old);
    }

    void theComparisonIsPlainText() {
        // As text "4.9" is above "4.10" and "10.0" below it.
        QVERIFY(!app::IsOldWindows("4.9"));
        QVERIFY(app::IsOldWindows("10.0"));
        QVERIFY(app::IsOldWindows("4.1"));
    }
};

QTEST_MAIN(OldWindowsTest)
#include "test_old_windows.moc"
