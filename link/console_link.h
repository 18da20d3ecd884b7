#pragma once

#include "link/endpoints.h"
#include "link/link_thread.h"
#include "link/operator_messages.h"
#include "link/serial_port_link.h"
#include "link/serial_transport.h"
#include "link/udp_transport.h"
#include "link/unit_link.h"

#include <atomic>
#include <functional>

namespace brenvik {

// The console's link to its units: the link mode, the UDP and serial transports, and the link
// thread that carries out every send and exchange on the transport of the mode they were queued in.
class ConsoleLink : public UnitLink {
public:
    ConsoleLink(Endpoints endpoints, OperatorMessages& messages);

    const Endpoints& GetEndpoints() const { return m_udp.GetEndpoints(); }

    LinkMode Mode() const override { return m_mode.load(); }
    void SetMode(LinkMode mode) { m_mode.store(mode); }

    // The serial port the serial line uses from now on; nullptr: none, the line counts as closed.
    // `attached` runs on the link thread behind everything queued before the change; from then on a
    // port that was replaced is no longer touched and may be closed or destroyed.
    void AttachSerialPort(SerialPortLink* port, std::function<void()> attached = {});

    // Runs `task` on the link thread behind everything queued before it (a change of the link's own
    // state, or a measurement of the thread).
    void RunOnLinkThread(std::function<void()> task);

    bool Send(const std::optional<DeviceEntry>& unit, Frame bytes) override;
    void StartExchange(const std::optional<DeviceEntry>& unit, Exchange exchange, std::stop_token cancel) override;
    std::optional<StatusSocket> OpenStatusSocket(const std::optional<DeviceEntry>& unit) override;

    // Waits until everything queued before the call has been carried out; false on time-out. For
    // programs and tests without a window to keep painted — never the UI thread.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) { return m_thread.WaitUntilIdle(timeout); }

private:
    LinkTransport& Current();

    UdpTransport m_udp;
    SerialTransport m_serial;
    std::atomic<LinkMode> m_mode{LinkMode::Lan};
    LinkThread m_thread; // last: stopped and joined before the transports go
};

} // namespace brenvik
