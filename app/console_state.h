#pragma once

#include "link/console_link.h"
#include "link/device_table.h"
#include "multiviewer/core/multiviewer_state.h"

#include <array>
#include <cstdint>

namespace brenvik {

// Everything the console knows, in one owner: the link, the device table with its indices, the
// open multiviewer's record and the operator's lock. The main window owns it and hands references
// to the pages; nothing here is global.
struct ConsoleState {
    ConsoleState(Endpoints endpoints, OperatorMessages& messages) : link(std::move(endpoints), messages) {}

    ConsoleLink link;
    DeviceTable devices;
    MultiviewerState multiviewer = MultiviewerState::Defaults();
    bool consoleLocked = false;
    // Address, mask and gateway (first octet first) for the unit's network configuration.
    std::array<std::uint8_t, 12> networkSettings{};
};

} // namespace brenvik
