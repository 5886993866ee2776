// The class library's timer components ticking from Qt's event loop: each
// enabled timer gets a QTimer of its interval, so its ticks arrive on the
// main thread between the window's other events.
#pragma once

namespace torvex::overview {

// Installs the loop once for the program; later calls do nothing. Needs a
// running QApplication (or one about to run).
void InstallTimerLoop();

}  // namespace torvex::overview
