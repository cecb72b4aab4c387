#include <QTimer>

#include <utility>

#include "platform/scheduler.h"

namespace vintrel {
namespace {

class QtScheduler final : public Scheduler {
public:
    QtScheduler() {
        timer_.setSingleShot(true);
        // The default coarse timer may be 5 % late; a query aimed at a moment
        // within the second needs the millisecond.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // The call may schedule the next one, so it leaves the slot first.
            std::function<void()> callback = std::move(callback_);
            callback_ = nullptr;
            if (callback) callback();
        });
    }

    void callAfter(std::chrono::milliseconds delay, std::function<void()> callback) override {
        callback_ = std::move(callback);
        timer_.start(delay);
    }

    void cancel() override {
        timer_.stop();
        callback_ = nullptr;
    }

private:
    QTimer timer_;
    std::function<void()> callback_;
};

}  // namespace

std::unique_ptr<Scheduler> makeEventLoopScheduler() {
    return std::make_unique<QtScheduler>();
}

}  // namespace vintrel
