// The one way every machine reads files and takes text apart.
//
// Both machines read many small files they did not write: /proc and /sys on
// the host, registry exports, facts files and dumps in a machine folder.
// Each read says why it failed, so that an empty fact can be explained (see
// Trace below) instead of silently coming out empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvex::platform {

// Why a read gave no text.
enum class ReadFailure { none, missing, permissionDenied, notAFile, tooLarge, ioError };

// The words a trace line uses for a failure: "missing", "permission denied" ...
const char* ReadFailureText(ReadFailure failure);

struct FileRead {
    std::string text;
    ReadFailure failure = ReadFailure::none;
    std::string reason;   // "" on success, else e.g. "/proc/x: permission denied"

    bool ok() const { return failure == ReadFailure::none; }
    explicit operator bool() const { return ok(); }
};

// Files larger than this are refused unless a caller names its own cap: no
// file a machine is described by comes near it, and a hostile one cannot
// make the program allocate without bound.
constexpr std::size_t kDefaultReadCap = 64u << 20;

// Reads a whole file. /proc and /sys files report a size of 0, so the file is
// read to its end rather than by its reported size; a file that grows past
// the cap fails with tooLarge.
FileRead ReadWholeFile(const std::filesystem::path& file, std::size_t cap = kDefaultReadCap);

// The text, or nullopt; the failure goes to the trace under `who`.
std::optional<std::string> ReadFileTraced(const std::filesystem::path& file, std::string_view who,
                                          std::size_t cap = kDefaultReadCap);

// Calls `line` for every line (LF or CR LF ends; the end is not part of the
// line), numbered from 1. A last line without an end counts; an empty text
// has no lines. Returning false from `line` stops the walk.
void ForEachLine(std::string_view text,
                 const std::function<bool(std::string_view line, int number)>& line);
std::vector<std::string_view> SplitLines(std::string_view text);

// Splits on every occurrence of `separator`; "a,,b" gives "a", "", "b".
std::vector<std::string_view> Split(std::string_view text, char separator);

// Blanks and control characters (<= ' ') off both ends.
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);

// One "key SEP value" pair of a /proc, uevent or os-release style file.
struct KeyValue {
    std::string key, value;
    int line = 0;
};

// Parses a `key=value` (uevent, os-release) or `key: value` (/proc/cpuinfo,
// /proc/meminfo) file: keys and values trimmed, lines without the separator
// and lines starting with '#' skipped. Values keep any further separators.
// With unquote, a value in double or single quotes loses them and
// os-release's backslash escapes (\" \\ \$ \`) are undone.
std::vector<KeyValue> ParseKeyValues(std::string_view text, char separator, bool unquote = false);
// The same as a map: the first occurrence of a key wins.
std::map<std::string, std::string> KeyValueMap(std::string_view text, char separator,
                                               bool unquote = false);

// UTF-8 <-> UTF-16 and the ANSI code pages. Invalid input becomes U+FFFD
// (decoding) or '?' (encoding), never a crash.
void AppendUtf8(std::string& out, std::uint32_t codePoint);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// Decodes the next code point at `pos` and moves `pos` past it; an invalid
// sequence gives U+FFFD and moves one byte.
std::uint32_t NextUtf8(std::string_view utf8, std::size_t& pos);
// Whether a text is well-formed UTF-8 (lead and continuation bytes, no
// sequence cut off at the end).
bool IsValidUtf8(std::string_view utf8);
// The number of characters (code points) of a UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);

// Code page texts: 1252 (Western European) and 65001 (UTF-8) are known;
// any other code page is treated as 1252, the only one the machines use.
std::string CodePageToUtf8(std::string_view bytes, unsigned codePage);
std::string Utf8ToCodePage(std::string_view utf8, unsigned codePage);
// Strict form: nullopt when a character has no byte in the code page.
std::optional<std::string> Utf8ToCodePageExact(std::string_view utf8, unsigned codePage);

// --- why a fact is empty
//
// With TORVEX_TRACE=1 in the environment, readers write one line each to
// standard error saying what they tried and why a fact came out empty or was
// rejected. Off, a trace call costs one test of a cached flag.
bool TraceEnabled();
// Writes "torvex: <who>: <what>" when tracing is on.
void Trace(std::string_view who, std::string_view what);
// Tests use these to capture the lines instead of standard error.
void SetTraceSink(std::function<void(const std::string& line)> sink);
void SetTraceEnabled(bool on);

}  // namespace torvex::platform
