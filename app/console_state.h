#pragma once

#include "link/cn_comm.h"
#include "link/console_link.h"
#include "link/device_table.h"
#include "matrix/core/matrix_model.h"
#include "matrix/core/matrix_page_state.h"
#include "multiviewer/core/multiviewer_state.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace brenvik {

// Everything the console knows, in one owner: the link, the device table with its indices, the
// open multiviewer's record and the operator's lock. The main window owns it and hands references
// to the pages; nothing here is global.
struct ConsoleState {
    ConsoleState(Endpoints endpoints, OperatorMessages& messages) : link(std::move(endpoints), messages) {
        link.AttachSerialPort(&serialPort);
    }

    // The console's one serial port, opened and closed on the link thread only (the connection page
    // queues it there). Declared before the link, so that it is destroyed after the link thread.
    CnComm serialPort;
    ConsoleLink link;
    DeviceTable devices;
    MultiviewerState multiviewer = MultiviewerState::Defaults();
    // The open matrix switcher's routing and backlight, and the matrix page's selection.
    MatrixModel matrix;
    MatrixPageState matrixPage;
    bool consoleLocked = false;
    // Address, mask and gateway (first octet first) for the unit's network configuration.
    std::array<std::uint8_t, 12> networkSettings{};
    // The connection page's choices, kept here so that the page opened again shows them.
    // Whether the serial port is open: written on the link thread right after it opened or closed.
    std::atomic<bool> serialPortOpened{false};
    int serialPortChoice = 0;
    int baudRateChoice = 0;
};

} // namespace brenvik
