#pragma once

#include <QImage>

namespace DemoArt {

// The game's title logo: a lantern medallion and the name in gold.
class LogoPainter {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 100;

    // With alpha, for painting into backgrounds; `lit` is the hover look of the logo link.
    static QImage Draw(bool lit);
};

} // namespace DemoArt
