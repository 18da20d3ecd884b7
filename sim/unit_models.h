#pragma once

#include "sim/unit_behaviour.h"
#include "sim/unit_config.h"

#include <memory>

namespace brenvik::sim {

// The behaviour brenvik-unitsim gives a unit of this type code, or nothing for a unit that only
// answers discovery. Each unit model adds its row to the table in unit_models.cpp.
std::unique_ptr<UnitBehaviour> MakeUnitModel(const UnitConfig& config);

} // namespace brenvik::sim
