#include "platform/Corvane_WnASPI32.h"

#include "platform/Corvane_Binding.h"

namespace torvex::platform::wnaspi32 {

win32::HMODULE WnASPI32Handle = nullptr;
bool WnASPI32Loaded = false;
win32::FARPROC GetASPI32SupportInfo = nullptr;
win32::FARPROC SendASPI32Command = nullptr;

namespace {

const TLibraryBinding& Binding() {
    // The release message has no blank before its parenthesis.
    static const TLibraryBinding binding{"wnaspi32.dll",
                                         "Unload Error: wnaspi32.dll (",
                                         "Unload Error: wnaspi32.dll(",
                                         "wnaspi32.dll",
                                         {
                                             {"GetASPI32SupportInfo", &GetASPI32SupportInfo},
                                             {"SendASPI32Command", &SendASPI32Command},
                                         },
                                         &GetASPI32SupportInfo,
                                         &WnASPI32Handle,
                                         &WnASPI32Loaded};
    return binding;
}

}  // namespace

bool BindWnASPI32() { return BindLibrary(Binding()); }

void ReleaseWnASPI32() { ReleaseLibrary(Binding()); }

win32::DWORD SupportInfo() {
    if (!GetASPI32SupportInfo) return 0;
    return reinterpret_cast<win32::DWORD (*)()>(GetASPI32SupportInfo)();
}

win32::DWORD SendCommand(void* requestBlock) {
    if (!SendASPI32Command) return 0;
    return reinterpret_cast<win32::DWORD (*)(void*)>(SendASPI32Command)(requestBlock);
}

}  // namespace torvex::platform::wnaspi32
