// The main window's behaviour runs in a private session: no test reaches the
// user's settings, autostart folders or running copy.
#include <gtest/gtest.h>

#include "tests/support/test_session.h"

int main(int argc, char** argv) {
    const vintrel::testing::TestSession session;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
