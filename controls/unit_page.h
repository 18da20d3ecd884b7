#pragma once

#include <QWidget>

namespace brenvik {

// What the page of an open unit (a multiviewer's console page, a matrix switcher's page) does
// besides its own controls: it takes its own clicks, so that they never reach the main window's
// background (focus hand-over, window drag, its menu), and Enter and Escape stop at it, so that
// neither ever closes the console. Its long operations show their sign with a BusyNotice.
class UnitPage : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace brenvik
