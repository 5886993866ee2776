#include "app/JpegDecoder.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace torvex::app {
namespace {

// libjpeg reports faults through callbacks; error_exit must not return, so
// it jumps back to the decoding frame. Only plain C data lives in that frame.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool warned;
};

void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (level -1) are corrupt-data reports such as a premature end of the
// stream; a picture with any of them is not shown, so the first one is kept.
void OnMessage(j_common_ptr info, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && !err->warned) {
        err->warned = true;
        (*info->err->format_message)(info, err->message);
    }
}

enum class Outcome { ok, libjpegError, tooLarge, corrupt, noMemory };

struct RawPicture {
    unsigned char* pixels = nullptr;   // malloc'd RGB rows, width * 3 bytes each
    int width = 0;
    int height = 0;
};

// Plain C-style decoding frame: no object with a destructor is alive across
// setjmp, so the jump back from libjpeg skips nothing.
Outcome DecodeRaw(const unsigned char* data, unsigned long size, const JpegLimits& limits,
                  RawPicture* out, char* message, int* foundWidth, int* foundHeight) {
    jpeg_decompress_struct info;
    ErrorManager err;
    std::memset(&info, 0, sizeof info);
    std::memset(&err, 0, sizeof err);
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.emit_message = OnMessage;
    unsigned char* volatile pixels = nullptr;

    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(pixels);
        std::strcpy(message, err.message);
        return Outcome::libjpegError;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    *foundWidth = static_cast<int>(info.image_width);
    *foundHeight = static_cast<int>(info.image_height);
    if (info.image_width == 0 || info.image_height == 0 ||
        info.image_width > static_cast<unsigned>(limits.maxWidth) ||
        info.image_height > static_cast<unsigned>(limits.maxHeight)) {
        jpeg_destroy_decompress(&info);
        return Outcome::tooLarge;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const std::size_t stride = static_cast<std::size_t>(info.output_width) * 3;
    pixels = static_cast<unsigned char*>(std::malloc(stride * info.output_height));
    if (!pixels) {
        jpeg_destroy_decompress(&info);
        return Outcome::noMemory;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    const bool warned = err.warned;
    if (warned) std::strcpy(message, err.message);
    out->width = static_cast<int>(info.output_width);
    out->height = static_cast<int>(info.output_height);
    jpeg_destroy_decompress(&info);
    if (warned) {
        std::free(pixels);
        return Outcome::corrupt;
    }
    out->pixels = pixels;
    return Outcome::ok;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data, const QString& name, JpegLimits limits) {
    const std::string who = name.toStdString();
    if (data.isEmpty()) throw JpegError(who + ": the picture is empty");
    RawPicture raw;
    char message[JMSG_LENGTH_MAX] = {};
    int width = 0, height = 0;
    switch (DecodeRaw(reinterpret_cast<const unsigned char*>(data.constData()),
                      static_cast<unsigned long>(data.size()), limits, &raw, message, &width,
                      &height)) {
    case Outcome::ok:
        break;
    case Outcome::libjpegError:
        throw JpegError(who + ": damaged JPEG picture (" + message + ")");
    case Outcome::corrupt:
        throw JpegError(who + ": damaged JPEG picture (" + message + ")");
    case Outcome::tooLarge:
        throw JpegError(who + ": picture of " + std::to_string(width) + " x " +
                        std::to_string(height) + " pixels is outside the allowed " +
                        std::to_string(limits.maxWidth) + " x " +
                        std::to_string(limits.maxHeight));
    case Outcome::noMemory:
        throw JpegError(who + ": not enough memory for the picture");
    }
    QImage image(raw.width, raw.height, QImage::Format_RGB888);
    if (image.isNull()) {
        std::free(raw.pixels);
        throw JpegError(who + ": not enough memory for the picture");
    }
    for (int y = 0; y < raw.height; ++y)
        std::memcpy(image.scanLine(y), raw.pixels + static_cast<std::size_t>(y) * raw.width * 3,
                    static_cast<std::size_t>(raw.width) * 3);
    std::free(raw.pixels);
    return image;
}

QImage LoadJpeg(const QString& path, JpegLimits limits) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw JpegError(path.toStdString() + ": cannot be read (" +
                        file.errorString().toStdString() + ")");
    return DecodeJpeg(file.readAll(), path, limits);
}

}  // namespace torvex::app
