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
// The serial search ends at the first handled frame, or after this.
inline constexpr std::chrono::milliseconds kSerialDiscoveryWindow{3000};
// The serial search looks for frames in the newest bytes the line brought, this many at most.
inline constexpr std::size_t kSerialAccumulation = 1024;

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
    // Serial line: a whole state frame that answered the search in place of a discovery reply,
    // for the unit's core to take its block from.
    std::optional<Frame> stateFrame;
};

// Sends one discovery request on the link and lists the units that answer; `done` gets the result
// on the link thread when the search ends (nothing when `cancel` ended it first).
// On the LAN the request is broadcast — to 255.255.255.255 out of every interface that is up, not
// loopback and allows broadcast — and every unit that answers within `window` is listed. When
// the broadcast socket cannot be opened or bound the outcome is SocketError with nothing listed;
// the caller tells the operator "Create socket err". Identifier bytes that a reply's separator
// leaves past the end of the datagram read as zero; at most 256 answers are recorded, later ones
// are received and dropped until the window ends.
// On the serial line the search ends at the first reply (or state frame) found in the newest 1024
// bytes, or after `serialWindow`; with the port closed the outcome is SerialPortClosed.
void StartDiscovery(UnitLink& link, std::stop_token cancel, std::function<void(DiscoveryResult)> done,
                    std::chrono::milliseconds window = kLanDiscoveryWindow,
                    std::chrono::milliseconds serialWindow = kSerialDiscoveryWindow);

// One handled frame of the serial search.
struct SerialScanResult {
    bool over = false;
    std::optional<std::u16string> modelName; // discovery reply: the reported name
    std::optional<DeviceEntry> entry;        // entry 0
    std::optional<Frame> stateFrame;         // a whole state frame, for the unit's core to decode
};
// Finds the first discovery reply or whole state frame in the bytes; other frames are passed over.
// A candidate that proves no frame (a stray "A5 6C", a unit reset mid-frame) does not hide a frame
// that begins inside it.
SerialScanResult ScanSerialReplies(std::span<const std::uint8_t> accumulated);

// Rebuilds the table from a search result and sets the selected index: 0 when a unit was found.
void ApplyDiscovery(DeviceTable& table, const DiscoveryResult& result);

} // namespace brenvik
