#include "link/platform/udp_socket.h"

#include "link/platform/wakeup_event.h"

#include <array>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

namespace brenvik {

namespace {

sockaddr_in ToSockaddr(const Ipv4Address& address) {
    sockaddr_in native{};
    native.sin_family = AF_INET;
    native.sin_port = htons(address.port);
    std::uint32_t networkOrder = 0;
    static_assert(sizeof(networkOrder) == sizeof(address.octets));
    std::copy(address.octets.begin(), address.octets.end(), reinterpret_cast<std::uint8_t*>(&networkOrder));
    native.sin_addr.s_addr = networkOrder;
    return native;
}

Ipv4Address FromSockaddr(const sockaddr_in& native) {
    Ipv4Address address;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&native.sin_addr.s_addr);
    std::copy(bytes, bytes + address.octets.size(), address.octets.begin());
    address.port = ntohs(native.sin_port);
    return address;
}

bool SetFlag(int fd, int level, int option) {
    const int on = 1;
    return setsockopt(fd, level, option, &on, sizeof(on)) == 0;
}

} // namespace

std::optional<Ipv4Address> Ipv4Address::Parse(const std::string& dotted, std::uint16_t port) {
    in_addr native{};
    if (inet_pton(AF_INET, dotted.c_str(), &native) != 1) {
        return std::nullopt;
    }
    sockaddr_in full{};
    full.sin_addr = native;
    full.sin_port = htons(port);
    return FromSockaddr(full);
}

std::string Ipv4Address::DottedText() const {
    std::string text;
    for (std::size_t i = 0; i < octets.size(); ++i) {
        if (i > 0) {
            text.push_back('.');
        }
        text += std::to_string(octets[i]);
    }
    return text;
}

std::optional<UdpSocket> UdpSocket::Create() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        return std::nullopt;
    }
    return UdpSocket(fd);
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            close(m_fd);
        }
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

UdpSocket::~UdpSocket() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

bool UdpSocket::EnableBroadcast() {
    return SetFlag(m_fd, SOL_SOCKET, SO_BROADCAST);
}

bool UdpSocket::EnableAddressReuse() {
    return SetFlag(m_fd, SOL_SOCKET, SO_REUSEADDR);
}

bool UdpSocket::SetReceiveBufferSize(int bytes) {
    return setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes)) == 0;
}

bool UdpSocket::Bind(const Ipv4Address& local) {
    const sockaddr_in native = ToSockaddr(local);
    return bind(m_fd, reinterpret_cast<const sockaddr*>(&native), sizeof(native)) == 0;
}

bool UdpSocket::SetNonBlocking() {
    const int flags = fcntl(m_fd, F_GETFL, 0);
    return flags >= 0 && fcntl(m_fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::optional<std::uint16_t> UdpSocket::LocalPort() const {
    sockaddr_in native{};
    socklen_t size = sizeof(native);
    if (getsockname(m_fd, reinterpret_cast<sockaddr*>(&native), &size) != 0) {
        return std::nullopt;
    }
    return ntohs(native.sin_port);
}

bool UdpSocket::SendTo(const Ipv4Address& to, std::span<const std::uint8_t> bytes) {
    const sockaddr_in native = ToSockaddr(to);
    ssize_t sent = -1;
    do {
        sent = sendto(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                      reinterpret_cast<const sockaddr*>(&native), sizeof(native));
    } while (sent < 0 && errno == EINTR);
    return sent >= 0 && static_cast<std::size_t>(sent) == bytes.size();
}

bool UdpSocket::SendToVia(const Ipv4Address& to, std::span<const std::uint8_t> bytes, unsigned interfaceIndex,
                          const Ipv4Address& source) {
    sockaddr_in native = ToSockaddr(to);
    iovec data{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
    msghdr message{};
    message.msg_name = &native;
    message.msg_namelen = sizeof(native);
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(interfaceIndex);
    info.ipi_spec_dst = ToSockaddr(source).sin_addr;
    std::memcpy(CMSG_DATA(header), &info, sizeof(info));
    ssize_t sent = -1;
    do {
        sent = sendmsg(m_fd, &message, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent >= 0 && static_cast<std::size_t>(sent) == bytes.size();
}

std::optional<std::size_t> UdpSocket::ReceiveFrom(std::span<std::uint8_t> buffer, Ipv4Address* from) {
    sockaddr_in native{};
    socklen_t size = sizeof(native);
    ssize_t received = -1;
    do {
        // MSG_DONTWAIT: the receivers wait with WaitReadable, never inside the receive.
        received = recvfrom(m_fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                            reinterpret_cast<sockaddr*>(&native), &size);
    } while (received < 0 && errno == EINTR);
    if (received < 0) {
        return std::nullopt;
    }
    if (from != nullptr) {
        *from = FromSockaddr(native);
    }
    return static_cast<std::size_t>(received);
}

bool UdpSocket::WaitReadable(std::chrono::milliseconds timeout, const WakeupEvent* wakeup) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        std::array<pollfd, 2> entries{
            {{m_fd, POLLIN, 0}, {wakeup != nullptr ? wakeup->Handle() : -1, POLLIN, 0}}};
        const int ready = poll(entries.data(), wakeup != nullptr ? 2 : 1,
                               static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready > 0) {
            return (entries[1].revents & POLLIN) == 0 && (entries[0].revents & POLLIN) != 0;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

} // namespace brenvik
