#include "matrix/core/matrix_routing.h"

#include <string>

namespace brenvik {

namespace {

Frame TextBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

RoutingOutcome SendText(UnitLink& link, const std::optional<DeviceEntry>& unit, Frame text) {
    // The link refuses before queuing what it cannot carry (no unit on the LAN, a closed serial
    // port); a socket that cannot be bound later drops the text without a word.
    return link.Send(unit, std::move(text)) ? RoutingOutcome::Sent : RoutingOutcome::LinkUnavailable;
}

} // namespace

Frame MatrixApplyText(std::uint8_t input, MatrixOutputs outputs) {
    if (outputs.none()) {
        return {};
    }
    std::string text = std::to_string(input) + 'V';
    for (std::size_t m = 1; m <= kMatrixPorts; ++m) {
        if (outputs.test(m - 1)) {
            text += std::to_string(m) + ',';
        }
    }
    text.back() = '.';
    return TextBytes(text);
}

Frame MatrixOneToAllText(std::uint8_t input) {
    return TextBytes(std::to_string(input) + "All.");
}

Frame MatrixOneToOneText() {
    return TextBytes("All#.");
}

RoutingOutcome MatrixApply(UnitLink& link, const std::optional<DeviceEntry>& unit, MatrixModel& model,
                           std::uint8_t input, MatrixOutputs outputs) {
    Frame text = MatrixApplyText(input, outputs);
    if (text.empty()) {
        return RoutingOutcome::NothingToSend;
    }
    for (std::size_t m = 0; m < kMatrixPorts; ++m) {
        if (outputs.test(m)) {
            model.sentRouting[m] = input;
            model.statusRouting[m] = input;
        }
    }
    return SendText(link, unit, std::move(text));
}

RoutingOutcome MatrixOneToAll(UnitLink& link, const std::optional<DeviceEntry>& unit, MatrixModel& model,
                              std::uint8_t input) {
    model.sentRouting.fill(input);
    model.statusRouting.fill(input);
    return SendText(link, unit, MatrixOneToAllText(input));
}

RoutingOutcome MatrixOneToOne(UnitLink& link, const std::optional<DeviceEntry>& unit, MatrixModel& model) {
    for (std::size_t m = 0; m < kMatrixPorts; ++m) {
        model.sentRouting[m] = static_cast<std::uint8_t>(m + 1);
        model.statusRouting[m] = static_cast<std::uint8_t>(m + 1);
    }
    return SendText(link, unit, MatrixOneToOneText());
}

} // namespace brenvik
