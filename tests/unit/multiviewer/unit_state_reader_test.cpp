#include "link/console_link.h"
#include "multiviewer/core/unit_state_reader.h"
#include "support/await.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <deque>
#include <future>
#include <thread>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

// An answer to query 0x0A of `size` bytes whose block starts with `firstBlockByte`.
Frame Answer(std::size_t size, std::uint8_t firstBlockByte, std::uint8_t opcode = 0x0A,
             std::uint8_t typeCode = kTypeMultiviewer) {
    Frame frame(size, 0x00);
    frame[0] = kSync1;
    frame[1] = kSync2;
    frame[2] = static_cast<std::uint8_t>(size & 0xFF);
    frame[3] = static_cast<std::uint8_t>(size >> 8);
    frame[4] = typeCode;
    frame[16] = opcode;
    frame[18] = firstBlockByte;
    return frame;
}

// The state read on `link`, waited for.
StateRead Query(ConsoleLink& link, const std::optional<DeviceEntry>& unit, std::stop_token cancel = {},
                std::chrono::milliseconds wait = kStateReadWait) {
    const auto read = test::Await<StateRead>(
        [&](auto done) { QueryUnitState(link, unit, std::move(cancel), std::move(done), wait); });
    EXPECT_TRUE(read);
    return read.value_or(StateRead{});
}

// A unit at 127.0.0.2 that answers the first datagram it gets with the datagrams given.
class ScriptedUnit {
public:
    ScriptedUnit(std::uint16_t port, std::vector<Frame> answers) : m_socket(*UdpSocket::Create()) {
        EXPECT_TRUE(m_socket.Bind(Ipv4Address{{127, 0, 0, 2}, port}));
        m_thread = std::jthread([this, answers = std::move(answers)] {
            Frame query;
            if (m_socket.WaitReadable(10s)) {
                query.resize(1500);
                Ipv4Address from;
                const auto size = m_socket.ReceiveFrom(query, &from);
                query.resize(size.value_or(0));
                for (const Frame& answer : answers) {
                    m_socket.SendTo(from, answer);
                }
            }
            m_heard.set_value(query);
        });
    }
    // The query, once the unit has answered it; empty when none came.
    Frame Query() {
        auto heard = m_heardQuery;
        return heard.wait_for(10s) == std::future_status::ready ? heard.get() : Frame{};
    }

private:
    UdpSocket m_socket;
    std::promise<Frame> m_heard;
    std::shared_future<Frame> m_heardQuery = m_heard.get_future().share();
    std::jthread m_thread; // last: joined before the socket closes
};

class StateReadLan : public ::testing::Test {
protected:
    StateReadLan() {
        m_unit.SetIp("127.0.0.2");
        m_unit.typeCode = kTypeMultiviewer;
        m_unit.unitAddress = 0x01;
    }
    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingMessages m_messages;
    ConsoleLink m_link{m_endpoints, m_messages};
    DeviceEntry m_unit;
};

TEST_F(StateReadLan, AnswerOf808BytesIsIgnoredOneOf809Accepted) {
    ScriptedUnit unit(m_endpoints.unitPort, {Answer(808, 11), Answer(809, 42)});
    const StateRead read = Query(m_link, m_unit);
    EXPECT_EQ(unit.Query(), BuildFrame(kTypeMultiviewer, 0x01, 1, 0x0A));
    ASSERT_EQ(read.outcome, StateRead::Outcome::Answered);
    EXPECT_EQ((*read.block)[0], 42);
}

TEST_F(StateReadLan, AnswersWithAnotherOpcodeOrTypeCodeAreIgnored) {
    ScriptedUnit unit(m_endpoints.unitPort,
                      {Answer(810, 1, 0x0B), Answer(810, 2, 0x0A, 0x82), Answer(810, 3)});
    const StateRead read = Query(m_link, m_unit);
    ASSERT_EQ(read.outcome, StateRead::Outcome::Answered);
    EXPECT_EQ((*read.block)[0], 3);
}

// The session decodes the block it holds once more after a read that timed out.
TEST_F(StateReadLan, NoAnswerTimesOut) {
    ScriptedUnit unit(m_endpoints.unitPort, {});
    const StateRead read = Query(m_link, m_unit, {}, 150ms);
    EXPECT_EQ(read.outcome, StateRead::Outcome::TimedOut);
    EXPECT_FALSE(read.block);
    EXPECT_EQ(unit.Query(), BuildFrame(kTypeMultiviewer, 0x01, 1, 0x0A));
}

TEST_F(StateReadLan, NoCommandSocketSendsNothing) {
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder && holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.localPort}));
    const StateRead read = Query(m_link, m_unit);
    EXPECT_EQ(read.outcome, StateRead::Outcome::NotSent);
    EXPECT_FALSE(read.block);
}

TEST_F(StateReadLan, NoUnitSelected) {
    EXPECT_EQ(Query(m_link, std::nullopt).outcome, StateRead::Outcome::NotSent);
    EXPECT_EQ(m_messages.Errors(), std::vector<std::string>{"Please choose a device"});
}

// The read would wait far longer than the test's bound on it: only the stop, given once the unit
// has the query, can end it in time.
TEST_F(StateReadLan, StopEndsTheWait) {
    ScriptedUnit unit(m_endpoints.unitPort, {});
    std::stop_source stop;
    std::jthread stopper([&] {
        if (!unit.Query().empty()) {
            stop.request_stop();
        }
    });
    const StateRead read = Query(m_link, m_unit, stop.get_token(), 3600s);
    EXPECT_EQ(read.outcome, StateRead::Outcome::Stopped);
    EXPECT_FALSE(read.block);
}

// A serial port whose unit answers a query with the bytes given, as a line would deliver them.
class AnsweringSerialPort : public SerialPortLink {
public:
    explicit AnsweringSerialPort(std::vector<std::uint8_t> answer) : m_answer(std::move(answer)) {}
    bool IsOpen() const override { return m_open; }
    int InputCount() override { return m_open ? static_cast<int>(m_input.size()) : -1; }
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override {
        std::size_t taken = 0;
        for (; taken < count && !m_input.empty(); ++taken) {
            buffer[taken] = m_input.front();
            m_input.pop_front();
        }
        return taken;
    }
    std::size_t Write(const std::uint8_t* bytes, std::size_t count) override {
        m_written.assign(bytes, bytes + count);
        m_input.insert(m_input.end(), m_answer.begin(), m_answer.end());
        return count;
    }

    bool m_open = true;
    std::vector<std::uint8_t> m_answer;
    std::deque<std::uint8_t> m_input;
    std::vector<std::uint8_t> m_written;
};

TEST_F(StateReadLan, SerialTakesTheFirst809BytesWhateverTheyAre) {
    Frame answer = Answer(900, 77, 0x33, 0x00);
    AnsweringSerialPort port(answer);
    port.m_input.assign(5, 0xEE); // sent unasked: drained before the query
    m_link.AttachSerialPort(&port);
    m_link.SetMode(LinkMode::Serial);
    const StateRead read = Query(m_link, m_unit);
    m_link.AttachSerialPort(nullptr);
    ASSERT_TRUE(m_link.WaitUntilIdle(2000ms));
    EXPECT_EQ(port.m_written, BuildFrame(kTypeMultiviewer, 0x01, 0, 0x0A));
    ASSERT_EQ(read.outcome, StateRead::Outcome::Answered);
    EXPECT_EQ((*read.block)[0], 77);
}

TEST_F(StateReadLan, SerialShortAnswerTimesOutAndClosedPortSendsNothing) {
    AnsweringSerialPort port(Frame(808, 0x11));
    m_link.AttachSerialPort(&port);
    m_link.SetMode(LinkMode::Serial);
    EXPECT_EQ(Query(m_link, m_unit, {}, 100ms).outcome, StateRead::Outcome::TimedOut);
    port.m_open = false;
    EXPECT_EQ(Query(m_link, m_unit, {}, 100ms).outcome, StateRead::Outcome::NotSent);
    m_link.AttachSerialPort(nullptr);
    ASSERT_TRUE(m_link.WaitUntilIdle(2000ms));
}

} // namespace
} // namespace brenvik
