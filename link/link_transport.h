#pragma once

#include "link/device_table.h"
#include "link/platform/wakeup_event.h"
#include "link/unit_link.h"

#include <chrono>
#include <memory>
#include <optional>
#include <span>

namespace brenvik {

// An exchange under way: it holds what the exchange needs (the command socket, or the serial line)
// until it is destroyed. Link thread only.
class OpenExchange {
public:
    virtual ~OpenExchange() = default;
    // Waits until a reply may have arrived, `timeout` passes or `wakeup` is notified.
    virtual void Wait(std::chrono::milliseconds timeout, const WakeupEvent& wakeup) = 0;
    // Hands what has arrived to the exchange's collector, but nothing past `deadline`: a flood of
    // datagrams must not hold the exchange open beyond its window. True once it has its reply.
    virtual bool Collect(const Exchange& exchange, std::chrono::steady_clock::time_point deadline) = 0;
    // On the LAN a unit answers commands on nothing but the status port, so a command can leave
    // through the exchange's socket while the exchange waits. On the serial line a write would
    // come between the request and its reply, so sends wait for the exchange to end.
    virtual bool CarriesSends() const = 0;
    virtual bool Send(const std::optional<DeviceEntry>& unit, std::span<const std::uint8_t> bytes) = 0;
};

// One medium to the units: the UDP channel or the serial line. The link thread is its only user,
// apart from the two Accepts checks, which the queuing thread makes before anything is queued.
class LinkTransport {
public:
    virtual ~LinkTransport() = default;

    virtual LinkMode Mode() const = 0;
    // The least time between two frames on this medium; a unit needs it to take each one.
    virtual std::chrono::milliseconds SendPause() const = 0;

    // Whether a send or exchange for `unit` can be addressed at all; tells the operator when the
    // remedy is theirs. Called on the queuing thread.
    virtual bool AcceptsSend(const std::optional<DeviceEntry>& unit) = 0;
    virtual bool AcceptsExchange(const std::optional<DeviceEntry>& unit, const Exchange& exchange) = 0;

    // One frame on its own; false when nothing went out.
    virtual bool Send(const std::optional<DeviceEntry>& unit, std::span<const std::uint8_t> bytes) = 0;
    // Opens what the exchange needs and sends its request; nothing when the medium is unavailable,
    // which Unavailable() then names.
    virtual std::unique_ptr<OpenExchange> Begin(const std::optional<DeviceEntry>& unit,
                                                const Exchange& exchange) = 0;
    virtual ExchangeOutcome Unavailable() const = 0;
    // How long the exchange's replies are collected on this medium.
    virtual std::chrono::milliseconds ReplyWindow(const Exchange& exchange) const = 0;
};

} // namespace brenvik
