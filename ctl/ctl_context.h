#pragma once

#include "ctl/ctl_options.h"
#include "ctl/run_ctl.h"

#include <ostream>

namespace brenvik::ctl {

// What every command is run with.
struct CtlContext {
    const CtlOptions& options;
    std::ostream& out;
    std::ostream& err;
    const CtlHooks& hooks;
};

} // namespace brenvik::ctl
