#include "capture/tolerancechoice.h"

#include "capture/pointexport.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace calvero::capture {

namespace {

// Larger pictures are looked at on every other row and column.
constexpr long long FullLookPixels = 4'000'000;
// How far toward the background the colour may fade at the default
// tolerance (in proportion at others), and never further.
constexpr double DefaultFading = 0.6;
constexpr double MostFading = 0.8;
// A colour counts as drawn on the page when it covers this share of the
// pixels looked at (a thin dashed line across a fifth of a chart does), and
// at least this many.
constexpr double DrawnShare = 1e-4;
constexpr long long DrawnPixels = 25;
// A colour this near the curve's colour paled all the way to the paper is
// the curve's own fringe (or a grey grid under a black curve); one this near
// the colours matched is the curve's own colour as a JPEG file or a scan
// shifts it (two curves that close are not told apart by colour).
constexpr double OwnFamily = 6.0;
constexpr double OwnVariant = 20.0;
// A colour this near the paper is paper (grain of a scan).
constexpr double PaperDistance = 8.0;
// The tolerance keeps this share of the way to the nearest other colour,
// so that colour's own fringes and noise stay out too.
constexpr double NeighbourShare = 0.55;

// Colours counted in boxes of 16 x 16 x 16, each box with its pixels' mean colour.
class ColourCount {
public:
    void add(std::uint32_t pixel, long long n)
    {
        const Rgb c = rgbOf(pixel);
        long long* box = &boxes_[4 * static_cast<std::size_t>((c.red >> 4) << 8 | (c.green >> 4) << 4 | (c.blue >> 4))];
        box[0] += n;
        box[1] += n * c.red;
        box[2] += n * c.green;
        box[3] += n * c.blue;
        total_ += n;
    }
    long long total() const { return total_; }
    std::size_t boxes() const { return boxes_.size() / 4; }
    long long count(std::size_t box) const { return boxes_[4 * box]; }
    Rgb mean(std::size_t box) const
    {
        const long long* b = &boxes_[4 * box];
        if (b[0] == 0) return {255, 255, 255};
        return {static_cast<std::uint8_t>(b[1] / b[0]), static_cast<std::uint8_t>(b[2] / b[0]),
                static_cast<std::uint8_t>(b[3] / b[0])};
    }
    Rgb commonest() const
    {
        std::size_t fullest = 0;
        for (std::size_t box = 0; box < boxes(); ++box)
            if (count(box) > count(fullest)) fullest = box;
        return mean(fullest);
    }

private:
    std::vector<long long> boxes_ = std::vector<long long>(4096 * 4, 0);
    long long total_ = 0;
};

// Calls visit(pixel, count) for each stretch of one colour on the rows and columns looked at.
template <typename Visit>
void eachStretch(const PixelBuffer& picture, int stride, Visit visit)
{
    for (int y = 0; y < picture.height(); y += stride) {
        const std::uint32_t* row = picture.row(y);
        std::uint32_t last = row[0] & 0xffffffu;
        long long stretch = 0;
        for (int x = 0; x < picture.width(); x += stride) {
            const std::uint32_t pixel = row[x] & 0xffffffu;
            if (pixel != last) {
                visit(last, stretch);
                stretch = 0;
                last = pixel;
            }
            ++stretch;
        }
        visit(last, stretch);
    }
}

std::string number(double value) { return pointValueText(std::round(value * 10) / 10); }

// A JPEG file or a scan shifts a thin line's colour by more than two curves'
// colours may differ; such a shifted colour lies on the curve itself. Of the
// pixels of each box (looked at every `stride`), the share that have a pixel
// of the curve's colour within this reach.
constexpr int VariantReach = 2;
constexpr double VariantShare = 0.5;
constexpr long long VariantSamples = 2000;

std::vector<double> shareOnTheCurve(const PixelBuffer& picture, int stride, const std::vector<std::size_t>& boxes,
                                    const ColourMatcher& curve)
{
    std::vector<int> candidate(4096, -1);
    for (std::size_t i = 0; i < boxes.size(); ++i) candidate[boxes[i]] = static_cast<int>(i);
    std::vector<long long> seen(boxes.size(), 0), beside(boxes.size(), 0);
    for (int y = 0; y < picture.height(); y += stride)
        for (int x = 0; x < picture.width(); x += stride) {
            const Rgb c = rgbOf(picture.pixel(x, y));
            const int which = candidate[static_cast<std::size_t>((c.red >> 4) << 8 | (c.green >> 4) << 4 | (c.blue >> 4))];
            if (which < 0 || seen[static_cast<std::size_t>(which)] >= VariantSamples) continue;
            ++seen[static_cast<std::size_t>(which)];
            bool near = false;
            for (int dy = -VariantReach; dy <= VariantReach && !near; ++dy)
                for (int dx = -VariantReach; dx <= VariantReach && !near; ++dx)
                    near = (dx || dy) && picture.contains(x + dx, y + dy) && curve.matches(picture.pixel(x + dx, y + dy));
            if (near) ++beside[static_cast<std::size_t>(which)];
        }
    std::vector<double> shares;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        shares.push_back(seen[i] ? double(beside[i]) / double(seen[i]) : 0.0);
    return shares;
}

} // namespace

ToleranceChoice chooseTolerance(const PixelBuffer& picture, Rgb colour, std::optional<double> given)
{
    ToleranceChoice choice;
    choice.adaptive = !given;
    choice.tolerance = given.value_or(DefaultTolerance);
    if (picture.empty()) return choice;
    const int stride = static_cast<long long>(picture.width()) * picture.height() > FullLookPixels ? 2 : 1;

    ColourCount colours;
    eachStretch(picture, stride, [&](std::uint32_t pixel, long long n) { colours.add(pixel, n); });
    const Rgb background = colours.commonest();
    choice.fading.background = background;
    if (given) {
        choice.backgroundMatches = ColourMatcher(colour, *given).matches(argbOf(background));
        if (!choice.backgroundMatches) choice.fading.share = std::min(MostFading, DefaultFading * *given / DefaultTolerance);
        return choice;
    }

    choice.fading.share = DefaultFading;
    const FadingPath matched(colour, choice.fading);
    const FadingPath whole(colour, {background, 1.0});
    const Lab paper = labOf(background);
    const long long drawn = std::max(DrawnPixels, static_cast<long long>(DrawnShare * double(colours.total())));
    std::vector<std::size_t> near;
    std::vector<double> limits;
    for (std::size_t box = 0; box < colours.boxes(); ++box) {
        if (colours.count(box) < drawn) continue;
        const Lab lab = labOf(colours.mean(box));
        const double fromPaper = std::hypot(lab.lightness - paper.lightness, lab.a - paper.a, lab.b - paper.b);
        const double apart = matched.distance(lab);
        if (fromPaper <= PaperDistance || whole.distance(lab) <= OwnFamily || apart <= OwnVariant) continue;
        if (NeighbourShare * apart >= choice.tolerance) continue;
        near.push_back(box);
        limits.push_back(NeighbourShare * apart);
    }
    const std::vector<double> onTheCurve =
        near.empty() ? std::vector<double>{} : shareOnTheCurve(picture, stride, near, ColourMatcher(colour, OwnVariant, choice.fading));
    for (std::size_t i = 0; i < near.size(); ++i)
        if (onTheCurve[i] < VariantShare && limits[i] < choice.tolerance) {
            choice.tolerance = limits[i];
            choice.neighbour = colours.mean(near[i]);
        }
    choice.backgroundMatches = ColourMatcher(colour, choice.tolerance).matches(argbOf(background));
    return choice;
}

std::vector<Rgb> paperColours(const PixelBuffer& picture)
{
    // A second paper covers at least this share of the page.
    constexpr double PaperShare = 0.1;
    if (picture.empty()) return {{255, 255, 255}};
    const int stride = static_cast<long long>(picture.width()) * picture.height() > FullLookPixels ? 2 : 1;
    ColourCount colours;
    eachStretch(picture, stride, [&](std::uint32_t pixel, long long n) { colours.add(pixel, n); });
    std::vector<Rgb> papers{colours.commonest()};
    // A scan spreads a paper's colour over neighbouring boxes: a box counts
    // with its neighbours, where it is the fullest of them.
    const auto at = [](int r, int g, int b) { return static_cast<std::size_t>(r << 8 | g << 4 | b); };
    for (int r = 0; r < 16; ++r)
        for (int g = 0; g < 16; ++g)
            for (int b = 0; b < 16; ++b) {
                const long long own = colours.count(at(r, g, b));
                long long around = 0;
                bool fullest = own > 0;
                for (int dr = -1; dr <= 1; ++dr)
                    for (int dg = -1; dg <= 1; ++dg)
                        for (int db = -1; db <= 1; ++db) {
                            const int nr = r + dr, ng = g + dg, nb = b + db;
                            if (nr < 0 || ng < 0 || nb < 0 || nr > 15 || ng > 15 || nb > 15) continue;
                            const long long n = colours.count(at(nr, ng, nb));
                            around += n;
                            if (n > own) fullest = false;
                        }
                const Rgb colour = colours.mean(at(r, g, b));
                // A box that holds the share by itself is a paper even beside a
                // fuller one (charts filled #e5e5e5 on a white A4 page).
                const bool alone = own >= PaperShare * double(colours.total());
                if ((fullest || alone) && around >= PaperShare * double(colours.total()) &&
                    std::none_of(papers.begin(), papers.end(), [&](Rgb p) { return colourDistance(p, colour) <= PaperDistance; }))
                    papers.push_back(colour);
            }
    return papers;
}

std::vector<Rgb> drawnColours(const PixelBuffer& picture)
{
    std::vector<Rgb> kept;
    if (picture.empty()) return kept;
    const int stride = static_cast<long long>(picture.width()) * picture.height() > FullLookPixels ? 2 : 1;
    ColourCount colours;
    eachStretch(picture, stride, [&](std::uint32_t pixel, long long n) { colours.add(pixel, n); });
    const Rgb background = colours.commonest();
    const Lab paper = labOf(background);
    // A line across a tenth of the page, a pixel wide, at the least.
    const long long drawn = std::max(DrawnPixels, static_cast<long long>(0.1 * picture.width() / stride));
    std::vector<std::size_t> boxes;
    for (std::size_t box = 0; box < colours.boxes(); ++box)
        if (colours.count(box) >= drawn) boxes.push_back(box);
    std::sort(boxes.begin(), boxes.end(), [&](std::size_t a, std::size_t b) { return colours.count(a) > colours.count(b); });
    // A colour on a darker one's way to the paper is that one's fringe,
    // however common (a black line's grey anti-aliasing).
    std::vector<Rgb> candidates;
    std::vector<Lab> labs;
    for (std::size_t box : boxes) {
        const Rgb colour = colours.mean(box);
        const Lab lab = labOf(colour);
        if (std::hypot(lab.lightness - paper.lightness, lab.a - paper.a, lab.b - paper.b) <= 3 * PaperDistance) continue;
        candidates.push_back(colour);
        labs.push_back(lab);
    }
    const auto fromPaper = [&](const Lab& l) { return std::hypot(l.lightness - paper.lightness, l.a - paper.a, l.b - paper.b); };
    std::vector<FadingPath> ways;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        bool fringe = false;
        for (std::size_t j = 0; j < candidates.size() && !fringe; ++j)
            fringe = j != i && fromPaper(labs[j]) > fromPaper(labs[i]) &&
                     FadingPath(candidates[j], Fading{background, 1.0}).distance(labs[i]) <= OwnFamily;
        if (fringe || std::any_of(ways.begin(), ways.end(), [&](const FadingPath& way) { return way.distance(labs[i]) <= OwnVariant; }))
            continue;
        kept.push_back(candidates[i]);
        ways.emplace_back(candidates[i], Fading{background, 1.0});
    }
    return kept;
}

std::optional<std::string> toleranceNote(const ToleranceChoice& choice)
{
    if (!choice.adaptive) return std::nullopt;
    if (!choice.neighbour) return "tolleranza " + number(choice.tolerance) + " (nessun altro colore vicino nella pagina)";
    return "tolleranza " + number(choice.tolerance) + ", ridotta da " + number(DefaultTolerance) + " perché nella pagina c'è il colore " +
           colourText(*choice.neighbour) + ", vicino a quello cercato";
}

} // namespace calvero::capture
