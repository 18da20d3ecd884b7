#pragma once

#include <QApplication>
#include <QColor>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointingDevice>
#include <QWidget>

#include <functional>
#include <ostream>

// Readable colours in test failures.
inline void PrintTo(const QColor& colour, std::ostream* out) {
    *out << "rgb(" << colour.red() << ", " << colour.green() << ", " << colour.blue() << ")";
}

namespace brenvik::test {

// A parent window that paints one plain colour, so that whatever a control lets through can be
// recognised in a grab of the window.
class Backdrop : public QWidget {
public:
    explicit Backdrop(QColor colour) : m_colour(colour) { resize(120, 80); }

    void SetColour(QColor colour) {
        m_colour = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_colour); }

private:
    QColor m_colour;
};

// A picture of `size` in `fill` with `paint` drawing the details on top.
inline QPixmap MakePicture(QSize size, QColor fill, const std::function<void(QImage&)>& paint = {}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    if (paint) {
        paint(image);
    }
    return QPixmap::fromImage(image);
}

// The colour at a point of a widget's rendering, in the widget's own coordinates.
inline QColor PixelOf(QWidget& widget, QPoint at) {
    return widget.grab().toImage().pixelColor(at);
}

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline void SendMove(QWidget& widget, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
    SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void SendEnter(QWidget& widget, QPoint at) {
    QEnterEvent event{QPointF(at), QPointF(at), QPointF(widget.mapToGlobal(at))};
    QApplication::sendEvent(&widget, &event);
}

inline void SendLeave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

} // namespace brenvik::test
