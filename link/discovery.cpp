#include "link/discovery.h"

#include "link/text_codec.h"

#include <algorithm>
#include <string_view>

namespace brenvik {

namespace {

struct ModelNameAlias {
    std::u16string_view reported;
    std::u16string_view shown;
};
constexpr std::array<ModelNameAlias, 2> kModelNameAliases{{
    {u"PQT0642", u"PQT-8"},
    {u"16CH Monitorgrid", u"PQV-16"},
}};

constexpr std::size_t kLanReplyBufferSize = 128;
constexpr std::uint8_t kNameSeparator = '-';
// After the separator at p: one byte, a second separator at p + 2, the identifier from p + 3.
constexpr std::size_t kSecondSeparatorAfter = 2;
constexpr std::size_t kIdentifierAfter = 3;
// Checksum and terminator close every reply; separators are looked for before them.
constexpr std::size_t kReplyTrailer = 3;

constexpr std::uint8_t kOpcodeStateFrame = 0x32;
constexpr std::size_t kStateFrameMinLength = 809;

constexpr const char* kNoDeviceFound = "No Device Found";
constexpr const char* kNoDeviceConnected = "No Device Connected";

std::string ConnectedText(std::size_t count) {
    return "Connected - " + std::to_string(count);
}

std::u16string ModelName(std::span<const std::uint8_t> nameBytes) {
    return DisplayModelName(FromLatin1(nameBytes));
}

// Records every unit that one LAN discovery datagram describes. A reply carries its model name
// from offset 18 up to a "-" x "-" separator, and the identifier in the four bytes after it;
// every separator position counts, so one datagram can list a unit more than once, with the
// longer name that ends there. Identifier bytes beyond the received datagram read as zero.
void RecordLanReply(std::span<const std::uint8_t> datagram, const Ipv4Address& sender,
                    DiscoveryResult& result) {
    if (datagram.size() <= frame_offset::kUnitAddress || datagram[frame_offset::kSync1] != kSync1 ||
        datagram[frame_offset::kSync2] != kSync2 || datagram.back() != kTerminator) {
        return;
    }
    if (!IsKnownTypeCode(datagram[frame_offset::kTypeCode])) {
        return;
    }
    const std::size_t scanLimit = datagram.size() - kReplyTrailer;
    const std::string ip = sender.DottedText();
    for (std::size_t p = frame_offset::kUnitData; p < scanLimit; ++p) {
        if (datagram[p] != kNameSeparator || datagram[p + kSecondSeparatorAfter] != kNameSeparator) {
            continue;
        }
        if (result.entries.size() >= kDeviceTableSize) {
            return;
        }
        DeviceEntry entry;
        entry.SetIp(ip);
        entry.typeCode = datagram[frame_offset::kTypeCode];
        entry.unitAddress = datagram[frame_offset::kUnitAddress];
        for (std::size_t i = 0; i < entry.unitId.size(); ++i) {
            const std::size_t at = p + kIdentifierAfter + i;
            entry.unitId[i] = at < datagram.size() ? datagram[at] : 0x00;
        }
        const auto name = ModelName(datagram.subspan(frame_offset::kUnitData, p - frame_offset::kUnitData));
        result.entries.push_back(entry);
        result.listItems.push_back(name + u"_" + ToU16(entry.Ip()));
    }
}

} // namespace

std::u16string DisplayModelName(const std::u16string& reported) {
    const auto alias = std::find_if(kModelNameAliases.begin(), kModelNameAliases.end(),
                                    [&](const ModelNameAlias& a) { return a.reported == reported; });
    return alias == kModelNameAliases.end() ? reported : std::u16string(alias->shown);
}

DiscoveryResult DiscoverOverLan(ConsoleLink& link, std::chrono::milliseconds window) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + window;
    DiscoveryResult result;

    const Frame request = BuildDiscoveryRequest(link.LinkByte());
    auto socket = link.Udp().OpenBroadcastSocket();
    if (!socket) {
        result.outcome = DiscoveryResult::Outcome::SocketError;
        return result;
    }
    socket->Send(request);

    // The window is fixed however many units answer: wait for the time left, then take every
    // datagram that has arrived, so a full rack's burst costs no more than its own handling.
    std::array<std::uint8_t, kLanReplyBufferSize> buffer{};
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        if (!socket->WaitReadable(left)) {
            continue;
        }
        while (const auto received = socket->Receive(buffer)) {
            RecordLanReply(std::span(buffer).first(*received), socket->Peer(), result);
        }
    }

    if (result.entries.empty()) {
        result.outcome = DiscoveryResult::Outcome::NoneFound;
        result.listItems = {ToU16(kNoDeviceFound)};
        result.statusText = kNoDeviceConnected;
        result.selectedIndex = -1;
    } else {
        result.outcome = DiscoveryResult::Outcome::Found;
        result.statusText = ConnectedText(result.entries.size());
        result.selectedIndex = 0;
    }
    return result;
}

SerialScanResult ScanSerialReplies(std::span<const std::uint8_t> accumulated) {
    SerialScanResult result;
    ScanSerialFrames(accumulated, [&](std::span<const std::uint8_t> frame) {
        const std::uint8_t opcode = frame[frame_offset::kOpcode];
        if (opcode == kOpcodeDiscovery) {
            result.over = true;
            for (std::size_t j = frame_offset::kUnitData; j + kSecondSeparatorAfter < frame.size(); ++j) {
                if (frame[j] == kNameSeparator && frame[j + kSecondSeparatorAfter] == kNameSeparator) {
                    result.listItem =
                        ModelName(frame.subspan(frame_offset::kUnitData, j - frame_offset::kUnitData));
                    DeviceEntry entry;
                    entry.typeCode = frame[frame_offset::kTypeCode];
                    entry.unitAddress = frame[frame_offset::kUnitAddress];
                    result.entry = entry;
                    break;
                }
            }
            return true;
        }
        if (opcode == kOpcodeStateFrame) {
            // A short state frame ends this scan; the search goes on with the next pass.
            if (frame.size() >= kStateFrameMinLength) {
                std::array<std::uint8_t, kMultiviewerStateBlockSize> block{};
                std::copy_n(frame.begin() + frame_offset::kUnitData, block.size(), block.begin());
                result.stateBlock = block;
                result.over = true;
            }
            return true;
        }
        return false;
    });
    return result;
}

void ApplyDiscovery(DeviceTable& table, const DiscoveryResult& result) {
    table.SetSelectedIndex(-1);
    // A serial search that could not start leaves the table as it was.
    if (result.outcome == DiscoveryResult::Outcome::SerialPortClosed) {
        return;
    }
    table.Clear();
    const std::size_t count = std::min(result.entries.size(), kDeviceTableSize);
    for (std::size_t i = 0; i < count; ++i) {
        table.At(i) = result.entries[i];
    }
    table.SetSelectedIndex(result.selectedIndex);
}

} // namespace brenvik
