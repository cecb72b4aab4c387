#pragma once

#include <windows.h>

#include <string_view>
#include <utility>

namespace vintrel {

/// An open registry key, closed when the object goes: every path that opens
/// a key closes it again.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        std::swap(key_, other.key_);
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }

    HKEY get() const { return key_; }
    /// For the open and create calls to fill in.
    HKEY* out() { return &key_; }

private:
    HKEY key_ = nullptr;
};

/// Whether a text can pass through the registry's 8-bit calls whole: they end
/// names and string data at the first zero character.
inline bool HoldsZero(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

}  // namespace vintrel
