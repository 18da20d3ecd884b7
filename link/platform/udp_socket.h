#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace brenvik {

class WakeupEvent;

struct Ipv4Address {
    std::array<std::uint8_t, 4> octets{};
    std::uint16_t port = 0;

    // Dotted decimal text to an address; nothing for text that is not an IPv4 address.
    static std::optional<Ipv4Address> Parse(const std::string& dotted, std::uint16_t port);
    std::string DottedText() const;
    bool operator==(const Ipv4Address&) const = default;
};

// An IPv4 datagram socket that closes itself. The only file that touches the socket API; a port
// to another platform replaces this file's implementation.
class UdpSocket {
public:
    static std::optional<UdpSocket> Create();

    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    ~UdpSocket();

    bool EnableBroadcast();
    // Lets several sockets share one port (the simulator's listeners); the console never sets it.
    bool EnableAddressReuse();
    // Asks for a kernel receive queue of this many bytes (the kernel may cap it); false when refused.
    bool SetReceiveBufferSize(int bytes);
    bool Bind(const Ipv4Address& local);
    bool SetNonBlocking();
    std::optional<std::uint16_t> LocalPort() const;

    bool SendTo(const Ipv4Address& to, std::span<const std::uint8_t> bytes);
    // Sends out of the interface with this index, from `source` (one of its addresses), whatever
    // the routing table would pick: a broadcast reaches that interface's network.
    bool SendToVia(const Ipv4Address& to, std::span<const std::uint8_t> bytes, unsigned interfaceIndex,
                   const Ipv4Address& source);
    // One datagram if one waits (never blocks on a non-blocking socket); a datagram longer than
    // the buffer is cut to it. Returns the number of bytes stored.
    std::optional<std::size_t> ReceiveFrom(std::span<std::uint8_t> buffer, Ipv4Address* from);
    // Waits until a datagram can be read or `timeout` passes; false on time-out. With a wake-up
    // event the wait also ends, false, as soon as the event is notified.
    bool WaitReadable(std::chrono::milliseconds timeout, const WakeupEvent* wakeup = nullptr);

    int Handle() const { return m_fd; }

private:
    explicit UdpSocket(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

} // namespace brenvik
