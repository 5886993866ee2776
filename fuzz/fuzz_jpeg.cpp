// The JPEG header path with its size cap: a picture larger than the cap, or
// damaged anywhere, must be refused with a JpegError before its pixels are
// allocated.
#include <QByteArray>
#include <QString>
#include <cstdint>

#include "app/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1 << 20) return 0;
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        QImage image = torvex::app::DecodeJpeg(bytes, QStringLiteral("fuzz.jpg"), {512, 512});
        if (image.width() > 512 || image.height() > 512) __builtin_trap();
    } catch (const torvex::app::JpegError&) {
    }
    return 0;
}
