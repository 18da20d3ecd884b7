// The matrix switcher's replies: both readers on the raw bytes, both queries with their replies
// arriving as datagrams (from the unit or from a third party) and as a serial stream, and the
// session applying what the state query took.
#include "fuzz/harnesses.h"
#include "fuzz/replay_link.h"

#include "link/task_queue.h"
#include "matrix/core/matrix_queries.h"
#include "matrix/core/matrix_session.h"

#include <optional>

namespace brenvik::fuzz {

namespace {

const Ipv4Address kUnitAddress{{10, 0, 0, 7}, 7000};
const Ipv4Address kThirdParty{{10, 0, 0, 8}, 7000};

// A name of at most 32 bytes is at most 16 code units.
void CheckName(const std::optional<std::u16string>& name) {
    if (name && name->size() > kMatrixNameMaxBytes / 2) {
        __builtin_trap();
    }
}

void Check(const std::optional<MatrixStateReply>& reply) {
    if (reply) {
        CheckName(reply->name);
    }
}

// Any two bytes are a backlight reply; there is nothing to hold it to.
void Check(const std::optional<BacklightReply>&) {}

DeviceEntry Unit() {
    DeviceEntry unit;
    unit.SetIp("10.0.0.7");
    unit.typeCode = kTypeMatrixSwitcher;
    unit.unitAddress = 1;
    return unit;
}

// One query on both media: the pieces as datagrams, each from the unit or from a third party as
// the bits of `senders` say, then the same pieces as the serial line's chunks.
template <typename Result, typename Query>
void RunQuery(Query query, const std::vector<std::span<const std::uint8_t>>& pieces, std::uint8_t senders) {
    const DeviceEntry unit = Unit();

    ReplayLink lan(LinkMode::Lan);
    std::optional<Result> lanResult;
    query(lan, unit, {}, [&lanResult](Result result) { lanResult = std::move(result); });
    bool answered = false;
    for (std::size_t i = 0; i < pieces.size() && !answered; ++i) {
        const bool fromUnit = ((senders >> (i % 8)) & 1) == 0;
        answered = lan.FeedDatagrams({pieces[i]}, fromUnit ? kUnitAddress : kThirdParty);
    }
    lan.End(answered ? ExchangeOutcome::Completed : ExchangeOutcome::WindowEnded);
    if (!lanResult || !lanResult->ran || answered != lanResult->reply.has_value()) {
        __builtin_trap();
    }
    Check(lanResult->reply);

    ReplayLink serial(LinkMode::Serial);
    DeviceEntry serialUnit = unit;
    serialUnit.SetIp("");
    std::optional<Result> serialResult;
    query(serial, serialUnit, {}, [&serialResult](Result result) { serialResult = std::move(result); });
    const bool over = serial.FeedStream(pieces);
    serial.End(over ? ExchangeOutcome::Completed : ExchangeOutcome::WindowEnded);
    if (!serialResult || !serialResult->ran) {
        __builtin_trap();
    }
    Check(serialResult->reply);
}

// REFRESH on the LAN: whatever the state query took reaches the session's model, and the read ends.
void ReadThroughSession(const std::vector<std::span<const std::uint8_t>>& pieces, std::uint8_t senders) {
    ReplayLink lan(LinkMode::Lan);
    DeviceTable devices;
    devices.At(0) = Unit();
    devices.SetSelectedIndex(0);
    bool locked = false;
    TaskQueue queue;
    MatrixSession session(lan, devices, locked, queue);
    bool ended = false;
    session.ReadRouting({}, [&ended](bool) { ended = true; });
    bool answered = false;
    for (std::size_t i = 0; i < pieces.size() && !answered; ++i) {
        const bool fromUnit = ((senders >> (i % 8)) & 1) == 0;
        answered = lan.FeedDatagrams({pieces[i]}, fromUnit ? kUnitAddress : kThirdParty);
    }
    lan.End(answered ? ExchangeOutcome::Completed : ExchangeOutcome::WindowEnded);
    queue.RunPending();
    if (!ended) {
        __builtin_trap();
    }
    CheckName(session.Name());
}

} // namespace

void FuzzMatrixReplies(std::span<const std::uint8_t> input) {
    Check(ReadMatrixStateReply(input));
    Check(ReadBacklightReply(input));
    if (input.empty()) {
        return;
    }
    // The first byte says which datagrams come from a third party; the rest are the replies.
    const std::uint8_t senders = input[0];
    const auto pieces = Pieces(input.subspan(1));
    RunQuery<MatrixStateRead>(&QueryMatrixState, pieces, senders);
    RunQuery<BacklightRead>(&QueryBacklight, pieces, senders);
    ReadThroughSession(pieces, senders);
}

} // namespace brenvik::fuzz
