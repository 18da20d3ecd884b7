#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <optional>

namespace brenvik {

// Starts an operation that reports once, on another thread (the link's), through the completion it
// is given, and waits for that report; nothing when it did not come within `bound`. For programs
// without a window and for tests: the console's window never waits on the link.
template <typename Result, typename Start>
std::optional<Result> AwaitCompletion(Start start, std::chrono::milliseconds bound) {
    auto promise = std::make_shared<std::promise<Result>>();
    auto future = promise->get_future();
    start([promise](Result result) { promise->set_value(std::move(result)); });
    if (future.wait_for(bound) != std::future_status::ready) {
        return std::nullopt;
    }
    return future.get();
}

} // namespace brenvik
