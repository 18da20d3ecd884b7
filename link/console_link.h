#pragma once

#include "link/device_table.h"
#include "link/frame.h"
#include "link/serial_port_link.h"
#include "link/udp_channel.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <span>

namespace brenvik {

// Serial I/O while holding the serial line: one exchange at a time, like the command socket slot.
class SerialSession {
public:
    SerialSession(std::unique_lock<std::mutex> line, SerialPortLink& port)
        : m_line(std::move(line)), m_port(port) {}
    // Reads and discards whatever the unit sent unasked.
    void DrainInput();
    std::size_t Write(std::span<const std::uint8_t> bytes) {
        return m_port.Write(bytes.data(), bytes.size());
    }
    int InputCount() { return m_port.InputCount(); }
    std::size_t Read(std::span<std::uint8_t> buffer) { return m_port.Read(buffer.data(), buffer.size()); }

private:
    std::unique_lock<std::mutex> m_line;
    SerialPortLink& m_port;
};

// The link every sender uses: the link mode, the UDP channel and the serial port, and the one send
// operation that picks between them.
class ConsoleLink {
public:
    ConsoleLink(Endpoints endpoints, OperatorMessages& messages);

    UdpChannel& Udp() { return m_udp; }
    OperatorMessages& Messages() { return m_messages; }

    LinkMode Mode() const { return m_mode.load(); }
    void SetMode(LinkMode mode) { m_mode.store(mode); }
    std::uint8_t LinkByte() const { return static_cast<std::uint8_t>(Mode()); }

    // nullptr detaches: the serial link then counts as closed and every serial branch sends nothing.
    // Waits for a serial exchange under way, so never call it while holding a SerialSession.
    void AttachSerialPort(SerialPortLink* port);
    bool SerialPortOpen() const;
    // Nothing while the port is closed.
    std::optional<SerialSession> OpenSerialSession();

    // Sends one frame or routing text to the unit on the chosen link: on the LAN one datagram from
    // a fresh command socket, a 10 ms pause, close; on the serial line drain, write, 20 ms pause.
    // Returns false when nothing could be sent (no socket, no unit, a unit without an address,
    // port closed, the send or write refused), so that callers skip what they do after sending.
    bool SendFrame(const std::optional<DeviceEntry>& unit, std::span<const std::uint8_t> bytes);

private:
    OperatorMessages& m_messages;
    UdpChannel m_udp;
    std::atomic<LinkMode> m_mode{LinkMode::Lan};
    std::mutex m_serialLine; // guards use of the serial port: one exchange at a time
    std::atomic<SerialPortLink*> m_serial{nullptr};
};

} // namespace brenvik
