#include "viewers/reportpage.h"

#include "common/utf8.h"
#include "common/numtext.h"

#include <algorithm>

namespace calvero {

namespace {

constexpr double PointsPerCentimetre = 72.0 / 2.54;
constexpr double UsualMargin = 2.0 * PointsPerCentimetre;
// Narrower than this, a printer's unprintable border could cut the line.
constexpr double SmallestMargin = 0.5 * PointsPerCentimetre;

} // namespace

ReportPage reportPage(std::size_t widestLine, double sheetWidthPoints, double sheetHeightPoints)
{
    const double text = static_cast<double>(widestLine) * ReportCharacterPoints;
    if (text + 2 * UsualMargin <= sheetWidthPoints)
        return {false, sheetWidthPoints, sheetHeightPoints, UsualMargin, UsualMargin};
    const double side = std::clamp((sheetHeightPoints - text) / 2, SmallestMargin, UsualMargin);
    const double room = sheetHeightPoints - 2 * side;
    const double font = text > room ? ReportFontPoints * room / text : ReportFontPoints;
    return {true, sheetHeightPoints, sheetWidthPoints, side, UsualMargin, font};
}

std::size_t widestLine(const std::vector<std::string>& lines)
{
    std::size_t widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, characterCount(trimRight(line)));
    return widest;
}

} // namespace calvero
