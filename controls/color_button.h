#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>

namespace brenvik {

// A caption-bar button of the console's borderless windows: a rounded rectangle filled with the
// colour of its state and its caption centred on it. Hover is seen from pointer moves; the
// disabled colour stays after the button is enabled again until the pointer moves over or
// presses it.
class CColorButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kNormal = 0;
    static constexpr int kPressed = 1;
    static constexpr int kHover = 2;
    static constexpr int kDisabled = 3;

    explicit CColorButton(QWidget* parent = nullptr);

    void SetPressedColor(const QColor& colour) { SetColour(m_pressedColour, colour); }
    void SetHoverColor(const QColor& colour) { SetColour(m_hoverColour, colour); }
    void SetNormalColor(const QColor& colour) { SetColour(m_normalColour, colour); }
    void SetDisabledColor(const QColor& colour) { SetColour(m_disabledColour, colour); }
    void SetTextColor(const QColor& colour) { SetColour(m_textColour, colour); }

    int State() const { return m_state; }
    int FocusFlag() const { return m_focus; }

    // The caption font: "Arial" at pixel height 16, stretched to an average character width of 12.
    static QFont CaptionFont();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetColour(QColor& member, const QColor& colour);
    // The face says its colours only to the eye; a screen reader hears them from the description,
    // which follows every change of the fill or caption colour.
    void DescribeColours();
    void SetState(int state);

    int m_state = kNormal;
    int m_focus = 0;
    // Whether the button is watching the pointer, in place of holding the mouse capture: set by
    // the first move over the button, cleared when the pointer leaves or a press hands the pointer
    // to the button's own handling. No capture is ever taken, so none can be left behind.
    bool m_pointerTracked = false;

    QColor m_pressedColour{46, 49, 54};
    QColor m_hoverColour{46, 49, 54};
    QColor m_normalColour{46, 49, 54};
    QColor m_disabledColour{46, 49, 54};
    QColor m_textColour{128, 128, 128};
};

} // namespace brenvik
