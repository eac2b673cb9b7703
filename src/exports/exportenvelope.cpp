#include "exports/exportenvelope.h"

#include "common/numtext.h"

#include <boost/geometry/algorithms/convex_hull.hpp>
#include <boost/geometry/strategies/strategies.hpp>
#include <boost/geometry/geometries/multi_point.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include <algorithm>

namespace calvero {

namespace {

namespace bg = boost::geometry;
using HullPoint = bg::model::d2::point_xy<double>;
// Counter-clockwise and open: each corner once.
using HullPolygon = bg::model::polygon<HullPoint, false, false>;

std::vector<EnvelopeCorner> convexHull(std::span<const double> x, std::span<const double> y)
{
    bg::model::multi_point<HullPoint> cloud;
    for (std::size_t i = 0; i < x.size(); ++i) cloud.emplace_back(x[i], y[i]);
    HullPolygon hull;
    bg::convex_hull(cloud, hull);
    std::vector<EnvelopeCorner> corners;
    for (const HullPoint& p : hull.outer()) corners.push_back({p.x(), p.y()});
    return corners;
}

void appendWrapped(std::vector<std::string>& lines, const std::string& piece)
{
    if (lines.empty() || lines.back().size() + 1 + piece.size() > 100) lines.push_back(piece);
    else lines.back() += " " + piece;
}

} // namespace

double Envelope::xScale() const { return xMax > xMin ? xMax - xMin : 1.0; }
double Envelope::yScale() const { return yMax > yMin ? yMax - yMin : 1.0; }

Envelope pointEnvelope(const Calculation& c)
{
    const int n = std::max(c.pointCount, 0);
    if (n == 0) {
        Envelope none;
        none.twoVariables = c.kind == FitType::SurfaceXY;
        return none;
    }
    const std::span<const double> xs = c.points.x.first(n), ys = c.points.y.first(n);
    return pointEnvelope(xs, c.kind == FitType::SurfaceXY ? ys : std::span<const double>());
}

Envelope pointEnvelope(std::span<const double> xs, std::span<const double> ys)
{
    Envelope e;
    e.twoVariables = !ys.empty();
    if (xs.empty()) return e;
    const auto [xLow, xHigh] = std::minmax_element(xs.begin(), xs.end());
    e.xMin = *xLow;
    e.xMax = *xHigh;
    if (!e.twoVariables) return e;
    const auto [yLow, yHigh] = std::minmax_element(ys.begin(), ys.end());
    e.yMin = *yLow;
    e.yMax = *yHigh;
    e.hull = convexHull(xs, ys);
    return e;
}

bool insideEnvelope(const Envelope& e, double x, double y)
{
    if (!(x >= e.xMin && x <= e.xMax)) return false;
    if (!e.twoVariables) return true;
    if (!(y >= e.yMin && y <= e.yMax)) return false;
    const double sx = e.xScale(), sy = e.yScale();
    for (std::size_t i = 0; i < e.hull.size(); ++i) {
        const EnvelopeCorner& a = e.hull[i];
        const EnvelopeCorner& b = e.hull[(i + 1) % e.hull.size()];
        // The same expression, in the same order, as the exported functions.
        if ((b.x - a.x) / sx * ((y - a.y) / sy) - (b.y - a.y) / sy * ((x - a.x) / sx) < -EnvelopeTolerance) return false;
    }
    return true;
}

std::vector<std::string> fitCommentLines(const Calculation& c)
{
    std::vector<std::string> lines;
    if (const std::string options = optionsLine(c.options, c.kind); !options.empty()) lines.push_back(options);
    for (std::string& line : envelopeLines(pointEnvelope(c))) lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> envelopeLines(const Envelope& e)
{
    const std::string xRange = "x da " + shortestText(e.xMin) + " a " + shortestText(e.xMax);
    if (!e.twoVariables) return {"inviluppo dei punti: " + xRange};
    std::vector<std::string> lines{"inviluppo dei punti: il poligono convesso di vertici (x, y)"};
    for (const EnvelopeCorner& corner : e.hull)
        appendWrapped(lines, "(" + shortestText(corner.x) + ", " + shortestText(corner.y) + ")");
    lines.push_back("dentro " + xRange + " e y da " + shortestText(e.yMin) + " a " + shortestText(e.yMax));
    return lines;
}

} // namespace calvero
