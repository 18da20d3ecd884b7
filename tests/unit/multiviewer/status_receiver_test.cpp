#include "link/console_link.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/page_type.h"
#include "multiviewer/core/status_receiver_thread.h"
#include "report_frames.h"
#include "support/loopback_ports.h"
#include "support/recording_console.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <thread>

namespace brenvik {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Report;

// Generous: the receiver ends within one 20 ms poll interval; this only catches a thread that
// sits out a 2000 ms or 3000 ms wait.
constexpr auto kPromptly = 500ms;
constexpr auto kArrival = 3000ms;

class Receiver : public ::testing::Test {
protected:
    Receiver() : m_unitSocket(*UdpSocket::Create()) {
        m_unit.SetIp("127.0.0.2");
        m_unit.typeCode = kTypeMultiviewer;
        m_unit.unitAddress = 0x01;
        m_unit.unitId = test::kReportUnitId;
        EXPECT_TRUE(m_unitSocket.Bind(Ipv4Address{{127, 0, 0, 2}, m_endpoints.unitPort}));
    }

    void Start(StatusReceiverThread::Timing timing = {}) {
        m_receiver = StatusReceiverThread::Start(m_link, m_unit, m_ui, m_applier, timing);
        ASSERT_NE(m_receiver, nullptr);
    }
    void Send(const Frame& report) {
        ASSERT_TRUE(m_unitSocket.SendTo(Ipv4Address{{127, 0, 0, 1}, m_endpoints.statusPort}, report));
    }
    // Waits for the receiver's state query and answers it with a block starting with `layout`.
    void AnswerQuery(std::optional<std::uint8_t> layout) {
        ASSERT_TRUE(m_unitSocket.WaitReadable(kArrival));
        Frame query(1500);
        Ipv4Address from;
        const auto size = m_unitSocket.ReceiveFrom(query, &from);
        ASSERT_TRUE(size);
        query.resize(*size);
        EXPECT_EQ(query, BuildFrame(kTypeMultiviewer, 0x01, 1, 0x0A));
        if (layout) {
            std::vector<std::uint8_t> block(789, 0x00);
            block[0] = *layout;
            m_unitSocket.SendTo(from, Report(0x0A, block));
        }
    }
    std::chrono::milliseconds TimeToStop() {
        const auto start = Clock::now();
        m_receiver.reset();
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingMessages m_messages;
    ConsoleLink m_link{m_endpoints, m_messages};
    DeviceEntry m_unit;
    MultiviewerState m_state = MultiviewerState::Defaults();
    test::RecordingView m_view;
    test::RecordingMainWindow m_mainWindow;
    bool m_locked = false;
    StatusReportApplier m_applier{m_state, m_view, m_mainWindow, m_locked};
    test::QueueDispatcher m_ui;
    UdpSocket m_unitSocket;
    std::unique_ptr<StatusReceiverThread> m_receiver; // last: stopped and joined first
};

TEST_F(Receiver, ReportOfTheUnitReachesTheRecordOnTheUiThread) {
    Start();
    Send(Report(0x33, {90}));
    EXPECT_TRUE(m_ui.PumpUntil([&] { return m_state.layoutCode == 90; }, kArrival));
    EXPECT_EQ(m_state.windowRects, ComputeLayoutGeometry(90));
}

TEST_F(Receiver, ForeignShortAndUnknownReportsAreNotHandedOn) {
    Start();
    Send(Report(0x33, {10}, {0x0A, 0x0B, 0x0C, 0x0E}));
    Frame shortReport = Report(0x33, {11});
    shortReport.resize(18);
    Send(shortReport);
    Send(Report(0x7E, {12}));
    Send(Frame(12, 0xA5));
    Send(Report(0x33, {90}));
    EXPECT_TRUE(m_ui.PumpUntil([&] { return m_state.layoutCode == 90; }, kArrival));
    EXPECT_EQ(m_ui.Posted(), 1);
}

TEST_F(Receiver, ReportsInARowAreAllHandedOn) {
    Start();
    constexpr int kReports = 200;
    for (int i = 0; i < kReports; ++i) {
        Send(Report(0x51, {static_cast<std::uint8_t>(i % 16), 1,
                           static_cast<std::uint8_t>(i < kReports - 16 ? 5 : 31)}));
    }
    EXPECT_TRUE(m_ui.PumpUntil([&] { return m_view.redraws == kReports; }, kArrival));
    for (const auto& text : m_state.formatTexts.values) {
        EXPECT_EQ(text, u"1080p60");
    }
}

TEST_F(Receiver, SettingsReplacedReadsTheStateThenRefreshesAfterTheWait) {
    m_state.pageType = kPageLayout;
    m_state.umdColorInput = 5;
    Start({20ms, 2000ms, 100ms});
    Send(Report(0x38, {}));
    AnswerQuery(160);
    // Reports during the wait stay in the socket and are handled after it.
    Send(Report(0x33, {7}));
    EXPECT_TRUE(m_ui.PumpUntil([&] { return m_state.layoutCode == 7; }, kArrival));
    EXPECT_TRUE(m_state.stateLoaded);
    EXPECT_EQ(m_state.umdColorInput, 0);
    EXPECT_EQ(m_mainWindow.nameTexts, std::vector<std::u16string>{u"Custom Name"});
    const std::vector<PageUpdate> updates{PageUpdate::Refresh(kPageLayout), PageUpdate::Refresh(kPageLayout),
                                          PageUpdate::Select(kPageLayout, 1028, 6)};
    EXPECT_EQ(m_view.updates, updates);
}

TEST_F(Receiver, CustomLoadWithoutAnswerDecodesTheBlockHeldAndKeepsSelections) {
    m_state.pageType = kPageColors;
    m_state.umdColorInput = 5;
    m_state.stateBlock[0] = 92;
    Start({20ms, 150ms, 50ms});
    Send(Report(0x59, {1}));
    AnswerQuery(std::nullopt);
    EXPECT_TRUE(m_ui.PumpUntil([&] { return !m_view.updates.empty(); }, kArrival));
    EXPECT_EQ(m_state.layoutCode, 92);
    EXPECT_EQ(m_state.windowRects, ComputeLayoutGeometry(92));
    EXPECT_EQ(m_state.umdColorInput, 5);
    EXPECT_EQ(m_view.updates, std::vector<PageUpdate>{PageUpdate::Refresh(kPageColors)});
}

TEST_F(Receiver, EndsWithinAPollIntervalWhenIdle) {
    Start();
    std::this_thread::sleep_for(50ms);
    EXPECT_LT(TimeToStop(), kPromptly);
}

TEST_F(Receiver, EndsPromptlyDuringTheWaitAfterAReread) {
    Start();
    Send(Report(0x0B, {}));
    AnswerQuery(60);
    ASSERT_TRUE(m_ui.WaitPosted(1, kArrival));
    EXPECT_LT(TimeToStop(), kPromptly);
    m_ui.RunPending();
    EXPECT_EQ(m_ui.Posted(), 1) << "the steps after the wait never come";
    EXPECT_EQ(m_state.layoutCode, 60);
}

TEST_F(Receiver, EndsPromptlyDuringTheStateRead) {
    Start();
    Send(Report(0x0B, {}));
    AnswerQuery(std::nullopt);
    EXPECT_LT(TimeToStop(), kPromptly);
    EXPECT_EQ(m_ui.Posted(), 0);
}

TEST_F(Receiver, StopRequestEndsTheThreadAndClosesTheStatusSocket) {
    Start();
    m_receiver->RequestStop();
    const auto deadline = Clock::now() + kPromptly;
    while (m_receiver->Running() && Clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_FALSE(m_receiver->Running());
    m_receiver.reset();
    auto again = m_link.OpenStatusSocket(m_unit);
    EXPECT_TRUE(again.has_value());
}

TEST_F(Receiver, NoThreadWithoutAStatusSocket) {
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder && holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.statusPort}));
    EXPECT_EQ(StatusReceiverThread::Start(m_link, m_unit, m_ui, m_applier), nullptr);
    EXPECT_EQ(StatusReceiverThread::Start(m_link, std::nullopt, m_ui, m_applier), nullptr);
}

} // namespace
} // namespace brenvik
