#include "platform/simulated/RegFile.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"

namespace torvex::platform {

namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";


std::string_view FirstLine(std::string_view text) {
    std::size_t eol = text.find('\n');
    return text.substr(0, eol);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Blank(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t') return false;
    return true;
}

class Parser {
public:
    Parser(std::string text, std::string fileName, Registry& registry)
        : fileName_(std::move(fileName)), registry_(registry) {
        ForEachLine(text, [&](std::string_view line, int) {
            lines_.emplace_back(line);
            return true;
        });
    }

    void run() {
        std::size_t i = 0;
        while (i < lines_.size() && Trim(lines_[i]).empty()) ++i;
        if (i == lines_.size()) fail(1, "empty file; a registry file begins with \"REGEDIT4\" or \"" + std::string(kHeader5) + "\"");
        std::string header = Trim(lines_[i]);
        if (header != kHeader4 && header != kHeader5)
            fail(int(i) + 1, "not a registry file: the first line must be \"REGEDIT4\" or \"" + std::string(kHeader5) + "\"");
        wide_ = header == kHeader5;
        for (line_ = i + 1; line_ < lines_.size(); ++line_) {
            std::string_view line = lines_[line_];
            std::size_t start = 0;
            while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
            line.remove_prefix(start);
            while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
            if (line.empty() || line.front() == ';') continue;
            if (line.front() == '[')
                keyLine(line);
            else if (line.front() == '"' || line.front() == '@')
                valueLine(line);
            else
                fail("a line must be a key in [brackets], a value (\"name\"= or @=) or a comment (;)");
        }
    }

private:
    [[noreturn]] void fail(int line, const std::string& why) const { throw MachineError(fileName_, line, why); }
    [[noreturn]] void fail(const std::string& why) const { fail(int(line_) + 1, why); }

    // Sets a value of the current key; while tracing, notes the file it
    // came from, so that a read can name it.
    void set(RegValue value) {
        if (TraceEnabled()) registry_.noteSource(current_, value.name, fileName_);
        current_->setValue(std::move(value));
    }

    void keyLine(std::string_view line) {
        std::size_t close = line.rfind(']');
        if (close == std::string_view::npos || close != line.size() - 1) fail("a key line must end with ']'");
        std::string_view name = line.substr(1, close - 1);
        bool remove = !name.empty() && name.front() == '-';
        if (remove) name.remove_prefix(1);
        std::size_t slash = name.find('\\');
        std::string_view rootName = name.substr(0, slash);
        std::string_view path = slash == std::string_view::npos ? std::string_view{} : name.substr(slash + 1);
        RegRoot root;
        if (!ParseRegRoot(rootName, root)) fail("unknown root key \"" + std::string(rootName) + "\"");
        int depth = 0;   // components, as the key's path skips empty ones
        for (std::size_t i = 0; i < path.size(); ++i) depth += path[i] != '\\' && (i == 0 || path[i - 1] == '\\');
        if (depth > kMaxKeyDepth)
            fail("the key is nested " + std::to_string(depth) + " levels deep; Windows allows at most " +
                 std::to_string(kMaxKeyDepth));
        RegKey& top = registry_.resolvedRoot(root);
        if (!remove) {
            current_ = &top.ensure(path);
            return;
        }
        current_ = nullptr;
        while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
        if (path.find_first_not_of('\\') == std::string_view::npos) fail("a root key cannot be deleted");
        std::size_t last = path.rfind('\\');
        RegKey* parent = last == std::string_view::npos ? &top : top.find(path.substr(0, last));
        if (parent) parent->removeChild(last == std::string_view::npos ? path : path.substr(last + 1));
    }

    // A quoted text starting at s[pos] == '"'; returns it unescaped and
    // moves pos past the closing quote. regedit escapes only \ and "; any
    // other backslash is kept as it stands, as regedit reads it.
    std::string quoted(std::string_view s, std::size_t& pos) {
        std::string out;
        for (++pos; pos < s.size(); ++pos) {
            char c = s[pos];
            if (c == '"') {
                ++pos;
                return out;
            }
            if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) c = s[++pos];
            out += c;
        }
        fail("unterminated quoted text");
    }

    void valueLine(std::string_view line) {
        if (!current_) fail("a value must follow a key line");
        std::size_t pos = 0;
        std::string name;
        if (line.front() == '@')
            pos = 1;
        else
            name = quoted(line, pos);
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size() || line[pos] != '=') fail("expected '=' after the value name");
        ++pos;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        std::string_view data = line.substr(pos);

        if (data == "-") {
            current_->removeValue(name);
            return;
        }
        if (!data.empty() && data.front() == '"') {
            std::size_t p = 0;
            std::string text = quoted(data, p);
            if (!Blank(data.substr(p))) fail("unexpected text after the closing quote");
            set(RegValue::String(std::move(name), text));
            return;
        }
        if (data.size() >= 6 && EqualsNoCase(data.substr(0, 6), "dword:")) {
            std::string_view digits = data.substr(6);
            if (digits.empty() || digits.size() > 8) fail("dword: needs 1 to 8 hex digits");
            std::uint32_t v = 0;
            for (char c : digits) {
                int d = HexDigit(c);
                if (d < 0) fail("dword: needs 1 to 8 hex digits");
                v = (v << 4) | std::uint32_t(d);
            }
            set(RegValue::Dword(std::move(name), v));
            return;
        }
        if (data.size() >= 3 && EqualsNoCase(data.substr(0, 3), "hex")) {
            hexValue(std::move(name), data.substr(3));
            return;
        }
        fail("unknown value data; expected \"text\", dword:, hex:, hex(N): or -");
    }

    void hexValue(std::string name, std::string_view rest) {
        std::uint32_t type = 3;
        if (!rest.empty() && rest.front() == '(') {
            std::size_t close = rest.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9) fail("hex(N) needs a hex type number");
            type = 0;
            for (char c : rest.substr(1, close - 1)) {
                int d = HexDigit(c);
                if (d < 0) fail("hex(N) needs a hex type number");
                type = (type << 4) | std::uint32_t(d);
            }
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != ':') fail("expected ':' after hex");
        rest.remove_prefix(1);

        std::vector<std::uint8_t> bytes;
        for (;;) {
            std::string_view seg = rest;
            while (!seg.empty() && (seg.back() == ' ' || seg.back() == '\t')) seg.remove_suffix(1);
            bool more = !seg.empty() && seg.back() == '\\';
            if (more) seg.remove_suffix(1);
            std::size_t pos = 0;
            while (pos <= seg.size()) {
                std::size_t comma = seg.find(',', pos);
                bool last = comma == std::string_view::npos;
                std::string token = Trim(seg.substr(pos, last ? std::string_view::npos : comma - pos));
                if (token.empty()) {
                    // Allowed only last: a comma before the line break, or no bytes.
                    if (!last) fail("empty byte between commas");
                } else {
                    int hi = HexDigit(token[0]);
                    int lo = token.size() == 2 ? HexDigit(token[1]) : 0;
                    if (token.size() > 2 || hi < 0 || lo < 0) fail("\"" + token + "\" is not a hex byte");
                    bytes.push_back(std::uint8_t(token.size() == 2 ? hi * 16 + lo : hi));
                }
                if (last) break;
                pos = comma + 1;
            }
            if (!more) break;
            if (line_ + 1 >= lines_.size() || Trim(lines_[line_ + 1]).empty())
                fail("the value continues with '\\' but no bytes follow on the next line");
            ++line_;
            rest = lines_[line_];
            while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        }

        RegValue v;
        v.name = std::move(name);
        v.type = type;
        if (type == 1 || type == 2 || type == 7) {
            // Texts stored as bytes: UTF-16LE in a version 5 file, ANSI in a
            // REGEDIT4 one. The registry holds them in UTF-8.
            std::string text = wide_ ? Utf16LeToUtf8(bytes.data(), bytes.size())
                                     : Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
            if (text.empty() || text.back() != '\0') text.push_back('\0');
            if (type == 7 && text.size() > 1 && text[text.size() - 2] != '\0') text.push_back('\0');
            v.data.assign(text.begin(), text.end());
        } else {
            v.data = std::move(bytes);
        }
        set(std::move(v));
    }

    bool wide_ = false;
    std::string fileName_;
    Registry& registry_;
    std::vector<std::string> lines_;
    std::size_t line_ = 0;
    RegKey* current_ = nullptr;
};

}  // namespace

void ApplyRegFile(std::string_view bytes, const std::string& fileName, Registry& registry) {
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text = Utf16LeToUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, bytes.size() - 2);
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        throw MachineError(fileName, 1, "UTF-16 big-endian text; regedit writes UTF-16LE");
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        text = std::string(bytes.substr(3));
    } else if (Trim(FirstLine(bytes)) == kHeader4 || !IsValidUtf8(bytes)) {
        text = Cp1252ToUtf8(bytes);
    } else {
        text = std::string(bytes);
    }
    Parser(std::move(text), fileName, registry).run();
}

void LoadRegFile(const std::filesystem::path& path, Registry& registry) {
    FileRead read = ReadWholeFile(path);
    if (!read) throw MachineError(path.string(), 0, std::string("cannot read the registry file: ") +
                                                        ReadFailureText(read.failure));
    ApplyRegFile(read.text, path.string(), registry);
}

}  // namespace torvex::platform
