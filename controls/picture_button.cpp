#include "controls/picture_button.h"

#include "res/skin.h"
#include "res/skin_catalogue.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <vector>

namespace brenvik {
namespace {

// A picture with a caption sits this far from the left edge; the caption takes the space to its
// right.
constexpr int kPictureInset = 3;

// Disabled pictures keep their shapes but lose their colour: every opaque pixel becomes a grey
// between these two, by its brightness.
constexpr int kEmbossDarkest = 72;
constexpr int kEmbossSpan = 104;

} // namespace

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
    // Hover is tracked from plain moves, not only while a mouse button is held.
    setMouseTracking(true);
    TakeSystemColours();
}

void PictureButton::TakeSystemColours() {
    // Every state starts in the button face and button text colours of the system.
    const QPalette colours = palette();
    m_hoverBackground = colours.color(QPalette::Button);
    m_hoverText = colours.color(QPalette::ButtonText);
    m_normalBackground = colours.color(QPalette::Button);
    m_normalText = colours.color(QPalette::ButtonText);
    m_focusBackground = colours.color(QPalette::Button);
}

bool PictureButton::BuildPicture(const QPixmap& source, Picture& picture) {
    // Read as RGB32, the fully see-through pixels of a translucent pixmap come out pure black, so
    // they stay see-through on the button.
    const QImage image = source.toImage().convertToFormat(QImage::Format_RGB32);
    const QBitmap mask = QBitmap::fromImage(image.createMaskFromColor(qRgb(0, 0, 0), Qt::MaskInColor));
    if (mask.isNull() || mask.size() != source.size()) {
        return false;
    }
    bool hasTransparent = false;
    for (int y = 0; y < image.height() && !hasTransparent; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00ffffff) == 0) {
                hasTransparent = true;
                break;
            }
        }
    }
    picture.pixmap = source;
    picture.mask = mask;
    picture.hasTransparent = hasTransparent;
    return true;
}

int PictureButton::SetButtonPictures(const QPixmap& first, const QPixmap& second) {
    m_shownPicture = 0;
    m_first = Picture{};
    m_second = Picture{};
    update();
    if (first.isNull()) {
        return kPictureSizeUnreadable;
    }
    Picture builtFirst;
    Picture builtSecond;
    if (!BuildPicture(first, builtFirst) || (!second.isNull() && !BuildPicture(second, builtSecond))) {
        return kMaskNotBuilt;
    }
    m_first = std::move(builtFirst);
    m_second = std::move(builtSecond);
    updateGeometry();
    return kPicturesSet;
}

void PictureButton::SetButtonPictureResource(int number) {
    // Building a picture's mask costs far more than the comparison: a button asked to show what it
    // shows already is left as it is.
    if (number == m_shownPicture && number != 0) {
        return;
    }
    SetButtonPictures(Skin::Picture(number));
    m_shownPicture = number;
}

void PictureButton::ShowDescribedPicture(int number) {
    SetButtonPictureResource(number);
    const SkinEntry* face = FindSkinEntry(number);
    const QString description = face != nullptr && face->selected ? QStringLiteral("selected") : QString();
    if (accessibleDescription() != description) {
        setAccessibleDescription(description);
    }
}

void PictureButton::SetBorderDrawing(bool on) {
    m_drawBorder = on;
    update();
}

void PictureButton::SetTransparentBackground(bool on) {
    m_transparentBackground = on;
    m_backgroundCache = QPixmap();
    update();
}

QSize PictureButton::sizeHint() const {
    return m_first.pixmap.isNull() ? QSize(0, 0) : m_first.pixmap.size();
}

void PictureButton::DrawBackgroundStep(QPainter& painter, bool hovered, bool pressed) {
    const QColor& fill = hovered || pressed ? m_hoverBackground
                         : hasFocus()       ? m_focusBackground
                                            : m_normalBackground;
    painter.fillRect(rect(), fill);
}

void PictureButton::DrawBorderStep(QPainter& painter, bool pressed) {
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor& topLeft = pressed ? shadow : light;
    const QColor& bottomRight = pressed ? light : shadow;
    const QRect area = rect();
    painter.fillRect(QRect(area.left(), area.top(), area.width(), 1), topLeft);
    painter.fillRect(QRect(area.left(), area.top(), 1, area.height()), topLeft);
    painter.fillRect(QRect(area.left(), area.bottom(), area.width(), 1), bottomRight);
    painter.fillRect(QRect(area.right(), area.top(), 1, area.height()), bottomRight);
}

void PictureButton::CopyParentBackground(QPainter& painter) {
    if (m_backgroundCache.isNull() && parentWidget() != nullptr) {
        // What the parent shows under the button: its own painting over that of every ancestor up
        // to the window, each rendered without its children so the button stays out of its own
        // background.
        std::vector<QWidget*> ancestors;
        for (QWidget* ancestor = parentWidget(); ancestor != nullptr;
             ancestor = ancestor->isWindow() ? nullptr : ancestor->parentWidget()) {
            ancestors.push_back(ancestor);
        }
        QPixmap copy(size());
        copy.fill(Qt::transparent);
        for (auto ancestor = ancestors.rbegin(); ancestor != ancestors.rend(); ++ancestor) {
            const QRect under((*ancestor)->mapFromGlobal(mapToGlobal(QPoint(0, 0))), size());
            (*ancestor)->render(&copy, QPoint(), QRegion(under), QWidget::DrawWindowBackground);
        }
        m_backgroundCache = copy;
    }
    painter.drawPixmap(0, 0, m_backgroundCache);
}

void PictureButton::DrawPicture(QPainter& painter, const Picture& picture, const QPoint& at) const {
    if (!picture.hasTransparent) {
        painter.drawPixmap(at, picture.pixmap);
        return;
    }
    painter.save();
    painter.setClipRegion(QRegion(picture.mask).translated(at), Qt::IntersectClip);
    painter.drawPixmap(at, picture.pixmap);
    painter.restore();
}

void PictureButton::DrawEmbossed(QPainter& painter, const Picture& picture, const QPoint& at) const {
    QImage grey = picture.pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage shape = picture.mask.toImage().convertToFormat(QImage::Format_Mono);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            if (shape.pixelIndex(x, y) == 0) {
                line[x] = 0;
                continue;
            }
            const int level = kEmbossDarkest + qGray(line[x]) * kEmbossSpan / 255;
            line[x] = qRgb(level, level, level);
        }
    }
    // The light copy one pixel down and right is what makes the grey shape read as embossed.
    painter.save();
    painter.setClipRegion(QRegion(picture.mask).translated(at + QPoint(1, 1)), Qt::IntersectClip);
    painter.fillRect(QRect(at + QPoint(1, 1), picture.pixmap.size()), palette().color(QPalette::Light));
    painter.restore();
    painter.drawImage(at, grey);
}

void PictureButton::DrawCaption(QPainter& painter, const QRect& area, bool hovered, bool pressed) const {
    const QRect place = pressed ? area.translated(1, 1) : area;
    constexpr int kFlags = Qt::AlignCenter | Qt::TextWordWrap;
    if (!isEnabled()) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(place.translated(1, 1), kFlags, text());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(place, kFlags, text());
        return;
    }
    painter.setPen(hovered || pressed ? m_hoverText : m_normalText);
    painter.drawText(place, kFlags, text());
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool pressed = isDown();
    const bool hovered = m_hovered;

    if (m_transparentBackground) {
        CopyParentBackground(painter);
    } else {
        DrawBackgroundStep(painter, hovered, pressed);
    }
    if (m_drawBorder && (pressed || hovered)) {
        DrawBorderStep(painter, pressed);
    }

    const Picture& shown = !m_second.pixmap.isNull() && !pressed && !hovered ? m_second : m_first;
    const bool hasCaption = !text().isEmpty();
    QRect captionArea = rect();
    if (!shown.pixmap.isNull()) {
        const QSize size = shown.pixmap.size();
        QPoint at(hasCaption ? kPictureInset : (width() - size.width()) / 2, (height() - size.height()) / 2);
        if (hasCaption) {
            captionArea.setLeft(kPictureInset + size.width());
        }
        if (pressed) {
            at += QPoint(1, 1);
        }
        if (isEnabled()) {
            DrawPicture(painter, shown, at);
        } else {
            DrawEmbossed(painter, shown, at);
        }
    }
    if (hasCaption) {
        DrawCaption(painter, captionArea, hovered, pressed);
    }
}

void PictureButton::TrackPointer(const QPoint& position, bool leftButtonDown) {
    // A press that started elsewhere does not light the button up when dragged over it.
    if (leftButtonDown && !m_hovered) {
        return;
    }
    SetHovered(rect().contains(position));
}

void PictureButton::SetHovered(bool hovered) {
    if (m_hovered != hovered) {
        m_hovered = hovered;
        update();
    }
}

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
    QAbstractButton::mouseMoveEvent(event);
    TrackPointer(event->position().toPoint(), (event->buttons() & Qt::LeftButton) != 0);
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a fast double-click is a press like any other, so it clicks again.
    mousePressEvent(event);
}

void PictureButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    TrackPointer(event->position().toPoint(), (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0);
}

void PictureButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    SetHovered(false);
}

void PictureButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    SetHovered(false);
}

void PictureButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        // Qt has already passed the focus of a disabled button on to the next control in the tab
        // order, or cleared it when there is none.
        if (!isEnabled()) {
            SetHovered(false);
        }
        update();
        break;
    case QEvent::ActivationChange:
        if (!isActiveWindow()) {
            SetHovered(false);
        }
        break;
    case QEvent::PaletteChange:
        TakeSystemColours();
        m_backgroundCache = QPixmap();
        update();
        break;
    default:
        break;
    }
}

void PictureButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    // A copy of the old size would leave a strip of stale or missing background.
    m_backgroundCache = QPixmap();
}

} // namespace brenvik
