#include "app/Art.h"

#include "overview/Zarvo_Font.h"

#include <QFile>

#include <array>

namespace torvex::app {
namespace {

constexpr std::array<const char*, 10> FaceNames = {
    "Programmer", "ProgrammerNede", "Partitioner", "PartitionerNede", "Detaljer",
    "DetaljerNede", "Udskriv",        "UdskrivNede", "Afslut",          "AfslutNede"};
constexpr std::array<const char*, 4> EditionFolders = {"da", "no", "sv", "fi"};

}  // namespace

TGraphicList LoadRowIcons() {
    TGraphicList list;
    for (int i = 0; i < 27; ++i) {
        const QString name = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        list.Add(name, QPixmap(QStringLiteral(":/art/icons/%1.png").arg(name)));
    }
    return list;
}

TGraphicList LoadButtonFaces(int edition) {
    const char* folder = EditionFolders[edition >= 0 && edition < 4 ? edition : 0];
    TGraphicList list;
    for (const char* name : FaceNames)
        list.Add(QString::fromLatin1(name),
                 QPixmap(QStringLiteral(":/art/buttons/%1/%2.png").arg(folder, name)));
    return list;
}

QString HeaderPicturePath() { return QStringLiteral(":/art/header.jpg"); }

QString UiFontFamily() { return overview::UiFontFamily(); }

}  // namespace torvex::app
