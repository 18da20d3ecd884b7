#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <optional>

namespace brenvik::ctl {

// The link reports an exchange once, on its own thread; a program without a window simply waits
// for that report. Nothing when it did not come within `bound` (a link that stopped answering).
template <typename Result, typename Start>
std::optional<Result> AwaitResult(Start start, std::chrono::milliseconds bound = std::chrono::seconds(30)) {
    auto promise = std::make_shared<std::promise<Result>>();
    auto future = promise->get_future();
    start([promise](Result result) { promise->set_value(std::move(result)); });
    if (future.wait_for(bound) != std::future_status::ready) {
        return std::nullopt;
    }
    return future.get();
}

} // namespace brenvik::ctl
