#include "link/console_link.h"
#include "link/task_queue.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/status_receiver_thread.h"
#include "report_frames.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>

namespace brenvik {
namespace {

using namespace std::chrono_literals;
using test::Report;

// The bound on every wait for something the receiver does; it is never the thing tested.
constexpr auto kBound = 10s;

// The owning thread's queue, which also lets the test wait until the receiver has posted, without
// running what it posted.
class CountingQueue : public UiDispatcher {
public:
    void Post(std::function<void()> task) override {
        m_queue.Post(std::move(task));
        {
            std::lock_guard lock(m_mutex);
            ++m_posted;
        }
        m_changed.notify_all();
    }
    void PostAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        m_queue.PostAfter(delay, std::move(task));
    }
    bool WaitPosted(int count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, kBound, [&] { return m_posted >= count; });
    }
    bool RunUntil(const std::function<bool()>& done) { return m_queue.RunUntil(done, kBound); }
    void RunPending() { m_queue.RunPending(); }

private:
    TaskQueue m_queue;
    std::mutex m_mutex; // guards m_posted
    std::condition_variable m_changed;
    int m_posted = 0;
};

class Receiver : public ::testing::Test {
protected:
    Receiver() : m_unitSocket(*UdpSocket::Create()) {
        m_unit.SetIp("127.0.0.2");
        m_unit.typeCode = kTypeMultiviewer;
        m_unit.unitAddress = 0x01;
        m_unit.unitId = test::kReportUnitId;
        EXPECT_TRUE(m_unitSocket.Bind(Ipv4Address{{127, 0, 0, 2}, m_endpoints.unitPort}));
    }

    // The receiver hands every report to a sink that keeps it, on the owning thread.
    void Start() {
        m_receiver =
            StatusReceiverThread::Start(m_link, m_unit, m_ui, [this](std::span<const std::uint8_t> report) {
                m_handed.emplace_back(report.begin(), report.end());
            });
        ASSERT_NE(m_receiver, nullptr);
    }
    void Send(const Frame& report) {
        ASSERT_TRUE(m_unitSocket.SendTo(Ipv4Address{{127, 0, 0, 1}, m_endpoints.statusPort}, report));
    }
    // Ends the receiver on another thread; false when it did not end within the bound.
    bool Ended() {
        auto ended = std::async(std::launch::async, [this] { m_receiver.reset(); });
        return ended.wait_for(kBound) == std::future_status::ready;
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingMessages m_messages;
    ConsoleLink m_link{m_endpoints, m_messages};
    DeviceEntry m_unit;
    CountingQueue m_ui;
    std::vector<Frame> m_handed;
    UdpSocket m_unitSocket;
    std::unique_ptr<StatusReceiverThread> m_receiver; // last: stopped and joined first
};

TEST_F(Receiver, ReportOfTheUnitReachesTheSessionOnTheOwningThread) {
    DeviceTable devices;
    bool locked = false;
    MultiviewerSession session(m_link, devices, locked, m_ui);
    m_receiver = StatusReceiverThread::Start(m_link, m_unit, m_ui, session);
    ASSERT_NE(m_receiver, nullptr);
    Send(Report(0x33, {90}));
    ASSERT_TRUE(m_ui.WaitPosted(1));
    EXPECT_EQ(session.State().layoutCode, 0) << "applied only when the owning thread runs the task";
    EXPECT_TRUE(m_ui.RunUntil([&] { return session.State().layoutCode == 90; }));
    EXPECT_EQ(session.State().windowRects, ComputeLayoutGeometry(90));
    m_receiver.reset();
}

// Reports are handed on in arrival order, so once the good one is in, the others were seen first.
TEST_F(Receiver, ForeignShortAndUnknownReportsAreNotHandedOn) {
    Start();
    Send(Report(0x33, {10}, {0x0A, 0x0B, 0x0C, 0x0E}));
    Frame shortReport = Report(0x33, {11});
    shortReport.resize(18);
    Send(shortReport);
    Send(Report(0x7E, {12}));
    Send(Frame(12, 0xA5));
    const Frame good = Report(0x33, {90});
    Send(good);
    EXPECT_TRUE(m_ui.RunUntil([&] { return !m_handed.empty(); }));
    EXPECT_EQ(m_handed, std::vector<Frame>{good});
}

TEST_F(Receiver, ReportsInARowAreAllHandedOnInOrder) {
    Start();
    constexpr int kReports = 200;
    std::vector<Frame> sent;
    for (int i = 0; i < kReports; ++i) {
        sent.push_back(Report(0x51, {static_cast<std::uint8_t>(i % 16), 1, static_cast<std::uint8_t>(i)}));
        Send(sent.back());
    }
    EXPECT_TRUE(m_ui.RunUntil([&] { return m_handed.size() == sent.size(); }));
    EXPECT_EQ(m_handed, sent);
}

// The receiver reads nothing again itself: a report that the unit replaced its settings is handed
// on like any other, for the session to act on.
TEST_F(Receiver, SettingsReplacedReportsAreHandedOnInTheirPlace) {
    Start();
    const std::vector<Frame> sent{Report(0x33, {7}), Report(0x38, {}), Report(0x59, {1}), Report(0x33, {90})};
    for (const Frame& report : sent) {
        Send(report);
    }
    EXPECT_TRUE(m_ui.RunUntil([&] { return m_handed.size() == sent.size(); }));
    EXPECT_EQ(m_handed, sent);
}

// What the receiver posted before it stopped still reaches the sink: the task carries what it
// needs, nothing of the receiver that has gone.
TEST_F(Receiver, ReportsPostedBeforeTheReceiverStoppedStillArrive) {
    Start();
    const Frame report = Report(0x33, {90});
    Send(report);
    ASSERT_TRUE(m_ui.WaitPosted(1));
    ASSERT_TRUE(Ended());
    m_ui.RunPending();
    EXPECT_EQ(m_handed, std::vector<Frame>{report});
}

TEST_F(Receiver, EndsWhenIdle) {
    Start();
    EXPECT_TRUE(m_receiver->Running());
    EXPECT_TRUE(Ended());
}

// Stopping ends the thread, which closes the status socket: the port is free again.
TEST_F(Receiver, StopEndsTheThreadAndClosesTheStatusSocket) {
    Start();
    m_receiver->RequestStop();
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(m_link.OpenStatusSocket(m_unit).has_value());
}

TEST_F(Receiver, NoThreadWithoutAStatusSocket) {
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder && holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.statusPort}));
    const auto sink = [](std::span<const std::uint8_t>) {};
    EXPECT_EQ(StatusReceiverThread::Start(m_link, m_unit, m_ui, sink), nullptr);
    EXPECT_EQ(StatusReceiverThread::Start(m_link, std::nullopt, m_ui, sink), nullptr);
}

} // namespace
} // namespace brenvik
