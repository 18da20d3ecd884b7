#pragma once

#include "link/unit_link.h"

#include <optional>
#include <span>
#include <vector>

namespace brenvik::fuzz {

// A link that hands bytes from the fuzzer to the exchange queued on it, as datagrams or as a serial
// stream, then ends it — every collector runs exactly as on the link thread, without a network.
class ReplayLink : public UnitLink {
public:
    explicit ReplayLink(LinkMode mode) : m_mode(mode) {}

    LinkMode Mode() const override { return m_mode; }
    bool Send(const std::optional<DeviceEntry>&, Frame) override { return true; }
    void StartExchange(const std::optional<DeviceEntry>&, Exchange exchange, std::stop_token) override {
        m_exchange = std::move(exchange);
    }
    std::optional<StatusSocket> OpenStatusSocket(const std::optional<DeviceEntry>&) override {
        return std::nullopt;
    }

    // Each datagram to the LAN collector until it has its reply; true when it has.
    bool FeedDatagrams(const std::vector<std::span<const std::uint8_t>>& datagrams, const Ipv4Address& from) {
        for (const auto& datagram : datagrams) {
            if (m_exchange && m_exchange->takeDatagram && m_exchange->takeDatagram(datagram, from)) {
                return true;
            }
        }
        return false;
    }
    // The serial line's bytes in arrival chunks, each pass seeing all of them so far.
    bool FeedStream(const std::vector<std::span<const std::uint8_t>>& chunks) {
        std::vector<std::uint8_t> received;
        for (const auto& chunk : chunks) {
            received.insert(received.end(), chunk.begin(), chunk.end());
            if (m_exchange && m_exchange->takeStream && m_exchange->takeStream(received)) {
                return true;
            }
        }
        return false;
    }
    void End(ExchangeOutcome outcome) {
        if (m_exchange && m_exchange->done) {
            m_exchange->done(outcome);
        }
        m_exchange.reset();
    }

private:
    LinkMode m_mode;
    std::optional<Exchange> m_exchange;
};

// Cuts fuzzer input into pieces: each piece is preceded by one length byte (a piece is never longer
// than what is left), so one input describes several datagrams or stream chunks.
inline std::vector<std::span<const std::uint8_t>> Pieces(std::span<const std::uint8_t> input) {
    std::vector<std::span<const std::uint8_t>> pieces;
    std::size_t at = 0;
    while (at < input.size()) {
        const std::size_t length = std::min<std::size_t>(input[at], input.size() - at - 1);
        pieces.push_back(input.subspan(at + 1, length));
        at += 1 + length;
    }
    return pieces;
}

} // namespace brenvik::fuzz
