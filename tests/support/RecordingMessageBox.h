#pragma once

#include "config/MessageBoxService.h"

#include <string>
#include <utility>
#include <vector>

namespace Vellmar::Testing {

// Keeps every message box as (caption, text) instead of showing it.
class RecordingMessageBox : public Vellmar::MessageBoxService {
public:
    void Show(const std::wstring& caption, const std::wstring& text,
              Vellmar::MessageIcon) override {
        shown.emplace_back(caption, text);
    }
    std::vector<std::pair<std::wstring, std::wstring>> shown;
};

} // namespace Vellmar::Testing
