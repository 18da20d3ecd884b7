#include "marker_frame.h"

#include "app/console_pages.h"
#include "app/main_window.h"

#include "controls/picture_button.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/ui/console_page.h"
#include "multiviewer/ui/layout_preview.h"
#include "multiviewer/ui/pages/multiviewer_signals.h"
#include "multiviewer/ui/pages/page_controls.h"
#include "multiviewer/ui/pages/page_type.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kOpcodeSetSwitcherMode = 0x62;
constexpr int kMultiviewerModeButton = 1154;
constexpr int kSwitcherModeButton = 1082;
// The faces of the two mode buttons: plain and selected.
constexpr int kMultiviewerModeFace = 460;
constexpr int kMultiviewerModeSelectedFace = 461;
constexpr int kSwitcherModeFace = 458;
constexpr int kSwitcherModeSelectedFace = 459;
const std::string kLeavingSwitcherWarning = "Exiting Switcher Mode will default the Matrix to one-to-one "
                                            "until you return to Switcher Mode. \nAre you sure? ";
const std::string kLeavingMultiviewerWarning =
    "Exiting Multi-viewer Mode will make Loopout return to the status you set for Switcher Mode last time. "
    "\nAre you sure? ";

// What the operator sees of the console page's mode: both mode buttons' faces, which page buttons
// show and the face of each, and the setting page shown.
struct ModeView {
    int multiviewerFace;
    int switcherFace;
    std::vector<std::pair<int, int>> pageButtons; // visible ones: number, face
    std::uint8_t pageType;
    bool operator==(const ModeView&) const = default;
};

void PrintTo(const ModeView& view, std::ostream* os) {
    *os << "faces " << view.multiviewerFace << "/" << view.switcherFace << ", page " << int{view.pageType}
        << ", buttons";
    for (const auto& [id, face] : view.pageButtons) {
        *os << " " << id << ":" << face;
    }
}

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
            ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->Initialised(); }));
        }
    }

    CClass_child_main_dlg* Page() { return qobject_cast<CClass_child_main_dlg*>(m_window->CurrentPage()); }
    PictureButton* Button(int id) { return Page()->findChild<PictureButton*>(QString::number(id)); }
    const MultiviewerState& State() { return m_window->State().multiviewer.State(); }

    // The switcher-mode values the unit received, in order, up to a marker sent now: whatever the
    // console sent before this call is among them.
    std::vector<int> SwitcherModesSent() {
        std::vector<int> modes;
        const std::vector<Frame> received = test::ReceivedBeforeMarker(
            m_window->State().link, m_window->State().devices.Selected(), m_simulator->Unit(0));
        for (const Frame& frame : test::WithOpcode(received, kOpcodeSetSwitcherMode)) {
            modes.push_back(frame.size() > 17 ? frame[17] : -1);
        }
        return modes;
    }

    std::vector<int> VisiblePageButtons() {
        std::vector<int> visible;
        for (const auto& [id, face] : View().pageButtons) {
            visible.push_back(id);
        }
        return visible;
    }

    ModeView View() {
        ModeView view{Button(kMultiviewerModeButton)->ShownPicture(),
                      Button(kSwitcherModeButton)->ShownPicture(),
                      {},
                      Page()->ShownPageType()};
        for (int id : {1009, 1010, 1011, 1012, 1015, 1016}) {
            if (Button(id)->isVisibleTo(Page())) {
                view.pageButtons.emplace_back(id, Button(id)->ShownPicture());
            }
        }
        return view;
    }

    // The unit replaces its settings and says so; true once the console has read them again.
    bool UnitReplacesSettings(const sim::MultiviewerSettings& settings) {
        MultiviewerSignals changes(m_window->State().multiviewer);
        int replaced = 0;
        QObject::connect(&changes, &MultiviewerSignals::replaced, &changes, [&replaced] { ++replaced; });
        m_simulator->Invoke([&] { m_model->ReplaceSettings(m_simulator->Unit(0), settings); });
        return QTest::qWaitFor([&] { return replaced > 0; });
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
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->Initialised(); }, 1000));
    EXPECT_FALSE(Page()->Reading());
}

struct OpeningCase {
    std::uint8_t switcherMode;
    ModeView view;
};

// The page opens on the unit's mode, says so on the mode buttons, and sends that mode; no warning.
TEST_F(ConsolePageTest, AUnitOpensOnThePageOfItsModeWithoutAWarning) {
    const std::vector<OpeningCase> cases{
        {0,
         {kMultiviewerModeSelectedFace,
          kSwitcherModeFace,
          {{1009, 291}, {1010, 294}, {1011, 286}, {1012, 288}, {1016, 284}},
          kPageLayout}},
        {1, {kMultiviewerModeFace, kSwitcherModeSelectedFace, {{1015, 293}}, kPageSwitcher}},
    };
    for (const OpeningCase& c : cases) {
        Open(c.switcherMode);
        EXPECT_EQ(View(), c.view) << int{c.switcherMode};
        EXPECT_EQ(SwitcherModesSent(), std::vector<int>{c.switcherMode});
        EXPECT_TRUE(m_dialogs.Questions().empty());
        EXPECT_TRUE(Page()->ReceiverRunning());
        m_window.reset();
        m_simulator.reset();
    }
}

TEST_F(ConsolePageTest, EverySwitchSendsTheSwitcherModeAndTheShownPageSendsNothing) {
    Open(0);
    QTest::mouseClick(Button(1009), Qt::LeftButton); // LAYOUT is shown already
    QTest::mouseClick(Button(1011), Qt::LeftButton); // COLORS
    QTest::mouseClick(Button(1016), Qt::LeftButton); // AUDIO
    EXPECT_EQ(Page()->ShownPageType(), kPageAudio);
    EXPECT_EQ(SwitcherModesSent(), (std::vector<int>{0, 0, 0}));

    QTest::mouseClick(Button(kSwitcherModeButton), Qt::LeftButton);
    EXPECT_EQ(m_dialogs.Questions(), std::vector<std::string>{kLeavingMultiviewerWarning});
    EXPECT_EQ(Page()->ShownPageType(), kPageSwitcher);
    EXPECT_EQ(State().switcherMode, 1);
    EXPECT_EQ(Page()->Preview().Kind(), PreviewKind::SwitcherGrid);
    EXPECT_EQ(SwitcherModesSent(), (std::vector<int>{0, 0, 0, 1}));
}

struct CancelCase {
    std::uint8_t switcherMode;
    int clicked;
    std::string warning;
};

// The operator cancels the warning of a change of mode: the mode buttons, the page buttons and the
// page stay as they were, and nothing is sent; the mode button then asks again and goes through.
TEST_F(ConsolePageTest, CancellingTheModeWarningChangesNoButtonAndSendsNothing) {
    const std::vector<CancelCase> cases{
        {0, kSwitcherModeButton, kLeavingMultiviewerWarning},
        {1, kMultiviewerModeButton, kLeavingSwitcherWarning},
    };
    for (const CancelCase& c : cases) {
        Open(c.switcherMode);
        const ModeView before = View();
        m_dialogs.AnswerNext(false);
        QTest::mouseClick(Button(c.clicked), Qt::LeftButton);
        EXPECT_EQ(m_dialogs.Questions().back(), c.warning);
        EXPECT_EQ(View(), before) << c.clicked;
        EXPECT_EQ(State().switcherMode, c.switcherMode);
        EXPECT_EQ(SwitcherModesSent(), std::vector<int>{c.switcherMode}) << c.clicked;

        QTest::mouseClick(Button(c.clicked), Qt::LeftButton); // OK this time
        EXPECT_NE(View(), before) << c.clicked;
        EXPECT_EQ(SwitcherModesSent(), (std::vector<int>{c.switcherMode, 1 - c.switcherMode})) << c.clicked;
        m_window.reset();
        m_simulator.reset();
    }
}

// While locked neither the mode buttons nor the page buttons ask anything or change anything; only a
// read of the unit lets the next switch through, once.
TEST_F(ConsolePageTest, WhileLockedNothingIsAskedOrChangedUntilTheUnitIsReadAgain) {
    Open(0);
    m_window->ToggleLock();
    const ModeView before = View();
    for (const int id : {kSwitcherModeButton, kMultiviewerModeButton, 1011, 1016}) {
        QTest::mouseClick(Button(id), Qt::LeftButton);
        EXPECT_EQ(View(), before) << id;
    }
    EXPECT_TRUE(m_dialogs.Questions().empty());
    EXPECT_EQ(SwitcherModesSent(), std::vector<int>{0});

    ASSERT_TRUE(UnitReplacesSettings(sim::MultiviewerSettings::Factory()));
    QTest::mouseClick(Button(1011), Qt::LeftButton);
    EXPECT_EQ(Page()->ShownPageType(), kPageColors);
    QTest::mouseClick(Button(1012), Qt::LeftButton);
    EXPECT_EQ(Page()->ShownPageType(), kPageColors);
    EXPECT_TRUE(m_dialogs.Questions().empty());
}

TEST_F(ConsolePageTest, WithoutTheStatusSocketThePageWorksWithoutReports) {
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder && holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.statusPort}));
    Open(0);
    EXPECT_FALSE(Page()->ReceiverRunning());
    const std::vector<std::string> debug = m_dialogs.DebugLines();
    EXPECT_NE(std::find(debug.begin(), debug.end(), "create socket fail\n"), debug.end());
    EXPECT_EQ(Page()->ShownPageType(), kPageLayout);
}

TEST_F(ConsolePageTest, ThePreviewFollowsTheLayoutTheUnitReports) {
    Open(0);
    ASSERT_EQ(State().layoutCode, 40);
    // Layout 40 covers the top-left quarter with window 1; layout 80 leaves the top rows empty.
    EXPECT_NE(Page()->Preview().Canvas().pixelColor(100, 60), QColor(152, 152, 152));

    m_simulator->Invoke([this] {
        const std::uint8_t layout80[] = {80};
        m_model->SendReport(m_simulator->Unit(0), 0x33, layout80);
    });
    ASSERT_TRUE(QTest::qWaitFor([this] { return State().layoutCode == 80; }));
    EXPECT_EQ(State().windowRects, ComputeLayoutGeometry(80));
    EXPECT_EQ(Page()->Preview().Canvas().pixelColor(100, 60), QColor(152, 152, 152));
}

// The unit's reports are kept whole whatever page is shown: a label switched off at the unit while
// the LAYOUT page is shown is off on the UMD OVERLAY page as it opens.
TEST_F(ConsolePageTest, AReportForAnotherPageIsShownWhenThatPageOpens) {
    Open(0);
    m_simulator->Invoke([this] {
        const std::uint8_t window4Off[] = {4, 0};
        m_model->SendReport(m_simulator->Unit(0), 0x36, window4Off);
    });
    ASSERT_TRUE(QTest::qWaitFor([this] { return State().umdOn.At(4) == 0; }));
    QTest::mouseClick(Button(1010), Qt::LeftButton);
    auto* label = Page()->ShownSettingPage()->findChild<PictureButton*>(
        QString::number(page_control::UmdWindowButton(4)));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->ShownPicture(), page_control::UmdWindowPicture(4, false));
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
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->Initialised(); }));
    EXPECT_TRUE(Page()->ReceiverRunning());
}

} // namespace
} // namespace brenvik
