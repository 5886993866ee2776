#include "platform/Corvane_Startup.h"

#include "platform/Corvane_Binding.h"
#include "platform/Corvane_Routines.h"

namespace torvex::platform {

void PlatformStartup() {
    routines::InitializeRoutines();
    BindOptionalLibraries();
}

void PlatformShutdown() { ReleaseOptionalLibraries(); }

}  // namespace torvex::platform
