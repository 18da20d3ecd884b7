#include "loopback_endpoints.h"

#include "link/platform/udp_socket.h"

#include <stdexcept>

namespace brenvik::sim {

std::optional<std::uint16_t> FreeUdpPort(std::uint16_t from, int span) {
    for (int offset = 0; offset < span && from + offset <= 65535; ++offset) {
        const auto port = static_cast<std::uint16_t>(from + offset);
        auto socket = UdpSocket::Create();
        if (socket && socket->Bind(Ipv4Address{{0, 0, 0, 0}, port})) {
            return port;
        }
    }
    return std::nullopt;
}

Endpoints LoopbackEndpoints(std::uint16_t firstPort) {
    Endpoints endpoints;
    endpoints.broadcastAddress = "127.255.255.255";
    std::uint16_t next = firstPort;
    for (std::uint16_t* port : {&endpoints.localPort, &endpoints.unitPort, &endpoints.statusPort}) {
        const auto free = FreeUdpPort(next);
        if (!free) {
            throw std::runtime_error("no free UDP port on loopback");
        }
        *port = *free;
        next = static_cast<std::uint16_t>(*free + 1);
    }
    return endpoints;
}

} // namespace brenvik::sim
