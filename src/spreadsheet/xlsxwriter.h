#pragma once
// A worksheet as an Office Open XML workbook (.xlsx): texts inline, numbers
// at full precision; formulas are not written (the sheets saved this way hold
// none). Every text goes in as validText makes it, so whatever bytes a cell
// was given the workbook is well-formed XML that any reader opens.
#include "common/checked.h"
#include "spreadsheet/workbooksheet.h"

#include <optional>
#include <string>

namespace calvero {

// The workbook's bytes; nothing when the archive could not be made in memory.
std::optional<std::string> xlsxWorkbookBytes(const Worksheet& sheet);

// Writes the workbook as a whole (writeWholeFile); the reason, in Italian,
// when it could not be written, and an earlier file of that name stays.
Failure saveXlsxWorkbook(const Worksheet& sheet, const std::string& path);

} // namespace calvero
