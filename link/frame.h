#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <span>
#include <vector>

namespace brenvik {

// Every binary message to or from a unit is one of these frames:
//   A5 6C | length (16-bit LE, whole frame) | type code | unit address | link byte |
//   9 reserved bytes | opcode | payload | 16-bit additive checksum (LE) | AE
// Frames from a unit carry its 4-byte identifier at offsets 10..13 and their data from offset 18.
using Frame = std::vector<std::uint8_t>;

namespace frame_offset {
inline constexpr std::size_t kSync1 = 0;
inline constexpr std::size_t kSync2 = 1;
inline constexpr std::size_t kLength = 2;
inline constexpr std::size_t kTypeCode = 4;
inline constexpr std::size_t kUnitAddress = 5;
inline constexpr std::size_t kLinkByte = 6;
inline constexpr std::size_t kReserved = 7;
inline constexpr std::size_t kUnitId = 10;
inline constexpr std::size_t kOpcode = 16;
inline constexpr std::size_t kPayload = 17;  // first value of a frame the console sends
inline constexpr std::size_t kUnitData = 18; // first value of a frame a unit sends
} // namespace frame_offset

inline constexpr std::uint8_t kSync1 = 0xA5;
inline constexpr std::uint8_t kSync2 = 0x6C;
inline constexpr std::uint8_t kTerminator = 0xAE;
inline constexpr std::size_t kFrameOverhead = 20; // a query: header, opcode, checksum, terminator

inline constexpr std::uint8_t kOpcodeDiscovery = 0xFF;
inline constexpr std::uint8_t kOpcodeNetworkConfig = 0x05;
inline constexpr std::uint8_t kOpcodeCustomName = 0x0F;

// The link byte at offset 6: how the console talks to the unit right now.
enum class LinkMode : std::uint8_t { Serial = 0, Lan = 1 };

std::uint16_t FrameChecksum(std::span<const std::uint8_t> bytes);

Frame BuildFrame(std::uint8_t typeCode, std::uint8_t unitAddress, std::uint8_t linkByte, std::uint8_t opcode,
                 std::span<const std::uint8_t> payload = {});

// The 27-byte discovery request, stamped with the given local time in packed BCD.
Frame BuildDiscoveryRequest(std::uint8_t linkByte, const std::tm& localTime);
// The same, stamped with the console's local clock now.
Frame BuildDiscoveryRequest(std::uint8_t linkByte);

// addressBytes: IPv4 address, subnet mask, gateway, each first octet first. addressMode: 0 static, 1 DHCP.
Frame BuildNetworkConfigFrame(std::uint8_t typeCode, std::uint8_t unitAddress, std::uint8_t linkByte,
                              const std::array<std::uint8_t, 12>& addressBytes, std::uint8_t addressMode);

Frame BuildCustomNameFrame(std::uint8_t typeCode, std::uint8_t unitAddress, std::uint8_t linkByte,
                           std::span<const std::uint8_t> nameUtf16le);

// Serial links deliver a byte stream, not datagrams. ScanSerialFrames walks the whole accumulated
// buffer from its first byte and hands every candidate frame (sync bytes, both length bytes, a
// terminator where the length says; a length below 20 or past the accumulated bytes drops the
// candidate) to `handle`, which returns true when it has dealt with the frame and the scan is over. Nothing
// is consumed: an incomplete frame is found again, complete, on a later pass. Returns whether `handle` ended
// the scan.
bool ScanSerialFrames(std::span<const std::uint8_t> bytes,
                      const std::function<bool(std::span<const std::uint8_t> frame)>& handle);

} // namespace brenvik
