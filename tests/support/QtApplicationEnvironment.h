#pragma once

#include <QApplication>

#include <gtest/gtest.h>

namespace Vellmar::Testing {

// The one application object every widget test needs; register it once per test program.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "tests";
            static char* argv[] = {name, nullptr};
            app = new QApplication(argc, argv);
        }
    }
    void TearDown() override { delete app; }

private:
    QApplication* app = nullptr;
};

} // namespace Vellmar::Testing
