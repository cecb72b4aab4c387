#pragma once

#include <string>

namespace vintrel::testing {

/// Gives the whole test program a private session before anything reads it:
/// HOME, the XDG configuration, data, cache and state folders and the runtime
/// folder (where the single-instance socket lives) point into a fresh
/// temporary folder, Qt draws on its offscreen platform, and the session bus
/// is forgotten. So no test reaches the user's settings, autostart folders,
/// running copy or desktop. The folder goes when the object goes.
class TestSession {
public:
    TestSession();
    ~TestSession();
    TestSession(const TestSession&) = delete;
    TestSession& operator=(const TestSession&) = delete;

    const std::string& root() const { return root_; }

private:
    std::string root_;
};

}  // namespace vintrel::testing
