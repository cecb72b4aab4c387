#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/daytime_client.h"
#include "platform/loop_inbox.h"
#include "platform/timing_clock.h"
#include "platform/win32/proxy_text.h"
#include "platform/win32/system_error_text.h"

namespace vintrel {
namespace {

constexpr DWORD kReplyBytes = 1024;

DaytimeFetch Failed(std::string reason) {
    return {{}, std::move(reason)};
}

// WinInet's codes (12001 and up) are in its own message table.
std::string InternetErrorText(DWORD code) {
    return SystemErrorText(code, GetModuleHandleA("wininet.dll"));
}

std::string Seconds(std::chrono::milliseconds span) {
    const auto whole =
        std::max<std::int64_t>(std::chrono::ceil<std::chrono::seconds>(span).count(), 1);
    return std::to_string(whole) + (whole > 1 ? " seconds" : " second");
}

DWORD Milliseconds(std::chrono::milliseconds span) {
    return static_cast<DWORD>(std::clamp<std::int64_t>(span.count(), 1, 0x7FFFFFFF));
}

// Bounds every wait of the library. Handles made from this one inherit the
// limits on Windows; Wine passes on the connect limit only, which is why the
// fetch also keeps its own deadline.
void SetTimeouts(HINTERNET internet, const DaytimeTimeouts& timeouts) {
    DWORD connect = Milliseconds(timeouts.connect);
    DWORD total = Milliseconds(timeouts.total);
    InternetSetOptionA(internet, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    InternetSetOptionA(internet, INTERNET_OPTION_SEND_TIMEOUT, &total, sizeof total);
    InternetSetOptionA(internet, INTERNET_OPTION_RECEIVE_TIMEOUT, &total, sizeof total);
}

// A daytime server sends no status line, which WinInet reports as 200 (or
// as 0 when nothing came at all). Anything else is an HTTP answer from a
// proxy (an error page) or from a web server, never the time.
std::string RefusalOf(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr) ||
        status == 0 || status == HTTP_STATUS_OK) {
        return {};
    }
    char text[128] = {};
    size = sizeof text - 1;
    std::string answer = std::to_string(status);
    if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_TEXT, text, &size, nullptr) && text[0] != '\0') {
        answer += " " + std::string(text);
    }
    return "Instead of the time, the answer was the HTTP status \"" + answer + "\".";
}

// One read: what has arrived when data is first there, at most the reply
// buffer, up to its first zero byte. Later pieces are not waited for.
DaytimeFetch ReadReply(HINTERNET request, DaytimeTiming timing) {
    if (std::string refusal = RefusalOf(request); !refusal.empty()) return Failed(refusal);
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
        return Failed("Could not read from the time server: " + InternetErrorText(GetLastError()));
    }
    timing.firstByte = timingClock().monotonicSeconds();
    char buffer[kReplyBytes];
    DWORD read = 0;
    if (available > 0 &&
        !InternetReadFile(request, buffer, std::min(available, kReplyBytes), &read)) {
        return Failed("Could not read from the time server: " + InternetErrorText(GetLastError()));
    }
    if (read == 0) return Failed("The time server closed the connection without sending anything.");
    std::string reply(buffer, read);
    reply.resize(std::min(reply.size(), reply.find('\0')));
    if (reply.empty()) return Failed("The time server's reply began with a zero byte.");
    return {std::move(reply), {}, timing};
}

// The blocking part of one fetch, run on a thread of its own so that the
// caller can stop waiting at its deadline even where the library does not
// keep the limits (on Windows they end the request as well; under Wine it
// ends when the server or proxy lets go). The job alone uses and closes the
// handles, so a caller that gave up can never close a handle in use.
class FetchJob {
public:
    FetchJob(HINTERNET internet, std::string url) : internet_(internet), url_(std::move(url)) {}
    FetchJob(const FetchJob&) = delete;
    FetchJob& operator=(const FetchJob&) = delete;
    // Only when the job never ran.
    ~FetchJob() {
        if (internet_ != nullptr) InternetCloseHandle(internet_);
    }

    void run() {
        // WinInet does not say when the connection stood, so the whole wait
        // counts as the way there: the server read its clock somewhere
        // between sending and the first byte, which is all that is claimed.
        DaytimeTiming timing;
        timing.sent = timingClock().monotonicSeconds();
        timing.connected = timing.sent;
        HINTERNET request =
            InternetOpenUrlA(internet_, url_.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
        DaytimeFetch result =
            request != nullptr
                ? ReadReply(request, timing)
                : Failed("Could not open " + url_ + ": " + InternetErrorText(GetLastError()));
        if (request != nullptr) InternetCloseHandle(request);
        InternetCloseHandle(std::exchange(internet_, nullptr));
        std::lock_guard lock(mutex_);
        result_ = std::move(result);
        done_ = true;
        finished_.notify_all();
    }

    // The result, or nothing when the deadline came first.
    std::optional<DaytimeFetch> wait(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        if (finished_.wait_for(lock, limit, [this] { return done_; })) return result_;
        return std::nullopt;
    }

private:
    HINTERNET internet_;
    const std::string url_;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    DaytimeFetch result_;
};

class WinInetDaytimeClient final : public DaytimeClient {
public:
    explicit WinInetDaytimeClient(DaytimeTimeouts timeouts) : timeouts_(timeouts) {}

    DaytimeFetch fetch(const DaytimeRequest& request) override {
        const bool viaProxy = request.accessType == InternetAccessType::Proxy;
        if (viaProxy && !NamesHttpProxy(request.proxyText)) {
            return Failed("The proxy \"" + request.proxyText + "\" does not name a host and port.");
        }
        HINTERNET internet =
            InternetOpenA(request.agent.c_str(), static_cast<DWORD>(request.accessType),
                          viaProxy ? request.proxyText.c_str() : nullptr, nullptr, 0);
        if (internet == nullptr) {
            return Failed("The internet client could not be started: " +
                          InternetErrorText(GetLastError()));
        }
        SetTimeouts(internet, timeouts_);
        auto job = std::make_shared<FetchJob>(internet, request.url);
        try {
            std::thread([job] { job->run(); }).detach();
        } catch (const std::system_error& error) {
            return Failed("The request could not be started: " + std::string(error.what()));
        }
        if (std::optional<DaytimeFetch> result = job->wait(timeouts_.total)) return *result;
        return Failed("The time server sent nothing within " + Seconds(timeouts_.total) + ".");
    }

    // The whole bounded fetch runs on a thread of its own: its waits hold
    // nobody's message loop. A fetch nobody waits for any more runs out
    // within its own bounds.
    void fetchAsync(const DaytimeRequest& request,
                    std::function<void(DaytimeFetch)> done) override {
        if (!inbox_) inbox_ = std::make_unique<LoopInbox>();
        RunDetached<DaytimeFetch>(
            *inbox_,
            [request, timeouts = timeouts_] {
                return WinInetDaytimeClient(timeouts).fetch(request);
            },
            std::move(done),
            [](const std::string& why) {
                return Failed("No thread could be started for the query: " + why + ".");
            });
    }

private:
    DaytimeTimeouts timeouts_;
    std::unique_ptr<LoopInbox> inbox_;
};

}  // namespace

std::unique_ptr<DaytimeClient> makeDaytimeClient(DaytimeTimeouts timeouts) {
    return std::make_unique<WinInetDaytimeClient>(timeouts);
}

}  // namespace vintrel
