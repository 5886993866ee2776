// The splash window of a full refresh: shown and painted before the first
// category is read, gone when the refresh ends, however it ends.
#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include "overview/Zarvo_Splash.h"
#include "engine/Zarvo_GUI.h"
#include "tests/gui/GuiSupport.h"

using namespace torvex;
using namespace torvex::guitest;

namespace {

// Top-level splash windows that are on screen.
int VisibleSplashes() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "scrZarvo_Splash" && w->isVisible()) ++n;
    return n;
}

}  // namespace

class SplashTest : public QObject {
    Q_OBJECT
private slots:
    void shownDuringTheRefreshAndGoneAfterIt() {
        QTemporaryDir folder;
        UseFakeMachine(folder);
        // The factory the program installs, watched: the splash is on screen
        // and centred the moment it exists.
        int created = 0;
        bool visible = false, topmost = false;
        engine::SetRefreshSplashFactory([&] {
            auto splash = std::make_unique<overview::TscrZarvo_Splash>();
            ++created;
            visible = splash->isVisible();
            topmost = (splash->windowFlags() & Qt::WindowStaysOnTopHint) != 0;
            return splash;
        });
        {
            engine::TCorvaneSystemInfo info;
            info.SetExceptionMode(engine::emSilent);
            info.Refresh();
        }
        QCOMPARE(created, 1);
        QVERIFY(visible);
        QVERIFY(topmost);
        QCOMPARE(VisibleSplashes(), 0);

        engine::SetRefreshSplashFactory({});
    }

    void statusBarIsBlackWithItsText() {
        overview::TscrZarvo_Splash splash;
        QImage image = splash.grab().toImage();
        // The bottom rows are the status bar: black, with white text on it.
        int black = 0, light = 0;
        for (int x = 0; x < image.width(); ++x) {
            QColor c = image.pixelColor(x, image.height() - 11);
            if (c == Qt::black) ++black;
            if (c.lightness() > 128) ++light;
        }
        QVERIFY(black > image.width() / 2);
        QVERIFY(light > 0);
        QCOMPARE(QString(overview::TscrZarvo_Splash::kStatusText), QString("Collecting information..."));
    }
};

QTEST_MAIN(SplashTest)
#include "test_splash.moc"
