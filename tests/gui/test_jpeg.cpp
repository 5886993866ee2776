// The JPEG decoder of the windows' pictures.
#include <QFile>
#include <QTest>

#include "app/Art.h"
#include "app/JpegDecoder.h"

using namespace torvex;

namespace {

QByteArray HeaderBytes() {
    QFile file(app::HeaderPicturePath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Rewrites the size in the picture's frame header (SOF0..SOF2).
QByteArray WithFrameSize(QByteArray data, int width, int height) {
    for (int i = 2; i + 9 < data.size(); ++i) {
        const auto marker = static_cast<unsigned char>(data[i + 1]);
        if (static_cast<unsigned char>(data[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2) {
            data[i + 5] = char(height >> 8);
            data[i + 6] = char(height & 0xFF);
            data[i + 7] = char(width >> 8);
            data[i + 8] = char(width & 0xFF);
            return data;
        }
    }
    return {};
}

QString ErrorOf(const QByteArray& data, app::JpegLimits limits = {}) {
    try {
        app::DecodeJpeg(data, "header.jpg", limits);
    } catch (const app::JpegError& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

}  // namespace

class JpegTest : public QObject {
    Q_OBJECT
private slots:
    void theHeaderDecodes() {
        const QByteArray data = HeaderBytes();
        QVERIFY(!data.isEmpty());
        const QImage image = app::DecodeJpeg(data, "header.jpg");
        QCOMPARE(image.size(), QSize(576, 110));
        // The right edge runs into the panel's grey, the emblem's die is dark.
        const QColor edge = image.pixelColor(575, 55);
        QVERIFY2(qAbs(edge.red() - 128) < 12 && qAbs(edge.blue() - 128) < 12,
                 qPrintable(edge.name()));
        QVERIFY(image.pixelColor(48, 75).lightness() < 90);
    }

    void aTruncatedPictureIsAnErrorNamingIt() {
        const QByteArray data = HeaderBytes();
        for (const int keep : {int(data.size() / 2), int(data.size()) - 2, 300}) {
            const QString error = ErrorOf(data.left(keep));
            QVERIFY2(error.startsWith("header.jpg: damaged JPEG picture"), qPrintable(error));
        }
    }

    void somethingElseIsNoPicture() {
        QVERIFY(ErrorOf(QByteArray()).contains("empty"));
        const QString error = ErrorOf(QByteArray("GIF89a this is not a JPEG at all"));
        QVERIFY2(error.startsWith("header.jpg: damaged JPEG picture"), qPrintable(error));
        QByteArray png;
        QFile icon(":/art/icons/00.png");
        QVERIFY(icon.open(QIODevice::ReadOnly));
        QVERIFY(!ErrorOf(icon.readAll()).isEmpty());
    }

    void anOversizedPictureIsRefusedBeforeDecoding() {
        // 60000 x 60000 would need ten gigabytes; the frame header alone
        // decides the refusal.
        const QByteArray huge = WithFrameSize(HeaderBytes(), 60000, 60000);
        QVERIFY(!huge.isEmpty());
        const QString error = ErrorOf(huge);
        QVERIFY2(error.contains("60000 x 60000") && error.contains("4096 x 4096"),
                 qPrintable(error));
        // The cap applies to each side.
        QVERIFY(ErrorOf(HeaderBytes(), {500, 500}).contains("576 x 110"));
        QVERIFY(ErrorOf(HeaderBytes(), {576, 109}).contains("outside"));
        QVERIFY(ErrorOf(HeaderBytes(), {576, 110}).isEmpty());
        // A zero size is no picture either.
        QVERIFY(!ErrorOf(WithFrameSize(HeaderBytes(), 0, 110)).isEmpty());
    }

    void anUnreadableFileIsNamed() {
        try {
            app::LoadJpeg("/nonexistent/picture.jpg");
            QFAIL("no error");
        } catch (const app::JpegError& error) {
            QVERIFY(QString(error.what()).startsWith("/nonexistent/picture.jpg: cannot be read"));
        }
    }
};

QTEST_MAIN(JpegTest)
#include "test_jpeg.moc"
