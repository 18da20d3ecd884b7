#pragma once

#include "link/link_transport.h"
#include "link/serial_port_link.h"

#include <atomic>

namespace brenvik {

// The serial line to one unit. Each frame is written after the unit's unasked bytes have been read
// and discarded, and followed by a pause; an exchange owns the line until its window ends. While no
// port is attached, or the port is closed, the line counts as closed and nothing is sent.
class SerialTransport : public LinkTransport {
public:
    // From now on the line is `port`; an operation already under way finishes on the port it began
    // with (see ConsoleLink::AttachSerialPort).
    void Attach(SerialPortLink* port) { m_port.store(port); }

    LinkMode Mode() const override { return LinkMode::Serial; }
    std::chrono::milliseconds SendPause() const override;
    // The serial frame carries no address of its own to refuse; a port that is not open refuses the
    // send silently, before it is queued.
    bool AcceptsSend(const std::optional<DeviceEntry>& /*unit*/) override { return OpenPort() != nullptr; }
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

    std::atomic<SerialPortLink*> m_port{nullptr}; // changed on the link thread, read on the queuing one
};

// Reads and discards whatever the unit sent unasked.
void DrainSerialInput(SerialPortLink& port);

} // namespace brenvik
