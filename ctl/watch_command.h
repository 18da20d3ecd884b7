#pragma once

#include "ctl/command_words.h"
#include "ctl/ctl_context.h"

namespace brenvik::ctl {

// `watch`: every report of the multiviewer as it arrives, until the hooks' stop is requested.
int RunWatch(CommandWords& words, const CtlContext& context);

} // namespace brenvik::ctl
