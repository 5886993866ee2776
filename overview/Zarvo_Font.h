// The typeface of every window of the program.
#pragma once

#include <QString>

namespace torvex::overview {

// Tahoma when the machine has it (or the Debian package fonts-wine provides
// its metric twin), else DejaVu Sans.
QString UiFontFamily();

}  // namespace torvex::overview
