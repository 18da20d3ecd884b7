#include "setting_page_harness.h"

#include "app/console_pages.h"
#include "app/main_window.h"
#include "controls/limit_edit.h"
#include "controls/picture_button.h"
#include "multiviewer/ui/console_page.h"
#include "multiviewer/ui/pages/page_controls.h"
#include "multiviewer/ui/pages/page_type.h"
#include "multiviewer/ui/pages/umd_page.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace brenvik {
namespace {

namespace pc = page_control;
using test::ExpectedFrame;
using test::kStateQuery;

constexpr std::uint8_t kOpcodeInputName = 0x1E;
constexpr std::uint8_t kOpcodeUmd = 0x36;
constexpr std::uint8_t kOpcodeAllUmd = 0x5C;
constexpr int kFocusSink = 1047;

int NameFieldId(int input) {
    return 1031 + input - 1;
}

// The name frame: the input, seven fixed bytes, the name as UTF-16LE without terminator.
Frame NameFrame(std::uint8_t input, const std::string& name) {
    std::vector<std::uint8_t> values{input, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01};
    for (const char character : name) {
        values.push_back(static_cast<std::uint8_t>(character));
        values.push_back(0x00);
    }
    return ExpectedFrame(kOpcodeInputName, values);
}

class UmdPage {
public:
    explicit UmdPage(sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory(),
                     test::PageHarness::Options options = {})
        : harness(kPageUmdOverlay, std::move(settings), options) {}

    auto* Page() { return static_cast<CClass_16_view_umd*>(&harness.Page()); }
    CLimitEdit* NameField(int input) { return harness.Get<CLimitEdit>(NameFieldId(input)); }
    PictureButton* ButtonNumbered(int id) { return harness.Get<PictureButton>(id); }

    test::PageHarness harness;
};

TEST(UmdPageTest, EnterCommitsTheFocusedNameAndLeavingCommitsItAgain) {
    UmdPage page;
    page.harness.ShowActive();
    page.NameField(3)->setFocus();
    page.NameField(3)->selectAll();
    QTest::keyClicks(page.NameField(3), "STUDIO A");
    QTest::keyClick(page.NameField(3), Qt::Key_Return);
    EXPECT_EQ(page.Page()->EnterNameField(), 3);
    EXPECT_EQ(page.harness.State().inputNames.At(3), u"STUDIO A");
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{NameFrame(3, "STUDIO A")});

    page.NameField(5)->setFocus();
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{NameFrame(3, "STUDIO A")});
    EXPECT_EQ(page.Page()->FocusedNameField(), 5);
    EXPECT_TRUE(page.Page()->isVisible());
}

TEST(UmdPageTest, AClickOnTheBackgroundCommitsTheName) {
    UmdPage page;
    page.harness.ShowActive();
    page.NameField(12)->setFocus();
    page.NameField(12)->clear();
    QTest::keyClicks(page.NameField(12), "VT\\2");
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u00e9"));
    QApplication::sendEvent(page.NameField(12), &accented);
    QTest::mouseClick(page.Page(), Qt::LeftButton, {}, QPoint(460, 15));
    EXPECT_TRUE(page.harness.Get<QWidget>(kFocusSink)->hasFocus());
    EXPECT_EQ(page.Page()->FocusedNameField(), 0);
    // The field let neither the backslash nor the accented letter in.
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{NameFrame(12, "VT2")});
}

TEST(UmdPageTest, EnterWithoutANameFieldAndEscapeSendNothingAndCloseNothing) {
    UmdPage page;
    page.harness.ShowActive();
    page.harness.Get<QWidget>(kFocusSink)->setFocus();
    QTest::keyClick(page.harness.Get<QWidget>(kFocusSink), Qt::Key_Return);
    EXPECT_EQ(page.Page()->EnterNameField(), 0);
    page.NameField(1)->setFocus();
    QTest::keyClick(page.NameField(1), Qt::Key_Escape);
    QTest::keyClick(page.ButtonNumbered(pc::kAllUmdButton), Qt::Key_Escape);
    EXPECT_TRUE(page.Page()->isVisible());
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

struct ToggleCase {
    int button;
    int pictureBefore;
    int pictureAfter;
    Frame sent;
};

// A toggle shows the other state and sends it: window 5's label on to off, all labels off to on.
TEST(UmdPageTest, TogglesShowAndSendTheOtherState) {
    sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
    settings.labels[4].umdOn = 1;
    settings.allUmdOn = 0;
    const std::vector<ToggleCase> cases{
        {pc::UmdWindowButton(5), 407, 406, ExpectedFrame(kOpcodeUmd, {5, 0})},
        {pc::kAllUmdButton, pc::kAllUmdPictureOff, pc::kAllUmdPictureOn, ExpectedFrame(kOpcodeAllUmd, {1})},
    };
    UmdPage page(settings);
    for (const ToggleCase& c : cases) {
        EXPECT_EQ(page.ButtonNumbered(c.button)->ShownPicture(), c.pictureBefore) << c.button;
        QTest::mouseClick(page.ButtonNumbered(c.button), Qt::LeftButton);
        EXPECT_EQ(page.ButtonNumbered(c.button)->ShownPicture(), c.pictureAfter) << c.button;
        EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{c.sent}) << c.button;
    }
    EXPECT_EQ(page.harness.State().umdOn.At(5), 0);
    EXPECT_EQ(page.harness.State().umdAllOn, 1);
}

// While locked a name typed into a field springs back to the stored one as the field is committed,
// by Enter or by leaving it, like every other control; nothing is stored or sent.
TEST(UmdPageTest, WhileLockedATypedNameSpringsBackAndTogglesStayAsStored) {
    UmdPage page;
    page.harness.ShowActive();
    page.harness.Lock(true);
    page.NameField(2)->setFocus();
    QTest::keyClicks(page.NameField(2), "X");
    ASSERT_EQ(page.NameField(2)->text(), QStringLiteral("CAM 2X"));
    QTest::keyClick(page.NameField(2), Qt::Key_Enter);
    EXPECT_EQ(page.NameField(2)->text(), QStringLiteral("CAM 2"));
    QTest::keyClicks(page.NameField(2), "Y");
    page.NameField(3)->setFocus();
    EXPECT_EQ(page.NameField(2)->text(), QStringLiteral("CAM 2"));
    EXPECT_EQ(page.harness.State().inputNames.At(2), u"CAM 2");

    QTest::mouseClick(page.ButtonNumbered(pc::UmdWindowButton(1)), Qt::LeftButton);
    QTest::mouseClick(page.ButtonNumbered(pc::kAllUmdButton), Qt::LeftButton);
    EXPECT_EQ(page.ButtonNumbered(pc::UmdWindowButton(1))->ShownPicture(), 399);
    EXPECT_EQ(page.ButtonNumbered(pc::kAllUmdButton)->ShownPicture(), pc::kAllUmdPictureOn);
    EXPECT_TRUE(page.harness.TakeSent().empty());
    EXPECT_TRUE(page.harness.TakeChanges().empty());
}

// The unit's label reports set the toggles' pictures and send nothing.
TEST(UmdPageTest, LabelReportsChangeTheTogglesAndSendNothing) {
    UmdPage page;
    const struct {
        std::uint8_t opcode;
        std::vector<std::uint8_t> values;
        int button;
        int picture;
    } cases[] = {
        {kOpcodeUmd, {5, 0}, pc::UmdWindowButton(5), 406},
        {kOpcodeUmd, {16, 1}, pc::UmdWindowButton(16), 429},
        {kOpcodeAllUmd, {0}, pc::kAllUmdButton, pc::kAllUmdPictureOff},
    };
    for (const auto& c : cases) {
        page.harness.UnitReports(c.opcode, c.values);
        EXPECT_EQ(page.ButtonNumbered(c.button)->ShownPicture(), c.picture) << c.button;
    }
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

// After the unit replaced its settings the fields show the new names and the toggles the new flags.
TEST(UmdPageTest, ReplacedSettingsRefreshNamesAndToggles) {
    UmdPage page;
    sim::MultiviewerSettings replaced = sim::MultiviewerSettings::Factory();
    replaced.inputNames[6] = u"GRAPHICS";
    replaced.labels[6].umdOn = 0;
    replaced.allUmdOn = 0;
    ASSERT_TRUE(page.harness.UnitReplacesSettings(replaced));
    EXPECT_EQ(page.NameField(7)->text(), QStringLiteral("GRAPHICS"));
    EXPECT_EQ(page.ButtonNumbered(pc::UmdWindowButton(7))->ShownPicture(), 410);
    EXPECT_EQ(page.ButtonNumbered(pc::kAllUmdButton)->ShownPicture(), pc::kAllUmdPictureOff);
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{kStateQuery});
}

struct PlacementCase {
    int dpi;
    int id;
    QRect geometry;
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << "control " << c.id << " at " << c.dpi << " dpi";
}

class UmdPagePlacement : public ::testing::TestWithParam<PlacementCase> {};

// The bottom row's fields sit at 372, two lower than the rhythm; toggles keep their pixel size.
TEST_P(UmdPagePlacement, PlacesFieldsAndToggles) {
    const PlacementCase& c = GetParam();
    UmdPage page(sim::MultiviewerSettings::Factory(), {ScreenScale{c.dpi, c.dpi}});
    EXPECT_EQ(page.harness.Get<QWidget>(c.id)->geometry(), c.geometry);
}

INSTANTIATE_TEST_SUITE_P(Dpi, UmdPagePlacement,
                         ::testing::Values(PlacementCase{96, NameFieldId(7), {105, 330, 120, 20}},
                                           PlacementCase{96, NameFieldId(8), {105, 372, 120, 20}},
                                           PlacementCase{96, NameFieldId(16), {335, 372, 120, 20}},
                                           PlacementCase{144, NameFieldId(8), {157, 558, 180, 30}},
                                           PlacementCase{144, pc::UmdWindowButton(13), {390, 367, 71, 40}},
                                           PlacementCase{144, pc::kAllUmdButton, {45, 37, 130, 45}}));

// Inside the console window Enter and Escape still close nothing, and Enter reaches the page's name
// fields past the window's own key filter.
TEST(UmdPageInConsoleTest, EnterCommitsANameAndNeitherKeyClosesTheWindow) {
    const Endpoints endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator simulator(endpoints);
    auto model = std::make_unique<sim::MultiviewerModel>();
    sim::MultiviewerModel* unitModel = model.get();
    simulator.AddUnit({{127, 0, 0, 42}, kTypeMultiviewer, 0x01, {'M', 'V'}, {1, 2, 3, 4}}, std::move(model));
    ASSERT_TRUE(simulator.Start()) << simulator.StartError();

    test::RecordingDialogs dialogs;
    CVARNOLUX_16_VIEWDlg window(ConsoleWindowSetup{endpoints, {}, &dialogs});
    RegisterConsolePages(window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    DeviceEntry entry;
    entry.SetIp("127.0.0.42");
    entry.typeCode = kTypeMultiviewer;
    entry.unitAddress = 0x01;
    entry.unitId = {1, 2, 3, 4};
    window.State().devices.At(0) = entry;
    window.State().devices.SetSelectedIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("1003"))->addItem(QStringLiteral("MV_127.0.0.42"));
    window.OpenUnitPage();
    auto* console = qobject_cast<CClass_child_main_dlg*>(window.CurrentPage());
    ASSERT_NE(console, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([console] { return console->Initialised(); }));
    ASSERT_TRUE(console->SwitchPage(kPageUmdOverlay));

    auto* field = console->ShownSettingPage()->findChild<CLimitEdit*>(QString::number(NameFieldId(4)));
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, "DESK");
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] {
        bool named = false;
        simulator.Invoke([&] { named = unitModel->Settings().inputNames[3] == u"DESK"; });
        return named;
    }));
}

} // namespace
} // namespace brenvik
