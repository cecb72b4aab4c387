#pragma once

#include <optional>
#include <utility>

#include "timesync/correction_settings.h"

namespace vintrel {

/// The correction's settings in the settings store: "ConnectionType" (with
/// "Address" and "Port" in mode "3"), "Precise" and "LastPing". Throws
/// ERegistryException.
class StoredCorrectionSettings : public CorrectionSettings {
public:
    /// `connection`, when given, stands in for the stored one (a command
    /// line's choice).
    explicit StoredCorrectionSettings(std::optional<ConnectionSettings> connection = std::nullopt)
        : connection_(std::move(connection)) {}

    ConnectionSettings connection() override;
    bool preciseWanted() override;
    void recordLastPing(const std::string& text) override;

private:
    std::optional<ConnectionSettings> connection_;
};

}  // namespace vintrel
