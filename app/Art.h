// The window's pictures, embedded as resources, and its typeface.
#pragma once

#include <QString>

#include "app/ImageButton.h"

namespace torvex::app {

// The 27 row icons (16 x 16), index 0..26.
TGraphicList LoadRowIcons();
// The ten button faces of an edition (0 Danish, 1 Norwegian, 2 Swedish,
// 3 Finnish), in the order Programmer, ProgrammerNede, Partitioner,
// PartitionerNede, Detaljer, DetaljerNede, Udskriv, UdskrivNede, Afslut,
// AfslutNede.
TGraphicList LoadButtonFaces(int edition);
// The header picture (JPEG, 576 x 110).
QString HeaderPicturePath();

// Tahoma when the machine has it (or the Debian package fonts-wine provides
// its metric twin), else DejaVu Sans.
QString UiFontFamily();

}  // namespace torvex::app
