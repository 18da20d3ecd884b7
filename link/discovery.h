#pragma once

#include "link/console_link.h"
#include "link/device_table.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brenvik {

inline constexpr std::size_t kMultiviewerStateBlockSize = 789;
inline constexpr std::chrono::milliseconds kLanDiscoveryWindow{2000};

// Reported model names shown under a display name instead; every other name is shown as reported.
std::u16string DisplayModelName(const std::u16string& reported);

// What a search leaves for the main window to show.
struct DiscoveryResult {
    enum class Outcome { Found, NoneFound, SocketError, SerialPortClosed };
    Outcome outcome = Outcome::NoneFound;
    std::vector<DeviceEntry> entries;      // table entries 0..n-1, at most 256
    std::vector<std::u16string> listItems; // list items, "No Device Found" when none answered
    int selectedIndex = -1;
    std::string statusText; // "Connected - %d" or "No Device Connected"; empty on errors
};

// Broadcasts one discovery request and lists every unit that answers within the window.
// Blocks the calling thread for the whole window; the main window runs it off the UI thread.
// When the broadcast socket cannot be opened or bound it returns Outcome::SocketError with
// nothing listed and shows nothing: the caller tells the operator "Create socket err".
// Identifier bytes that a reply's separator leaves past the end of the datagram read as zero; at
// most 256 answers are recorded, later ones are received and dropped until the window ends.
DiscoveryResult DiscoverOverLan(ConsoleLink& link, std::chrono::milliseconds window = kLanDiscoveryWindow);

// One handled frame of the serial search.
struct SerialScanResult {
    bool over = false;
    std::optional<std::u16string> listItem; // discovery reply: name alone
    std::optional<DeviceEntry> entry;       // entry 0
    std::optional<std::array<std::uint8_t, kMultiviewerStateBlockSize>> stateBlock; // a state frame
};
SerialScanResult ScanSerialReplies(std::span<const std::uint8_t> accumulated);

// Rebuilds the table from a search result and sets the selected index.
void ApplyDiscovery(DeviceTable& table, const DiscoveryResult& result);

} // namespace brenvik
