#pragma once

#include "link/device_table.h"
#include "link/unit_link.h"
#include "matrix/core/matrix_model.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>

namespace brenvik {

// The state reply: A5 6C .. opcode 0x53 at 16 | routing of outputs 1..8 at 18..25 | lock at 26 |
// address mode at 27 | name length n at 28 | n bytes of UTF-16LE name from 29 (at most 32) | ..
// 64 bytes in all from a well-behaved unit.
struct MatrixStateReply {
    MatrixRouting routing{};
    bool locked = false;
    std::uint8_t addressMode = 0; // 1 DHCP, 0 static
    // The unit's name; nothing when its length byte is 0 or above 32.
    std::optional<std::u16string> name;
};

// The backlight reply: opcode 0x50 at 16, time at 18, brightness at 19; 23 bytes in all.
struct BacklightReply {
    std::uint8_t time = 0;
    std::uint8_t brightness = 0;
};

inline constexpr std::size_t kMatrixStateReplySize = 64;
inline constexpr std::size_t kBacklightReplySize = 23;
// The serial line takes a state reply once this many bytes have come (the checksum's second byte
// and the terminator may still be on their way).
inline constexpr std::size_t kMatrixStateStreamNeeds = 62;
inline constexpr std::size_t kMatrixNameMaxBytes = 32;

// The replies from their bytes; nothing for bytes with another opcode at 16, or too short to hold
// every field the reply announces (a state reply must hold its whole name). Never reads past the end.
std::optional<MatrixStateReply> ReadMatrixStateReply(std::span<const std::uint8_t> bytes);
std::optional<BacklightReply> ReadBacklightReply(std::span<const std::uint8_t> bytes);

// How long a query waits for its reply: on the LAN each datagram is looked at as it arrives, for
// about a second; on the serial line for as long as the unit takes to send 64 bytes and a margin.
inline constexpr std::chrono::milliseconds kMatrixLanReplyWindow{1020};
inline constexpr std::chrono::milliseconds kMatrixSerialReplyWindow{620};

template <typename Reply> struct MatrixQueryResult {
    // False when nothing went out: the serial port is closed, no unit is selected, or the query
    // was cancelled. Nothing is then taken from it.
    bool ran = false;
    std::optional<Reply> reply; // nothing when no reply came in time
};
using MatrixStateRead = MatrixQueryResult<MatrixStateReply>;
using BacklightRead = MatrixQueryResult<BacklightReply>;

// Queue the query on the link; `done` gets the result once, on the link thread (or at once when
// the unit cannot be addressed) and must only hand it on. On the LAN only a datagram from the
// queried unit's own address is taken as its reply; on the serial line the bytes that came since
// the request are the reply.
void QueryMatrixState(UnitLink& link, const std::optional<DeviceEntry>& unit, std::stop_token cancel,
                      std::function<void(MatrixStateRead)> done);
void QueryBacklight(UnitLink& link, const std::optional<DeviceEntry>& unit, std::stop_token cancel,
                    std::function<void(BacklightRead)> done);

} // namespace brenvik
