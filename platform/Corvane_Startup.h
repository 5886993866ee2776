// The platform helpers' steps at program start and end, in the order every
// program of the project runs them: the platform flags and names first, then
// the optional system libraries; at the end those libraries are released.
#pragma once

namespace torvex::platform {

// Before any window is created, on the active machine.
void PlatformStartup();
// When the program ends normally.
void PlatformShutdown();

}  // namespace torvex::platform
