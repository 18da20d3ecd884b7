#pragma once

#include "link/device_table.h"
#include "link/frame.h"
#include "link/platform/udp_socket.h"
#include "link/status_socket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>

namespace brenvik {

// How an exchange ended.
enum class ExchangeOutcome : std::uint8_t {
    NotAddressed,      // refused before anything was queued: no unit selected, or a unit this link
                       // cannot address (a unit found on the serial line has no IP address)
    SocketUnavailable, // LAN: the socket could not be created or bound (another program holds the port)
    PortClosed,        // serial: the port is not open
    Cancelled,         // cancelled, or the link stopped, before the exchange ended
    WindowEnded,       // the reply window ran out; what the collector took so far stands
    Completed,         // the collector took the reply it waited for
};

// Whether the request went out.
constexpr bool RequestSent(ExchangeOutcome outcome) {
    return outcome == ExchangeOutcome::Cancelled || outcome == ExchangeOutcome::WindowEnded ||
           outcome == ExchangeOutcome::Completed;
}

// One request and the collection of what answers it. Units answer in datagrams on the LAN and in a
// byte stream on the serial line, so an exchange says how to read both; the link uses the one
// that fits its medium. Every function runs on the link thread and must only copy data or post.
struct Exchange {
    Frame request;
    // Discovery: the request goes to every unit at once, no unit needs to be selected.
    bool broadcast = false;
    // LAN: each datagram as it arrives, with its sender. True once the reply is complete.
    std::function<bool(std::span<const std::uint8_t> datagram, const Ipv4Address& from)> takeDatagram;
    std::chrono::milliseconds datagramWindow{0};
    // Serial line: every byte the line has brought since the request. True once the reply is
    // complete.
    std::function<bool(std::span<const std::uint8_t> received)> takeStream;
    std::chrono::milliseconds streamWindow{0};
    // Called exactly once when the exchange ends, whatever the outcome.
    std::function<void(ExchangeOutcome)> done;
};

// The link to the units that every sender, query and search uses. Sends and exchanges are queued
// and carried out on one link thread in the order they were queued; the caller never waits on the
// link. Implementations: ConsoleLink (UDP and serial transports) and the tests' recording links.
class UnitLink {
public:
    virtual ~UnitLink() = default;

    // The link byte at offset 6 of every frame: 1 on the LAN, 0 on the serial line.
    virtual LinkMode Mode() const = 0;
    std::uint8_t LinkByte() const { return static_cast<std::uint8_t>(Mode()); }

    // Queues one frame or routing text for `unit`, paced behind the frames before it. False, with
    // nothing queued, when the link knows already that it cannot address the unit (on the LAN: no
    // unit selected, which tells the operator "Please choose a device", or a unit without an
    // address). A send that fails later (socket refused, port closed) is dropped without a word.
    virtual bool Send(const std::optional<DeviceEntry>& unit, Frame bytes) = 0;

    // Queues an exchange. `exchange.done` is always called once: on the link thread as the exchange
    // ends (with Cancelled when `cancel` is requested first), or at once on the calling thread with
    // NotAddressed when the unit cannot be addressed.
    virtual void StartExchange(const std::optional<DeviceEntry>& unit, Exchange exchange,
                               std::stop_token cancel) = 0;

    // The socket on which a multiviewer's reports arrive (the status port). With no unit: "Please
    // choose a device" and nothing; nothing either when the port is held.
    virtual std::optional<StatusSocket> OpenStatusSocket(const std::optional<DeviceEntry>& unit) = 0;
};

} // namespace brenvik
