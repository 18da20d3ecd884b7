#include "ctl/discover_command.h"

#include "ctl/ctl_session.h"
#include "ctl/json_object.h"
#include "ctl/utf8_text.h"
#include "link/await_completion.h"
#include "link/discovery.h"
#include "link/model_names.h"

#include <cstdio>

namespace brenvik::ctl {

namespace {

// The search's own window and a margin for the link to hand the result over.
constexpr std::chrono::seconds kResultMargin{10};

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

std::string TypeText(std::uint8_t typeCode) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", typeCode);
    return text;
}

std::string KindName(std::uint8_t typeCode) {
    return typeCode == kTypeMultiviewer      ? "multiviewer"
           : typeCode == kTypeMatrixSwitcher ? "matrix"
                                             : "other";
}

std::string Table(const std::vector<DiscoveredUnit>& units) {
    std::string text = "MODEL             ADDRESS          TYPE  KIND         UNIT  ID\n";
    for (const DiscoveredUnit& unit : units) {
        char line[160];
        std::snprintf(line, sizeof line, "%-17s %-16s %-5s %-12s %-5d %s\n",
                      Utf8(DisplayModelName(unit.modelName)).c_str(),
                      unit.entry.Ip().empty() ? "serial" : unit.entry.Ip().c_str(),
                      TypeText(unit.entry.typeCode).c_str(), KindName(unit.entry.typeCode).c_str(),
                      unit.entry.unitAddress, Hex(unit.entry.unitId).c_str());
        text += line;
    }
    return text;
}

std::string Json(const std::vector<DiscoveredUnit>& units) {
    std::vector<std::string> items;
    for (const DiscoveredUnit& unit : units) {
        items.push_back(JsonObject()
                            .Text("model", Utf8(DisplayModelName(unit.modelName)))
                            .Text("reportedModel", Utf8(unit.modelName))
                            .Raw("address", unit.entry.Ip().empty() ? "null" : JsonQuote(unit.entry.Ip()))
                            .Number("type", unit.entry.typeCode)
                            .Text("kind", KindName(unit.entry.typeCode))
                            .Number("unitAddress", unit.entry.unitAddress)
                            .Text("id", Hex(unit.entry.unitId))
                            .Json());
    }
    return JsonArray(items) + "\n";
}

} // namespace

int RunDiscover(CommandWords& words, const CtlContext& context) {
    words.Finish();
    CtlSession session(context.options, context.err);
    if (!session.Open()) {
        return kExitNoAnswer;
    }
    const auto window = context.options.discoveryWindow;
    const auto result = AwaitCompletion<DiscoveryResult>(
        [&](auto done) { StartDiscovery(session.Link(), {}, std::move(done), window); },
        std::max<std::chrono::milliseconds>(window, kSerialDiscoveryWindow) + kResultMargin);
    if (!result || result->outcome == DiscoveryResult::Outcome::SocketError) {
        context.err << "brenvik-ctl: Create socket err (is the local port held by another program?)\n";
        return kExitNoAnswer;
    }
    if (result->outcome == DiscoveryResult::Outcome::SerialPortClosed) {
        context.err << "brenvik-ctl: the serial port is not open\n";
        return kExitNoAnswer;
    }
    if (context.options.json) {
        context.out << Json(result->units);
    } else if (!result->units.empty()) {
        context.out << Table(result->units);
    }
    if (result->units.empty()) {
        context.err << "brenvik-ctl: No Device Found\n";
        return kExitNoAnswer;
    }
    return kExitSuccess;
}

} // namespace brenvik::ctl
