#pragma once

#include <QEvent>
#include <QObject>

#include <chrono>

namespace brenvik::bench {

// Notes the moment the watched widget was last painted.
class PaintWatch : public QObject {
public:
    std::chrono::steady_clock::time_point lastPaint{};
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            lastPaint = std::chrono::steady_clock::now();
        }
        return false;
    }
};

} // namespace brenvik::bench
