#include "tools/sync_arguments.h"

#include <algorithm>
#include <string_view>

namespace vintrel {
namespace {

constexpr int kHighestPort = 65535;
constexpr int kMostSamples = 32;
// The public servers refuse a client that asks more often.
constexpr std::chrono::milliseconds kPublicSpacing{4000};

// Digits only, at most `digits` of them.
std::optional<int> Number(std::string_view text, std::size_t digits) {
    if (text.empty() || text.size() > digits) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int> PortNumber(std::string_view text) {
    const std::optional<int> value = Number(text, 5);
    if (!value || *value < 1 || *value > kHighestPort) return std::nullopt;
    return value;
}

bool LoopbackHost(std::string_view host) {
    return host.starts_with("127.") || host == "::1" || host == "[::1]" || host == "localhost";
}

// The server goes into a URL as it stands, so only host-name characters (and
// the brackets and colons of an IPv6 literal) may reach it.
bool PlausibleHost(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
    });
}

std::string ChooseConnection(SyncArguments& args, ConnectionSettings connection) {
    if (args.connection) return "choose only one of --direct, --system-proxy and --proxy";
    args.connection = std::move(connection);
    return {};
}

std::string ApplyServer(SyncArguments& args, const std::string& value) {
    if (!PlausibleHost(value)) return "--server needs a host name or address, not '" + value + "'";
    args.server = value;
    return {};
}

std::string ApplyDirect(SyncArguments& args, const std::string&) {
    return ChooseConnection(args, {"1", {}, {}});
}

std::string ApplySystemProxy(SyncArguments& args, const std::string&) {
    return ChooseConnection(args, {"2", {}, {}});
}

std::string ApplyProxy(SyncArguments& args, const std::string& value) {
    const std::size_t colon = value.rfind(':');
    if (colon == std::string::npos || !PlausibleHost(value.substr(0, colon)) ||
        !PortNumber(value.substr(colon + 1))) {
        return "--proxy needs HOST:PORT, not '" + value + "'";
    }
    return ChooseConnection(args, {"3", value.substr(0, colon), value.substr(colon + 1)});
}

std::string ApplyPort(SyncArguments& args, const std::string& value) {
    const std::optional<int> port = PortNumber(value);
    if (!port) return "--port needs a number from 1 to 65535, not '" + value + "'";
    args.port = *port;
    return {};
}

std::string ApplyNoProbe(SyncArguments& args, const std::string&) {
    args.probe = false;
    return {};
}

std::string ApplySet(SyncArguments& args, const std::string&) {
    args.setClock = true;
    return {};
}

std::string ApplyZone(SyncArguments& args, const std::string&) {
    args.zone = true;
    return {};
}

std::string ApplyPrecise(SyncArguments& args, const std::string&) {
    args.precise = true;
    return {};
}

std::string ApplySamples(SyncArguments& args, const std::string& value) {
    const std::optional<int> samples = Number(value, 2);
    if (!samples || *samples < 1 || *samples > kMostSamples) {
        return "--samples needs a number from 1 to " + std::to_string(kMostSamples) + ", not '" +
               value + "'";
    }
    args.samples = *samples;
    return {};
}

std::string ApplyMinSpacing(SyncArguments& args, const std::string& value) {
    const std::optional<int> spacing = Number(value, 6);
    if (!spacing) return "--min-spacing needs milliseconds, not '" + value + "'";
    args.minSpacing = std::chrono::milliseconds(*spacing);
    return {};
}

// What no single option can tell.
std::string CheckTogether(const SyncArguments& args) {
    if ((args.samples || args.minSpacing) && !args.precise) {
        return "--samples and --min-spacing go with --precise";
    }
    // A public server blocks a client that asks too often, for everyone
    // behind the same address.
    if (args.minSpacing && *args.minSpacing < kPublicSpacing &&
        !(args.server && LoopbackHost(*args.server))) {
        return "--min-spacing below 4000 is only for a --server on this machine";
    }
    return {};
}

std::string ApplyHelp(SyncArguments& args, const std::string&) {
    args.help = true;
    return {};
}

struct OptionSpec {
    std::string_view name;
    std::string_view valueName;  // empty for a flag
    std::string_view help;
    std::string (*apply)(SyncArguments&, const std::string& value);
};

// A new option (a time-zone report, say) is one more row here and one more
// field in SyncArguments; parsing and --help follow the table. A row without
// help is for tests and stays out of --help.
constexpr OptionSpec kOptions[] = {
    {"--server", "ADDR", "ask this server instead of the stored \"ipAddress\"", ApplyServer},
    {"--direct", "", "connect directly, whatever the stored settings say", ApplyDirect},
    {"--system-proxy", "", "use the system's proxy settings", ApplySystemProxy},
    {"--proxy", "HOST:PORT", "tunnel through this http proxy", ApplyProxy},
    {"--port", "N", "the server's port (13 unless testing)", ApplyPort},
    {"--no-probe", "", "skip the check that public names resolve", ApplyNoProbe},
    {"--set", "", "set the system clock to the server's time", ApplySet},
    {"--zone", "", "print the time-zone rows as the window shows them, and no query", ApplyZone},
    {"--precise", "", "measure the offset to the millisecond (about 30 s)", ApplyPrecise},
    {"--samples", "K", "queries of --precise (8 unless told)", ApplySamples},
    {"--min-spacing", "MS", "", ApplyMinSpacing},
    {"--help", "", "show this text", ApplyHelp},
};

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& option : kOptions) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

}  // namespace

ParsedSyncArguments ParseSyncArguments(const std::vector<std::string>& arguments) {
    ParsedSyncArguments parsed;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        const std::string& word = arguments[i];
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const OptionSpec* option = word.starts_with("--") ? FindOption(name) : nullptr;
        if (option == nullptr) {
            parsed.error = word.starts_with("-") ? "unknown option '" + name + "'"
                                                 : "unexpected argument '" + word + "'";
            break;
        }
        std::string value;
        if (option->valueName.empty()) {
            if (equals != std::string::npos) {
                parsed.error = std::string(option->name) + " takes no value";
                break;
            }
        } else if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            parsed.error = std::string(option->name) + " needs " + std::string(option->valueName);
            break;
        }
        parsed.error = option->apply(parsed.arguments, value);
    }
    if (parsed.error.empty()) parsed.error = CheckTogether(parsed.arguments);
    return parsed;
}

std::string SyncUsage(const std::string& program) {
    std::string text = "Usage: " + program +
                       " [OPTION]...\n"
                       "Asks a daytime server (TCP port 13) for UTC and shows how far the system "
                       "clock is off;\nwith --set, sets the clock. Unless told otherwise it uses "
                       "the server and connection\nsettings that Vintrel stores.\n\n";
    for (const OptionSpec& option : kOptions) {
        if (option.help.empty()) continue;
        std::string left = "  " + std::string(option.name);
        if (!option.valueName.empty()) left += " " + std::string(option.valueName);
        left.resize(std::max<std::size_t>(left.size() + 2, 24), ' ');
        text += left + std::string(option.help) + "\n";
    }
    text +=
        "\nExit status: 0 success, 1 usage or settings error, 2 no connection to the internet,\n"
        "3 server unreachable or reply unusable, 4 clock not set.\n";
    return text;
}

}  // namespace vintrel
