#pragma once

#include <string>
#include <string_view>

namespace tabulix {

// A number as a spreadsheet shows it in the General format: an integer
// without a decimal point, any other number in the shortest form with at
// most 15 significant digits.
std::string GeneralNumber(double value);

// The format code of a built-in number format of an xlsx workbook, as a
// Japanese spreadsheet shows it; empty for an unknown one (General).
std::string_view BuiltinFormatCode(int id);

// A number as the sheet shows it under a format code: dates and times (y, m,
// d, h, s, AM/PM, elapsed [h] [m] [s]), percentages, fixed decimals,
// thousands separators, scientific form, literal text; what is not
// understood falls back to General. Serial dates count from 1900 (with the
// spreadsheet's 29 February 1900) or from 1904.
std::string FormatNumber(double value, std::string_view formatCode, bool date1904 = false);

} // namespace tabulix
