#include <cstdio>

#include "platform/host/DeviceTables.h"
#include "platform/host/HostDevices.h"
#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"

// The kernel's device list as text, so that a machine's devices can be
// recorded once and the rules replayed over it anywhere. The form is the
// one `udevadm info --export-db` writes (a record per device, "P:" first,
// a blank line after), with the lines it lacks added: "U:" subsystem,
// "T:" device type, "M:" name, "V:" driver and "A:" for each sysfs
// attribute the rules read. A dump of udev's database reads as it stands.

namespace torvex::platform::host {

namespace {

// Attributes may hold any byte (an EDID block): backslash, line ends and
// other control bytes are written as escapes.
std::string Escape(const std::string& value) {
    std::string out;
    for (unsigned char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out.push_back(char(c));
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view value) {
    auto hex = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out.push_back(value[i]);
        } else if (i + 1 < value.size() && value[i + 1] == '\\') {
            out.push_back('\\');
            ++i;
        } else if (i + 3 < value.size() && value[i + 1] == 'x' && hex(value[i + 2]) >= 0 && hex(value[i + 3]) >= 0) {
            out.push_back(char(hex(value[i + 2]) << 4 | hex(value[i + 3])));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string_view AfterSys(std::string_view syspath) {
    if (syspath.substr(0, 5) == "/sys/") syspath.remove_prefix(4);
    return syspath;
}

}  // namespace

bool CollectedRecord(const KernelDevice& k) {
    // Terminals on no hardware are many and say nothing.
    if (k.subsystem == "tty" && k.syspath.find("/devices/virtual/") != std::string::npos) return false;
    for (const char* s : CollectedSubsystems())
        if (k.subsystem == s) return true;
    return false;
}

std::string SaveKernelDevices(const std::vector<KernelDevice>& devices) {
    std::string out;
    for (const KernelDevice& k : devices) {
        out += "P: ";
        out += AfterSys(k.syspath);
        out += "\nM: " + k.sysname + "\nU: " + k.subsystem + "\n";
        if (!k.devtype.empty()) out += "T: " + k.devtype + "\n";
        if (!k.driver.empty()) out += "V: " + k.driver + "\n";
        for (const auto& [name, value] : k.properties) out += "E: " + name + "=" + Escape(value) + "\n";
        for (const auto& [name, value] : k.attributes) out += "A: " + name + "=" + Escape(value) + "\n";
        out += "\n";
    }
    return out;
}

std::vector<KernelDevice> ParseKernelDevices(std::string_view text, const std::string& fileName) {
    std::vector<KernelDevice> out;
    std::optional<KernelDevice> current;
    auto finish = [&] {
        if (!current) return;
        KernelDevice& k = *current;
        if (k.subsystem.empty()) k.subsystem = k.property("SUBSYSTEM");
        if (k.devtype.empty()) k.devtype = k.property("DEVTYPE");
        if (k.driver.empty()) k.driver = k.property("DRIVER");
        if (k.sysname.empty()) k.sysname = k.syspath.substr(k.syspath.rfind('/') + 1);
        if (CollectedRecord(k)) out.push_back(std::move(k));
        current.reset();
    };
    ForEachLine(text, [&](std::string_view line, int number) {
        if (TrimView(line).empty()) {
            finish();
            return true;
        }
        if (line[0] == '#') return true;
        if (line.size() < 2 || line[1] != ':')
            throw MachineError(fileName, number, "unparsable: not a \"X: value\" line");
        char kind = line[0];
        std::string_view value = line.substr(2);
        if (!value.empty() && value[0] == ' ') value.remove_prefix(1);
        if (kind == 'P') {
            finish();
            if (value.empty() || value[0] != '/') throw MachineError(fileName, number, "unparsable: device path");
            current.emplace();
            current->syspath = "/sys" + std::string(value);
            return true;
        }
        if (!current) throw MachineError(fileName, number, "unparsable: a line before the first \"P:\"");
        KernelDevice& k = *current;
        switch (kind) {
            case 'M': k.sysname = value; break;
            case 'U': k.subsystem = value; break;
            case 'T': k.devtype = value; break;
            case 'V': k.driver = value; break;
            case 'E':
            case 'A': {
                std::size_t eq = value.find('=');
                if (eq == std::string_view::npos || eq == 0)
                    throw MachineError(fileName, number, "unparsable: no name=value");
                std::string name(value.substr(0, eq));
                if (kind == 'E') {
                    k.properties.emplace(name, std::string(value.substr(eq + 1)));
                } else {
                    auto v = Unescape(value.substr(eq + 1));
                    if (!v) throw MachineError(fileName, number, "unparsable: bad escape in attribute " + name);
                    k.attributes.emplace(name, std::move(*v));
                }
                break;
            }
            default: break;   // device node, links, priorities, tags: not read
        }
        return true;
    });
    finish();
    return out;
}

std::vector<KernelDevice> LoadKernelDevices(const std::filesystem::path& file) {
    FileRead read = ReadWholeFile(file);
    if (!read) throw MachineError(file.string(), 0, ReadFailureText(read.failure));
    return ParseKernelDevices(read.text, file.string());
}

}  // namespace torvex::platform::host
