#include "capture/cutgridlines.h"

#include "capture/colour.h"

namespace calvero::capture {

namespace {

// A broken line: at least this share of it not ink, and this share of its
// breaks showing the fill with the paper beyond.
constexpr double BrokenShare = 0.05;
constexpr double FilledBreaks = 0.6;
// The fill and the paper beyond told apart by more than this colour
// distance (a light grey area on white is some eight).
constexpr double SameFill = 3;
// An end drawn with no line: a place this near inside it is its cut grid line (or tick).
constexpr double UndrawnReach = 1;

} // namespace

std::optional<double> cutLineEdge(const PixelBuffer& picture, const PixelMask& ink, const EdgeLine& line, bool across, int outward)
{
    const int outer = outward > 0 ? line.to : line.from, beyond = outer + outward;
    const int inner = (outward > 0 ? line.from : line.to) - outward;
    const int breadth = across ? picture.height() : picture.width(), length = across ? picture.width() : picture.height();
    if (beyond < 0 || beyond >= breadth || inner < 0 || inner >= breadth) return std::nullopt;
    const auto colourAt = [&](int along, int at) { return rgbOf(across ? picture.pixel(along, at) : picture.pixel(at, along)); };
    int n = 0, breaks = 0, filled = 0;
    for (int a = std::max(0, line.first); a <= std::min(length - 1, line.last); ++a) {
        ++n;
        if (across ? ink.at(a, outer) : ink.at(outer, a)) continue;
        ++breaks;
        // The break is of the fill inside the line, and the paper beyond is not.
        const Rgb gap = colourAt(a, outer);
        if (colourDistance(gap, colourAt(a, inner)) <= SameFill && colourDistance(gap, colourAt(a, beyond)) > SameFill) ++filled;
    }
    if (n == 0 || breaks < BrokenShare * n || filled < FilledBreaks * breaks) return std::nullopt;
    return outward > 0 ? line.to + 1.0 : double(line.from);
}

void placedOnCutEdges(std::vector<double>& places, const PixelBuffer& picture, const PixelMask& ink,
                      const ChartFrame& chart, bool across)
{
    struct End {
        const std::optional<EdgeLine>& drawn;
        double at;
        bool across;
        int outward;
        std::optional<double> cut;
    };
    End ends[] = {{chart.leftLine, chart.left, false, -1, {}}, {chart.rightLine, chart.right, false, +1, {}},
                  {chart.topLine, chart.top, true, -1, {}}, {chart.bottomLine, chart.bottom, true, +1, {}}};
    bool frameless = false;
    for (End& e : ends)
        if (e.drawn && (e.cut = cutLineEdge(picture, ink, *e.drawn, e.across, e.outward))) frameless = true;
    // Only a plot whose lines at its edges are cut grid lines has no frame:
    // an end of it with no line has its grid line cut away but for a faint
    // rest (a tick mark alone at a frameless end stays where it is).
    for (const End& e : ends) {
        // The ends of an x axis are the plot's left and right, lines down.
        if (e.across == across) continue;
        double from = 0, to = 0; // the places moved onto the edge
        std::optional<double> edge;
        if (e.drawn && e.cut) {
            // The line's rows and a pixel inward, fringes and all.
            edge = e.cut;
            from = e.outward < 0 ? e.drawn->from : e.drawn->from - 1, to = e.outward < 0 ? e.drawn->to + 2 : e.drawn->to + 1;
        } else if (!e.drawn && frameless) {
            edge = e.at;
            from = e.outward < 0 ? e.at : e.at - UndrawnReach, to = e.outward < 0 ? e.at + UndrawnReach : e.at;
        }
        if (!edge) continue;
        for (double& p : places)
            if (p >= from && p <= to) p = *edge;
    }
}

} // namespace calvero::capture
