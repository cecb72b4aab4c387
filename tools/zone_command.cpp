#include "tools/zone_command.h"

#include "timesync/convert_error.h"
#include "timezone/time_zone_rows.h"
#include "tools/sync_command.h"

namespace vintrel {

int RunZone(std::ostream& out, std::ostream& err) {
    try {
        for (const auto& [caption, value] : TimeZoneReportRows()) {
            out << caption << ": " << value << '\n';
        }
        return kSyncSuccess;
    } catch (const EConvertError& error) {
        err << kSyncProgram << ": the system's time-zone rules cannot be shown: " << error.what()
            << '\n';
        return kSyncUsageError;
    }
}

}  // namespace vintrel
