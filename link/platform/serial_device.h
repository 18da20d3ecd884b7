#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace brenvik::platform {

// The system calls of the serial channel, one function each, so that another platform provides its
// own file beside serial_device_posix.cpp. A handle is the platform's descriptor of an open port.
using SerialHandle = int;
inline constexpr SerialHandle kNoSerialHandle = -1;

// Opens an existing port for reading and writing, for this program alone; kNoSerialHandle when the
// port does not exist, is held by another program, or is no terminal.
SerialHandle OpenSerialDevice(const std::string& name);
void CloseSerialDevice(SerialHandle handle);

// 8 data bits, no parity, one stop bit at `baud`, parity checking off, raw bytes in both
// directions; hardware flow control stays as the port had it, software flow control goes off
// because XON and XOFF are ordinary bytes of a binary frame. False when the baud rate is not one
// the console offers or the port refuses the settings.
bool ConfigureSerialLine(SerialHandle handle, unsigned baud);
// Drops whatever waits in either direction.
bool PurgeSerialDevice(SerialHandle handle);
// Bytes waiting in the input queue; -1 when the count cannot be read.
int SerialInputCount(SerialHandle handle);

// Writes every byte unless `budget` runs out first; returns how many the port took.
std::size_t WriteSerialDevice(SerialHandle handle, const std::uint8_t* bytes, std::size_t count,
                              std::chrono::milliseconds budget);

// A read ends when `count` bytes arrived, when the line stays silent for `interval` after a byte, or
// when `total` has passed since the read began; it returns what arrived.
struct SerialReadTimeouts {
    std::chrono::milliseconds interval;
    std::chrono::milliseconds total;
};
std::size_t ReadSerialDevice(SerialHandle handle, std::uint8_t* buffer, std::size_t count,
                             SerialReadTimeouts timeouts);

enum class SerialWaitResult : std::uint8_t { Input, Woken, TimedOut, Failed };
// Waits until input arrives on the port or `wakeHandle` (a WakeupEvent) is notified; no time-out
// when `timeout` is empty. The wake-up wins when both are ready.
SerialWaitResult WaitSerialEvent(SerialHandle handle, int wakeHandle,
                                 std::optional<std::chrono::milliseconds> timeout);
// Waits for `wakeHandle` alone, at most `timeout`; true when it was notified.
bool WaitWakeup(int wakeHandle, std::chrono::milliseconds timeout);

} // namespace brenvik::platform
