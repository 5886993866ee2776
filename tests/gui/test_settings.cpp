// The remembered toggles in "Norvo.INI": read at start, written only by the
// exit button, everything else in the file left as it was.
#include <QDir>
#include <QTemporaryDir>

#include <filesystem>

#include "tests/gui/GuiSupport.h"

using namespace torvex;
using namespace torvex::guitest;

namespace {

std::array<bool, 3> Toggles(const app::TTorvex& window) {
    return {window.Programmer->Pressed(), window.Partitioner->Pressed(),
            window.Detaljer->Pressed()};
}

// Presses Detaljer and leaves through the exit button.
void PressDetaljerAndExit(app::TTorvex& window) {
    QTest::mouseClick(window.Detaljer, Qt::LeftButton);
    QTest::mouseClick(window.Afslut, Qt::LeftButton);
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(folder.isValid()); }
    void cleanup() { std::filesystem::remove(SettingsPath(folder)); }

    void withoutTheFileAllTogglesStartReleased() {
        UseFakeMachine(folder);
        auto window = StartWindow(app::NorwegianStrings());
        QCOMPARE(Toggles(*window), (std::array<bool, 3>{false, false, false}));
        // Starting reads only: the file is not created.
        QVERIFY(!std::filesystem::exists(SettingsPath(folder)));
    }

    void valuesAreIntegersNonZeroMeaningPressed_data() {
        QTest::addColumn<QString>("programmer");
        QTest::addColumn<QString>("partitioner");
        QTest::addColumn<QString>("detaljer");
        QTest::addColumn<int>("pressedMask");
        QTest::newRow("ones and zero") << "1" << "0" << "1" << 0b101;
        QTest::newRow("any non-zero") << "2" << "-1" << "0" << 0b011;
        QTest::newRow("words") << "yes" << "true" << "on" << 0;
        QTest::newRow("trailing text") << "1x" << "1.0" << "0x1" << 0;
        QTest::newRow("empty") << "" << "" << "" << 0;
    }
    void valuesAreIntegersNonZeroMeaningPressed() {
        QFETCH(QString, programmer);
        QFETCH(QString, partitioner);
        QFETCH(QString, detaljer);
        QFETCH(int, pressedMask);
        UseFakeMachine(folder);
        WriteFile(SettingsPath(folder), "[NorvoUtility]\r\nProgrammer=" + programmer.toStdString() +
                                            "\r\nPartitioner=" + partitioner.toStdString() +
                                            "\r\nDetaljer=" + detaljer.toStdString() + "\r\n");
        auto window = StartWindow(app::NorwegianStrings());
        QCOMPARE(Toggles(*window), (std::array<bool, 3>{bool(pressedMask & 1),
                                                         bool(pressedMask & 2),
                                                         bool(pressedMask & 4)}));
    }

    void theExitButtonWritesAndKeepsEverythingElse() {
        UseFakeMachine(folder);
        const std::string before =
            "; kept as it is\r\n[Display]\r\nColors=256\r\n\r\n[NorvoUtility]\r\n"
            "Language=no\r\nProgrammer=1\r\nPartitioner=1\r\nDetaljer=0\r\n\r\n"
            "[Other]\r\nKey = spaced value \r\n";
        WriteFile(SettingsPath(folder), before);
        auto window = StartWindow(app::NorwegianStrings());
        QCOMPARE(Toggles(*window), (std::array<bool, 3>{true, true, false}));
        QTest::mouseClick(window->Partitioner, Qt::LeftButton);
        PressDetaljerAndExit(*window);
        const std::string after = ReadFile(SettingsPath(folder));
        std::string expected = before;
        expected.replace(expected.find("Partitioner=1"), 13, "Partitioner=0");
        expected.replace(expected.find("Detaljer=0"), 10, "Detaljer=1");
        QCOMPARE(after, expected);
    }

    void closingOtherwiseWritesNothing() {
        UseFakeMachine(folder);
        const std::string before = "[NorvoUtility]\r\nProgrammer=0\r\n";
        WriteFile(SettingsPath(folder), before);
        {
            auto window = StartWindow(app::NorwegianStrings());
            window->show();
            QTest::mouseClick(window->Detaljer, Qt::LeftButton);
            QVERIFY(window->close());
        }
        QCOMPARE(ReadFile(SettingsPath(folder)), before);
        auto again = StartWindow(app::NorwegianStrings());
        QVERIFY(!again->Detaljer->Pressed());
    }

    void aSecondStartShowsTheRememberedState() {
        UseFakeMachine(folder);
        {
            auto window = StartWindow(app::NorwegianStrings());
            PressDetaljerAndExit(*window);
        }
        auto window = StartWindow(app::NorwegianStrings());
        QCOMPARE(Toggles(*window), (std::array<bool, 3>{false, false, true}));
        const std::string text = ReadFile(SettingsPath(folder));
        QVERIFY2(text.find("[NorvoUtility]") != std::string::npos, text.c_str());
        QVERIFY(text.find("Programmer=0") != std::string::npos);
        QVERIFY(text.find("Partitioner=0") != std::string::npos);
        QVERIFY(text.find("Detaljer=1") != std::string::npos);
    }

    void onTheHostTheFileLivesInTheUsersFolder() {
        // The test runs with a private XDG_CONFIG_HOME.
        platform::SetActiveMachine(platform::CreateHostMachine());
        platform::Machine& host = platform::ActiveMachine();
        const std::string windowsPath = host.windowsDirectory() + "\\Norvo.INI";
        const auto target = host.writePath(windowsPath);
        QVERIFY(target.has_value());
        std::filesystem::remove(*target);
        {
            auto window = StartWindow(app::NorwegianStrings());
            QCOMPARE(Toggles(*window), (std::array<bool, 3>{false, false, false}));
            PressDetaljerAndExit(*window);
        }
        const char* config = std::getenv("XDG_CONFIG_HOME");
        QVERIFY(config);
        QVERIFY2(target->string().rfind(config, 0) == 0, target->string().c_str());
        QVERIFY(std::filesystem::exists(*target));
        platform::SetActiveMachine(platform::CreateHostMachine());
        auto window = StartWindow(app::NorwegianStrings());
        QCOMPARE(Toggles(*window), (std::array<bool, 3>{false, false, true}));
        std::filesystem::remove(*target);
    }

    void onASimulatedMachineTheFileGoesToItsOverlay() {
        const std::filesystem::path machineFolder =
            std::filesystem::path(TORVEX_SOURCE_DIR) / "machines" / "winxp-pc";
        // A shipped PC is part of the tree: its absence is a failure.
        QVERIFY2(std::filesystem::exists(machineFolder / "machine.json"),
                 "the shipped Windows XP machine is missing from this tree");
        QTemporaryDir overlay;
        const auto listing = [&] {
            std::vector<std::string> names;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(machineFolder))
                names.push_back(entry.path().string() + ":" +
                                std::to_string(entry.is_regular_file() ? entry.file_size() : 0));
            return names;
        };
        const auto machineBefore = listing();
        platform::SetActiveMachine(
            platform::LoadSimulatedMachine(machineFolder, overlay.path().toStdString()));
        {
            auto window = StartWindow(app::NorwegianStrings());
            PressDetaljerAndExit(*window);
        }
        platform::SetActiveMachine(
            platform::LoadSimulatedMachine(machineFolder, overlay.path().toStdString()));
        auto window = StartWindow(app::NorwegianStrings());
        QCOMPARE(Toggles(*window), (std::array<bool, 3>{false, false, true}));
        // The machine's own folder is left untouched.
        QCOMPARE(listing(), machineBefore);
        bool inOverlay = false;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(
                 overlay.path().toStdString()))
            inOverlay = inOverlay || entry.path().filename() == "Norvo.INI";
        QVERIFY(inOverlay);
    }

private:
    QTemporaryDir folder;
};

QTEST_MAIN(SettingsTest)
#include "test_settings.moc"
