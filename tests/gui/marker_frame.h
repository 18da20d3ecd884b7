#pragma once

// How a test against a simulated unit proves that an action sent nothing, without waiting for a
// time to pass: a marker frame queued after the action goes out behind whatever the action queued,
// since the link keeps the order of its frames; once the marker has arrived, so has all of that.

#include "link/frame.h"
#include "link/unit_link.h"
#include "sim/simulated_unit.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <vector>

namespace brenvik::test {

// An opcode no unit knows: a unit passes the frame over.
inline constexpr std::uint8_t kMarkerOpcode = 0x7F;

inline bool IsMarker(const Frame& frame) {
    return frame.size() > frame_offset::kOpcode && frame[frame_offset::kOpcode] == kMarkerOpcode;
}

// Every frame `unit` received before a marker queued on `link` now, markers left out.
inline std::vector<Frame> ReceivedBeforeMarker(UnitLink& link, const std::optional<DeviceEntry>& to,
                                               const sim::SimulatedUnit& unit) {
    const auto markers = [](const std::vector<Frame>& frames) {
        return std::count_if(frames.begin(), frames.end(), IsMarker);
    };
    const auto before = markers(unit.Received());
    const DeviceEntry addressing = to.value_or(DeviceEntry{});
    EXPECT_TRUE(link.Send(
        to, BuildFrame(addressing.typeCode, addressing.unitAddress, link.LinkByte(), kMarkerOpcode)));
    std::vector<Frame> received;
    const bool arrived = QTest::qWaitFor([&] {
        received = unit.Received();
        return markers(received) > before;
    });
    EXPECT_TRUE(arrived) << "the marker frame never reached the unit";
    // What came after the marker was sent after it too: not the action's.
    if (const auto last = std::find_if(received.rbegin(), received.rend(), IsMarker);
        last != received.rend()) {
        received.erase(std::prev(last.base()), received.end());
    }
    std::erase_if(received, IsMarker);
    return received;
}

// The frames among them that carry `opcode`.
inline std::vector<Frame> WithOpcode(const std::vector<Frame>& frames, std::uint8_t opcode) {
    std::vector<Frame> found;
    std::copy_if(frames.begin(), frames.end(), std::back_inserter(found), [opcode](const Frame& frame) {
        return frame.size() > frame_offset::kOpcode && frame[frame_offset::kOpcode] == opcode;
    });
    return found;
}

} // namespace brenvik::test
