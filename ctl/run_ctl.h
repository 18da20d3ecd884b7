#pragma once

#include <functional>
#include <ostream>
#include <stop_token>
#include <string>
#include <vector>

namespace brenvik::ctl {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitNoAnswer = 1; // the unit could not be reached or did not answer
inline constexpr int kExitUsage = 2;    // bad usage: one line on standard error names the argument

// What the program is given besides its words: the end of `watch` (a signal in the program, the
// test's own stop in tests) and two notices a test can wait on instead of guessing.
struct CtlHooks {
    std::stop_token stop;
    std::function<void()> watching;    // `watch` listens on the status port from now on
    std::function<void()> reportShown; // `watch` has written one report
};

// The whole program: `args` without the program's name. Writes results to `out`, faults to `err`,
// and returns the exit status.
int RunCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CtlHooks& hooks = {});

} // namespace brenvik::ctl
