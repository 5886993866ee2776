#include "platform/host/HostPrinters.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <vector>
#include <mutex>

#include "platform/machine/FileText.h"

namespace torvex::platform::host {

namespace {

constexpr const char* kWho = "printers";

// The entry points the reader uses, bound from the library at first use.
struct Cups {
    void* handle = nullptr;
    void (*setServer)(const char*) = nullptr;
    const char* (*server)() = nullptr;
    int (*port)() = nullptr;
    const char* (*user)() = nullptr;
    http_t* (*connect)(const char*, int, http_addrlist_t*, int, http_encryption_t, int, int, int*) = nullptr;
    void (*close)(http_t*) = nullptr;
    void (*setTimeout)(http_t*, double, http_timeout_cb_t, void*) = nullptr;
    ipp_t* (*newRequest)(ipp_op_t) = nullptr;
    ipp_attribute_t* (*addString)(ipp_t*, ipp_tag_t, ipp_tag_t, const char*, const char*, const char*) = nullptr;
    ipp_attribute_t* (*addStrings)(ipp_t*, ipp_tag_t, ipp_tag_t, const char*, int, const char*,
                                   const char* const*) = nullptr;
    ipp_t* (*doRequest)(http_t*, ipp_t*, const char*) = nullptr;
    ipp_attribute_t* (*first)(ipp_t*) = nullptr;
    ipp_attribute_t* (*next)(ipp_t*) = nullptr;
    const char* (*name)(ipp_attribute_t*) = nullptr;
    ipp_tag_t (*group)(ipp_attribute_t*) = nullptr;
    const char* (*string)(ipp_attribute_t*, int, const char**) = nullptr;
    int (*integer)(ipp_attribute_t*, int) = nullptr;
    void (*free)(ipp_t*) = nullptr;
    const char* (*lastError)() = nullptr;
    bool ok = false;
};

std::once_flag cupsOnce;
Cups cups;

template <class F>
bool Bind(F& entry, const char* symbol) {
    entry = reinterpret_cast<F>(dlsym(cups.handle, symbol));
    if (!entry) Trace(kWho, std::string("libcups.so.2 lacks ") + symbol);
    return entry != nullptr;
}

const Cups& Library() {
    std::call_once(cupsOnce, [] {
        cups.handle = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!cups.handle) {
            Trace(kWho, std::string("no printers: ") + dlerror());
            return;
        }
        cups.ok = Bind(cups.setServer, "cupsSetServer") && Bind(cups.server, "cupsServer") &&
                  Bind(cups.port, "ippPort") && Bind(cups.user, "cupsUser") && Bind(cups.connect, "httpConnect2") &&
                  Bind(cups.close, "httpClose") && Bind(cups.setTimeout, "httpSetTimeout") &&
                  Bind(cups.newRequest, "ippNewRequest") && Bind(cups.addString, "ippAddString") &&
                  Bind(cups.addStrings, "ippAddStrings") && Bind(cups.doRequest, "cupsDoRequest") &&
                  Bind(cups.first, "ippFirstAttribute") && Bind(cups.next, "ippNextAttribute") &&
                  Bind(cups.name, "ippGetName") && Bind(cups.group, "ippGetGroupTag") &&
                  Bind(cups.string, "ippGetString") && Bind(cups.integer, "ippGetInteger") &&
                  Bind(cups.free, "ippDelete") && Bind(cups.lastError, "cupsLastErrorString");
    });
    return cups;
}

// A server the reader may contact without waiting for a name look-up.
bool ReachableWithoutLookUp(const std::string& server) {
    if (!server.empty() && server[0] == '/') {
        struct stat s {};
        if (stat(server.c_str(), &s) != 0 || !S_ISSOCK(s.st_mode)) {
            Trace(kWho, "no print server: " + server + " missing");
            return false;
        }
        return true;
    }
    std::string host = server;
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    unsigned char address[16];
    if (host == "localhost" || inet_pton(AF_INET, host.c_str(), address) == 1 ||
        inet_pton(AF_INET6, host.c_str(), address) == 1)
        return true;
    Trace(kWho, "print server " + server + " not asked: reaching it needs a name look-up");
    return false;
}

// Gives up on a server that does not answer within the connection's bound.
int NoMoreWaiting(http_t*, void*) { return 0; }

// Whether it is known, without the CUPS library, that no print server can
// answer: the server the library would choose (CUPS_SERVER, else the last
// ServerName of the system's and the user's client.conf, else the local
// socket, else "localhost") is a socket that does not exist, or the local
// host with nothing listening on the IPP port. The library and the security
// stack it brings are a large part of a report's start; every other case is
// left to it.
bool NoServerAnswers() {
    std::string server;
    if (const char* env = std::getenv("CUPS_SERVER"); env && *env) {
        server = env;
    } else {
        const char* root = std::getenv("CUPS_SERVERROOT");
        std::vector<std::string> files = {std::string(root && *root ? root : "/etc/cups") + "/client.conf"};
        if (const char* home = std::getenv("HOME"); home && *home) files.push_back(std::string(home) + "/.cups/client.conf");
        for (const auto& file : files) {
            FileRead text = ReadWholeFile(file, 1 << 20);
            if (!text) continue;
            ForEachLine(text.text, [&](std::string_view line, int) {
                line = TrimView(line);
                constexpr std::string_view key = "servername";
                if (line.size() > key.size() && std::isspace(static_cast<unsigned char>(line[key.size()]))) {
                    std::string word(line.substr(0, key.size()));
                    std::transform(word.begin(), word.end(), word.begin(),
                                   [](unsigned char ch) { return char(std::tolower(ch)); });
                    if (word == key) server = std::string(TrimView(line.substr(key.size())));
                }
                return true;
            });
        }
        struct stat s {};
        if (server.empty()) server = stat("/run/cups/cups.sock", &s) == 0 ? "/run/cups/cups.sock" : "localhost";
    }
    if (server[0] == '/') {
        struct stat s {};
        if (stat(server.c_str(), &s) == 0 && S_ISSOCK(s.st_mode)) return false;
        Trace(kWho, "no print server: " + server + " missing");
        return true;
    }
    if (server != "localhost" || std::getenv("IPP_PORT")) return false;
    // A connection to the local host is refused at once when nothing
    // listens; one that is taken or still under way may be a server.
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(631);
    v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(631);
    v6.sin6_addr = in6addr_loopback;
    const std::pair<const sockaddr*, socklen_t> addresses[] = {{reinterpret_cast<const sockaddr*>(&v6), sizeof v6},
                                                               {reinterpret_cast<const sockaddr*>(&v4), sizeof v4}};
    for (const auto& [address, length] : addresses) {
        int fd = socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) continue;
        int r = connect(fd, address, length);
        int error = r == 0 ? 0 : errno;
        if (error == EINPROGRESS) {
            // Some network stacks settle even a local connection later; one
            // that has not been refused by now is left to the library.
            pollfd p{fd, POLLOUT, 0};
            socklen_t size = sizeof error;
            if (poll(&p, 1, 0) != 1 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = EINPROGRESS;
        }
        close(fd);
        if (error != ECONNREFUSED && error != EADDRNOTAVAIL && error != ENETUNREACH && error != EAFNOSUPPORT)
            return false;
    }
    Trace(kWho, "no print server answers at " + server);
    return true;
}

}  // namespace

bool CupsLibraryLoaded() { return cups.handle != nullptr; }

std::string PortOfDeviceUri(std::string_view uri) {
    std::size_t scheme = uri.find("://");
    if (scheme == std::string_view::npos) return std::string(uri);
    std::size_t start = scheme + 3;
    std::size_t end = uri.find_first_of("/?#", start);
    if (end == std::string_view::npos) end = uri.size();
    std::size_t at = uri.rfind('@', end == 0 ? 0 : end - 1);
    if (at == std::string_view::npos || at < start) return std::string(uri);
    return std::string(uri.substr(0, start)) + std::string(uri.substr(at + 1));
}

namespace {

// The "Dest" and "Default" lines of the user's, then the system's options
// file: the destination named on each, in file order.
std::vector<std::pair<std::string, std::string>> OptionLines(const std::string& home) {
    std::vector<std::pair<std::string, std::string>> out;
    std::vector<std::string> files;
    if (!home.empty()) files.push_back(home + "/.cups/lpoptions");
    files.push_back("/etc/cups/lpoptions");
    for (const auto& file : files) {
        auto text = ReadWholeFile(file, 1 << 20);
        if (!text) continue;
        ForEachLine(text.text, [&](std::string_view line, int) {
            line = TrimView(line);
            for (std::string_view word : {std::string_view("Default "), std::string_view("Dest ")})
                if (line.size() > word.size() && line.substr(0, word.size()) == word) {
                    std::string_view rest = TrimView(line.substr(word.size()));
                    out.emplace_back(std::string(TrimView(word)), std::string(rest.substr(0, rest.find_first_of(" \t"))));
                }
            return true;
        });
    }
    return out;
}

}  // namespace

std::string ClientDefaultPrinter(const std::string& home) {
    for (const char* variable : {"LPDEST", "PRINTER"}) {
        const char* value = std::getenv(variable);
        // "lp" in PRINTER is the old default of every shell profile, not a
        // choice.
        if (value && *value && !(std::string(variable) == "PRINTER" && std::string(value) == "lp"))
            return value;
    }
    for (const auto& [kind, name] : OptionLines(home))
        if (kind == "Default" && !name.empty()) return name;
    return {};
}

void AddInstances(std::vector<PrinterFacts>& printers, const std::string& home) {
    std::vector<PrinterFacts> out;
    auto lines = OptionLines(home);
    for (const auto& p : printers) {
        out.push_back(p);
        std::vector<std::string> seen;
        for (const auto& [kind, name] : lines) {
            auto slash = name.find('/');
            if (slash == std::string::npos || slash + 1 == name.size() || name.substr(0, slash) != p.name) continue;
            if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
            seen.push_back(name);
            PrinterFacts instance = p;
            instance.name = name;
            out.push_back(std::move(instance));
        }
    }
    printers = std::move(out);
}

SpoolerFacts HostSpooler() {
    SpoolerFacts facts;
    if (NoServerAnswers()) return facts;
    const Cups& c = Library();
    if (!c.ok) return facts;
    c.setServer(nullptr);   // CUPS_SERVER and client.conf as they are now
    std::string server = c.server() ? c.server() : "";
    if (!ReachableWithoutLookUp(server)) return facts;
    http_t* http = c.connect(server.c_str(), c.port(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 1000,
                             nullptr);
    if (!http) {
        Trace(kWho, "no print server answers at " + server);
        return facts;
    }
    c.setTimeout(http, 1.0, NoMoreWaiting, nullptr);

    ipp_t* request = c.newRequest(IPP_OP_CUPS_GET_PRINTERS);
    c.addString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, c.user());
    const char* const wanted[] = {"printer-name", "device-uri", "printer-type", "printer-make-and-model"};
    c.addStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 4, nullptr, wanted);
    if (ipp_t* response = c.doRequest(http, request, "/")) {
        PrinterFacts printer;
        bool inPrinter = false;
        auto finish = [&] {
            if (inPrinter && !printer.name.empty()) facts.printers.push_back(printer);
            printer = {};
            inPrinter = false;
        };
        for (ipp_attribute_t* a = c.first(response); a; a = c.next(response)) {
            if (c.group(a) != IPP_TAG_PRINTER || !c.name(a)) {
                finish();
                continue;
            }
            inPrinter = true;
            std::string name = c.name(a);
            const char* text = c.string(a, 0, nullptr);
            if (name == "printer-name" && text) printer.name = text;
            else if (name == "device-uri" && text) printer.port = PortOfDeviceUri(text);
            else if (name == "printer-make-and-model" && text) printer.driver = text;
            else if (name == "printer-type") printer.network = (c.integer(a, 0) & CUPS_PRINTER_REMOTE) != 0;
        }
        finish();
        c.free(response);
    } else {
        Trace(kWho, std::string("the print server did not list its printers: ") + c.lastError());
    }

    const char* homeVariable = std::getenv("HOME");
    std::string home = homeVariable && *homeVariable == '/' ? homeVariable : "";
    AddInstances(facts.printers, home);
    facts.defaultPrinter = ClientDefaultPrinter(home);
    if (facts.defaultPrinter.empty()) {
        ipp_t* ask = c.newRequest(IPP_OP_CUPS_GET_DEFAULT);
        const char* name[] = {"printer-name"};
        c.addStrings(ask, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr, name);
        if (ipp_t* response = c.doRequest(http, ask, "/")) {
            for (ipp_attribute_t* a = c.first(response); a; a = c.next(response))
                if (c.name(a) && std::string(c.name(a)) == "printer-name") {
                    if (const char* text = c.string(a, 0, nullptr)) facts.defaultPrinter = text;
                    break;
                }
            c.free(response);
        }
    }
    c.close(http);
    return facts;
}

}  // namespace torvex::platform::host
