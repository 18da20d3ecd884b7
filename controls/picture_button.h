#pragma once

#include <QAbstractButton>
#include <QBitmap>
#include <QColor>
#include <QPixmap>

class QPainter;

namespace brenvik {

// The console's picture button: a flat push button that shows one picture from the skin and
// changes it to show state. Pure black pixels of a picture are transparent and let the background
// show through; the picture moves one pixel right and down while the button is held; a disabled
// button shows its picture embossed in grey; on hover, with border drawing on, a one-pixel 3D
// rectangle frames it. No style frame is ever drawn: only what the picture and the state say.
class PictureButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);

    // Result of SetButtonPictures.
    static constexpr int kPicturesSet = 0;
    static constexpr int kPictureSizeUnreadable = 1;
    static constexpr int kMaskNotBuilt = 2;

    // Replaces the button's pictures, releasing the previous ones and their masks, and builds a
    // mask for each. The second picture, when given, shows while the button is neither held nor
    // hovered. Returns kPicturesSet, or kPictureSizeUnreadable for a picture without a size (a null
    // pixmap) or kMaskNotBuilt; both failures leave the button without pictures.
    int SetButtonPictures(const QPixmap& first, const QPixmap& second = QPixmap());

    // Shows skin picture `number` as the only picture; an unknown number leaves no picture.
    void SetButtonPictureResource(int number);
    // The skin picture the button shows, 0 for none or for pictures given as pixmaps.
    int ShownPicture() const { return m_shownPicture; }
    // The same, and the accessible description says "selected" while the picture is a selected
    // (highlighted, on) face of the skin, so a screen reader hears what the eye sees.
    void ShowDescribedPicture(int number);

    // Whether the one-pixel 3D rectangle appears on hover and while held; on by default.
    void SetBorderDrawing(bool on);

    // With the transparent background on, the parent's pixels under the button are copied once,
    // at the next paint, and drawn as the button's background until this is called again.
    void SetTransparentBackground(bool on);

    bool IsHovered() const { return m_hovered; }

    QSize sizeHint() const override;

protected:
    // Draws what lies under the picture. The plain button fills the hover, focus or normal
    // background colour.
    virtual void DrawBackgroundStep(QPainter& painter, bool hovered, bool pressed);
    // Draws the one-pixel 3D rectangle: light on top and left, shadow on bottom and right, the
    // reverse while pressed.
    virtual void DrawBorderStep(QPainter& painter, bool pressed);

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Picture {
        QPixmap pixmap;
        QBitmap mask;                // set where the picture is opaque, clear on its pure black pixels
        bool hasTransparent = false; // whether any pixel is pure black, so the mask must be applied
    };

    void TakeSystemColours();
    static bool BuildPicture(const QPixmap& source, Picture& picture);
    void TrackPointer(const QPoint& position, bool leftButtonDown);
    void SetHovered(bool hovered);
    void CopyParentBackground(QPainter& painter);
    void DrawPicture(QPainter& painter, const Picture& picture, const QPoint& at) const;
    void DrawEmbossed(QPainter& painter, const Picture& picture, const QPoint& at) const;
    void DrawCaption(QPainter& painter, const QRect& area, bool hovered, bool pressed) const;

    int m_shownPicture = 0;
    bool m_drawBorder = true;
    bool m_transparentBackground = false;
    bool m_hovered = false;

    QColor m_hoverBackground;
    QColor m_hoverText;
    QColor m_normalBackground;
    QColor m_normalText;
    QColor m_focusBackground;

    Picture m_first;
    Picture m_second;
    QPixmap m_backgroundCache;
};

} // namespace brenvik
