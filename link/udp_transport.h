#pragma once

#include "link/endpoints.h"
#include "link/link_transport.h"
#include "link/operator_messages.h"
#include "link/status_socket.h"

namespace brenvik {

// The console's UDP side. Every command goes out from a fresh command socket bound to the local
// port and closed right after it; an exchange keeps its socket (the broadcast socket for a search)
// until its reply window ends. No address-reuse option is set, so the local port is held by one
// socket at a time — which the link thread guarantees by being the only user.
class UdpTransport : public LinkTransport {
public:
    UdpTransport(Endpoints endpoints, OperatorMessages& messages);

    const Endpoints& GetEndpoints() const { return m_endpoints; }

    LinkMode Mode() const override { return LinkMode::Lan; }
    std::chrono::milliseconds SendPause() const override;
    bool AcceptsSend(const std::optional<DeviceEntry>& unit) override;
    bool AcceptsExchange(const std::optional<DeviceEntry>& unit, const Exchange& exchange) override;
    bool Send(const std::optional<DeviceEntry>& unit, std::span<const std::uint8_t> bytes) override;
    std::unique_ptr<OpenExchange> Begin(const std::optional<DeviceEntry>& unit, const Exchange& exchange) override;
    ExchangeOutcome Unavailable() const override { return ExchangeOutcome::SocketUnavailable; }
    std::chrono::milliseconds ReplyWindow(const Exchange& exchange) const override {
        return exchange.datagramWindow;
    }

    // Bound to the status port. With no unit: "Please choose a device" and nothing. Any thread.
    std::optional<StatusSocket> OpenStatusSocket(const std::optional<DeviceEntry>& unit);

private:
    Endpoints m_endpoints;
    OperatorMessages& m_messages;
};

} // namespace brenvik
