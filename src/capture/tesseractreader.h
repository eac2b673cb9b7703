#pragma once
// The text reader of the program: Tesseract (the English model, which reads
// digits, signs and Latin letters), on the area enlarged so its letters are
// as tall as Tesseract reads best, in grey. An exponent set small and
// raised after its base is told by the letters' boxes and written after '^'.
// Asked to, a line is read at another size or held to a few characters.
#include "capture/textreader.h"

#include <memory>

namespace calvero::capture {

class TesseractReader final : public TextReader {
public:
    TesseractReader();
    ~TesseractReader() override;
    // Whether Tesseract and its English model could be loaded.
    bool ready() const;
    std::vector<ReadWord> read(const PixelBuffer& picture, const PixelRect& area, TextKind kind,
                               const ReadHints& hints = {}) const override;
    // The time spent reading so far, in seconds, and how many areas were read
    // (the measuring scripts report the OCR's share of a run apart).
    double secondsReading() const;
    long areasRead() const;

private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
};

} // namespace calvero::capture
