#include "capture/allcurves.h"

#include "capture/axisfinder.h"
#include "capture/colourpieces.h"
#include "capture/straightlines.h"
#include "capture/textpieces.h"
#include "capture/tolerancechoice.h"
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
// The most colours looked at on one page.
constexpr std::size_t MostColours = 10;

struct Phrase {
    std::string text;
    PixelRect box;
};

std::vector<Phrase> phrasesOf(std::vector<ReadWord> words)
{
    std::sort(words.begin(), words.end(), [](const ReadWord& a, const ReadWord& b) { return a.box.left < b.box.left; });
    std::vector<Phrase> phrases;
    std::vector<bool> used(words.size(), false);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (used[i] || words[i].text.empty()) continue;
        Phrase phrase{words[i].text, words[i].box};
        for (std::size_t j = i + 1; j < words.size(); ++j) {
            const PixelRect& b = words[j].box;
            const PixelRect& p = phrase.box;
            const double gap = b.left - (p.left + p.width);
            const double overlap = std::min(p.top + p.height, b.top + b.height) - std::max(p.top, b.top);
            if (used[j] || gap > PhraseGap * p.height || gap < -p.height || overlap < PhraseOverlap * std::min(p.height, b.height))
                continue;
            phrase.text += " " + words[j].text;
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

// The words inside the plot, each found as letters in the ink (with the
// frame and grid taken out, so a label across a grid line is whole) and read
// on its own: a reader run over the whole plot misses words the curves crowd.
std::vector<ReadWord> wordsInside(const PixelBuffer& picture, const AxisCalibration& calibration, const PixelRect& inside,
                                  const TextReader& reader)
{
    constexpr int Padding = 3;
    PixelMask ink = inkPixels(picture, paperColours(picture));
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
        if (!within || p.height() > tallest || p.width() > tallest) continue;
        pieces.push_back(p);
        if (letters[i]) letterBoxes.push_back(p);
    }
    const auto hasLetter = [&](const WordGroup& word) {
        return std::any_of(letterBoxes.begin(), letterBoxes.end(), [&](const Piece& l) {
            return l.left >= word.box.left && l.right <= word.box.right && l.top >= word.box.top && l.bottom <= word.box.bottom;
        });
    };
    std::vector<ReadWord> words;
    for (const WordGroup& word : wordGroups(pieces)) {
        if (!hasLetter(word)) continue;
        const Piece& b = word.box;
        const PixelRect box{double(b.left - Padding), double(b.top - Padding), double(b.width() + 2 * Padding),
                            double(b.height() + 2 * Padding)};
        std::string text;
        double confidence = 100;
        for (const ReadWord& w : reader.read(picture, box, TextKind::Line)) {
            text += (text.empty() ? "" : " ") + w.text;
            confidence = std::min(confidence, w.confidence);
        }
        // Strokes of a grid line or a frame beside a word are read as brackets and bars.
        const std::size_t first = text.find_first_not_of("|[]{}()'\"`_ "), last = text.find_last_not_of("|[]{}()'\"`_ ");
        if (first != std::string::npos) words.push_back({text.substr(first, last - first + 1), box, confidence});
    }
    return words;
}

} // namespace

std::optional<double> labelNumber(const std::string& label)
{
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] < '0' || label[i] > '9') continue;
        std::size_t end = i;
        while (end < label.size() && ((label[end] >= '0' && label[end] <= '9') ||
                                      ((label[end] == '.' || label[end] == ',') && end + 1 < label.size() &&
                                       label[end + 1] >= '0' && label[end + 1] <= '9')))
            ++end;
        const bool negative = i > 0 && label[i - 1] == '-' && (i == 1 || label[i - 2] == ' ' || label[i - 2] == '=');
        std::string digits = label.substr(i, end - i);
        std::replace(digits.begin(), digits.end(), ',', '.');
        if (const auto value = parseDecimal(digits)) return negative ? -*value : *value;
        return std::nullopt;
    }
    return std::nullopt;
}

void labelCurves(std::vector<LabelledCurve>& curves, const std::vector<ReadWord>& words)
{
    const std::vector<Phrase> phrases = phrasesOf(words);
    // Nearest pairs first, each phrase and each curve taken once.
    struct Pair {
        double distance;
        std::size_t phrase, curve;
    };
    std::vector<Pair> pairs;
    for (std::size_t p = 0; p < phrases.size(); ++p)
        for (std::size_t c = 0; c < curves.size(); ++c) {
            const double d = distanceTo(phrases[p].box, curves[c].curve.centre);
            if (d <= LabelReach * phrases[p].box.height) pairs.push_back({d, p, c});
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
        curves[pair.curve].label = phrases[pair.phrase].text;
        curves[pair.curve].parameter = labelNumber(phrases[pair.phrase].text);
    }
}

Checked<std::vector<LabelledCurve>> findEveryCurve(const PixelBuffer& picture, const AxisCalibration& calibration,
                                                   const CurveSearch& search, const TextReader& reader)
{
    std::vector<LabelledCurve> curves;
    std::vector<Rgb> colours = drawnColours(picture);
    if (colours.size() > MostColours) colours.resize(MostColours);
    for (const Rgb& colour : colours) {
        CurveSearch one = search;
        one.colour = colour;
        one.tolerance.reset();
        const Checked<std::vector<FoundCurve>> found = findAllCurves(picture, calibration, one);
        if (!found) continue;
        for (const FoundCurve& curve : *found)
            if (curve.doubts.empty()) curves.push_back({colour, "", std::nullopt, curve});
    }
    if (curves.empty()) return failed<std::vector<LabelledCurve>>("nessuna curva trovata nell'immagine");
    const std::optional<PlotFrame> frame = findPlotFrame(picture);
    const PixelRect inside = frame ? PixelRect{frame->left, frame->top, frame->right - frame->left, frame->bottom - frame->top}
                                   : PixelRect{0, 0, double(picture.width()), double(picture.height())};
    labelCurves(curves, wordsInside(picture, calibration, inside, reader));
    for (std::size_t i = 0; i < curves.size(); ++i)
        if (curves[i].label.empty()) curves[i].label = "curva " + std::to_string(i + 1) + " " + colourText(curves[i].colour);
    // A family in the order of its parameter; other curves as found.
    if (std::all_of(curves.begin(), curves.end(), [](const LabelledCurve& c) { return c.parameter.has_value(); }))
        std::stable_sort(curves.begin(), curves.end(),
                         [](const LabelledCurve& a, const LabelledCurve& b) { return *a.parameter < *b.parameter; });
    return succeeded(std::move(curves));
}

std::string everyCurveText(const std::vector<LabelledCurve>& curves, const TextFormat& format)
{
    std::set<double> parameters;
    for (const LabelledCurve& c : curves)
        if (c.parameter) parameters.insert(*c.parameter);
    const bool family = parameters.size() == curves.size();
    std::string text;
    const auto value = [&](double v) {
        std::string s = pointValueText(v);
        if (format.decimalMark != '.') std::replace(s.begin(), s.end(), '.', format.decimalMark);
        return s;
    };
    if (family) {
        if (format.header) text += std::string("x") + format.separator + "parametro" + format.separator + "y\n";
        for (const LabelledCurve& c : curves)
            for (const UnitPoint& p : c.curve.points)
                text += value(p.x) + format.separator + value(*c.parameter) + format.separator + value(p.y) + "\n";
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
