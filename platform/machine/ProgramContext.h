// What the running program gives the layer, as opposed to what a machine
// answers: the real display's facts (known once the window program has a
// display connection), the program's own string table, how a message box is
// shown, and the lock keys the program has toggled on the active machine.
// The window program (app/) and the console program (tools/torvex-report)
// each set theirs up at start; tests set the parts they need.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/machine/Machine.h"

namespace torvex::platform {

// The message-box hook: the GUI shows a modal box, a console program writes
// a line. Returns the button pressed (IDOK).
using MessageBoxHook =
    std::function<int(const std::string& text, const std::string& caption, unsigned type)>;

struct ProgramContext {
    // The real display, which the live host answers for its screen
    // (nullopt: the host looks for a connected monitor itself).
    std::optional<ScreenFacts> displayFacts;
    // The program's own resource string table (LoadStringA).
    std::map<unsigned, std::string> resourceStrings;
    // How a message box is shown; empty: one line on standard error.
    MessageBoxHook messageBox;
    // Lock keys toggled through the program on a machine that keeps no
    // keyboard of its own; forgotten when another machine becomes active.
    std::map<int, bool> keyToggles;
};

// Replaces the program's context (at start).
void SetProgramContext(ProgramContext context);
// A copy of the context's parts, taken under its lock: the window program
// may install display facts from another thread than the one reading them.
std::optional<ScreenFacts> ProgramDisplayFacts();
std::optional<std::string> ProgramResourceString(unsigned id);
MessageBoxHook ProgramMessageBox();
std::optional<bool> ProgramKeyToggle(int virtualKey);
void SetProgramKeyToggle(int virtualKey, bool on);
void ForgetProgramKeyToggles();

// Each changes one part of the context.
void SetDisplayFacts(std::optional<ScreenFacts> facts);
void SetResourceStrings(std::map<unsigned, std::string> strings);
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace torvex::platform
