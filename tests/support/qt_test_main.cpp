// GoogleTest entry point for tests that need a QApplication. Test discovery
// runs the binary outside ctest's environment, so default to the offscreen
// platform here rather than relying on the caller.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
