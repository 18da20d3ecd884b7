#pragma once

#include <QComboBox>

namespace brenvik {

// The device list (control 1003). Like a drop-down list of a dialog template, its rectangle
// includes room below the closed box; the closed box itself is only the top band, so the custom
// name field can sit just below it. A click below the band belongs to the window background.
class DeviceList : public QComboBox {
public:
    DeviceList(QWidget* parent, int bandHeight);

    int BandHeight() const { return m_bandHeight; }
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_bandHeight;
};

} // namespace brenvik
