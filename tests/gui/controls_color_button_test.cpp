#include "controls/color_button.h"
#include "tests/gui/controls_test_support.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

namespace brenvik {
namespace {

const QColor kNormal(46, 49, 54);
const QColor kHover(20, 160, 60);
const QColor kDisabled(160, 20, 160);
const QColor kCaption(0, 136, 208);

class CountingColorButton : public CColorButton {
public:
    using CColorButton::CColorButton;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        CColorButton::paintEvent(event);
    }
};

class ColorButtonTest : public testing::Test {
protected:
    void SetUp() override {
        m_window.resize(100, 60);
        m_button = new CountingColorButton(&m_window);
        m_button->setGeometry(10, 10, 40, 35);
        m_button->SetNormalColor(kNormal);
        m_button->SetHoverColor(kHover);
        m_button->SetDisabledColor(kDisabled);
        m_button->SetTextColor(kCaption);
    }

    // A point of the fill away from the caption.
    QColor Fill() { return test::PixelOf(*m_button, QPoint(4, 4)); }

    QWidget m_window;
    CountingColorButton* m_button = nullptr;
};

TEST_F(ColorButtonTest, MovingOnAndOffRepaintsTwiceAndLeavesNoCapture) {
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    QApplication::processEvents();
    m_button->paints = 0;

    test::SendEnter(*m_button, QPoint(5, 5));
    test::SendMove(*m_button, QPoint(5, 5));
    QApplication::processEvents();
    test::SendMove(*m_button, QPoint(20, 17));
    QApplication::processEvents();
    EXPECT_EQ(m_button->State(), CColorButton::kHover);
    EXPECT_EQ(m_button->paints, 1);

    test::SendLeave(*m_button);
    QApplication::processEvents();
    EXPECT_EQ(m_button->State(), CColorButton::kNormal);
    EXPECT_EQ(m_button->paints, 2);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(ColorButtonTest, PressAndReleaseShowPressedThenHoverAndClick) {
    int clicks = 0;
    QObject::connect(m_button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    test::SendMouse(*m_button, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(m_button->State(), CColorButton::kPressed);
    test::SendMouse(*m_button, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(m_button->State(), CColorButton::kHover);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ColorButtonTest, APressDraggedOffShowsNormalSteadilyAndPressedAgainOverTheButton) {
    test::SendMouse(*m_button, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    for (const QPoint outside : {QPoint(60, 5), QPoint(70, 5), QPoint(80, 5)}) {
        test::SendMouse(*m_button, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(m_button->State(), CColorButton::kNormal);
    }
    test::SendMouse(*m_button, QEvent::MouseMove, QPoint(6, 6), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m_button->State(), CColorButton::kPressed);
}

TEST_F(ColorButtonTest, DisabledColourStaysAfterEnablingUntilThePointerMovesOver) {
    EXPECT_EQ(Fill(), kNormal);
    m_button->setEnabled(false);
    EXPECT_EQ(Fill(), kDisabled);

    m_button->setEnabled(true);
    EXPECT_EQ(Fill(), kDisabled);
    EXPECT_EQ(m_button->State(), CColorButton::kDisabled);

    test::SendMove(*m_button, QPoint(5, 5));
    EXPECT_EQ(Fill(), kHover);
}

TEST_F(ColorButtonTest, CaptionFontIsArialSixteenHighAndTwelveWideOnAverage) {
    const QFont font = CColorButton::CaptionFont();
    // The face is whichever this machine gives for "Arial": the real one, or a metric twin.
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(font.pixelSize());
    EXPECT_EQ(font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(QFontInfo(font).family(), QFontInfo(arial).family());
    EXPECT_EQ(QFontMetrics(font).height(), 16);
    EXPECT_EQ(QFontMetrics(font).averageCharWidth(), 12);
}

TEST_F(ColorButtonTest, CaptionXIsCentredByItsFontSize) {
    m_button->setText(QStringLiteral("x"));
    const QImage image = m_button->grab().toImage();
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            // Antialiased edges count once they are more caption than fill; the corner pixels
            // outside the rounded rectangle are neither.
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() <= kNormal.red() &&
                pixel.blue() - kNormal.blue() > (kCaption.blue() - kNormal.blue()) / 2) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(ink.isEmpty());
    // The "x" is symmetric, so its ink is centred where its advance is: on the button's middle.
    EXPECT_NEAR((ink.left() + ink.right() + 1) / 2.0, 20.0, 1.0);
    // The text box is centred by the font's height; the "x" sits on its baseline, x-height tall.
    const QFontMetrics metrics(CColorButton::CaptionFont());
    const int baseline = 35 / 2 - metrics.height() / 2 + metrics.ascent();
    EXPECT_NEAR(ink.bottom() + 1, baseline, 1);
    EXPECT_NEAR(ink.top(), baseline - metrics.xHeight(), 1);
}

TEST_F(ColorButtonTest, FocusFlagFollowsTheInputFocus) {
    m_window.show();
    m_window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    m_button->setFocus();
    EXPECT_EQ(m_button->FocusFlag(), 1);
    m_button->clearFocus();
    EXPECT_EQ(m_button->FocusFlag(), 0);
}

} // namespace
} // namespace brenvik
