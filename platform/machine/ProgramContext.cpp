#include "platform/machine/ProgramContext.h"

#include <mutex>

namespace torvex::platform {

namespace {

std::mutex& ContextMutex() {
    static std::mutex m;
    return m;
}
ProgramContext& Context() {
    static ProgramContext context;
    return context;
}

}  // namespace

void SetProgramContext(ProgramContext context) {
    std::lock_guard lock(ContextMutex());
    Context() = std::move(context);
}

std::optional<ScreenFacts> ProgramDisplayFacts() {
    std::lock_guard lock(ContextMutex());
    return Context().displayFacts;
}

std::optional<std::string> ProgramResourceString(unsigned id) {
    std::lock_guard lock(ContextMutex());
    auto it = Context().resourceStrings.find(id);
    if (it == Context().resourceStrings.end()) return std::nullopt;
    return it->second;
}

MessageBoxHook ProgramMessageBox() {
    std::lock_guard lock(ContextMutex());
    return Context().messageBox;
}

std::optional<bool> ProgramKeyToggle(int virtualKey) {
    std::lock_guard lock(ContextMutex());
    auto it = Context().keyToggles.find(virtualKey);
    if (it == Context().keyToggles.end()) return std::nullopt;
    return it->second;
}

void SetProgramKeyToggle(int virtualKey, bool on) {
    std::lock_guard lock(ContextMutex());
    Context().keyToggles[virtualKey] = on;
}

void ForgetProgramKeyToggles() {
    std::lock_guard lock(ContextMutex());
    Context().keyToggles.clear();
}

void SetDisplayFacts(std::optional<ScreenFacts> facts) {
    std::lock_guard lock(ContextMutex());
    Context().displayFacts = facts;
}

void SetResourceStrings(std::map<unsigned, std::string> strings) {
    std::lock_guard lock(ContextMutex());
    Context().resourceStrings = std::move(strings);
}

void SetMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard lock(ContextMutex());
    Context().messageBox = std::move(hook);
}

// The default answers of a machine that keeps no keyboard of its own: the
// toggles the program made on it.
std::optional<bool> Machine::keyToggled(int virtualKey) { return ProgramKeyToggle(virtualKey); }

bool Machine::setKeyToggled(int virtualKey, bool on) {
    SetProgramKeyToggle(virtualKey, on);
    return true;
}

}  // namespace torvex::platform
