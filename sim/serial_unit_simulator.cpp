#include "sim/serial_unit_simulator.h"

#include <cctype>

#include "link/frame.h"
#include "sim/loopback_endpoints.h"
#include "sim/unit_models.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace brenvik::sim {

namespace {

constexpr std::uint16_t kFirstUnitPort = 53000;
constexpr std::size_t kPacedChunk = 16;
constexpr unsigned kBitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr std::size_t kLengthEnd = frame_offset::kLength + 2;

} // namespace

SerialUnitSimulator::SerialUnitSimulator(UnitConfig config, unsigned pacingBaud)
    : m_config(std::move(config)), m_pacingBaud(pacingBaud) {}

SerialUnitSimulator::~SerialUnitSimulator() {
    Stop();
    if (m_master >= 0) {
        close(m_master);
    }
    if (m_slave >= 0) {
        close(m_slave);
    }
}

bool SerialUnitSimulator::OpenLine() {
    std::array<char, 128> name{};
    if (openpty(&m_master, &m_slave, name.data(), nullptr, nullptr) != 0) {
        m_startError = "cannot open a pseudo-terminal";
        return false;
    }
    m_portPath = name.data();
    // Raw until the console sets the line up itself: no echo of the console's bytes back to it.
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

bool SerialUnitSimulator::Start() {
    const std::optional<Endpoints> endpoints = LoopbackEndpoints(kFirstUnitPort);
    if (!endpoints) {
        m_startError = "no free loopback ports for the unit behind the serial line";
        return false;
    }
    m_simulator = std::make_unique<UnitSimulator>(*endpoints, false);
    m_simulator->AddUnit(m_config, MakeUnitModel(m_config));
    m_unitAddress = Ipv4Address{m_config.address, endpoints->unitPort};
    auto socket = UdpSocket::Create();
    if (!socket || !socket->Bind(Ipv4Address{{127, 0, 0, 1}, 0}) || !socket->SetNonBlocking()) {
        m_startError = "cannot bind the relay's socket on loopback";
        return false;
    }
    m_socket = std::move(socket);
    if (!m_simulator->Start()) {
        m_startError = m_simulator->StartError();
        return false;
    }
    if (!OpenLine()) {
        return false;
    }
    m_stop.Reset();
    m_thread = std::thread([this] { Relay(); });
    return true;
}

void SerialUnitSimulator::Stop() {
    if (m_thread.joinable()) {
        m_stop.Notify();
        m_thread.join();
    }
    if (m_simulator) {
        m_simulator->Stop();
    }
}

void SerialUnitSimulator::Relay() {
    std::array<std::uint8_t, 4096> buffer{};
    for (;;) {
        std::array<pollfd, 3> entries{
            {{m_stop.Handle(), POLLIN, 0}, {m_master, POLLIN, 0}, {m_socket->Handle(), POLLIN, 0}}};
        if (poll(entries.data(), entries.size(), -1) < 0 && errno != EINTR) {
            return;
        }
        if ((entries[0].revents & POLLIN) != 0) {
            return;
        }
        if ((entries[1].revents & POLLIN) != 0) {
            const ssize_t got = read(m_master, buffer.data(), buffer.size());
            if (got > 0) {
                m_fromConsole.insert(m_fromConsole.end(), buffer.begin(), buffer.begin() + got);
                ForwardFrames();
            }
        }
        if ((entries[2].revents & POLLIN) != 0) {
            Ipv4Address from;
            while (const auto size = m_socket->ReceiveFrom(buffer, &from)) {
                WriteLine(std::span(buffer).first(*size));
            }
        }
    }
}

// Hands every whole frame at the front of the console's bytes to the unit; a sync pair that begins
// no frame is dropped byte by byte, an unfinished frame waits for the rest.
namespace {

constexpr std::size_t kTextIncomplete = static_cast<std::size_t>(-1);

// The matrix switcher's routing texts ("3V1,4,8.", "5All.", "All#.") travel bare on the line, ended
// by a full stop. The length of the text at the head of `bytes` with its full stop; 0 when the head
// is no routing text, kTextIncomplete when it may still be one whose end has not arrived.
std::size_t RoutingTextLength(std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '.') {
            return i == 0 ? 0 : i + 1;
        }
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != ',' && c != '#') {
            return 0;
        }
    }
    return kTextIncomplete;
}

} // namespace

void SerialUnitSimulator::ForwardFrames() {
    std::size_t start = 0;
    while (start < m_fromConsole.size()) {
        if (m_fromConsole[start] != kSync1) {
            const std::size_t text = RoutingTextLength(std::span(m_fromConsole).subspan(start));
            if (text == kTextIncomplete) {
                break;
            }
            if (text > 0) {
                m_socket->SendTo(m_unitAddress, std::span(m_fromConsole).subspan(start, text));
                start += text;
                continue;
            }
            ++start;
            continue;
        }
        if (start + kLengthEnd > m_fromConsole.size()) {
            break;
        }
        const std::size_t length =
            m_fromConsole[start + frame_offset::kLength] |
            (static_cast<std::size_t>(m_fromConsole[start + frame_offset::kLength + 1]) << 8);
        const bool plausible =
            m_fromConsole[start + frame_offset::kSync2] == kSync2 && length >= kFrameOverhead;
        if (!plausible) {
            ++start;
            continue;
        }
        if (start + length > m_fromConsole.size()) {
            break;
        }
        if (m_fromConsole[start + length - 1] != kTerminator) {
            ++start;
            continue;
        }
        m_socket->SendTo(m_unitAddress, std::span(m_fromConsole).subspan(start, length));
        start += length;
    }
    m_fromConsole.erase(m_fromConsole.begin(), m_fromConsole.begin() + static_cast<std::ptrdiff_t>(start));
}

void SerialUnitSimulator::WriteLine(std::span<const std::uint8_t> bytes) {
    using Clock = std::chrono::steady_clock;
    auto lineFreeAt = Clock::now();
    while (!bytes.empty()) {
        const std::size_t chunk = m_pacingBaud == 0 ? bytes.size() : std::min(bytes.size(), kPacedChunk);
        if (m_pacingBaud != 0) {
            std::this_thread::sleep_until(lineFreeAt);
            lineFreeAt += std::chrono::microseconds(chunk * kBitsPerByte * 1000000 / m_pacingBaud);
        }
        const ssize_t written = write(m_master, bytes.data(), chunk);
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        if (written < 0) {
            // The console does not read: the line stays full until it does or the relay stops.
            if (m_stop.Notified()) {
                return;
            }
            pollfd entry{m_master, POLLOUT, 0};
            poll(&entry, 1, 100);
            continue;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

} // namespace brenvik::sim
