#include "app/PagePreview.h"

#include "app/CMainDlg.h"
#include "app/CautorunDlg.h"
#include "config/LauncherContext.h"
#include "config/MessageBoxService.h"
#include "config/check/ConfigurationCheck.h"
#include "engine/ActionEngine.h"
#include "ltf/gui/CFxButton.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

using LTF::GUI::ButtonState;
using LTF::GUI::CFxButton;
using Vellmar::Check::ConfigurationCheck;
using Vellmar::Check::Finding;

namespace {

constexpr int kLabelWidth = 160;
constexpr int kGap = 8;
constexpr int kHeader = 24;
// Light compression: the default level spends most of the preview's time in zlib and libpng.
constexpr int kPngQuality = 80;
const char* const kStateNames[] = {"normal", "over", "pushed", "disabled", "checked"};

// Check findings that keep a page from being drawn as written.
bool StopsDrawing(const Finding& finding) {
    static const std::set<std::wstring> codes = {
        L"file-not-found", L"parse-error",       L"file-corrupt",           L"missing-file",
        L"bad-colour",     L"missing-attribute", L"unknown-button-element", L"too-many-buttons"};
    return finding.severity == Vellmar::Check::Severity::Error && codes.count(finding.code);
}

std::string Utf8(const std::wstring& text) {
    return Vellmar::WideToUtf8(text);
}

QString Html(const std::wstring& text) {
    return QString::fromStdWString(text).toHtmlEscaped();
}

class PreviewWindow {
public:
    PreviewWindow(LauncherContext& context, const std::wstring& file)
        : engine(context, true), dialog(engine) {
        dialog.initSignal.connect([this, file] { engine.Preview(&dialog, file); });
        dialog.InitDialog();
    }
    ~PreviewWindow() { dialog.DestroyWindow(); }
    CMainDlg& Dialog() { return dialog; }

private:
    ActionEngine engine;
    CMainDlg dialog;
};

} // namespace

QImage PagePreview::PageImage(CMainDlg& dialog, const std::wstring& page) {
    dialog.ShowPage(page);
    QApplication::processEvents();
    return dialog.grab().toImage();
}

QImage PagePreview::StateSheet(CMainDlg& dialog, const std::wstring& page,
                               const std::vector<std::wstring>& names) {
    CautorunDlg* shown = dialog.FindPage(page);
    std::vector<CFxButton*> buttons;
    std::vector<QString> labels;
    int cell = 0, rows = 0;
    for (int slot = 1; shown && slot <= PageControls::kSlotCount; ++slot) {
        CFxButton& button = shown->Button(slot);
        if (button.isHidden())
            continue;
        buttons.push_back(&button);
        labels.push_back(static_cast<std::size_t>(slot) <= names.size()
                             ? QString::fromStdWString(names[static_cast<std::size_t>(slot - 1)])
                             : QStringLiteral("slot %1").arg(slot));
        cell = std::max(cell, button.width());
        rows += button.height() + kGap;
    }
    const int columns = static_cast<int>(std::size(kStateNames));
    QImage sheet(kLabelWidth + columns * (cell + kGap) + kGap, kHeader + rows + kGap,
                 QImage::Format_RGB32);
    sheet.fill(QColor(0x30, 0x30, 0x30));
    QPainter painter(&sheet);
    painter.setPen(Qt::white);
    for (int c = 0; c < columns; ++c)
        painter.drawText(QRect(kLabelWidth + c * (cell + kGap), 0, cell, kHeader), Qt::AlignCenter,
                         kStateNames[c]);
    int y = kHeader;
    for (std::size_t b = 0; b < buttons.size(); ++b) {
        CFxButton* button = buttons[b];
        painter.drawText(QRect(kGap, y, kLabelWidth - 2 * kGap, button->height()),
                         Qt::AlignVCenter | Qt::AlignLeft, labels[b]);
        const bool checkable = (button->SetCheck(1), button->GetCheck() == 1);
        button->SetCheck(0);
        const ButtonState states[] = {ButtonState::Normal, ButtonState::Over, ButtonState::Pushed,
                                      ButtonState::Disabled,
                                      checkable ? ButtonState::Pushed : ButtonState::Normal};
        for (int c = 0; c < columns; ++c) {
            painter.save();
            painter.translate(kLabelWidth + c * (cell + kGap), y);
            painter.setClipRect(button->rect());
            button->DrawItem(painter, states[c], false);
            painter.restore();
        }
        y += button->height() + kGap;
    }
    return sheet;
}

int PagePreview::Write(ConfigurationCheck& check, const AuthorTools::Request& request,
                       int toolkitArgc, char** toolkitArgv) {
    std::vector<Finding> stopping;
    for (const Finding& finding : check.Result().InOrder()) {
        if (StopsDrawing(finding))
            stopping.push_back(finding);
    }
    const auto fail = [&stopping] {
        Vellmar::Check::Findings shown;
        for (const Finding& finding : stopping)
            shown.Add(finding);
        const std::string text = shown.AsText();
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 2;
    };
    if (check.ExitCode() == ConfigurationCheck::kUnreadable)
        return fail();

    const std::filesystem::path folder(Vellmar::NativeTargetPath(request.previewFolder));
    std::filesystem::create_directories(folder);
    // Pictures are drawn without a display; the platform's own look must not differ by machine.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Vellmar::StderrMessageBox box;
    Vellmar::MessageBoxService* previous = Vellmar::MessageBoxService::Install(&box);
    int exitCode = 0;
    {
        QApplication application(toolkitArgc, toolkitArgv);
        LauncherContext& context = check.Context();
        context.previewOnly = true;
        const std::vector<std::wstring> languages =
            request.language.empty() ? check.Languages() : std::vector{request.language};
        QString html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Preview</title>"
                       "</head><body>\n";
        std::set<std::wstring> drawn;
        for (const std::wstring& language : languages) {
            context.selectedLanguage = language;
            context.strings.SetLanguage(language);
            PreviewWindow window(context, check.File());
            for (const std::wstring& page : window.Dialog().PageNames()) {
                const std::wstring base = page + L"." + language;
                PageImage(window.Dialog(), page)
                    .save(QString::fromStdString((folder / Utf8(base + L".png")).string()), "PNG",
                          kPngQuality);
                // One sheet per page, in the first language: it shows looks, not words.
                const bool firstLanguage = drawn.count(page) == 0;
                if (firstLanguage)
                    StateSheet(window.Dialog(), page, check.ButtonNames(page))
                        .save(
                            QString::fromStdString((folder / Utf8(page + L".states.png")).string()),
                            "PNG", kPngQuality);
                html += "<h2>" + Html(page) + " (" + Html(language) + ")</h2>\n<img src=\"" +
                        Html(base) + ".png\">\n";
                if (firstLanguage)
                    html += "<img src=\"" + Html(page) + ".states.png\">\n";
                drawn.insert(page);
            }
        }
        html += "</body></html>\n";
        std::ofstream(folder / "index.html") << html.toStdString();
        if (drawn.size() < check.PageNames().size() || !stopping.empty())
            exitCode = fail();
    }
    Vellmar::MessageBoxService::Install(previous);
    return exitCode;
}
