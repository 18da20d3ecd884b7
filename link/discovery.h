#pragma once

#include "link/device_table.h"
#include "link/frame.h"
#include "link/unit_link.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace brenvik {

inline constexpr std::chrono::milliseconds kLanDiscoveryWindow{2000};

// One unit that answered a search: its table entry and the model name it reported.
struct DiscoveredUnit {
    DeviceEntry entry;
    std::u16string modelName;
    bool operator==(const DiscoveredUnit&) const = default;
};

// What a search found.
struct DiscoveryResult {
    enum class Outcome { Found, NoneFound, SocketError, SerialPortClosed };
    Outcome outcome = Outcome::NoneFound;
    std::vector<DiscoveredUnit> units; // in the order they answered, at most 256
};

// Broadcasts one discovery request on the link and lists every unit that answers within the
// window; `done` gets the result on the link thread when the window ends (nothing when `cancel`
// ended it first). When the broadcast socket cannot be opened or bound the outcome is SocketError
// with nothing listed; the caller tells the operator "Create socket err". Identifier bytes that a
// reply's separator leaves past the end of the datagram read as zero; at most 256 answers are
// recorded, later ones are received and dropped until the window ends.
void StartDiscovery(UnitLink& link, std::stop_token cancel, std::function<void(DiscoveryResult)> done,
                    std::chrono::milliseconds window = kLanDiscoveryWindow);

// One handled frame of the serial search.
struct SerialScanResult {
    bool over = false;
    std::optional<std::u16string> modelName; // discovery reply: the reported name
    std::optional<DeviceEntry> entry;        // entry 0
    std::optional<Frame> stateFrame;         // a whole state frame, for the unit's core to decode
};
SerialScanResult ScanSerialReplies(std::span<const std::uint8_t> accumulated);

// Rebuilds the table from a search result and sets the selected index: 0 when a unit was found.
void ApplyDiscovery(DeviceTable& table, const DiscoveryResult& result);

} // namespace brenvik
