#pragma once

#include "link/device_table.h"
#include "link/unit_link.h"
#include "multiviewer/core/multiviewer_state.h"
#include "multiviewer/core/state_block.h"

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>

namespace brenvik {

inline constexpr std::chrono::milliseconds kStateReadWait{2000};
// The shortest answer the console takes: 18 header bytes, the 789 block bytes and the two
// checksum bytes; the terminator may be missing.
inline constexpr std::size_t kStateAnswerMinSize = 18 + kMultiviewerStateBlockSize + 2;

// What the link half of a state read brings back.
struct StateRead {
    enum class Outcome {
        NotSent,  // no command socket / serial port closed / no unit: nothing is decoded
        Stopped,  // cancelled before the answer came: nothing is decoded
        TimedOut, // no answer in time: the record is decoded again from the block it holds
        Answered, // `block` holds the unit's state
    };
    Outcome outcome = Outcome::NotSent;
    std::optional<StateBlock> block;
};

// The link half of a state read: queues query 0x0A to `unit` with the link's current link byte
// and collects the answer within `wait`. `done` gets the read once, on the link thread (or at once
// when the unit cannot be addressed), and must only hand it on; a cancel ends the wait at once
// with Stopped. Touches neither the record nor any control.
void QueryUnitState(UnitLink& link, const std::optional<DeviceEntry>& unit, std::stop_token cancel,
                    std::function<void(StateRead)> done, std::chrono::milliseconds wait = kStateReadWait);

} // namespace brenvik
