// The dialog tests run in a private session (temporary HOME and XDG folders)
// on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/test_session.h"

int main(int argc, char** argv) {
    const vintrel::testing::TestSession session;
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
