// Starting programs on the live host without a shell in between.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace torvex::platform::host {

// Starts argv[0] (looked up in PATH) with the given arguments, each passed
// as it is - no shell sees them - and waits at most `bound` for it to end.
// True only when it could be started and exited with status 0. A program
// still running at the bound counts as failed; it is left to finish and is
// reaped in the background.
bool RunAndWait(const std::vector<std::string>& argv, std::chrono::milliseconds bound);

// What the handler is given for a target, as Windows' shell reads it: a bare
// web host name ("torvex.dk", "www.example.org/page") gets the https scheme,
// which xdg-open would otherwise take for a missing file. Addresses with a
// scheme, paths and names of existing files stay as they are.
std::string ShellTargetOf(const std::string& target);

// Opens a document or address with the desktop's default handler
// (xdg-open), waiting up to 30 seconds for its answer.
bool OpenWithDefaultHandler(const std::string& target);

}  // namespace torvex::platform::host
