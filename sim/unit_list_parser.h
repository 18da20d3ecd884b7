#pragma once

#include "sim/unit_config.h"

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace brenvik::sim {

// Units as brenvik-unitsim takes them, one unit per text:
//   ip,type,address,name,id[,fault]
// e.g. "127.0.0.2,A1,1,16CH Monitorgrid,0A0B0C0D" or "127.0.0.3,0x82,1,PQT0642,01020304,twice".
// The type code is hexadecimal (with or without 0x); the unit address is decimal, or hexadecimal
// with 0x; the identifier is 8 hexadecimal digits, sent in that order; the name is taken byte for
// byte and cannot hold a comma. Faults: none, header, type, short, twice, silent, idpastend.
class UnitListParser {
public:
    // Nothing, with Error() telling why, for a text that is not a unit.
    std::optional<UnitConfig> ParseUnit(const std::string& text);
    // One unit per line; empty lines and lines starting with '#' are skipped.
    std::optional<std::vector<UnitConfig>> ParseFile(std::istream& in);
    const std::string& Error() const { return m_error; }

private:
    std::string m_error;
};

} // namespace brenvik::sim
