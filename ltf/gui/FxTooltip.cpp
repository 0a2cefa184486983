#include "ltf/gui/FxTooltip.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimerEvent>

#include <algorithm>

namespace LTF::GUI {

namespace {

// Below the pointer's hot spot, clear of a standard arrow cursor.
constexpr QPoint kOffset(2, 20);

} // namespace

FxTooltip::FxTooltip(QWidget* tool) : QLabel(tool, Qt::ToolTip | Qt::BypassGraphicsProxyWidget) {
    setObjectName(QStringLiteral("fxTooltip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    setTextFormat(Qt::PlainText);
}

void FxTooltip::SetTip(const QString& tip) {
    setText(tip);
    adjustSize();
    if (tip.isEmpty()) {
        showTimer.stop();
        hide();
    }
}

void FxTooltip::SetColours(Colour text, Colour background) {
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::WindowText, ToQColor(text));
        colours.setColor(group, QPalette::Window, ToQColor(background));
    }
    setPalette(colours);
    update();
}

void FxTooltip::SetDelays(std::chrono::milliseconds initial, std::chrono::milliseconds autoPop) {
    initialDelay = initial;
    autoPopDelay = autoPop;
}

void FxTooltip::RelayEvent(Relay what, const QPoint& globalPos) {
    lastPointer = globalPos;
    switch (what) {
    case Relay::Move:
        // The tip waits for the pointer to rest; once up it stays while the pointer moves.
        if (!isVisible() && !text().isEmpty())
            showTimer.start(static_cast<int>(initialDelay.count()), this);
        break;
    case Relay::Press:
    case Relay::Release:
    case Relay::Leave:
        showTimer.stop();
        hideTimer.stop();
        hide();
        break;
    }
}

void FxTooltip::timerEvent(QTimerEvent* event) {
    if (event->timerId() == showTimer.timerId()) {
        showTimer.stop();
        Pop();
    } else if (event->timerId() == hideTimer.timerId()) {
        hideTimer.stop();
        hide();
    } else {
        QLabel::timerEvent(event);
    }
}

void FxTooltip::Pop() {
    // Relayed moves can come from elsewhere (a synthetic one, say): show only over the tool.
    const QWidget* tool = parentWidget();
    if (text().isEmpty() || !tool || !tool->underMouse())
        return;
    adjustSize();
    QPoint at = lastPointer + kOffset;
    if (const QScreen* screen = QGuiApplication::screenAt(lastPointer)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        if (at.y() + height() > area.bottom())
            at.setY(lastPointer.y() - height() - 2);
    }
    move(at);
    show();
    hideTimer.start(static_cast<int>(autoPopDelay.count()), this);
}

} // namespace LTF::GUI
