#pragma once

#include <QTest>

#include <chrono>

namespace brenvik::test {

// Keeps the UI thread's event loop running until `done` holds; false when `bound` passed first.
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds bound = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

} // namespace brenvik::test
