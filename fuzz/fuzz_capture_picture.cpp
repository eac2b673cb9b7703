// The picture analysis of digitora on pictures made from arbitrary bytes:
// the charts of the page, the axes read by themselves, one curve by its
// colour and every curve with its label. The bytes choose the picture's size
// (degenerate ones included: one pixel wide or tall), then either give its
// pixels outright or draw a chart (a frame with its sides chosen, ticks
// inward or outward on each side, minor ticks, a grid, blocks of "letters"
// where the numbers stand, curves) with the bytes left over as noise on it.
// The text reader is a stand-in that reads a number made from the box it is
// asked about and the input, so the axis checks see agreeing and
// disagreeing labels alike. Nothing may crash or read out of a buffer, and
// whatever comes out must be usable: axes that calibrate, finite points in
// ascending x, charts inside the picture.
#include "capture/allcurves.h"
#include "capture/axisfinder.h"
#include "capture/curvefinder.h"
#include "capture/pagestructure.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cmath>
#include <string>

using namespace calvero::capture;
using namespace calvero::fuzzing;

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return next_ < size_ ? data_[next_++] : 0; }
    int upTo(int most) { return most <= 0 ? 0 : next() % (most + 1); }
    std::size_t left() const { return size_ - std::min(next_, size_); }
    const std::uint8_t* rest() const { return data_ + std::min(next_, size_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t next_ = 0;
};

// Reads a number from where the box lies: labels along a row read as
// evenly spaced values, some of them misread or powers of ten.
class StandInReader final : public TextReader {
public:
    explicit StandInReader(std::uint8_t style) : style_(style) {}
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind kind, const ReadHints& = {}) const override
    {
        require(std::isfinite(area.left) && std::isfinite(area.top) && std::isfinite(area.width) && std::isfinite(area.height),
                "a reading area that is not finite");
        const long step = 1 + style_ % 7;
        const long place = std::lround(std::max(area.left, area.top) / 40.0);
        std::string text;
        switch ((style_ >> 3) % 6) {
        case 0: text = std::to_string(place * step); break;
        case 1: text = "10^" + std::to_string(place % 9); break;
        case 2: text = kind == TextKind::Line ? "D=" + std::to_string(200 + 15 * place) : std::to_string(place); break;
        case 3: text = place % 3 ? std::to_string(place * step) + ",5" : "1e4"; break;
        case 4: text = "x10^" + std::to_string(place % 4); break;
        default: text = place % 2 ? "+1000" : "?"; break;
        }
        return {{text, area, double(30 + style_ % 70), {}, {}}};
    }

private:
    std::uint8_t style_;
};

void fill(PixelBuffer& picture, int x0, int y0, int x1, int y1, std::uint32_t colour)
{
    for (int y = std::max(0, y0); y <= std::min(picture.height() - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(picture.width() - 1, x1); ++x) picture.setPixel(x, y, colour);
}

// A chart drawn as plotting programs draw one, its choices taken from the bytes.
void drawChart(PixelBuffer& picture, Bytes& bytes)
{
    const int w = picture.width(), h = picture.height();
    const std::uint32_t paper = bytes.next() % 4 ? 0xffffffffu : 0xffebebebu;
    fill(picture, 0, 0, w - 1, h - 1, paper);
    const int left = bytes.upTo(w / 3), right = w - 1 - bytes.upTo(w / 4);
    const int top = bytes.upTo(h / 4), bottom = h - 1 - bytes.upTo(h / 3);
    const std::uint32_t frame = bytes.next() % 2 ? 0xff000000u : 0xffb0b0b0u;
    const int sides = bytes.next(), ticks = bytes.next(), spacing = 4 + bytes.upTo(60), minor = bytes.upTo(4);
    if (bytes.next() % 2) { // a grid
        for (int x = left; x <= right; x += spacing) fill(picture, x, top, x, bottom, 0xffc8c8c8u);
        for (int y = bottom; y >= top; y -= spacing) fill(picture, left, y, right, y, 0xffc8c8c8u);
    }
    const int length = 2 + bytes.upTo(8);
    for (int side = 0; side < 4; ++side) {
        if (!(sides >> side & 1)) continue;
        const bool across = side % 2 == 0; // bottom, top: lines across
        const int at = side == 0 ? bottom : side == 1 ? left : side == 2 ? top : right;
        if (across) fill(picture, left, at, right, at, frame);
        else fill(picture, at, top, at, bottom, frame);
        const int inward = (ticks >> side & 1) ? (side < 2 ? -1 : 1) : (side < 2 ? 1 : -1);
        const int from = across ? left : top, to = across ? right : bottom;
        for (int p = from, k = 0; p <= to; p += std::max(1, spacing / (minor + 1)), ++k) {
            const int reach = k % (minor + 1) == 0 ? length : length / 2;
            for (int d = 1; d <= reach; ++d) {
                const int q = side == 0 || side == 1 ? at - inward * d * -1 : at + inward * d;
                if (across) fill(picture, p, q, p, q, frame);
                else fill(picture, q, p, q, p, frame);
            }
            // A block of letters where a number stands, beyond the outer side.
            if (k % (minor + 1) == 0 && (ticks >> (side + 4) & 1)) {
                if (side == 0) fill(picture, p - 6, bottom + length + 3, p + 6, bottom + length + 12, 0xff000000u);
                if (side == 1) fill(picture, left - length - 20, p - 4, left - length - 3, p + 4, 0xff000000u);
            }
        }
    }
    const int curves = bytes.upTo(3);
    for (int c = 0; c < curves; ++c) {
        const std::uint32_t colour = c == 0 ? 0xff1f77b4u : c == 1 ? 0xff000000u : 0xffd62728u;
        const int a = bytes.next(), thickness = 1 + bytes.upTo(2), dash = bytes.upTo(8);
        for (int x = left + 1; x < right; ++x) {
            if (dash && (x / (dash + 2)) % 2) continue;
            const double t = double(x - left) / std::max(1, right - left);
            const int y = static_cast<int>(top + (bottom - top) * (0.1 + 0.2 * c + 0.5 * t * t * (a / 255.0)));
            fill(picture, x, y, x, y + thickness - 1, colour);
        }
    }
}

void checkCurve(const FoundCurve& curve)
{
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        require(std::isfinite(curve.points[i].x) && std::isfinite(curve.points[i].y), "a point that is not finite");
        if (i) require(curve.points[i - 1].x <= curve.points[i].x, "points out of order");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes bytes(data, size);
    const std::uint8_t mode = bytes.next();
    // Small sizes most of the time, degenerate ones (1 pixel) often.
    const auto side = [&](int most) {
        const int b = bytes.next();
        return b < 16 ? 1 + b % 3 : 1 + (b * 7 + bytes.next()) % most;
    };
    const int w = side(480), h = side(360);
    calvero::Checked<PixelBuffer> made = PixelBuffer::create(w, h);
    require(made.value.has_value(), "a small picture refused");
    PixelBuffer picture = std::move(*made);
    if (mode % 2 == 0) {
        drawChart(picture, bytes);
        // Noise on it: each byte left darkens a pixel somewhere.
        for (std::size_t i = 0; bytes.left() > 1; ++i) {
            const int at = bytes.next() * 257 + bytes.next();
            const int x = at % w, y = (at / w + static_cast<int>(i)) % h;
            picture.setPixel(x, y, picture.pixel(x, y) & 0xff7f7f7fu);
        }
    } else {
        // The bytes as the pixels, repeated.
        const std::size_t n = bytes.left();
        for (int y = 0; y < h && n; ++y)
            for (int x = 0; x < w; ++x) {
                const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
                const std::uint8_t* p = bytes.rest();
                picture.setPixel(x, y, 0xff000000u | p[i % n] << 16 | p[(i + 1) % n] << 8 | p[(i + 2) % n]);
            }
    }
    const StandInReader reader(mode);

    for (const ChartFrame& chart : findCharts(picture)) {
        require(chart.left >= 0 && chart.top >= 0 && chart.right <= w && chart.bottom <= h, "a chart beyond the picture");
        require(chart.left < chart.right && chart.top < chart.bottom, "an empty chart");
    }
    AxesReferences references{{{0, double(h)}, {double(w), double(h)}, 0, 1, AxisScale::Linear},
                              {{0, double(h)}, {0, 0}, 0, 1, AxisScale::Linear}};
    const PageAxes page = findPageAxes(picture, reader);
    for (const FoundAxes& axes : page.axes) {
        require(AxisCalibration::fromReferences(axes.references).value.has_value(), "axes read that do not calibrate");
        if (axes.rightY) require(AxisCalibration::fromReferences(againstRightAxis(axes)).value.has_value(), "a right axis that does not calibrate");
        references = axes.references;
    }
    require(!page.axes.empty() || !page.failure.empty(), "no axes and no reason");
    if (w < 2 || h < 2) return 0;
    const calvero::Checked<AxisCalibration> calibration = AxisCalibration::fromReferences(references);
    require(calibration.value.has_value(), "the fallback axes do not calibrate");
    CurveSearch search;
    search.colour = mode & 4 ? Rgb{0, 0, 0} : Rgb{0x1f, 0x77, 0xb4};
    if (mode & 8) search.seed = PixelPoint{w / 2.0, h / 2.0};
    search.markers = (mode & 48) == 48;
    if (!curveSearchProblem(picture, search)) {
        const calvero::Checked<FoundCurve> curve = findCurve(picture, *calibration, search);
        if (curve) checkCurve(*curve);
    }
    if (mode & 64) {
        search.markers = false;
        const calvero::Checked<EveryCurve> every = findEveryCurve(picture, *calibration, search, reader);
        if (every)
            for (const LabelledCurve& c : every->curves) checkCurve(c.curve);
    }
    return 0;
}
