// Test entry point: the defaults every test program runs with, also when started by hand.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("AUTORUN_NONINTERACTIVE", "1", 0);
    ::setenv("VELLMAR_TEST_BIN_DIR", VELLMAR_TEST_BIN_DIR, 0);
    ::setenv("VELLMAR_SOURCE_DIR", VELLMAR_SOURCE_DIR, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
