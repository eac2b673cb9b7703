#include "capture/linemeant.h"

#include "capture/pointexport.h"
#include "capture/unionfind.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

namespace calvero::capture {

namespace {

// A grey (black too) has no hue to tell lines apart by, only its lightness.
constexpr double GreyChroma = 12.0;
// Another grey line whose ink is this much farther from the grey asked for
// than the trace's ink is nearly as near: on a scan the greys of a family
// pale alike and their inks can no longer be told apart.
constexpr double NearlyAsNear = 8.0;
// A line's ink this near the grey asked for is that grey, drawn as it was
// asked (a clean page): only another line of the same ink is in doubt.
constexpr double ExactInk = 4.0;
// A pixel darker than the paper by this much (luma, 0-255) is ink.
constexpr int InkContrast = 24;
// A trace's ends: its last columns, this share of them and at least `EndColumns`.
constexpr double EndShare = 0.03;
constexpr std::size_t EndColumns = 10;
// An end in another ink this many times as long as the ends judged is cut off
// the trace; a longer one is the trace gone astray, and stays to be told.
constexpr std::size_t OtherEndReaches = 2;
// A paper is clean when this share of its pixels is one colour: a drawing
// leaves nine tenths or more so; a JPEG scan flattens half of its paper to one.
constexpr double CleanShare = 0.8;
// A line's ink is its darkest quarter of columns: where it covers a pixel
// whole (elsewhere a thin line straddles two rows and pales both), clear of
// the letters of a label written over it.
constexpr double InkShare = 0.25;
// Stretches of ink in columns this near each other, rows overlapping within
// `LinkSlack` pixels (more the farther apart the columns) and darkest pixels
// within `LinkLuma`, are one line (a dashed or dotted line's gaps; a black
// label over a grey line is another).
constexpr int LinkColumns = 8;
constexpr int LinkSlack = 2;
constexpr int LinkLuma = 40;
// A row holding near colours over this share of the columns traced is a straight line.
constexpr double StraightShare = 0.3;
// The rows above and below the trace's centre where its core is looked for.
constexpr int CoreReach = 3;
// A core this near the colour asked for is that colour, whatever else is drawn.
constexpr double SameColour = 10.0;
// Another line counts when its pixels are within this share of the trace's
// core distance, farther than `Apart` pixels from the trace, in at least
// `RivalColumns` of the columns traced (and a quarter of them): a legend's
// sample or a label in the colour is shorter.
constexpr double NearerShare = 0.75;
constexpr double Apart = 6.0;
constexpr std::size_t RivalColumns = 100;
// A dash of a scanned line: a stretch of ink this many columns long.
constexpr std::size_t DashColumns = 8;
// Colours further apart than this, channel by channel summed, are not
// within any threshold used here; they skip the CIELAB conversion.
constexpr int FarApart = 200;

// A click within this many pixels of the line (across it) is on it.
constexpr double ClickReach = 12.0;

bool excluded(const std::vector<PixelRect>& exclusions, int x, int y)
{
    return std::any_of(exclusions.begin(), exclusions.end(), [&](const PixelRect& r) {
        return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
    });
}

int channelsApart(Rgb a, Rgb b) { return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue); }

int luma(Rgb c) { return (299 * c.red + 587 * c.green + 114 * c.blue) / 1000; }

// The trace's row in each column of the picture (NaN where it does not pass).
std::vector<double> rowsOfTrace(const std::vector<PixelPoint>& centre, int width)
{
    std::vector<double> rows(static_cast<std::size_t>(width), std::nan(""));
    for (const PixelPoint& p : centre) {
        const int x = static_cast<int>(std::lround(p.x));
        if (x >= 0 && x < width) rows[static_cast<std::size_t>(x)] = p.y;
    }
    return rows;
}

// Near the trace: within `Apart` of its row in this column or a neighbouring one (a steep line's run).
bool nearTrace(const std::vector<double>& traceRow, int x, int y)
{
    const int width = static_cast<int>(traceRow.size());
    for (int dx = -static_cast<int>(Apart); dx <= static_cast<int>(Apart); ++dx) {
        if (x + dx < 0 || x + dx >= width) continue;
        const double row = traceRow[static_cast<std::size_t>(x + dx)];
        if (!std::isnan(row) && std::abs(y - row) <= Apart) return true;
    }
    return false;
}

// Whether a row (or one beside it) holds finds over `StraightShare` of the columns traced: a straight line's.
bool onStraightRow(const std::vector<std::size_t>& perRow, int y, std::size_t columns)
{
    for (int dy = -1; dy <= 1; ++dy)
        if (y + dy >= 0 && y + dy < static_cast<int>(perRow.size()) &&
            double(perRow[static_cast<std::size_t>(y + dy)]) > StraightShare * double(columns))
            return true;
    return false;
}

// The paper in the columns traced (most of their pixels): its luma, and
// whether it is clean, one colour throughout as a drawing program leaves
// it (a scan's grain varies it pixel by pixel).
struct Paper {
    int luma = 255;
    bool clean = false;
};

Paper paperOf(const PixelBuffer& picture, const std::vector<PixelPoint>& centre, const std::optional<PixelRect>& chart = std::nullopt)
{
    // Within the chart when it is known: the page around it may be of another colour.
    const int first = chart ? std::max(0, static_cast<int>(std::ceil(chart->top))) : 0;
    const int last = chart ? std::min(picture.height(), static_cast<int>(std::floor(chart->top + chart->height))) : picture.height();
    std::vector<std::uint32_t> sample;
    for (std::size_t i = 0; i < centre.size(); i += 4) {
        const int x = static_cast<int>(std::lround(centre[i].x));
        if (x < 0 || x >= picture.width()) continue;
        for (int y = first; y < last; y += 4) sample.push_back(picture.pixel(x, y) & 0xffffffu);
    }
    if (sample.empty()) return {};
    std::sort(sample.begin(), sample.end());
    std::vector<int> lumas;
    std::size_t most = 0;
    for (std::size_t i = 0, j = 0; i < sample.size(); i = j) {
        while (j < sample.size() && sample[j] == sample[i]) ++j;
        most = std::max(most, j - i);
        lumas.push_back(luma(rgbOf(sample[i])));
        lumas.resize(lumas.size() + (j - i - 1), lumas.back());
    }
    std::nth_element(lumas.begin(), lumas.begin() + static_cast<std::ptrdiff_t>(lumas.size() / 2), lumas.end());
    return {lumas[lumas.size() / 2], double(most) >= CleanShare * double(sample.size())};
}

// The ink of a line from its darkest pixel in each column (darkest first).
std::optional<Rgb> inkOf(std::vector<Rgb> darkest)
{
    if (darkest.empty()) return std::nullopt;
    const auto at = darkest.begin() + static_cast<std::ptrdiff_t>(InkShare * double(darkest.size()));
    std::nth_element(darkest.begin(), at, darkest.end(), [](Rgb a, Rgb b) { return luma(a) < luma(b); });
    return *at;
}

// In each column traced, the darkest pixel near the centre when it stands out from the paper.
std::vector<std::optional<Rgb>> darkestAlong(const PixelBuffer& picture, const std::vector<PixelPoint>& centre, int paper)
{
    std::vector<std::optional<Rgb>> darkest;
    for (const PixelPoint& p : centre) {
        const int x = static_cast<int>(std::lround(p.x)), y = static_cast<int>(std::lround(p.y));
        std::optional<Rgb> dark;
        for (int dy = -CoreReach; dy <= CoreReach; ++dy)
            if (picture.contains(x, y + dy)) {
                const Rgb c = rgbOf(picture.pixel(x, y + dy));
                if (!dark || luma(c) < luma(*dark)) dark = c;
            }
        darkest.push_back(dark && luma(*dark) <= paper - InkContrast ? dark : std::nullopt);
    }
    return darkest;
}

// The trace's ink, from its columns' darkest pixels.
std::optional<Rgb> traceInk(const PixelBuffer& picture, const std::vector<PixelPoint>& centre, int paper)
{
    std::vector<Rgb> darkest;
    for (const std::optional<Rgb>& dark : darkestAlong(picture, centre, paper))
        if (dark) darkest.push_back(*dark);
    return inkOf(std::move(darkest));
}

// The columns judged at each end of a trace of this many columns.
std::size_t endReach(std::size_t columns) { return std::max(EndColumns, static_cast<std::size_t>(EndShare * double(columns))); }

// Whether most of the columns in [from, to) holding ink hold ink clearly
// farther from the grey asked for than the line's own.
template <typename It>
bool mostlyAnotherInk(It from, It to, Rgb asked)
{
    std::size_t ink = 0, another = 0;
    for (auto it = from; it != to; ++it)
        if (*it) ++ink, another += colourDistance(**it, asked) > ExactInk + NearlyAsNear;
    return ink > 0 && 2 * another > ink;
}

// Whether an end of the trace runs on in another ink (a label written at
// the curve's end, another line): most of its last columns holding ink
// hold ink clearly farther from the grey asked for than the line's own.
bool endInAnotherInk(const std::vector<std::optional<Rgb>>& darkest, Rgb asked)
{
    const std::size_t reach = endReach(darkest.size());
    if (darkest.size() < 4 * reach) return false;
    const auto r = static_cast<std::ptrdiff_t>(reach);
    return mostlyAnotherInk(darkest.begin(), darkest.begin() + r, asked) || mostlyAnotherInk(darkest.end() - r, darkest.end(), asked);
}

// The columns to cut off an end of the trace (front or back), up to `most`,
// for that end to lie in the line's own ink as endInAnotherInk judges, and
// then to the first column of it (none for an end judged in its own ink);
// nothing when `most` is not enough.
std::optional<std::size_t> otherInkEnd(const std::vector<std::optional<Rgb>>& darkest, Rgb asked, std::size_t most, bool back)
{
    const std::size_t n = darkest.size();
    const auto at = [&](std::size_t cut) -> const std::optional<Rgb>& { return darkest[back ? n - 1 - cut : cut]; };
    for (std::size_t cut = 0; cut <= most && cut + endReach(n - cut) <= n; ++cut) {
        const auto k = static_cast<std::ptrdiff_t>(cut), r = static_cast<std::ptrdiff_t>(endReach(n - cut));
        const bool other = back ? mostlyAnotherInk(darkest.end() - k - r, darkest.end() - k, asked)
                                : mostlyAnotherInk(darkest.begin() + k, darkest.begin() + k + r, asked);
        if (other) continue;
        // An end in its own ink keeps its pale tip (a thin line's end fades).
        if (cut == 0) return cut;
        while (cut < n && at(cut) && colourDistance(*at(cut), asked) > ExactInk + NearlyAsNear) ++cut;
        return cut;
    }
    return std::nullopt;
}

// A stretch of ink down one column, by its darkest pixel.
struct InkRun {
    int x, top, bottom, darkRow;
    Rgb dark;
};

// Another line in the columns traced: its ink, how many columns it spans,
// and whether it lies wholly within the chart (when the chart is known).
struct OtherLine {
    Rgb ink;
    std::size_t columns = 0;
    bool inChart = false;
};

// The other lines in the columns traced, away from the trace, outside the
// exclusions and off straight rows (the frame, grid lines).
std::vector<OtherLine> otherLines(const PixelBuffer& picture, const std::vector<double>& traceRow,
                                  const std::vector<PixelRect>& exclusions, int paper, std::size_t traceColumns,
                                  const std::optional<PixelRect>& chart)
{
    std::vector<InkRun> runs;
    std::vector<std::size_t> perRow(static_cast<std::size_t>(picture.height()), 0);
    for (int x = 0; x < picture.width(); ++x) {
        if (std::isnan(traceRow[static_cast<std::size_t>(x)])) continue;
        std::optional<InkRun> open;
        for (int y = 0; y <= picture.height(); ++y) {
            const bool ink = y < picture.height() && !excluded(exclusions, x, y) &&
                             luma(rgbOf(picture.pixel(x, y))) <= paper - InkContrast;
            if (ink) {
                const Rgb c = rgbOf(picture.pixel(x, y));
                if (!open) open = InkRun{x, y, y, y, c};
                open->bottom = y;
                if (luma(c) < luma(open->dark)) open->dark = c, open->darkRow = y;
            } else if (open) {
                if (!nearTrace(traceRow, x, open->darkRow)) {
                    runs.push_back(*open);
                    ++perRow[static_cast<std::size_t>(open->darkRow)];
                }
                open.reset();
            }
        }
    }
    std::erase_if(runs, [&](const InkRun& r) { return onStraightRow(perRow, r.darkRow, traceColumns); });
    // A steep dotted line's dots lie columns apart and rows apart: the rows
    // may be as far apart as the columns are, beyond the slack.
    const auto linked = [](const InkRun& a, const InkRun& b) {
        const int slack = LinkSlack + std::abs(b.x - a.x);
        return a.top <= b.bottom + slack && b.top <= a.bottom + slack && std::abs(luma(a.dark) - luma(b.dark)) <= LinkLuma;
    };
    // Runs in near columns whose rows overlap are one line.
    UnionFind lines(runs.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        while (runs[from].x < runs[i].x - LinkColumns) ++from;
        for (std::size_t j = from; j < i; ++j)
            if (runs[j].x < runs[i].x && linked(runs[j], runs[i])) lines.join(int(i), int(j));
    }
    std::map<int, std::vector<Rgb>> darkest;
    std::map<int, std::vector<int>> columns;
    std::map<int, bool> outside;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const int line = lines.root(int(i));
        darkest[line].push_back(runs[i].dark);
        if (columns[line].empty() || columns[line].back() != runs[i].x) columns[line].push_back(runs[i].x);
        const InkRun& r = runs[i];
        outside[line] = outside[line] || !chart || r.x < chart->left || r.x >= chart->left + chart->width || r.top < chart->top ||
                        r.bottom >= chart->top + chart->height;
    }
    std::vector<OtherLine> found;
    for (auto& [line, dark] : darkest)
        if (const std::optional<Rgb> ink = inkOf(std::move(dark))) found.push_back({*ink, columns[line].size(), !outside[line]});
    return found;
}

// A grey asked for: the trace's ink against the other lines' inks.
std::optional<std::string> nearerGreyLine(const PixelBuffer& picture, const std::vector<PixelPoint>& centre, Rgb asked,
                                          const std::vector<PixelRect>& exclusions, const std::optional<PixelRect>& chart)
{
    const Paper paper = paperOf(picture, centre, chart);
    const std::optional<Rgb> ink = traceInk(picture, centre, paper.luma);
    if (!ink) return std::nullopt;
    const std::vector<double> traceRow = rowsOfTrace(centre, picture.width());
    const auto traceColumns =
        static_cast<std::size_t>(std::count_if(traceRow.begin(), traceRow.end(), [](double r) { return !std::isnan(r); }));
    const double inkDistance = colourDistance(*ink, asked);
    const bool exact = paper.clean && inkDistance <= ExactInk;
    if (exact && endInAnotherInk(darkestAlong(picture, centre, paper.luma), asked))
        return "la traccia del grigio cercato (" + colourText(asked) +
               ") finisce su un inchiostro diverso: forse prosegue su una scritta o su un'altra linea; controllare i punti "
               "alle estremità o indicare la curva con --start";
    // On a clean page every line keeps the ink it was drawn in: a trace whose
    // ink is clearly another grey ran along another line of the family (the
    // curve asked for too thin or too broken to be traced). A line thinner
    // than a pixel never covers one whole and reads lighter than its ink
    // (a #777777 line 0.9 pixels wide reads #999999, 13 away): lighter
    // takes twice the margin.
    const bool lighter = luma(*ink) > luma(asked);
    if (paper.clean && inkDistance > ExactInk + (lighter ? 2 : 1) * NearlyAsNear)
        return "la linea seguita (" + colourText(*ink) + ") è " + (lighter ? "più chiara" : "più scura") +
               " del grigio cercato (" + colourText(asked) +
               "): forse è un'altra curva della famiglia; indicare la curva con --start";
    // On a clean page the trace drawn in the very grey asked for is the line
    // meant unless another is drawn in it too; a scan pales every grey and
    // another ink nearly as near leaves the line in doubt.
    const double nearer = inkDistance + (exact ? ExactInk : NearlyAsNear);
    // On a scan a dashed line, or one broken by markers, comes as many short
    // stretches (its dashes and the gaps the blur and grain open): those
    // dashes long of inks that near, within the chart, are counted together
    // (beyond it lie the numbers and titles). On a clean page a line is
    // whole, and short stretches are letters.
    const std::size_t enough = std::max(RivalColumns, traceColumns / 4);
    std::optional<Rgb> other;
    double otherDistance = 0;
    std::size_t rivalColumns = 0;
    for (const OtherLine& line : otherLines(picture, traceRow, exclusions, paper.luma, traceColumns, chart)) {
        const double d = colourDistance(line.ink, asked);
        const bool dash = !paper.clean && line.inChart && line.columns >= DashColumns;
        if (d >= nearer || (line.columns < enough && !dash)) continue;
        rivalColumns += line.columns;
        if (!other || d < otherDistance) other = line.ink, otherDistance = d;
    }
    if (!other || rivalColumns < enough) return std::nullopt;
    return "il grigio cercato (" + colourText(asked) + ") è vicino sia alla linea seguita (" + colourText(*ink) +
           ") sia a un'altra linea del grafico (" + colourText(*other) +
           "): su una scansione i grigi di una famiglia non si distinguono; indicare la curva con --start";
}

} // namespace

bool isGrey(Rgb colour)
{
    const Lab lab = labOf(colour);
    return std::hypot(lab.a, lab.b) < GreyChroma;
}


std::vector<bool> otherGreys(const PixelBuffer& picture, const std::vector<std::vector<PixelPoint>>& traces,
                             const std::vector<bool>& wide, Rgb asked, const std::optional<PixelRect>& chart)
{
    std::vector<bool> other(traces.size(), false);
    if (!isGrey(asked) || traces.size() < 2) return other;
    std::vector<double> distance(traces.size(), std::numeric_limits<double>::infinity());
    std::vector<bool> clean(traces.size(), false);
    bool exact = false;
    for (std::size_t t = 0; t < traces.size(); ++t) {
        // A line on paper of more than one colour (along the frame, where the
        // plot's tint meets the page) is not judged; a scan's lines never are.
        const Paper paper = paperOf(picture, traces[t], chart);
        clean[t] = paper.clean;
        if (!paper.clean) continue;
        if (const std::optional<Rgb> ink = traceInk(picture, traces[t], paper.luma)) distance[t] = colourDistance(*ink, asked);
        exact = exact || (wide[t] && distance[t] <= ExactInk);
    }
    if (!exact) return other;
    for (std::size_t t = 0; t < traces.size(); ++t) other[t] = clean[t] && distance[t] > ExactInk + NearlyAsNear;
    return other;
}

InkJudge anotherGreyJudge(const PixelBuffer& picture, const std::vector<PixelPoint>& trace, Rgb asked,
                          const std::optional<PixelRect>& chart)
{
    if (!isGrey(asked) || trace.empty()) return {};
    const Paper paper = paperOf(picture, trace, chart);
    if (!paper.clean) return {};
    const std::optional<Rgb> ink = traceInk(picture, trace, paper.luma);
    if (!ink || colourDistance(*ink, asked) > ExactInk) return {};
    return [&picture, asked](int x, int top, int bottom) {
        std::optional<Rgb> darkest;
        for (int y = top; y <= bottom; ++y)
            if (picture.contains(x, y)) {
                const Rgb c = rgbOf(picture.pixel(x, y));
                if (!darkest || luma(c) < luma(*darkest)) darkest = c;
            }
        return darkest && colourDistance(*darkest, asked) > ExactInk + NearlyAsNear;
    };
}

std::vector<PixelPoint> withoutOtherGreyEnds(const PixelBuffer& picture, std::vector<PixelPoint> centre, Rgb asked,
                                             const std::optional<PixelRect>& chart)
{
    if (!isGrey(asked) || centre.empty()) return centre;
    const Paper paper = paperOf(picture, centre, chart);
    const std::optional<Rgb> ink = traceInk(picture, centre, paper.luma);
    if (!paper.clean || !ink || colourDistance(*ink, asked) > ExactInk) return centre;
    const std::vector<std::optional<Rgb>> darkest = darkestAlong(picture, centre, paper.luma);
    const std::size_t most = OtherEndReaches * endReach(darkest.size());
    if (darkest.size() < 4 * most) return centre;
    // The back first: the front is then judged within what is left.
    const std::optional<std::size_t> back = otherInkEnd(darkest, asked, most, true);
    const std::vector<std::optional<Rgb>> kept(darkest.begin(), darkest.end() - static_cast<std::ptrdiff_t>(back.value_or(0)));
    const std::optional<std::size_t> front = otherInkEnd(kept, asked, most, false);
    if (back) centre.erase(centre.end() - static_cast<std::ptrdiff_t>(*back), centre.end());
    if (front) centre.erase(centre.begin(), centre.begin() + static_cast<std::ptrdiff_t>(*front));
    return centre;
}

std::optional<std::string> nearerLineOfTheColour(const PixelBuffer& picture, const std::vector<PixelPoint>& centre,
                                                 Rgb asked, const std::vector<PixelRect>& exclusions,
                                                 const std::optional<PixelRect>& chart)
{
    const bool grey = isGrey(asked);
    if (centre.empty()) return std::nullopt;
    if (grey) return nearerGreyLine(picture, centre, asked, exclusions, chart);
    // The trace's core: in each column the pixel nearest the colour asked for, the median of them.
    std::vector<std::pair<double, Rgb>> core;
    const std::vector<double> traceRow = rowsOfTrace(centre, picture.width());
    for (const PixelPoint& p : centre) {
        const int x = static_cast<int>(std::lround(p.x)), y = static_cast<int>(std::lround(p.y));
        if (x < 0 || x >= picture.width()) continue;
        std::optional<std::pair<double, Rgb>> nearest;
        for (int dy = -CoreReach; dy <= CoreReach; ++dy) {
            if (!picture.contains(x, y + dy)) continue;
            const Rgb c = rgbOf(picture.pixel(x, y + dy));
            const double d = colourDistance(c, asked);
            if (!nearest || d < nearest->first) nearest = {d, c};
        }
        if (nearest) core.push_back(*nearest);
    }
    if (core.empty()) return std::nullopt;
    std::nth_element(core.begin(), core.begin() + static_cast<std::ptrdiff_t>(core.size() / 2), core.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto [coreDistance, coreColour] = core[core.size() / 2];
    if (coreDistance < SameColour) return std::nullopt;

    // Another line clearly nearer the colour asked for.
    const double nearer = NearerShare * coreDistance;
    // Only the columns traced are compared: the curve's own colour going on
    // beyond a trace's end is told apart elsewhere.
    struct Near {
        int x, y;
        Rgb colour;
    };
    std::vector<Near> found;
    std::vector<std::size_t> perRow(static_cast<std::size_t>(picture.height()), 0);
    for (int x = 0; x < picture.width(); ++x) {
        if (std::isnan(traceRow[static_cast<std::size_t>(x)])) continue;
        for (int y = 0; y < picture.height(); ++y) {
            const Rgb c = rgbOf(picture.pixel(x, y));
            if (channelsApart(c, asked) > FarApart || excluded(exclusions, x, y)) continue;
            if (colourDistance(c, asked) >= nearer || nearTrace(traceRow, x, y)) continue;
            found.push_back({x, y, c});
            ++perRow[static_cast<std::size_t>(y)];
        }
    }
    // A row holding the colour over much of the trace's width is a straight
    // line (the frame, a grid line), no curve.
    std::vector<bool> column(static_cast<std::size_t>(picture.width()), false);
    long long sum[3] = {0, 0, 0}, pixels = 0;
    for (const Near& n : found) {
        if (onStraightRow(perRow, n.y, core.size())) continue;
        column[static_cast<std::size_t>(n.x)] = true;
        sum[0] += n.colour.red, sum[1] += n.colour.green, sum[2] += n.colour.blue, ++pixels;
    }
    const auto columns = static_cast<std::size_t>(std::count(column.begin(), column.end(), true));
    if (columns < std::max(RivalColumns, core.size() / 4)) return std::nullopt;
    const Rgb other{static_cast<std::uint8_t>(sum[0] / pixels), static_cast<std::uint8_t>(sum[1] / pixels),
                    static_cast<std::uint8_t>(sum[2] / pixels)};
    return "la linea seguita ha il colore " + colourText(coreColour) + ", lontano da " + colourText(asked) +
           "; nel grafico c'è un'altra linea di colore più vicino (" + colourText(other) +
           "): forse è quella la curva cercata (indicarla con --start)";
}

std::optional<std::string> clickMissed(const std::vector<PixelPoint>& centre, PixelPoint click)
{
    // The trace's row at the click's column, between the nearest points on
    // either side (across a gap the trace bridged, it is the bridge's row).
    std::optional<PixelPoint> before, after;
    for (const PixelPoint& p : centre) {
        if (p.x <= click.x && (!before || p.x > before->x)) before = p;
        if (p.x >= click.x && (!after || p.x < after->x)) after = p;
    }
    if (before && after) {
        const double share = after->x > before->x ? (click.x - before->x) / (after->x - before->x) : 0.0;
        if (std::abs(before->y + share * (after->y - before->y) - click.y) <= ClickReach) return std::nullopt;
    }
    return "la traccia non passa per il punto indicato (" + pointValueText(click.x) + "," + pointValueText(click.y) +
           "): forse segue un'altra linea dello stesso colore";
}

} // namespace calvero::capture
