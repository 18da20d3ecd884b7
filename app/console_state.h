#pragma once

#include "controls/qt_ui_dispatcher.h"
#include "link/cn_comm.h"
#include "link/console_link.h"
#include "link/device_table.h"
#include "matrix/core/matrix_session.h"
#include "matrix/ui/matrix_page_state.h"
#include "multiviewer/core/multiviewer_session.h"

#include <QCoreApplication>

#include <array>
#include <atomic>
#include <cstdint>

namespace brenvik {

// Everything the console knows, in one owner: the link, the device table with its indices, the
// sessions of the open units and the operator's lock. The main window owns it and hands references
// to the pages; nothing here is global.
struct ConsoleState {
    ConsoleState(Endpoints endpoints, OperatorMessages& messages) : link(std::move(endpoints), messages) {
        link.AttachSerialPort(&serialPort);
    }

    // The console's one serial port, opened and closed on the link thread only (the connection page
    // queues it there). Declared before the link, so that it is destroyed after the link thread.
    CnComm serialPort;
    // Brings the link's results back to the UI thread, for the unit sessions.
    QtUiDispatcher ui{qApp};
    ConsoleLink link;
    DeviceTable devices;
    bool consoleLocked = false;
    // The open multiviewer: its record, senders and reports.
    MultiviewerSession multiviewer{link, devices, consoleLocked, ui};
    // The open matrix switcher: its routing and backlight, senders and reads; and the matrix page's
    // selection.
    MatrixSession matrix{link, devices, consoleLocked, ui};
    MatrixPageState matrixPage;
    // The address mode the connection page shows and sends (1 DHCP, 0 static): the open unit's, as
    // it last reported it, or the operator's choice since.
    std::uint8_t networkDhcp = 1;
    // Address, mask and gateway (first octet first) for the unit's network configuration.
    std::array<std::uint8_t, 12> networkSettings{};
    // The connection page's choices, kept here so that the page opened again shows them.
    // Whether the serial port is open: written on the link thread right after it opened or closed.
    std::atomic<bool> serialPortOpened{false};
    int serialPortChoice = 0;
    int baudRateChoice = 0;
};

} // namespace brenvik
