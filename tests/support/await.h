#pragma once

#include "link/await_completion.h"

namespace brenvik::test {

// The tests' bound on a report from the link or the simulator.
template <typename Result, typename Start>
std::optional<Result> Await(Start start, std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    return AwaitCompletion<Result>(std::move(start), bound);
}

} // namespace brenvik::test
