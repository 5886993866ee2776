// The live host's screen facts come from the window program's display: the
// system-information object answers with the primary screen's figures.
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "app/Main.h"
#include "components/QuentaSysInfo.h"
#include "platform/machine/Machine.h"

using namespace torvex;

class ScreenTest : public QObject {
    Q_OBJECT
private slots:
    void theHostAnswersWithThePrimaryScreen() {
        platform::SetActiveMachine(platform::CreateHostMachine("/"));
        app::InstallScreenFacts();
        QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        components::TQuentaSysInfo info;
        const qreal ratio = screen->devicePixelRatio();
        QCOMPARE(info.ScreenWidth(), int(screen->geometry().width() * ratio + 0.5));
        QCOMPARE(info.ScreenHeight(), int(screen->geometry().height() * ratio + 0.5));
        QVERIFY(info.ScreenWidth() > 0);
        QCOMPARE(int(info.ColorDepth()), screen->depth());
        QCOMPARE(info.ScreenPPi(), int(screen->logicalDotsPerInchY() + 0.5));
        platform::SetDisplayFacts(std::nullopt);
        platform::SetActiveMachine(nullptr);
    }
};

QTEST_MAIN(ScreenTest)
#include "test_screen.moc"
