// The firmware segment through the layer: the Windows 9x first megabyte,
// the NT physical-memory section, and the DOS box in which a 16-bit program
// can still read the segment.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Firmware.h"
#include "platform/win32/Win32Aspi.h"

namespace win32 {
namespace {

namespace fs = std::filesystem;
using torvex::platform::ActiveMachine;
using torvex::platform::EqualsNoCase;
using torvex::platform::FirmwareSegment;

constexpr DWORD kSegmentBase = 0xF0000;
constexpr DWORD kSegmentSize = 0x10000;

struct File {
    std::FILE* stream = nullptr;
    ~File() {
        if (stream) std::fclose(stream);
    }
};

struct Process {
    bool running = false;
    DWORD exitCode = 0;
};

// Handles of the objects this area hands out. Each machine switch leaves
// old handles dangling, as handles of an ended process do.
struct Objects {
    std::mutex mutex;
    std::uintptr_t next = 0x7000;
    std::map<std::uintptr_t, std::shared_ptr<File>> files;
    std::map<std::uintptr_t, std::shared_ptr<Process>> processes;   // process and thread handles
    std::map<std::uintptr_t, bool> sections;
    std::map<const void*, std::unique_ptr<std::vector<std::uint8_t>>> views;

    HANDLE add() {
        next += 4;
        return reinterpret_cast<HANDLE>(next);
    }
};

Objects& Table() {
    static Objects objects;
    return objects;
}

std::uintptr_t Key(HANDLE h) { return reinterpret_cast<std::uintptr_t>(h); }

std::optional<FirmwareSegment> Segment() {
    auto segment = ActiveMachine().firmwareSegment();
    if (segment) segment->image.resize(kSegmentSize, 0);
    return segment;
}

std::u16string FromUnicode(const UNICODE_STRING* s) {
    if (!s || !s->Buffer) return {};
    return std::u16string(s->Buffer, s->Length / 2);
}

bool SameName(const std::u16string& a, const std::u16string& b, bool ignoreCase) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (ignoreCase) {
            if (x >= u'a' && x <= u'z') x = char16_t(x - 32);
            if (y >= u'a' && y <= u'z') y = char16_t(y - 32);
        }
        if (x != y) return false;
    }
    return true;
}

// ---------------------------------------------------------------- the DOS box

// What a 16-bit program run by the layer ends with.
struct DosRun {
    bool ended = false;   // false: the program hangs (an error box of the DOS box, or a loop)
    DWORD exitCode = 0;
};

// Runs a .COM program in a small 8086 machine: the instructions a program
// that copies memory to a file needs (register loads and moves, XOR,
// conditional and short jumps) and the DOS functions 40h (write to a
// handle) and 4Ch (exit). Segment F000h holds the firmware segment, the
// program's own segment holds the program at offset 100h. Anything else
// stops the program the way the DOS box does: with an error box that waits
// for a user, so the program never ends.
DosRun RunComProgram(const std::vector<std::uint8_t>& program, const std::vector<std::uint8_t>& firmware,
                     std::FILE* out) {
    constexpr std::uint16_t kOwnSegment = 0x1000;
    std::vector<std::uint8_t> own(0x10000, 0);
    if (!program.empty())
        std::memcpy(own.data() + 0x100, program.data(), std::min<std::size_t>(program.size(), 0xFF00));
    std::uint16_t r[8] = {};   // AX CX DX BX SP BP SI DI
    std::uint16_t seg[4] = {kOwnSegment, kOwnSegment, kOwnSegment, kOwnSegment};   // ES CS SS DS
    std::uint16_t ip = 0x100;
    bool carry = false;
    auto memory = [&](std::uint16_t s, std::uint16_t o) -> std::uint8_t {
        if (s == 0xF000) return firmware[o];
        if (s == kOwnSegment) return own[o];
        return 0;
    };
    auto fetch = [&]() { return own[ip++]; };
    auto fetchWord = [&]() {
        std::uint16_t lo = fetch();
        return std::uint16_t(lo | fetch() << 8);
    };
    auto reg8 = [&](int i) -> std::uint8_t { return i < 4 ? std::uint8_t(r[i]) : std::uint8_t(r[i - 4] >> 8); };
    auto setReg8 = [&](int i, std::uint8_t v) {
        if (i < 4) r[i] = std::uint16_t((r[i] & 0xFF00) | v);
        else r[i - 4] = std::uint16_t((r[i - 4] & 0x00FF) | v << 8);
    };

    for (int steps = 0; steps < 1000000; ++steps) {
        std::uint8_t op = fetch();
        if (op >= 0xB0 && op <= 0xB7) {
            setReg8(op - 0xB0, fetch());
        } else if (op >= 0xB8 && op <= 0xBF) {
            r[op - 0xB8] = fetchWord();
        } else if (op == 0x8E || op == 0x8C || op == 0x89 || op == 0x8B || op == 0x31 || op == 0x33 ||
                   op == 0x30 || op == 0x32) {
            std::uint8_t m = fetch();
            if ((m & 0xC0) != 0xC0) return {};   // memory operands: not offered
            int reg = (m >> 3) & 7, rm = m & 7;
            switch (op) {
            case 0x8E: if (reg > 3 || reg == 1) return {}; seg[reg] = r[rm]; break;
            case 0x8C: if (reg > 3) return {}; r[rm] = seg[reg]; break;
            case 0x89: r[rm] = r[reg]; break;
            case 0x8B: r[reg] = r[rm]; break;
            case 0x31: r[rm] ^= r[reg]; carry = false; break;
            case 0x33: r[reg] ^= r[rm]; carry = false; break;
            case 0x30: setReg8(rm, std::uint8_t(reg8(rm) ^ reg8(reg))); carry = false; break;
            case 0x32: setReg8(reg, std::uint8_t(reg8(reg) ^ reg8(rm))); carry = false; break;
            }
        } else if (op == 0x72 || op == 0x73 || op == 0xEB) {
            auto d = static_cast<std::int8_t>(fetch());
            if (op == 0xEB || (op == 0x72) == carry) ip = std::uint16_t(ip + d);
        } else if (op == 0xE9) {
            std::uint16_t d = fetchWord();
            ip = std::uint16_t(ip + d);
        } else if (op == 0x90) {
        } else if (op == 0xC3) {
            return {true, 0};
        } else if (op == 0xCD) {
            std::uint8_t n = fetch();
            if (n == 0x20) return {true, 0};
            if (n != 0x21) return {};
            std::uint8_t function = std::uint8_t(r[0] >> 8);
            if (function == 0x4C) return {true, DWORD(r[0] & 0xFF)};
            if (function == 0x40) {
                std::uint16_t handle = r[3], count = r[1], offset = r[2];
                if (handle != 1 && handle != 2) {
                    r[0] = 6;   // invalid handle
                    carry = true;
                    continue;
                }
                std::vector<std::uint8_t> bytes(count);
                for (std::uint16_t i = 0; i < count; ++i)
                    bytes[i] = memory(seg[3], std::uint16_t(offset + i));
                std::size_t written = count;
                if (handle == 1 && out) written = std::fwrite(bytes.data(), 1, count, out);
                r[0] = std::uint16_t(written);
                carry = false;
                continue;
            }
            r[0] = 1;   // invalid function
            carry = true;
        } else {
            return {};
        }
    }
    return {};
}

// Splits "<interpreter> /C <program> > <output>". The parts are told apart
// by " /C " and ">", so paths with blanks (the temporary folder below
// "Documents and Settings") are taken whole.
struct Command {
    std::string interpreter, program, output;
};

std::optional<Command> ParseCommand(const std::string& line) {
    std::string upper = torvex::platform::ToUpperAscii(line);
    std::size_t c = upper.find(" /C ");
    if (c == std::string::npos) return std::nullopt;
    Command cmd;
    cmd.interpreter = torvex::platform::Trim(line.substr(0, c));
    std::string rest = line.substr(c + 4);
    std::size_t gt = rest.find('>');
    if (gt == std::string::npos) return std::nullopt;
    cmd.program = torvex::platform::Trim(rest.substr(0, gt));
    cmd.output = torvex::platform::Trim(rest.substr(gt + 1));
    if (cmd.interpreter.empty() || cmd.program.empty() || cmd.output.empty()) return std::nullopt;
    return cmd;
}

}  // namespace

// ---------------------------------------------------------------- first megabyte

BOOL ReadLinearMemory(DWORD address, LPVOID buffer, DWORD size) {
    auto segment = Segment();
    if (!buffer || !segment || segment->access != FirmwareSegment::Access::direct ||
        address < kSegmentBase || std::uint64_t(address) + size > kSegmentBase + kSegmentSize) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::memcpy(buffer, segment->image.data() + (address - kSegmentBase), size);
    return TRUE;
}

// ---------------------------------------------------------------- native services

NTSTATUS ZwOpenSection(HANDLE* section, DWORD desiredAccess, OBJECT_ATTRIBUTES* attributes) {
    if (!section || !attributes) return STATUS_ACCESS_DENIED;
    static const std::u16string kPhysicalMemory = u"\\Device\\PhysicalMemory";
    if (!SameName(FromUnicode(attributes->ObjectName), kPhysicalMemory,
                  (attributes->Attributes & OBJ_CASE_INSENSITIVE) != 0))
        return STATUS_OBJECT_NAME_NOT_FOUND;
    auto segment = Segment();
    if (!segment || segment->access != FirmwareSegment::Access::section ||
        (desiredAccess & ~SECTION_MAP_READ) != 0)
        return STATUS_ACCESS_DENIED;
    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    HANDLE h = t.add();
    t.sections[Key(h)] = true;
    *section = h;
    return STATUS_SUCCESS;
}

NTSTATUS ZwClose(HANDLE handle) {
    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    return t.sections.erase(Key(handle)) ? STATUS_SUCCESS : STATUS_INVALID_HANDLE;
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow,
                     SIZE_T bytes) {
    {
        Objects& t = Table();
        std::lock_guard lock(t.mutex);
        if (!t.sections.count(Key(mapping))) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    }
    auto segment = Segment();
    if (!segment || segment->viewMapFails || desiredAccess != FILE_MAP_READ || offsetHigh != 0 ||
        bytes == 0 || offsetLow < kSegmentBase ||
        std::uint64_t(offsetLow) + bytes > kSegmentBase + kSegmentSize) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    auto view = std::make_unique<std::vector<std::uint8_t>>(
        segment->image.begin() + (offsetLow - kSegmentBase),
        segment->image.begin() + (offsetLow - kSegmentBase) + bytes);
    void* base = view->data();
    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    t.views[base] = std::move(view);
    return base;
}

BOOL UnmapViewOfFile(LPCVOID base) {
    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    if (t.views.erase(base)) return TRUE;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// ---------------------------------------------------------------- files and folders

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD, void*, DWORD creationDisposition,
                   DWORD, HANDLE) {
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto& machine = ActiveMachine();
    std::error_code ec;
    auto existing = machine.readPath(fileName);
    bool exists = existing && fs::is_regular_file(*existing, ec);
    if (existing && fs::is_directory(*existing, ec)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    std::FILE* stream = nullptr;
    if (creationDisposition == OPEN_EXISTING) {
        if (!exists) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        if (desiredAccess & GENERIC_WRITE) {
            auto target = machine.writePath(fileName);
            if (!target) {
                SetLastError(ERROR_ACCESS_DENIED);
                return INVALID_HANDLE_VALUE;
            }
            if (*target != *existing) {
                fs::create_directories(target->parent_path(), ec);
                fs::copy_file(*existing, *target, fs::copy_options::overwrite_existing, ec);
            }
            stream = std::fopen(target->c_str(), "r+b");
        } else {
            stream = std::fopen(existing->c_str(), "rb");
        }
    } else if (creationDisposition == CREATE_ALWAYS || creationDisposition == CREATE_NEW) {
        if (creationDisposition == CREATE_NEW && exists) {
            SetLastError(ERROR_FILE_EXISTS);
            return INVALID_HANDLE_VALUE;
        }
        auto target = machine.writePath(fileName);
        if (!target) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        // Windows needs the folder to exist already.
        auto parent = std::string(fileName);
        auto slash = parent.find_last_of("\\/");
        if (slash != std::string::npos && slash > 2) {
            auto folder = machine.readPath(parent.substr(0, slash));
            if (!folder || !fs::is_directory(*folder, ec)) {
                SetLastError(ERROR_PATH_NOT_FOUND);
                return INVALID_HANDLE_VALUE;
            }
        }
        fs::create_directories(target->parent_path(), ec);
        stream = std::fopen(target->c_str(), (desiredAccess & GENERIC_READ) ? "w+b" : "wb");
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (!stream) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    HANDLE h = t.add();
    auto file = std::make_shared<File>();
    file->stream = stream;
    t.files[Key(h)] = file;
    return h;
}

namespace {
std::shared_ptr<File> FileOf(HANDLE h) {
    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.files.find(Key(h));
    return it == t.files.end() ? nullptr : it->second;
}
std::shared_ptr<Process> ProcessOf(HANDLE h) {
    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.processes.find(Key(h));
    return it == t.processes.end() ? nullptr : it->second;
}
}  // namespace

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, void*) {
    auto f = FileOf(file);
    if (bytesWritten) *bytesWritten = 0;
    if (!f || (!buffer && bytesToWrite)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::size_t n = std::fwrite(buffer, 1, bytesToWrite, f->stream);
    std::fflush(f->stream);
    if (bytesWritten) *bytesWritten = DWORD(n);
    return n == bytesToWrite ? TRUE : FALSE;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, void*) {
    auto f = FileOf(file);
    if (bytesRead) *bytesRead = 0;
    if (!f || (!buffer && bytesToRead)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::size_t n = std::fread(buffer, 1, bytesToRead, f->stream);
    if (bytesRead) *bytesRead = DWORD(n);
    return std::ferror(f->stream) ? FALSE : TRUE;   // the end of the file is no error
}

BOOL CloseHandle(HANDLE handle) {
    if (CloseEvent(handle)) return TRUE;
    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    if (t.files.erase(Key(handle)) || t.processes.erase(Key(handle))) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

BOOL DeleteFileA(LPCSTR fileName) {
    if (!fileName) return FALSE;
    auto& machine = ActiveMachine();
    std::error_code ec;
    auto existing = machine.readPath(fileName);
    if (!existing || !fs::is_regular_file(*existing, ec)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    auto target = machine.writePath(fileName);
    // Only what the program wrote can go; the machine's own files stay.
    if (!target || *target != *existing || !fs::remove(*target, ec)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, void*) {
    if (!pathName) return FALSE;
    auto& machine = ActiveMachine();
    std::error_code ec;
    if (machine.readPath(pathName)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    std::string path = pathName;
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    auto slash = path.find_last_of("\\/");
    if (slash != std::string::npos && slash > 2) {
        auto parent = machine.readPath(path.substr(0, slash));
        if (!parent || !fs::is_directory(*parent, ec)) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
    }
    auto target = machine.writePath(path);
    if (!target || !fs::create_directories(*target, ec)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
    if (!pathName) return FALSE;
    auto& machine = ActiveMachine();
    std::error_code ec;
    auto existing = machine.readPath(pathName);
    if (!existing || !fs::is_directory(*existing, ec)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    auto target = machine.writePath(pathName);
    if (!target || *target != *existing) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!fs::is_empty(*target, ec)) {
        SetLastError(ERROR_DIR_NOT_EMPTY);
        return FALSE;
    }
    fs::remove(*target, ec);
    return ec ? FALSE : TRUE;
}

// ---------------------------------------------------------------- processes

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, void*, void*, BOOL, DWORD, LPVOID,
                    LPCSTR, STARTUPINFOA*, PROCESS_INFORMATION* info) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string line = commandLine ? commandLine : (applicationName ? applicationName : "");
    auto command = ParseCommand(line);
    auto& machine = ActiveMachine();
    // Only the machine's own command interpreter starts, and only on a
    // machine that has one (the host has no DOS box).
    std::string comSpec;
    for (const auto& entry : machine.environment())
        if (entry.size() > 8 && EqualsNoCase(entry.substr(0, 8), "COMSPEC=")) comSpec = entry.substr(8);
    if (!command || comSpec.empty() || !EqualsNoCase(command->interpreter, comSpec)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }

    auto process = std::make_shared<Process>();
    process->running = false;
    process->exitCode = 1;   // the interpreter's failure, unless the program runs
    auto segment = Segment();
    std::error_code ec;
    auto programPath = machine.readPath(command->program);
    bool isCom = command->program.size() > 4 &&
                 EqualsNoCase(command->program.substr(command->program.size() - 4), ".com");
    if (programPath && fs::is_regular_file(*programPath, ec) && isCom) {
        HANDLE out = CreateFileA(command->output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            std::vector<std::uint8_t> program;
            if (std::FILE* in = std::fopen(programPath->c_str(), "rb")) {
                std::uint8_t buffer[4096];
                std::size_t n;
                while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0 && program.size() < 0xFF00)
                    program.insert(program.end(), buffer, buffer + n);
                std::fclose(in);
            }
            std::vector<std::uint8_t> firmware = segment ? segment->image : std::vector<std::uint8_t>(kSegmentSize, 0);
            DosRun run;
            if (!segment || !segment->dumpProgramHangs) run = RunComProgram(program, firmware, FileOf(out)->stream);
            CloseHandle(out);
            process->running = !run.ended;
            process->exitCode = run.ended ? run.exitCode : STILL_ACTIVE;
        }
    }

    Objects& t = Table();
    std::lock_guard lock(t.mutex);
    info->hProcess = t.add();
    info->hThread = t.add();
    info->dwProcessId = DWORD(Key(info->hProcess));
    info->dwThreadId = DWORD(Key(info->hThread));
    t.processes[Key(info->hProcess)] = process;
    t.processes[Key(info->hThread)] = process;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    if (auto event = WaitForEvent(handle, milliseconds); event.isEvent) return event.result;
    auto process = ProcessOf(handle);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    if (!process->running) return WAIT_OBJECT_0;
    // A child that never ends: an endless wait would hang this process for
    // good, so it fails instead; a bounded one lets the machine's time pass.
    if (milliseconds == INFINITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    ActiveMachine().sleep(milliseconds);
    return WAIT_TIMEOUT;
}

BOOL GetExitCodeProcess(HANDLE handle, LPDWORD exitCode) {
    auto process = ProcessOf(handle);
    if (!process || !exitCode) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = process->running ? STILL_ACTIVE : process->exitCode;
    return TRUE;
}

BOOL TerminateProcess(HANDLE handle, UINT exitCode) {
    auto process = ProcessOf(handle);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (process->running) {
        process->running = false;
        process->exitCode = exitCode;
    }
    return TRUE;
}

}  // namespace win32
