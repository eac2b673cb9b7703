#include "capture/tickmarkcharts.h"

#include "capture/colour.h"
#include "capture/colourpieces.h"
#include "capture/median.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace calvero::capture {

namespace {

// A tick mark is a stroke at least this long, at most this share of the
// page (and this many pixels) long and this thick, filled (a scan's blur
// widens a mark: 4 pixels at 150 dpi, 7 at 300).
constexpr int ShortestMark = 3;
constexpr int LongestMarkAtLeast = 20;
constexpr double LongestMarkShare = 0.012;
constexpr int ThickestMarkAtLeast = 5;
constexpr double ThickestMarkShare = 0.003;
constexpr double MarkFill = 0.7;
// A mark's box may be this many times as thick as the mark, and its ink
// this many times a filled mark's: specks of grain joined to its side, not
// another stroke (the other axis's mark at the corner).
constexpr int GrainedMarkBox = 2;
constexpr double GrainedMarkInk = 1.3;
// Ends on one axis line up to this many pixels (and this share of the page: a scan's blur).
constexpr double EndSlackShare = 0.0005;
// A row has at least this many marks, this many of them major (the longest
// ones), those evenly spaced (a step this near a whole number of steps).
constexpr std::size_t FewestMarks = 4;
constexpr std::size_t FewestMajor = 3;
constexpr double MajorLength = 0.75;
constexpr double StepSlackShare = 0.04;
constexpr double StepSlackAtLeast = 1.5;
constexpr int MostStepsSkipped = 4;
// Marks farther apart than this many steps belong to two rows (two charts side by side).
constexpr double RowGap = 4.5;
// Nothing else is drawn in the marks' band: a line of text's letters "l",
// "I", "1" stand among others that fill it.
constexpr double BandOtherInk = 0.1;
// An axis's first mark stands at most this share of its row's length beyond the other axis.
constexpr double CornerReach = 0.35;
// The shortest row or column of marks: half a chart's line (its end marks
// may be joined to the other axis's or to a curve's markers).
constexpr int ShortestRow = 40;
constexpr double RowShare = 0.06;
// Rows of marks at the same places this many marks' lengths apart are the dashes of lines (a dashed grid).
constexpr double DashRows = 3;

struct Mark {
    int first = 0; // along the axis
    int last = 0;
    int low = 0; // across it: the end toward the picture's top (left)
    int high = 0;
    long long pixels = 0;
    double middle = 0; // along, to a tenth of a pixel
    int length() const { return high - low + 1; }
};

// A row of marks along one axis, with where its marks' ends line up.
struct MarkRow {
    std::vector<double> places;
    double from = 0; // the first and last places
    double to = 0;
    double lowEnd = 0; // the marks' ends across, as edges (pixel i covers [i, i + 1))
    double highEnd = 0;
    bool lowAligned = false;
    bool highAligned = false;
    bool used = false;
    // The axis line: at the end the marks share; with both shared, the outer one.
    double axisAt(bool outerIsHigh) const
    {
        if (lowAligned && highAligned) return outerIsHigh ? highEnd : lowEnd;
        return lowAligned ? lowEnd : highEnd;
    }
};

// A mark's thickness: the most usual count of ink across it, line by line
// along it. A scan's grain joins specks to a mark's side here and there,
// which widen its box but not most of its lines.
int markThickness(const PixelMask& ink, const Piece& p, bool down)
{
    std::vector<double> counts;
    for (int a = down ? p.top : p.left; a <= (down ? p.bottom : p.right); ++a) {
        int n = 0;
        for (int b = down ? p.left : p.top; b <= (down ? p.right : p.bottom); ++b) n += down ? ink.at(b, a) : ink.at(a, b);
        counts.push_back(n);
    }
    return static_cast<int>(median(counts));
}

// A mark's width as its darkness gives it: line by line along it, its ink
// across weighed by darkness against the mark's darkest pixel, the median of
// those. An anti-aliased one-pixel mark has a fringe of light grey on each
// side, three pixels of ink but one of width: a short minor mark is a stroke.
double markWidth(const PixelBuffer& picture, const Piece& p, bool down)
{
    const auto lum = [&](int a, int b) { return luminance(down ? picture.pixel(b, a) : picture.pixel(a, b)); };
    const int from = down ? p.left : p.top, to = down ? p.right : p.bottom;
    const int breadth = down ? picture.width() : picture.height();
    double darkest = 0;
    std::vector<double> sums;
    for (int a = down ? p.top : p.left; a <= (down ? p.bottom : p.right); ++a) {
        const double paper = std::max(from > 0 ? lum(a, from - 1) : 0.0, to + 1 < breadth ? lum(a, to + 1) : 0.0);
        double sum = 0;
        for (int b = from; b <= to; ++b) {
            const double dark = std::max(0.0, paper - lum(a, b));
            sum += dark, darkest = std::max(darkest, dark);
        }
        sums.push_back(sum);
    }
    if (darkest <= 0) return to - from + 1;
    return median(sums) / darkest;
}

int longestOf(const std::vector<Mark>& marks)
{
    int longest = 0;
    for (const Mark& m : marks) longest = std::max(longest, m.length());
    return longest;
}

// Whether the major marks (those nearly as long as `longest`) are evenly
// spaced: each step a whole number of one step. Fewer majors than make a
// row are `fewMajors`.
bool evenlySpaced(const std::vector<Mark>& marks, int longest, bool fewMajors = false)
{
    std::vector<double> majors;
    for (const Mark& m : marks)
        if (m.length() >= MajorLength * longest) majors.push_back(m.middle);
    if (majors.size() < FewestMajor) return fewMajors;
    std::vector<double> steps;
    for (std::size_t i = 1; i < majors.size(); ++i) steps.push_back(majors[i] - majors[i - 1]);
    // The shortest step is the unit: where marks are joined to curves
    // starting on the axis, the longer steps may be the more.
    const double step = *std::min_element(steps.begin(), steps.end());
    if (step < 2 * ShortestMark) return false;
    const double slack = std::max(StepSlackAtLeast, StepSlackShare * step);
    return std::all_of(steps.begin(), steps.end(), [&](double s) {
        const double k = std::round(s / step);
        return k >= 1 && k <= MostStepsSkipped && std::abs(s - k * step) <= slack * k;
    });
}

// The marks (in order along the axis) parted into runs each evenly spaced:
// a run ends before the mark whose step is no whole number of its own. The
// majors are those of all the marks (a log axis's row may begin with minors).
std::vector<std::vector<Mark>> evenRuns(const std::vector<Mark>& marks)
{
    const int longest = longestOf(marks);
    std::vector<std::vector<Mark>> runs(1);
    for (const Mark& m : marks) {
        runs.back().push_back(m);
        if (!evenlySpaced(runs.back(), longest, true)) {
            runs.back().pop_back();
            runs.push_back({m});
        }
    }
    return runs;
}

// A stroke at a row's end longer than all its marks (a digit's "1" beside
// the row, its foot on the marks' outer line) is no mark of it.
void trimmedOfLongerEnds(std::vector<Mark>& row, double slack)
{
    const auto longer = [&](std::size_t end) {
        return row.size() > 2 && std::all_of(row.begin(), row.end(), [&](const Mark& m) {
                   return &m == &row[end] || row[end].length() > m.length() + slack;
               });
    };
    while (longer(0)) row.erase(row.begin());
    while (longer(row.size() - 1)) row.pop_back();
}

// The ink of the marks' band that is none of theirs, as a share of the band.
double otherInkShare(const PixelMask& ink, const std::vector<Mark>& marks, bool down)
{
    int low = marks.front().low, high = marks.front().high;
    long long theirs = 0;
    for (const Mark& m : marks) low = std::min(low, m.low), high = std::max(high, m.high), theirs += m.pixels;
    const int first = marks.front().first, last = marks.back().last;
    long long all = 0;
    for (int a = first; a <= last; ++a)
        for (int b = low; b <= high; ++b) all += down ? ink.at(a, b) : ink.at(b, a);
    const double area = double(last - first + 1) * (high - low + 1);
    return area > 0 ? double(all - theirs) / area : 1.0;
}

// How many of one row's places the other has too.
std::size_t sharedPlaces(const MarkRow& a, const MarkRow& b)
{
    const double slack = StepSlackAtLeast;
    return static_cast<std::size_t>(std::count_if(a.places.begin(), a.places.end(), [&](double p) {
        return std::any_of(b.places.begin(), b.places.end(), [&](double q) { return std::abs(p - q) <= slack; });
    }));
}

// Whether two rows mark mostly the same places.
bool samePlaces(const MarkRow& a, const MarkRow& b)
{
    return sharedPlaces(a, b) >= std::max(FewestMajor, std::min(a.places.size(), b.places.size()) / 2);
}

// The rows of marks drawn across lines along one direction: `down` marks
// (columns of ink) in a row make an x axis, marks across in a column a y axis.
std::vector<MarkRow> markRows(const PixelBuffer& picture, const PixelMask& ink, const ColourPieces& pieces, bool down)
{
    const int size = std::max(picture.width(), picture.height());
    const int longest = std::max(LongestMarkAtLeast, static_cast<int>(LongestMarkShare * size));
    const int thickest = std::max(ThickestMarkAtLeast, static_cast<int>(ThickestMarkShare * size));
    const double endSlack = 1 + EndSlackShare * size;
    const int shortestRow = std::max(ShortestRow, static_cast<int>(RowShare * (down ? picture.width() : picture.height())));
    std::vector<Mark> marks;
    for (const Piece& p : pieces.pieces) {
        const int length = down ? p.height() : p.width();
        if (length < ShortestMark || length > longest || (down ? p.width() : p.height()) > GrainedMarkBox * thickest) continue;
        const int thickness = markThickness(ink, p, down);
        if (thickness > thickest || length < 2 * markWidth(picture, p, down) || p.pixels < MarkFill * length * thickness ||
            p.pixels > GrainedMarkInk * length * thickness)
            continue;
        Mark m{down ? p.left : p.top, down ? p.right : p.bottom, down ? p.top : p.left, down ? p.bottom : p.right, p.pixels, 0};
        m.middle = lineCentre(picture, EdgeLine{m.first, m.last, m.low, m.high, 0}, !down);
        marks.push_back(m);
    }
    std::vector<MarkRow> rows;
    for (const bool byLow : {true, false}) {
        const auto end = [byLow](const Mark& m) { return byLow ? m.low : m.high; };
        std::sort(marks.begin(), marks.end(), [&](const Mark& a, const Mark& b) { return end(a) < end(b); });
        for (std::size_t i = 0; i < marks.size();) {
            std::size_t j = i;
            while (j < marks.size() && end(marks[j]) - end(marks[i]) <= endSlack) ++j;
            std::vector<Mark> group(marks.begin() + static_cast<std::ptrdiff_t>(i), marks.begin() + static_cast<std::ptrdiff_t>(j));
            i = j;
            if (group.size() < FewestMarks) continue;
            std::sort(group.begin(), group.end(), [](const Mark& a, const Mark& b) { return a.middle < b.middle; });
            std::vector<double> gaps;
            for (std::size_t k = 1; k < group.size(); ++k) gaps.push_back(group[k].middle - group[k - 1].middle);
            const double usual = median(gaps);
            // Parted where the marks stop for a while (two charts side by
            // side) and where their step changes (stacked panels' y axes in
            // one column).
            std::vector<std::vector<Mark>> parts;
            for (std::size_t a = 0; a < group.size();) {
                std::size_t b = a + 1;
                while (b < group.size() && group[b].middle - group[b - 1].middle <= RowGap * usual) ++b;
                for (std::vector<Mark>& run : evenRuns({group.begin() + static_cast<std::ptrdiff_t>(a), group.begin() + static_cast<std::ptrdiff_t>(b)}))
                    parts.push_back(std::move(run));
                a = b;
            }
            for (std::vector<Mark>& row : parts) {
                trimmedOfLongerEnds(row, endSlack);
                if (row.size() < FewestMarks || row.back().middle - row.front().middle < shortestRow || !evenlySpaced(row, longestOf(row)) ||
                    otherInkShare(ink, row, down) > BandOtherInk)
                    continue;
                MarkRow r;
                for (const Mark& m : row) r.places.push_back(m.middle);
                r.from = r.places.front(), r.to = r.places.back();
                int lows[2] = {row.front().low, row.front().low}, highs[2] = {row.front().high, row.front().high};
                for (const Mark& m : row) {
                    lows[0] = std::min(lows[0], m.low), lows[1] = std::max(lows[1], m.low);
                    highs[0] = std::min(highs[0], m.high), highs[1] = std::max(highs[1], m.high);
                }
                r.lowAligned = lows[1] - lows[0] <= endSlack;
                r.highAligned = highs[1] - highs[0] <= endSlack;
                r.lowEnd = lows[0];
                r.highEnd = highs[1] + 1;
                rows.push_back(std::move(r));
            }
        }
    }
    // Marks lined up at both ends are found from each, a row with its minor
    // marks and one without them: the fullest stands for them.
    std::sort(rows.begin(), rows.end(), [](const MarkRow& a, const MarkRow& b) { return a.places.size() > b.places.size(); });
    const auto sameMarks = [](const MarkRow& a, const MarkRow& b) {
        return a.lowEnd < b.highEnd && b.lowEnd < a.highEnd && samePlaces(a, b);
    };
    std::vector<MarkRow> distinct;
    for (MarkRow& r : rows)
        if (std::none_of(distinct.begin(), distinct.end(), [&](const MarkRow& o) { return sameMarks(o, r); })) distinct.push_back(std::move(r));
    rows = std::move(distinct);
    // The dashes of lines drawn dashed across the axis (a grid) stand in
    // rows one above the other, three or more (two are the marks of stacked
    // panels' axes, the lower edge of one and the upper edge of the next).
    std::vector<std::vector<std::size_t>> near(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < rows.size(); ++j) {
            const double reach = DashRows * std::max(rows[i].highEnd - rows[i].lowEnd, rows[j].highEnd - rows[j].lowEnd);
            if (i != j && std::abs(rows[i].lowEnd - rows[j].lowEnd) <= reach && samePlaces(rows[i], rows[j])) near[i].push_back(j);
        }
    std::vector<bool> dashes(rows.size(), false);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (near[i].size() >= 2) {
            dashes[i] = true;
            for (std::size_t j : near[i]) dashes[j] = true;
        }
    std::vector<MarkRow> kept;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!dashes[i]) kept.push_back(std::move(rows[i]));
    return kept;
}

// Whether the x axis's row and the y axis's column meet at the chart's lower left corner.
bool meetAtTheCorner(const MarkRow& x, const MarkRow& y)
{
    const double left = y.axisAt(false), bottom = x.axisAt(true);
    const double width = x.to - x.from, height = y.to - y.from;
    return left <= x.from + 1 && left >= x.from - CornerReach * width - (y.highEnd - y.lowEnd) &&
           bottom >= y.to - 1 && bottom <= y.to + CornerReach * height + (x.highEnd - x.lowEnd);
}

// A row of marks on the chart's other side, at the places of `own`,
// its axis between `nearest` and `farthest` (its outer end `outerIsHigh`),
// and no other chart's axis: stacked panels' upper x axis is no top of the
// panel below, nor a chart's y axis the right side of the one beside it.
std::optional<std::size_t> mirrorOf(const std::vector<MarkRow>& rows, const std::vector<MarkRow>& across, const MarkRow& own,
                                    double nearest, double farthest, bool outerIsHigh)
{
    const auto anAxis = [&](const MarkRow& r) {
        return std::any_of(across.begin(), across.end(), [&](const MarkRow& o) {
            return outerIsHigh ? meetAtTheCorner(o, r) : meetAtTheCorner(r, o);
        });
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MarkRow& r = rows[i];
        const double at = r.axisAt(outerIsHigh);
        if (!r.used && samePlaces(r, own) && at >= std::min(nearest, farthest) && at <= std::max(nearest, farthest) && !anAxis(r))
            return i;
    }
    return std::nullopt;
}

// Stacked panels' y marks evenly spaced through both panels make one
// column; the upper panel's x marks, starting at it and lying across it
// between its marks (two on each side at least), as the lower panel's x
// marks below it (the same places, as far), part it.
std::vector<MarkRow> partedAtRows(const std::vector<MarkRow>& columns, const std::vector<MarkRow>& rows)
{
    const auto alike = [](const MarkRow& a, const MarkRow& b) {
        const double slack = std::max(StepSlackAtLeast, StepSlackShare * (a.to - a.from));
        return samePlaces(a, b) && std::abs(a.from - b.from) <= slack && std::abs(a.to - b.to) <= slack;
    };
    std::vector<MarkRow> parted;
    for (MarkRow column : columns) {
        for (const MarkRow& r : rows) {
            const double left = column.axisAt(false), marks = column.highEnd - column.lowEnd;
            if (left > r.from + 1 || left < r.from - CornerReach * (r.to - r.from) - marks) continue;
            if (std::none_of(rows.begin(), rows.end(), [&](const MarkRow& lower) { return lower.lowEnd > r.highEnd && alike(r, lower); }))
                continue;
            const auto above = std::count_if(column.places.begin(), column.places.end(), [&](double p) { return p < r.lowEnd; });
            const auto below = std::count_if(column.places.begin(), column.places.end(), [&](double p) { return p > r.highEnd; });
            if (above < 2 || below < 2 || std::size_t(above + below) != column.places.size()) continue;
            MarkRow upper = column;
            upper.places.assign(column.places.begin(), column.places.begin() + above);
            upper.to = upper.places.back();
            parted.push_back(std::move(upper));
            column.places.erase(column.places.begin(), column.places.begin() + above);
            column.from = column.places.front();
        }
        parted.push_back(std::move(column));
    }
    return parted;
}

} // namespace

std::vector<ChartFrame> chartsOfTickMarks(const PixelBuffer& picture, const PixelMask& ink)
{
    if (picture.empty() || ink.width() != picture.width() || ink.height() != picture.height()) return {};
    const ColourPieces pieces = findPieces(ink);
    std::vector<MarkRow> xs = markRows(picture, ink, pieces, true);
    std::vector<MarkRow> ys = partedAtRows(markRows(picture, ink, pieces, false), xs);
    std::vector<ChartFrame> charts;
    for (MarkRow& y : ys) {
        if (y.used) continue;
        // The x axis: the nearest row under the column that meets it.
        MarkRow* x = nullptr;
        for (MarkRow& r : xs)
            if (!r.used && meetAtTheCorner(r, y) && (!x || r.axisAt(true) < x->axisAt(true))) x = &r;
        if (!x) continue;
        x->used = y.used = true;
        ChartFrame chart;
        chart.left = y.axisAt(false);
        chart.bottom = x->axisAt(true);
        chart.right = x->to;
        chart.top = y.from;
        chart.gridColumns = x->places;
        chart.gridRows = y.places;
        // Marks on the right and on top (mirrored, or a second axis) close the area.
        const double width = x->to - x->from, height = y.to - y.from;
        const double xMarks = x->highEnd - x->lowEnd, yMarks = y.highEnd - y.lowEnd;
        if (const auto right = mirrorOf(ys, xs, y, x->to - yMarks - 1, x->to + CornerReach * width + yMarks, true)) {
            ys[*right].used = true;
            chart.right = std::max(chart.right, ys[*right].axisAt(true));
            chart.top = std::min(chart.top, ys[*right].from);
            chart.gridRows.insert(chart.gridRows.end(), ys[*right].places.begin(), ys[*right].places.end());
        }
        if (const auto top = mirrorOf(xs, ys, *x, y.from + xMarks + 1, y.from - CornerReach * height - xMarks, false)) {
            xs[*top].used = true;
            chart.top = std::min(chart.top, xs[*top].axisAt(false));
            chart.right = std::max(chart.right, xs[*top].to);
            chart.gridColumns.insert(chart.gridColumns.end(), xs[*top].places.begin(), xs[*top].places.end());
        }
        charts.push_back(std::move(chart));
    }
    return charts;
}

} // namespace calvero::capture
