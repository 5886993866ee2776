// The programs started automatically, from six sources: the registry's Run
// and RunOnce keys, the user's and the common Startup folders, and the
// "load" and "run" lines of WIN.INI.
#pragma once

#include <cstdint>
#include <string>

#include "platform/classes/Classes.h"
#include "platform/win32/Win32.h"

namespace torvex::engine {

// The sources by number.
enum TStartupSource {
    ssHKCURun = 0,
    ssHKLMRun = 1,
    ssRunOnce = 2,
    ssUserStartup = 3,
    ssCommonStartup = 4,
    ssWinIni = 5,
};

class TStartup : public TPersistent {
public:
    TStartup();
    void GetInfo();
    void Report(TStringList& lines) const;

    // The number of entries of all six sources.
    std::int32_t RunsCount() const;
    // For a source 0-5; a source outside that range has no entries and
    // gives "" for every index.
    int Count(int source) const;
    std::string Name(int source, int index) const;
    // The entry's value text: its command line.
    std::string Value(int source, int index) const;

protected:
    void PublishProperties(TPublished& published) const override;

private:
    static constexpr int kSources = 6;
    void Append(int source, const std::string& name, const std::string& value);
    void ReadRegistry(win32::HKEY root, const char* path, int source);
    void ReadFolder(int csidl, int source);
    void ReadWinIni();
    TStringList FRuns[kSources];
};

}  // namespace torvex::engine
