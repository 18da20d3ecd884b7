#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>

namespace brenvik {

// Which device page opens for which unit type. A page kind registers itself by type code; a unit
// of any other type is listed and can be selected, but opens nothing.
class UnitPageRegistry {
public:
    using Factory = std::function<QWidget*(QWidget* parent)>;

    void Register(std::uint8_t typeCode, Factory factory) { m_factories[typeCode] = std::move(factory); }
    bool Has(std::uint8_t typeCode) const { return m_factories.contains(typeCode); }
    // The new page, or nullptr for a type without a page.
    QWidget* Create(std::uint8_t typeCode, QWidget* parent) const {
        auto found = m_factories.find(typeCode);
        return found == m_factories.end() ? nullptr : found->second(parent);
    }

private:
    std::map<std::uint8_t, Factory> m_factories;
};

} // namespace brenvik
