#include "overview/Zarvo_Splash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include "overview/Zarvo_Font.h"

namespace torvex::overview {

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 140;
constexpr int kStatusHeight = 22;
}  // namespace

TscrZarvo_Splash::TscrZarvo_Splash() {
    setObjectName("scrZarvo_Splash");
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(kWidth, kHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
    show();
    // The refresh that follows keeps the event loop from running.
    repaint();
}

void TscrZarvo_Splash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient sky(0, 0, 0, kHeight - kStatusHeight);
    sky.setColorAt(0, QColor(0x12, 0x2B, 0x4A));
    sky.setColorAt(1, QColor(0x0A, 0x18, 0x2C));
    p.fillRect(0, 0, kWidth, kHeight - kStatusHeight, sky);

    QFont title(UiFontFamily(), 22, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 18, kWidth, 40), Qt::AlignHCenter | Qt::AlignVCenter, "Torvex");
    QFont banner(UiFontFamily(), 8);
    p.setFont(banner);
    p.setPen(QColor(0x8F, 0xD3, 0xE8));
    p.drawText(QRect(0, 62, kWidth, 20), Qt::AlignHCenter | Qt::AlignVCenter,
               QString::fromLatin1(engine::kEngineTitle) + " " + QString::fromLatin1(engine::kEngineVersion));

    // The status bar: black, with the text in white.
    QRect status(0, kHeight - kStatusHeight, kWidth, kStatusHeight);
    p.fillRect(status, Qt::black);
    p.setPen(Qt::white);
    p.drawText(status.adjusted(8, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter, kStatusText);
    // A frame, so that the window stands out on a dark desktop too.
    p.setPen(QColor(0x5A, 0x7A, 0x9A));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void InstallRefreshSplash() {
    engine::SetRefreshSplashFactory([] { return std::make_unique<TscrZarvo_Splash>(); });
}

}  // namespace torvex::overview
