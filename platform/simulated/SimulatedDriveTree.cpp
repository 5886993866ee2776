#include "platform/simulated/SimulatedDriveTree.h"

#include <cctype>
#include <string>

#include "platform/machine/Machine.h"

namespace torvex::platform {

namespace fs = std::filesystem;

namespace {

bool Inside(const fs::path& path, const fs::path& folder) {
    auto p = path.begin(), f = folder.begin();
    for (; f != folder.end(); ++f, ++p)
        if (p == path.end() || *p != *f) return false;
    return true;
}

}  // namespace

void CheckDriveTree(const std::vector<fs::path>& folders) {
    std::vector<fs::path> allowed;
    for (const auto& folder : folders) {
        std::error_code ec;
        fs::path canonical = fs::weakly_canonical(folder, ec);
        allowed.push_back(ec ? folder.lexically_normal() : canonical);
    }
    auto check = [&](const fs::path& link) {
        std::error_code ec;
        fs::path target = fs::weakly_canonical(link, ec);
        if (ec) throw MachineError(link.string(), 0, "a link that cannot be followed: " + ec.message());
        for (const auto& folder : allowed)
            if (Inside(target, folder)) return;
        throw MachineError(link.string(), 0, "a link that leads out of the machine folder, to " + target.string());
    };
    for (const auto& folder : folders) {
        std::error_code ec;
        for (fs::directory_iterator drive(folder, ec), end; !ec && drive != end; drive.increment(ec)) {
            std::string name = drive->path().filename().string();
            if (name.size() != 1 || !std::isalpha(static_cast<unsigned char>(name[0]))) continue;
            std::error_code sec;
            if (drive->is_symlink(sec)) check(drive->path());
            if (!drive->is_directory(sec)) continue;
            std::error_code wec;
            for (fs::recursive_directory_iterator it(drive->path(), fs::directory_options::none, wec), stop;
                 !wec && it != stop; it.increment(wec))
                if (it->is_symlink(sec)) check(it->path());
        }
    }
}

}  // namespace torvex::platform
