#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The launcher and the guard need no window; the offscreen platform keeps any Qt code that
// looks for one away from the machine's display.
int main(int argc, char* argv[])
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
