#pragma once

#include "multiviewer/core/multiviewer_state.h"

#include <istream>
#include <map>
#include <ostream>
#include <string>

namespace brenvik::ctl {

// The longest input name the unit keeps: its state block holds 32 bytes of UTF-16 per name.
inline constexpr std::size_t kMaxInputNameCharacters = 16;

// A name as the unit can take it: at most 16 characters, none above code 128, no backslash (the
// console's name fields refuse these too) and no control characters. Throws UsageError naming
// `where` and the fault.
std::u16string CheckedInputName(const std::string& utf8, const std::string& where);

// The 16 names as CSV: the header row "input,name", then one row per input.
void WriteNamesCsv(const PerWindow<std::u16string>& names, std::ostream& out);

// Input number to name, from CSV with the header row; rows may name any of the inputs, each at
// most once. Throws UsageError "FILE:LINE: ..." for the first row it cannot read.
std::map<int, std::u16string> ReadNamesCsv(std::istream& in, const std::string& fileName);

} // namespace brenvik::ctl
