#include "bench/minimal_qt_window/FirstPaintWindow.h"

#include <QPainter>

FirstPaintWindow::FirstPaintWindow(QPixmap background) : background(std::move(background)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(this->background.size());
}

void FirstPaintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background);
    painted = true;
}
