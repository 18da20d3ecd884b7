#pragma once

#include "link/link_transport.h"
#include "link/serial_port_link.h"

namespace brenvik {

// The serial line to one unit. Each frame is written after the unit's unasked bytes have been read
// and discarded, and followed by a pause; an exchange owns the line until its window ends. While no
// port is attached, or the port is closed, the line counts as closed and nothing is sent.
class SerialTransport : public LinkTransport {
public:
    // Link thread only (the link queues the change behind what was queued before it).
    void Attach(SerialPortLink* port) { m_port = port; }

    LinkMode Mode() const override { return LinkMode::Serial; }
    std::chrono::milliseconds SendPause() const override;
    // The serial frame carries no address of its own to refuse; a closed port is found on the link
    // thread and drops the send silently.
    bool AcceptsSend(const std::optional<DeviceEntry>& /*unit*/) override { return true; }
    // A query needs a unit to address; a search does not.
    bool AcceptsExchange(const std::optional<DeviceEntry>& unit, const Exchange& exchange) override {
        return exchange.broadcast || unit.has_value();
    }
    bool Send(const std::optional<DeviceEntry>& unit, std::span<const std::uint8_t> bytes) override;
    std::unique_ptr<OpenExchange> Begin(const std::optional<DeviceEntry>& unit, const Exchange& exchange) override;
    ExchangeOutcome Unavailable() const override { return ExchangeOutcome::PortClosed; }
    std::chrono::milliseconds ReplyWindow(const Exchange& exchange) const override {
        return exchange.streamWindow;
    }

private:
    SerialPortLink* OpenPort() const;

    SerialPortLink* m_port = nullptr;
};

// Reads and discards whatever the unit sent unasked.
void DrainSerialInput(SerialPortLink& port);

} // namespace brenvik
