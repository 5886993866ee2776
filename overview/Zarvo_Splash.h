// The window shown while the engine refreshes every category: the refresh
// blocks the message loop, so the window paints once when it opens and
// stays as it is until the refresh ends.
#pragma once

#include <QWidget>

#include "engine/Zarvo_GUI.h"

namespace torvex::overview {

class TscrZarvo_Splash : public QWidget, public engine::TRefreshSplash {
public:
    // Borderless, on top of every window, centred on the screen, painted at
    // once.
    TscrZarvo_Splash();

    // The status bar's text.
    static constexpr const char* kStatusText = "Collecting information...";

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Makes every engine root of the program show the splash while it
// refreshes.
void InstallRefreshSplash();

}  // namespace torvex::overview
