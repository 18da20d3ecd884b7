#include "loopback_ports.h"

#include "link/platform/udp_socket.h"

#include <atomic>
#include <stdexcept>
#include <unistd.h>

namespace brenvik::test {

std::uint16_t FreeUdpPort() {
    // Walk a per-process range so that parallel test processes rarely meet, and check each port
    // by binding it once on the wildcard address.
    static std::atomic<unsigned> next{20000u + (static_cast<unsigned>(getpid()) * 37u) % 30000u};
    for (int attempt = 0; attempt < 2000; ++attempt) {
        unsigned candidate = next.fetch_add(1);
        auto port = static_cast<std::uint16_t>(20000u + candidate % 40000u);
        auto socket = UdpSocket::Create();
        if (socket && socket->Bind(Ipv4Address{{0, 0, 0, 0}, port})) {
            return port;
        }
    }
    throw std::runtime_error("no free UDP port on loopback");
}

Endpoints LoopbackEndpoints() {
    Endpoints endpoints;
    endpoints.broadcastAddress = "127.255.255.255";
    endpoints.localPort = FreeUdpPort();
    endpoints.unitPort = FreeUdpPort();
    endpoints.statusPort = FreeUdpPort();
    return endpoints;
}

} // namespace brenvik::test
