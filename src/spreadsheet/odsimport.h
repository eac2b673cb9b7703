#pragma once
// Reading the block A1..C200 of the first table of an OpenDocument
// spreadsheet (.ods): numbers, percentages and currencies by their value,
// every other cell (texts, dates, times) by the text it shows. Repeated rows
// and columns are counted, never spread out, so a table that repeats an
// empty row a million times costs nothing.
#include "spreadsheet/spreadsheetblock.h"
#include "spreadsheet/zipreader.h"

#include <optional>

namespace calvero {

// Nothing when the archive holds no readable spreadsheet content.
std::optional<SpreadsheetBlock> readOdsBlock(const ZipReader& archive);

} // namespace calvero
