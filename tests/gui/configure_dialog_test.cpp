#include "app/configure_dialog.h"
#include "app/console_state.h"
#include "app/ip_address_field.h"
#include "app/main_window.h"
#include "sim/serial_unit_simulator.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_dialogs.h"
#include "tests/unit/link/pty_pair.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

constexpr auto kArrival = 3000ms;
constexpr std::size_t kAddressAt = 17;
constexpr std::size_t kAddressModeAt = 29;

class ConfigurePage : public ::testing::Test {
protected:
    void StartUnit() {
        m_simulator = std::make_unique<sim::UnitSimulator>(m_endpoints);
        sim::UnitConfig config;
        config.address = {127, 0, 0, 2};
        m_simulator->AddUnit(config);
        ASSERT_TRUE(m_simulator->Start()) << m_simulator->StartError();
        DeviceEntry entry;
        entry.SetIp(m_simulator->Unit(0).Address().DottedText());
        entry.typeCode = config.typeCode;
        entry.unitAddress = config.unitAddress;
        m_state.devices.At(0) = entry;
        m_state.devices.SetSelectedIndex(0);
    }

    CClass_configure_argc_dlg& Open(std::vector<std::string> ports = {}) {
        if (ports.empty() && m_pty.Ok()) {
            ports = {m_pty.SlavePath()};
        }
        m_page = std::make_unique<CClass_configure_argc_dlg>(m_state, m_dialogs, ScreenScale{}, ports);
        m_page->show();
        return *m_page;
    }

    template <typename T> T* Control(const char* id) {
        return m_page->findChild<T*>(QString::fromLatin1(id));
    }

    void Choose(const char* list, int index) {
        auto* box = Control<QComboBox>(list);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    void PressOpenOrClose() {
        QSignalSpy finished(m_page.get(), &CClass_configure_argc_dlg::portOperationFinished);
        Control<QAbstractButton>("1020")->click();
        ASSERT_TRUE(finished.wait(static_cast<int>(kArrival.count())));
    }

    void SetAddresses(const char* address, const char* mask, const char* gateway) {
        Control<IpAddressField>("1016")->setText(QString::fromLatin1(address));
        Control<IpAddressField>("1151")->setText(QString::fromLatin1(mask));
        Control<IpAddressField>("1152")->setText(QString::fromLatin1(gateway));
    }

    // The frames the unit received; the marker sent last shows that everything before it arrived.
    std::vector<Frame> ReceivedAfterMarker() {
        const Frame marker = BuildCustomNameFrame(0xA1, 0x01, 1, {});
        m_state.link.Send(m_state.devices.Selected(), marker);
        const auto arrived = [&] {
            const auto frames = m_simulator->Unit(0).Received();
            return !frames.empty() && frames.back() == marker;
        };
        for (std::size_t count = 1; !arrived() && m_simulator->Unit(0).WaitForReceived(count, kArrival);
             ++count) {
        }
        std::vector<Frame> frames = m_simulator->Unit(0).Received();
        frames.pop_back();
        return frames;
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingDialogs m_dialogs;
    ConsoleState m_state{m_endpoints, m_dialogs};
    test::PtyPair m_pty;
    std::unique_ptr<sim::UnitSimulator> m_simulator;
    std::unique_ptr<CClass_configure_argc_dlg> m_page;
};

struct PortListCase {
    const char* name;
    std::vector<std::string> ports;
    int storedChoice;
    std::vector<std::string> items;
    std::string chosen;
};

void PrintTo(const PortListCase& listCase, std::ostream* out) {
    *out << listCase.name;
}

class ConfigurePortList : public ConfigurePage, public ::testing::WithParamInterface<PortListCase> {};

TEST_P(ConfigurePortList, ListsThePortsAsTextAndChoosesTheStoredOne) {
    m_state.serialPortChoice = GetParam().storedChoice;
    Open(GetParam().ports);
    auto* list = Control<QComboBox>("1018");
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) {
        items.push_back(list->itemText(i).toStdString());
    }
    EXPECT_EQ(items, GetParam().items);
    EXPECT_EQ(list->currentText().toStdString(), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(Ports, ConfigurePortList,
                         ::testing::Values(PortListCase{"SortedAsText",
                                                        {"/dev/ttyS1", "/dev/ttyS3", "/dev/ttyS10"},
                                                        1,
                                                        {"/dev/ttyS1", "/dev/ttyS10", "/dev/ttyS3"},
                                                        "/dev/ttyS10"},
                                           PortListCase{"FewerPortsThanTheStoredChoice",
                                                        {"/dev/ttyUSB0", "/dev/ttyS0"},
                                                        4,
                                                        {"/dev/ttyS0", "/dev/ttyUSB0"},
                                                        "/dev/ttyS0"}));

TEST_F(ConfigurePage, AnOpenedPortShowsAsOpenWhenThePageOpensAgain) {
    ASSERT_TRUE(m_pty.Ok());
    Open();
    Choose("1015", 1);
    Choose("1019", 4);
    PressOpenOrClose();
    EXPECT_TRUE(m_state.serialPortOpened);
    EXPECT_EQ(m_state.baudRateChoice, 4);

    Open();
    EXPECT_FALSE(Control<QComboBox>("1018")->isEnabled());
    EXPECT_FALSE(Control<QComboBox>("1019")->isEnabled());
    EXPECT_EQ(m_page->OpenClosePicture(), 141);
    EXPECT_EQ(Control<QComboBox>("1019")->currentText(), QStringLiteral("115200"));
}

// Neither key closes a window of the console, whichever control of the page has the focus; the
// page closes with its own button.
TEST_F(ConfigurePage, EnterAndEscapeLeaveThePageOpen) {
    Open();
    for (QWidget* target : {static_cast<QWidget*>(m_page.get()), static_cast<QWidget*>(Control<QComboBox>("1015"))}) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(target, key);
            EXPECT_TRUE(m_page->isVisible()) << target->objectName().toStdString() << " key " << key;
        }
    }
    Control<QAbstractButton>("1153")->click();
    EXPECT_FALSE(m_page->isVisible());
}

TEST_F(ConfigurePage, TheLanLeavesThePortOpenAndTheSerialLineOpensItAgain) {
    ASSERT_TRUE(m_pty.Ok());
    Open();
    Choose("1015", 1);
    PressOpenOrClose();
    ASSERT_EQ(m_page->OpenClosePicture(), 141);

    Choose("1015", 0);
    EXPECT_EQ(m_state.link.Mode(), LinkMode::Lan);
    EXPECT_EQ(m_page->OpenClosePicture(), 140);
    EXPECT_TRUE(m_state.serialPortOpened);

    Choose("1015", 1);
    EXPECT_EQ(m_page->OpenClosePicture(), 140);
    PressOpenOrClose();
    EXPECT_TRUE(m_state.serialPortOpened);
    EXPECT_EQ(m_page->OpenClosePicture(), 141);
    // The console's own record says open, so the page opened again offers to disconnect.
    Open();
    EXPECT_EQ(m_page->OpenClosePicture(), 141);

    PressOpenOrClose();
    EXPECT_FALSE(m_state.serialPortOpened);
    EXPECT_EQ(m_page->OpenClosePicture(), 140);
    EXPECT_TRUE(Control<QComboBox>("1018")->isEnabled());
}

TEST_F(ConfigurePage, APortThatCannotBeOpenedLeavesThePageAsItWas) {
    Open({"/dev/brenvik-no-such-port"});
    Choose("1015", 1);
    PressOpenOrClose();
    EXPECT_FALSE(m_state.serialPortOpened);
    EXPECT_EQ(m_page->OpenClosePicture(), 140);
    EXPECT_TRUE(Control<QComboBox>("1018")->isEnabled());
}

TEST_F(ConfigurePage, DhcpSendsZeroAddressesAndModeOne) {
    StartUnit();
    m_state.networkDhcp = 0;
    m_state.networkSettings.fill(0x77);
    Open();
    Choose("1054", 1);
    EXPECT_FALSE(Control<IpAddressField>("1016")->isEnabled());
    const std::vector<Frame> frames = ReceivedAfterMarker();
    ASSERT_EQ(frames.size(), 1u);
    const Frame& frame = frames[0];
    EXPECT_EQ(frame[frame_offset::kOpcode], kOpcodeNetworkConfig);
    EXPECT_EQ(Frame(frame.begin() + kAddressAt, frame.begin() + kAddressModeAt), Frame(12, 0x00));
    EXPECT_EQ(frame[kAddressModeAt], 1);
}

TEST_F(ConfigurePage, ApplySendsTheStaticAddressFirstOctetFirst) {
    StartUnit();
    m_state.networkDhcp = 1;
    Open();
    Choose("1054", 0);
    SetAddresses("192.168.1.100", "255.255.255.0", "192.168.1.1");
    Control<QAbstractButton>("1017")->click();
    const std::vector<Frame> frames = ReceivedAfterMarker();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(Frame(frames[0].begin() + kAddressAt, frames[0].begin() + kAddressModeAt + 1),
              (Frame{0xC0, 0xA8, 0x01, 0x64, 0xFF, 0xFF, 0xFF, 0x00, 0xC0, 0xA8, 0x01, 0x01, 0x00}));
    EXPECT_TRUE(m_dialogs.Errors().empty());
}

TEST_F(ConfigurePage, ApplyInDhcpSendsNothing) {
    StartUnit();
    m_state.networkDhcp = 1;
    Open();
    SetAddresses("192.168.1.100", "255.255.255.0", "192.168.1.1");
    Control<QAbstractButton>("1017")->click();
    EXPECT_TRUE(ReceivedAfterMarker().empty());
}

TEST_F(ConfigurePage, DhcpOnTheLanWithNoUnitAsksForOne) {
    m_state.networkDhcp = 0;
    Open();
    Choose("1054", 1);
    EXPECT_EQ(m_dialogs.Errors(), std::vector<std::string>{"Please choose a device"});
    EXPECT_EQ(m_state.networkDhcp, 1);
    EXPECT_FALSE(Control<IpAddressField>("1151")->isEnabled());
}

struct MissingCase {
    const char* address;
    const char* mask;
    const char* gateway;
    const char* message;
};

class ConfigureMissingAddress : public ConfigurePage, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(ConfigureMissingAddress, NamesTheFirstEmptyFieldAndSendsNothing) {
    StartUnit();
    m_state.networkDhcp = 0;
    Open();
    SetAddresses(GetParam().address, GetParam().mask, GetParam().gateway);
    Control<QAbstractButton>("1017")->click();
    EXPECT_EQ(m_dialogs.Errors(), std::vector<std::string>{GetParam().message});
    EXPECT_TRUE(ReceivedAfterMarker().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ConfigureMissingAddress,
    ::testing::Values(MissingCase{"0.0.0.0", "0.0.0.0", "0.0.0.0", "Please input the IP"},
                      MissingCase{"10.0.0.5", "", "10.0.0.1", "Please input the subnet mask"},
                      MissingCase{"10.0.0.5", "255.0.0.0", "0.0", "Please input the gateway"}));

TEST(IpAddressFieldInput, TakesOnlyFourOctetsOfAtMost255) {
    IpAddressField field;
    field.show();
    QTest::keyClicks(&field, QStringLiteral("192.168.300.1x.5"));
    // "300", the "x" and a fifth part are refused as they are typed.
    EXPECT_EQ(field.text(), QStringLiteral("192.168.30.15"));
    EXPECT_EQ(field.Octets(), (std::array<std::uint8_t, 4>{192, 168, 30, 15}));
}

TEST(ConfigurePageWindow, TheSettingsButtonOpensANewPageOverTheWindow) {
    test::RecordingDialogs dialogs;
    CVARNOLUX_16_VIEWDlg window({test::LoopbackEndpoints(), ScreenScale{144, 144}, &dialogs});
    window.show();
    window.findChild<QAbstractButton*>(QStringLiteral("1004"))->click();
    QPointer<CClass_configure_argc_dlg> first = window.ConfigurePage();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->size(), QSize(660, 729));
    EXPECT_EQ(first->pos(), window.pos() + QPoint(150, 60));
    window.findChild<QAbstractButton*>(QStringLiteral("1004"))->click();
    EXPECT_EQ(first, nullptr);
    EXPECT_NE(window.ConfigurePage(), nullptr);
}

// A newcomer's way to a unit on the serial line: the settings button, "Serial Port", the port,
// connect, then search.
class SerialSearchWindow : public ::testing::Test {
protected:
    void ConnectTo(const std::string& port) {
        setenv("BRENVIK_SERIAL_PORTS", port.c_str(), 1);
        m_window.show();
        m_window.findChild<QAbstractButton*>(QStringLiteral("1004"))->click();
        CClass_configure_argc_dlg* page = m_window.ConfigurePage();
        ASSERT_NE(page, nullptr);
        auto* mode = page->findChild<QComboBox*>(QStringLiteral("1015"));
        mode->setCurrentIndex(1);
        emit mode->activated(1);
        auto* ports = page->findChild<QComboBox*>(QStringLiteral("1018"));
        const int index = ports->findText(QString::fromStdString(port));
        ASSERT_GE(index, 0);
        ports->setCurrentIndex(index);
        emit ports->activated(index);
        QSignalSpy finished(page, &CClass_configure_argc_dlg::portOperationFinished);
        page->findChild<QAbstractButton*>(QStringLiteral("1020"))->click();
        ASSERT_TRUE(finished.wait(static_cast<int>(kArrival.count())));
        ASSERT_TRUE(m_window.State().serialPortOpened);
        unsetenv("BRENVIK_SERIAL_PORTS");
    }

    void Search() {
        QSignalSpy finished(&m_window, &CVARNOLUX_16_VIEWDlg::searchFinished);
        m_window.SearchUnits();
        ASSERT_TRUE(finished.wait(10000));
    }

    QString Status() { return m_window.findChild<QLabel*>(QStringLiteral("1007"))->text(); }
    QComboBox* DeviceList() { return m_window.findChild<QComboBox*>(QStringLiteral("1003")); }

    test::RecordingDialogs m_dialogs;
    CVARNOLUX_16_VIEWDlg m_window{{test::LoopbackEndpoints(), ScreenScale{}, &m_dialogs}};
};

TEST_F(SerialSearchWindow, FindsTheUnitOnThePortByItsNameAlone) {
    sim::UnitConfig config;
    config.address = {127, 0, 6, 2};
    const std::string name = "16CH Monitorgrid";
    config.modelName.assign(name.begin(), name.end());
    sim::SerialUnitSimulator unit(config);
    ASSERT_TRUE(unit.Start()) << unit.StartError();
    ConnectTo(unit.PortPath());
    Search();
    EXPECT_EQ(DeviceList()->count(), 1);
    EXPECT_EQ(DeviceList()->itemText(0), QStringLiteral("PQV-16"));
    EXPECT_EQ(Status(), QStringLiteral("Connected - 1"));
    EXPECT_EQ(m_window.State().devices.SelectedIndex(), 0);
    EXPECT_TRUE(m_dialogs.Errors().empty());
}

// Nothing answers: nothing is selected, so the next command addresses no all-zero entry.
TEST_F(SerialSearchWindow, FindingNothingSelectsNothing) {
    test::PtyPair silent;
    ASSERT_TRUE(silent.Ok());
    ConnectTo(silent.SlavePath());
    Search();
    EXPECT_EQ(DeviceList()->itemText(0), QStringLiteral("No Device Found"));
    EXPECT_EQ(Status(), QStringLiteral("No Device Connected"));
    EXPECT_EQ(m_window.State().devices.SelectedIndex(), -1);
}

TEST_F(SerialSearchWindow, AClosedPortIsToldAndLeavesTheListAsItWas) {
    m_window.State().link.SetMode(LinkMode::Serial);
    Search();
    EXPECT_EQ(m_dialogs.Errors(), std::vector<std::string>{"Please open the serial port first!"});
}

} // namespace
} // namespace brenvik
