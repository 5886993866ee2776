#include "platform/simulated/SimulatedFirmware.h"

#include "platform/firmware/SmbiosWriter.h"

namespace torvex::platform {

std::optional<FirmwareSegment> SimulatedFirmware(const nlohmann::json& facts, const std::string& source) {
    if (!facts.is_object() || !facts.contains("firmware")) return std::nullopt;
    const nlohmann::json& f = facts.at("firmware");
    auto fail = [&](const std::string& where, const std::string& what) {
        throw MachineError(source, 0, "/firmware" + where + ": " + what);
    };
    if (!f.is_object()) fail("", "an object is expected");
    for (const auto& [key, value] : f.items())
        if (key != "access" && key != "smbios" && key != "viewMapFails" && key != "dumpProgramHangs")
            fail("/" + key, "unknown field; known are access, smbios, viewMapFails, dumpProgramHangs");

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

    if (f.contains("smbios")) {
        try {
            segment.image = firmware::WriteSegmentImage(f.at("smbios"), source);
        } catch (const MachineError& e) {
            // Name the member from the machine file's top.
            std::string what = e.what();
            std::string prefix = source + ": ";
            if (what.rfind(prefix, 0) == 0) what = what.substr(prefix.size());
            throw MachineError(source, 0, "/firmware/smbios" + what);
        }
    } else {
        segment.image.assign(firmware::kSegmentSize, 0);
    }
    return segment;
}

}  // namespace torvex::platform
