#pragma once

#include <stdexcept>
#include <string>

namespace brenvik::ctl {

// A command line the program cannot carry out as written: the message names the bad argument and
// goes to standard error as one line; the exit status is 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace brenvik::ctl
