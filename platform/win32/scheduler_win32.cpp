#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <atomic>
#include <utility>

#include "platform/scheduler.h"

namespace vintrel {
namespace {

constexpr UINT kDueMessage = WM_APP + 1;
constexpr const char* kWindowClass = "VintrelSchedulerWindow";

// The timer fires on a thread of the system's pool; the call itself must come
// from the thread that scheduled it. A message to a window of that thread
// comes through any message loop there, a message box's included, which a
// thread message would not.
class Win32Scheduler final : public Scheduler {
public:
    Win32Scheduler() {
        RegisterWindowClass();
        window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), this);
    }

    ~Win32Scheduler() override {
        cancel();
        if (window_ != nullptr) DestroyWindow(window_);
    }

    Win32Scheduler(const Win32Scheduler&) = delete;
    Win32Scheduler& operator=(const Win32Scheduler&) = delete;

    void callAfter(std::chrono::milliseconds delay, std::function<void()> callback) override {
        cancel();
        callback_ = std::move(callback);
        // The system's timer moves in steps of up to 16 ms unless asked for
        // the millisecond, which is asked only while a call is pending.
        if (!fineTimer_) fineTimer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
        const DWORD due = static_cast<DWORD>(delay.count() > 0 ? delay.count() : 0);
        if (!CreateTimerQueueTimer(&timer_, nullptr, &Fire, this, due, 0,
                                   WT_EXECUTEINTIMERTHREAD | WT_EXECUTEONLYONCE)) {
            timer_ = nullptr;
            // Without a timer the call comes with the next turn of the loop.
            PostMessageA(window_, kDueMessage, generation_.load(), 0);
        }
    }

    void cancel() override {
        // Waits for a firing timer to finish, so that nothing is posted after.
        if (timer_ != nullptr) DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
        timer_ = nullptr;
        // A message already posted carries the old number and is ignored.
        ++generation_;
        callback_ = nullptr;
        if (fineTimer_) timeEndPeriod(1);
        fineTimer_ = false;
    }

private:
    static void CALLBACK Fire(PVOID self, BOOLEAN) {
        auto* scheduler = static_cast<Win32Scheduler*>(self);
        PostMessageA(scheduler->window_, kDueMessage, scheduler->generation_.load(), 0);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        } else if (message == kDueMessage) {
            auto* scheduler =
                reinterpret_cast<Win32Scheduler*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            if (scheduler != nullptr) scheduler->due(wParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void due(WPARAM generation) {
        if (generation != generation_.load() || !callback_) return;
        if (timer_ != nullptr) DeleteTimerQueueTimer(nullptr, timer_, nullptr);
        timer_ = nullptr;
        if (fineTimer_) timeEndPeriod(1);
        fineTimer_ = false;
        // The call may schedule the next one, so it leaves the slot first.
        std::function<void()> callback = std::move(callback_);
        callback_ = nullptr;
        ++generation_;
        callback();
    }

    static void RegisterWindowClass() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClass;
        // A second registration fails harmlessly: the class is there.
        RegisterClassA(&windowClass);
    }

    HWND window_ = nullptr;
    HANDLE timer_ = nullptr;
    std::atomic<WPARAM> generation_{0};
    std::function<void()> callback_;
    bool fineTimer_ = false;
};

}  // namespace

std::unique_ptr<Scheduler> makeEventLoopScheduler() {
    return std::make_unique<Win32Scheduler>();
}

}  // namespace vintrel
