#include "sim/unit_models.h"

#include "sim/matrix_model.h"
#include "sim/multiviewer_model.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace brenvik::sim {

namespace {

struct UnitModel {
    std::uint8_t typeCode;
    std::unique_ptr<UnitBehaviour> (*make)(const UnitConfig& config);
};

// One row per unit model, by the type code of the units it stands in for.
constexpr std::array<UnitModel, 2> kUnitModels{{
    {kTypeMultiviewer,
     [](const UnitConfig&) -> std::unique_ptr<UnitBehaviour> {
         return std::make_unique<MultiviewerModel>();
     }},
    {kTypeMatrixSwitcher,
     [](const UnitConfig&) -> std::unique_ptr<UnitBehaviour> { return std::make_unique<MatrixModel>(); }},
}};

} // namespace

std::unique_ptr<UnitBehaviour> MakeUnitModel(const UnitConfig& config) {
    const auto model = std::find_if(kUnitModels.begin(), kUnitModels.end(),
                                    [&](const UnitModel& m) { return m.typeCode == config.typeCode; });
    return model == kUnitModels.end() ? nullptr : model->make(config);
}

} // namespace brenvik::sim
