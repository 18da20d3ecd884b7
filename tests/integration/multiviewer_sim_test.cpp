#include "link/console_link.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_commands.h"
#include "multiviewer/core/page_type.h"
#include "multiviewer/core/preview_refresh.h"
#include "multiviewer/core/status_receiver_thread.h"
#include "multiviewer/core/unit_state_reader.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "support/await.h"
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

// Both halves of a state read, as the console page does them, waited for.
bool ReadUnitState(UnitLink& link, const std::optional<DeviceEntry>& unit, MultiviewerState& state, bool locked,
                   MainWindowHooks& mainWindow) {
    const auto read =
        test::Await<StateRead>([&](auto done) { QueryUnitState(link, unit, {}, std::move(done)); });
    return read && ApplyStateRead(*read, state, locked, mainWindow);
}

using namespace std::chrono_literals;
using sim::MultiviewerModel;
using sim::MultiviewerSettings;
using sim::ReportFault;

constexpr auto kArrival = 3000ms;
constexpr std::array<std::uint8_t, 4> kUnitId{0x11, 0x22, 0x33, 0x44};
// The unit settles quickly here; the wait after a re-read is cut short to keep the suite fast.
constexpr StatusReceiverThread::Timing kTiming{20ms, 2000ms, 50ms};

// The console's side of one open multiviewer against a simulated one on loopback: the link, the
// record, the command set and the status receiver, with the test thread as the UI thread.
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
    }

    // What the console page does when it opens the unit.
    void OpenPage(std::uint8_t page) {
        ASSERT_TRUE(ReadUnitState(m_link, m_devices.Selected(), m_state, m_locked, m_mainWindow));
        RecomputeSwitcherCells(m_state);
        RefreshPreviewAll(m_state, m_view);
        m_state.pageType = page;
        m_receiver = StatusReceiverThread::Start(m_link, m_devices.Selected(), m_ui, m_applier, kTiming);
        ASSERT_NE(m_receiver, nullptr);
    }

    template <typename Read> auto Model(Read read) {
        decltype(read(m_model->Settings())) value{};
        m_simulator.Invoke([&] { value = read(m_model->Settings()); });
        return value;
    }
    void WithModel(const std::function<void(MultiviewerModel&, sim::SimulatedUnit&)>& change) {
        m_simulator.Invoke([&] { change(*m_model, m_simulator.Unit(0)); });
    }
    bool PumpUntil(const std::function<bool()>& done) { return m_ui.PumpUntil(done, kArrival); }
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
    bool ModelReaches(const std::function<bool(const MultiviewerSettings&)>& done) {
        const auto deadline = std::chrono::steady_clock::now() + kArrival;
        while (!Model([&](const MultiviewerSettings& s) { return done(s); })) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }
    bool PageUpdated(const PageUpdate& update) const {
        return std::find(m_view.updates.begin(), m_view.updates.end(), update) != m_view.updates.end();
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator m_simulator{m_endpoints, false};
    MultiviewerModel* m_model = nullptr;

    test::RecordingMessages m_messages;
    ConsoleLink m_link{m_endpoints, m_messages};
    DeviceTable m_devices;
    MultiviewerState m_state = MultiviewerState::Defaults();
    bool m_locked = false;
    test::RecordingView m_view;
    test::RecordingMainWindow m_mainWindow;
    MultiviewerCommands m_commands{m_link, m_devices, m_state, m_locked, m_view};
    StatusReportApplier m_applier{m_state, m_view, m_mainWindow, m_locked};
    test::QueueDispatcher m_ui;
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
    OpenPage(kPageSwitcher);
    EXPECT_EQ(m_state.layoutCode, 92);
    EXPECT_EQ(m_state.outputFormat, 13);
    EXPECT_EQ(m_state.audioSource, 16);
    EXPECT_EQ(m_state.switcherMode, 1);
    EXPECT_EQ(m_state.networkDhcp, 1);
    EXPECT_EQ(m_state.timecodeOn, 1);
    EXPECT_EQ(m_state.umdAllOn, 1);
    EXPECT_EQ(m_state.windowSource.At(3), 11);
    EXPECT_EQ(m_state.loopRoute.At(16), 4);
    EXPECT_EQ(m_state.switcherCells[15].number, 4);
    EXPECT_EQ(m_state.umdTextColor.At(7), 15);
    EXPECT_EQ(m_state.umdBackColor.At(7), 14);
    EXPECT_EQ(m_state.meterChannel.At(10), 7);
    EXPECT_EQ(m_state.formatTexts.At(10), u"1080psf24");
    EXPECT_EQ(m_state.formatTextColor.At(10), 12);
    EXPECT_EQ(m_state.formatBackColor.At(10), 13);
    EXPECT_EQ(m_state.timecodeTextColor.At(10), 5);
    EXPECT_EQ(m_state.timecodeBackColor.At(10), 6);
    EXPECT_EQ(m_state.formatTexts.At(1), u"1080p60");
    EXPECT_EQ(m_state.formatTexts.At(5), u"No Signal");
    EXPECT_EQ(m_state.inputNames.At(3), u"Cam Three");
    EXPECT_EQ(m_state.inputNames.At(16), u"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(m_state.customName, u"Rack 7");
    EXPECT_EQ(m_mainWindow.nameTexts, std::vector<std::u16string>{u"Rack 7"});
    EXPECT_EQ(m_state.windowRects, ComputeLayoutGeometry(92));
    EXPECT_TRUE(m_state.stateLoaded);
}

// One command from the console to the unit and, where the unit reports it, back into the record.
struct RoundTrip {
    const char* name;
    std::uint8_t page;
    std::function<bool(MultiviewerCommands&, MultiviewerState&)> send;
    std::function<bool(const MultiviewerSettings&)> applied;
    // Undoes the console's own change, so that only the unit's report can bring the value back.
    std::function<void(MultiviewerState&)> forget;
    std::function<bool(const MultiviewerState&)> reported; // empty: the unit reports nothing
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.name;
}

const RoundTrip kRoundTrips[] = {
    {"SetLayoutCode", kPageLayout,
     [](auto& c, auto& s) {
         s.layoutCode = 90;
         return c.SetLayoutCode(90);
     },
     [](const auto& m) { return m.layoutCode == 90; }, [](auto& s) { s.layoutCode = 0; },
     [](const auto& s) { return s.layoutCode == 90 && s.windowRects == ComputeLayoutGeometry(90); }},
    {"SetSourceOfAWindow", kPageLayout, [](auto& c, auto&) { return c.SetSource(3, 7); },
     [](const auto& m) { return m.windowSource[2] == 7; }, [](auto&) {},
     [](const auto& s) { return s.windowSource.At(3) == 7; }},
    {"SetSourceOfALoopOutput", kPageSwitcher,
     [](auto& c, auto&) { return c.SetSwitcherMode(1) && c.SetSource(5, 2); },
     [](const auto& m) { return m.loopRoute[4] == 2; }, [](auto& s) { s.loopRoute.At(5) = 0; },
     [](const auto& s) { return s.loopRoute.At(5) == 2 && s.switcherCells[4].number == 2; }},
    {"RouteOneToOne", kPageSwitcher, [](auto& c, auto&) { return c.SetSwitcherMode(1) && c.RouteOneToOne(); },
     [](const auto& m) { return m.loopRoute[15] == 16 && m.loopRoute[0] == 1; },
     [](auto& s) { s.loopRoute.values.fill(0); },
     [](const auto& s) { return s.loopRoute.At(1) == 1 && s.loopRoute.At(16) == 16; }},
    {"SetUmdOfAWindow", kPageUmdOverlay, [](auto& c, auto&) { return c.SetUmd(4, 0); },
     [](const auto& m) { return m.labels[3].umdOn == 0; }, [](auto& s) { s.umdOn.At(4) = 1; },
     [](const auto& s) { return s.umdOn.At(4) == 0; }},
    {"SetUmdAll", kPageUmdOverlay, [](auto& c, auto&) { return c.SetUmd(0, 0); },
     [](const auto& m) { return m.allUmdOn == 0; }, [](auto& s) { s.umdAllOn = 1; },
     [](const auto& s) { return s.umdAllOn == 0; }},
    {"SetInputName",
     kPageUmdOverlay,
     [](auto& c, auto& s) {
         s.inputNames.At(3) = u"Cam Three";
         return c.SetInputName(3);
     },
     [](const auto& m) { return m.inputNames[2] == u"Cam Three"; },
     [](auto&) {},
     {}},
    {"SetUmdTextColor", kPageColors, [](auto& c, auto&) { return c.SetUmdTextColor(2, 3); },
     [](const auto& m) { return m.labels[1].textColour == 3; }, [](auto& s) { s.umdTextColor.At(2) = 0; },
     [](const auto& s) { return s.umdTextColor.At(2) == 3 && s.umdColorInput == 2; }},
    {"SetUmdBackColorAll", kPageColors, [](auto& c, auto&) { return c.SetUmdBackColor(0, 4); },
     [](const auto& m) { return m.labels[15].backColour == 4; }, [](auto& s) { s.umdBackColor.At(1) = 0; },
     [](const auto& s) { return s.umdBackColor.At(1) == 4 && s.umdColorInput == 0; }},
    {"SetFormatTextColor", kPageColors, [](auto& c, auto&) { return c.SetFormatTextColor(6, 9); },
     [](const auto& m) { return m.windows[5].formatTextColour == 9; },
     [](auto& s) { s.formatTextColor.At(6) = 0; },
     [](const auto& s) { return s.formatTextColor.At(6) == 9 && s.formatColorWindow == 6; }},
    {"SetFormatBackColor", kPageColors, [](auto& c, auto&) { return c.SetFormatBackColor(6, 10); },
     [](const auto& m) { return m.windows[5].formatBackColour == 10; },
     [](auto& s) { s.formatBackColor.At(6) = 0; },
     [](const auto& s) { return s.formatBackColor.At(6) == 10; }},
    {"SetTimecodeTextColorAll", kPageColors, [](auto& c, auto&) { return c.SetTimecodeTextColor(0, 11); },
     [](const auto& m) { return m.windows[15].timecodeTextColour == 11; },
     [](auto& s) { s.timecodeTextColor.At(1) = 0; },
     [](const auto& s) { return s.timecodeTextColor.At(1) == 11; }},
    {"SetTimecodeBackColor", kPageColors, [](auto& c, auto&) { return c.SetTimecodeBackColor(8, 12); },
     [](const auto& m) { return m.windows[7].timecodeBackColour == 12; },
     [](auto& s) { s.timecodeBackColor.At(8) = 0; },
     [](const auto& s) { return s.timecodeBackColor.At(8) == 12; }},
    {"SetBorder", kPageColors, [](auto& c, auto&) { return c.SetBorder(0); },
     [](const auto& m) { return m.borderOn == 0; }, [](auto& s) { s.borderOn = 1; },
     [](const auto& s) { return s.borderOn == 0; }},
    {"SetFormatStatus", kPageControls, [](auto& c, auto&) { return c.SetFormatStatus(0); },
     [](const auto& m) { return m.formatStatusOn == 0; }, [](auto& s) { s.formatStatusOn = 1; },
     [](const auto& s) { return s.formatStatusOn == 0; }},
    {"SetTimecode", kPageControls, [](auto& c, auto&) { return c.SetTimecode(1); },
     [](const auto& m) { return m.timecodeOn == 1; }, [](auto& s) { s.timecodeOn = 0; },
     [](const auto& s) { return s.timecodeOn == 1; }},
    {"SetAudioAlarm", kPageControls, [](auto& c, auto&) { return c.SetAudioAlarm(1); },
     [](const auto& m) { return m.audioAlarmOn == 1; }, [](auto& s) { s.audioAlarmOn = 0; },
     [](const auto& s) { return s.audioAlarmOn == 1; }},
    {"SetOutputFormat", kPageControls, [](auto& c, auto&) { return c.SetOutputFormat(11); },
     [](const auto& m) { return m.outputFormat == 11; }, [](auto&) {},
     [](const auto& s) { return s.outputFormat == 11; }},
    {"SetAudioSource", kPageAudio, [](auto& c, auto&) { return c.SetAudioSource(9); },
     [](const auto& m) { return m.audioSource == 9; }, [](auto&) {},
     [](const auto& s) { return s.audioSource == 9; }},
    {"SetMeter", kPageAudio, [](auto& c, auto&) { return c.SetMeter(2, 0); },
     [](const auto& m) { return m.windows[2].meterOn == 0; }, [](auto& s) { s.meterOn.At(3) = 1; },
     [](const auto& s) { return s.meterOn.At(3) == 0 && s.meterWindow == 2; }},
    {"SetMeterAll", kPageAudio, [](auto& c, auto&) { return c.SetMeter(kAllMetersIndex, 0); },
     [](const auto& m) { return m.allMetersOn == 0; }, [](auto& s) { s.meterAllOn = 1; },
     [](const auto& s) { return s.meterAllOn == 0; }},
    {"SetMeterChannel", kPageAudio, [](auto& c, auto&) { return c.SetMeterChannel(5, 6); },
     [](const auto& m) { return m.windows[5].meterChannel == 6; }, [](auto& s) { s.meterChannel.At(6) = 0; },
     [](const auto& s) { return s.meterChannel.At(6) == 6; }},
    {"SetSwitcherMode",
     kPageSwitcher,
     [](auto& c, auto&) { return c.SetSwitcherMode(1); },
     [](const auto& m) { return m.switcherMode == 1; },
     [](auto&) {},
     {}},
};

class RoundTripTable : public SimulatedMultiviewer, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTripTable, TheUnitAppliesTheCommandAndReportsItBack) {
    const RoundTrip& trip = GetParam();
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) {
        std::reverse(model.Settings().loopRoute.begin(), model.Settings().loopRoute.end());
    });
    OpenPage(trip.page);
    ASSERT_TRUE(trip.send(m_commands, m_state));
    EXPECT_TRUE(ModelReaches(trip.applied));
    if (trip.reported) {
        trip.forget(m_state);
        EXPECT_TRUE(PumpUntil([&] { return trip.reported(m_state); }));
    }
}

INSTANTIATE_TEST_SUITE_P(MultiviewerSim, RoundTripTable, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatedMultiviewer, LoadDefaultIsReportedAndTheStateReadAgain) {
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Settings().layoutCode = 160; });
    OpenPage(kPageColors);
    ASSERT_EQ(m_state.layoutCode, 160);
    m_state.umdColorInput = 4;
    ASSERT_TRUE(m_commands.LoadDefault());
    EXPECT_TRUE(PumpUntil([&] { return PageUpdated(PageUpdate::Refresh(kPageColors)); }));
    EXPECT_EQ(m_state.layoutCode, 40);
    EXPECT_EQ(m_state.windowRects, ComputeLayoutGeometry(40));
    EXPECT_EQ(m_state.umdColorInput, 0);
}

TEST_F(SimulatedMultiviewer, CustomMemoryKeepsWhatWasSaved) {
    OpenPage(kPageControls);
    m_state.umdColorInput = 4;
    m_state.layoutCode = 90;
    ASSERT_TRUE(m_commands.SetLayoutCode(90));
    ASSERT_TRUE(m_commands.SendCustomMemory(mv_opcode::kSaveCustom, 2));
    m_state.layoutCode = 160;
    ASSERT_TRUE(m_commands.SetLayoutCode(160));
    ASSERT_TRUE(m_commands.SendCustomMemory(mv_opcode::kLoadCustom, 2));
    EXPECT_TRUE(ModelReaches([](const MultiviewerSettings& m) { return m.layoutCode == 90; }));
    EXPECT_TRUE(PumpUntil([&] { return PageUpdated(PageUpdate::Refresh(kPageControls)); }));
    EXPECT_EQ(m_state.layoutCode, 90);
    EXPECT_EQ(m_state.umdColorInput, 4) << "a custom load keeps the selections";
}

TEST_F(SimulatedMultiviewer, SignalChangeOfTheUnitShowsInTheFormatText) {
    OpenPage(kPageLayout);
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit& unit) { model.ChangeSignal(unit, 5, 1, 27); });
    EXPECT_TRUE(PumpUntil([&] { return m_state.formatTexts.At(5) == u"1080p50"; }));
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit& unit) { model.ChangeSignal(unit, 5, 0, 27); });
    EXPECT_TRUE(PumpUntil([&] { return m_state.formatTexts.At(5) == u"No Signal"; }));
}

// A spoilt report is handled (and ignored) before a good one that follows it.
TEST_F(SimulatedMultiviewer, SpoiltReportsChangeNothing) {
    OpenPage(kPageUmdOverlay);
    for (ReportFault fault : {ReportFault::ForeignIdentifier, ReportFault::Short, ReportFault::UnknownOpcode,
                              ReportFault::OutOfRange}) {
        WithModel([&](MultiviewerModel& model, sim::SimulatedUnit&) { model.Faults().fault = fault; });
        ASSERT_TRUE(Heard([&] { return m_commands.SetUmd(4, 1); }));
        m_state.umdOn.At(4) = 0;
        WithModel(
            [&](MultiviewerModel& model, sim::SimulatedUnit&) { model.Faults().fault = ReportFault::None; });
        ASSERT_TRUE(m_commands.SetUmd(0, 0));
        m_state.umdAllOn = 1;
        EXPECT_TRUE(PumpUntil([&] { return m_state.umdAllOn == 0; })) << int(fault);
        EXPECT_EQ(m_state.umdOn.At(4), 0) << int(fault);
        WithModel(
            [&](MultiviewerModel& model, sim::SimulatedUnit&) { model.Settings().labels[3].umdOn = 0; });
    }
}

TEST_F(SimulatedMultiviewer, SilencedAndDisabledReportsNeverArrive) {
    OpenPage(kPageColors);
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Policy().silenced = {0x3F}; });
    ASSERT_TRUE(Heard([&] { return m_commands.SetBorder(0); }));
    m_state.borderOn = 1;
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Policy().enabled = false; });
    ASSERT_TRUE(Heard([&] { return m_commands.SetUmdTextColor(2, 3); }));
    m_state.umdTextColor.At(2) = 0;
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Policy() = {}; });
    ASSERT_TRUE(m_commands.SetFormatTextColor(6, 9));
    m_state.formatTextColor.At(6) = 0;
    EXPECT_TRUE(PumpUntil([&] { return m_state.formatTextColor.At(6) == 9; }));
    EXPECT_EQ(m_state.borderOn, 1);
    EXPECT_EQ(m_state.umdTextColor.At(2), 0);
    EXPECT_EQ(m_ui.Posted(), 1);
}

TEST_F(SimulatedMultiviewer, FloodOfReportsArrivesWhole) {
    OpenPage(kPageColors);
    constexpr int kCopies = 100;
    WithModel([](MultiviewerModel& model, sim::SimulatedUnit&) { model.Faults().copies = kCopies; });
    ASSERT_TRUE(m_commands.SetBorder(0));
    m_view.Clear();
    // Every border report redraws the preview once.
    EXPECT_TRUE(PumpUntil([&] { return m_view.redraws == kCopies; }));
    EXPECT_EQ(m_state.borderOn, 0);
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
    DeviceEntry entry;
    entry.SetIp("127.0.0.3");
    entry.typeCode = kTypeMultiviewer;
    entry.unitAddress = 1;
    entry.unitId = kUnitId;
    MultiviewerState state = MultiviewerState::Defaults();
    test::RecordingMainWindow mainWindow;
    test::RecordingView view;
    test::QueueDispatcher ui;
    bool locked = false;
    EXPECT_TRUE(ReadUnitState(link, entry, state, locked, mainWindow));
    EXPECT_EQ(state.layoutCode, 40);
    EXPECT_EQ(state.inputNames.At(2), u"CAM 2");
    {
        DeviceTable devices;
        devices.At(0) = entry;
        devices.SetSelectedIndex(0);
        MultiviewerCommands commands(link, devices, state, locked, view);
        StatusReportApplier applier(state, view, mainWindow, locked);
        auto receiver = StatusReceiverThread::Start(link, entry, ui, applier);
        ASSERT_NE(receiver, nullptr);
        ASSERT_TRUE(commands.SetLayoutCode(160));
        EXPECT_TRUE(ui.PumpUntil([&] { return state.layoutCode == 160; }, kArrival));
    }
    EXPECT_EQ(child.Stop(), 0);
    close(out[0]);
}

} // namespace
} // namespace brenvik
