#include "spreadsheet/spreadsheetblock.h"

#include "common/celltext.h"

#include <charconv>

namespace calvero {

std::string spreadsheetNumberText(double value)
{
    if (value == 0.0) value = 0.0; // no "-0"
    char buffer[400];
    auto fixed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (fixed.ec == std::errc() && static_cast<std::size_t>(fixed.ptr - buffer) <= CellTextLength)
        return std::string(buffer, fixed.ptr);
    auto shortest = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    return std::string(buffer, shortest.ptr);
}

} // namespace calvero
