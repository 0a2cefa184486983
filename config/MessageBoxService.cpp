#include "config/MessageBoxService.h"

#include "support/Text.h"

#include <atomic>
#include <cstdio>

namespace Vellmar {

namespace {

StderrMessageBox& Fallback() {
    static StderrMessageBox fallback;
    return fallback;
}

std::atomic<MessageBoxService*>& Slot() {
    static std::atomic<MessageBoxService*> slot{nullptr};
    return slot;
}

} // namespace

MessageBoxService& MessageBoxService::Current() {
    MessageBoxService* service = Slot().load();
    return service ? *service : Fallback();
}

MessageBoxService* MessageBoxService::Install(MessageBoxService* service) {
    return Slot().exchange(service);
}

std::string StderrMessageBox::FormatLine(const std::wstring& caption, const std::wstring& text) {
    std::wstring line = L"MessageBox: " + caption + L": ";
    for (wchar_t c : text) {
        if (c == L'\r')
            continue;
        if (c == L'\n')
            line += L"\\n";
        else
            line += c;
    }
    return WideToUtf8(line) + "\n";
}

void StderrMessageBox::Show(const std::wstring& caption, const std::wstring& text, MessageIcon) {
    const std::string line = FormatLine(caption, text);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace Vellmar
