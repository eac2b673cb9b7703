#pragma once
// Writes a worksheet as an Excel 97-2003 workbook (BIFF8 records in a
// compound file): one sheet, its numbers, texts (in the shared string table),
// formulas with their values computed here and marked to be calculated
// again when the workbook is opened, the cells' number formats, and its
// column widths. Texts go in as validText makes them, whatever bytes a cell
// was given.
#include "common/checked.h"
#include "spreadsheet/biff8records.h"
#include "spreadsheet/workbooksheet.h"

#include <optional>
#include <string>

namespace calvero {

// The index of the cell format of every cell without a number format of its
// own: the 16th format, after the 15 built-in style formats. A number format
// asked for adds one cell format after it.
constexpr std::uint16_t DefaultCellFormat = 15;

// The "Workbook" stream. Throws WorkbookError when the sheet cannot be
// written (a formula outside the language, a sheet name the format refuses).
Bytes workbookStream(const Worksheet& sheet);

// The whole file.
Bytes workbookFile(const Worksheet& sheet);

// Writes the file; nothing on success, the reason otherwise.
Failure saveWorkbook(const Worksheet& sheet, const std::string& path);

} // namespace calvero
