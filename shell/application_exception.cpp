#include "shell/application_exception.h"

#include <cstdio>
#include <utility>

namespace vintrel {
namespace {

void writeToStandardError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "unknown exception\n");
    }
}

ApplicationExceptionHandler& installedHandler() {
    static ApplicationExceptionHandler handler = writeToStandardError;
    return handler;
}

}  // namespace

std::string ExceptionText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "Unknown error";
}

ApplicationExceptionHandler setApplicationExceptionHandler(ApplicationExceptionHandler handler) {
    if (!handler) handler = writeToStandardError;
    return std::exchange(installedHandler(), std::move(handler));
}

void handleApplicationException(std::exception_ptr error) {
    // A copy, so a handler that installs another one is not destroyed while it runs.
    const ApplicationExceptionHandler handler = installedHandler();
    handler(error);
}

}  // namespace vintrel
