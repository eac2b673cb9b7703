#pragma once
// Words read off a part of the picture (the axes' numbers, a curve's label),
// behind a small interface: the tick-label and label checks take the words as
// values and never call the OCR themselves, so they are tested without it.
#include "capture/colour.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

struct ReadWord {
    // As read; an exponent set above its base (10², a power of ten on a log
    // axis) follows a '^': "10^2".
    std::string text;
    PixelRect box;
    // How sure the reader is, 0 to 100.
    double confidence = 0;
    // Where the word was read several ways and they disagreed: another reading.
    std::string alsoRead;
    // The colour its letters are written in, where it was looked at.
    std::optional<Rgb> ink;
};

enum class TextKind {
    // Numbers only: digits, signs, decimal and thousands marks, exponents.
    Numbers,
    // One number alone in the area (a tick label boxed on its own): even a
    // single digit, which a search over a wide area easily misses.
    OneNumber,
    // Any words (a legend's labels, "D=200" beside a curve).
    Words,
    // One line of words alone in the area (a label boxed on its own).
    Line,
};

// How a line is read beyond its kind, to read it again another way: the
// height its letters are enlarged to (0: the kind's own), the only
// characters it may hold (empty: any), and whether the letters' edges are
// sharpened once enlarged (a number boxed on its own, blurred on a scan).
struct ReadHints {
    double letterHeight = 0;
    std::string alphabet;
    bool sharpened = false;
};

class TextReader {
public:
    virtual ~TextReader() = default;
    // The words inside the area of the picture; none when it holds none.
    virtual std::vector<ReadWord> read(const PixelBuffer& picture, const PixelRect& area, TextKind kind,
                                       const ReadHints& hints = {}) const = 0;
};

} // namespace calvero::capture
