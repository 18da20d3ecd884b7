#pragma once

#include "link/console_link.h"
#include "link/device_table.h"
#include "multiviewer/core/main_window_hooks.h"
#include "multiviewer/core/multiviewer_state.h"
#include "multiviewer/core/state_block.h"

#include <chrono>
#include <optional>
#include <stop_token>

namespace brenvik {

inline constexpr std::chrono::milliseconds kStateReadWait{2000};
// The shortest answer the console takes: 18 header bytes, the 789 block bytes and the two
// checksum bytes; the terminator may be missing.
inline constexpr std::size_t kStateAnswerMinSize = 18 + kMultiviewerStateBlockSize + 2;

// What the I/O half of a state read brings back.
struct StateRead {
    enum class Outcome {
        NotSent,  // no command socket / serial port closed: nothing is decoded
        Stopped,  // the stop token ended the wait: nothing is decoded
        TimedOut, // no answer in time: the record is decoded again from the block it holds
        Answered, // `block` holds the unit's state
    };
    Outcome outcome = Outcome::NotSent;
    std::optional<StateBlock> block;
};

// The I/O half of ReadUnitState: sends query 0x0A to `unit` with the current link byte and waits
// up to `wait` for the answer. Blocks the calling thread, which may be any thread; a stop request
// ends the wait within 20 ms. Touches neither the record nor any control.
StateRead QueryUnitState(ConsoleLink& link, const std::optional<DeviceEntry>& unit, std::stop_token stop = {},
                         std::chrono::milliseconds wait = kStateReadWait);

// The UI-thread half: stores an answered block, decodes the held block (also after a time-out),
// sets stateLoaded and shows the custom name text and the lock picture. Returns false and changes
// nothing when the query was never sent or was stopped.
bool ApplyStateRead(const StateRead& read, MultiviewerState& state, bool consoleLocked,
                    MainWindowHooks& mainWindow);

// Both halves on the calling (UI) thread.
bool ReadUnitState(ConsoleLink& link, const std::optional<DeviceEntry>& unit, MultiviewerState& state,
                   bool consoleLocked, MainWindowHooks& mainWindow);

} // namespace brenvik
