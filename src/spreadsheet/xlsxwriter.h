#pragma once
// A worksheet as an Office Open XML workbook (.xlsx): texts inline, numbers
// at full precision; formulas are not written (the sheets saved this way hold
// none).
#include "common/checked.h"
#include "spreadsheet/workbooksheet.h"

#include <optional>
#include <string>

namespace calvero {

// Writes the workbook; the reason when it could not be written.
Failure saveXlsxWorkbook(const Worksheet& sheet, const std::string& path);

} // namespace calvero
