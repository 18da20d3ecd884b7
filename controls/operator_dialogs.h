#pragma once

#include "link/operator_messages.h"

#include <string>

namespace brenvik {

// The operator-facing boxes of the console's windows: the "Err" boxes and debug lines of the
// link, plus the "Warning" question (OK / Cancel) of the console page. The product shows message
// boxes; widget tests answer and record.
class OperatorDialogs : public OperatorMessages {
public:
    // True when the operator answered OK.
    virtual bool AskWarning(const std::string& text) = 0;
};

} // namespace brenvik
