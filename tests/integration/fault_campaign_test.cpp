// A fault campaign against the simulated units. Each row injects one fault and shows that nothing
// crashes, that the operator's commands still leave while the fault holds, and that the console
// recovers once the unit behaves again. The suite also runs under AddressSanitizer, which stops any
// row that writes out of bounds. Every row is counted; the summary line at the end of the run says
// how many faults were injected and survived, and how long the UI thread was held at most while a
// unit flooded it with reports.
#include "link/cn_comm.h"
#include "link/console_link.h"
#include "link/discovery.h"
#include "link/platform/udp_socket.h"
#include "link/task_queue.h"
#include "matrix/core/matrix_queries.h"
#include "matrix/core/matrix_session.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/status_receiver_thread.h"
#include "multiviewer/core/unit_state_reader.h"
#include "sim/discovery_reply.h"
#include "sim/matrix_model.h"
#include "sim/multiviewer_model.h"
#include "sim/report_flood.h"
#include "sim/unit_frame.h"
#include "sim/unit_simulator.h"
#include "support/await.h"
#include "support/loopback_ports.h"
#include "support/recording_console.h"
#include "support/recording_messages.h"
#include "unit/link/pty_pair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace brenvik {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kArrival = 3000ms;
// The simulated unit settles at once; the console's wait for it is cut short to keep the rows fast.
constexpr MultiviewerSession::Timing kTiming{2000ms, 20ms};
constexpr std::array<std::uint8_t, 4> kUnitId{0x11, 0x22, 0x33, 0x44};
constexpr std::array<std::uint8_t, 4> kForeignId{0x55, 0x66, 0x77, 0x88};

// What the whole run injected and survived, and the longest UI-thread task while reports flooded in.
// Rows run one after another on the test's main thread, the only thread that touches it.
struct Tally {
    int injected = 0;
    int survived = 0;
    long long longestFloodTaskUs = -1;
};

Tally& Campaign() {
    static Tally tally;
    return tally;
}

class CampaignSummary : public ::testing::Environment {
public:
    void TearDown() override {
        const Tally& tally = Campaign();
        std::printf("fault campaign: %d faults injected, %d survived", tally.injected, tally.survived);
        if (tally.longestFloodTaskUs >= 0) {
            std::printf("; longest UI stall during the 20 000 reports/s flood: %.2f ms",
                        static_cast<double>(tally.longestFloodTaskUs) / 1000.0);
        }
        std::printf("\n");
    }
};

[[maybe_unused]] ::testing::Environment* const kSummary =
    ::testing::AddGlobalTestEnvironment(new CampaignSummary);

// Every row counts as one fault injected, and as survived when it ends without a failure.
class FaultRow : public ::testing::Test {
protected:
    void SetUp() override { ++Campaign().injected; }
    void TearDown() override {
        const bool survived = !HasFailure();
        if (survived) {
            ++Campaign().survived;
        }
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::printf("[ fault    ] %s.%s: %s\n", test->test_suite_name(), test->name(),
                    survived ? "survived" : "NOT survived");
    }
};

// The UI thread of the test, timing each task it runs: the longest task is the longest a window
// would stop painting.
class TimedDispatcher : public UiDispatcher {
public:
    void Post(std::function<void()> task) override { m_queue.Post(Timed(std::move(task))); }
    void PostAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        m_queue.PostAfter(delay, Timed(std::move(task)));
    }
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
        return m_queue.RunUntil(done, bound);
    }
    void ResetLongest() { m_longest = {}; }
    Clock::duration Longest() const { return m_longest; }

private:
    std::function<void()> Timed(std::function<void()> task) {
        return [this, task = std::move(task)] {
            const auto start = Clock::now();
            task();
            m_longest = std::max(m_longest, Clock::now() - start);
        };
    }

    TaskQueue m_queue;
    Clock::duration m_longest{}; // touched only by tasks, which run on the test thread
};

sim::UnitConfig Multiviewer(std::array<std::uint8_t, 4> address) {
    sim::UnitConfig config;
    config.address = address;
    config.typeCode = kTypeMultiviewer;
    config.unitAddress = 0x01;
    config.unitId = kUnitId;
    const std::string name = "16CH Monitorgrid";
    config.modelName.assign(name.begin(), name.end());
    return config;
}

// ---------------------------------------------------------------------------------------------
// Malformed frames: every way a unit's frame can be spoilt, sent as a multiviewer report on the LAN
// and as a discovery reply on the serial line.

struct MalformedFrame {
    const char* name;
    std::function<void(Frame&)> spoil;
    // The LAN's report check turns it away (the datagram is the frame there, so the length bytes
    // and the terminator are not judged and the report may be applied).
    bool refusedOnLan;
    // Still a whole frame on the serial line, so the scan takes it like any other.
    bool wholeOnSerial;
};

void PrintTo(const MalformedFrame& row, std::ostream* os) {
    *os << row.name;
}

const MalformedFrame kMalformedFrames[] = {
    {"Empty", [](Frame& f) { f.clear(); }, true, false},
    {"StraySyncBytes", [](Frame& f) { f.resize(2); }, true, false},
    {"CutBeforeTheOpcode", [](Frame& f) { f.resize(12); }, true, false},
    {"CutBeforeTheValues", [](Frame& f) { f.resize(frame_offset::kUnitData); }, true, false},
    {"LongerThanItsLengthBytes", [](Frame& f) { f.insert(f.end() - 3, 100, 0x5A); }, false, false},
    {"LongerThanTheReceiveBuffer", [](Frame& f) { f.insert(f.end() - 3, 2000, 0x5A); }, false, false},
    {"LengthBytesFFFF",
     [](Frame& f) {
         f[frame_offset::kLength] = 0xFF;
         f[frame_offset::kLength + 1] = 0xFF;
     },
     false, false},
    {"LengthBelowTheHeader",
     [](Frame& f) {
         f[frame_offset::kLength] = 5;
         f[frame_offset::kLength + 1] = 0;
     },
     false, false},
    {"NoTerminator", [](Frame& f) { f.back() = 0x00; }, false, false},
    {"WrongOpcode",
     [](Frame& f) {
         f[frame_offset::kOpcode] = 0x7E;
         sim::StampChecksum(f);
     },
     true, false},
    {"ForeignIdentifier",
     [](Frame& f) {
         std::copy(kForeignId.begin(), kForeignId.end(), f.begin() + frame_offset::kUnitId);
         sim::StampChecksum(f);
     },
     true, true},
};

// ---------------------------------------------------------------------------------------------
// A multiviewer on the LAN: the console's link, the unit's session and the status receiver against
// a simulated unit on loopback, with the test thread as the UI thread.

class LanMultiviewer : public FaultRow {
public:
    LanMultiviewer() {
        auto model = std::make_unique<sim::MultiviewerModel>();
        m_model = model.get();
        m_simulator.AddUnit(Multiviewer({127, 0, 0, 2}), std::move(model));
        DeviceEntry& entry = m_devices.At(0);
        entry.SetIp("127.0.0.2");
        entry.typeCode = kTypeMultiviewer;
        entry.unitAddress = 0x01;
        entry.unitId = kUnitId;
        m_devices.SetSelectedIndex(0);
        m_session.AddObserver(m_observer);
    }
    ~LanMultiviewer() override {
        m_receiver.reset();
        m_session.RemoveObserver(m_observer);
    }

    // What the console page does when it opens the unit.
    void OpenPage() {
        ASSERT_TRUE(m_simulator.Start()) << m_simulator.StartError();
        ASSERT_TRUE(ReadState());
        ASSERT_TRUE(OpenReports());
    }
    bool OpenReports() {
        m_receiver = StatusReceiverThread::Start(m_link, m_devices.Selected(), m_ui, m_session);
        return m_receiver != nullptr;
    }
    // The session reads the unit's whole state, as when the page opens, and the unit answers.
    bool ReadState() {
        std::optional<RereadResult> result;
        m_session.Reread(RereadCause::Opening, {}, [&result](RereadResult r) { result = r; });
        if (!m_ui.RunUntil([&] { return result.has_value(); }, kArrival)) {
            m_session.CancelReread();
        }
        return result == RereadResult::Answered;
    }
    const MultiviewerState& State() const { return m_session.State(); }
    void WithModel(const std::function<void(sim::MultiviewerModel&)>& change) {
        m_simulator.Invoke([&] { change(*m_model); });
    }
    sim::SimulatedUnit& Unit() { return m_simulator.Unit(0); }
    // Waits until the unit has taken `count` datagrams in all and handled the last of them.
    bool UnitTook(std::size_t count) {
        if (!Unit().WaitForReceived(count, kArrival)) {
            return false;
        }
        m_simulator.Invoke([] {});
        return true;
    }
    // A command goes out, the unit applies it and reports it, and the report reaches the record:
    // the session tells the field once as it sends and once more as the report comes.
    bool ReportComesBack() {
        const std::uint8_t next = State().formatStatusOn != 0 ? 0 : 1;
        const int told = m_observer.Count(MultiviewerField::FormatStatus);
        if (!m_session.SetFormatStatus(next)) {
            return false;
        }
        return m_ui.RunUntil(
            [&] {
                return m_observer.Count(MultiviewerField::FormatStatus) >= told + 2 &&
                       State().formatStatusOn == next;
            },
            kArrival);
    }
    // The border report a well-behaved unit sends.
    Frame BorderReport(std::uint8_t on) {
        const std::array<std::uint8_t, 1> values{on};
        return sim::BuildUnitFrame(Unit().Config(), 1, mv_opcode::kSetBorder, values);
    }
    void SendReport(const Frame& report) {
        m_simulator.Invoke([&] { Unit().SendReport(report); });
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator m_simulator{m_endpoints, false};
    test::RecordingMessages m_messages;
    ConsoleLink m_link{m_endpoints, m_messages};
    DeviceTable m_devices;
    bool m_locked = false;
    TimedDispatcher m_ui;
    test::RecordingObserver m_observer;
    MultiviewerSession m_session{m_link, m_devices, m_locked, m_ui, kTiming};
    std::unique_ptr<StatusReceiverThread> m_receiver; // last: stopped before what it uses goes

private:
    sim::MultiviewerModel* m_model = nullptr;
};

struct LanFault {
    const char* name;
    std::function<void(LanMultiviewer&)> inject;
};

void PrintTo(const LanFault& row, std::ostream* os) {
    *os << row.name;
}

// The unit takes the state query and is gone before it answers; the operator works on; it comes
// back and takes what was sent meanwhile.
void UnitVanishesMidStateRead(LanMultiviewer& t) {
    t.WithModel([](sim::MultiviewerModel& model) { model.SetAnswersStateQueries(false); });
    const std::size_t before = t.Unit().ReceivedCount();
    auto answer = std::make_shared<std::promise<StateRead>>();
    auto read = answer->get_future();
    QueryUnitState(
        t.m_link, t.m_devices.Selected(), {}, [answer](StateRead r) { answer->set_value(std::move(r)); },
        300ms);
    ASSERT_TRUE(t.Unit().WaitForReceived(before + 1, kArrival));
    t.m_simulator.Stop();
    ASSERT_EQ(read.wait_for(kArrival), std::future_status::ready);
    EXPECT_EQ(read.get().outcome, StateRead::Outcome::TimedOut);

    ASSERT_TRUE(t.m_session.SetLayoutCode(90));
    ASSERT_TRUE(t.m_session.SetBorder(0));
    ASSERT_TRUE(t.m_link.WaitUntilIdle(kArrival));

    t.WithModel([](sim::MultiviewerModel& model) { model.SetAnswersStateQueries(true); });
    ASSERT_TRUE(t.m_simulator.Start());
    ASSERT_TRUE(t.UnitTook(before + 3));
    t.WithModel([](sim::MultiviewerModel& model) {
        EXPECT_EQ(model.Settings().layoutCode, 90);
        EXPECT_EQ(model.Settings().borderOn, 0);
    });
}

// Another program holds the status port: the page works without reports, the commands leave and
// their reports reach that program; once it lets go, the reports come to the console again.
void StatusPortHeldByAnotherProgram(LanMultiviewer& t) {
    t.m_receiver.reset();
    auto other = UdpSocket::Create();
    ASSERT_TRUE(other && other->Bind(Ipv4Address{{}, t.m_endpoints.statusPort}));
    EXPECT_EQ(StatusReceiverThread::Start(t.m_link, t.m_devices.Selected(), t.m_ui, t.m_session), nullptr);
    const std::size_t before = t.Unit().ReceivedCount();
    ASSERT_TRUE(t.m_session.SetBorder(0));
    ASSERT_TRUE(t.UnitTook(before + 1));
    EXPECT_TRUE(other->WaitReadable(kArrival)) << "the unit's report went to the program holding the port";
    other.reset();
    ASSERT_TRUE(t.OpenReports());
}

// 20 000 reports a second for a second and a half, while the operator sends command after command.
void ReportFloodWhileTheOperatorWorks(LanMultiviewer& t) {
    sim::ReportFlood flood(t.Unit(), {20000, 1500ms, 0ms, sim::FloodContent::Applied});
    ASSERT_TRUE(flood.Start());
    t.m_ui.ResetLongest();
    t.m_observer.Clear();
    const std::size_t before = t.Unit().ReceivedCount();
    constexpr std::size_t kCommands = 10;
    for (std::size_t i = 0; i < kCommands; ++i) {
        const std::uint8_t layout = i % 2 == 0 ? 90 : 92;
        ASSERT_TRUE(t.m_session.SetLayoutCode(layout));
        // The operator acts again once the unit has taken this command; the reports keep being
        // shown meanwhile.
        ASSERT_TRUE(t.m_ui.RunUntil([&] { return t.Unit().ReceivedCount() >= before + i + 1; }, kArrival))
            << "command " << i;
    }
    EXPECT_TRUE(t.m_ui.RunUntil([&] { return flood.Finished(); }, kArrival));
    flood.Stop();
    const auto longestUs = std::chrono::duration_cast<std::chrono::microseconds>(t.m_ui.Longest()).count();
    Campaign().longestFloodTaskUs = std::max<long long>(Campaign().longestFloodTaskUs, longestUs);
    // Each signal report of the flood that reached the record was told once, and redraws the preview.
    const int applied = t.m_observer.Count(MultiviewerField::Signal);
    std::printf(
        "[ flood    ] %zu reports sent, %d applied to the record, %zu commands taken by the unit meanwhile, "
        "longest UI task %.2f ms\n",
        flood.ReportsSent(), applied, t.Unit().ReceivedCount() - before,
        static_cast<double>(longestUs) / 1000.0);
    EXPECT_GT(applied, 0);
    ASSERT_TRUE(t.UnitTook(before + kCommands));
    t.WithModel([](sim::MultiviewerModel& model) { EXPECT_EQ(model.Settings().layoutCode, 92); });
}

// The unit spoils every report it sends while commands go out; none of them reaches the record.
void SpoiltReports(LanMultiviewer& t, sim::ReportFault fault) {
    t.WithModel([&](sim::MultiviewerModel& model) { model.Faults().fault = fault; });
    t.m_observer.Clear();
    const std::size_t before = t.Unit().ReceivedCount();
    // A report that names a window, so that one past the last can be named.
    ASSERT_TRUE(t.m_session.SetUmd(4, 1));
    ASSERT_TRUE(t.UnitTook(before + 1));
    t.WithModel([](sim::MultiviewerModel& model) { model.Faults().fault = sim::ReportFault::None; });
    // Reports are handled in arrival order: once this one is in, the spoilt one was seen first.
    ASSERT_TRUE(t.ReportComesBack());
    EXPECT_EQ(t.m_observer.Count(MultiviewerField::UmdOn), 1) << "told only as the console sent it";
}

const LanFault kLanFaults[] = {
    {"UnitVanishesMidStateRead", UnitVanishesMidStateRead},
    {"StatusPortHeldByAnotherProgram", StatusPortHeldByAnotherProgram},
    {"ReportFlood20000PerSecond", ReportFloodWhileTheOperatorWorks},
    {"ReportsWithAForeignIdentifier", [](auto& t) { SpoiltReports(t, sim::ReportFault::ForeignIdentifier); }},
    {"ReportsCutShort", [](auto& t) { SpoiltReports(t, sim::ReportFault::Short); }},
    {"ReportsWithAnUnknownOpcode", [](auto& t) { SpoiltReports(t, sim::ReportFault::UnknownOpcode); }},
    {"ReportsNamingAWindowPastTheLast", [](auto& t) { SpoiltReports(t, sim::ReportFault::OutOfRange); }},
};

class LanFaultTable : public LanMultiviewer, public ::testing::WithParamInterface<LanFault> {};

TEST_P(LanFaultTable, TheConsoleSurvivesAndRecovers) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    GetParam().inject(*this);
    if (HasFatalFailure()) {
        return;
    }
    // The unit behaves again: its state is read and its reports reach the record.
    EXPECT_TRUE(ReadState());
    EXPECT_TRUE(ReportComesBack());
}

INSTANTIATE_TEST_SUITE_P(FaultCampaign, LanFaultTable, ::testing::ValuesIn(kLanFaults),
                         [](const auto& info) { return std::string(info.param.name); });

class MalformedReportTable : public LanMultiviewer, public ::testing::WithParamInterface<MalformedFrame> {};

TEST_P(MalformedReportTable, IsSurvivedAndGoodReportsStillApply) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    m_observer.Clear();
    Frame report = BorderReport(0);
    GetParam().spoil(report);
    SendReport(report);
    // Reports are handled in arrival order: once this one is in, the spoilt one was seen first.
    ASSERT_TRUE(ReportComesBack());
    if (GetParam().refusedOnLan) {
        EXPECT_EQ(m_observer.Count(MultiviewerField::Border), 0);
    }
    const std::size_t before = Unit().ReceivedCount();
    ASSERT_TRUE(m_session.SetBorder(1));
    EXPECT_TRUE(UnitTook(before + 1));
    EXPECT_TRUE(ReadState());
}

INSTANTIATE_TEST_SUITE_P(FaultCampaign, MalformedReportTable, ::testing::ValuesIn(kMalformedFrames),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The serial line: the test plays the unit on the far end of a pseudo-terminal, byte by byte.

class SerialLine : public FaultRow {
public:
    SerialLine() : m_link(test::LoopbackEndpoints(), m_messages) {
        m_link.SetMode(LinkMode::Serial);
        m_link.AttachSerialPort(&m_port);
        m_unit.typeCode = kTypeMultiviewer;
        m_unit.unitAddress = 0x01;
    }

    void SetUp() override {
        FaultRow::SetUp();
        ASSERT_TRUE(OpenLine());
    }
    // Opens the console's port on the line, on the link thread as the configuration page does.
    bool OpenLine() {
        bool opened = false;
        m_link.RunOnLinkThread([&] { opened = m_port.Open(m_line->SlavePath(), 115200); });
        return m_line->Ok() && m_link.WaitUntilIdle(kArrival) && opened;
    }

    // What the console wrote on the line: `count` bytes, each waited for with a bound.
    std::vector<std::uint8_t> FromConsole(std::size_t count) {
        std::vector<std::uint8_t> bytes;
        const auto deadline = Clock::now() + kArrival;
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd ready{m_line->Master(), POLLIN, 0};
            if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1) {
                break;
            }
            std::array<std::uint8_t, 512> chunk{};
            const ssize_t got =
                read(m_line->Master(), chunk.data(), std::min(chunk.size(), count - bytes.size()));
            if (got <= 0) {
                break;
            }
            bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
        }
        return bytes;
    }
    void ToConsole(std::span<const std::uint8_t> bytes) {
        std::size_t at = 0;
        while (at < bytes.size()) {
            const ssize_t put = write(m_line->Master(), bytes.data() + at, bytes.size() - at);
            ASSERT_GT(put, 0);
            at += static_cast<std::size_t>(put);
        }
    }
    Frame Reply(const std::string& name, std::uint8_t unitAddress = 0x01) {
        sim::UnitConfig config = Multiviewer({127, 0, 0, 2});
        config.modelName.assign(name.begin(), name.end());
        config.unitAddress = unitAddress;
        return sim::BuildDiscoveryReply(config, 0);
    }
    Frame Command() {
        const std::array<std::uint8_t, 1> on{1};
        return BuildFrame(kTypeMultiviewer, 0x01, 0, mv_opcode::kSetBorder, on);
    }
    // A search that the unit answers with `before`, then its own reply.
    std::optional<DiscoveryResult> SearchAnsweredWith(const Frame& before) {
        auto found = std::make_shared<std::promise<DiscoveryResult>>();
        auto result = found->get_future();
        StartDiscovery(m_link, {}, [found](DiscoveryResult r) { found->set_value(std::move(r)); });
        const std::vector<std::uint8_t> request = FromConsole(27);
        EXPECT_EQ(request.size(), 27u);
        if (request.size() != 27u || request[frame_offset::kOpcode] != kOpcodeDiscovery) {
            return std::nullopt;
        }
        ToConsole(before);
        ToConsole(Reply("16CH Monitorgrid"));
        if (result.wait_for(kArrival + kSerialDiscoveryWindow) != std::future_status::ready) {
            return std::nullopt;
        }
        return result.get();
    }
    bool CommandLeaves() {
        const Frame command = Command();
        return m_link.Send(m_unit, command) && FromConsole(command.size()) == command;
    }

    std::unique_ptr<test::PtyPair> m_line = std::make_unique<test::PtyPair>();
    test::RecordingMessages m_messages;
    CnComm m_port; // before the link, whose thread uses it until the link goes
    ConsoleLink m_link;
    DeviceEntry m_unit;
};

std::vector<std::uint8_t> StateAnswer() {
    const auto block = sim::EncodeStateBlock(sim::MultiviewerSettings::Factory());
    return sim::BuildUnitFrame(Multiviewer({127, 0, 0, 2}), 0, mv_opcode::kQueryState, block);
}

struct SerialFault {
    const char* name;
    std::function<void(SerialLine&)> inject;
};

void PrintTo(const SerialFault& row, std::ostream* os) {
    *os << row.name;
}

// The unit sends part of its state and is gone; the read ends with its window, the operator's
// command still goes out, and the next read, answered whole, brings the unit's state.
void SerialUnitVanishesMidStateRead(SerialLine& t) {
    const std::vector<std::uint8_t> answer = StateAnswer();
    auto first = std::make_shared<std::promise<StateRead>>();
    auto read = first->get_future();
    QueryUnitState(
        t.m_link, t.m_unit, {}, [first](StateRead r) { first->set_value(std::move(r)); }, 400ms);
    ASSERT_EQ(t.FromConsole(kFrameOverhead).size(), kFrameOverhead);
    t.ToConsole(std::span(answer).first(300));
    ASSERT_EQ(read.wait_for(kArrival), std::future_status::ready);
    EXPECT_EQ(read.get().outcome, StateRead::Outcome::TimedOut);
    EXPECT_TRUE(t.CommandLeaves());

    auto second = std::make_shared<std::promise<StateRead>>();
    auto again = second->get_future();
    QueryUnitState(t.m_link, t.m_unit, {}, [second](StateRead r) { second->set_value(std::move(r)); });
    ASSERT_EQ(t.FromConsole(kFrameOverhead).size(), kFrameOverhead);
    t.ToConsole(answer);
    ASSERT_EQ(again.wait_for(kArrival), std::future_status::ready);
    const StateRead whole = again.get();
    ASSERT_EQ(whole.outcome, StateRead::Outcome::Answered);
    EXPECT_TRUE(
        std::equal(whole.block->begin(), whole.block->end(), answer.begin() + frame_offset::kUnitData));
}

// The unit answers a search with reply after reply, without end: the search ends at the first, and a
// command goes out while the replies keep coming.
void DiscoveryReplyFlood(SerialLine& t) {
    const Frame reply = t.Reply("16CH Monitorgrid");
    std::atomic<std::size_t> written{0};
    std::jthread flood([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
            pollfd room{t.m_line->Master(), POLLOUT, 0};
            if (poll(&room, 1, 10) == 1 && write(t.m_line->Master(), reply.data(), reply.size()) > 0) {
                ++written;
            }
        }
    });
    const auto result = test::Await<DiscoveryResult>([&](auto done) { StartDiscovery(t.m_link, {}, done); });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome, DiscoveryResult::Outcome::Found);
    ASSERT_EQ(result->units.size(), 1u);
    EXPECT_EQ(result->units[0].modelName, u"16CH Monitorgrid");
    const std::vector<std::uint8_t> request = t.FromConsole(27);
    ASSERT_EQ(request.size(), 27u);
    EXPECT_EQ(request[frame_offset::kOpcode], kOpcodeDiscovery);
    EXPECT_TRUE(t.CommandLeaves());
    flood.request_stop();
    flood.join();
    std::printf("[ flood    ] %zu discovery replies written on the line\n", written.load());
}

// The far end of the line goes away while the console waits for the state: the read ends, and the
// console works again on the line the unit comes back on.
void LineClosedWhileAReadWaits(SerialLine& t) {
    auto answer = std::make_shared<std::promise<StateRead>>();
    auto read = answer->get_future();
    QueryUnitState(
        t.m_link, t.m_unit, {}, [answer](StateRead r) { answer->set_value(std::move(r)); }, 1000ms);
    ASSERT_EQ(t.FromConsole(kFrameOverhead).size(), kFrameOverhead);
    t.m_line.reset();
    ASSERT_EQ(read.wait_for(kArrival), std::future_status::ready);
    EXPECT_NE(read.get().outcome, StateRead::Outcome::Answered);
    t.m_line = std::make_unique<test::PtyPair>();
    ASSERT_TRUE(t.OpenLine());
}

const SerialFault kSerialFaults[] = {
    {"LineClosedWhileAReadWaits", LineClosedWhileAReadWaits},
    {"UnitVanishesMidStateRead", SerialUnitVanishesMidStateRead},
    {"DiscoveryReplyFlood", DiscoveryReplyFlood},
};

class SerialFaultTable : public SerialLine, public ::testing::WithParamInterface<SerialFault> {};

TEST_P(SerialFaultTable, TheConsoleSurvivesAndRecovers) {
    GetParam().inject(*this);
    if (HasFatalFailure()) {
        return;
    }
    const auto result = SearchAnsweredWith({});
    ASSERT_TRUE(result);
    ASSERT_EQ(result->units.size(), 1u);
    EXPECT_EQ(result->units[0].modelName, u"16CH Monitorgrid");
    EXPECT_TRUE(CommandLeaves());
}

INSTANTIATE_TEST_SUITE_P(FaultCampaign, SerialFaultTable, ::testing::ValuesIn(kSerialFaults),
                         [](const auto& info) { return std::string(info.param.name); });

class MalformedSerialReplyTable : public SerialLine, public ::testing::WithParamInterface<MalformedFrame> {};

// A spoilt reply on the line before the unit's own: the search finds the unit (or the spoilt reply,
// when it is still a whole frame, as the first one on the line), and the line works on.
TEST_P(MalformedSerialReplyTable, IsSurvivedAndTheUnitIsFound) {
    Frame spoilt = Reply("Spoilt Unit", 0x02);
    GetParam().spoil(spoilt);
    const auto result = SearchAnsweredWith(spoilt);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->units.size(), 1u);
    EXPECT_EQ(result->units[0].modelName, GetParam().wholeOnSerial ? u"Spoilt Unit" : u"16CH Monitorgrid");
    EXPECT_TRUE(CommandLeaves());
    const auto again = SearchAnsweredWith({});
    ASSERT_TRUE(again);
    ASSERT_EQ(again->units.size(), 1u);
    EXPECT_EQ(again->units[0].modelName, u"16CH Monitorgrid");
}

INSTANTIATE_TEST_SUITE_P(FaultCampaign, MalformedSerialReplyTable, ::testing::ValuesIn(kMalformedFrames),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Searches on the LAN: more units than the table holds, and a datagram flood during the window.

class LanSearch : public FaultRow {
public:
    LanSearch() : m_link(m_endpoints, m_messages), m_simulator(m_endpoints) {}

    DiscoveryResult Search(std::chrono::milliseconds window) {
        const auto result = test::Await<DiscoveryResult>(
            [&](auto done) { StartDiscovery(m_link, {}, std::move(done), window); });
        EXPECT_TRUE(result) << "the search did not end";
        return result.value_or(DiscoveryResult{});
    }
    // A command to a listed unit reaches that unit.
    bool CommandLeavesFor(const DiscoveredUnit& listed) {
        for (std::size_t i = 0; i < m_simulator.UnitCount(); ++i) {
            sim::SimulatedUnit& unit = m_simulator.Unit(i);
            if (unit.Address().DottedText() != listed.entry.Ip()) {
                continue;
            }
            const std::size_t before = unit.ReceivedCount();
            const std::array<std::uint8_t, 1> on{1};
            return m_link.Send(listed.entry, BuildFrame(listed.entry.typeCode, listed.entry.unitAddress,
                                                        m_link.LinkByte(), mv_opcode::kSetBorder, on)) &&
                   unit.WaitForReceived(before + 1, kArrival);
        }
        return false;
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingMessages m_messages;
    ConsoleLink m_link;
    sim::UnitSimulator m_simulator;
};

TEST_F(LanSearch, MoreThan256UnitsAnswer) {
    for (const sim::UnitConfig& config : sim::FloodUnits(300)) {
        m_simulator.AddUnit(config);
    }
    ASSERT_TRUE(m_simulator.Start()) << m_simulator.StartError();
    const DiscoveryResult result = Search(1000ms);
    EXPECT_EQ(result.outcome, DiscoveryResult::Outcome::Found);
    ASSERT_EQ(result.units.size(), kDeviceTableSize);
    DeviceTable table;
    ApplyDiscovery(table, result);
    EXPECT_TRUE(CommandLeavesFor(result.units.front()));
    EXPECT_TRUE(CommandLeavesFor(result.units.back()));
    EXPECT_EQ(Search(1000ms).units.size(), kDeviceTableSize);
}

// Junk datagrams keep coming to the console's port from three senders: the search still ends with
// its window, and once the flood is over the units are found again.
TEST_F(LanSearch, DatagramFloodDuringTheWindow) {
    m_simulator.AddUnit(Multiviewer({127, 0, 0, 2}));
    ASSERT_TRUE(m_simulator.Start()) << m_simulator.StartError();
    std::atomic<std::size_t> sent{0};
    const auto flood = [&](std::stop_token stop) {
        auto socket = UdpSocket::Create();
        const std::vector<std::uint8_t> junk(40, 0x2D);
        while (socket && !stop.stop_requested()) {
            socket->SendTo(Ipv4Address{{127, 0, 0, 1}, m_endpoints.localPort}, junk);
            ++sent;
        }
    };
    {
        std::array<std::jthread, 3> senders{std::jthread(flood), std::jthread(flood), std::jthread(flood)};
        // The bound of the wait is far past the window: a search held open by the flood misses it.
        Search(300ms);
    }
    std::printf("[ flood    ] %zu junk datagrams sent during the search\n", sent.load());
    const DiscoveryResult after = Search(300ms);
    ASSERT_EQ(after.units.size(), 1u);
    EXPECT_TRUE(CommandLeavesFor(after.units.front()));
}

// ---------------------------------------------------------------------------------------------
// A matrix switcher whose replies go wrong: from a third party's address, spoilt or missing.

class LanMatrix : public FaultRow {
public:
    LanMatrix() {
        sim::UnitConfig config;
        config.address = {127, 0, 0, 2};
        config.typeCode = kTypeMatrixSwitcher;
        config.unitAddress = 0x01;
        config.unitId = kUnitId;
        auto model = std::make_unique<sim::MatrixModel>();
        m_model = model.get();
        m_simulator.AddUnit(config, std::move(model));
        sim::UnitConfig third = config;
        third.address = {127, 0, 0, 3};
        third.unitId = kForeignId;
        m_model->SetNeighbour(&m_simulator.AddUnit(third));
        m_unit.SetIp("127.0.0.2");
        m_unit.typeCode = kTypeMatrixSwitcher;
        m_unit.unitAddress = 0x01;
        m_unit.unitId = kUnitId;
        m_devices.At(0) = m_unit;
        m_devices.SetSelectedIndex(0);
    }

    std::optional<MatrixStateRead> ReadState() {
        return test::Await<MatrixStateRead>([&](auto done) { QueryMatrixState(m_link, m_unit, {}, done); });
    }
    std::optional<BacklightRead> ReadBacklight() {
        return test::Await<BacklightRead>([&](auto done) { QueryBacklight(m_link, m_unit, {}, done); });
    }
    void WithModel(const std::function<void(sim::MatrixModel&)>& change) {
        m_simulator.Invoke([&] { change(*m_model); });
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator m_simulator{m_endpoints, false};
    test::RecordingMessages m_messages;
    ConsoleLink m_link{m_endpoints, m_messages};
    DeviceEntry m_unit;
    DeviceTable m_devices;
    bool m_locked = false;
    TaskQueue m_queue;
    MatrixSession m_matrix{m_link, m_devices, m_locked, m_queue};

private:
    sim::MatrixModel* m_model = nullptr;
};

struct MatrixFault {
    const char* name;
    sim::MatrixReplyFault fault;
    // The 23-byte backlight reply cut to 21 bytes still holds both of its values.
    bool backlightStillWhole = false;
};

void PrintTo(const MatrixFault& row, std::ostream* os) {
    *os << row.name;
}

const MatrixFault kMatrixFaults[] = {
    {"ReplyFromAThirdParty", sim::MatrixReplyFault::FromNeighbour},
    {"NoReply", sim::MatrixReplyFault::Silent},
    {"ReplyWithAnotherOpcode", sim::MatrixReplyFault::WrongOpcode},
    {"ReplyCutShort", sim::MatrixReplyFault::Short, true},
};

class MatrixFaultTable : public LanMatrix, public ::testing::WithParamInterface<MatrixFault> {};

TEST_P(MatrixFaultTable, NoReplyIsTakenAndTheUnitIsReadOnceItBehaves) {
    ASSERT_TRUE(m_simulator.Start()) << m_simulator.StartError();
    WithModel([](sim::MatrixModel& m) { m.Settings().routing = {8, 7, 6, 5, 4, 3, 2, 1}; });
    WithModel([&](sim::MatrixModel& m) { m.Fault() = GetParam().fault; });
    const auto state = ReadState();
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->ran);
    EXPECT_FALSE(state->reply);
    const auto backlight = ReadBacklight();
    ASSERT_TRUE(backlight);
    EXPECT_TRUE(backlight->ran);
    EXPECT_EQ(backlight->reply.has_value(), GetParam().backlightStillWhole);

    const std::size_t before = m_simulator.Unit(0).ReceivedCount();
    ASSERT_EQ(m_matrix.Apply(3, MatrixOutputs{0b1001}), RoutingOutcome::Sent);
    ASSERT_TRUE(m_simulator.Unit(0).WaitForReceived(before + 1, kArrival));
    WithModel([](sim::MatrixModel& m) {
        ASSERT_FALSE(m.RoutingTexts().empty());
        EXPECT_EQ(m.RoutingTexts().back(), "3V1,4.");
    });

    WithModel([](sim::MatrixModel& m) { m.Fault() = sim::MatrixReplyFault::None; });
    const auto recovered = ReadState();
    ASSERT_TRUE(recovered && recovered->reply);
    EXPECT_EQ(recovered->reply->routing, (MatrixRouting{3, 7, 6, 3, 4, 3, 2, 1}));
    const auto light = ReadBacklight();
    ASSERT_TRUE(light && light->reply);
    EXPECT_EQ(light->reply->brightness, 80);
}

INSTANTIATE_TEST_SUITE_P(FaultCampaign, MatrixFaultTable, ::testing::ValuesIn(kMatrixFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brenvik
