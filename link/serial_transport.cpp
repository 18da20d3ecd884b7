#include "link/serial_transport.h"

#include <algorithm>
#include <array>
#include <poll.h>
#include <vector>

namespace brenvik {

namespace {

constexpr std::chrono::milliseconds kSerialSendPause{20};
// The port tells how many bytes wait but gives no event to wait on, so an exchange looks this often.
constexpr std::chrono::milliseconds kSerialPoll{10};
constexpr std::size_t kReadChunk = 256;

bool WriteAll(SerialPortLink& port, std::span<const std::uint8_t> bytes) {
    return port.Write(bytes.data(), bytes.size()) == bytes.size();
}

// An exchange on the serial line: it owns the line until its window ends, gathering every byte the
// unit sends into one stream.
class SerialExchange : public OpenExchange {
public:
    explicit SerialExchange(SerialPortLink& port) : m_port(port) {}

    void Wait(std::chrono::milliseconds timeout, const WakeupEvent& wakeup) override {
        pollfd entry{wakeup.Handle(), POLLIN, 0};
        poll(&entry, 1, static_cast<int>(std::clamp(timeout, std::chrono::milliseconds{0}, kSerialPoll).count()));
    }

    bool Collect(const Exchange& exchange, std::chrono::steady_clock::time_point /*deadline*/) override {
        // One look at what waits per pass: the line's own pace bounds it.
        const int waiting = m_port.InputCount();
        if (waiting <= 0) {
            return false;
        }
        std::array<std::uint8_t, kReadChunk> chunk{};
        auto left = static_cast<std::size_t>(waiting);
        while (left > 0) {
            const std::size_t read = m_port.Read(chunk.data(), std::min(left, chunk.size()));
            if (read == 0) {
                break;
            }
            m_received.insert(m_received.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(read));
            left -= std::min(read, left);
        }
        return exchange.takeStream && exchange.takeStream(m_received);
    }

    bool CarriesSends() const override { return false; }
    bool Send(const std::optional<DeviceEntry>&, std::span<const std::uint8_t>) override { return false; }

private:
    SerialPortLink& m_port;
    std::vector<std::uint8_t> m_received;
};

} // namespace

void DrainSerialInput(SerialPortLink& port) {
    const int waiting = port.InputCount();
    if (waiting <= 0) {
        return;
    }
    std::array<std::uint8_t, kReadChunk> discard{};
    auto left = static_cast<std::size_t>(waiting);
    while (left > 0) {
        const std::size_t read = port.Read(discard.data(), std::min(left, discard.size()));
        if (read == 0) {
            return;
        }
        left -= std::min(read, left);
    }
}

std::chrono::milliseconds SerialTransport::SendPause() const {
    return kSerialSendPause;
}

SerialPortLink* SerialTransport::OpenPort() const {
    SerialPortLink* port = m_port.load();
    return port != nullptr && port->IsOpen() ? port : nullptr;
}

bool SerialTransport::Send(const std::optional<DeviceEntry>& /*unit*/, std::span<const std::uint8_t> bytes) {
    SerialPortLink* port = OpenPort();
    if (port == nullptr) {
        return false;
    }
    DrainSerialInput(*port);
    return WriteAll(*port, bytes);
}

std::unique_ptr<OpenExchange> SerialTransport::Begin(const std::optional<DeviceEntry>& /*unit*/,
                                                     const Exchange& exchange) {
    SerialPortLink* port = OpenPort();
    if (port == nullptr) {
        return nullptr;
    }
    DrainSerialInput(*port);
    WriteAll(*port, exchange.request);
    return std::make_unique<SerialExchange>(*port);
}

} // namespace brenvik
