// Folder searches over the active machine.
#include "platform/win32/Win32Find.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"

namespace win32 {

using torvex::platform::ActiveMachine;

namespace {

struct Match {
    std::string name;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    std::uint64_t size = 0;
};

struct Search {
    std::vector<Match> matches;
    std::size_t next = 0;
};

std::mutex searchesMutex;
std::map<HANDLE, std::unique_ptr<Search>> searches;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Windows' wildcard match of one name, without letter case.
bool Matches(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && Lower(*pattern) == Lower(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    // "*.*" matches names without a dot too.
    return *pattern == '\0' || std::strcmp(pattern, ".") == 0;
}

void Fill(const Match& m, WIN32_FIND_DATAA* data) {
    std::memset(data, 0, sizeof *data);
    data->dwFileAttributes = m.attributes;
    data->nFileSizeHigh = static_cast<DWORD>(m.size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(m.size & 0xFFFFFFFFu);
    std::size_t n = std::min<std::size_t>(m.name.size(), MAX_PATH - 1);
    std::memcpy(data->cFileName, m.name.data(), n);
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* data) {
    if (!fileName || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = fileName;
    auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string folder = path.substr(0, slash);
    std::string pattern = path.substr(slash + 1);
    auto& m = ActiveMachine();
    auto search = std::make_unique<Search>();
    auto host = m.readPath(folder.size() == 2 ? folder + "\\" : folder);
    std::error_code ec;
    bool folderExists = host && std::filesystem::is_directory(*host, ec);
    if (folderExists) {
        for (const auto& entry : std::filesystem::directory_iterator(*host, ec)) {
            std::string name = entry.path().filename().string();
            if (!Matches(pattern.c_str(), name.c_str())) continue;
            Match match{name};
            if (entry.is_directory(ec))
                match.attributes = FILE_ATTRIBUTE_DIRECTORY;
            else
                match.size = entry.file_size(ec);
            search->matches.push_back(std::move(match));
        }
        // Directory order is the file system's; the FAT and NTFS folders of
        // Windows answer in name order.
        std::sort(search->matches.begin(), search->matches.end(), [](const Match& a, const Match& b) {
            return torvex::platform::ToLowerAscii(a.name) < torvex::platform::ToLowerAscii(b.name);
        });
    }
    auto shown = m.folderShortcuts(folder);
    for (const auto& s : shown) {
        if (!Matches(pattern.c_str(), s.fileName.c_str())) continue;
        bool stored = std::any_of(search->matches.begin(), search->matches.end(), [&](const Match& x) {
            return torvex::platform::EqualsNoCase(x.name, s.fileName);
        });
        if (!stored) search->matches.push_back({s.fileName});
    }
    if (search->matches.empty()) {
        SetLastError(folderExists || !shown.empty() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Fill(search->matches[0], data);
    search->next = 1;
    std::lock_guard lock(searchesMutex);
    HANDLE h = search.get();
    searches.emplace(h, std::move(search));
    return h;
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data) {
    std::lock_guard lock(searchesMutex);
    auto it = searches.find(find);
    if (it == searches.end() || !data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Search& s = *it->second;
    if (s.next >= s.matches.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    Fill(s.matches[s.next++], data);
    return TRUE;
}

BOOL FindClose(HANDLE find) {
    std::lock_guard lock(searchesMutex);
    if (!searches.erase(find)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace win32
