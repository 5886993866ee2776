#include "engine/Zarvo_Common.h"

#include <exception>

#include "platform/Corvane_Text.h"
#include "platform/win32/Win32.h"

namespace torvex::engine {

std::string GetInfoLabel(const TObject& object) { return object.ClassName() + ".GetInfo"; }

void GuardedCall(const std::string& name, TExceptionMode mode, const std::function<void()>& step) {
    std::string message;
    try {
        step();
        return;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown exception";
    }
    const std::string text = name + ": " + message;
    switch (mode) {
        case emRaise: throw Exception(text);
        case emMessage:
            win32::MessageBoxA(nullptr, text.c_str(), "Error", win32::MB_OK | win32::MB_ICONERROR);
            break;
        case emSilent: break;
    }
}

namespace {

template <class Texts>
void WriteList(const Texts& texts, int count, const std::string& countKey, const std::string& entryKey,
               TStringList& report) {
    if (!countKey.empty()) report.Add(Format("%s=%d", {countKey, count}));
    for (int i = 0; i < count; ++i)
        report.Add(Format("%s%d=%s", {entryKey, i + 1, texts[std::size_t(i)]}));
}

}  // namespace

void ListToReport(const TStringList& texts, const std::string& countKey, const std::string& entryKey,
                  TStringList& report) {
    // Reading the texts first keeps a list that reports into itself sound.
    WriteList(texts.ToVector(), texts.Count(), countKey, entryKey, report);
}

void ListToReport(const std::vector<std::string>& texts, const std::string& countKey,
                  const std::string& entryKey, TStringList& report) {
    WriteList(texts, int(texts.size()), countKey, entryKey, report);
}

std::string ReportLineText(std::string_view line) {
    std::string text(line);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string ReportText(const TStringList& report, std::string_view lineEnd) {
    std::string text;
    for (int i = 0; i < report.Count(); ++i) {
        text += ReportLineText(report[i]);
        text += lineEnd;
    }
    return text;
}

std::string ReportFileBytes(const TStringList& report) {
    std::string text = ReportText(report, "\r\n");
    // Texts inside the program are UTF-8; a UTF-8 machine keeps them so.
    if (win32::GetACP() == 1252) return platform::Utf8ToAnsi(text, 1252);
    return text;
}

}  // namespace torvex::engine
