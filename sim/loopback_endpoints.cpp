#include "sim/loopback_endpoints.h"

#include "link/platform/udp_socket.h"

namespace brenvik::sim {

std::optional<std::uint16_t> FreeUdpPort(std::uint16_t from, int span) {
    for (int offset = from == 0 ? 1 : 0; offset < span && from + offset <= 65535; ++offset) {
        const auto port = static_cast<std::uint16_t>(from + offset);
        auto socket = UdpSocket::Create();
        if (socket && socket->Bind(Ipv4Address{{0, 0, 0, 0}, port})) {
            return port;
        }
    }
    return std::nullopt;
}

std::optional<Endpoints> LoopbackEndpoints(std::uint16_t firstPort) {
    Endpoints endpoints;
    endpoints.broadcastAddress = "127.255.255.255";
    // Wider than a port, so the search ends at the top of the range instead of wrapping to 0.
    int next = firstPort;
    for (std::uint16_t* port : {&endpoints.localPort, &endpoints.unitPort, &endpoints.statusPort}) {
        const auto free = next <= 65535 ? FreeUdpPort(static_cast<std::uint16_t>(next)) : std::nullopt;
        if (!free) {
            return std::nullopt;
        }
        *port = *free;
        next = *free + 1;
    }
    return endpoints;
}

} // namespace brenvik::sim
