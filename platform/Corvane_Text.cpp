#include "platform/Corvane_Text.h"

#include "platform/machine/FileText.h"

namespace torvex::platform {

std::string AnsiToUtf8(std::string_view bytes, unsigned codePage) { return CodePageToUtf8(bytes, codePage); }

std::string Utf8ToAnsi(std::string_view utf8, unsigned codePage) { return Utf8ToCodePage(utf8, codePage); }

bool FactTraceEnabled() { return TraceEnabled(); }

void TraceFact(std::string_view who, std::string_view why) { Trace(who, why); }

}  // namespace torvex::platform
