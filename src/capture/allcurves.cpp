#include "capture/allcurves.h"

#include "capture/pagestructure.h"
#include "capture/colourpieces.h"
#include "capture/curvetrace.h"
#include "capture/straightlines.h"
#include "capture/textpieces.h"
#include "capture/tolerancechoice.h"
#include "capture/tracedoubts.h"
#include "capture/unionfind.h"
#include "common/numtext.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <set>

namespace calvero::capture {

namespace {

// Words on one line this near (shares of their height) make one phrase.
constexpr double PhraseGap = 1.2;
constexpr double PhraseOverlap = 0.5;
// A phrase labels a curve passing within this many of its heights.
constexpr double LabelReach = 4.0;
// Letters are at least this high (a dash of a level curve is lower).
constexpr int ShortestLetter = 6;
// A line seen spans at least this share of the plot's width (a scan's
// curve broken by labels and markers may leave no longer piece).
constexpr double LineAcross = 0.25;
// A line short of the x range whose colour ends with it spans at least
// this share of the plot's width to be a curve (a legend's sample is shorter).
constexpr double ShortCurveAcross = 0.25;
// The most colours looked at on one page.
constexpr std::size_t MostColours = 10;
// Letters this near black are the page's text colour, written beside any
// curve; letters in another colour label only a curve of about their colour.
constexpr double TextBlack = 30;
constexpr double SameInk = 35;
// A legend's sample is within this of its curve's colour; curves this near are of one colour.
constexpr double SampleColour = 20;
constexpr double OneColour = 1;

struct Phrase {
    std::string text;
    PixelRect box;
    double confidence;
    std::string alsoRead;
    std::optional<Rgb> ink;
    // The colour of a legend's sample drawn left of it, when one is.
    std::optional<Rgb> sample;
};

// Whether a phrase in this ink may label a curve of this colour: a grey or
// coloured label beside another curve's end belongs to a curve not followed.
bool inkFits(const std::optional<Rgb>& ink, Rgb curve)
{
    return !ink || colourDistance(*ink, Rgb{0, 0, 0}) <= TextBlack || colourDistance(*ink, curve) <= SameInk;
}

void takeLabel(LabelledCurve& curve, const Phrase& phrase)
{
    curve.label = phrase.text;
    curve.parameter = labelNumber(phrase.text);
    curve.labelBox = phrase.box;
    curve.labelConfidence = phrase.confidence;
    curve.labelAlsoRead = phrase.alsoRead;
}

std::vector<Phrase> phrasesOf(const std::vector<ReadWord>& given, const std::vector<std::optional<Rgb>>& samples)
{
    std::vector<std::size_t> order(given.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return given[a].box.left < given[b].box.left; });
    std::vector<ReadWord> words;
    std::vector<std::optional<Rgb>> sampleOf;
    for (std::size_t i : order) {
        words.push_back(given[i]);
        sampleOf.push_back(i < samples.size() ? samples[i] : std::nullopt);
    }
    std::vector<Phrase> phrases;
    std::vector<bool> used(words.size(), false);
    // A legend's sample read as letters ("ko" left of "DN 25") is the word
    // in the sample's colour just left of its entry: no word of the label.
    for (std::size_t j = 0; j < words.size(); ++j)
        for (std::size_t i = 0; i < j && sampleOf[j]; ++i) {
            const PixelRect& a = words[i].box;
            const PixelRect& b = words[j].box;
            const double overlap = std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
            if (words[i].ink && colourDistance(*words[i].ink, *sampleOf[j]) <= SameInk && a.left + a.width <= b.left + 1 &&
                b.left - (a.left + a.width) <= PhraseGap * b.height && overlap >= PhraseOverlap * std::min(a.height, b.height))
                used[i] = true;
        }
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (used[i] || words[i].text.empty()) continue;
        Phrase phrase{words[i].text, words[i].box, words[i].confidence, words[i].alsoRead, words[i].ink, sampleOf[i]};
        for (std::size_t j = i + 1; j < words.size(); ++j) {
            const PixelRect& b = words[j].box;
            const PixelRect& p = phrase.box;
            const double gap = b.left - (p.left + p.width);
            const double overlap = std::min(p.top + p.height, b.top + b.height) - std::max(p.top, b.top);
            // A word with a sample of its own starts an entry of its own (the
            // entry's second word may see its first word's sample beyond it).
            const bool ownSample = sampleOf[j] && !(phrase.sample && colourDistance(*phrase.sample, *sampleOf[j]) <= OneColour);
            if (used[j] || ownSample || gap > PhraseGap * p.height || gap < -p.height || overlap < PhraseOverlap * std::min(p.height, b.height))
                continue;
            // A label carries one number: two side by side are two labels ("D=210 D=220" at two curves' ends).
            if (labelNumber(phrase.text) && labelNumber(words[j].text)) continue;
            phrase.text += " " + words[j].text;
            if (words[j].ink && phrase.ink && colourDistance(*words[j].ink, *phrase.ink) > SameInk) phrase.ink.reset();
            phrase.confidence = std::min(phrase.confidence, words[j].confidence);
            if (phrase.alsoRead.empty()) phrase.alsoRead = words[j].alsoRead;
            const double right = std::max(p.left + p.width, b.left + b.width), bottom = std::max(p.top + p.height, b.top + b.height);
            phrase.box.top = std::min(p.top, b.top);
            phrase.box.width = right - p.left;
            phrase.box.height = bottom - phrase.box.top;
            used[j] = true;
        }
        // Dashes of a curve read as a word are none.
        if (std::any_of(phrase.text.begin(), phrase.text.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            phrases.push_back(phrase);
    }
    return phrases;
}

// How far a label lies from a curve: across, on average over the label's
// own columns where the curve passes under or over them (a label is written
// beside its curve at its place, and a falling curve above it comes nearer
// at its right end); elsewhere the distance to the curve's nearest point.
double distanceTo(const PixelRect& box, const std::vector<PixelPoint>& line)
{
    double across = 0, nearest = std::numeric_limits<double>::infinity();
    int columns = 0;
    for (const PixelPoint& p : line) {
        const double dx = std::max({box.left - p.x, 0.0, p.x - (box.left + box.width)});
        const double dy = std::max({box.top - p.y, 0.0, p.y - (box.top + box.height)});
        if (dx == 0) across += dy, ++columns;
        nearest = std::min(nearest, std::hypot(dx, dy));
    }
    return columns ? across / columns : nearest;
}

// The part of the picture in the box, with the grid and frame lines through
// it filled in from their two sides: a grid line across a label is read as
// a letter ("D=215" as "'275") where it is left in, and painted as paper it
// cuts the strokes it crosses ("D=230" as "D=2C0"). Each line pixel takes
// the colours beyond the shorter run of line pixels through it, across or
// down, mixed by how near each end is.
PixelBuffer withoutLines(const PixelBuffer& picture, const PixelMask& lines, const PixelRect& box)
{
    const int left = std::clamp(static_cast<int>(box.left), 0, picture.width());
    const int top = std::clamp(static_cast<int>(box.top), 0, picture.height());
    const int right = std::clamp(static_cast<int>(std::ceil(box.left + box.width)), left, picture.width());
    const int bottom = std::clamp(static_cast<int>(std::ceil(box.top + box.height)), top, picture.height());
    Checked<PixelBuffer> part = PixelBuffer::create(std::max(1, right - left), std::max(1, bottom - top));
    if (!part) return {};
    const auto runEnd = [&](int x, int y, int dx, int dy) {
        int n = 0;
        while (picture.contains(x + dx, y + dy) && lines.at(x + dx, y + dy)) x += dx, y += dy, ++n;
        return n + 1;
    };
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            if (!lines.at(x, y)) {
                part->setPixel(x - left, y - top, picture.pixel(x, y));
                continue;
            }
            const int l = runEnd(x, y, -1, 0), r = runEnd(x, y, 1, 0), u = runEnd(x, y, 0, -1), d = runEnd(x, y, 0, 1);
            const bool across = l + r <= u + d;
            const int before = across ? l : u, after = across ? r : d;
            const int bx = across ? x - before : x, by = across ? y : y - before;
            const int ax = across ? x + after : x, ay = across ? y : y + after;
            const Rgb b = picture.contains(bx, by) ? rgbOf(picture.pixel(bx, by)) : Rgb{255, 255, 255};
            const Rgb a = picture.contains(ax, ay) ? rgbOf(picture.pixel(ax, ay)) : Rgb{255, 255, 255};
            const double t = double(before) / (before + after);
            const auto mix = [&](int p, int q) { return static_cast<unsigned char>(std::lround(p + (q - p) * t)); };
            part->setPixel(x - left, y - top, argbOf(Rgb{mix(b.red, a.red), mix(b.green, a.green), mix(b.blue, a.blue)}));
        }
    return std::move(*part);
}

// The words the reader reads in the area as one phrase, with stray strokes
// at its ends left out, and the least sure word's confidence; empty when
// nothing but strokes is read.
LabelReading readingOf(const TextReader& reader, const PixelBuffer& picture, const PixelRect& area,
                       LabelReading::Picture which, const ReadHints& hints)
{
    std::string text;
    double confidence = 100;
    for (const ReadWord& w : reader.read(picture, area, TextKind::Line, hints)) {
        text += (text.empty() ? "" : " ") + w.text;
        confidence = std::min(confidence, w.confidence);
    }
    // Strokes of a grid line or a frame beside a word are read as brackets and bars.
    const std::size_t first = text.find_first_not_of("|[]{}()'\"`_ "), last = text.find_last_not_of("|[]{}()'\"`_ ");
    if (first == std::string::npos) return {"", 0, which, !hints.alphabet.empty()};
    return {text.substr(first, last - first + 1), confidence, which, !hints.alphabet.empty()};
}

// A word inside the plot: its box, the box's picture with the lines through
// it filled in, and its readings so far.
struct WordToRead {
    PixelRect box;
    PixelBuffer filled;
    std::vector<LabelReading> readings;
    std::optional<Rgb> ink;
};

// Reads the word on both its pictures, as drawn and with the lines filled
// in (a thin grid line through a small letter is better left in, a thick
// one better taken out), held to the alphabet when one is given.
void readBothWays(const TextReader& reader, const PixelBuffer& picture, WordToRead& word, const ReadHints& hints)
{
    const PixelRect whole{0, 0, double(word.filled.width()), double(word.filled.height())};
    word.readings.push_back(readingOf(reader, picture, word.box, LabelReading::Picture::AsDrawn, hints));
    word.readings.push_back(readingOf(reader, word.filled, whole, LabelReading::Picture::LinesFilled, hints));
}

// A family labelled in turn: as many numbered phrases as curves, each lying
// between two neighbouring curves (or beyond the outermost), all on the same
// side of theirs. Counted at each phrase's middle column, the curves above
// it are then 0, 1, ... n-1 (each written above its curve) or 1, ... n
// (below it), and each phrase labels the curve that count points to. A
// label written where it comes nearer the next curve than its own is still
// told apart this way. Whether it labelled them.
bool labelledInTurn(std::vector<LabelledCurve>& curves, const std::vector<Phrase>& phrases)
{
    std::vector<const Phrase*> numbered;
    for (const Phrase& p : phrases)
        if (labelNumber(p.text)) numbered.push_back(&p);
    const std::size_t n = curves.size();
    if (n < 2 || numbered.size() != n ||
        std::any_of(curves.begin(), curves.end(), [](const LabelledCurve& c) { return c.curve.centre.empty(); }))
        return false;
    struct Place {
        std::size_t above;
        std::vector<std::size_t> order;
    };
    std::vector<Place> places;
    std::vector<bool> counts(n + 1, false);
    for (const Phrase* p : numbered) {
        const double x = p->box.left + p->box.width / 2, y = p->box.top + p->box.height / 2;
        Place place{0, std::vector<std::size_t>(n)};
        std::vector<double> rows(n);
        for (std::size_t c = 0; c < n; ++c) {
            rows[c] = rowAt(curves[c].curve.centre, x);
            place.above += rows[c] < y;
            place.order[c] = c;
        }
        std::sort(place.order.begin(), place.order.end(), [&](std::size_t a, std::size_t b) { return rows[a] < rows[b]; });
        if (counts[place.above]) return false;
        counts[place.above] = true;
        places.push_back(place);
    }
    // Each count once: either 0 or n is the one missing.
    if (counts[0] && counts[n]) return false;
    const std::size_t shift = counts[0] ? 0 : 1;
    std::vector<bool> taken(n, false);
    std::vector<std::size_t> chosen(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t c = places[i].order[places[i].above - shift];
        if (taken[c] || distanceTo(numbered[i]->box, curves[c].curve.centre) > LabelReach * numbered[i]->box.height ||
            !inkFits(numbered[i]->ink, curves[c].colour))
            return false;
        taken[c] = true;
        chosen[i] = c;
    }
    for (std::size_t i = 0; i < n; ++i) takeLabel(curves[chosen[i]], *numbered[i]);
    return true;
}

// The colour a word is written in: the mean of its letters' pixels that lie
// farthest from the paper (the strokes' cores; their edges are paler).
std::optional<Rgb> inkOf(const PixelBuffer& picture, const PixelMask& ink, const std::vector<Rgb>& papers, const WordGroup& word)
{
    constexpr double Core = 0.8;
    struct Inked {
        double distance;
        Rgb colour;
    };
    std::vector<Inked> inked;
    double farthest = 0;
    for (const Piece& part : word.parts)
        for (int y = part.top; y <= part.bottom; ++y)
            for (int x = part.left; x <= part.right; ++x) {
                if (!ink.at(x, y)) continue;
                const Rgb c = rgbOf(picture.pixel(x, y));
                double d = std::numeric_limits<double>::infinity();
                for (const Rgb& paper : papers) d = std::min(d, colourDistance(c, paper));
                inked.push_back({d, c});
                farthest = std::max(farthest, d);
            }
    double red = 0, green = 0, blue = 0;
    int n = 0;
    for (const Inked& i : inked)
        if (i.distance >= Core * farthest) red += i.colour.red, green += i.colour.green, blue += i.colour.blue, ++n;
    if (!n) return std::nullopt;
    const auto mean = [&](double sum) { return static_cast<std::uint8_t>(std::lround(sum / n)); };
    return Rgb{mean(red), mean(green), mean(blue)};
}

// The papers, and white: a label's white box on a grey or tinted paper is paper to its letters.
std::vector<Rgb> papersAndLabelBoxes(const PixelBuffer& picture)
{
    constexpr Rgb White{255, 255, 255};
    std::vector<Rgb> papers = paperColours(picture);
    if (std::none_of(papers.begin(), papers.end(), [&](Rgb p) { return colourDistance(p, White) <= PaperTolerance; }))
        papers.push_back(White);
    return papers;
}

// The lines of ink across the plot that no curve followed: all the ink but
// the frame, grid, letters and the curves followed (with a band each side),
// dots and dashes joined, each piece spanning a quarter of the plot's width and
// rising or falling (no level leftover of the grid). A grey curve of a black
// family, whose colour is the black's fringe to the colour search, is one.
std::vector<std::string> linesUnfollowed(const PixelBuffer& picture, const AxisCalibration& calibration,
                                         const std::vector<LabelledCurve>& curves, const PixelRect& plot)
{
    constexpr double LeastRise = 0.03;
    constexpr int StretchesJoined = 4;
    constexpr double LeastStretch = 0.05;
    constexpr int PixelsPerJoin = 250;
    PixelMask ink = inkPixels(picture, papersAndLabelBoxes(picture));
    const StraightLines lines =
        findStraightLines(ink, lineDirections(calibration.references(), picture.width(), picture.height()));
    clearWhereSet(ink, lines.pixels);
    lines.area.clearOutside(ink);
    const int join = std::max(2, (std::max(picture.width(), picture.height()) + PixelsPerJoin - 1) / PixelsPerJoin);
    const int band = 2 * join + 2;
    for (const LabelledCurve& c : curves)
        for (const PixelPoint& p : c.curve.centre)
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -band; dy <= band; ++dy) {
                    const int x = static_cast<int>(std::floor(p.x)) + dx, y = static_cast<int>(std::floor(p.y)) + dy;
                    if (x >= 0 && y >= 0 && x < ink.width() && y < ink.height()) ink.set(x, y, false);
                }
    const ColourPieces found = findPieces(ink);
    const std::vector<bool> letters = letterPieces(found, tallestLetter(picture.height()), &lines.pixels, true);
    for (std::size_t k = 0; k < found.runs.size(); ++k)
        if (letters[static_cast<std::size_t>(found.pieceOfRun[k])])
            for (int x = found.runs[k].x0; x <= found.runs[k].x1; ++x) ink.set(x, found.runs[k].y, false);
    // Only this chart's lines: another chart's on the page are read with it.
    // Cleared after the letters are told, which are judged among all the page's pieces.
    for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x)
            if (x < plot.left || x >= plot.left + plot.width || y < plot.top || y >= plot.top + plot.height) ink.set(x, y, false);
    widen(ink, join);
    // A dotted line's dots farther apart than the join leave it in stretches
    // one after another: stretches (not tick marks or specks) this near each other are one line.
    const std::vector<Piece> pieces = findPieces(ink).pieces;
    const int reach = StretchesJoined * join;
    UnionFind stretches(static_cast<int>(pieces.size()));
    for (std::size_t i = 0; i < pieces.size(); ++i)
        for (std::size_t j = i + 1; j < pieces.size(); ++j) {
            const Piece& a = pieces[i];
            const Piece& b = pieces[j];
            const bool bothStretches = std::min(a.width(), b.width()) >= LeastStretch * plot.width;
            if (bothStretches && std::max(a.left, b.left) - std::min(a.right, b.right) <= reach &&
                std::max(a.top, b.top) - std::min(a.bottom, b.bottom) <= reach)
                stretches.join(static_cast<int>(i), static_cast<int>(j));
        }
    std::vector<std::string> left;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (stretches.root(static_cast<int>(i)) != static_cast<int>(i)) continue;
        Piece p = pieces[i];
        for (std::size_t j = 0; j < pieces.size(); ++j)
            if (stretches.root(static_cast<int>(j)) == static_cast<int>(i)) {
                p.left = std::min(p.left, pieces[j].left), p.right = std::max(p.right, pieces[j].right);
                p.top = std::min(p.top, pieces[j].top), p.bottom = std::max(p.bottom, pieces[j].bottom);
            }
        if (p.width() >= LineAcross * plot.width && p.height() >= LeastRise * plot.height)
            left.push_back("una linea non seguita fra i pixel x " + std::to_string(p.left) + " e " + std::to_string(p.right));
    }
    return left;
}

// The words inside the plot, each found as letters in the ink (with the
// frame and grid taken out, so a label across a grid line is whole) and read
// on its own: a reader run over the whole plot misses words the curves crowd.
// Each is read several ways and its text judged by the form the family's
// labels share (labelreading.h).
std::vector<ReadWord> wordsInside(const PixelBuffer& picture, const AxisCalibration& calibration, const PixelRect& inside,
                                  const TextReader& reader)
{
    constexpr int Padding = 3;
    const std::vector<Rgb> papers = papersAndLabelBoxes(picture);
    PixelMask ink = inkPixels(picture, papers);
    const StraightLines lines =
        findStraightLines(ink, lineDirections(calibration.references(), picture.width(), picture.height()));
    clearWhereSet(ink, lines.pixels);
    const ColourPieces found = findPieces(ink);
    const int tallest = tallestLetter(picture.height());
    const std::vector<bool> letters = letterPieces(found, tallest);
    // Words are letters with the marks between them (the '=' of D=200, a decimal point).
    std::vector<Piece> pieces;
    std::vector<Piece> letterBoxes;
    for (std::size_t i = 0; i < found.pieces.size(); ++i) {
        const Piece& p = found.pieces[i];
        const bool within = p.left >= inside.left && p.right <= inside.left + inside.width && p.top >= inside.top &&
                            p.bottom <= inside.top + inside.height;
        // Wider than a letter only where blurred letters ran together ("D=2"
        // as one piece on a 150 dpi scan, "00" beyond a grid line): a word's.
        if (!within || p.height() > tallest || (p.width() > tallest && !letters[i])) continue;
        pieces.push_back(p);
        if (letters[i]) letterBoxes.push_back(p);
    }
    // A grid line through a letter cuts it into specks, and the letters
    // left stand too far apart to count as a word: three pieces of the
    // word's full height do.
    const auto hasLetter = [&](const WordGroup& word) {
        const auto full = [&](const Piece& p) { return p.height() >= ShortestLetter && 3 * p.height() >= 2 * word.box.height(); };
        if (std::count_if(word.parts.begin(), word.parts.end(), full) >= 3) return true;
        return std::any_of(letterBoxes.begin(), letterBoxes.end(), [&](const Piece& l) {
            return l.left >= word.box.left && l.right <= word.box.right && l.top >= word.box.top && l.bottom <= word.box.bottom;
        });
    };
    // Each word read freely at two sizes: a label misread at one size is
    // often read right at the other.
    constexpr double SmallerLetters = 32;
    std::vector<WordToRead> toRead;
    for (const WordGroup& word : wordGroups(pieces)) {
        if (!hasLetter(word)) continue;
        const Piece& b = word.box;
        const PixelRect box{double(b.left - Padding), double(b.top - Padding), double(b.width() + 2 * Padding),
                            double(b.height() + 2 * Padding)};
        WordToRead w{box, withoutLines(picture, lines.pixels, box), {}, inkOf(picture, ink, papers, word)};
        readBothWays(reader, picture, w, {});
        readBothWays(reader, picture, w, {SmallerLetters, {}});
        toRead.push_back(std::move(w));
    }
    // The labels of a family share their form ("D=#"): each is judged by
    // it, and read once more held to its characters where it is in doubt.
    std::vector<std::string> best;
    for (const WordToRead& w : toRead) best.push_back(bestFreeReading(w.readings).text);
    const std::optional<std::string> form = familyForm(best);
    std::vector<ReadWord> words;
    for (WordToRead& w : toRead) {
        LabelVerdict verdict = form ? judgeLabel(w.readings, *form) : bestFreeReading(w.readings);
        const bool inForm = form && std::any_of(w.readings.begin(), w.readings.end(),
                                                [&](const LabelReading& r) { return labelForm(r.text) == form; });
        if (!verdict.settled && inForm) {
            readBothWays(reader, picture, w, {0, familyAlphabet(*form)});
            verdict = judgeLabel(w.readings, *form);
        }
        if (!verdict.text.empty()) words.push_back({verdict.text, w.box, verdict.confidence, verdict.alsoRead, w.ink});
    }
    return words;
}

// Letters of a text in UTF-8.
std::size_t letterCount(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char ch) { return (static_cast<unsigned char>(ch) & 0xC0) != 0x80; }));
}

} // namespace

namespace {

// The numbered phrases of the form of the labels taken that no curve took.
// Where no curve took one, a family's labels (two or more of one form) not
// beside the curves, as in a legend, when they outnumber the curves found.
std::vector<std::string> phrasesLeft(const std::vector<Phrase>& phrases, const std::vector<bool>& used,
                                     const std::vector<LabelledCurve>& curves)
{
    std::set<std::string> forms;
    for (const LabelledCurve& c : curves)
        if (c.parameter)
            if (const std::optional<std::string> form = labelForm(c.label)) forms.insert(*form);
    std::vector<std::string> numbered;
    for (std::size_t p = 0; p < phrases.size(); ++p)
        if (!used[p] && labelNumber(phrases[p].text)) numbered.push_back(phrases[p].text);
    const bool noneTaken = forms.empty();
    if (noneTaken)
        if (const std::optional<std::string> family = familyForm(numbered)) forms.insert(*family);
    std::vector<std::string> left;
    for (const std::string& text : numbered)
        if (const std::optional<std::string> form = labelForm(text); form && forms.count(*form)) left.push_back(text);
    if (noneTaken && left.size() <= curves.size()) return {};
    return left;
}

// Whether a curve found with a doubt is a line across a good share of the
// plot, not a level line along the frame or the grid: a curve seen, and to be
// counted among the page's lines.
bool acrossThePlot(const FoundCurve& curve, const PixelRect& plot)
{
    if (curve.pixels.size() < 2 || curve.doubts.front().find("orizzontale diritta") != std::string::npos) return false;
    const auto [left, right] = std::minmax_element(curve.pixels.begin(), curve.pixels.end(),
                                                   [](const PixelPoint& a, const PixelPoint& b) { return a.x < b.x; });
    const auto [top, bottom] = std::minmax_element(curve.pixels.begin(), curve.pixels.end(),
                                                   [](const PixelPoint& a, const PixelPoint& b) { return a.y < b.y; });
    // A steep line (a log-log chart's, leaving through the top) crosses the plot downward.
    return right->x - left->x >= ShortCurveAcross * plot.width || bottom->y - top->y >= ShortCurveAcross * plot.height;
}

} // namespace

std::vector<std::string> labelCurves(std::vector<LabelledCurve>& curves, const std::vector<ReadWord>& words,
                                     const std::vector<std::optional<Rgb>>& samples)
{
    std::vector<Phrase> phrases = phrasesOf(words, samples);
    // A legend's entry labels the one curve of its sample's colour, and no
    // other curve however near; with several of that colour, none.
    std::vector<std::optional<std::size_t>> entryCurve;
    std::vector<int> entriesOf(curves.size(), 0);
    for (const Phrase& p : phrases) {
        if (!p.sample) continue;
        std::vector<std::size_t> same;
        for (std::size_t c = 0; c < curves.size(); ++c)
            if (colourDistance(curves[c].colour, *p.sample) <= SampleColour) same.push_back(c);
        entryCurve.push_back(same.size() == 1 ? std::optional<std::size_t>(same[0]) : std::nullopt);
        if (same.size() == 1) ++entriesOf[same[0]];
    }
    if (!entryCurve.empty()) {
        std::size_t e = 0;
        for (const Phrase& p : phrases)
            if (p.sample) {
                if (const auto c = entryCurve[e++]; c && entriesOf[*c] == 1) takeLabel(curves[*c], p);
            }
        phrases.erase(std::remove_if(phrases.begin(), phrases.end(), [](const Phrase& p) { return p.sample.has_value(); }),
                      phrases.end());
        std::vector<LabelledCurve> unlabelled;
        for (LabelledCurve& c : curves)
            if (!c.labelBox) unlabelled.push_back(c);
        if (unlabelled.empty()) return {};
        std::vector<ReadWord> others;
        for (const Phrase& p : phrases) others.push_back({p.text, p.box, p.confidence, p.alsoRead, p.ink});
        std::vector<std::string> left = labelCurves(unlabelled, others);
        std::size_t u = 0;
        for (LabelledCurve& c : curves)
            if (!c.labelBox) c = unlabelled[u++];
        return left;
    }
    if (labelledInTurn(curves, phrases)) return {};
    // Nearest pairs first, each phrase and each curve taken once.
    struct Pair {
        double distance;
        std::size_t phrase, curve;
    };
    std::vector<Pair> pairs;
    for (std::size_t p = 0; p < phrases.size(); ++p)
        for (std::size_t c = 0; c < curves.size(); ++c) {
            const double d = distanceTo(phrases[p].box, curves[c].curve.centre);
            if (d <= LabelReach * phrases[p].box.height && inkFits(phrases[p].ink, curves[c].colour)) pairs.push_back({d, p, c});
        }
    // A phrase with a number is a label before any other word near the curve.
    const auto numbered = [&](std::size_t p) { return labelNumber(phrases[p].text).has_value(); };
    std::sort(pairs.begin(), pairs.end(), [&](const Pair& a, const Pair& b) {
        if (numbered(a.phrase) != numbered(b.phrase)) return numbered(a.phrase);
        return a.distance < b.distance;
    });
    std::vector<bool> phraseUsed(phrases.size(), false), labelled(curves.size(), false);
    for (const Pair& pair : pairs) {
        if (phraseUsed[pair.phrase] || labelled[pair.curve]) continue;
        phraseUsed[pair.phrase] = labelled[pair.curve] = true;
        takeLabel(curves[pair.curve], phrases[pair.phrase]);
    }
    return phrasesLeft(phrases, phraseUsed, curves);
}

std::vector<std::string> labelDoubts(const std::vector<LabelledCurve>& curves, const std::vector<std::string>& labelsLeft,
                                     std::size_t listed)
{
    // Letters of one font are this near the same width, on average over a label.
    constexpr double WidthSpread = 1.35;
    std::vector<std::string> doubts;
    for (const std::string& left : labelsLeft)
        doubts.push_back("l'etichetta «" + left + "» non è accanto a nessuna curva seguita (curve seguite: " +
                         std::to_string(curves.size()) + "): forse la sua curva non è stata trovata");
    // Several curves, one without a label read beside it: its label may be in
    // a legend or at its end, not matched; a name made up is no label.
    if (std::max(curves.size(), listed) >= 2)
        for (const LabelledCurve& c : curves)
            if (!c.labelBox)
                doubts.push_back("la curva «" + c.label + "» non ha un'etichetta letta accanto (forse in una legenda): " +
                                 "controllare quale curva sia");
    // Two curves read with one label are not told apart ("pendenza" thrice, its numbers lost).
    std::set<std::string> texts;
    for (const LabelledCurve& c : curves)
        if (c.labelBox && !texts.insert(c.label).second)
            doubts.push_back("due curve con la stessa etichetta «" + c.label + "»: forse letta male");
    const auto numbered = [](const LabelledCurve& c) { return c.parameter.has_value(); };
    const std::size_t withNumber = std::count_if(curves.begin(), curves.end(), numbered);
    if (withNumber == 0) {
        // Words read beside a curve with little certainty (a curve's crossings
        // or a legend's samples read as letters: "SAN", "MAINO,") are no label.
        for (const LabelledCurve& c : curves)
            if (c.labelBox && c.labelConfidence < SureReading)
                doubts.push_back("l'etichetta «" + c.label + "» è letta con poca sicurezza (" +
                                 std::to_string(std::lround(c.labelConfidence)) + " %): forse letta male");
        return doubts;
    }
    for (const LabelledCurve& c : curves)
        if (!c.parameter)
            doubts.push_back("la curva " + c.label + " non ha un'etichetta con un numero, le altre sì: forse non letta");
    std::set<double> parameters;
    std::string shape;
    std::vector<double> widths;
    for (const LabelledCurve& c : curves) {
        if (!c.parameter) continue;
        if (c.labelConfidence < SureReading)
            doubts.push_back("l'etichetta «" + c.label + "» è letta con poca sicurezza (" +
                             std::to_string(std::lround(c.labelConfidence)) + " %): forse letta male");
        else if (!c.labelAlsoRead.empty())
            doubts.push_back("l'etichetta «" + c.label + "» è letta anche «" + c.labelAlsoRead + "»: forse letta male");
        if (!parameters.insert(*c.parameter).second)
            doubts.push_back("due curve con il numero " + pointValueText(*c.parameter) + " nell'etichetta: forse letta male");
        const std::string around = labelForm(c.label).value_or("");
        if (shape.empty()) shape = around;
        else if (around != shape && doubts.empty())
            doubts.push_back("le etichette «" + curves.front().label + "» e «" + c.label +
                             "» differiscono oltre il numero: forse lette male");
        const std::size_t letters = letterCount(c.label);
        if (c.labelBox && letters) widths.push_back(c.labelBox->width / double(letters));
    }
    if (widths.size() >= 2) {
        std::vector<double> sorted = widths;
        std::sort(sorted.begin(), sorted.end());
        const double typical = sorted[sorted.size() / 2];
        std::size_t w = 0;
        for (const LabelledCurve& c : curves) {
            if (!c.parameter || !c.labelBox) continue;
            const double width = widths[w++];
            if (width > WidthSpread * typical || width * WidthSpread < typical)
                doubts.push_back("l'etichetta «" + c.label + "» ha letto più o meno lettere di quante ne sono scritte: forse letta male");
        }
        // Labels of one family differ only in their numbers, whose digits
        // are equally wide in nearly every font: labels written as wide
        // hold as many letters ("D=23" beside "D=215", both as wide, lost
        // a digit under a grid line).
        for (std::size_t a = 0; a < curves.size(); ++a)
            for (std::size_t b = a + 1; b < curves.size(); ++b) {
                const LabelledCurve& p = curves[a];
                const LabelledCurve& q = curves[b];
                if (!p.parameter || !q.parameter || !p.labelBox || !q.labelBox) continue;
                if (std::abs(p.labelBox->width - q.labelBox->width) < typical / 2 && letterCount(p.label) != letterCount(q.label))
                    doubts.push_back("le etichette «" + p.label + "» e «" + q.label +
                                     "» sono larghe uguali ma lette con un numero diverso di lettere: forse lette male");
            }
    }
    return doubts;
}

// Whether a line traced in another colour runs along a curve already
// taken: within a few pixels of it over nearly all its columns (the dark
// edges of a curve's markers, joined, or its anti-aliased fringe): that
// curve again, not one more.
bool alongTakenCurve(const std::vector<PixelPoint>& line, const std::vector<PixelPoint>& taken, double plotHeight)
{
    constexpr double Along = 0.9;
    constexpr double Near = 0.01;
    constexpr double NearAtLeast = 3;
    if (line.empty() || taken.size() < 2) return false;
    const double near = std::max(NearAtLeast, Near * plotHeight);
    std::size_t close = 0;
    for (const PixelPoint& p : line)
        close += p.x >= taken.front().x - near && p.x <= taken.back().x + near && std::abs(rowAt(taken, p.x) - p.y) <= near;
    return close >= Along * double(line.size());
}

std::vector<std::optional<Rgb>> legendSamples(const PixelBuffer& picture, const std::vector<ReadWord>& words,
                                              const std::vector<LabelledCurve>& curves)
{
    constexpr double Padding = 3;
    constexpr double Shortest = 1.2, Longest = 5, Reach = 8, GapToWord = 2, DashGap = 0.6;
    std::vector<std::optional<Rgb>> samples;
    for (const ReadWord& w : words) {
        const double h = std::max(double(ShortestLetter), w.box.height - 2 * Padding);
        const int right = static_cast<int>(std::floor(w.box.left + Padding)) - 1;
        const int left = std::max(0, static_cast<int>(std::floor(right - Reach * h)));
        const int top = std::max(0, static_cast<int>(std::floor(w.box.top + Padding)));
        const int bottom = std::min(picture.height() - 1, static_cast<int>(std::ceil(w.box.top + w.box.height - Padding)));
        std::optional<Rgb> found;
        bool several = false;
        for (const LabelledCurve& c : curves) {
            bool sample = false;
            for (int y = top; y <= bottom && !sample && right < picture.width() && right > left; ++y) {
                // The run of the colour nearest the word, gaps of a dash's length bridged.
                int end = -1, start = -1, gap = 0;
                for (int x = right; x >= left; --x) {
                    const bool ink = colourDistance(rgbOf(picture.pixel(x, y)), c.colour) <= SampleColour;
                    if (ink) {
                        if (end < 0) end = x;
                        start = x, gap = 0;
                    } else if (end >= 0 && ++gap > DashGap * h) {
                        break;
                    }
                }
                const int length = end - start + 1;
                sample = end >= 0 && right - end <= GapToWord * h && length >= Shortest * h && length <= Longest * h &&
                         start - left >= h;
            }
            if (!sample) continue;
            // Curves of one colour (a black family) share a sample; two colours a stroke matches leave it in doubt.
            several = several || (found && colourDistance(*found, c.colour) > OneColour);
            found = c.colour;
        }
        samples.push_back(several ? std::nullopt : found);
    }
    return samples;
}

std::string linesLeftDoubt(std::size_t followed, const std::vector<std::string>& linesLeft)
{
    std::string text = "viste " + std::to_string(followed + linesLeft.size()) + " linee nel grafico, seguite " +
                       std::to_string(followed) + "; non seguite con sicurezza:";
    for (const std::string& line : linesLeft) text += " [" + line + "]";
    return text;
}

Checked<EveryCurve> findEveryCurve(const PixelBuffer& picture, const AxisCalibration& calibration,
                                  const CurveSearch& search, const TextReader& reader, std::optional<PixelRect> plot)
{
    std::vector<LabelledCurve> curves;
    if (!plot) {
        const std::vector<ChartFrame> charts = findCharts(picture);
        if (charts.size() == 1) plot = areaOf(charts[0]);
    }
    const PixelRect inside = plot.value_or(PixelRect{0, 0, double(picture.width()), double(picture.height())});
    std::vector<std::string> linesLeft;
    std::vector<LabelledCurve> shortOnes;
    std::vector<Rgb> colours = drawnColours(picture);
    if (colours.size() > MostColours) colours.resize(MostColours);
    for (const Rgb& colour : colours) {
        CurveSearch one = search;
        one.colour = colour;
        one.tolerance.reset();
        const Checked<std::vector<FoundCurve>> found = findAllCurves(picture, calibration, one);
        if (!found) continue;
        for (const FoundCurve& curve : *found) {
            const auto along = [&](const LabelledCurve& c) { return alongTakenCurve(curve.centre, c.curve.centre, inside.height); };
            if (std::any_of(curves.begin(), curves.end(), along)) continue;
            const bool endsShort = onlyCoversTooLittle(curve.doubts) && !curve.centre.empty() &&
                                   curve.centre.back().x - curve.centre.front().x >= ShortCurveAcross * inside.width;
            if (curve.doubts.empty())
                curves.push_back({colour, "", std::nullopt, curve, std::nullopt, 100, {}});
            else if (endsShort)
                shortOnes.push_back({colour, "", std::nullopt, curve, std::nullopt, 100, {}});
            else if (acrossThePlot(curve, inside))
                linesLeft.push_back(colourText(colour) + ": " + curve.doubts.front());
        }
    }
    // A short line is a curve of a family some of whose curves were followed
    // whole; with none (every colour but one lost to the search) it is a line
    // seen and not followed.
    const bool someWhole = !curves.empty();
    for (const LabelledCurve& c : shortOnes) {
        const auto along = [&](const LabelledCurve& taken) { return alongTakenCurve(c.curve.centre, taken.curve.centre, inside.height); };
        if (std::any_of(curves.begin(), curves.end(), along)) continue;
        if (someWhole) curves.push_back(c);
        else linesLeft.push_back(colourText(c.colour) + ": " + c.curve.doubts.front());
    }
    if (curves.empty()) return failed<EveryCurve>("nessuna curva trovata nell'immagine");
    if (linesLeft.empty()) linesLeft = linesUnfollowed(picture, calibration, curves, inside);
    const std::vector<ReadWord> words = wordsInside(picture, calibration, inside, reader);
    std::vector<std::string> left = labelCurves(curves, words, legendSamples(picture, words, curves));
    for (std::size_t i = 0; i < curves.size(); ++i)
        if (curves[i].label.empty()) curves[i].label = "curva " + std::to_string(i + 1) + " " + colourText(curves[i].colour);
    // A family in the order of its parameter; other curves as found.
    if (std::all_of(curves.begin(), curves.end(), [](const LabelledCurve& c) { return c.parameter.has_value(); }))
        std::stable_sort(curves.begin(), curves.end(),
                         [](const LabelledCurve& a, const LabelledCurve& b) { return *a.parameter < *b.parameter; });
    return succeeded(EveryCurve{std::move(curves), std::move(left), std::move(linesLeft)});
}

std::string everyCurveText(const std::vector<LabelledCurve>& curves, const TextFormat& format)
{
    std::set<double> parameters;
    for (const LabelledCurve& c : curves)
        if (c.parameter) parameters.insert(*c.parameter);
    const bool family = parameters.size() == curves.size();
    std::string text;
    const auto value = [&](double v, double spread) { return pointValueText(v, spread, format); };
    if (family) {
        std::vector<UnitPoint> all;
        for (const LabelledCurve& c : curves) all.insert(all.end(), c.curve.points.begin(), c.curve.points.end());
        const UnitPoint spread = spreadOf(all);
        if (format.header) text += std::string("x") + format.separator + "parametro" + format.separator + "y\n";
        for (const LabelledCurve& c : curves)
            for (const UnitPoint& p : c.curve.points)
                text += value(p.x, spread.x) + format.separator + value(*c.parameter, 0) + format.separator + value(p.y, spread.y) + "\n";
        return text;
    }
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (i) text += "\n";
        text += "# " + curves[i].label + "\n" + pointsText(curves[i].curve.points, format);
    }
    return text;
}

std::string fileNameFor(const std::string& label)
{
    std::string name;
    for (char c : label) {
        const bool kept = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          std::string_view(".,=+-_").find(c) != std::string_view::npos;
        name += kept ? c : '_';
    }
    if (name.empty() || name[0] == '.') name.insert(0, "curva");
    return name + ".txt";
}

} // namespace calvero::capture
