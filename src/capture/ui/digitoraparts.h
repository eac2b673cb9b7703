#pragma once
// What the parts of digitora's window share (its building, its capture
// commands, its files).
#include "capture/capturedocument.h"
#include "common/numtext.h"

#include <QString>

#include <iterator>
#include <optional>
#include <string>

namespace calvero::digitora {

inline constexpr const char* ReferenceLabels[4] = {"x1", "x2", "y1", "y2"};

// A new curve, named and coloured by its place in the list.
inline capture::Curve newCurve(std::size_t index)
{
    // Marker colours given to new curves in turn.
    static constexpr capture::Rgb Colours[] = {{220, 0, 0},   {0, 0, 230},   {0, 150, 0},  {200, 0, 200},
                                               {240, 130, 0}, {0, 160, 170}, {120, 70, 20}};
    return capture::Curve{"curva " + std::to_string(index + 1), Colours[index % std::size(Colours)], std::nullopt, {}};
}

inline QString text(const std::string& s) { return QString::fromStdString(s); }

// A number typed into the window: a decimal comma reads as a point.
inline std::optional<double> typedNumber(const QString& typed)
{
    return parseDecimal(commaToPoint(typed.trimmed().toStdString()));
}

} // namespace calvero::digitora
