// The profile (INI) reader and writer, round trip: every section and key the
// reader lists is read; then a key is written and must read back as written,
// and every other key must keep its value.
#include <cstdint>
#include <cstring>
#include <strings.h>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/FuzzTree.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32.h"
#include "tests/FakeMachine.h"

namespace {

std::vector<std::string> List(const char* section, const char* file) {
    std::vector<char> buffer(65536);
    win32::DWORD n = win32::GetPrivateProfileStringA(section, nullptr, "", buffer.data(), win32::DWORD(buffer.size()), file);
    std::vector<std::string> items;
    for (std::size_t at = 0; at < n && buffer[at];) {
        items.emplace_back(buffer.data() + at);
        at += items.back().size() + 1;
    }
    return items;
}

std::string Get(const char* section, const char* key, const char* file) {
    std::vector<char> buffer(65536);
    win32::GetPrivateProfileStringA(section, key, "\x01", buffer.data(), win32::DWORD(buffer.size()), file);
    return buffer.data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    static std::filesystem::path folder = [] {
        auto f = torvex::fuzz::FreshRoot("profile");
        torvex::platform::SetActiveMachine(std::make_unique<torvex::testing::FakeMachine>(f));
        return f;
    }();
    torvex::fuzz::WriteFile(folder / "C" / "WINDOWS" / "FUZZ.INI",
                            std::string_view(reinterpret_cast<const char*>(data), size));
    const char* file = "FUZZ.INI";
    std::map<std::pair<std::string, std::string>, std::string> before;
    auto sections = List(nullptr, file);
    for (const auto& s : sections) {
        for (const auto& k : List(s.c_str(), file)) before[{s, k}] = Get(s.c_str(), k.c_str(), file);
        win32::GetPrivateProfileIntA(s.c_str(), "x", 7, file);
    }
    const char* section = sections.empty() ? "Fuzz" : sections.front().c_str();
    std::string keptSection = section;
    if (!win32::WritePrivateProfileStringA(keptSection.c_str(), "FuzzKey", "written value", file)) return 0;
    if (Get(keptSection.c_str(), "FuzzKey", file) != "written value") __builtin_trap();
    for (const auto& [where, value] : before) {
        if (strcasecmp(where.second.c_str(), "FuzzKey") == 0 || Get(where.first.c_str(), where.second.c_str(), file) == value) continue;
        // A key listed twice in a section (or in two sections of one name)
        // answers its first value; only a real change of another key counts.
        std::fprintf(stderr, "[%s] %s changed from \"%s\" to \"%s\"\n", where.first.c_str(), where.second.c_str(),
                     value.c_str(), Get(where.first.c_str(), where.second.c_str(), file).c_str());
        __builtin_trap();
    }
    return 0;
}
