#include "link/cn_comm.h"
#include "link/console_link.h"
#include "link/discovery.h"
#include "link/task_queue.h"
#include "matrix/core/matrix_session.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/unit_state_reader.h"
#include "sim/matrix_model.h"
#include "sim/multiviewer_model.h"
#include "sim/serial_unit_simulator.h"
#include "support/await.h"
#include "support/loopback_ports.h"
#include "support/recording_console.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

constexpr auto kArrival = 3000ms;

sim::UnitConfig SerialMultiviewerConfig() {
    sim::UnitConfig config;
    config.address = {127, 0, 6, 1};
    config.typeCode = kTypeMultiviewer;
    config.unitAddress = 0x01;
    config.unitId = {0x11, 0x22, 0x33, 0x44};
    const std::string name = "16CH Monitorgrid";
    config.modelName.assign(name.begin(), name.end());
    return config;
}

// The console's serial port and link against a simulated multiviewer on a pseudo-terminal.
class SerialMultiviewer : public ::testing::Test {
protected:
    SerialMultiviewer() : m_unit(SerialMultiviewerConfig()), m_link(test::LoopbackEndpoints(), m_messages) {
        m_link.SetMode(LinkMode::Serial);
        m_link.AttachSerialPort(&m_port);
    }

    void SetUp() override {
        ASSERT_TRUE(m_unit.Start()) << m_unit.StartError();
        m_link.RunOnLinkThread([this] { m_opened = m_port.Open(m_unit.PortPath(), 115200); });
        ASSERT_TRUE(m_link.WaitUntilIdle(kArrival));
        ASSERT_TRUE(m_opened);
    }

    sim::MultiviewerModel& Model() { return *static_cast<sim::MultiviewerModel*>(m_unit.Unit().Behaviour()); }

    sim::SerialUnitSimulator m_unit;
    test::RecordingMessages m_messages;
    CnComm m_port; // before the link, whose thread uses it until the link goes
    ConsoleLink m_link;
    bool m_opened = false;
};

TEST_F(SerialMultiviewer, SearchFindsTheUnitByItsNameAlone) {
    const auto result = test::Await<DiscoveryResult>([&](auto done) { StartDiscovery(m_link, {}, done); });
    ASSERT_TRUE(result);
    ASSERT_EQ(result->outcome, DiscoveryResult::Outcome::Found);
    ASSERT_EQ(result->units.size(), 1u);
    EXPECT_EQ(result->units[0].modelName, u"16CH Monitorgrid");
    EXPECT_EQ(result->units[0].entry.typeCode, kTypeMultiviewer);
    EXPECT_EQ(result->units[0].entry.unitAddress, 0x01);
    EXPECT_TRUE(result->units[0].entry.Ip().empty());
    const std::vector<Frame> received = m_unit.Unit().Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].size(), 27u);
    EXPECT_EQ(received[0][frame_offset::kLinkByte], 0x00);
}

TEST_F(SerialMultiviewer, StateReadBringsTheUnitsWholeBlock) {
    DeviceEntry unit;
    unit.typeCode = kTypeMultiviewer;
    unit.unitAddress = 0x01;
    const auto read = test::Await<StateRead>([&](auto done) { QueryUnitState(m_link, unit, {}, done); });
    ASSERT_TRUE(read);
    ASSERT_EQ(read->outcome, StateRead::Outcome::Answered);
    std::array<std::uint8_t, 789> expected{};
    m_unit.Simulator().Invoke([&] { expected = sim::EncodeStateBlock(Model().Settings()); });
    EXPECT_EQ(read->block, expected);
}

TEST_F(SerialMultiviewer, ACommandReachesTheUnitByteForByteAndIsApplied) {
    DeviceEntry unit;
    unit.typeCode = kTypeMultiviewer;
    unit.unitAddress = 0x01;
    const std::array<std::uint8_t, 12> none{};
    const Frame dhcp = BuildNetworkConfigFrame(unit.typeCode, unit.unitAddress, m_link.LinkByte(), none, 1);
    // Bytes the unit sent unasked are read and dropped before the frame goes out.
    ASSERT_TRUE(m_link.Send(unit, dhcp));
    ASSERT_TRUE(m_unit.Unit().WaitForReceived(1, kArrival));
    EXPECT_EQ(m_unit.Unit().Received().back(), dhcp);
    std::uint8_t applied = 0;
    m_unit.Simulator().Invoke([&] { applied = Model().Settings().dhcp; });
    EXPECT_EQ(applied, 1);
}

// The session on the serial line: it reads the unit's whole state (a unit found on the line has no
// address) and its commands go out with link byte 0 and are applied.
TEST_F(SerialMultiviewer, SessionReadsTheStateAndItsCommandsAreApplied) {
    m_unit.Simulator().Invoke([&] {
        Model().Settings().layoutCode = 92;
        Model().Settings().customName = u"Serial Rack";
    });
    DeviceTable devices;
    devices.At(0).typeCode = kTypeMultiviewer;
    devices.At(0).unitAddress = 0x01;
    devices.SetSelectedIndex(0);
    bool locked = false;
    TaskQueue ui;
    test::RecordingObserver observer;
    MultiviewerSession session(m_link, devices, locked, ui);
    session.AddObserver(observer);

    std::optional<RereadResult> opened;
    session.Reread(RereadCause::Opening, {}, [&opened](RereadResult r) { opened = r; });
    ASSERT_TRUE(ui.RunUntil([&] { return opened.has_value(); }, kArrival));
    EXPECT_EQ(opened, RereadResult::Answered);
    EXPECT_EQ(session.State().layoutCode, 92);
    EXPECT_EQ(session.State().windowRects, ComputeLayoutGeometry(92));
    EXPECT_EQ(observer.names, std::vector<std::optional<std::u16string>>{u"Serial Rack"});

    const std::size_t before = m_unit.Unit().ReceivedCount();
    ASSERT_TRUE(session.SetLayoutCode(160));
    ASSERT_TRUE(m_unit.Unit().WaitForReceived(before + 1, kArrival));
    EXPECT_EQ(m_unit.Unit().Received().back()[frame_offset::kLinkByte], 0x00);
    std::uint8_t applied = 0;
    m_unit.Simulator().Invoke([&] { applied = Model().Settings().layoutCode; });
    EXPECT_EQ(applied, 160);
    session.RemoveObserver(observer);
}

} // namespace
} // namespace brenvik

namespace brenvik {
namespace {

// The matrix switcher's routing texts travel bare on the serial line: the simulated switcher on a
// pseudo-terminal applies each, in order.
TEST(SerialMatrixSwitcher, RoutingTextsReachTheUnitOverTheLine) {
    sim::UnitConfig config;
    config.address = {127, 0, 6, 2};
    config.typeCode = kTypeMatrixSwitcher;
    config.unitAddress = 0x01;
    const std::string name = "PQT0642";
    config.modelName.assign(name.begin(), name.end());
    sim::SerialUnitSimulator unit(config);
    ASSERT_TRUE(unit.Start()) << unit.StartError();
    test::RecordingMessages messages;
    CnComm port;
    ConsoleLink link(test::LoopbackEndpoints(), messages);
    link.SetMode(LinkMode::Serial);
    link.AttachSerialPort(&port);
    bool opened = false;
    link.RunOnLinkThread([&] { opened = port.Open(unit.PortPath(), 115200); });
    ASSERT_TRUE(link.WaitUntilIdle(kArrival));
    ASSERT_TRUE(opened);

    DeviceTable devices;
    devices.At(0).typeCode = kTypeMatrixSwitcher;
    devices.At(0).unitAddress = 0x01;
    devices.SetSelectedIndex(0);
    bool locked = false;
    TaskQueue queue;
    MatrixSession matrix(link, devices, locked, queue);
    EXPECT_EQ(matrix.Apply(3, MatrixOutputs("10001001")), RoutingOutcome::Sent);
    EXPECT_EQ(matrix.OneToAll(5), RoutingOutcome::Sent);
    EXPECT_EQ(matrix.OneToOne(), RoutingOutcome::Sent);
    ASSERT_TRUE(unit.Unit().WaitForReceived(3, kArrival));
    std::vector<std::string> applied;
    unit.Simulator().Invoke(
        [&] { applied = static_cast<sim::MatrixModel*>(unit.Unit().Behaviour())->RoutingTexts(); });
    EXPECT_EQ(applied, (std::vector<std::string>{"3V1,4,8.", "5All.", "All#."}));
    link.AttachSerialPort(nullptr);
    ASSERT_TRUE(link.WaitUntilIdle(kArrival));
}

} // namespace
} // namespace brenvik
