#pragma once
// A statement run with bound values, written out as if the values stood in its text as literals:
// what the statement trace records and what fault rules are matched against, one row at a time.
// The values are written the way the program writes them into an INSERT of its own, so one rule
// refuses the same row whether the program sends literals or binds: texts (numbers bound as text
// included) in single quotes with quotes doubled and a NUL character as CHR(0) joined with ||,
// NULL as '', bytes as quoted upper-case hexadecimal, timestamps as {ts '...'} in the form their
// column keeps them, dates as {d '...'}.
#include "types.h"

#include <string>
#include <string_view>
#include <vector>

namespace devdb {

// Values longer than this many characters (or bytes, for hexadecimal) are written cut short,
// followed by "...": rules match the start of a statement, and a trace line stays readable.
inline constexpr size_t kBoundTextLimit = 1000;

// sql with the value of each marker written in its place. columns[i] is the column the i-th
// marker's value goes to or is compared with, or null when unknown.
std::string boundText(std::string_view sql, const std::vector<size_t>& markers, const std::vector<Literal>& values,
                      const std::vector<const ColumnType*>& columns);

} // namespace devdb
