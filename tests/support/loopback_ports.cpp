#include "support/loopback_ports.h"

#include "link/platform/udp_socket.h"

#include <atomic>
#include <stdexcept>
#include <unistd.h>

namespace brenvik::test {

std::uint16_t FreeUdpPort() {
    // Walk a per-process range so that parallel test processes rarely meet, and never hand out
    // the same port twice in one process.
    static std::atomic<unsigned> next{static_cast<unsigned>(getpid()) * 37u};
    for (int attempt = 0; attempt < 2000; ++attempt) {
        const auto candidate = static_cast<std::uint16_t>(20000u + next.fetch_add(1) % 40000u);
        auto probe = UdpSocket::Create();
        if (probe && probe->Bind(Ipv4Address{{}, candidate})) {
            return candidate;
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
