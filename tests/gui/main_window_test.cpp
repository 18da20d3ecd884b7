#include "marker_frame.h"

#include "app/console_pages.h"
#include "app/device_list_texts.h"
#include "app/main_window.h"

#include "controls/picture_button.h"
#include "link/frame.h"
#include "multiviewer/ui/console_page.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

class MainWindowTest : public ::testing::Test {
protected:
    void StartUnits(const std::vector<sim::UnitConfig>& units) {
        m_simulator = std::make_unique<sim::UnitSimulator>(m_endpoints);
        for (const sim::UnitConfig& unit : units) {
            m_simulator->AddUnit(unit);
        }
        ASSERT_TRUE(m_simulator->Start()) << m_simulator->StartError();
    }

    // With `consolePages` the units' own pages open; otherwise a blank stand-in that counts openings.
    void MakeWindow(ScreenScale scale = {}, bool consolePages = false) {
        m_window = std::make_unique<CVARNOLUX_16_VIEWDlg>(ConsoleWindowSetup{m_endpoints, scale, &m_dialogs});
        if (consolePages) {
            RegisterConsolePages(*m_window);
        } else {
            m_window->Pages().Register(kTypeMultiviewer, [this](QWidget* parent) {
                ++m_pagesOpened;
                return new QWidget(parent);
            });
        }
        m_window->show();
        m_window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    }

    void Search() {
        QSignalSpy finished(m_window.get(), &CVARNOLUX_16_VIEWDlg::searchFinished);
        m_window->SearchUnits();
        ASSERT_TRUE(finished.wait(5000));
    }

    // Addresses unit 0 of the simulator without a search.
    void SelectFirstUnit() {
        const sim::UnitConfig& config = m_simulator->Unit(0).Config();
        DeviceEntry entry;
        entry.SetIp(m_simulator->Unit(0).Address().DottedText());
        entry.typeCode = config.typeCode;
        entry.unitAddress = config.unitAddress;
        entry.unitId = config.unitId;
        m_window->State().devices.At(0) = entry;
        m_window->State().devices.SetSelectedIndex(0);
    }

    template <typename T> T* Control(const char* id) {
        return m_window->findChild<T*>(QString::fromLatin1(id));
    }

    // Every frame unit 0 received, up to a marker sent now: whatever the console sent before this
    // call is among them.
    std::vector<Frame> Received() {
        return test::ReceivedBeforeMarker(m_window->State().link, m_window->State().devices.Selected(),
                                          m_simulator->Unit(0));
    }
    std::vector<Frame> CustomNameFrames() { return test::WithOpcode(Received(), kOpcodeCustomName); }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingDialogs m_dialogs;
    std::unique_ptr<sim::UnitSimulator> m_simulator;
    std::unique_ptr<CVARNOLUX_16_VIEWDlg> m_window;
    int m_pagesOpened = 0;
};

const sim::UnitConfig kMultiviewer{
    {127, 0, 0, 21}, kTypeMultiviewer, 0x01, Bytes("16CH Monitorgrid"), {1, 2, 3, 4}};
const sim::UnitConfig kMatrix{{127, 0, 0, 22}, kTypeMatrixSwitcher, 0x01, Bytes("PQT0642"), {5, 6, 7, 8}};
const sim::UnitConfig kOtherType{{127, 0, 0, 23}, 0x90, 0x02, Bytes("PQA-90"), {9, 9, 9, 9}};

TEST_F(MainWindowTest, ScalesPositionsAndListsButKeepsPictureButtonsAtTheirPixelSize) {
    struct Case {
        ScreenScale scale;
        QSize window;
        QRect list;
        QRect search;
    };
    for (const Case& c : {Case{{96, 96}, {1280, 720}, {45, 80, 320, 40}, {380, 75, 135, 35}},
                          Case{{144, 144}, {1920, 1080}, {67, 120, 480, 60}, {570, 112, 135, 35}}}) {
        MakeWindow(c.scale);
        EXPECT_EQ(m_window->size(), c.window);
        EXPECT_EQ(m_window->pos(), QPoint(0, 0));
        EXPECT_EQ(Control<QComboBox>("1003")->geometry(), c.list);
        EXPECT_EQ(Control<PictureButton>("1002")->geometry(), c.search);
        EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Brenvik Rackmount Control"));
        EXPECT_EQ(Control<QLabel>("1006")->text(), QStringLiteral("Ver 1.0.3.4"));
        EXPECT_EQ(Control<QLabel>("1007")->text(), QStringLiteral("No Device Connected"));
        // No control takes the focus at start.
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("1148"));
    }
}

TEST_F(MainWindowTest, EnterInTheNameFieldSendsTheNameAndNeitherEnterNorEscapeClosesTheWindow) {
    StartUnits({kMultiviewer});
    MakeWindow();
    SelectFirstUnit();
    auto* name = Control<QLineEdit>("1147");
    name->setFocus();
    QTest::keyClicks(name, "AB");
    QTest::keyClick(name, Qt::Key_Return);
    const std::vector<Frame> frames = CustomNameFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0],
              BuildCustomNameFrame(kTypeMultiviewer, 0x01, 1, std::vector<std::uint8_t>{'A', 0, 'B', 0}));
    EXPECT_TRUE(m_window->isVisible());

    QTest::keyClick(Control<QComboBox>("1003"), Qt::Key_Escape);
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_window->isVisible());
}

TEST_F(MainWindowTest, TheNameFieldRefusesASeventeenthCharacter) {
    MakeWindow();
    auto* name = Control<QLineEdit>("1147");
    name->setFocus();
    QTest::keyClicks(name, "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(name->text(), QStringLiteral("ABCDEFGHIJKLMNOP"));
}

TEST_F(MainWindowTest, ClickingTheBackgroundWhileNamingSendsTheNameOnce) {
    StartUnits({kMultiviewer});
    MakeWindow();
    SelectFirstUnit();
    auto* name = Control<QLineEdit>("1147");
    name->setFocus();
    QTest::keyClicks(name, "Rack 3");
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, QPoint(900, 400));
    EXPECT_EQ(CustomNameFrames().size(), 1u);
    EXPECT_FALSE(name->hasFocus());
    EXPECT_EQ(m_window->State().multiviewer.State().customName, u"Rack 3");
}

TEST_F(MainWindowTest, WithTheLockOnEditingTheNameSendsNothing) {
    StartUnits({kMultiviewer});
    MakeWindow();
    SelectFirstUnit();
    QTest::mouseClick(Control<PictureButton>("1005"), Qt::LeftButton);
    ASSERT_TRUE(m_window->State().consoleLocked);
    auto* name = Control<QLineEdit>("1147");
    name->setFocus();
    QTest::keyClicks(name, "Locked");
    QTest::keyClick(name, Qt::Key_Return);
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, QPoint(900, 400));
    EXPECT_TRUE(Received().empty());

    QTest::mouseClick(Control<PictureButton>("1005"), Qt::LeftButton);
    EXPECT_FALSE(m_window->State().consoleLocked);
}

struct UnitNameCase {
    std::u16string customName;
    QString shown;
};

// The field shows the name the unit's state read brought; a unit without one leaves the field empty
// under its placeholder. Clicking into that field and out again, or pressing Enter in it, sends
// nothing: the placeholder is shown, never sent as the unit's name.
TEST_F(MainWindowTest, TheNameFieldShowsTheUnitsNameAndAPlaceholderIsNeverSent) {
    for (const UnitNameCase& c :
         {UnitNameCase{u"Rack 7", QStringLiteral("Rack 7")}, UnitNameCase{u"", QString()}}) {
        m_window.reset();
        sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
        settings.customName = c.customName;
        m_simulator = std::make_unique<sim::UnitSimulator>(m_endpoints);
        m_simulator->AddUnit(kMultiviewer, std::make_unique<sim::MultiviewerModel>(settings));
        ASSERT_TRUE(m_simulator->Start()) << m_simulator->StartError();
        MakeWindow({}, true);
        SelectFirstUnit();
        Control<QComboBox>("1003")->addItem(QStringLiteral("PQV-16_127.0.0.21"));
        m_window->OpenUnitPage();
        auto* page = qobject_cast<CClass_child_main_dlg*>(m_window->CurrentPage());
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([page] { return page->Initialised(); }));
        auto* name = Control<QLineEdit>("1147");
        EXPECT_EQ(name->text(), c.shown);
        EXPECT_EQ(name->placeholderText(), QStringLiteral("Custom Name"));
        if (!c.customName.empty()) {
            continue;
        }
        QTest::mouseClick(name, Qt::LeftButton);
        ASSERT_TRUE(name->hasFocus());
        QTest::keyClick(name, Qt::Key_Return);
        // The window's background above the page area.
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, QPoint(1000, 140));
        EXPECT_FALSE(name->hasFocus());
        EXPECT_TRUE(CustomNameFrames().empty());
        EXPECT_TRUE(m_window->State().multiviewer.State().customName.empty());
    }
}

TEST_F(MainWindowTest, ASearchListsTheUnitsInArrivalOrderAndOpensTheFirst) {
    StartUnits({kMultiviewer, kMatrix});
    MakeWindow();
    Control<QLineEdit>("1147")->setText(QStringLiteral("old name"));
    Search();
    auto* list = Control<QComboBox>("1003");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("PQV-16_127.0.0.21"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("PQT-8_127.0.0.22"));
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(Control<QLabel>("1007")->text(), QStringLiteral("Connected - 2"));
    EXPECT_EQ(m_pagesOpened, 1);
    ASSERT_NE(m_window->CurrentPage(), nullptr);
    EXPECT_EQ(m_window->CurrentPage()->geometry(), m_window->PageRect());
    EXPECT_TRUE(Control<QLineEdit>("1147")->text().isEmpty());
    EXPECT_EQ(m_window->State().devices.OpenedIndex(), 0);
}

TEST_F(MainWindowTest, NoAnswerListsNoDeviceFoundAndOpensNothing) {
    MakeWindow();
    Search();
    auto* list = Control<QComboBox>("1003");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0), QStringLiteral("No Device Found"));
    EXPECT_EQ(Control<QLabel>("1007")->text(), QStringLiteral("No Device Connected"));
    EXPECT_EQ(m_window->State().devices.SelectedIndex(), -1);
    EXPECT_EQ(m_pagesOpened, 0);
    EXPECT_EQ(m_window->CurrentPage(), nullptr);
    EXPECT_EQ(m_window->PageAreaMessage().first, QStringLiteral("No unit open"));
}

TEST_F(MainWindowTest, AUnitOfATypeWithoutAPageIsListedSelectedAndOpensNothing) {
    StartUnits({kOtherType, kMultiviewer});
    MakeWindow();
    Search();
    auto* list = Control<QComboBox>("1003");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("PQA-90_127.0.0.23"));
    EXPECT_EQ(m_pagesOpened, 0);
    EXPECT_EQ(m_window->CurrentPage(), nullptr);
    // The page area names the unit and says why nothing opened, rather than "No unit open".
    EXPECT_EQ(m_window->PageAreaMessage(),
              std::pair(QStringLiteral("PQA-90_127.0.0.23"),
                        QStringLiteral("This console has no page for units of type code 0x90")));

    // Choosing the multiviewer opens its page; choosing it again changes nothing.
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(m_pagesOpened, 1);
    emit list->activated(1);
    EXPECT_EQ(m_pagesOpened, 1);
}

TEST_F(MainWindowTest, ASearchWhileAnotherSocketHoldsTheLocalPortSaysCreateSocketErr) {
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder && holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.localPort}));
    MakeWindow();
    Search();
    EXPECT_EQ(m_dialogs.Errors(), std::vector<std::string>{"Create socket err"});
    EXPECT_EQ(Control<QComboBox>("1003")->count(), 0);
    EXPECT_EQ(Control<QLabel>("1007")->text(), QStringLiteral("No Device Connected"));
    EXPECT_EQ(m_window->State().devices.SelectedIndex(), -1);
}

// A serial search with the port closed says so and leaves the list, the page and the status line as
// they were; the selection is cleared.
TEST_F(MainWindowTest, ASerialSearchWithThePortClosedLeavesTheListAndThePage) {
    StartUnits({kMultiviewer});
    MakeWindow();
    Search();
    ASSERT_NE(m_window->CurrentPage(), nullptr);
    QWidget* page = m_window->CurrentPage();
    m_window->State().link.SetMode(LinkMode::Serial);
    Search();
    EXPECT_EQ(m_dialogs.Errors(), std::vector<std::string>{"Please open the serial port first!"});
    EXPECT_EQ(m_window->CurrentPage(), page);
    EXPECT_EQ(Control<QComboBox>("1003")->count(), 1);
    EXPECT_EQ(Control<QLabel>("1007")->text(), QStringLiteral("Connected - 1"));
    EXPECT_EQ(m_window->State().devices.SelectedIndex(), -1);
}

TEST(DeviceListTexts, ItemsAndStatusShowTheDisplayNames) {
    DiscoveryResult result;
    DiscoveredUnit lan{{}, u"16CH Monitorgrid"};
    lan.entry.SetIp("10.1.2.3");
    result.units = {lan, {{}, u"PQT0642"}, {{}, u"16ch monitorgrid"}};
    EXPECT_EQ(DeviceListItems(result),
              (std::vector<std::u16string>{u"PQV-16_10.1.2.3", u"PQT-8", u"16ch monitorgrid"}));
    EXPECT_EQ(DeviceStatusText(result), "Connected - 3");
    EXPECT_EQ(DeviceListItems(DiscoveryResult{}), std::vector<std::u16string>{u"No Device Found"});
    EXPECT_EQ(DeviceStatusText(DiscoveryResult{}), "No Device Connected");
}

} // namespace
} // namespace brenvik
