#include "app/summary/ConsoleSummary.h"

#include <charconv>
#include <ostream>

#include "components/QuentaSysDrive.h"
#include "components/QuentaSysInfo.h"
#include "components/QuentaSysProcessor.h"
#include "components/QuentaSysUninstall.h"
#include "engine/Zarvo_GUI.h"
#include "platform/win32/Win32.h"

namespace torvex::summary {

std::optional<app::StringTable> EditionTableByCode(const std::string& code) {
    if (code == "da") return app::DanishStrings();
    if (code == "no") return app::NorwegianStrings();
    if (code == "sv") return app::SwedishStrings();
    if (code == "fi") return app::FinnishStrings();
    return std::nullopt;
}

bool IsOldWindowsVersion(const std::string& versionWin) { return versionWin <= "4.10"; }

TSummaryToggles RememberedToggles() {
    auto read = [](const char* key) {
        char buffer[64] = {};
        win32::DWORD length =
            win32::GetPrivateProfileStringA("NorvoUtility", key, "", buffer, sizeof buffer, "Norvo.INI");
        const char* first = buffer;
        const char* last = buffer + length;
        if (first != last && *first == '+') ++first;
        long long value = 0;
        auto [end, error] = std::from_chars(first, last, value);
        return error == std::errc() && end == last && first != last && value != 0;
    };
    TSummaryToggles t;
    t.Programmer = read("Programmer");
    t.Partitioner = read("Partitioner");
    t.Detaljer = read("Detaljer");
    return t;
}

bool PrintSummary(const TSummaryToggles& toggles, std::ostream& out, std::ostream& err) {
    // Owned as the window owns them; loading ends with the components'
    // one automatic retrieve.
    classes::TComponent form;
    auto& info = form.CreateComponent<engine::TCorvaneSystemInfo>();
    info.SetExceptionMode(engine::emMessage);
    auto& sysInfo = form.CreateComponent<components::TQuentaSysInfo>();
    auto& driveInfo = form.CreateComponent<components::TQuentaSysDrive>();
    auto& uninstall = form.CreateComponent<components::TQuentaSysUninstall>();
    auto& cpuInfo = form.CreateComponent<components::TQuentaSysProcessor>();
    auto& winInfo = form.CreateComponent<components::TQuentaSysWindows>();
    driveInfo.SetAutoRetrieve(true);
    uninstall.SetAutoRetrieve(true);
    try {
        driveInfo.Loaded();
        uninstall.Loaded();
        bool oldWindows = IsOldWindowsVersion(sysInfo.VersionWIN());
        TSummaryList list(info, cpuInfo, winInfo, driveInfo, uninstall);
        list.BuildList(toggles, oldWindows, [&out](const TSummaryRow& row) { out << ConsoleLine(row) << '\n'; });
    } catch (const std::exception& error) {
        out.flush();
        err << "torvex: the summary ended early: " << error.what() << '\n';
        return false;
    }
    out.flush();
    return true;
}

}  // namespace torvex::summary
