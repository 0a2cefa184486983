#include "app/CautorunDlg.h"

#include "app/CMainDlg.h"
#include "app/PageElements.h"
#include "app/Subpage.h"
#include "config/LauncherContext.h"
#include "config/MessageText.h"
#include "engine/ActionEngine.h"
#include "ltf/gui/CFxButton.h"
#include "ltf/gui/FxXmlReader.h"
#include "ltf/gui/MediaSoundSink.h"
#include "ltf/xml/XmlNode.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <QApplication>
#include <QPainter>

using LTF::GUI::CFxButton;
using LTF::Xml::XmlNode;

namespace {

std::wstring XmlEscaped(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        case L'"':
            escaped += L"&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

CautorunDlg::CautorunDlg(ActionEngine& engine, CMainDlg& owner)
    : QWidget(&owner), engine(engine), owner(owner),
      soundSink(std::make_unique<LTF::GUI::MediaSoundSink>(engine.Media())) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
    for (int slot = 1; slot <= PageControls::kSlotCount; ++slot) {
        auto* button = new CFxButton(this, 0);
        const int control = PageControls::ControlOfSlot(slot);
        button->setObjectName(QStringLiteral("control%1").arg(control));
        button->setText(QStringLiteral("Button %1").arg(slot));
        button->setGeometry(0, 0, 75, 23);
        button->SetSoundSink(soundSink.get());
        connect(button, &QAbstractButton::clicked, this, [this, control] { OnControl(control); });
        buttons[static_cast<std::size_t>(slot - 1)] = button;
    }
}

// Subpage hosts go before the buttons and the engine they use.
CautorunDlg::~CautorunDlg() {
    subpages.clear();
}

CFxButton& CautorunDlg::Button(int slot) const {
    return *buttons.at(static_cast<std::size_t>(slot - 1));
}

Subpage* CautorunDlg::FindSubpage(const std::wstring& name) {
    const auto found = subpages.find(name);
    return found == subpages.end() ? nullptr : found->second;
}

std::unique_ptr<PageElements> CautorunDlg::Elements(bool reportMissing) {
    auto elements = std::make_unique<PageElements>(engine.Context().strings, pagesXml, pageName);
    if (elements->PageFound())
        return elements;
    if (reportMissing)
        ShowPageNotFound();
    return nullptr;
}

void CautorunDlg::ShowPageNotFound() {
    owner.ShowMessageBox(engine.Context().strings.LookUp(L"EXE_BASENAME"),
                         Vellmar::FormatMessageText(L"Page not found: %ls", {pageName}));
    EndDialog(-1);
}

void CautorunDlg::EndDialog(int) {
    ended = true;
    hide();
}

void CautorunDlg::Build(const std::wstring& xml, const std::wstring& name) {
    pagesXml = xml;
    pageName = name;
    try {
        const std::unique_ptr<PageElements> elements = Elements(true);
        if (!elements)
            return;
        const XmlNode& page = *elements->Page();
        if (!LoadBackground(page))
            return;
        // Before the walk, so that a page whose build stops at a broken element keeps its size.
        setGeometry(0, 0, background.isNull() ? kDefaultWidth : background.width(),
                    background.isNull() ? kDefaultHeight : background.height());
        clickSound = page.GetAttribute(L"clicksound");
        ResetButtons();
        std::size_t slot = 0;
        for (XmlNode* child : elements->Children()) {
            if (PageElements::IsButton(*child)) {
                if (slot < buttons.size())
                    SetUpButton(static_cast<int>(slot++), *child);
                else // no slot left: the surplus button is reported and left out
                    engine.ShowError(Vellmar::FormatMessageText(
                        engine.Context().strings.LookUp(L"error_xmldata"), {child->GetXml()}));
            } else if (Vellmar::EqualsIgnoreCase(child->GetName(), L"subpage")) {
                AddSubpage(*child);
            }
        }
        const std::wstring queue = page.GetAttribute(L"actionqueue");
        if (!queue.empty())
            ScheduleQueue(queue);
    } catch (...) {
        // A broken element ends the build where it stands; what was set up stays.
    }
}

std::wstring CautorunDlg::BackgroundOf(const StringTable& strings, const XmlNode& page) {
    const std::wstring expanded = strings.Expand(page.GetAttribute(L"background"));
    return expanded.empty() ? expanded : Vellmar::Canonicalize(expanded);
}

bool CautorunDlg::LoadBackground(const XmlNode& page) {
    const StringTable& strings = engine.Context().strings;
    const std::wstring path = BackgroundOf(strings, page);
    if (path == backgroundPath)
        return true;
    backgroundPath = path;
    if (path.empty())
        return true;
    if (!Vellmar::PathExists(path) || Vellmar::IsDirectoryPath(path)) {
        engine.ShowError(Vellmar::FormatMessageText(strings.LookUp(L"error_filenotfound"), {path}));
        engine.Stop();
        EndDialog(0);
        return false;
    }
    const LTF::GUI::BitmapPtr image = LTF::GUI::LoadBitmapFile(path);
    background = image ? QPixmap::fromImage(*image) : QPixmap();
    return true;
}

void CautorunDlg::ResetButtons() {
    muteButton = -1;
    for (CFxButton* button : buttons) {
        button->setEnabled(false);
        button->hide();
        button->ApplyDefaultAppearance(clickSound);
    }
}

void CautorunDlg::SetUpButton(int index, XmlNode& element) {
    if (Vellmar::EqualsIgnoreCase(element.GetAttribute(L"action"), L"system") &&
        Vellmar::EqualsIgnoreCase(element.GetAttribute(L"value"), L"mute"))
        muteButton = index;
    CFxButton& button = *buttons[static_cast<std::size_t>(index)];
    if (!button.ReadXml(&element))
        engine.ShowError(Vellmar::FormatMessageText(
            engine.Context().strings.LookUp(L"error_xmldata"), {element.GetXml()}));
    TranslateTexts(button);
    button.Prepare(background.isNull() ? nullptr : &background, 0, -1, 0);
    button.show();
    button.setEnabled(!engine.IsButtonDisabled(element.GetAttribute(L"name")));
}

void CautorunDlg::TranslateTexts(CFxButton& button) {
    const StringTable& strings = engine.Context().strings;
    auto& texts = button.Model().text;
    for (int i = 0; i < 4; ++i)
        texts[i] = strings.LookUp(texts[i]);
    std::wstring tip;
    LTF::GUI::Colour colour = 0, bgColour = 0;
    if (button.GetTooltip(tip, colour, bgColour))
        button.SetTooltip(strings.LookUp(tip), colour, bgColour);
    button.update();
}

void CautorunDlg::AddSubpage(const XmlNode& element) {
    const std::wstring name = element.GetAttribute(L"name");
    if (name.empty() || subpages.count(name))
        return;
    std::wstring key = name;
    auto record = std::make_unique<Subpage>(*this, engine.Context(), element);
    Subpage& added = *record;
    subpages.insert(key, record.release());
    added.Load();
}

void CautorunDlg::ScheduleQueue(const std::wstring& queue) {
    // Escaped, so that a queue name with quotes or ampersands still names its queue.
    engine.ScheduleTimedAction(
        L"<action action=\"actionqueue\" value=\"" + XmlEscaped(queue) + L"\"/>", 1);
}

void CautorunDlg::OnControl(int controlId) {
    const int slot = PageControls::SlotOfControl(controlId);
    if (slot > 0)
        OnButton(slot);
}

void CautorunDlg::OnButton(int slot) {
    if (QWidget* focus = QApplication::focusWidget())
        focus->clearFocus();
    try {
        const std::unique_ptr<PageElements> elements = Elements(false);
        if (!elements)
            return;
        const std::vector<XmlNode*> found = elements->Buttons();
        if (slot >= 1 && static_cast<std::size_t>(slot) <= found.size())
            engine.ExecuteAction(found[static_cast<std::size_t>(slot - 1)]);
    } catch (...) {
    }
}

void CautorunDlg::ForEachButton(
    const std::function<void(const XmlNode&, LTF::GUI::CFxButton&)>& visit) {
    try {
        const std::unique_ptr<PageElements> elements = Elements(true);
        if (!elements)
            return;
        const std::vector<XmlNode*> found = elements->Buttons();
        for (std::size_t i = 0; i < found.size() && i < buttons.size(); ++i)
            visit(*found[i], *buttons[i]);
    } catch (...) {
    }
}

void CautorunDlg::RefreshButtons() {
    ForEachButton([&](const XmlNode& element, CFxButton& button) {
        button.setEnabled(!engine.IsButtonDisabled(element.GetAttribute(L"name")));
    });
}

void CautorunDlg::SetButtonAttribute(const std::wstring& buttonName, const XmlNode* attribute) {
    ForEachButton([&](const XmlNode& element, CFxButton& button) {
        if (element.GetAttribute(L"name") != buttonName)
            return;
        button.ApplyAttribute(attribute);
        button.update();
    });
}

void CautorunDlg::Refresh() {
    ForEachButton([&](const XmlNode& element, CFxButton& button) {
        LTF::GUI::FxXmlReader reader(button);
        if (const XmlNode* text = element.GetChildNode(L"text", 0))
            reader.ReadElement(*text);
        if (const XmlNode* tooltip = element.GetChildNode(L"tooltip", 0))
            reader.ReadElement(*tooltip);
        TranslateTexts(button);
    });
}

void CautorunDlg::UpdateMuteButtons(const MuteBitmaps& bitmaps) {
    if (muteButton < 0)
        return;
    CFxButton& button = *buttons[static_cast<std::size_t>(muteButton)];
    button.Model().StoreBitmaps(LTF::GUI::PerState<std::wstring>(bitmaps.normal, bitmaps.pushed,
                                                                 bitmaps.over, bitmaps.disabled),
                                bitmaps.duplicate);
    // New bitmaps need their regions and the page's backdrop behind them again.
    button.Prepare(background.isNull() ? nullptr : &background, 0, -1, 0);
    button.repaint();
}

void CautorunDlg::ShowSubpage(const std::wstring& name) {
    if (Subpage* subpage = FindSubpage(name))
        subpage->Load();
}

void CautorunDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (background.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawPixmap(0, 0, background);
    owner.PagePainted();
}
