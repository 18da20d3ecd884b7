#include "link/frame.h"

#include <algorithm>
#include <stdexcept>

namespace brenvik {

namespace {

// Where the checksum and terminator sit, counted back from the end of a frame.
constexpr std::size_t kChecksumFromEnd = 3;
constexpr std::size_t kTerminatorFromEnd = 1;
constexpr std::size_t kMaxFrameLength = 0xFFFF; // the length field is 16 bits wide

constexpr std::uint8_t kAnyTypeCode = 0xFF;
constexpr std::uint8_t kAnyUnitAddress = 0xFF;

// Discovery request payload: the local time, 7 packed BCD bytes.
namespace stamp_offset {
constexpr std::size_t kYear = 0; // modulo 100
constexpr std::size_t kMonth = 1;
constexpr std::size_t kDay = 2;
constexpr std::size_t kWeekday = 3; // 0 = Sunday
constexpr std::size_t kHour = 4;
constexpr std::size_t kMinute = 5;
constexpr std::size_t kSecond = 6;
constexpr std::size_t kSize = 7;
} // namespace stamp_offset

// Network configuration payload.
namespace netcfg_offset {
constexpr std::size_t kAddresses = 0; // address, mask, gateway: 12 bytes, first octet first
constexpr std::size_t kAddressMode = 12;
constexpr std::size_t kSize = 13;
} // namespace netcfg_offset

// A candidate that proves no frame (a stray A5 6C, a unit reset mid-frame) moves the scan on by one
// byte only, so a frame that begins inside it is still found; a whole frame the handler passes over
// moves it past that frame, so bytes inside its payload are never taken for a frame.
constexpr std::size_t kResumeAfterDropped = 1;

std::uint8_t Bcd(int value) {
    const int twoDigits = value % 100;
    return static_cast<std::uint8_t>(((twoDigits / 10) << 4) | (twoDigits % 10));
}

} // namespace

std::uint16_t FrameChecksum(std::span<const std::uint8_t> bytes) {
    std::uint16_t sum = 0;
    for (std::uint8_t byte : bytes) {
        sum = static_cast<std::uint16_t>(sum + byte);
    }
    return sum;
}

Frame BuildFrame(std::uint8_t typeCode, std::uint8_t unitAddress, std::uint8_t linkByte, std::uint8_t opcode,
                 std::span<const std::uint8_t> payload) {
    const std::size_t length = kFrameOverhead + payload.size();
    if (length > kMaxFrameLength) {
        throw std::length_error("frame longer than its 16-bit length field allows");
    }
    Frame frame(length, 0x00);
    frame[frame_offset::kSync1] = kSync1;
    frame[frame_offset::kSync2] = kSync2;
    frame[frame_offset::kLength] = static_cast<std::uint8_t>(length & 0xFF);
    frame[frame_offset::kLength + 1] = static_cast<std::uint8_t>(length >> 8);
    frame[frame_offset::kTypeCode] = typeCode;
    frame[frame_offset::kUnitAddress] = unitAddress;
    frame[frame_offset::kLinkByte] = linkByte;
    frame[frame_offset::kOpcode] = opcode;
    std::copy(payload.begin(), payload.end(), frame.begin() + frame_offset::kPayload);
    const std::size_t checksumAt = length - kChecksumFromEnd;
    const std::uint16_t checksum = FrameChecksum(std::span(frame).first(checksumAt));
    frame[checksumAt] = static_cast<std::uint8_t>(checksum & 0xFF);
    frame[checksumAt + 1] = static_cast<std::uint8_t>(checksum >> 8);
    frame[length - kTerminatorFromEnd] = kTerminator;
    return frame;
}

Frame BuildDiscoveryRequest(std::uint8_t linkByte, const std::tm& localTime) {
    std::array<std::uint8_t, stamp_offset::kSize> stamp{};
    stamp[stamp_offset::kYear] = Bcd(localTime.tm_year + 1900);
    stamp[stamp_offset::kMonth] = Bcd(localTime.tm_mon + 1);
    stamp[stamp_offset::kDay] = Bcd(localTime.tm_mday);
    stamp[stamp_offset::kWeekday] = Bcd(localTime.tm_wday);
    stamp[stamp_offset::kHour] = Bcd(localTime.tm_hour);
    stamp[stamp_offset::kMinute] = Bcd(localTime.tm_min);
    stamp[stamp_offset::kSecond] = Bcd(localTime.tm_sec);
    return BuildFrame(kAnyTypeCode, kAnyUnitAddress, linkByte, kOpcodeDiscovery, stamp);
}

Frame BuildDiscoveryRequest(std::uint8_t linkByte) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return BuildDiscoveryRequest(linkByte, local);
}

Frame BuildNetworkConfigFrame(std::uint8_t typeCode, std::uint8_t unitAddress, std::uint8_t linkByte,
                              const std::array<std::uint8_t, 12>& addressBytes, std::uint8_t addressMode) {
    std::array<std::uint8_t, netcfg_offset::kSize> payload{};
    std::copy(addressBytes.begin(), addressBytes.end(), payload.begin() + netcfg_offset::kAddresses);
    payload[netcfg_offset::kAddressMode] = addressMode;
    return BuildFrame(typeCode, unitAddress, linkByte, kOpcodeNetworkConfig, payload);
}

Frame BuildCustomNameFrame(std::uint8_t typeCode, std::uint8_t unitAddress, std::uint8_t linkByte,
                           std::span<const std::uint8_t> nameUtf16le) {
    return BuildFrame(typeCode, unitAddress, linkByte, kOpcodeCustomName, nameUtf16le);
}

bool ScanSerialFrames(std::span<const std::uint8_t> bytes,
                      const std::function<bool(std::span<const std::uint8_t> frame)>& handle) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        if (bytes[start] != kSync1) {
            ++start;
            continue;
        }
        // The length field must have arrived before the candidate can be judged; nothing that
        // follows can hold a whole frame either.
        if (start + frame_offset::kLength + 2 > bytes.size()) {
            return false;
        }
        if (bytes[start + frame_offset::kSync2] != kSync2) {
            ++start;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(bytes[start + frame_offset::kLength]) |
                                   (static_cast<std::size_t>(bytes[start + frame_offset::kLength + 1]) << 8);
        const bool complete = length >= kFrameOverhead && length <= bytes.size() - start;
        if (!complete || bytes[start + length - kTerminatorFromEnd] != kTerminator) {
            start += kResumeAfterDropped;
            continue;
        }
        if (handle(bytes.subspan(start, length))) {
            return true;
        }
        start += length;
    }
    return false;
}

} // namespace brenvik
