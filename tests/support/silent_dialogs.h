#pragma once

#include "controls/operator_dialogs.h"

#include <string>

namespace brenvik::test {

// Operator boxes for programs that only look or measure (benchmarks, review renders): every
// warning is answered OK and nothing is shown or kept.
class SilentDialogs : public OperatorDialogs {
public:
    void ShowError(const std::string&) override {}
    void DebugText(const std::string&) override {}
    bool AskWarning(const std::string&) override { return true; }
};

} // namespace brenvik::test
