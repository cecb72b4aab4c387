#include "app/win32/single_instance_win32.h"

#include <vector>

#include "platform/win32/system_error_text.h"
#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"
// After windows.h, which it needs.
#include <sddl.h>

namespace vintrel {
namespace {

// The user's SID as text ("S-1-5-21-..."); empty when it cannot be read.
std::wstring UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    std::wstring text;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        LPWSTR sid = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
            text = sid;
            LocalFree(sid);
        }
    }
    CloseHandle(token);
    return text;
}

struct Search {
    UINT message;
    bool shown = false;
};

BOOL CALLBACK AskWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring_view(name) != L"TfrmTzMain") return TRUE;
    DWORD_PTR answer = 0;
    // Bounded: a first copy that hangs must not hang this one.
    if (SendMessageTimeoutW(window, search.message, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000,
                            &answer) != 0 &&
        answer == static_cast<DWORD_PTR>(Win32SingleInstance::kShownAnswer)) {
        search.shown = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

Win32SingleInstance::Win32SingleInstance() : user_(UserSid()) {
    showMessage_ = RegisterWindowMessageW((L"Vintrel.ShowWindow." + user_).c_str());
}

Win32SingleInstance::~Win32SingleInstance() {
    if (mutex_ != nullptr) CloseHandle(mutex_);
}

Win32SingleInstance::Start Win32SingleInstance::start() {
    if (user_.empty()) {
        error_ = "the user's SID cannot be read: " + SystemErrorText(GetLastError());
        return Start::Failed;
    }
    mutex_ = CreateMutexW(nullptr, FALSE, (L"Local\\Vintrel-" + user_).c_str());
    const DWORD created = GetLastError();
    if (mutex_ == nullptr) {
        error_ = "the single-copy mutex cannot be created: " + SystemErrorText(created);
        return Start::Failed;
    }
    if (created != ERROR_ALREADY_EXISTS) return Start::Running;
    // The first copy may still be building its window: it is asked for a while.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (askFirstCopy()) break;
        Sleep(100);
    }
    return Start::Shown;
}

bool Win32SingleInstance::askFirstCopy() const {
    // The first copy may bring its window to the front only with this leave.
    AllowSetForegroundWindow(ASFW_ANY);
    Search search{showMessage_};
    EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&search));
    return search.shown;
}

}  // namespace vintrel
