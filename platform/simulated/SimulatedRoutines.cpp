// The simulated machine's dial-up connections and drive space, from its
// facts (see machines/README.md, "Dial-up and drive space").
#include <cctype>

#include "platform/simulated/SimulatedMachine.h"

namespace torvex::platform {

namespace {

std::uint64_t Number(const nlohmann::json& object, const char* key, const std::string& where) {
    auto it = object.find(key);
    if (it == object.end()) return 0;
    if (!it->is_number_unsigned())
        throw MachineError(where, 0, std::string("\"") + key + "\" must be a whole number of at least 0");
    return it->get<std::uint64_t>();
}

}  // namespace

std::optional<std::uint32_t> SimulatedMachine::dialUpConnections() {
    auto it = facts_.find("dialUpConnections");
    if (it == facts_.end()) return std::nullopt;
    if (!it->is_number_unsigned() || it->get<std::uint64_t>() > 0xFFFFFFFFull)
        throw MachineError((folder() / "machine.json").string(), 0,
                           "\"dialUpConnections\" must be a whole number of at least 0");
    return static_cast<std::uint32_t>(it->get<std::uint64_t>());
}

std::optional<DiskSpace> SimulatedMachine::diskFreeSpace(char letter) {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    std::string where = (folder() / "machine.json").string() + ": diskSpace." + std::string(1, upper);
    auto all = facts_.find("diskSpace");
    nlohmann::json::const_iterator drive;
    bool listed = all != facts_.end() && all->is_object() && (drive = all->find(std::string(1, upper))) != all->end();
    if (!listed) {
        // Drives added with their volume facts carry their figures there.
        auto drives = facts_.find("drives");
        if (drives == facts_.end() || !drives->is_object()) return std::nullopt;
        auto d = drives->find(std::string(1, upper));
        if (d == drives->end() || !d->is_object()) return std::nullopt;
        drive = d->find("space");
        if (drive == d->end()) return std::nullopt;
        where = (folder() / "machine.json").string() + ": drives." + std::string(1, upper) + ".space";
    }
    // A drive listed as null has no medium in it.
    if (drive->is_null()) return std::nullopt;
    if (!drive->is_object()) throw MachineError(where, 0, "must be an object or null");
    DiskSpace d;
    d.sectorsPerCluster = static_cast<std::uint32_t>(Number(*drive, "sectorsPerCluster", where));
    d.bytesPerSector = static_cast<std::uint32_t>(Number(*drive, "bytesPerSector", where));
    std::uint64_t total = Number(*drive, "totalClusters", where);
    std::uint64_t free = Number(*drive, "freeClusters", where);
    if (d.sectorsPerCluster == 0 || d.bytesPerSector == 0 || free > total || total > 0xFFFFFFFFull)
        throw MachineError(where, 0, "needs sectorsPerCluster, bytesPerSector, totalClusters >= freeClusters");
    d.totalClusters = static_cast<std::uint32_t>(total);
    d.freeClusters = static_cast<std::uint32_t>(free);
    std::uint64_t cluster = static_cast<std::uint64_t>(d.sectorsPerCluster) * d.bytesPerSector;
    d.totalBytes = total * cluster;
    d.totalFreeBytes = d.freeBytesAvailable = free * cluster;
    return d;
}

}  // namespace torvex::platform
