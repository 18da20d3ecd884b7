#include "link/console_link.h"
#include "link/task_queue.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/status_receiver_thread.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_console.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace brenvik {
namespace {

using namespace std::chrono_literals;
using sim::MultiviewerModel;
using sim::MultiviewerSettings;
using sim::ReportFault;
using F = MultiviewerField;

constexpr auto kArrival = 3000ms;
constexpr std::array<std::uint8_t, 4> kUnitId{0x11, 0x22, 0x33, 0x44};
// The simulated unit settles at once; the console's wait for it is cut short to keep the suite fast.
constexpr MultiviewerSession::Timing kTiming{2000ms, 20ms};

// Reads the unit's state through `session`, running `ui` until the read has ended.
std::optional<RereadResult> OpenUnit(MultiviewerSession& session, TaskQueue& ui) {
    std::optional<RereadResult> result;
    session.Reread(RereadCause::Opening, {}, [&result](RereadResult r) { result = r; });
    if (!ui.RunUntil([&] { return result.has_value(); }, kArrival)) {
        session.CancelReread();
    }
    return result;
}

// The console's side of one open multiviewer against a simulated one on loopback: the link, the
// session and the status receiver, with the test thread as the thread that owns the session.
class SimulatedMultiviewer : public ::testing::Test {
protected:
    SimulatedMultiviewer() {
        sim::UnitConfig config;
        config.address = {127, 0, 0, 2};
        config.typeCode = kTypeMultiviewer;
        config.unitAddress = 0x01;
        config.unitId = kUnitId;
        const std::string name = "16CH Monitorgrid";
        config.modelName.assign(name.begin(), name.end());
        auto model = std::make_unique<MultiviewerModel>();
        m_model = model.get();
        m_simulator.AddUnit(config, std::move(model));
        EXPECT_TRUE(m_simulator.Start()) << m_simulator.StartError();

        DeviceEntry& entry = m_devices.At(0);
        entry.SetIp("127.0.0.2");
        entry.typeCode = kTypeMultiviewer;
        entry.unitAddress = 0x01;
        entry.unitId = kUnitId;
        m_devices.SetSelectedIndex(0);
        m_session.AddObserver(m_observer);
    }
    ~SimulatedMultiviewer() override {
        m_receiver.reset();
        m_session.RemoveObserver(m_observer);
    }

    // What the console page does when it opens the unit: read its state, then take its reports.
    void OpenPage() {
        ASSERT_EQ(OpenUnit(m_session, m_ui), RereadResult::Answered);
        m_receiver = StatusReceiverThread::Start(m_link, m_devices.Selected(), m_ui, m_session);
        ASSERT_NE(m_receiver, nullptr);
    }
    const MultiviewerState& State() const { return m_session.State(); }

    template <typename Read> auto Model(Read read) {
        decltype(read(m_model->Settings())) value{};
        m_simulator.Invoke([&] { value = read(m_model->Settings()); });
        return value;
    }
    void WithModel(const std::function<void(MultiviewerModel&, sim::SimulatedUnit&)>& change) {
        m_simulator.Invoke([&] { change(*m_model, m_simulator.Unit(0)); });
    }
    bool RunUntil(const std::function<bool()>& done) { return m_ui.RunUntil(done, kArrival); }
    // Sends through `send` and waits until the unit has taken the frame, so that what the test
    // changes in the model next applies to what comes after it.
    bool Heard(const std::function<bool()>& send) {
        const std::size_t before = m_simulator.Unit(0).ReceivedCount();
        if (!send() || !m_simulator.Unit(0).WaitForReceived(before + 1, kArrival)) {
            return false;
        }
        m_simulator.Invoke([] {}); // the unit's thread has finished handling the frame
        return true;
    }
    // Waits frame by frame until the unit's settings satisfy `done`: each frame the unit takes may
    // be the one that brings the change.
    bool ModelReaches(const std::function<bool(const MultiviewerSettings&)>& done) {
        const auto reached = [&] { return Model([&](const MultiviewerSettings& s) { return done(s); }); };
        for (std::size_t count = m_simulator.Unit(0).ReceivedCount(); !reached();) {
            if (!m_simulator.Unit(0).WaitForReceived(++count, kArrival)) {
                return reached();
            }
        }
        return true;
    }
    // Runs until the unit's report of `field` has come back after the console's own notice of it.
    bool ReportedBack(F field, const std::function<bool(const MultiviewerState&)>& shows) {
        const int told = m_observer.Count(field);
        return RunUntil([&] { return m_observer.Count(field) > told && shows(State()); });
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator m_simulator{m_endpoints, false};
    MultiviewerModel* m_model = nullptr;

    test::RecordingMessages m_messages;
    ConsoleLink m_link{m_endpoints, m_messages};
    DeviceTable m_devices;
    bool m_locked = false;
    TaskQueue m_ui;
    test::RecordingObserver m_observer;
    MultiviewerSession m_session{m_link, m_devices, m_locked, m_ui, kTiming};
    std::unique_ptr<StatusReceiverThread> m_receiver; // last: stopped before what it uses goes
};

TEST_F(SimulatedMultiviewer, ReadsTheStateTheUnitHolds) {
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) {
        MultiviewerSettings& s = model.Settings();
        s.layoutCode = 92;
        s.outputFormat = 13;
        s.audioSource = 16;
        s.switcherMode = 1;
        s.dhcp = 1;
        s.timecodeOn = 1;
        s.windowSource[2] = 11;
        s.loopRoute[15] = 4;
        s.labels[6] = {1, 15, 14};
        s.windows[9] = {1, 7, 1, 39, 12, 13, 5, 6};
        s.inputNames[2] = u"Cam Three";
        s.inputNames[15] = u"ABCDEFGHIJKLMNOP";
        s.customName = u"Rack 7";
    });
    OpenPage();
    const MultiviewerState& state = State();
    EXPECT_EQ(state.layoutCode, 92);
    EXPECT_EQ(state.outputFormat, 13);
    EXPECT_EQ(state.audioSource, 16);
    EXPECT_EQ(state.switcherMode, 1);
    EXPECT_EQ(state.networkDhcp, 1);
    EXPECT_EQ(state.timecodeOn, 1);
    EXPECT_EQ(state.umdAllOn, 1);
    EXPECT_EQ(state.windowSource.At(3), 11);
    EXPECT_EQ(state.loopRoute.At(16), 4);
    EXPECT_EQ(state.switcherCells[15].number, 4);
    EXPECT_EQ(state.umdTextColor.At(7), 15);
    EXPECT_EQ(state.umdBackColor.At(7), 14);
    EXPECT_EQ(state.meterChannel.At(10), 7);
    EXPECT_EQ(state.formatTexts.At(10), u"1080psf24");
    EXPECT_EQ(state.formatTextColor.At(10), 12);
    EXPECT_EQ(state.formatBackColor.At(10), 13);
    EXPECT_EQ(state.timecodeTextColor.At(10), 5);
    EXPECT_EQ(state.timecodeBackColor.At(10), 6);
    EXPECT_EQ(state.formatTexts.At(1), u"1080p60");
    EXPECT_EQ(state.formatTexts.At(5), u"No Signal");
    EXPECT_EQ(state.inputNames.At(3), u"Cam Three");
    EXPECT_EQ(state.inputNames.At(16), u"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(state.customName, u"Rack 7");
    EXPECT_EQ(state.windowRects, ComputeLayoutGeometry(92));
    EXPECT_EQ(m_observer.replaced, std::vector<RereadCause>{RereadCause::Opening});
    EXPECT_EQ(m_observer.names, std::vector<std::optional<std::u16string>>{u"Rack 7"});
    EXPECT_EQ(m_observer.locks, std::vector<bool>{false});
}

// One command from the console to the unit and, where the unit reports it, back into the record:
// the session tells `field` once as it sends, and once more when the unit's report has come.
struct RoundTrip {
    const char* name;
    std::function<bool(MultiviewerSession&)> send;
    std::function<bool(const MultiviewerSettings&)> applied;
    F field;
    std::function<bool(const MultiviewerState&)> reported; // empty: the unit reports nothing
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.name;
}

const RoundTrip kRoundTrips[] = {
    {"SetLayoutCode", [](auto& c) { return c.SetLayoutCode(90); },
     [](const auto& m) { return m.layoutCode == 90; }, F::LayoutCode,
     [](const auto& s) { return s.layoutCode == 90 && s.windowRects == ComputeLayoutGeometry(90); }},
    {"SetSourceOfAWindow", [](auto& c) { return c.SetWindowSource(3, 7); },
     [](const auto& m) { return m.windowSource[2] == 7; }, F::WindowSource,
     [](const auto& s) { return s.windowSource.At(3) == 7; }},
    {"SetSourceOfALoopOutput", [](auto& c) { return c.SetSwitcherMode(1) && c.SetLoopRoute(5, 2); },
     [](const auto& m) { return m.loopRoute[4] == 2; }, F::LoopRoute,
     [](const auto& s) { return s.loopRoute.At(5) == 2 && s.switcherCells[4].number == 2; }},
    {"RouteOneToOne", [](auto& c) { return c.SetSwitcherMode(1) && c.RouteOneToOne(); },
     [](const auto& m) { return m.loopRoute[15] == 16 && m.loopRoute[0] == 1; }, F::LoopRoute,
     [](const auto& s) { return s.loopRoute.At(1) == 1 && s.loopRoute.At(16) == 16; }},
    {"SetUmdOfAWindow", [](auto& c) { return c.SetUmd(4, 0); },
     [](const auto& m) { return m.labels[3].umdOn == 0; }, F::UmdOn,
     [](const auto& s) { return s.umdOn.At(4) == 0; }},
    {"SetUmdAll", [](auto& c) { return c.SetUmd(0, 0); }, [](const auto& m) { return m.allUmdOn == 0; },
     F::UmdAllOn, [](const auto& s) { return s.umdAllOn == 0; }},
    {"SetInputName",
     [](auto& c) { return c.SetInputName(3, u"Cam Three"); },
     [](const auto& m) { return m.inputNames[2] == u"Cam Three"; },
     F::InputName,
     {}},
    {"SetUmdTextColor", [](auto& c) { return c.SetUmdTextColor(2, 3); },
     [](const auto& m) { return m.labels[1].textColour == 3; }, F::UmdTextColor,
     [](const auto& s) { return s.umdTextColor.At(2) == 3 && s.umdColorInput == 2; }},
    {"SetUmdBackColorAll", [](auto& c) { return c.SetUmdBackColor(0, 4); },
     [](const auto& m) { return m.labels[15].backColour == 4; }, F::UmdBackColor,
     [](const auto& s) {
         return std::all_of(s.umdBackColor.values.begin(), s.umdBackColor.values.end(),
                            [](std::uint8_t c) { return c == 4; }) &&
                s.umdColorInput == 0;
     }},
    {"SetFormatTextColor", [](auto& c) { return c.SetFormatTextColor(6, 9); },
     [](const auto& m) { return m.windows[5].formatTextColour == 9; }, F::FormatTextColor,
     [](const auto& s) { return s.formatTextColor.At(6) == 9 && s.formatColorWindow == 6; }},
    {"SetFormatBackColor", [](auto& c) { return c.SetFormatBackColor(6, 10); },
     [](const auto& m) { return m.windows[5].formatBackColour == 10; }, F::FormatBackColor,
     [](const auto& s) { return s.formatBackColor.At(6) == 10; }},
    {"SetTimecodeTextColorAll", [](auto& c) { return c.SetTimecodeTextColor(0, 11); },
     [](const auto& m) {
         return m.windows[0].timecodeTextColour == 11 && m.windows[15].timecodeTextColour == 11;
     },
     F::TimecodeTextColor,
     [](const auto& s) {
         return std::all_of(s.timecodeTextColor.values.begin(), s.timecodeTextColor.values.end(),
                            [](std::uint8_t c) { return c == 11; });
     }},
    {"SetTimecodeBackColor", [](auto& c) { return c.SetTimecodeBackColor(8, 12); },
     [](const auto& m) { return m.windows[7].timecodeBackColour == 12; }, F::TimecodeBackColor,
     [](const auto& s) { return s.timecodeBackColor.At(8) == 12; }},
    {"SetBorder", [](auto& c) { return c.SetBorder(0); }, [](const auto& m) { return m.borderOn == 0; },
     F::Border, [](const auto& s) { return s.borderOn == 0; }},
    {"SetFormatStatus", [](auto& c) { return c.SetFormatStatus(0); },
     [](const auto& m) { return m.formatStatusOn == 0; }, F::FormatStatus,
     [](const auto& s) { return s.formatStatusOn == 0; }},
    {"SetTimecode", [](auto& c) { return c.SetTimecode(1); }, [](const auto& m) { return m.timecodeOn == 1; },
     F::Timecode, [](const auto& s) { return s.timecodeOn == 1; }},
    {"SetAudioAlarm", [](auto& c) { return c.SetAudioAlarm(1); },
     [](const auto& m) { return m.audioAlarmOn == 1; }, F::AudioAlarm,
     [](const auto& s) { return s.audioAlarmOn == 1; }},
    {"SetOutputFormat", [](auto& c) { return c.SetOutputFormat(11); },
     [](const auto& m) { return m.outputFormat == 11; }, F::OutputFormat,
     [](const auto& s) { return s.outputFormat == 11; }},
    {"SetAudioSource", [](auto& c) { return c.SetAudioSource(9); },
     [](const auto& m) { return m.audioSource == 9; }, F::AudioSource,
     [](const auto& s) { return s.audioSource == 9; }},
    {"SetMeter", [](auto& c) { return c.SetMeter(3, 0); },
     [](const auto& m) { return m.windows[2].meterOn == 0; }, F::MeterOn,
     [](const auto& s) { return s.meterOn.At(3) == 0 && s.meterWindow == 2; }},
    {"SetMeterAll", [](auto& c) { return c.SetMeter(0, 0); },
     [](const auto& m) { return m.allMetersOn == 0; }, F::MeterAllOn,
     [](const auto& s) { return s.meterAllOn == 0; }},
    {"SetMeterChannel", [](auto& c) { return c.SetMeterChannel(6, 6); },
     [](const auto& m) { return m.windows[5].meterChannel == 6; }, F::MeterChannel,
     [](const auto& s) { return s.meterChannel.At(6) == 6 && s.meterWindow == 5; }},
    {"SetSwitcherMode",
     [](auto& c) { return c.SetSwitcherMode(1); },
     [](const auto& m) { return m.switcherMode == 1; },
     F::SwitcherMode,
     {}},
    {"SetCustomName",
     [](auto& c) { return c.SetCustomName(u"Rack 9"); },
     [](const auto& m) { return m.customName == u"Rack 9"; },
     F::CustomName,
     {}},
};

class RoundTripTable : public SimulatedMultiviewer, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTripTable, TheUnitAppliesTheCommandAndReportsItBack) {
    const RoundTrip& trip = GetParam();
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) {
        std::reverse(model.Settings().loopRoute.begin(), model.Settings().loopRoute.end());
    });
    OpenPage();
    m_observer.Clear();
    ASSERT_TRUE(trip.send(m_session));
    EXPECT_GE(m_observer.Count(trip.field), 1) << "the session tells what it sent";
    EXPECT_TRUE(ModelReaches(trip.applied));
    if (trip.reported) {
        EXPECT_TRUE(ReportedBack(trip.field, trip.reported));
    }
}

INSTANTIATE_TEST_SUITE_P(MultiviewerSim, RoundTripTable, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

// The unit takes Load Default, reports that it replaced its settings, and the console reads the
// state again: the unit's defaults, and the console's selections back to "all".
TEST_F(SimulatedMultiviewer, LoadDefaultIsReportedAndTheStateReadAgain) {
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Settings().layoutCode = 160; });
    OpenPage();
    ASSERT_EQ(State().layoutCode, 160);
    m_session.SelectColourInput(4);
    std::optional<RereadResult> loaded;
    ASSERT_TRUE(m_session.LoadDefault({}, [&loaded](RereadResult r) { loaded = r; }));
    EXPECT_TRUE(RunUntil([&] { return loaded && !m_session.Rereading(); }));
    EXPECT_EQ(loaded, RereadResult::Answered);
    EXPECT_EQ(State().layoutCode, 40);
    EXPECT_EQ(State().windowRects, ComputeLayoutGeometry(40));
    EXPECT_EQ(State().umdColorInput, 0);
    EXPECT_NE(std::find(m_observer.replaced.begin(), m_observer.replaced.end(), RereadCause::LoadDefault),
              m_observer.replaced.end());
}

TEST_F(SimulatedMultiviewer, CustomMemoryKeepsWhatWasSaved) {
    OpenPage();
    m_session.SelectColourInput(4);
    ASSERT_TRUE(m_session.SetLayoutCode(90));
    ASSERT_TRUE(m_session.SaveCustom(2));
    ASSERT_TRUE(m_session.SetLayoutCode(160));
    std::optional<RereadResult> loaded;
    ASSERT_TRUE(m_session.LoadCustom(2, {}, [&loaded](RereadResult r) { loaded = r; }));
    EXPECT_TRUE(ModelReaches([](const MultiviewerSettings& m) { return m.layoutCode == 90; }));
    EXPECT_TRUE(RunUntil([&] { return loaded && !m_session.Rereading(); }));
    EXPECT_EQ(loaded, RereadResult::Answered);
    EXPECT_EQ(State().layoutCode, 90);
    EXPECT_EQ(State().umdColorInput, 4) << "a custom load keeps the selections";
}

// The unit's settings are replaced behind the console's back (its front panel, another console):
// its report brings the whole state in.
TEST_F(SimulatedMultiviewer, SettingsReplacedAtTheUnitAreReadIn) {
    OpenPage();
    MultiviewerSettings replaced = MultiviewerSettings::Factory();
    replaced.layoutCode = 111;
    replaced.customName = u"Front Panel";
    WithModel(
        [&](MultiviewerModel& model, sim::SimulatedUnit& unit) { model.ReplaceSettings(unit, replaced); });
    EXPECT_TRUE(RunUntil([&] { return m_observer.replaced.size() == 2 && !m_session.Rereading(); }));
    EXPECT_EQ(m_observer.replaced.back(), RereadCause::UnitReplaced);
    EXPECT_EQ(State().layoutCode, 111);
    EXPECT_EQ(State().customName, u"Front Panel");
}

TEST_F(SimulatedMultiviewer, SignalChangeOfTheUnitShowsInTheFormatText) {
    OpenPage();
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit& unit) { model.ChangeSignal(unit, 5, 1, 27); });
    EXPECT_TRUE(RunUntil([&] { return State().formatTexts.At(5) == u"1080p50"; }));
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit& unit) { model.ChangeSignal(unit, 5, 0, 27); });
    EXPECT_TRUE(RunUntil([&] { return State().formatTexts.At(5) == u"No Signal"; }));
}

// A spoilt report is handled (and ignored) before a good one that follows it: once the good one is
// in, the spoilt one would have been told already.
TEST_F(SimulatedMultiviewer, SpoiltReportsChangeNothing) {
    OpenPage();
    for (ReportFault fault : {ReportFault::ForeignIdentifier, ReportFault::Short, ReportFault::UnknownOpcode,
                              ReportFault::OutOfRange}) {
        SCOPED_TRACE(static_cast<int>(fault));
        WithModel([&](MultiviewerModel& model, sim::SimulatedUnit&) { model.Faults().fault = fault; });
        m_observer.Clear();
        ASSERT_TRUE(Heard([&] { return m_session.SetUmd(4, 1); }));
        WithModel(
            [](MultiviewerModel& model, sim::SimulatedUnit&) { model.Faults().fault = ReportFault::None; });
        ASSERT_TRUE(m_session.SetUmd(0, 0));
        EXPECT_TRUE(RunUntil([&] { return m_observer.Count(F::UmdAllOn) == 2; }));
        EXPECT_EQ(m_observer.Count(F::UmdOn), 1) << "told only as the console sent it";
    }
}

TEST_F(SimulatedMultiviewer, SilencedAndDisabledReportsNeverArrive) {
    OpenPage();
    m_observer.Clear();
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Policy().silenced = {0x3F}; });
    ASSERT_TRUE(Heard([&] { return m_session.SetBorder(0); }));
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Policy().enabled = false; });
    ASSERT_TRUE(Heard([&] { return m_session.SetUmdTextColor(2, 3); }));
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Policy() = {}; });
    ASSERT_TRUE(m_session.SetFormatTextColor(6, 9));
    EXPECT_TRUE(RunUntil([&] { return m_observer.Count(F::FormatTextColor) == 2; }));
    EXPECT_EQ(m_observer.Count(F::Border), 1);
    EXPECT_EQ(m_observer.Count(F::UmdTextColor), 1);
}

TEST_F(SimulatedMultiviewer, FloodOfReportsArrivesWhole) {
    OpenPage();
    constexpr int kCopies = 100;
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Faults().copies = kCopies; });
    m_observer.Clear();
    ASSERT_TRUE(m_session.SetBorder(0));
    EXPECT_TRUE(RunUntil([&] { return m_observer.Count(F::Border) == 1 + kCopies; }));
    EXPECT_EQ(State().borderOn, 0);
}

// The simulator process this test started; stopped however the test ends.
struct Child {
    pid_t pid = 0;
    int Stop() {
        if (pid <= 0) {
            return -1;
        }
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ~Child() { Stop(); }
};

// brenvik-unitsim runs the same model on its own: the console reads its state, and a command's
// report comes back.
TEST(StandaloneUnitSimulator, ServesAMultiviewer) {
    const Endpoints endpoints = test::LoopbackEndpoints();
    const std::string unit = "127.0.0.3,A1,1,16CH Monitorgrid,11223344";
    const std::string unitPort = std::to_string(endpoints.unitPort);
    const std::string statusPort = std::to_string(endpoints.statusPort);
    std::vector<std::string> args{BRENVIK_UNITSIM, "--unit",        unit,      "--unit-port",
                                  unitPort,        "--status-port", statusPort};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    Child child;
    ASSERT_EQ(posix_spawn(&child.pid, BRENVIK_UNITSIM, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // It prints its units once its sockets are bound.
    pollfd ready{out[0], POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 5000), 1);
    char line[256] = {};
    ASSERT_GT(read(out[0], line, sizeof line - 1), 0);
    EXPECT_NE(std::string(line).find("unit 127.0.0.3"), std::string::npos) << line;

    test::RecordingMessages messages;
    ConsoleLink link(endpoints, messages);
    DeviceTable devices;
    DeviceEntry& entry = devices.At(0);
    entry.SetIp("127.0.0.3");
    entry.typeCode = kTypeMultiviewer;
    entry.unitAddress = 1;
    entry.unitId = kUnitId;
    devices.SetSelectedIndex(0);
    {
        bool locked = false;
        TaskQueue ui;
        test::RecordingObserver observer;
        MultiviewerSession session(link, devices, locked, ui, kTiming);
        session.AddObserver(observer);
        EXPECT_EQ(OpenUnit(session, ui), RereadResult::Answered);
        EXPECT_EQ(session.State().layoutCode, 40);
        EXPECT_EQ(session.State().inputNames.At(2), u"CAM 2");
        auto receiver = StatusReceiverThread::Start(link, devices.Selected(), ui, session);
        ASSERT_NE(receiver, nullptr);
        ASSERT_TRUE(session.SetLayoutCode(160));
        EXPECT_TRUE(ui.RunUntil([&] { return observer.Count(MultiviewerField::LayoutCode) == 2; }, kArrival))
            << "the unit's report of the layout came back";
        receiver.reset();
        session.RemoveObserver(observer);
    }
    EXPECT_EQ(child.Stop(), 0);
    close(out[0]);
}

} // namespace
} // namespace brenvik
