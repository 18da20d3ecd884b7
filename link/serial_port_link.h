#pragma once

#include <cstddef>
#include <cstdint>

namespace brenvik {

// The four serial-channel operations that the senders and receivers use. The console's serial
// channel implements it; while no port is attached the serial link counts as closed.
class SerialPortLink {
public:
    virtual ~SerialPortLink() = default;
    // Safe from any thread: the link asks it before it queues a frame for the line.
    virtual bool IsOpen() const = 0;
    // Bytes waiting in the input queue; -1 when closed or the count cannot be read.
    virtual int InputCount() = 0;
    // Up to `count` bytes; fewer when the port's read time-outs end the read first.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t count) = 0;
    // The number of bytes the port has taken over; SendFrame reports fewer than `count` as a
    // failed send. The caller's bytes may go out of scope as soon as Write returns.
    virtual std::size_t Write(const std::uint8_t* bytes, std::size_t count) = 0;
};

} // namespace brenvik
