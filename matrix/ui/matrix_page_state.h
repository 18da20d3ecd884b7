#pragma once

#include "matrix/core/matrix_model.h"

#include <cstdint>

namespace brenvik {

// The routing actions, as the page's highlight remembers them.
enum class MatrixAction : std::uint8_t { None = 0, Apply = 1, OneToAll = 2, OneToOne = 3 };

// The matrix page's selection, kept by the console state next to the model: the marks for the
// next APPLY outlive the page (they do nothing until an input is selected, which clears them).
struct MatrixPageState {
    std::uint8_t selectedInput = 0; // 1..8; 0 = none
    MatrixRouting pendingRouting{}; // per output, the selected input when marked for APPLY, else 0
    MatrixAction highlightedAction = MatrixAction::None;
};

} // namespace brenvik
