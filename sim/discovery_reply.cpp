#include "sim/discovery_reply.h"

#include "sim/unit_frame.h"

#include <vector>

namespace brenvik::sim {

namespace {

constexpr std::uint8_t kSeparator = '-';
// The byte between the two separators; the console never reads it.
constexpr std::uint8_t kSeparatedByte = '0';
constexpr std::uint8_t kAnyTypeCode = 0xFF;
constexpr std::uint8_t kWrongSync2 = 0x6D;
constexpr std::uint8_t kForeignTypeCode = 0x55;

std::vector<std::uint8_t> ReplyData(const UnitConfig& config, bool withIdentifier) {
    std::vector<std::uint8_t> data(config.modelName.begin(), config.modelName.end());
    data.push_back(kSeparator);
    data.push_back(kSeparatedByte);
    data.push_back(kSeparator);
    if (withIdentifier) {
        data.insert(data.end(), config.unitId.begin(), config.unitId.end());
    }
    return data;
}

} // namespace

Frame BuildDiscoveryReply(const UnitConfig& config, std::uint8_t linkByte) {
    return BuildUnitFrame(config, linkByte, kOpcodeDiscovery, ReplyData(config, true));
}

std::vector<Frame> DiscoveryAnswers(const UnitConfig& config, std::uint8_t linkByte) {
    switch (config.fault) {
    case DiscoveryFault::None:
        return {BuildDiscoveryReply(config, linkByte)};
    case DiscoveryFault::WrongHeader: {
        Frame reply = BuildDiscoveryReply(config, linkByte);
        reply[frame_offset::kSync2] = kWrongSync2;
        StampChecksum(reply);
        return {reply};
    }
    case DiscoveryFault::UnknownTypeCode: {
        Frame reply = BuildDiscoveryReply(config, linkByte);
        reply[frame_offset::kTypeCode] = kForeignTypeCode;
        StampChecksum(reply);
        return {reply};
    }
    case DiscoveryFault::TooShort:
        return {BuildUnitFrame(config, linkByte, kOpcodeDiscovery, {})};
    case DiscoveryFault::AnswerTwice: {
        Frame reply = BuildDiscoveryReply(config, linkByte);
        return {reply, reply};
    }
    case DiscoveryFault::Silent:
        return {};
    case DiscoveryFault::IdentifierPastEnd:
        return {BuildUnitFrame(config, linkByte, kOpcodeDiscovery, ReplyData(config, false))};
    }
    return {};
}

bool IsDiscoveryRequest(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kFrameOverhead && bytes[frame_offset::kSync1] == kSync1 &&
           bytes[frame_offset::kSync2] == kSync2 && bytes[frame_offset::kTypeCode] == kAnyTypeCode &&
           bytes[frame_offset::kOpcode] == kOpcodeDiscovery;
}

} // namespace brenvik::sim
