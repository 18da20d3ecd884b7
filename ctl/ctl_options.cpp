#include "ctl/ctl_options.h"

#include "ctl/command_words.h"
#include "ctl/usage_error.h"
#include "link/cn_comm.h"
#include "link/platform/udp_socket.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace brenvik::ctl {

namespace {

constexpr int kHighestPort = 65535;
// A discovery window past a minute is a typing error, not a wish.
constexpr int kLongestWindowMs = 60000;

std::uint16_t Port(const std::string& text, const std::string& option) {
    return static_cast<std::uint16_t>(CommandWords::Number(text, 1, kHighestPort, option));
}

std::array<std::uint8_t, 4> UnitId(const std::string& text) {
    std::array<std::uint8_t, 4> id{};
    const auto hexDigit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    if (text.size() != 2 * id.size() ||
        !std::all_of(text.begin(), text.end(), [&](char c) { return hexDigit(c) >= 0; })) {
        throw UsageError("--id '" + text + "' must be 8 hexadecimal digits");
    }
    for (std::size_t i = 0; i < id.size(); ++i) {
        id[i] = static_cast<std::uint8_t>(hexDigit(text[2 * i]) * 16 + hexDigit(text[2 * i + 1]));
    }
    return id;
}

void RequireIpv4(const std::string& text, const std::string& option) {
    if (!Ipv4Address::Parse(text, 0)) {
        throw UsageError(option + " '" + text + "' is not an IPv4 address");
    }
}

} // namespace

CtlOptions ParseCtlOptions(const std::vector<std::string>& args) {
    CtlOptions options;
    // Options that take a value and what each does with it.
    struct ValueOption {
        std::string_view name;
        void (*apply)(CtlOptions&, const std::string&);
    };
    static constexpr std::array<ValueOption, 10> kValueOptions{{
        {"--unit",
         [](CtlOptions& o, const std::string& v) {
             RequireIpv4(v, "--unit");
             o.unit = v;
         }},
        {"--serial", [](CtlOptions& o, const std::string& v) { o.serialPort = v; }},
        {"--baud",
         [](CtlOptions& o, const std::string& v) {
             const int baud = CommandWords::Number(v, 1, 1000000, "--baud");
             if (std::find(kSerialBaudRates.begin(), kSerialBaudRates.end(), static_cast<unsigned>(baud)) ==
                 kSerialBaudRates.end()) {
                 throw UsageError("--baud " + v + " is not one of 9600, 19200, 38400, 57600, 115200");
             }
             o.baud = static_cast<unsigned>(baud);
         }},
        {"--port",
         [](CtlOptions& o, const std::string& v) {
             o.endpoints.unitPort = Port(v, "--port");
             o.endpoints.localPort = o.endpoints.unitPort;
         }},
        {"--local-port",
         [](CtlOptions& o, const std::string& v) { o.endpoints.localPort = Port(v, "--local-port"); }},
        {"--status-port",
         [](CtlOptions& o, const std::string& v) { o.endpoints.statusPort = Port(v, "--status-port"); }},
        {"--broadcast",
         [](CtlOptions& o, const std::string& v) {
             RequireIpv4(v, "--broadcast");
             o.endpoints.broadcastAddress = v;
         }},
        {"--unit-address",
         [](CtlOptions& o, const std::string& v) {
             o.unitAddress = static_cast<std::uint8_t>(CommandWords::Number(v, 0, 255, "--unit-address"));
         }},
        {"--id", [](CtlOptions& o, const std::string& v) { o.unitId = UnitId(v); }},
        {"--wait",
         [](CtlOptions& o, const std::string& v) {
             o.discoveryWindow =
                 std::chrono::milliseconds(CommandWords::Number(v, 1, kLongestWindowMs, "--wait"));
         }},
    }};

    // --local-port may come before --port; it wins wherever it stands.
    std::optional<std::string> localPort;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--man") {
            options.man = true;
            continue;
        }
        const auto* option = std::find_if(kValueOptions.begin(), kValueOptions.end(),
                                          [&](const ValueOption& o) { return o.name == arg; });
        if (option == kValueOptions.end()) {
            options.words.push_back(arg);
            continue;
        }
        if (i + 1 == args.size()) {
            throw UsageError("option " + arg + " needs a value");
        }
        const std::string& value = args[++i];
        if (arg == "--local-port") {
            localPort = value;
        }
        option->apply(options, value);
    }
    if (localPort) {
        options.endpoints.localPort = Port(*localPort, "--local-port");
    }
    if (options.unit && options.serialPort) {
        throw UsageError("--unit and --serial exclude each other");
    }
    return options;
}

} // namespace brenvik::ctl
