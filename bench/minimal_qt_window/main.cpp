// The least a Qt program does to show a launcher page: load the bitmap, show it in a frameless
// window and end 1 ms later, the way the launcher ends when its page's action queue closes it.
#include "bench/minimal_qt_window/FirstPaintWindow.h"

#include <QApplication>
#include <QImageReader>
#include <QTimer>

#include <cstdio>

namespace {

// Ended without a painted window: the run measured something else than a start-up.
constexpr int kNotPaintedExitCode = 3;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BITMAP\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    const QImage image = QImageReader(QString::fromLocal8Bit(argv[1])).read();
    if (image.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    FirstPaintWindow window(QPixmap::fromImage(image));
    // Armed before show(), as the launcher arms its page's queue while it builds the page. An
    // overdue timer runs first in the event loop's first round, the expose and its paint in the
    // same round, so the window is painted before the loop ends, here as in the launcher. Not
    // quit(): that would close the window first.
    QTimer::singleShot(1, Qt::PreciseTimer, &application, [] { QCoreApplication::exit(0); });
    window.show();
    const int result = QApplication::exec();
    return window.Painted() ? result : kNotPaintedExitCode;
}
