#pragma once

#include <chrono>
#include <functional>

namespace brenvik {

// Hands work to the thread that owns a unit's record (the UI thread in the console, the main
// thread in brenvik-ctl). Post may be called from any thread, the link's included; tasks run on the
// owning thread in the order posted. PostAfter is called on the owning thread only and runs the
// task there once `delay` has passed, without holding up anything meanwhile. An implementation
// drops the tasks still pending when it goes, never runs them.
class UiDispatcher {
public:
    virtual ~UiDispatcher() = default;
    virtual void Post(std::function<void()> task) = 0;
    virtual void PostAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};

} // namespace brenvik
