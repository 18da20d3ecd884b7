#include "app/console_pages.h"
#include "app/main_window.h"

#include "controls/picture_button.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/page_type.h"
#include "multiviewer/ui/console_page.h"
#include "multiviewer/ui/layout_preview.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/qt_wait.h"
#include "support/recording_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kOpcodeSetSwitcherMode = 0x62;
const std::string kLeavingSwitcherWarning = "Exiting Switcher Mode will default the Matrix to one-to-one "
                                            "until you return to Switcher Mode. \nAre you sure? ";
const std::string kLeavingMultiviewerWarning =
    "Exiting Multi-viewer Mode will make Loopout return to the status you set for Switcher Mode last time. "
    "\nAre you sure? ";

using test::WaitUntil;

class ConsolePageTest : public ::testing::Test {
protected:
    void Open(std::uint8_t switcherMode, bool answersStateQueries = true) {
        sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
        settings.switcherMode = switcherMode;
        m_simulator = std::make_unique<sim::UnitSimulator>(m_endpoints);
        auto model = std::make_unique<sim::MultiviewerModel>(settings);
        model->SetAnswersStateQueries(answersStateQueries);
        m_model = model.get();
        m_simulator->AddUnit({{127, 0, 0, 31}, kTypeMultiviewer, 0x01, {'M', 'V'}, {0xC0, 0xFF, 0xEE, 0x01}},
                             std::move(model));
        ASSERT_TRUE(m_simulator->Start()) << m_simulator->StartError();

        m_window = std::make_unique<CVARNOLUX_16_VIEWDlg>(ConsoleWindowSetup{m_endpoints, {}, &m_dialogs});
        RegisterConsolePages(*m_window);
        m_window->show();

        DeviceEntry entry;
        entry.SetIp("127.0.0.31");
        entry.typeCode = kTypeMultiviewer;
        entry.unitAddress = 0x01;
        entry.unitId = {0xC0, 0xFF, 0xEE, 0x01};
        m_window->State().devices.At(0) = entry;
        m_window->State().devices.SetSelectedIndex(0);
        // The page opens only while the list holds an item, as after a search.
        m_window->findChild<QComboBox*>(QStringLiteral("1003"))->addItem(QStringLiteral("MV_127.0.0.31"));
        m_window->OpenUnitPage();
        ASSERT_NE(Page(), nullptr);
        if (answersStateQueries) {
            ASSERT_TRUE(WaitUntil([this] { return Page()->Initialised(); }));
        }
    }

    CClass_child_main_dlg* Page() { return qobject_cast<CClass_child_main_dlg*>(m_window->CurrentPage()); }
    PictureButton* Button(int id) { return Page()->findChild<PictureButton*>(QString::number(id)); }
    MultiviewerState& State() { return m_window->State().multiviewer; }

    // The switcher-mode values the unit received, in order.
    std::vector<int> SwitcherModesSent() {
        std::vector<int> modes;
        for (const Frame& frame : m_simulator->Unit(0).Received()) {
            if (frame.size() > 17 && frame[16] == kOpcodeSetSwitcherMode) {
                modes.push_back(frame[17]);
            }
        }
        return modes;
    }
    bool WaitForModes(std::size_t count) {
        return WaitUntil([&] { return SwitcherModesSent().size() >= count; });
    }

    std::vector<int> VisiblePageButtons() {
        std::vector<int> visible;
        for (int id : {1009, 1010, 1011, 1012, 1015, 1016}) {
            if (Button(id)->isVisibleTo(Page())) {
                visible.push_back(id);
            }
        }
        return visible;
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingDialogs m_dialogs;
    std::unique_ptr<sim::UnitSimulator> m_simulator;
    sim::MultiviewerModel* m_model = nullptr; // owned by the simulator
    std::unique_ptr<CVARNOLUX_16_VIEWDlg> m_window;
};

// While the unit's state is read the page says so and the window keeps working; opening another unit
// cancels the read on the link at once, so the next page's read does not wait behind it.
TEST_F(ConsolePageTest, OpeningAnotherUnitCancelsTheStateReadUnderWay) {
    Open(0, false);
    EXPECT_TRUE(Page()->Reading());
    EXPECT_FALSE(Page()->Initialised());
    ASSERT_TRUE(m_simulator->Unit(0).WaitForReceived(1, 2s));
    m_simulator->Invoke([this] { m_model->SetAnswersStateQueries(true); });
    m_window->OpenUnitPage();
    // Well inside the 2000 ms the first read would still wait for its silent unit.
    ASSERT_TRUE(WaitUntil([this] { return Page()->Initialised(); }, 1000ms));
    EXPECT_FALSE(Page()->Reading());
}

TEST_F(ConsolePageTest, AUnitInSwitcherModeOpensOnTheSwitcherPageWithoutAWarning) {
    Open(1);
    EXPECT_EQ(State().pageType, kPageSwitcher);
    EXPECT_EQ(VisiblePageButtons(), (std::vector<int>{1015}));
    ASSERT_TRUE(WaitForModes(1));
    EXPECT_EQ(SwitcherModesSent(), std::vector<int>{1});
    EXPECT_TRUE(m_dialogs.Questions().empty());
    EXPECT_TRUE(Page()->ReceiverRunning());
}

TEST_F(ConsolePageTest, AUnitInMultiviewerModeOpensOnTheLayoutPage) {
    Open(0);
    EXPECT_EQ(State().pageType, kPageLayout);
    EXPECT_EQ(VisiblePageButtons(), (std::vector<int>{1009, 1010, 1011, 1012, 1016}));
    ASSERT_TRUE(WaitForModes(1));
    EXPECT_EQ(SwitcherModesSent(), std::vector<int>{0});
    EXPECT_TRUE(m_dialogs.Questions().empty());
}

TEST_F(ConsolePageTest, EverySwitchSendsTheSwitcherModeAndTheShownPageSendsNothing) {
    Open(0);
    ASSERT_TRUE(WaitForModes(1));
    QTest::mouseClick(Button(1009), Qt::LeftButton); // LAYOUT is shown already
    QTest::mouseClick(Button(1011), Qt::LeftButton); // COLORS
    QTest::mouseClick(Button(1016), Qt::LeftButton); // AUDIO
    EXPECT_EQ(State().pageType, kPageAudio);
    ASSERT_TRUE(WaitForModes(3));
    EXPECT_EQ(SwitcherModesSent(), (std::vector<int>{0, 0, 0}));

    QTest::mouseClick(Page()->findChild<PictureButton*>(QStringLiteral("1082")), Qt::LeftButton);
    EXPECT_EQ(m_dialogs.Questions(), std::vector<std::string>{kLeavingMultiviewerWarning});
    EXPECT_EQ(State().pageType, kPageSwitcher);
    EXPECT_EQ(State().switcherMode, 1);
    ASSERT_TRUE(WaitForModes(4));
    EXPECT_EQ(SwitcherModesSent().back(), 1);
}

TEST_F(ConsolePageTest, CancellingTheSwitcherWarningKeepsTheSwitcherPage) {
    Open(1);
    ASSERT_TRUE(WaitForModes(1));
    m_dialogs.AnswerNext(false);
    QTest::mouseClick(Page()->findChild<PictureButton*>(QStringLiteral("1154")), Qt::LeftButton);
    EXPECT_EQ(m_dialogs.Questions(), std::vector<std::string>{kLeavingSwitcherWarning});
    EXPECT_EQ(State().pageType, kPageSwitcher);
    // The mode buttons show the Multiviewer Mode set all the same.
    EXPECT_EQ(VisiblePageButtons(), (std::vector<int>{1009, 1010, 1011, 1012, 1016}));
    QTest::qWait(50);
    EXPECT_EQ(SwitcherModesSent().size(), 1u);

    QTest::mouseClick(Button(1009), Qt::LeftButton); // OK this time
    EXPECT_EQ(State().pageType, kPageLayout);
    ASSERT_TRUE(WaitForModes(2));
    EXPECT_EQ(SwitcherModesSent().back(), 0);
}

TEST_F(ConsolePageTest, TheLockStopsASwitchExceptRightAfterAStateRead) {
    Open(0);
    ASSERT_TRUE(WaitForModes(1));
    m_window->ToggleLock();
    QTest::mouseClick(Button(1011), Qt::LeftButton);
    EXPECT_EQ(State().pageType, kPageLayout);

    State().stateLoaded = true; // as a state read leaves it
    QTest::mouseClick(Button(1011), Qt::LeftButton);
    EXPECT_EQ(State().pageType, kPageColors);
    QTest::mouseClick(Button(1012), Qt::LeftButton);
    EXPECT_EQ(State().pageType, kPageColors);
}

TEST_F(ConsolePageTest, WithoutTheStatusSocketThePageWorksWithoutReports) {
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder && holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.statusPort}));
    Open(0);
    EXPECT_FALSE(Page()->ReceiverRunning());
    const std::vector<std::string> debug = m_dialogs.DebugLines();
    EXPECT_NE(std::find(debug.begin(), debug.end(), "create socket fail\n"), debug.end());
    EXPECT_EQ(State().pageType, kPageLayout);
}

TEST_F(ConsolePageTest, ThePreviewFollowsTheLayoutTheUnitReports) {
    Open(0);
    ASSERT_EQ(State().layoutCode, 40);
    const QImage before = Page()->Preview().Canvas();
    // Layout 40 covers the top-left quarter with window 1; layout 80 leaves the top rows empty.
    EXPECT_NE(before.pixelColor(100, 60), QColor(152, 152, 152));

    m_simulator->Invoke([this] {
        auto* model = static_cast<sim::MultiviewerModel*>(m_simulator->Unit(0).Behaviour());
        const std::uint8_t layout80[] = {80};
        model->SendReport(m_simulator->Unit(0), 0x33, layout80);
    });
    ASSERT_TRUE(WaitUntil([this] { return State().layoutCode == 80; }));
    EXPECT_EQ(State().windowRects, ComputeLayoutGeometry(80));
    QTest::qWait(20);
    EXPECT_EQ(Page()->Preview().Canvas().pixelColor(100, 60), QColor(152, 152, 152));
}

TEST_F(ConsolePageTest, ClicksOnThePageStayOnThePage) {
    Open(0);
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    auto* name = m_window->findChild<QLineEdit*>(QStringLiteral("1147"));
    name->setFocus();
    const QPoint before = m_window->pos();
    QTest::mouseClick(&Page()->Preview(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseClick(Page(), Qt::LeftButton, {}, QPoint(1000, 500));
    EXPECT_TRUE(name->hasFocus());
    EXPECT_EQ(m_window->pos(), before);
}

TEST_F(ConsolePageTest, OpeningAnotherUnitStopsTheReceiverOfThePageItReplaces) {
    Open(0);
    QPointer<QWidget> first = m_window->CurrentPage();
    m_window->OpenUnitPage();
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(Page(), nullptr);
    ASSERT_TRUE(WaitUntil([this] { return Page()->Initialised(); }));
    EXPECT_TRUE(Page()->ReceiverRunning());
}

} // namespace
} // namespace brenvik
