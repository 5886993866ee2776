#include "platform/host/HostVolume.h"

#include <unistd.h>

#include <charconv>
#include <vector>

#include "platform/machine/FileText.h"

namespace torvex::platform::host {

namespace fs = std::filesystem;

std::optional<std::uint64_t> IdleTimeFromProcStat(std::string_view text, long ticksPerSecond) {
    std::optional<std::uint64_t> idle;
    if (ticksPerSecond <= 0) return idle;
    ForEachLine(text, [&](std::string_view line, int) {
        if (line.substr(0, 4) != "cpu ") return true;
        // cpu user nice system idle ...
        std::vector<std::string_view> fields;
        for (auto f : Split(TrimView(line.substr(4)), ' '))
            if (!f.empty()) fields.push_back(f);
        std::uint64_t ticks = 0;
        if (fields.size() >= 4) {
            auto [p, ec] = std::from_chars(fields[3].data(), fields[3].data() + fields[3].size(), ticks);
            if (ec == std::errc() && p == fields[3].data() + fields[3].size())
                idle = ticks * (10000000ull / std::uint64_t(ticksPerSecond));
        }
        return false;
    });
    return idle;
}

std::optional<std::uint64_t> HostProcessorIdleTime(const fs::path& root) {
    auto text = ReadFileTraced(root / "proc/stat", "processor load");
    if (!text) return std::nullopt;
    auto idle = IdleTimeFromProcStat(*text, sysconf(_SC_CLK_TCK));
    if (!idle) Trace("processor load", (root / "proc/stat").string() + ": no cpu line");
    return idle;
}

}  // namespace torvex::platform::host
