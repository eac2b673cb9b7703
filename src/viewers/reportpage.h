#pragma once
// The page of a printed or saved report: Courier New at 10 points, every line
// of the report on one line of the page. The sheet stands upright when the
// widest line fits between side margins of 2 cm, and lies across otherwise,
// with side margins that keep the widest report line (130 characters) on A4;
// on a shorter sheet (US Letter) the font shrinks just enough to keep it.
#include <cstddef>
#include <string>
#include <vector>

namespace calvero {

constexpr double ReportFontPoints = 10.0;
// Courier New's characters are 0.6 of the font size wide.
constexpr double ReportCharacterPoints = 6.0;
constexpr double A4WidthPoints = 595.2756; // 210 mm
constexpr double A4HeightPoints = 841.8898; // 297 mm

struct ReportPage {
    bool landscape = false;
    double widthPoints = 0.0; // the sheet as it lies: across when landscape
    double heightPoints = 0.0;
    double sideMarginPoints = 0.0; // left and right
    double endMarginPoints = 0.0;  // top and bottom
    double fontPoints = ReportFontPoints; // smaller only where the widest line needs it
};

// The page for a widest line of that many characters on a sheet given
// upright (width below height).
ReportPage reportPage(std::size_t widestLine, double sheetWidthPoints = A4WidthPoints,
                      double sheetHeightPoints = A4HeightPoints);

// The characters of the longest line (UTF-8), trailing blanks not counted.
std::size_t widestLine(const std::vector<std::string>& lines);

} // namespace calvero
