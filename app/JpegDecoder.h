// Decoding of the JPEG pictures the windows carry in their resources.
//
// The pictures are decoded with libjpeg rather than through the toolkit's
// image plugins, so a damaged or hostile picture is judged by one decoder we
// control: its size is checked against a cap before any pixel memory is
// allocated, and every fault (including a truncated stream, which libjpeg
// would otherwise pad with grey) becomes a JpegError naming the picture.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <stdexcept>
#include <string>

namespace torvex::app {

class JpegError : public std::runtime_error {
public:
    explicit JpegError(const std::string& what) : std::runtime_error(what) {}
};

struct JpegLimits {
    int maxWidth = 4096;
    int maxHeight = 4096;
};

// Decodes a baseline or progressive JPEG into a 24-bit RGB image. `name`
// identifies the picture in error messages (a resource path or file name).
// Throws JpegError for anything that is not a complete, readable picture
// within the limits.
QImage DecodeJpeg(const QByteArray& data, const QString& name, JpegLimits limits = {});

// Reads a picture from a Qt resource or file path and decodes it.
QImage LoadJpeg(const QString& path, JpegLimits limits = {});

}  // namespace torvex::app
