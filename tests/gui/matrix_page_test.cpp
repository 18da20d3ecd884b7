#include "app/console_pages.h"
#include "app/main_window.h"

#include "controls/picture_button.h"
#include "matrix/ui/matrix_page.h"
#include "matrix/ui/matrix_pictures.h"
#include "sim/matrix_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace brenvik {
namespace {

constexpr std::uint8_t kQueryState = 0x53;
constexpr std::uint8_t kSetBrightness = 0x52;

std::string Text(const Frame& bytes) {
    return {bytes.begin(), bytes.end()};
}

bool IsFrameWithOpcode(const Frame& bytes, std::uint8_t opcode) {
    return bytes.size() > 16 && bytes[0] == 0xA5 && bytes[16] == opcode;
}

// Input, output and status keys by number 1..8; action buttons by control number.
int InputKey(int n) {
    return 1053 + n;
}
int OutputKey(int m) {
    return 1061 + m;
}
int StatusKey(int m) {
    return 1127 + m;
}
int Blue(int n) {
    return 174 + 2 * n;
}
int Grey(int n) {
    return 173 + 2 * n;
}
constexpr int kApply = 1082;
constexpr int kOneToAll = 1136;
constexpr int kOneToOne = 1137;
constexpr int kRefresh = 1138;

class MatrixPageTest : public ::testing::Test {
protected:
    void Open(sim::MatrixSettings settings = {}, ScreenScale scale = {},
              sim::MatrixReplyFault fault = sim::MatrixReplyFault::None) {
        m_simulator = std::make_unique<sim::UnitSimulator>(m_endpoints);
        auto model = std::make_unique<sim::MatrixModel>(std::move(settings));
        model->Fault() = fault;
        m_model = model.get();
        m_simulator->AddUnit({{127, 0, 0, 41}, kTypeMatrixSwitcher, 0x01, {'M', 'X'}, {0x4D, 0x58, 0, 1}},
                             std::move(model));
        m_simulator->AddUnit({{127, 0, 0, 42}, kTypeMatrixSwitcher, 0x01, {'N', 'B'}, {0x4E, 0x42, 0, 2}});
        ASSERT_TRUE(m_simulator->Start()) << m_simulator->StartError();
        m_simulator->Invoke([this] { m_model->SetNeighbour(&m_simulator->Unit(1)); });

        m_window = std::make_unique<CVARNOLUX_16_VIEWDlg>(ConsoleWindowSetup{m_endpoints, scale, &m_dialogs});
        RegisterConsolePages(*m_window);
        m_window->show();
        DeviceEntry entry;
        entry.SetIp("127.0.0.41");
        entry.typeCode = kTypeMatrixSwitcher;
        entry.unitAddress = 0x01;
        m_window->State().devices.At(0) = entry;
        m_window->State().devices.SetSelectedIndex(0);
        // The page opens only while the list holds an item, as after a search.
        m_window->findChild<QComboBox*>(QStringLiteral("1003"))->addItem(QStringLiteral("PQT-8_127.0.0.41"));
        m_window->OpenUnitPage();
        ASSERT_NE(Page(), nullptr);
        if (fault == sim::MatrixReplyFault::None) {
            ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->Initialised(); }));
        }
    }

    CClass_matrix_child* Page() { return qobject_cast<CClass_matrix_child*>(m_window->CurrentPage()); }
    PictureButton* Button(int id) { return Page()->findChild<PictureButton*>(QString::number(id)); }
    template <typename T> T* Control(const char* id) {
        return Page()->findChild<T*>(QString::fromLatin1(id));
    }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    int Picture(int id) { return Button(id)->ShownPicture(); }
    std::vector<int> Pictures(int (*key)(int)) {
        std::vector<int> pictures;
        for (int k = 1; k <= 8; ++k) {
            pictures.push_back(Picture(key(k)));
        }
        return pictures;
    }
    sim::MatrixSettings UnitSettings() {
        sim::MatrixSettings settings;
        m_simulator->Invoke([&] { settings = m_model->Settings(); });
        return settings;
    }
    void ChangeUnit(const std::function<void(sim::MatrixModel&)>& change) {
        m_simulator->Invoke([&] { change(*m_model); });
    }

    // Presses REFRESH and waits until its reply (or its time-out) has been taken in.
    void Refresh() {
        Click(kRefresh);
        ASSERT_TRUE(Page()->Reading());
        ASSERT_TRUE(QTest::qWaitFor([this] { return !Page()->Reading(); }));
    }

    // What the unit received while `action` ran. The link keeps its order, so the query that a
    // REFRESH sends after the action marks the end of what the action sent.
    std::vector<Frame> SentBy(const std::function<void()>& action) {
        const std::size_t before = m_simulator->Unit(0).ReceivedCount();
        action();
        Refresh();
        std::vector<Frame> received = m_simulator->Unit(0).Received();
        received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(before));
        EXPECT_FALSE(received.empty());
        if (!received.empty()) {
            EXPECT_TRUE(IsFrameWithOpcode(received.back(), kQueryState));
            received.pop_back();
        }
        return received;
    }

    void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingDialogs m_dialogs;
    std::unique_ptr<sim::UnitSimulator> m_simulator;
    sim::MatrixModel* m_model = nullptr; // owned by the simulator
    std::unique_ptr<CVARNOLUX_16_VIEWDlg> m_window;
};

TEST_F(MatrixPageTest, OpeningReadsTheUnitAndFillsThePage) {
    sim::MatrixSettings settings;
    settings.routing = {2, 2, 3, 3, 4, 4, 5, 5};
    settings.customName = u"Suite 3";
    settings.backlightTime = 2;
    settings.backlightBrightness = 75;
    settings.dhcp = 0;
    Open(settings);
    EXPECT_EQ(Pictures(StatusKey), (std::vector<int>{178, 178, 180, 180, 182, 182, 184, 184}));
    EXPECT_EQ(Pictures(InputKey), (std::vector<int>{175, 177, 179, 181, 183, 185, 187, 189}));
    EXPECT_EQ(Control<QComboBox>("1074")->currentText(), QStringLiteral("15s Off"));
    EXPECT_EQ(Control<QSlider>("1139")->value(), 75);
    EXPECT_EQ(Control<QLineEdit>("1140")->text(), QStringLiteral("75%"));
    EXPECT_EQ(m_window->findChild<QLineEdit*>(QStringLiteral("1147"))->text(), QStringLiteral("Suite 3"));
    EXPECT_EQ(m_window->State().networkDhcp, 0);
    EXPECT_EQ(Picture(kRefresh), 451);
}

TEST_F(MatrixPageTest, ApplyRoutesTheSelectedInputToTheMarkedOutputs) {
    Open();
    const auto sent = SentBy([this] {
        Click(InputKey(3));
        for (int m : {1, 4, 8}) {
            Click(OutputKey(m));
        }
        Click(kApply);
    });
    ASSERT_EQ(sent.size(), 1U);
    EXPECT_EQ(Text(sent[0]), "3V1,4,8.");
    EXPECT_EQ(UnitSettings().routing, (std::array<std::uint8_t, 8>{3, 2, 3, 3, 5, 6, 7, 3}));
    EXPECT_EQ(Pictures(StatusKey), (std::vector<int>{180, 178, 180, 180, 184, 186, 188, 180}));
    EXPECT_EQ(Pictures(OutputKey), (std::vector<int>{176, 177, 179, 182, 183, 185, 187, 190}));
    EXPECT_EQ(Picture(InputKey(3)), Blue(3));
    EXPECT_EQ(Picture(kApply), 199);
}

TEST_F(MatrixPageTest, MarksStayWithTheSameInputAndGoWithAnother) {
    Open();
    Click(OutputKey(2)); // no input selected: nothing
    EXPECT_EQ(Picture(OutputKey(2)), Grey(2));
    Click(InputKey(3));
    Click(OutputKey(2));
    Click(InputKey(3));
    EXPECT_EQ(Picture(OutputKey(2)), Blue(2));
    EXPECT_EQ(m_window->State().matrixPage.pendingRouting[1], 3);
    Click(InputKey(4));
    EXPECT_EQ(Picture(OutputKey(2)), Grey(2));
    EXPECT_EQ(Picture(InputKey(3)), Grey(3));
    EXPECT_EQ(Picture(InputKey(4)), Blue(4));
    EXPECT_EQ(m_window->State().matrixPage.pendingRouting, MatrixRouting{});
}

TEST_F(MatrixPageTest, RoutingActionsByCase) {
    const struct {
        const char* name;
        int input; // 0: none selected
        int action;
        const char* text;
        std::vector<int> outputs;
        std::vector<int> status;
        int selectedAfter;
    } cases[] = {
        {"OneToOneWithoutInput",
         0,
         kOneToOne,
         "All#.",
         {175, 177, 179, 181, 183, 185, 187, 189},
         {176, 178, 180, 182, 184, 186, 188, 190},
         0},
        {"OneToOneAfterInput",
         6,
         kOneToOne,
         "All#.",
         {175, 177, 179, 181, 183, 185, 187, 189},
         {176, 178, 180, 182, 184, 186, 188, 190},
         0},
        {"OneToAllFromFive",
         5,
         kOneToAll,
         "5All.",
         {176, 178, 180, 182, 184, 186, 188, 190},
         {184, 184, 184, 184, 184, 184, 184, 184},
         5},
    };
    for (const auto& c : cases) {
        sim::MatrixSettings settings;
        settings.routing = {8, 7, 6, 5, 4, 3, 2, 1};
        Open(settings);
        const auto sent = SentBy([&] {
            if (c.input != 0) {
                Click(InputKey(c.input));
            }
            Click(c.action);
        });
        ASSERT_EQ(sent.size(), 1U) << c.name;
        EXPECT_EQ(Text(sent[0]), c.text) << c.name;
        EXPECT_EQ(Pictures(OutputKey), c.outputs) << c.name;
        EXPECT_EQ(Pictures(StatusKey), c.status) << c.name;
        EXPECT_EQ(m_window->State().matrixPage.selectedInput, c.selectedAfter) << c.name;
        EXPECT_EQ(Picture(c.action), c.action == kOneToOne ? 197 : 195) << c.name;
        if (c.input != 0) {
            EXPECT_EQ(Picture(InputKey(c.input)), c.selectedAfter == 0 ? Grey(c.input) : Blue(c.input))
                << c.name;
        }
        m_window.reset();
        m_simulator.reset();
    }
}

// APPLY with nothing marked, and every action without an input, send nothing.
TEST_F(MatrixPageTest, ActionsWithNothingToRouteSendNothing) {
    Open();
    EXPECT_TRUE(SentBy([this] {
                    Click(kApply);
                    Click(kOneToAll);
                    Click(InputKey(2));
                    Click(kApply);
                }).empty());
    EXPECT_EQ(Picture(kApply), 199); // APPLY's highlight alone shows that it was pressed
}

// The unit's lock, read with REFRESH, holds every control but REFRESH, which also clears it.
TEST_F(MatrixPageTest, LockedPageSendsNothingButTheRefresh) {
    Open();
    Click(InputKey(2)); // selected before the lock
    ChangeUnit([](sim::MatrixModel& unit) { unit.Settings().locked = 1; });
    Refresh();
    ASSERT_TRUE(m_window->State().consoleLocked);
    auto* slider = Control<QSlider>("1139");
    const auto sent = SentBy([&] {
        Click(InputKey(5));
        Click(OutputKey(1));
        Click(kApply);
        Click(kOneToAll);
        Click(kOneToOne);
        QTest::keyClick(Control<QComboBox>("1074"), Qt::Key_Down);
        const QPoint middle = slider->rect().center();
        SendMouse(slider, QEvent::MouseButtonPress, middle, Qt::LeftButton);
        SendMouse(slider, QEvent::MouseButtonRelease, middle, Qt::NoButton);
    });
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(Picture(InputKey(5)), Grey(5));
    EXPECT_EQ(Picture(OutputKey(1)), Grey(1));
    EXPECT_EQ(Picture(kOneToOne), 196);
    EXPECT_EQ(m_window->State().matrixPage.selectedInput, 2);

    ChangeUnit([](sim::MatrixModel& unit) { unit.Settings().locked = 0; });
    Refresh();
    EXPECT_FALSE(m_window->State().consoleLocked);
}

// Dragging shows every position in the field and sends once, on release over the bar; the
// keyboard moves the bar and the text but sends nothing.
TEST_F(MatrixPageTest, BrightnessIsSentOnceOnReleaseAndNeverFromTheKeyboard) {
    Open();
    auto* slider = Control<QSlider>("1139");
    auto* text = Control<QLineEdit>("1140");
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->value();
    option.sliderValue = slider->value();
    const QPoint handle =
        slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();

    std::vector<QString> shown;
    const auto sent = SentBy([&] {
        SendMouse(slider, QEvent::MouseButtonPress, handle, Qt::LeftButton);
        for (const int x : {handle.x() - 20, handle.x() - 40, 2}) {
            SendMouse(slider, QEvent::MouseMove, {x, handle.y()}, Qt::LeftButton);
            shown.push_back(text->text());
        }
        SendMouse(slider, QEvent::MouseButtonRelease, {2, handle.y()}, Qt::NoButton);
    });
    ASSERT_EQ(sent.size(), 1U);
    EXPECT_TRUE(IsFrameWithOpcode(sent[0], kSetBrightness));
    EXPECT_EQ(sent[0][17], slider->value());
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(shown.size(), 3U);
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_EQ(shown[2], QStringLiteral("0%"));
    EXPECT_EQ(UnitSettings().backlightBrightness, 0);
    const auto debug = m_dialogs.DebugLines();
    EXPECT_NE(std::find(debug.begin(), debug.end(), "send data is 0 \n"), debug.end());

    EXPECT_TRUE(SentBy([&] {
                    QTest::keyClick(slider, Qt::Key_Right);
                    QTest::keyClick(slider, Qt::Key_Right);
                }).empty());
    EXPECT_EQ(text->text(), QStringLiteral("2%"));
    EXPECT_EQ(m_window->State().matrix.Model().backlightBrightness, 2);
}

TEST_F(MatrixPageTest, BacklightTimeChosenInTheListIsSent) {
    Open();
    auto* list = Control<QComboBox>("1074");
    const auto sent = SentBy([&] {
        QTest::keyClick(list, Qt::Key_Up); // from "Always On" to "60s Off"
    });
    ASSERT_EQ(sent.size(), 1U);
    EXPECT_TRUE(IsFrameWithOpcode(sent[0], 0x51));
    EXPECT_EQ(sent[0][17], 3);
    EXPECT_EQ(UnitSettings().backlightTime, 3);
}

TEST_F(MatrixPageTest, CentreColumnFollowsTheScreensDpi) {
    const struct {
        ScreenScale scale;
        int x;
        int applyY;
        int refreshY;
    } cases[] = {{{96, 96}, 640, 300, 450}, {{144, 144}, 975, 450, 675}};
    for (const auto& c : cases) {
        Open({}, c.scale);
        EXPECT_EQ(Button(kApply)->geometry(), QRect(c.x, c.applyY, 110, 45));
        EXPECT_EQ(Button(kRefresh)->geometry(), QRect(c.x, c.refreshY, 110, 37));
        EXPECT_EQ(Button(InputKey(1))->size(), QSize(65, 60));
        m_window.reset();
        m_simulator.reset();
    }
}

TEST_F(MatrixPageTest, EnterAndEscapeNeitherCloseNorSend) {
    Open();
    QWidget* page = Page();
    EXPECT_TRUE(SentBy([&] {
                    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                        QTest::keyClick(page, key);
                        QTest::keyClick(Control<QComboBox>("1074"), key);
                    }
                }).empty());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(Page(), page);
}

// REFRESH shows its pressed picture for two seconds; the wait is on the timer's own signal.
TEST_F(MatrixPageTest, RefreshShowsItsPressedPictureUntilItsTimerEnds) {
    Open();
    Refresh();
    EXPECT_EQ(Picture(kRefresh), 450);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Picture(kRefresh) == 451; }, 5000));
}

// A silent unit: the page is shown at once, refuses input while it waits, and is filled in from
// what the console held once the wait ends.
TEST_F(MatrixPageTest, SilentUnitLeavesThePageAtItsStartingValues) {
    Open({}, {}, sim::MatrixReplyFault::Silent);
    EXPECT_TRUE(Page()->Reading());
    EXPECT_FALSE(Page()->Initialised());
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->Initialised(); }));
    EXPECT_FALSE(Page()->Reading());
    EXPECT_EQ(Control<QComboBox>("1074")->currentText(), QStringLiteral("15s Dim"));
    EXPECT_EQ(Control<QSlider>("1139")->value(), 0);
    EXPECT_EQ(Control<QLineEdit>("1140")->text(), QStringLiteral("0%"));
}

// Spoilt replies are passed over: the status keys keep what they show.
TEST_F(MatrixPageTest, SpoiltRepliesChangeNothing) {
    const sim::MatrixReplyFault faults[] = {sim::MatrixReplyFault::Short, sim::MatrixReplyFault::WrongOpcode,
                                            sim::MatrixReplyFault::FromNeighbour};
    Open();
    const std::vector<int> before = Pictures(StatusKey);
    for (const auto fault : faults) {
        ChangeUnit([fault](sim::MatrixModel& unit) {
            unit.Settings().routing.fill(6);
            unit.Fault() = fault;
        });
        Refresh();
        EXPECT_EQ(Pictures(StatusKey), before) << static_cast<int>(fault);
        EXPECT_EQ(m_window->State().matrix.Model().statusRouting, (MatrixRouting{1, 2, 3, 4, 5, 6, 7, 8}));
    }
}

// Values the pictures and the list do not have never pick one.
TEST_F(MatrixPageTest, OutOfRangeValuesShowNothingNew) {
    sim::MatrixSettings settings;
    settings.routing = {0, 9, 3, 255, 5, 6, 7, 8};
    settings.backlightTime = 7;
    settings.backlightBrightness = 150;
    settings.customName = u"Named";
    settings.nameLengthByte = 33;
    Open(settings);
    EXPECT_EQ(Pictures(StatusKey), (std::vector<int>{175, 177, 180, 181, 184, 186, 188, 190}));
    EXPECT_EQ(Control<QComboBox>("1074")->currentIndex(), -1);
    EXPECT_EQ(Control<QSlider>("1139")->value(), 100);
    EXPECT_EQ(Control<QLineEdit>("1140")->text(), QStringLiteral("100%"));
    // A length byte above 32 brings no name: the field shows none.
    EXPECT_TRUE(m_window->findChild<QLineEdit*>(QStringLiteral("1147"))->text().isEmpty());
}

// With the serial line and no port, the queries do not run and routing cannot go: the status row
// stays as it was after opening, and then shows the routing the operator chose, which the model holds.
TEST_F(MatrixPageTest, ClosedSerialLineSendsNothingAndShowsTheRoutingChosen) {
    Open();
    m_window->State().link.SetMode(LinkMode::Serial);
    m_window->OpenUnitPage();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->Initialised(); }));
    const std::vector<int> grey{175, 177, 179, 181, 183, 185, 187, 189};
    EXPECT_EQ(Pictures(StatusKey), grey);
    const std::size_t before = m_simulator->Unit(0).ReceivedCount();
    Click(InputKey(4));
    Click(kOneToAll);
    EXPECT_EQ(Pictures(StatusKey), std::vector<int>(8, Blue(4)));
    EXPECT_EQ(Pictures(OutputKey), (std::vector<int>{176, 178, 180, 182, 184, 186, 188, 190}));
    EXPECT_EQ(m_window->State().matrix.Model().statusRouting, (MatrixRouting{4, 4, 4, 4, 4, 4, 4, 4}));

    m_window->State().link.SetMode(LinkMode::Lan);
    Refresh();
    const std::vector<Frame> received = m_simulator->Unit(0).Received();
    ASSERT_EQ(received.size(), before + 1);
    EXPECT_TRUE(IsFrameWithOpcode(received.back(), kQueryState));
}

// A reported value that is no input never indexes a picture.
TEST(MatrixPictures, ValuesThatAreNoInputPickNoStatusKey) {
    EXPECT_EQ(matrix_picture::StatusKey(3), 180);
    EXPECT_EQ(matrix_picture::StatusKey(8), 190);
    for (const std::uint8_t value : {0, 9, 255}) {
        EXPECT_EQ(matrix_picture::StatusKey(value), std::nullopt) << int(value);
    }
}

} // namespace
} // namespace brenvik
