// Plays the shell's part in a restart of the notification area, for the
// smoke test: "remove" takes the icons of the program's tray windows out of
// the area, as a shell that ends loses them; "announce" broadcasts the
// message a new shell sends, after which the program must add them again.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace {

// The program's hidden tray windows: top-level, so that broadcasts reach them.
constexpr wchar_t kTrayWindowClass[] = L"VintrelTimerWindow";
// The icon numbers tried on each window; the program uses the first few.
constexpr UINT kIconIds = 32;

int RemoveIcons() {
    int removed = 0;
    for (HWND window = FindWindowExW(nullptr, nullptr, kTrayWindowClass, nullptr);
         window != nullptr; window = FindWindowExW(nullptr, window, kTrayWindowClass, nullptr)) {
        for (UINT id = 0; id < kIconIds; ++id) {
            NOTIFYICONDATAW data{};
            data.cbSize = sizeof data;
            data.hWnd = window;
            data.uID = id;
            if (Shell_NotifyIconW(NIM_DELETE, &data)) ++removed;
        }
    }
    std::printf("removed %d icon(s)\n", removed);
    return removed > 0 ? 0 : 1;
}

int Announce() {
    const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return PostMessageW(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "remove") == 0) return RemoveIcons();
    if (argc == 2 && std::strcmp(argv[1], "announce") == 0) return Announce();
    std::fprintf(stderr, "usage: taskbar_restart remove|announce\n");
    return 2;
}
