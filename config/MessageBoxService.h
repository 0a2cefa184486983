#pragma once

#include <string>

namespace Vellmar {

enum class MessageIcon { None, Stop };

// How the Qt-free layers show a message box. The application installs the real one (a dialog,
// or one stderr line when nobody may be asked); tests install a recorder.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual void Show(const std::wstring& caption, const std::wstring& text, MessageIcon icon) = 0;

    static MessageBoxService& Current();
    // Not owned; the previous service comes back when the returned value is restored.
    static MessageBoxService* Install(MessageBoxService* service);
};

// One line "MessageBox: <caption>: <text>" on stderr, line breaks written as "\n".
class StderrMessageBox : public MessageBoxService {
public:
    void Show(const std::wstring& caption, const std::wstring& text, MessageIcon icon) override;
    static std::string FormatLine(const std::wstring& caption, const std::wstring& text);
};

} // namespace Vellmar
