#include "platform/Corvane_Binding.h"

#include <cstdint>

#include "platform/Corvane_AdvAPI.h"
#include "platform/Corvane_IpHlpAPI.h"
#include "platform/Corvane_NetAPI32.h"
#include "platform/Corvane_WnASPI32.h"
#include "platform/Corvane_PSAPI.h"
#include "platform/classes/SysUtils.h"

namespace torvex::platform {

std::string UnloadErrorText(const char* prefix, win32::HMODULE handle) {
    auto value = std::uint32_t(reinterpret_cast<std::uintptr_t>(handle));
    return std::string(prefix) + classes::IntToHex(value, 8) + ")";
}

namespace {

void Unbind(const TLibraryBinding& b) {
    for (const auto& e : b.entryPoints) *e.variable = nullptr;
    *b.handle = nullptr;
    *b.loaded = false;
}

}  // namespace

bool BindLibrary(const TLibraryBinding& b) {
    Unbind(b);
    win32::HMODULE handle = win32::GetModuleHandleA(b.library);
    if (!handle) handle = win32::LoadLibraryA(b.library);
    *b.handle = handle;
    if (handle) {
        try {
            for (const auto& e : b.entryPoints) *e.variable = win32::GetProcAddress(handle, e.exportName);
        } catch (...) {
            if (!win32::FreeLibrary(handle))
                throw classes::Exception(UnloadErrorText(b.loadFailurePrefix, win32::GetModuleHandleA(b.library)));
        }
    }
    *b.loaded = handle != nullptr && *b.keyEntryPoint != nullptr;
    return *b.loaded;
}

void ReleaseLibrary(const TLibraryBinding& b) {
    if (!b.releasePrefix || !*b.loaded) return;
    if (!win32::FreeLibrary(*b.handle)) {
        std::string text = UnloadErrorText(b.releasePrefix, win32::GetModuleHandleA(b.releaseModuleName));
        Unbind(b);
        throw classes::Exception(text);
    }
    Unbind(b);
}

void BindOptionalLibraries() {
    psapi::BindPSAPI();
    advapi::BindAdvAPI();
    netapi32::BindNetAPI32();
    iphlpapi::BindIpHlpAPI();
    wnaspi32::BindWnASPI32();
}

void ReleaseOptionalLibraries() {
    // Each runs even when an earlier one fails; the first failure is reported.
    std::string error;
    try {
        advapi::ReleaseAdvAPI();
    } catch (const classes::Exception& e) {
        error = e.Message();
    }
    try {
        netapi32::ReleaseNetAPI32();
    } catch (const classes::Exception& e) {
        if (error.empty()) error = e.Message();
    }
    try {
        iphlpapi::ReleaseIpHlpAPI();
        wnaspi32::ReleaseWnASPI32();
    } catch (const classes::Exception& e) {
        if (error.empty()) error = e.Message();
    }
    if (!error.empty()) throw classes::Exception(error);
}

}  // namespace torvex::platform
