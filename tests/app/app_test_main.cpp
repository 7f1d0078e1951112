#include "app/TaskwickApplication.h"

#include <gtest/gtest.h>

// The app tests run on the program's own application class, so its exception handling
// is the one under test.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    taskwick::TaskwickApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
