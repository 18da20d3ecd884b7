#pragma once

#include "tools/render_job_registry.h"

namespace brenvik {

// The console's windows as an operator sees them, against simulated units on loopback: the main
// window at 96 and 144 dpi before and after a search, and the multiviewer console page in both
// modes.
void AddWindowRenderJobs(RenderJobRegistry& registry);

} // namespace brenvik
