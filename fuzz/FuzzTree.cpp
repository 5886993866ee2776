#include "fuzz/FuzzTree.h"

#include <cstdlib>
#include <fstream>
#include <utility>
#include <vector>
#include <unistd.h>

namespace torvex::fuzz {
namespace fs = std::filesystem;

namespace {

// A relative path with no way out of the tree, or empty when there is none.
fs::path Inside(std::string_view text) {
    fs::path p(std::string(text.substr(0, 200)));
    if (p.empty() || p.is_absolute()) return {};
    fs::path out;
    for (const auto& part : p) {
        if (part == ".." || part == "." || part.empty()) return {};
        out /= part;
    }
    return out;
}

}  // namespace

fs::path ProcessFolder() {
    // Never destroyed, so that it is still there for the exit handler.
    static const fs::path* folder = [] {
        // The process's own temporary folder goes when the process ends.
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(ProcessFolder(), ec);
        });
        return new fs::path(fs::temp_directory_path() / ("torvex-fuzz-" + std::to_string(getpid())));
    }();
    return *folder;
}

fs::path FreshRoot(const char* name) {
    fs::path root = ProcessFolder() / name;
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(root, ec);
    return root;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

void WriteTree(const fs::path& root, std::string_view input) {
    fs::path current;
    std::string content;
    int files = 0;
    // Links are made after every file is written, so that no file is ever
    // written through a link to somewhere outside the tree.
    std::vector<std::pair<fs::path, fs::path>> links;
    auto flush = [&] {
        if (!current.empty()) WriteFile(root / current, content);
        current.clear();
        content.clear();
    };
    std::size_t start = 0;
    while (start < input.size() && files < 64) {
        std::size_t nl = input.find('\n', start);
        std::string_view line = input.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        start = nl == std::string_view::npos ? input.size() : nl + 1;
        if (line.rfind("=== ", 0) == 0) {
            flush();
            current = Inside(line.substr(4));
            ++files;
        } else if (line.rfind("--> ", 0) == 0) {
            flush();
            std::string_view rest = line.substr(4);
            auto space = rest.find(' ');
            if (space == std::string_view::npos) continue;
            fs::path link = Inside(rest.substr(0, space));
            fs::path target(std::string(rest.substr(space + 1)));
            if (link.empty() || target.empty() || target.is_absolute()) continue;
            links.emplace_back(link, target);
            ++files;
        } else if (!current.empty()) {
            content.append(line);
            content.push_back('\n');
        }
    }
    flush();
    for (const auto& [link, target] : links) {
        std::error_code ec;
        fs::create_directories((root / link).parent_path(), ec);
        fs::create_symlink(target, root / link, ec);
    }
}

}  // namespace torvex::fuzz
