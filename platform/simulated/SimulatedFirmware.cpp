#include "platform/simulated/SimulatedFirmware.h"

#include <functional>

#include "platform/firmware/SmbiosRelocate.h"
#include "platform/firmware/SmbiosWriter.h"
#include "platform/machine/FileText.h"

namespace torvex::platform {

namespace fs = std::filesystem;

namespace {

// A real PC's tables replayed: a `dmidecode --dump-bin` file, or a folder
// holding the kernel's pair smbios_entry_point and DMI, moved into the
// segment as the live host's are.
std::vector<std::uint8_t> ReplayedTables(const nlohmann::json& tables, const std::vector<fs::path>& folders,
                                         const std::function<void(const std::string&)>& fail) {
    if (!tables.is_string() || tables.get<std::string>().empty())
        fail("a dmidecode --dump-bin file, or a folder with smbios_entry_point and DMI, is expected");
    fs::path name = tables.get<std::string>();
    // The nearest machine that has it, as for the processor dump.
    fs::path found;
    std::error_code ec;
    for (const auto& folder : folders) {
        fs::path candidate = name.is_absolute() ? name : folder / name;
        if (fs::exists(candidate, ec)) {
            found = candidate;
            break;
        }
    }
    if (found.empty()) fail(name.string() + " is not in the machine folder");

    constexpr std::size_t kCap = 1u << 20;   // the tables of any PC are far smaller
    std::string why;
    std::optional<std::vector<std::uint8_t>> image;
    if (fs::is_directory(found, ec)) {
        FileRead entry = ReadWholeFile(found / "smbios_entry_point", kCap);
        if (!entry) fail(entry.reason);
        FileRead table = ReadWholeFile(found / "DMI", kCap);
        if (!table) fail(table.reason);
        image = firmware::RelocateTables(std::vector<std::uint8_t>(entry.text.begin(), entry.text.end()),
                                         std::vector<std::uint8_t>(table.text.begin(), table.text.end()));
        if (!image) why = (found / "smbios_entry_point").string() + ": no SMBIOS entry point";
    } else {
        FileRead dump = ReadWholeFile(found, kCap);
        if (!dump) fail(dump.reason);
        image = firmware::RelocateDumpFile(std::vector<std::uint8_t>(dump.text.begin(), dump.text.end()), why);
        if (!image) why = found.string() + ": " + why;
    }
    if (!image) fail(why);
    Trace("firmware", "tables replayed from " + found.string());
    return *image;
}

}  // namespace

std::optional<FirmwareSegment> SimulatedFirmware(const nlohmann::json& facts, const std::string& source,
                                                 const std::vector<fs::path>& foldersIn) {
    if (!facts.is_object() || !facts.contains("firmware")) return std::nullopt;
    const nlohmann::json& f = facts.at("firmware");
    auto fail = [&](const std::string& where, const std::string& what) {
        throw MachineError(source, 0, "/firmware" + where + ": " + what);
    };
    if (!f.is_object()) fail("", "an object is expected");
    for (const auto& [key, value] : f.items())
        if (key != "access" && key != "smbios" && key != "tables" && key != "viewMapFails" &&
            key != "dumpProgramHangs")
            fail("/" + key, "unknown field; known are access, smbios, tables, viewMapFails, dumpProgramHangs");

    FirmwareSegment segment;
    // Who may read the segment follows from the system: Windows 9x maps it
    // into every process, NT opens the physical-memory section to
    // administrators only; everyone else is left with the DOS box.
    bool nineX = facts.contains("version") && facts["version"].is_object() &&
                 facts["version"].value("platformId", 0) == 1;
    bool admin = !facts.contains("userIsAdmin") || facts["userIsAdmin"] != false;
    segment.access = nineX ? FirmwareSegment::Access::direct
                           : admin ? FirmwareSegment::Access::section : FirmwareSegment::Access::dumpProgram;
    if (f.contains("access")) {
        const nlohmann::json& a = f.at("access");
        if (a == "direct") segment.access = FirmwareSegment::Access::direct;
        else if (a == "section") segment.access = FirmwareSegment::Access::section;
        else if (a == "dumpProgram") segment.access = FirmwareSegment::Access::dumpProgram;
        else fail("/access", "expected \"direct\", \"section\" or \"dumpProgram\"");
    }
    for (const char* flag : {"viewMapFails", "dumpProgramHangs"})
        if (f.contains(flag) && !f.at(flag).is_boolean()) fail(std::string("/") + flag, "true or false is expected");
    segment.viewMapFails = f.value("viewMapFails", false);
    segment.dumpProgramHangs = f.value("dumpProgramHangs", false);

    // Name the member from the machine file's top.
    auto writing = [&](const std::function<void()>& write) {
        try {
            write();
        } catch (const MachineError& e) {
            std::string what = e.what();
            std::string prefix = source + ": ";
            if (what.rfind(prefix, 0) == 0) what = what.substr(prefix.size());
            throw MachineError(source, 0, "/firmware/smbios" + what);
        }
    };

    if (f.contains("tables")) {
        std::vector<fs::path> folders = foldersIn;
        if (folders.empty()) folders.push_back(fs::path(source).parent_path());
        segment.image = ReplayedTables(f.at("tables"), folders,
                                       [&](const std::string& what) { fail("/tables", what); });
        // The real tables take the place of a description's (a variant of a
        // PC inherits its base's); the texts at fixed places are still
        // written beside them.
        if (f.contains("smbios")) {
            const nlohmann::json& d = f.at("smbios");
            if (!d.is_object()) fail("/smbios", "an object is expected");
            if (d.size() > (d.contains("texts") ? 1u : 0u))
                Trace("firmware", source + ": /firmware/smbios: the tables described there give way to /firmware/tables");
            std::size_t length = std::size_t(segment.image[0x16] | segment.image[0x17] << 8);
            writing([&] { firmware::PlaceTexts(segment.image, d, 0, 0x20 + length, source); });
        }
    } else if (f.contains("smbios")) {
        writing([&] { segment.image = firmware::WriteSegmentImage(f.at("smbios"), source); });
    } else {
        segment.image.assign(firmware::kSegmentSize, 0);
    }
    return segment;
}

}  // namespace torvex::platform
