#pragma once

#include "ltf/gui/FxTypes.h"

#include <QBasicTimer>
#include <QLabel>

#include <chrono>

namespace LTF::GUI {

// One button's tool tip in its own colours. The button relays its pointer events; the tip
// shows once the pointer has rested on the button and hides on a press or when it leaves.
class FxTooltip : public QLabel {
    Q_OBJECT

public:
    enum class Relay { Move, Press, Release, Leave };

    // `tool` is the button the tip belongs to; it also owns the tip.
    explicit FxTooltip(QWidget* tool);

    // An empty text removes the tip: it no longer shows.
    void SetTip(const QString& text);
    void SetColours(Colour text, Colour background);
    void RelayEvent(Relay what, const QPoint& globalPos);

    void SetDelays(std::chrono::milliseconds initial, std::chrono::milliseconds autoPop);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void Pop();

    QBasicTimer showTimer;
    QBasicTimer hideTimer;
    QPoint lastPointer;
    std::chrono::milliseconds initialDelay{500};
    std::chrono::milliseconds autoPopDelay{5000};
};

} // namespace LTF::GUI
