#include "matrix/core/matrix_queries.h"
#include "matrix_reply_bytes.h"
#include "support/holding_link.h"
#include "support/hex.h"

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

using test::BacklightReplyBytes;
using test::StateReply;

Frame Cut(Frame bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

constexpr MatrixRouting kRouting{3, 1, 4, 1, 5, 9, 2, 6};

TEST(MatrixReplies, StateReplyFieldsByCase) {
    const struct {
        const char* name;
        Frame bytes;
        bool read;
        bool locked;
        std::optional<std::u16string> unitName;
    } cases[] = {
        {"NameOfThreeCharacters", StateReply(kRouting, 1, 6, u"R\u00e4k"), true, true, u"R\u00e4k"},
        {"NameLengthZero", StateReply(kRouting, 0, 0, u"Abc"), true, false, std::nullopt},
        {"NameLength33", StateReply(kRouting, 0, 33, u"Abc"), true, false, std::nullopt},
        {"NameLength32", StateReply(kRouting, 0, 32, u"Sixteen chars 16"), true, false, u"Sixteen chars 16"},
        {"ZeroInsideTheName", StateReply(kRouting, 0, 6, std::u16string(u"A\0B", 3)), true, false, u"A"},
        {"WithoutTrailer", Cut(StateReply(kRouting, 1, 6, u"Abc"), 35), true, true, u"Abc"},
        // Too short for what it announces: nothing is read past its end, nothing is taken.
        {"CutBeforeTheNameLength", Cut(StateReply(kRouting, 1, 0), 28), false, false, std::nullopt},
        {"CutInsideTheName", Cut(StateReply(kRouting, 1, 6, u"Abc"), 34), false, false, std::nullopt},
        {"CutAtTheOpcode", Cut(StateReply(kRouting, 1, 0), 16), false, false, std::nullopt},
        {"AnotherOpcode", BacklightReplyBytes(1, 2), false, false, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto reply = ReadMatrixStateReply(c.bytes);
        ASSERT_EQ(reply.has_value(), c.read) << c.name;
        if (reply) {
            EXPECT_EQ(reply->routing, kRouting) << c.name;
            EXPECT_EQ(reply->locked, c.locked) << c.name;
            EXPECT_EQ(reply->addressMode, 1) << c.name;
            EXPECT_EQ(reply->name, c.unitName) << c.name;
        }
    }
}

TEST(MatrixReplies, BacklightReplyByCase) {
    EXPECT_EQ(ReadBacklightReply(BacklightReplyBytes(4, 100))->time, 4);
    EXPECT_EQ(ReadBacklightReply(BacklightReplyBytes(4, 150))->brightness, 150);
    EXPECT_EQ(ReadBacklightReply(Cut(BacklightReplyBytes(4, 100), 20))->brightness, 100);
    EXPECT_FALSE(ReadBacklightReply(Cut(BacklightReplyBytes(4, 100), 19)));
    EXPECT_FALSE(ReadBacklightReply(StateReply(kRouting, 0, 0)));
}

class MatrixQueryTest : public ::testing::Test {
protected:
    void Start(LinkMode mode) {
        m_link.mode = mode;
        DeviceEntry unit;
        unit.SetIp("127.0.0.11");
        unit.typeCode = kTypeMatrixSwitcher;
        unit.unitAddress = 1;
        QueryMatrixState(m_link, unit, {}, [this](MatrixStateRead read) { m_read = std::move(read); });
        ASSERT_TRUE(m_link.exchange);
    }
    bool Take(const Frame& bytes, const char* from) {
        return m_link.exchange->takeDatagram(bytes, *Ipv4Address::Parse(from, 4660));
    }

    test::HoldingLink m_link;
    std::optional<MatrixStateRead> m_read;
};

// Only the queried unit's own, whole reply ends the wait on the LAN.
TEST_F(MatrixQueryTest, LanTakesOnlyTheQueriedUnitsWholeReply) {
    Start(LinkMode::Lan);
    EXPECT_EQ(m_link.exchange->request,
              test::Hex("A5 6C 14 00 82 01 01 00 00 00 00 00 00 00 00 00 53 FC 01 AE"));
    EXPECT_EQ(m_link.exchange->datagramWindow, kMatrixLanReplyWindow);
    EXPECT_FALSE(Take(StateReply({9, 9, 9, 9, 9, 9, 9, 9}, 0, 0), "127.0.0.12"));
    EXPECT_FALSE(Take(BacklightReplyBytes(1, 1), "127.0.0.11"));
    EXPECT_FALSE(Take(Cut(StateReply(kRouting, 0, 0), 24), "127.0.0.11"));
    EXPECT_TRUE(Take(StateReply(kRouting, 1, 0), "127.0.0.11"));
    m_link.exchange->done(ExchangeOutcome::Completed);
    ASSERT_TRUE(m_read && m_read->ran && m_read->reply);
    EXPECT_EQ(m_read->reply->routing, kRouting);
}

// The serial line takes the reply once 62 bytes are there; another opcode ends it without one.
TEST_F(MatrixQueryTest, SerialTakesTheReplyAtSixtyTwoBytes) {
    Start(LinkMode::Serial);
    EXPECT_EQ(m_link.exchange->request,
              test::Hex("A5 6C 14 00 82 01 00 00 00 00 00 00 00 00 00 00 53 FB 01 AE"));
    const Frame reply = StateReply(kRouting, 0, 6, u"Abc");
    EXPECT_FALSE(m_link.exchange->takeStream(Cut(reply, 61)));
    EXPECT_TRUE(m_link.exchange->takeStream(Cut(reply, 62)));
    m_link.exchange->done(ExchangeOutcome::Completed);
    ASSERT_TRUE(m_read && m_read->reply);
    EXPECT_EQ(m_read->reply->name, u"Abc");

    Start(LinkMode::Serial);
    Frame other = reply;
    other[16] = 0x50;
    EXPECT_TRUE(m_link.exchange->takeStream(other));
    m_link.exchange->done(ExchangeOutcome::Completed);
    ASSERT_TRUE(m_read && m_read->ran);
    EXPECT_FALSE(m_read->reply);
}

TEST_F(MatrixQueryTest, WhetherTheQueryRanByOutcome) {
    const struct {
        ExchangeOutcome outcome;
        bool ran;
    } cases[] = {
        {ExchangeOutcome::Completed, true},         {ExchangeOutcome::WindowEnded, true},
        {ExchangeOutcome::SocketUnavailable, true}, {ExchangeOutcome::PortClosed, false},
        {ExchangeOutcome::NotAddressed, false},     {ExchangeOutcome::Cancelled, false},
    };
    for (const auto& c : cases) {
        Start(LinkMode::Lan);
        m_link.exchange->done(c.outcome);
        ASSERT_TRUE(m_read);
        EXPECT_EQ(m_read->ran, c.ran) << static_cast<int>(c.outcome);
        EXPECT_FALSE(m_read->reply);
    }
}

TEST(MatrixBacklightQuery, TakesTheQueriedUnitsReply) {
    test::HoldingLink link;
    DeviceEntry unit;
    unit.SetIp("127.0.0.11");
    std::optional<BacklightRead> read;
    QueryBacklight(link, unit, {}, [&read](BacklightRead r) { read = r; });
    ASSERT_TRUE(link.exchange);
    EXPECT_EQ(link.exchange->request,
              test::Hex("A5 6C 14 00 03 01 01 00 00 00 00 00 00 00 00 00 50 7A 01 AE"));
    EXPECT_FALSE(
        link.exchange->takeDatagram(BacklightReplyBytes(2, 40), *Ipv4Address::Parse("127.0.0.99", 1)));
    EXPECT_FALSE(link.exchange->takeStream(Cut(BacklightReplyBytes(2, 40), 22)));
    EXPECT_TRUE(
        link.exchange->takeDatagram(BacklightReplyBytes(2, 40), *Ipv4Address::Parse("127.0.0.11", 1)));
    link.exchange->done(ExchangeOutcome::Completed);
    ASSERT_TRUE(read && read->reply);
    EXPECT_EQ(read->reply->time, 2);
    EXPECT_EQ(read->reply->brightness, 40);
}

} // namespace
} // namespace brenvik
