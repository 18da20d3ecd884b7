#include "link/link_thread.h"
#include "support/await.h"

#include <gtest/gtest.h>

#include <atomic>
#include <poll.h>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

namespace brenvik {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kBound{5000};

// A medium that records every frame with the time it left, and whose exchanges hear nothing.
class RecordingTransport : public LinkTransport {
public:
    struct Sent {
        Frame bytes;
        Clock::time_point at;
        bool throughExchange;
    };

    explicit RecordingTransport(bool carriesSends, std::chrono::milliseconds pause = 10ms)
        : m_carriesSends(carriesSends), m_pause(pause) {}

    LinkMode Mode() const override { return LinkMode::Lan; }
    std::chrono::milliseconds SendPause() const override { return m_pause; }
    bool AcceptsSend(const std::optional<DeviceEntry>&) override { return true; }
    bool AcceptsExchange(const std::optional<DeviceEntry>&, const Exchange&) override { return true; }
    bool Send(const std::optional<DeviceEntry>&, std::span<const std::uint8_t> bytes) override {
        Record(bytes, false);
        return true;
    }
    std::unique_ptr<OpenExchange> Begin(const std::optional<DeviceEntry>&, const Exchange& exchange) override {
        Record(exchange.request, false);
        if (onBegin) {
            onBegin();
        }
        return std::make_unique<SilentExchange>(*this);
    }
    ExchangeOutcome Unavailable() const override { return ExchangeOutcome::SocketUnavailable; }
    std::chrono::milliseconds ReplyWindow(const Exchange& exchange) const override { return exchange.datagramWindow; }

    std::function<void()> onBegin; // set before the thread uses the transport

    std::vector<Sent> Frames() {
        std::lock_guard lock(m_mutex);
        return m_sent;
    }

private:
    class SilentExchange : public OpenExchange {
    public:
        explicit SilentExchange(RecordingTransport& transport) : m_transport(transport) {}
        void Wait(std::chrono::milliseconds timeout, const WakeupEvent& wakeup) override {
            pollfd entry{wakeup.Handle(), POLLIN, 0};
            poll(&entry, 1, static_cast<int>(timeout.count()));
        }
        bool Collect(const Exchange&, Clock::time_point) override { return false; }
        bool CarriesSends() const override { return m_transport.m_carriesSends; }
        bool Send(const std::optional<DeviceEntry>&, std::span<const std::uint8_t> bytes) override {
            m_transport.Record(bytes, true);
            return true;
        }

    private:
        RecordingTransport& m_transport;
    };

    void Record(std::span<const std::uint8_t> bytes, bool throughExchange) {
        std::lock_guard lock(m_mutex);
        m_sent.push_back({Frame(bytes.begin(), bytes.end()), Clock::now(), throughExchange});
    }

    const bool m_carriesSends;
    const std::chrono::milliseconds m_pause;
    std::mutex m_mutex; // guards m_sent: written on the link thread, read by the test
    std::vector<Sent> m_sent;
};

Frame Numbered(std::uint8_t n) {
    return Frame{n};
}

LinkOperation SendOf(LinkTransport& transport, std::uint8_t n) {
    LinkOperation operation;
    operation.kind = LinkOperation::Kind::Send;
    operation.transport = &transport;
    operation.bytes = Numbered(n);
    return operation;
}

LinkOperation ExchangeOf(LinkTransport& transport, std::uint8_t n, std::chrono::milliseconds window,
                         std::function<void(ExchangeOutcome)> done, std::stop_token cancel = {}) {
    LinkOperation operation;
    operation.kind = LinkOperation::Kind::Exchange;
    operation.transport = &transport;
    operation.exchange.request = Numbered(n);
    operation.exchange.datagramWindow = window;
    operation.exchange.done = std::move(done);
    operation.cancel = std::move(cancel);
    return operation;
}

std::vector<std::uint8_t> Order(const std::vector<RecordingTransport::Sent>& frames) {
    std::vector<std::uint8_t> order;
    for (const auto& frame : frames) {
        order.push_back(frame.bytes.front());
    }
    return order;
}

TEST(LinkThread, FramesLeaveInQueueOrderWithThePauseBetweenThem) {
    RecordingTransport transport(true, 10ms);
    LinkThread thread;
    for (std::uint8_t n = 1; n <= 8; ++n) {
        thread.Queue(SendOf(transport, n));
    }
    ASSERT_TRUE(thread.WaitUntilIdle(kBound));
    const auto frames = transport.Frames();
    EXPECT_EQ(Order(frames), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    for (std::size_t i = 1; i < frames.size(); ++i) {
        EXPECT_GE(frames[i].at - frames[i - 1].at, 10ms) << "frame " << i;
    }
}

// Where the medium carries sends during an exchange (the LAN), the sends queued behind it leave
// through it, in order and paced, before its window ends — also a send queued behind a second
// exchange, which waits its turn.
TEST(LinkThread, SendsOvertakeAWaitingExchangeWhereTheMediumCarriesThem) {
    RecordingTransport transport(true);
    LinkThread thread;
    std::promise<ExchangeOutcome> first;
    std::promise<ExchangeOutcome> second;
    thread.Queue(ExchangeOf(transport, 1, 300ms, [&](ExchangeOutcome o) { first.set_value(o); }));
    thread.Queue(SendOf(transport, 2));
    thread.Queue(SendOf(transport, 3));
    thread.Queue(ExchangeOf(transport, 4, 10ms, [&](ExchangeOutcome o) { second.set_value(o); }));
    thread.Queue(SendOf(transport, 5));
    ASSERT_TRUE(thread.WaitUntilIdle(kBound));
    EXPECT_EQ(first.get_future().get(), ExchangeOutcome::WindowEnded);
    EXPECT_EQ(second.get_future().get(), ExchangeOutcome::WindowEnded);
    const auto frames = transport.Frames();
    EXPECT_EQ(Order(frames), (std::vector<std::uint8_t>{1, 2, 3, 5, 4}));
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_TRUE(frames[1].throughExchange && frames[2].throughExchange && frames[3].throughExchange);
    EXPECT_GE(frames[2].at - frames[1].at, 10ms);
    // Exchange 4 began only after exchange 1's window: the sends in between did not end it early.
    EXPECT_GE(frames[4].at - frames[0].at, 300ms);
}

// Where the medium cannot (the serial line), a write would come between the request and its
// reply: the sends wait until the exchange has ended.
TEST(LinkThread, SendsWaitForTheExchangeWhereTheMediumCannotCarryThem) {
    RecordingTransport transport(false);
    LinkThread thread;
    std::atomic<bool> exchangeEnded{false};
    std::atomic<bool> sentBeforeEnd{false};
    thread.Queue(ExchangeOf(transport, 1, 100ms, [&](ExchangeOutcome) {
        sentBeforeEnd = transport.Frames().size() > 1;
        exchangeEnded = true;
    }));
    thread.Queue(SendOf(transport, 2));
    ASSERT_TRUE(thread.WaitUntilIdle(kBound));
    EXPECT_TRUE(exchangeEnded);
    EXPECT_FALSE(sentBeforeEnd);
    EXPECT_EQ(Order(transport.Frames()), (std::vector<std::uint8_t>{1, 2}));
}

TEST(LinkThread, ACancelEndsTheExchangeAndOneCancelledBeforeItStartsSendsNothing) {
    RecordingTransport transport(true);
    LinkThread thread;
    std::promise<void> began;
    transport.onBegin = [&began, once = std::make_shared<std::once_flag>()] {
        std::call_once(*once, [&began] { began.set_value(); });
    };
    std::stop_source running;
    std::stop_source queued;
    queued.request_stop();
    std::promise<ExchangeOutcome> first;
    std::promise<ExchangeOutcome> second;
    thread.Queue(ExchangeOf(transport, 1, 60s, [&](ExchangeOutcome o) { first.set_value(o); }, running.get_token()));
    thread.Queue(ExchangeOf(transport, 2, 60s, [&](ExchangeOutcome o) { second.set_value(o); }, queued.get_token()));
    began.get_future().wait();
    running.request_stop();
    auto firstOutcome = first.get_future();
    ASSERT_EQ(firstOutcome.wait_for(kBound), std::future_status::ready);
    EXPECT_EQ(firstOutcome.get(), ExchangeOutcome::Cancelled);
    auto secondOutcome = second.get_future();
    ASSERT_EQ(secondOutcome.wait_for(kBound), std::future_status::ready);
    EXPECT_EQ(secondOutcome.get(), ExchangeOutcome::Cancelled);
    EXPECT_EQ(Order(transport.Frames()), std::vector<std::uint8_t>{1});
}

// Stopping cancels the exchange under way and those queued, and still sends the commands queued.
TEST(LinkThread, StoppingCancelsExchangesAndSendsWhatWasQueued) {
    RecordingTransport transport(false);
    std::vector<ExchangeOutcome> outcomes;
    std::mutex outcomesMutex;
    const auto record = [&](ExchangeOutcome o) {
        std::lock_guard lock(outcomesMutex);
        outcomes.push_back(o);
    };
    {
        LinkThread thread;
        std::promise<void> started;
        LinkOperation marker;
        marker.kind = LinkOperation::Kind::Task;
        marker.task = [&] { started.set_value(); };
        thread.Queue(std::move(marker));
        thread.Queue(ExchangeOf(transport, 1, 60s, record));
        thread.Queue(SendOf(transport, 2));
        thread.Queue(ExchangeOf(transport, 3, 60s, record));
        thread.Queue(SendOf(transport, 4));
        started.get_future().wait();
    }
    EXPECT_EQ(outcomes, (std::vector<ExchangeOutcome>{ExchangeOutcome::Cancelled, ExchangeOutcome::Cancelled}));
    const auto order = Order(transport.Frames());
    ASSERT_FALSE(order.empty());
    // The exchange under way may have sent its request before the stop; the two sends always leave.
    EXPECT_EQ(std::vector<std::uint8_t>(order.end() - 2, order.end()), (std::vector<std::uint8_t>{2, 4}));
}

} // namespace
} // namespace brenvik
