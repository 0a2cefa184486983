// The window icon: the configuration's own PNG beside it, else the launcher's built-in one.
#include "app/WindowIcon.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QIcon>
#include <QImage>

namespace {

QRgb IconCentre() {
    return QApplication::windowIcon().pixmap(16, 16).toImage().pixel(8, 8) | 0xFF000000;
}

} // namespace

TEST(WindowIcon, OwnPngBesideTheConfigurationElseTheBuiltInOne) {
    const Vellmar::Testing::TempDir dir("vellmar-icon");
    const std::wstring configuration = dir.Wide("data/autorun.xml");
    dir.Write("data/autorun.xml", "<VellmarApp/>");

    WindowIcon::Apply(configuration); // nothing of its own
    ASSERT_FALSE(QApplication::windowIcon().isNull());
    const QRgb builtIn = IconCentre();

    // Configurations written on Windows do not care about letter case.
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString((dir / "data/Autorun.PNG").string())));
    EXPECT_EQ(WindowIcon::FileFor(configuration), dir.Wide("data/Autorun.PNG"));
    WindowIcon::Apply(configuration);
    EXPECT_EQ(IconCentre(), QColor(Qt::red).rgb());

    // A file that is no image leaves the built-in icon, never an empty one.
    dir.Write("data/Autorun.PNG", "not an image");
    WindowIcon::Apply(configuration);
    EXPECT_EQ(IconCentre(), builtIn);
    EXPECT_EQ(WindowIcon::FileFor(L""), L"");
}
