#pragma once

#include "config/MessageBoxService.h"

namespace Vellmar::Ui {

// The stop-icon dialog a person answers; with AUTORUN_NONINTERACTIVE=1 nobody is asked and the
// box becomes one stderr line.
class QtMessageBox : public MessageBoxService {
public:
    void Show(const std::wstring& caption, const std::wstring& text, MessageIcon icon) override;
    static bool NonInteractive();

private:
    StderrMessageBox stderrBox;
};

} // namespace Vellmar::Ui
