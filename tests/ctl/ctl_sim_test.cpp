#include "ctl/run_ctl.h"
#include "link/frame.h"
#include "link/platform/udp_socket.h"
#include "link/text_codec.h"
#include "matrix/core/matrix_frames.h"
#include "multiviewer/core/input_name_frame.h"
#include "sim/matrix_model.h"
#include "sim/multiviewer_model.h"
#include "sim/serial_unit_simulator.h"
#include "sim/unit_simulator.h"
#include "support/hex.h"
#include "support/loopback_ports.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace brenvik::ctl {
namespace {

using namespace std::chrono_literals;

constexpr auto kArrival = 5000ms;
constexpr std::size_t kMultiviewer = 0;
constexpr std::size_t kMatrix = 1;
constexpr std::uint8_t kLan = 1;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Frame Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// The program against a simulated multiviewer (127.0.0.2) and matrix switcher (127.0.0.3) on
// loopback ports of the test's own.
class CtlAgainstUnits : public ::testing::Test {
protected:
    CtlAgainstUnits() {
        sim::UnitConfig multiviewer;
        multiviewer.address = {127, 0, 0, 2};
        multiviewer.typeCode = kTypeMultiviewer;
        multiviewer.unitId = {0x11, 0x22, 0x33, 0x44};
        multiviewer.modelName = Bytes("16CH Monitorgrid");
        auto mvModel = std::make_unique<sim::MultiviewerModel>();
        m_mvModel = mvModel.get();
        m_simulator.AddUnit(multiviewer, std::move(mvModel));

        sim::UnitConfig matrix;
        matrix.address = {127, 0, 0, 3};
        matrix.typeCode = kTypeMatrixSwitcher;
        matrix.unitId = {0x0A, 0x0B, 0x0C, 0x0D};
        matrix.modelName = Bytes("PQT0642");
        auto mxModel = std::make_unique<sim::MatrixModel>();
        m_mxModel = mxModel.get();
        m_simulator.AddUnit(matrix, std::move(mxModel));
        EXPECT_TRUE(m_simulator.Start()) << m_simulator.StartError();
    }

    // The test's ports and the unit's address before the words.
    std::vector<std::string> Args(const std::string& unit, const std::vector<std::string>& words) const {
        std::vector<std::string> args{"--port",        std::to_string(m_endpoints.unitPort),
                                      "--local-port",  std::to_string(m_endpoints.localPort),
                                      "--status-port", std::to_string(m_endpoints.statusPort),
                                      "--broadcast",   m_endpoints.broadcastAddress};
        if (!unit.empty()) {
            args.insert(args.end(), {"--unit", unit});
        }
        args.insert(args.end(), words.begin(), words.end());
        return args;
    }

    Outcome Run(const std::string& unit, const std::vector<std::string>& words,
                const CtlHooks& hooks = {}) const {
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCtl(Args(unit, words), out, err, hooks);
        return {status, out.str(), err.str()};
    }

    // Runs the words and returns the `count` datagrams the unit received from the run.
    std::vector<Frame> Heard(std::size_t unitIndex, const std::string& unit,
                             const std::vector<std::string>& words, std::size_t count,
                             Outcome* outcome = nullptr) {
        sim::SimulatedUnit& simulated = m_simulator.Unit(unitIndex);
        const std::size_t before = simulated.ReceivedCount();
        const Outcome run = Run(unit, words);
        EXPECT_EQ(run.status, kExitSuccess) << run.err;
        if (outcome != nullptr) {
            *outcome = run;
        }
        if (!simulated.WaitForReceived(before + count, kArrival)) {
            return {};
        }
        m_simulator.Invoke([] {});
        const auto received = simulated.Received();
        return {received.begin() + static_cast<std::ptrdiff_t>(before), received.end()};
    }

    void WithMultiviewer(const std::function<void(sim::MultiviewerSettings&)>& change) {
        m_simulator.Invoke([&] { change(m_mvModel->Settings()); });
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator m_simulator{m_endpoints};
    sim::MultiviewerModel* m_mvModel = nullptr;
    sim::MatrixModel* m_mxModel = nullptr;
};

Frame MvFrame(std::uint8_t opcode, std::vector<std::uint8_t> payload, std::uint8_t unitAddress = 1) {
    return BuildFrame(kTypeMultiviewer, unitAddress, kLan, opcode, payload);
}

// Each command line puts exactly this frame on the wire to the multiviewer.
TEST_F(CtlAgainstUnits, MultiviewerCommandsByLine) {
    const struct {
        std::vector<std::string> words;
        Frame frame;
    } cases[] = {
        {{"layout", "40"}, test::Hex("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 33 28 24 02 AE")},
        {{"border", "on"}, test::Hex("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 3F 01 09 02 AE")},
        {{"source", "3", "--window", "2"}, MvFrame(0x34, {3, 2})},
        {{"route", "2", "--output", "16"}, MvFrame(0x34, {2, 16})},
        {{"route", "one-to-one"}, MvFrame(0x5A, {})},
        {{"name", "3", "CAM 3"}, BuildInputNameFrame(kTypeMultiviewer, 1, kLan, 3, ToUtf16le(u"CAM 3"))},
        {{"name", "16", ""}, BuildInputNameFrame(kTypeMultiviewer, 1, kLan, 16, {})},
        {{"umd", "5", "off"}, MvFrame(0x36, {5, 0})},
        {{"umd", "all", "on"}, MvFrame(0x5C, {1})},
        {{"colour", "umd-text", "red", "--input", "0"}, MvFrame(0x3B, {0, 2})},
        {{"colour", "umd-back", "LightBlue", "--input", "4"}, MvFrame(0x3C, {4, 10})},
        {{"colour", "format-text", "7", "--window", "16"}, MvFrame(0x3D, {16, 7})},
        {{"colour", "format-back", "halftrans"}, MvFrame(0x3E, {0, 15})},
        {{"colour", "timecode-text", "White", "--window", "all"}, MvFrame(0x54, {0, 7})},
        {{"colour", "timecode-back", "black", "--window", "1"}, MvFrame(0x55, {1, 0})},
        {{"format-status", "off"}, MvFrame(0x5D, {0})},
        {{"timecode", "on"}, MvFrame(0x5E, {1})},
        {{"audio-alarm", "on"}, MvFrame(0x56, {1})},
        {{"audio-source", "off"}, MvFrame(0x39, {0})},
        {{"audio-source", "16"}, MvFrame(0x39, {16})},
        {{"meter", "3", "off"}, MvFrame(0x37, {3, 0})},
        {{"meter", "all", "on"}, MvFrame(0x5B, {1})},
        {{"meter-channel", "2", "5&6"}, MvFrame(0x52, {2, 2})},
        {{"meter-channel", "16", "7"}, MvFrame(0x52, {16, 7})},
        {{"format", "720p50"}, MvFrame(0x19, {0, 6})},
        {{"format", "1080P60"}, MvFrame(0x19, {0, 7})},
        {{"save", "custom", "1"}, MvFrame(0x58, {1})},
        {{"load", "custom", "2"}, MvFrame(0x59, {2})},
        {{"load", "default"}, MvFrame(0x0B, {0})},
        {{"mode", "switcher"}, MvFrame(0x62, {1})},
        {{"mode", "multiviewer"}, MvFrame(0x62, {0})},
        {{"--unit-address", "7", "border", "off"}, MvFrame(0x3F, {0}, 7)},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words{"mv"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        const auto heard = Heard(kMultiviewer, "127.0.0.2", words, 1);
        ASSERT_EQ(heard.size(), 1u) << c.words.front();
        EXPECT_EQ(heard[0], c.frame) << c.words.front() << " " << c.words.back();
    }
}

TEST_F(CtlAgainstUnits, MatrixCommandsByLine) {
    const struct {
        std::vector<std::string> words;
        Frame bytes;
    } cases[] = {
        {{"route", "3", "1,4,8"}, Bytes("3V1,4,8.")},
        {{"route", "3", "8,1,4,4"}, Bytes("3V1,4,8.")},
        {{"route", "5", "all"}, Bytes("5All.")},
        {{"route", "one-to-one"}, Bytes("All#.")},
        {{"backlight", "time", "Always On"},
         test::Hex("A5 6C 15 00 03 01 01 00 00 00 00 00 00 00 00 00 51 04 80 01 AE")},
        {{"backlight", "time", "15s off"}, BuildSetBacklightTime(1, kLan, 2)},
        {{"backlight", "brightness", "75"}, BuildSetBacklightBrightness(1, kLan, 75)},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words{"mx"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        const auto heard = Heard(kMatrix, "127.0.0.3", words, 1);
        ASSERT_EQ(heard.size(), 1u) << c.words.back();
        EXPECT_EQ(heard[0], c.bytes) << c.words.back();
    }
}

TEST_F(CtlAgainstUnits, MultiviewerStateAsTheUnitHoldsIt) {
    WithMultiviewer([](sim::MultiviewerSettings& s) {
        s.layoutCode = 92;
        s.outputFormat = 13;
        s.audioSource = 16;
        s.switcherMode = 1;
        s.dhcp = 1;
        s.borderOn = 0;
        s.timecodeOn = 1;
        s.windowSource[0] = 9;
        s.loopRoute[15] = 4;
        s.inputNames[2] = u"CAM \"3\"";
        s.labels[2].textColour = 2;
        s.labels[2].backColour = 14;
        s.windows[3].signalPresent = 1;
        s.windows[3].signalFormat = 31;
        s.windows[3].meterChannel = 5;
        s.customName = u"Studio A";
    });
    const Outcome json = Run("127.0.0.2", {"mv", "state", "--json"});
    ASSERT_EQ(json.status, kExitSuccess) << json.err;
    EXPECT_TRUE(json.out.starts_with(
        R"({"layout":92,"switcherMode":true,"outputFormat":{"code":13,"text":"1080p25"},)"
        R"("audioSource":16,)"))
        << json.out;
    for (const std::string part : {
             R"("timecodeOn":true,)",
             R"("borderOn":false,)",
             R"("networkDhcp":true,)",
             R"("customName":"Studio A",)",
             R"({"window":1,"source":9,)",
             R"("meterChannel":5,"signalPresent":true,"signalFormat":31,"signal":"1080p60",)",
             R"({"input":3,"name":"CAM \"3\"","umdTextColour":"Red","umdBackColour":"Trans"})",
         }) {
        EXPECT_NE(json.out.find(part), std::string::npos) << part;
    }
    EXPECT_TRUE(json.out.ends_with(",4]}\n"));

    const Outcome text = Run("127.0.0.2", {"mv", "state"});
    ASSERT_EQ(text.status, kExitSuccess) << text.err;
    for (const std::string part :
         {"layout:         92\n", "mode:           switcher\n", "output format:  1080p25\n",
          "    3  Red         Trans       CAM \"3\"\n", "custom name:    Studio A\n"}) {
        EXPECT_NE(text.out.find(part), std::string::npos) << part;
    }
}

TEST_F(CtlAgainstUnits, MatrixStatusAsTheUnitHoldsIt) {
    m_simulator.Invoke([this] {
        sim::MatrixSettings& s = m_mxModel->Settings();
        s.routing = {8, 7, 6, 5, 4, 3, 2, 1};
        s.locked = 1;
        s.dhcp = 1;
        s.customName = u"Rack B";
        s.backlightTime = 2;
        s.backlightBrightness = 55;
    });
    const Outcome json = Run("127.0.0.3", {"mx", "status", "--json"});
    EXPECT_EQ(json.status, kExitSuccess) << json.err;
    EXPECT_EQ(json.out, R"({"routing":[8,7,6,5,4,3,2,1],"locked":true,"dhcp":true,"name":"Rack B",)"
                        R"("backlight":{"time":2,"timeText":"15s Off","brightness":55}})"
                        "\n");
    const Outcome text = Run("127.0.0.3", {"mx", "status"});
    EXPECT_EQ(text.status, kExitSuccess) << text.err;
    EXPECT_EQ(text.out, "routing:       1<8 2<7 3<6 4<5 5<4 6<3 7<2 8<1\n"
                        "lock:          locked\n"
                        "address mode:  dhcp\n"
                        "name:          Rack B\n"
                        "backlight:     15s Off, brightness 55\n");
}

// Export, change one name in the file, import: only that name goes to the unit.
TEST_F(CtlAgainstUnits, NamesCsvRoundTrip) {
    WithMultiviewer([](sim::MultiviewerSettings& s) {
        for (std::size_t i = 0; i < s.inputNames.size(); ++i) {
            s.inputNames[i] = u"IN " + ToU16(std::to_string(i + 1));
        }
        s.inputNames[6] = u"Cam, \"wide\"";
    });
    const std::string path =
        (std::filesystem::temp_directory_path() / ("brenvik_ctl_names_" + std::to_string(getpid()) + ".csv"))
            .string();
    const Outcome exported = Run("127.0.0.2", {"mv", "names", "export", path});
    ASSERT_EQ(exported.status, kExitSuccess) << exported.err;
    std::string csv;
    {
        std::ifstream in(path);
        csv.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string expected = "input,name\n";
    for (int n = 1; n <= 16; ++n) {
        expected +=
            std::to_string(n) + "," + (n == 7 ? "\"Cam, \"\"wide\"\"\"" : "IN " + std::to_string(n)) + "\n";
    }
    ASSERT_EQ(csv, expected);

    csv.replace(csv.find("3,IN 3\n"), 7, "3,CAM 3\n");
    std::ofstream(path) << csv;
    Outcome imported{};
    const auto heard = Heard(kMultiviewer, "127.0.0.2", {"mv", "names", "import", path}, 2, &imported);
    EXPECT_EQ(imported.out, "input 3: CAM 3 (was IN 3)\n");
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0][frame_offset::kOpcode], 0x0A); // the unit's names are read first
    EXPECT_EQ(heard[1], BuildInputNameFrame(kTypeMultiviewer, 1, kLan, 3, ToUtf16le(u"CAM 3")));

    // Now the unit holds every name of the file: only the read goes out.
    const auto again = Heard(kMultiviewer, "127.0.0.2", {"mv", "names", "import", path}, 1, &imported);
    EXPECT_EQ(imported.out, "every name is as the file has it\n");
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0][frame_offset::kOpcode], 0x0A);
    std::filesystem::remove(path);
}

TEST_F(CtlAgainstUnits, DiscoverListsEveryUnit) {
    const Outcome json = Run("", {"--wait", "1000", "discover", "--json"});
    EXPECT_EQ(json.status, kExitSuccess) << json.err;
    EXPECT_EQ(json.out,
              R"([{"model":"PQV-16","reportedModel":"16CH Monitorgrid","address":"127.0.0.2","type":161,)"
              R"("kind":"multiviewer","unitAddress":1,"id":"11223344"},)"
              R"({"model":"PQT-8","reportedModel":"PQT0642","address":"127.0.0.3","type":130,)"
              R"("kind":"matrix","unitAddress":1,"id":"0A0B0C0D"}])"
              "\n");
    const Outcome table = Run("", {"--wait", "1000", "discover"});
    EXPECT_EQ(table.status, kExitSuccess) << table.err;
    EXPECT_EQ(table.out, "MODEL             ADDRESS          TYPE  KIND         UNIT  ID\n"
                         "PQV-16            127.0.0.2        0xA1  multiviewer  1     11223344\n"
                         "PQT-8             127.0.0.3        0x82  matrix       1     0A0B0C0D\n");
}

// A unit that does not answer: exit status 1 and a line that says which query went unanswered.
// A matrix switcher's reply from another address is not the queried unit's answer.
TEST_F(CtlAgainstUnits, SilentUnitGivesExitStatusOne) {
    m_simulator.Invoke([this] {
        m_mvModel->SetAnswersStateQueries(false);
        m_mxModel->Fault() = sim::MatrixReplyFault::Silent;
    });
    const struct {
        std::string unit;
        std::vector<std::string> words;
        std::string message;
    } cases[] = {
        {"127.0.0.2", {"mv", "state"}, "the unit did not answer the state query"},
        {"127.0.0.2", {"mv", "names", "export", "/dev/null"}, "the unit did not answer the state query"},
        {"127.0.0.3", {"mx", "status"}, "the unit did not answer the state query"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.unit, c.words);
        EXPECT_EQ(outcome.status, kExitNoAnswer);
        EXPECT_EQ(outcome.err, "brenvik-ctl: " + c.message + "\n");
        EXPECT_EQ(outcome.out, "");
    }
    m_simulator.Invoke([this] { m_mxModel->Fault() = sim::MatrixReplyFault::None; });
    const Outcome elsewhere = Run("127.0.0.9", {"mx", "status"});
    EXPECT_EQ(elsewhere.status, kExitNoAnswer);
    EXPECT_EQ(elsewhere.err, "brenvik-ctl: the unit did not answer the state query\n");
}

// While another program holds the local port, nothing can leave: the program says so and does
// not report the command as sent.
TEST_F(CtlAgainstUnits, HeldLocalPortIsNoSuccess) {
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder && holder->Bind(Ipv4Address{{}, m_endpoints.localPort}));
    const std::string held = "brenvik-ctl: local UDP port " + std::to_string(m_endpoints.localPort) +
                             " is held by another program\n";
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"mv", "layout", "40"}, {"mx", "route", "one-to-one"}, {"mv", "state"}}) {
        const Outcome outcome = Run("127.0.0.2", words);
        EXPECT_EQ(outcome.status, kExitNoAnswer) << words[1];
        EXPECT_EQ(outcome.err, held);
    }
    EXPECT_EQ(m_simulator.Unit(kMultiviewer).ReceivedCount(), 0u);
}

// `watch` shows each report as it arrives, and ends cleanly when asked to.
TEST_F(CtlAgainstUnits, WatchShowsEachReportUntilStopped) {
    const struct {
        std::vector<std::string> words;
        std::string shown;
    } cases[] = {
        {{"watch"}, "layout code=92\numd window=5 on=off\n"},
        {{"--id", "11223344", "watch", "--json"},
         "{\"report\":\"layout\",\"opcode\":51,\"code\":92}\n{\"report\":\"umd\",\"opcode\":54,\"window\":5,"
         "\"on\":0}\n"},
    };
    for (const auto& c : cases) {
        std::mutex mutex; // guards shown
        std::condition_variable changed;
        int shown = 0;
        std::promise<void> listening;
        std::stop_source stop;
        CtlHooks hooks;
        hooks.stop = stop.get_token();
        hooks.watching = [&] { listening.set_value(); };
        hooks.reportShown = [&] {
            std::lock_guard lock(mutex);
            ++shown;
            changed.notify_all();
        };
        Outcome watched{};
        std::thread watcher([&] { watched = Run("127.0.0.2", c.words, hooks); });
        const bool ready = listening.get_future().wait_for(kArrival) == std::future_status::ready;
        EXPECT_TRUE(ready);
        if (ready) {
            EXPECT_EQ(Run("127.0.0.2", {"mv", "layout", "92"}).status, kExitSuccess);
            EXPECT_EQ(Run("127.0.0.2", {"mv", "umd", "5", "off"}).status, kExitSuccess);
            std::unique_lock lock(mutex);
            EXPECT_TRUE(changed.wait_for(lock, kArrival, [&] { return shown >= 2; }));
        }
        stop.request_stop();
        watcher.join();
        EXPECT_EQ(watched.status, kExitSuccess) << watched.err;
        EXPECT_EQ(watched.out, c.shown);
    }
}

// --serial carries the same commands, queries and search over the line, with link byte 0.
TEST(CtlOverSerialLine, CommandsQueriesAndSearch) {
    sim::UnitConfig config;
    config.typeCode = kTypeMultiviewer;
    config.unitId = {0x11, 0x22, 0x33, 0x44};
    config.modelName = Bytes("16CH Monitorgrid");
    sim::SerialUnitSimulator unit(config);
    ASSERT_TRUE(unit.Start()) << unit.StartError();
    const auto run = [&](std::vector<std::string> words) {
        words.insert(words.begin(), {"--serial", unit.PortPath(), "--baud", "115200"});
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCtl(words, out, err);
        return Outcome{status, out.str(), err.str()};
    };

    const Outcome layout = run({"mv", "layout", "92"});
    EXPECT_EQ(layout.status, kExitSuccess) << layout.err;
    ASSERT_TRUE(unit.Unit().WaitForReceived(1, kArrival));
    EXPECT_EQ(unit.Unit().Received().back(),
              BuildFrame(kTypeMultiviewer, 1, 0, 0x33, std::vector<std::uint8_t>{92}));

    const Outcome state = run({"mv", "state", "--json"});
    EXPECT_EQ(state.status, kExitSuccess) << state.err;
    EXPECT_TRUE(state.out.starts_with(R"({"layout":92,)")) << state.out;

    const Outcome search = run({"discover"});
    EXPECT_EQ(search.status, kExitSuccess) << search.err;
    EXPECT_EQ(search.out, "MODEL             ADDRESS          TYPE  KIND         UNIT  ID\n"
                          "PQV-16            serial           0xA1  multiviewer  1     00000000\n");
}

} // namespace
} // namespace brenvik::ctl
