#pragma once

#include <string>

namespace brenvik {

// How the link and core layers speak to the operator without knowing about windows.
// The main window shows message boxes; tests record. Implementations must accept calls from any
// thread (the status receiver's re-read can reach the channel).
class OperatorMessages {
public:
    virtual ~OperatorMessages() = default;
    // An OK box with the caption "Err".
    virtual void ShowError(const std::string& text) = 0;
    // A debug line on standard output, e.g. "create socket fail\n".
    virtual void DebugText(const std::string& text) = 0;
};

} // namespace brenvik
