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
    auto* raw = machine.get();
    platform::SetActiveMachine(std::move(machine));
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
