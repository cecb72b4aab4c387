#pragma once

#include <stdexcept>
#include <string>

namespace vintrel {

/// A date, time or number that cannot be converted; carries the user-facing text.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vintrel
