// The host's printers: the destinations of its CUPS print server.
//
// The CUPS library is loaded at the first question about printers, never at
// start: it pulls in TLS, Kerberos and zero-configuration networking, which
// a program that never prints has no use for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/machine/SoftwareFacts.h"

namespace torvex::platform::host {

// The print server's queues in its order (each followed by the instances
// the options files define), each with its device address as
// the port, and the default destination. Empty at once when the CUPS
// library is missing or no server answers: a local server is reached over
// its socket only when that socket exists, a server named by
// CUPS_SERVER/client.conf only when it is this computer or a numeric
// address (a name would need a look-up); an answer is awaited at most a
// second.
SpoolerFacts HostSpooler();

// A device address as a port: any user name and password before the host
// are removed, so that no secret reaches a report
// ("smb://me:pw@srv/q" -> "smb://srv/q").
std::string PortOfDeviceUri(std::string_view uri);

// The default destination a user of this computer prints to when naming
// none, from the environment (LPDEST, then PRINTER) and the options files
// ("Default NAME" in the user's, then the system's lpoptions); "" when none
// of them names one. The server's own default comes after these.
std::string ClientDefaultPrinter(const std::string& home);

// Adds after each queue the instances of it the options files define
// ("Dest Office_Laser/duplex ..."), as destinations of their own with the
// queue's port.
void AddInstances(std::vector<PrinterFacts>& printers, const std::string& home);

// True once the CUPS library has been loaded into the program.
bool CupsLibraryLoaded();

}  // namespace torvex::platform::host
