#include "platform/win32/system_error_text.h"

namespace vintrel {

std::string SystemErrorText(DWORD code, HMODULE module) {
    char text[512] = {};
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (module != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    DWORD length = FormatMessageA(flags, module, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  text, static_cast<DWORD>(sizeof text), nullptr);
    while (length > 0 &&
           (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) {
        --length;
    }
    if (length == 0) return "error " + std::to_string(code);
    return std::string(text, length);
}

}  // namespace vintrel
