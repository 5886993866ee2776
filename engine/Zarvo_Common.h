// What every category of the engine shares: the error policy of a refresh
// step, the guarded call that applies it, and the list-to-report routine.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Classes.h"

namespace torvex::engine {

// The engine names the class library's classes plainly, and so does code that
// uses the engine's namespace.
using namespace torvex::classes;

// What a refresh step does with an exception raised inside it:
// emRaise passes it on as a new exception "label: message",
// emMessage shows "label: message" in a box captioned "Error" and goes on,
// emSilent ignores it and goes on.
enum TExceptionMode { emRaise, emMessage, emSilent };
TORVEX_ENUM_NAMES(TExceptionMode, "emRaise", "emMessage", "emSilent")

// The label of an object's refresh step: its class name and ".GetInfo".
std::string GetInfoLabel(const TObject& object);

// Runs a step under the mode; `name` labels it in messages. What the step had
// stored before it failed stays stored.
void GuardedCall(const std::string& name, TExceptionMode mode, const std::function<void()>& step);

// Calls object.method() under the mode.
template <class T>
void GuardedCall(const std::string& name, TExceptionMode mode, void (T::*method)(), T& object) {
    GuardedCall(name, mode, [&] { (object.*method)(); });
}

// Calls object.method(argument) under the mode.
template <class T>
void GuardedCall(int argument, const std::string& name, TExceptionMode mode, void (T::*method)(int),
                 T& object) {
    GuardedCall(name, mode, [&] { (object.*method)(argument); });
}

// Writes a list of texts into a report: "countKey=n" (unless countKey is
// empty), then "entryKey1=text", "entryKey2=text", ... in list order.
void ListToReport(const TStringList& texts, const std::string& countKey, const std::string& entryKey,
                  TStringList& report);
void ListToReport(const std::vector<std::string>& texts, const std::string& countKey,
                  const std::string& entryKey, TStringList& report);

// One report line as text: each CR and LF inside it becomes a blank, so that
// a value holding a line break (an environment variable, a shell function,
// a user name) cannot add lines or sections to the report. Every place where
// report lines become text (standard output, export files, list rows) goes
// through it.
std::string ReportLineText(std::string_view line);

// The report's lines as text, each made safe by ReportLineText and ended by
// `lineEnd`.
std::string ReportText(const TStringList& report, std::string_view lineEnd = "\n");

// A report as an export file holds it: one line per entry, each ended by
// CR LF, in the machine's ANSI code page (GetACP), no byte-order mark.
std::string ReportFileBytes(const TStringList& report);

}  // namespace torvex::engine
