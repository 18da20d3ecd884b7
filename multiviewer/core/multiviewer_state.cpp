#include "multiviewer/core/multiviewer_state.h"

#include "link/text_codec.h"

#include <cstdio>

namespace brenvik {

MultiviewerState MultiviewerState::Defaults() {
    MultiviewerState state;
    for (int n = 1; n <= kWindowCount; ++n) {
        char name[8];
        std::snprintf(name, sizeof name, "Umd_%02d", n);
        state.inputNames.At(n) = ToU16(name);
        state.formatTexts.At(n) = u"1080p30";
    }
    return state;
}

} // namespace brenvik
