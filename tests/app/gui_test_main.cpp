// The window tests run in a private session (temporary HOME, XDG folders and
// runtime folder) on Qt's offscreen platform, under the program's own
// application object, so its resources, title and error handling are there.
#include <gtest/gtest.h>

#include "app/application.h"
#include "tests/support/test_session.h"

int main(int argc, char** argv) {
    const vintrel::testing::TestSession session;
    ::testing::InitGoogleTest(&argc, argv);
    vintrel::VintrelApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
