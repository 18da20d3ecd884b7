#pragma once

#include "ctl/command_words.h"
#include "ctl/ctl_context.h"

namespace brenvik::ctl {

// `mx ...`: reads every word first, then talks to the matrix switcher. Returns the exit status.
int RunMatrix(CommandWords& words, const CtlContext& context);

} // namespace brenvik::ctl
