#pragma once

#include "ctl/command_words.h"
#include "ctl/ctl_context.h"

namespace brenvik::ctl {

// `mv ...`: reads every word first (bad usage throws UsageError before anything is sent), then
// talks to the unit. Returns the exit status.
int RunMultiviewer(CommandWords& words, const CtlContext& context);

} // namespace brenvik::ctl
