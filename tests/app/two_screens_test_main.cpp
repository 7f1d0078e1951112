#include "app/TaskwickApplication.h"

#include <gtest/gtest.h>

// Window tests on two screens side by side, 1920 x 1080 each (two_screens.json), on the
// offscreen platform.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TASKWICK_TWO_SCREENS_CONFIG);
    taskwick::TaskwickApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
