#pragma once

#include <QPixmap>
#include <QWidget>

// A frameless window that shows one bitmap at its size and tells whether it has been painted.
class FirstPaintWindow : public QWidget {
public:
    explicit FirstPaintWindow(QPixmap background);
    bool Painted() const { return painted; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap background;
    bool painted = false;
};
