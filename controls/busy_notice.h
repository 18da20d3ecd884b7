#pragma once

#include "controls/background_operation.h"

#include <QRect>
#include <QString>

class QPainter;

namespace brenvik {

// A long operation on the link run for a unit's page, with the sign the page shows while it runs
// ("Reading the unit…"): the window keeps painting and refuses input meanwhile (BackgroundOperation),
// and the page paints the sign from its paint event.
class BusyNotice : public BackgroundOperation {
public:
    struct Look {
        QString text;
        QRect area; // on the page, scaled
        Qt::Alignment alignment = Qt::AlignCenter;
        bool dimPage = false; // the page goes darker under the sign
        int pixelSize = 16;   // scaled
    };

    BusyNotice(QWidget& page, Look look);

    bool Busy() const { return m_busy; }
    // Paints the sign while the operation runs; nothing otherwise.
    void Paint(QPainter& painter) const;

private:
    QWidget& m_page;
    Look m_look;
    bool m_busy = false;
};

} // namespace brenvik
