// The matrix switcher's replies: both readers on the raw bytes, and both queries with their replies
// arriving as datagrams (from the unit or from a third party) and as a serial stream.
#include "fuzz/harnesses.h"
#include "fuzz/replay_link.h"

#include "matrix/core/matrix_queries.h"

#include <optional>

namespace brenvik::fuzz {

namespace {

const Ipv4Address kUnitAddress{{10, 0, 0, 7}, 7000};
const Ipv4Address kThirdParty{{10, 0, 0, 8}, 7000};

void CheckAndApply(const std::optional<MatrixStateReply>& reply) {
    if (!reply) {
        return;
    }
    // A name of at most 32 bytes is at most 16 code units.
    if (reply->name && reply->name->size() > kMatrixNameMaxBytes / 2) {
        __builtin_trap();
    }
    MatrixModel model;
    bool locked = false;
    std::uint8_t dhcp = 0;
    std::u16string customName;
    ApplyMatrixState(*reply, {model, locked, dhcp, customName});
}

void CheckAndApply(const std::optional<BacklightReply>& reply) {
    if (reply) {
        MatrixModel model;
        ApplyBacklight(*reply, model);
    }
}

// One query on both media: the pieces as datagrams, each from the unit or from a third party as
// the bits of `senders` say, then the same pieces as the serial line's chunks.
template <typename Result, typename Query>
void RunQuery(Query query, const std::vector<std::span<const std::uint8_t>>& pieces, std::uint8_t senders) {
    DeviceEntry unit;
    unit.SetIp("10.0.0.7");
    unit.typeCode = kTypeMatrixSwitcher;
    unit.unitAddress = 1;

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
    CheckAndApply(lanResult->reply);

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
    CheckAndApply(serialResult->reply);
}

} // namespace

void FuzzMatrixReplies(std::span<const std::uint8_t> input) {
    CheckAndApply(ReadMatrixStateReply(input));
    CheckAndApply(ReadBacklightReply(input));
    if (input.empty()) {
        return;
    }
    // The first byte says which datagrams come from a third party; the rest are the replies.
    const std::uint8_t senders = input[0];
    const auto pieces = Pieces(input.subspan(1));
    RunQuery<MatrixStateRead>(&QueryMatrixState, pieces, senders);
    RunQuery<BacklightRead>(&QueryBacklight, pieces, senders);
}

} // namespace brenvik::fuzz
