#pragma once

#include <cstdint>
#include <string>

namespace vintrel {

/// One copy per user: the first copy holds a named mutex in the session's
/// Local\ namespace, named with the user's SID; a later copy finds it there,
/// asks the first copy's main window (a registered message) to show itself,
/// and ends before touching anything else.
class Win32SingleInstance {
public:
    enum class Start {
        Running,  ///< this is the first copy
        Shown,    ///< another copy runs (and was asked to show its window)
        Failed,   ///< neither; `error()` says why
    };
    /// What the first copy's window answers to the request.
    static constexpr std::intptr_t kShownAnswer = 0x56494E;

    Win32SingleInstance();
    ~Win32SingleInstance();
    Win32SingleInstance(const Win32SingleInstance&) = delete;
    Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;

    Start start();
    /// The registered message that asks the first copy to show its window.
    unsigned showMessage() const { return showMessage_; }
    const std::string& error() const { return error_; }

private:
    bool askFirstCopy() const;

    std::wstring user_;
    void* mutex_ = nullptr;
    unsigned showMessage_ = 0;
    std::string error_;
};

}  // namespace vintrel
