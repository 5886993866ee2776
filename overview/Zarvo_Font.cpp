#include "overview/Zarvo_Font.h"

#include <QFile>
#include <QFontDatabase>

namespace torvex::overview {

QString UiFontFamily() {
    static const QString family = [] {
        if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
            return QStringLiteral("Tahoma");
        // Debian's fonts-wine ships a Tahoma-metric face outside fontconfig's
        // folders; registered for this process only.
        const QString wine = QStringLiteral("/usr/share/wine/fonts/");
        if (QFile::exists(wine + "tahoma.ttf") &&
            QFontDatabase::addApplicationFont(wine + "tahoma.ttf") >= 0) {
            QFontDatabase::addApplicationFont(wine + "tahomabd.ttf");
            return QStringLiteral("Tahoma");
        }
        return QStringLiteral("DejaVu Sans");
    }();
    return family;
}

}  // namespace torvex::overview
