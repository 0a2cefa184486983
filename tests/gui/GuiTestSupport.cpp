#include "GuiTestSupport.h"

#include "tests/support/QtApplicationEnvironment.h"

#include <algorithm>
#include <cstdlib>

namespace GuiTest {

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new Vellmar::Testing::QtApplicationEnvironment);

std::wstring ImageFiles::Save(const std::string& name, const QImage& image) {
    const QString path = dir.filePath(QString::fromStdString(name));
    EXPECT_TRUE(image.save(path)) << name;
    return path.toStdWString();
}

QImage Filled(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

::testing::AssertionResult ColourNear(QColor actual, QColor expected, int tolerance) {
    if (std::max({std::abs(actual.red() - expected.red()),
                  std::abs(actual.green() - expected.green()),
                  std::abs(actual.blue() - expected.blue())}) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

} // namespace GuiTest
