#pragma once

#include <functional>

namespace brenvik {

// Hands work from the status receiver thread to the UI thread, which owns the state record and
// the controls. Post may be called from any thread; tasks run on the UI thread in the order
// posted. The Qt side binds the queued call to the page object, so tasks posted after the page
// is gone are dropped, never run.
class UiDispatcher {
public:
    virtual ~UiDispatcher() = default;
    virtual void Post(std::function<void()> task) = 0;
};

} // namespace brenvik
