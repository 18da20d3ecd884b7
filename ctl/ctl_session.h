#pragma once

#include "ctl/ctl_options.h"
#include "ctl/stream_messages.h"
#include "link/cn_comm.h"
#include "link/console_link.h"
#include "link/device_table.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>

namespace brenvik::ctl {

// How long a query waits for the link's report at most: past every reply window, so only a
// link that stopped answering reaches it.
inline constexpr std::chrono::milliseconds kLinkReportBound{30000};

// The link one run of the program uses: the console's own ConsoleLink, on the LAN towards --unit
// or on the serial line of --serial.
class CtlSession {
public:
    CtlSession(const CtlOptions& options, std::ostream& err);
    ~CtlSession();
    CtlSession(const CtlSession&) = delete;
    CtlSession& operator=(const CtlSession&) = delete;

    // Opens the serial port when the line is serial, or makes sure the local command port is free
    // on the LAN (unless the run sends nothing); false, with a line on standard error, when not.
    bool Open(bool sendsCommands = true);
    ConsoleLink& Link() { return m_link; }
    bool Serial() const { return m_options.serialPort.has_value(); }

    // The unit the commands address, as a unit of `typeCode`: its address on the LAN (none on the
    // serial line), --unit-address and --id.
    DeviceEntry Unit(std::uint8_t typeCode) const;

    // Waits until every frame queued so far has left; false when the link did not get through.
    bool Flush();
    // Whether the link told the operator something went wrong ("Please choose a device" ...).
    bool LinkComplained() const { return m_messages.AnyShown(); }

private:
    const CtlOptions& m_options;
    std::ostream& m_err;
    StreamMessages m_messages;
    CnComm m_port; // before the link: the link's thread stops before the port closes
    ConsoleLink m_link;
};

} // namespace brenvik::ctl
