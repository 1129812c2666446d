#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Window tests run without a display, whatever the machine has.
int main(int argc, char* argv[])
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
