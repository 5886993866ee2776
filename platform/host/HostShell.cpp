#include "platform/host/HostShell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

extern char** environ;

namespace torvex::platform::host {

bool RunAndWait(const std::vector<std::string>& argv, std::chrono::milliseconds bound) {
    if (argv.empty() || argv[0].empty()) return false;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;

    auto deadline = std::chrono::steady_clock::now() + bound;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (r < 0 && errno != EINTR) return false;   // reaped elsewhere: no answer
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(50)) pause *= 2;
    }
    // Still running: it may be a browser that xdg-open started in the
    // foreground, so it is not killed; a background waiter reaps it.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return false;
}

namespace {

bool Alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool Digit(char c) { return c >= '0' && c <= '9'; }

// host.name[:port][/path...]: labels of letters, digits and hyphens, at
// least two of them, the last (the top-level domain) letters only.
bool BareWebHost(const std::string& t) {
    std::size_t end = t.find_first_of("/?#");
    std::string host = t.substr(0, end);
    if (std::size_t colon = host.find(':'); colon != std::string::npos) {
        std::string port = host.substr(colon + 1);
        if (port.empty() || port.size() > 5) return false;
        for (char c : port)
            if (!Digit(c)) return false;
        host.resize(colon);
    }
    std::size_t labels = 0, start = 0;
    for (;;) {
        std::size_t dot = host.find('.', start);
        std::string label = host.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
        for (char c : label)
            if (!Alpha(c) && !Digit(c) && c != '-') return false;
        ++labels;
        if (dot == std::string::npos) {
            if (label.size() < 2) return false;
            for (char c : label)
                if (!Alpha(c)) return false;
            break;
        }
        start = dot + 1;
    }
    return labels >= 2;
}

}  // namespace

std::string ShellTargetOf(const std::string& target) {
    // Schemes ("mailto:"), paths and single words are no host names.
    if (target.empty() || !BareWebHost(target)) return target;
    // A file of that name in the current folder is what Windows opens first.
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) return target;
    return "https://" + target;
}

bool OpenWithDefaultHandler(const std::string& target) {
    if (target.empty()) return false;
    return RunAndWait({"xdg-open", ShellTargetOf(target)}, std::chrono::seconds(30));
}

}  // namespace torvex::platform::host
