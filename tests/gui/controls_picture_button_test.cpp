#include "controls/picture_button.h"
#include "controls/shade_picture_button.h"
#include "res/skin.h"
#include "tests/gui/controls_test_support.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <ostream>
#include <unistd.h>

namespace brenvik {
namespace {

using test::Backdrop;
using test::MakePicture;

const QColor kBackdrop(200, 30, 30);
const QColor kFace(20, 60, 200);
const QColor kNearBlack(1, 1, 1);
constexpr QPoint kButtonAt(10, 10);
constexpr QSize kPictureSize(20, 20);

// A 20 x 20 face with a pure black 6 x 6 hole at (7, 7) and one almost-black pixel at (0, 0).
QPixmap FaceWithHole() {
    return MakePicture(kPictureSize, kFace, [](QImage& image) {
        for (int y = 7; y < 13; ++y) {
            for (int x = 7; x < 13; ++x) {
                image.setPixelColor(x, y, QColor(0, 0, 0));
            }
        }
        image.setPixelColor(0, 0, kNearBlack);
    });
}

QColor WindowPixel(Backdrop& window, QPoint inButton) {
    return window.grab().toImage().pixelColor(kButtonAt + inButton);
}

template <typename Button> Button* PlaceButton(Backdrop& window, const QPixmap& picture) {
    auto* button = new Button(&window);
    button->setGeometry(QRect(kButtonAt, kPictureSize));
    EXPECT_EQ(button->SetButtonPictures(picture), PictureButton::kPicturesSet);
    return button;
}

TEST(PictureButtonTest, PureBlackPixelsShowTheButtonsBackgroundAndNothingElseDoes) {
    Backdrop window(kBackdrop);
    auto* plain = PlaceButton<PictureButton>(window, FaceWithHole());
    const QColor plainBackground = plain->palette().color(QPalette::Button);

    EXPECT_EQ(WindowPixel(window, QPoint(9, 9)), plainBackground);
    EXPECT_EQ(WindowPixel(window, QPoint(0, 0)), kNearBlack);
    EXPECT_EQ(WindowPixel(window, QPoint(3, 15)), kFace);

    // The console's own button draws no background, so the window itself shows through.
    delete plain;
    PlaceButton<ShadePictureButton>(window, FaceWithHole());
    EXPECT_EQ(WindowPixel(window, QPoint(9, 9)), kBackdrop);
    EXPECT_EQ(WindowPixel(window, QPoint(0, 0)), kNearBlack);
    EXPECT_EQ(WindowPixel(window, QPoint(3, 15)), kFace);
}

TEST(PictureButtonTest, HeldButtonDrawsItsPictureOnePixelRightAndDown) {
    Backdrop window(kBackdrop);
    const QColor marker(250, 250, 0);
    auto* button = PlaceButton<ShadePictureButton>(
        window, MakePicture(kPictureSize, kFace, [&](QImage& image) { image.setPixelColor(0, 0, marker); }));
    button->SetBorderDrawing(false);

    button->setDown(true);
    EXPECT_EQ(WindowPixel(window, QPoint(0, 0)), kBackdrop);
    EXPECT_EQ(WindowPixel(window, QPoint(1, 1)), marker);

    button->setDown(false);
    EXPECT_EQ(WindowPixel(window, QPoint(0, 0)), marker);
    EXPECT_EQ(WindowPixel(window, QPoint(1, 1)), kFace);
}

TEST(PictureButtonTest, FailedPicturesLeaveTheButtonWithoutAPicture) {
    Backdrop window(kBackdrop);
    auto* button = PlaceButton<ShadePictureButton>(window, FaceWithHole());

    EXPECT_EQ(button->SetButtonPictures(QPixmap()), PictureButton::kPictureSizeUnreadable);
    EXPECT_EQ(WindowPixel(window, QPoint(3, 15)), kBackdrop);

    button->SetButtonPictureResource(133);
    EXPECT_EQ(button->sizeHint(), QSize(135, 35));
    button->SetButtonPictureResource(99999);
    EXPECT_EQ(WindowPixel(window, QPoint(3, 15)), kBackdrop);
}

long ResidentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

TEST(PictureButtonTest, ThousandsOfPictureSwapsDoNotGrowTheProcess) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer holds freed memory back, so the process size says nothing here";
#endif
    Backdrop window(kBackdrop);
    auto* button = new PictureButton(&window);
    button->setGeometry(QRect(kButtonAt, QSize(100, 100)));
    // Fresh 100 x 100 pictures each time (40 kB each): keeping the old ones would add 200 MB.
    const auto swap = [&](int round) {
        button->SetButtonPictures(MakePicture(QSize(100, 100), QColor(round % 256, 80, 120)));
        if (round % 500 == 0) {
            window.grab();
        }
    };
    for (int round = 0; round < 200; ++round) {
        swap(round);
    }
    const long before = ResidentBytes();
    for (int round = 0; round < 5000; ++round) {
        swap(round);
    }
    EXPECT_LT(ResidentBytes() - before, 8L * 1024 * 1024);
}

TEST(PictureButtonTest, DisablingTheFocusedButtonPassesTheFocusToTheNextControl) {
    Backdrop window(kBackdrop);
    window.resize(300, 80);
    auto* first = new PictureButton(&window);
    auto* second = new PictureButton(&window);
    auto* third = new PictureButton(&window);
    for (PictureButton* button : {first, second, third}) {
        button->SetButtonPictures(FaceWithHole());
    }
    first->setGeometry(10, 10, 20, 20);
    second->setGeometry(40, 10, 20, 20);
    third->setGeometry(70, 10, 20, 20);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    first->setFocus();
    ASSERT_TRUE(first->hasFocus());
    test::SendEnter(*first, QPoint(5, 5));
    ASSERT_TRUE(first->IsHovered());

    first->setEnabled(false);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_FALSE(first->IsHovered());
}

TEST(PictureButtonTest, ADoubleClickCountsAsASecondClick) {
    Backdrop window(kBackdrop);
    auto* button = PlaceButton<PictureButton>(window, FaceWithHole());
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    const QPoint at(5, 5);

    test::SendMouse(*button, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    test::SendMouse(*button, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    test::SendMouse(*button, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    test::SendMouse(*button, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);

    EXPECT_EQ(clicks.count(), 2);
}

TEST(PictureButtonTest, TransparentBackgroundKeepsTheParentPixelsItCopiedFirst) {
    Backdrop window(kBackdrop);
    auto* button = PlaceButton<PictureButton>(window, FaceWithHole());
    button->SetTransparentBackground(true);
    EXPECT_EQ(WindowPixel(window, QPoint(9, 9)), kBackdrop);

    const QColor green(30, 200, 30);
    window.SetColour(green);
    EXPECT_EQ(window.grab().toImage().pixelColor(2, 2), green);
    EXPECT_EQ(WindowPixel(window, QPoint(9, 9)), kBackdrop);

    button->SetTransparentBackground(true);
    EXPECT_EQ(WindowPixel(window, QPoint(9, 9)), green);
}

struct HoverCase {
    const char* name;
    bool borderDrawing;
    bool pressedElsewhere; // the left button went down outside and is still held on entering
    bool expectHover;
    bool expectBorder;
};

void PrintTo(const HoverCase& hoverCase, std::ostream* out) {
    *out << hoverCase.name;
}

class PictureButtonHoverTest : public testing::TestWithParam<HoverCase> {};

TEST_P(PictureButtonHoverTest, HoverLightsTheBorderOnlyWhenAskedAndNotDuringAForeignPress) {
    const HoverCase& c = GetParam();
    Backdrop window(kBackdrop);
    auto* button = new ShadePictureButton(&window);
    // A picture smaller than the button leaves its one-pixel edge free for the border.
    button->setGeometry(QRect(kButtonAt, QSize(24, 24)));
    button->SetButtonPictures(MakePicture(kPictureSize, kFace));
    button->SetBorderDrawing(c.borderDrawing);

    if (c.pressedElsewhere) {
        test::SendMove(*button, QPoint(5, 5), Qt::LeftButton);
    } else {
        test::SendEnter(*button, QPoint(5, 5));
        test::SendMove(*button, QPoint(6, 6));
    }
    EXPECT_EQ(button->IsHovered(), c.expectHover);
    const QColor light = button->palette().color(QPalette::Light);
    EXPECT_EQ(WindowPixel(window, QPoint(0, 0)) == light, c.expectBorder);

    test::SendLeave(*button);
    EXPECT_FALSE(button->IsHovered());
    EXPECT_EQ(WindowPixel(window, QPoint(0, 0)), kBackdrop);
}

INSTANTIATE_TEST_SUITE_P(Cases, PictureButtonHoverTest,
                         testing::Values(HoverCase{"BorderOn", true, false, true, true},
                                         HoverCase{"BorderOff", false, false, true, false},
                                         HoverCase{"PressedElsewhere", true, true, false, false}),
                         [](const testing::TestParamInfo<HoverCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(PictureButtonTest, DisabledButtonShowsItsPictureInGrey) {
    Backdrop window(kBackdrop);
    auto* button = PlaceButton<ShadePictureButton>(window, FaceWithHole());
    button->setEnabled(false);

    const QColor face = WindowPixel(window, QPoint(3, 15));
    EXPECT_EQ(face.red(), face.green());
    EXPECT_EQ(face.green(), face.blue());
    EXPECT_EQ(WindowPixel(window, QPoint(9, 9)), kBackdrop);
}

TEST(ShadePictureButtonTest, DrawsTheAwaySlotOffTheButtonAndTheHoverSlotOverIt) {
    Backdrop window(kBackdrop);
    auto* button = PlaceButton<ShadePictureButton>(window, FaceWithHole());
    QImage away(kPictureSize, QImage::Format_RGB32);
    away.fill(QColor(10, 200, 200));
    QImage hover(kPictureSize, QImage::Format_RGB32);
    hover.fill(QColor(240, 140, 10));
    EXPECT_TRUE(button->SetShadePicture(ShadePictureButton::kAwaySlot, away));
    EXPECT_TRUE(button->SetShadePicture(ShadePictureButton::kHoverSlot, hover));
    EXPECT_FALSE(button->SetShadePicture(ShadePictureButton::kSlotCount, hover));

    EXPECT_EQ(WindowPixel(window, QPoint(9, 9)), away.pixelColor(0, 0));
    button->SetBorderDrawing(false);
    test::SendEnter(*button, QPoint(5, 5));
    EXPECT_EQ(WindowPixel(window, QPoint(9, 9)), hover.pixelColor(0, 0));
}

} // namespace
} // namespace brenvik
