// The least a Qt program does to show a launcher page: load the bitmap, show it in a frameless
// window, and once it has been painted create the marker folder and end, the way the launcher's
// page queue does in the start-up benchmark (1 ms, then a 1 ms delay, then the marker).
#include "bench/minimal_qt_window/FirstPaintWindow.h"

#include <QApplication>
#include <QImageReader>
#include <QTimer>

#include <sys/stat.h>

#include <cstdio>

namespace {

// Ended without a painted window: the run measured something else than a start-up.
constexpr int kNotPaintedExitCode = 3;

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BITMAP MARKER\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    const QImage image = QImageReader(QString::fromUtf8(argv[1])).read();
    if (image.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    FirstPaintWindow window(QPixmap::fromImage(image));
    // Armed before show(), as the launcher arms its page's queue while it builds the page. The
    // first timer runs in the event loop's first round, with the expose and its paint; the
    // second one a round later, after the paint. Not quit(): that would close the window first.
    const char* marker = argv[2];
    QTimer::singleShot(1, Qt::PreciseTimer, &application, [&application, &window, marker] {
        QTimer::singleShot(1, Qt::PreciseTimer, &application, [&window, marker] {
            if (!window.Painted() || ::mkdir(marker, 0700) != 0)
                QCoreApplication::exit(kNotPaintedExitCode);
            else
                QCoreApplication::exit(0);
        });
    });
    window.show();
    const int result = QApplication::exec();
    return window.Painted() ? result : kNotPaintedExitCode;
}
