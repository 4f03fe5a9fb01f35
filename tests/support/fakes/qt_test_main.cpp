// GoogleTest's main with a QApplication on the offscreen platform: widget tests need no display.
#include <gtest/gtest.h>
#include <QApplication>

#include "appearance.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    forms::registerFontSubstitutes();
    return RUN_ALL_TESTS();
}
