#pragma once

#include "ctl/command_words.h"
#include "ctl/ctl_context.h"

namespace brenvik::ctl {

// `discover`: one search on the LAN or the serial line, the units that answered as a table or JSON.
int RunDiscover(CommandWords& words, const CtlContext& context);

} // namespace brenvik::ctl
