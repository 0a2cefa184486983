#pragma once

#include "ltf/gui/FxTypes.h"
#include "ltf/gui/SoundSink.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace GuiTest {

// Bitmaps the tests draw, saved as files the button loads by name.
class ImageFiles {
public:
    std::wstring Save(const std::string& name, const QImage& image);

private:
    QTemporaryDir dir;
};

QImage Filled(int width, int height, QColor colour);

inline LTF::GUI::Colour C(int r, int g, int b) {
    return LTF::GUI::MakeColour(r, g, b);
}

// Each channel within `tolerance` of the expected one.
::testing::AssertionResult ColourNear(QColor actual, QColor expected, int tolerance = 0);

// Remembers every sound a button asked for, in order.
class RecordingSoundSink : public LTF::GUI::SoundSink {
public:
    void PlaySound(const std::wstring& file) override { played.push_back(file); }
    std::vector<std::wstring> played;
};

} // namespace GuiTest
