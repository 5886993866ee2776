// Shared set-up of the summary-window tests: a machine built in code (its
// files in a temporary folder) and the string table of one edition.
#pragma once

#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/EditionStrings.h"
#include "app/Main.h"
#include "platform/Corvane_Startup.h"
#include "platform/machine/Machine.h"
#include "tests/FakeMachine.h"

namespace torvex::guitest {

// Makes a fresh machine active and returns it; it lives until the next call
// replaces it.
inline testing::FakeMachine* UseFakeMachine(QTemporaryDir& folder, std::uint32_t major = 5,
                                            std::uint32_t minor = 1,
                                            std::uint32_t platformId = 2) {
    auto machine = std::make_unique<testing::FakeMachine>(folder.path().toStdString());
    machine->versionFacts.major = major;
    machine->versionFacts.minor = minor;
    machine->versionFacts.platformId = platformId;
    // Every Windows 9x PC has its 16-bit USER module, which the memory
    // category asks for the free resources.
    if (platformId == 1) {
        for (auto& r : machine->resources) r = 80;
        machine->exports["kernel32.dll"] = {"LoadLibrary16", "FreeLibrary16", "GetProcAddress16", "QT_Thunk"};
        machine->ordinals["kernel32.dll"] = {{35, "LoadLibrary16"}, {36, "FreeLibrary16"}, {37, "GetProcAddress16"}};
    }
    auto* raw = machine.get();
    platform::SetActiveMachine(std::move(machine));
    // The platform flags and libraries, as the program sets them up before
    // its window: the list builder's engine steps depend on them.
    platform::PlatformStartup();
    return raw;
}

// The settings file as the fake machine stores it ("C:\WINDOWS\Norvo.INI").
inline std::string SettingsPath(const QTemporaryDir& folder) {
    return folder.path().toStdString() + "/C/WINDOWS/Norvo.INI";
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::unique_ptr<app::TTorvex> StartWindow(const app::StringTable& table) {
    platform::SetResourceStrings(table);
    return std::make_unique<app::TTorvex>();
}

}  // namespace torvex::guitest
