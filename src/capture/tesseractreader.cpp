#include "capture/tesseractreader.h"

#include "capture/labelcontrast.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace calvero::capture {

namespace {

// Tesseract reads letters about 30 pixels tall best; charts drawn for the
// screen have them 10 to 14 tall, pages scanned at 300 dpi about 40. A word
// boxed on its own is enlarged to that height; a wide area of words (a whole
// plot) by the picture's size, a step smaller. A label inside the plot reads
// better larger still: a grid line through one of its small digits ("D=230"
// read "D=240") weighs less beside strokes enlarged further.
constexpr double ReadHeight = 36;
constexpr double LabelReadHeight = 48;
constexpr double LargestEnlargement = 8;

double enlargementFor(const PixelBuffer& picture, const PixelRect& area, TextKind kind, double letterHeight)
{
    if (kind == TextKind::OneNumber || kind == TextKind::Line) {
        // The area holds the word with a few pixels of margin round it.
        const double letters = std::max(4.0, area.height - 6);
        const double wanted = letterHeight > 0 ? letterHeight : kind == TextKind::Line ? LabelReadHeight : ReadHeight;
        return std::clamp(wanted / letters, 1.0, LargestEnlargement);
    }
    const int reach = kind == TextKind::Words ? 2000 : 3000;
    return std::clamp(reach / std::max({picture.width(), picture.height(), 1}), 1, 4);
}

// The picture's grey at a point between pixel centres, bilinear: an
// enlarged digit keeps smooth strokes, as Tesseract was taught on.
double greyAt(const PixelBuffer& picture, double x, double y)
{
    const auto luma = [&](int px, int py) {
        px = std::clamp(px, 0, picture.width() - 1), py = std::clamp(py, 0, picture.height() - 1);
        const std::uint32_t p = picture.pixel(px, py);
        return (299 * ((p >> 16) & 255) + 587 * ((p >> 8) & 255) + 114 * (p & 255)) / 1000.0;
    };
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    return (1 - fy) * ((1 - fx) * luma(x0, y0) + fx * luma(x0 + 1, y0)) + fy * ((1 - fx) * luma(x0, y0 + 1) + fx * luma(x0 + 1, y0 + 1));
}

// A glyph whose foot is raised this share of the first glyph's height off
// the word's baseline, and no lower at its head, is an exponent.
constexpr double ExponentRise = 0.3;

constexpr int Margin = 8;

// Tesseract's network runs each step on a team of OpenMP threads. The areas
// read here are small, so the team's start and its threads' busy waiting
// cost more than they share (a catalogue page read in twice the time, on a
// machine whose cores are busy); Tesseract's own advice is one thread
// (OMP_THREAD_LIMIT=1), which the environment can only give before the
// program starts. No nested level of parallel work allowed does it from
// here. Looked up where Tesseract loaded it: a Tesseract built without
// OpenMP has none, and nothing is to be done.
void oneThreadForTesseract()
{
    using SetLevels = void (*)(int);
    if (void* set = dlsym(RTLD_DEFAULT, "omp_set_max_active_levels")) reinterpret_cast<SetLevels>(set)(0);
}

struct Box {
    int left, top, right, bottom;
    int height() const { return bottom - top; }
};

} // namespace

struct TesseractReader::Engine {
    tesseract::TessBaseAPI api;
    bool ready = false;
    double seconds = 0;
    long areas = 0;
};

TesseractReader::TesseractReader() : engine_(std::make_unique<Engine>())
{
    // Its notes (the resolution it guessed) are not the user's business.
    engine_->api.SetVariable("debug_file", "/dev/null");
    oneThreadForTesseract();
    engine_->ready = engine_->api.Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) == 0;
}

TesseractReader::~TesseractReader()
{
    if (engine_->ready) engine_->api.End();
}

bool TesseractReader::ready() const { return engine_->ready; }
double TesseractReader::secondsReading() const { return engine_->seconds; }
long TesseractReader::areasRead() const { return engine_->areas; }

namespace {

// Adds the time from its making to its end to a total.
class Stopwatch {
public:
    explicit Stopwatch(double& total) : total_(total), start_(std::chrono::steady_clock::now()) {}
    ~Stopwatch() { total_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }
    Stopwatch(const Stopwatch&) = delete;
    Stopwatch& operator=(const Stopwatch&) = delete;

private:
    double& total_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace

std::vector<ReadWord> TesseractReader::read(const PixelBuffer& picture, const PixelRect& area, TextKind kind,
                                            const ReadHints& hints) const
{
    std::vector<ReadWord> words;
    if (!engine_->ready || picture.empty()) return words;
    const Stopwatch watch(engine_->seconds);
    ++engine_->areas;
    const int left = std::clamp(static_cast<int>(std::floor(area.left)), 0, picture.width());
    const int top = std::clamp(static_cast<int>(std::floor(area.top)), 0, picture.height());
    const int right = std::clamp(static_cast<int>(std::ceil(area.left + area.width)), 0, picture.width());
    const int bottom = std::clamp(static_cast<int>(std::ceil(area.top + area.height)), 0, picture.height());
    if (right - left < 4 || bottom - top < 4) return words;
    const double scale = enlargementFor(picture, area, kind, hints.letterHeight);
    // A white margin round the area: Tesseract misses letters touching the edge.
    const int margin = static_cast<int>(std::ceil(std::max(double(Margin), ReadHeight / 2)));
    const int width = static_cast<int>(std::ceil((right - left) * scale)) + 2 * margin;
    const int height = static_cast<int>(std::ceil((bottom - top) * scale)) + 2 * margin;
    std::vector<unsigned char> grey(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 255);
    for (int y = margin; y < height - margin; ++y)
        for (int x = margin; x < width - margin; ++x) {
            // Sampled within the area only: its own margin is the edge of what is read.
            const double px = std::clamp(left + (x - margin + 0.5) / scale - 0.5, double(left), right - 1.0);
            const double py = std::clamp(top + (y - margin + 0.5) / scale - 0.5, double(top), bottom - 1.0);
            grey[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                static_cast<unsigned char>(std::lround(greyAt(picture, px, py)));
        }
    // A number boxed on its own is stretched to its own levels (a scan's
    // grey, grainy paper and faint blurred digits): its paper as white as the margin.
    if (kind == TextKind::OneNumber) {
        std::vector<unsigned char> inside;
        inside.reserve(static_cast<std::size_t>(width - 2 * margin) * static_cast<std::size_t>(height - 2 * margin));
        for (int y = margin; y < height - margin; ++y)
            for (int x = margin; x < width - margin; ++x)
                inside.push_back(grey[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]);
        if (const auto levels = inkLevels(std::move(inside))) stretchLevels(grey, *levels);
        if (hints.sharpened) sharpenEdges(grey, width, height);
    }
    tesseract::TessBaseAPI& api = engine_->api;
    const bool numbers = kind == TextKind::Numbers || kind == TextKind::OneNumber;
    const bool oneLine = kind == TextKind::OneNumber || kind == TextKind::Line;
    api.SetPageSegMode(oneLine ? tesseract::PSM_SINGLE_LINE : tesseract::PSM_SPARSE_TEXT);
    // The resolution Tesseract assumes sets the size of what it takes for
    // specks: tick numbers enlarged read best taken as fine print, a wide
    // area of words as a screen's.
    api.SetVariable("user_defined_dpi", numbers ? "300" : "70");
    // No list of allowed characters, even for numbers: restricted to digits
    // Tesseract's network misses a lone 0 and reads an axis title as a
    // digit; read freely, a word is seen as a word and a look-alike letter
    // is mended where the number is checked. A label read again is held to
    // its family's characters when asked (a grid line through a 0 makes it
    // a 'd' read freely).
    api.SetVariable("tessedit_char_whitelist", hints.alphabet.c_str());
    api.SetImage(grey.data(), width, height, 1, width);
    if (api.Recognize(nullptr) != 0) return words;
    std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
    if (!it) return words;
    const auto toPicture = [&](const Box& b) {
        return PixelRect{left + double(b.left - margin) / scale, top + double(b.top - margin) / scale,
                         double(b.right - b.left) / scale, double(b.bottom - b.top) / scale};
    };
    do {
        std::unique_ptr<char[]> whole(it->GetUTF8Text(tesseract::RIL_WORD));
        if (!whole) continue;
        Box word{};
        if (!it->BoundingBox(tesseract::RIL_WORD, &word.left, &word.top, &word.right, &word.bottom)) continue;
        // Its glyphs, to tell an exponent by its smaller, raised box.
        std::string text;
        int baseHeight = 0, baseBottom = 0, baseTop = 0;
        bool raised = false;
        tesseract::ResultIterator glyph(*it);
        do {
            std::unique_ptr<char[]> symbol(glyph.GetUTF8Text(tesseract::RIL_SYMBOL));
            Box b{};
            if (!symbol || !glyph.BoundingBox(tesseract::RIL_SYMBOL, &b.left, &b.top, &b.right, &b.bottom)) continue;
            if (text.empty()) {
                baseHeight = b.height();
                baseBottom = b.bottom;
                baseTop = b.top;
            } else if (kind == TextKind::Numbers && !raised && b.bottom <= baseBottom - ExponentRise * baseHeight &&
                       b.top <= baseTop) {
                raised = true;
                text += '^';
            }
            text += symbol.get();
        } while (!glyph.IsAtFinalElement(tesseract::RIL_WORD, tesseract::RIL_SYMBOL) && glyph.Next(tesseract::RIL_SYMBOL));
        if (text.empty()) text = whole.get();
        words.push_back({text, toPicture(word), it->Confidence(tesseract::RIL_WORD), {}, {}});
    } while (it->Next(tesseract::RIL_WORD));
    return words;
}

} // namespace calvero::capture
