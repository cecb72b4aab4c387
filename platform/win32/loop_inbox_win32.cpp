#include <windows.h>

#include <deque>
#include <utility>

#include "platform/loop_inbox.h"

namespace vintrel {

// A hidden message-only window of the owner thread: a worker's PostMessage
// wakes the thread's message loop, which runs the work there. The work waits
// in the queue below, not in the message, so that what is queued when the
// inbox goes is freed with it rather than left in the thread's message queue.
struct LoopInbox::Slot::Receiver {
    static constexpr UINT kWorkArrived = WM_APP + 1;

    Slot* slot = nullptr;
    HWND window = nullptr;
    std::deque<std::function<void()>> queue;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static const wchar_t* windowClass();
};

const wchar_t* LoopInbox::Slot::Receiver::windowClass() {
    static const wchar_t* const name = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VintrelLoopInbox";
        RegisterClassW(&windowClass);
        return windowClass.lpszClassName;
    }();
    return name;
}

// One message per posted piece of work; the work may end the inbox itself,
// so nothing of it is touched after the work has run.
LRESULT CALLBACK LoopInbox::Slot::Receiver::procedure(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
    if (message != kWorkArrived) return DefWindowProcW(window, message, wParam, lParam);
    auto* receiver = reinterpret_cast<Receiver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (receiver == nullptr) return 0;
    std::function<void()> work;
    {
        const std::lock_guard<std::mutex> lock(receiver->slot->mutex_);
        if (receiver->queue.empty()) return 0;
        work = std::move(receiver->queue.front());
        receiver->queue.pop_front();
    }
    work();
    return 0;
}

LoopInbox::LoopInbox() : slot_(std::make_shared<Slot>()) {
    auto* receiver = new Slot::Receiver();
    receiver->slot = slot_.get();
    receiver->window = CreateWindowExW(0, Slot::Receiver::windowClass(), L"", 0, 0, 0, 0, 0,
                                       HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (receiver->window == nullptr) {
        // Nowhere to deliver to: posts are dropped, as after the inbox is gone.
        delete receiver;
        return;
    }
    SetWindowLongPtrW(receiver->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(receiver));
    slot_->receiver_ = receiver;
}

LoopInbox::~LoopInbox() {
    Slot::Receiver* receiver = nullptr;
    {
        const std::lock_guard<std::mutex> lock(slot_->mutex_);
        receiver = std::exchange(slot_->receiver_, nullptr);
    }
    if (receiver == nullptr) return;
    // The window's wake-ups still queued go with it; the work they stood for
    // is freed with the receiver, outside the lock, since freeing it may run
    // anything its captures own.
    DestroyWindow(receiver->window);
    delete receiver;
}

void LoopInbox::Slot::post(std::function<void()> work) {
    // Held while queueing, so that the owner cannot end the receiver between
    // the look and the post.
    const std::lock_guard<std::mutex> lock(mutex_);
    if (receiver_ == nullptr) return;
    receiver_->queue.push_back(std::move(work));
    if (!PostMessageW(receiver_->window, Receiver::kWorkArrived, 0, 0)) {
        // The thread's message queue is full: without a wake-up the work
        // would wait for another's, so it is dropped now.
        receiver_->queue.pop_back();
    }
}

}  // namespace vintrel
