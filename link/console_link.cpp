#include "link/console_link.h"

#include <array>
#include <thread>

namespace brenvik {

namespace {

// Consecutive commands are paced: a unit needs this long between frames.
constexpr std::chrono::milliseconds kLanSendPause{10};
constexpr std::chrono::milliseconds kSerialSendPause{20};

constexpr std::size_t kDrainChunk = 256;

} // namespace

void SerialSession::DrainInput() {
    const int waiting = m_port.InputCount();
    if (waiting <= 0) {
        return;
    }
    std::array<std::uint8_t, kDrainChunk> discard{};
    auto left = static_cast<std::size_t>(waiting);
    while (left > 0) {
        const std::size_t read = m_port.Read(discard.data(), std::min(left, discard.size()));
        if (read == 0) {
            return;
        }
        left -= std::min(read, left);
    }
}

ConsoleLink::ConsoleLink(Endpoints endpoints, OperatorMessages& messages)
    : m_messages(messages), m_udp(std::move(endpoints), messages) {}

void ConsoleLink::AttachSerialPort(SerialPortLink* port) {
    std::lock_guard line(m_serialLine);
    m_serial.store(port);
}

bool ConsoleLink::SerialPortOpen() const {
    SerialPortLink* port = m_serial.load();
    return port != nullptr && port->IsOpen();
}

std::optional<SerialSession> ConsoleLink::OpenSerialSession() {
    std::unique_lock line(m_serialLine);
    SerialPortLink* port = m_serial.load();
    if (port == nullptr || !port->IsOpen()) {
        return std::nullopt;
    }
    return SerialSession(std::move(line), *port);
}

bool ConsoleLink::SendFrame(const std::optional<DeviceEntry>& unit, std::span<const std::uint8_t> bytes) {
    if (Mode() == LinkMode::Lan) {
        auto socket = m_udp.OpenCommandSocket(unit);
        if (!socket) {
            return false;
        }
        if (!socket->Send(bytes)) {
            return false;
        }
        std::this_thread::sleep_for(kLanSendPause);
        return true;
    }
    auto session = OpenSerialSession();
    if (!session) {
        return false;
    }
    session->DrainInput();
    const std::size_t written = session->Write(bytes);
    std::this_thread::sleep_for(kSerialSendPause);
    return written == bytes.size();
}

} // namespace brenvik
