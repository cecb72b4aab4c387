#include "shell/window_message.h"

#include <exception>

#include "shell/application_exception.h"

namespace vintrel {

std::intptr_t DeliverMessage(WindowProcedure procedure, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam) {
    TMessage m{message, wParam, lParam, 0};
    try {
        procedure(m);
    } catch (...) {
        handleApplicationException(std::current_exception());
    }
    return m.Result;
}

}  // namespace vintrel
