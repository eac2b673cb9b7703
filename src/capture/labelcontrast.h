#pragma once
// A label's greys stretched to black on white before it is read. On a scan
// the paper is grey and grainy and the digits blurred and faint: Tesseract
// cuts the picture at one grey between its two commonest, and with the white
// margin put round the label those are the margin and the grey paper, so the
// digits are lost in a black page. The label's own levels tell ink from
// paper: the paper is what most of its box holds, the ink its darkest few
// pixels; stretched so the paper is white and the ink black, the strokes
// keep their blurred edges for Tesseract's own cut.
#include <optional>
#include <vector>

namespace calvero::capture {

struct InkLevels {
    double paper = 255;
    double ink = 0;
};

// The paper (the samples' median) and the ink (their darkest 2 %); none when
// the two differ by too little to hold a letter (grain alone).
std::optional<InkLevels> inkLevels(std::vector<unsigned char> samples);

// Each sample moved so the paper becomes 255 and the ink 0, linearly between them.
void stretchLevels(std::vector<unsigned char>& samples, const InkLevels& levels);

// A label enlarged for reading (`width` by `height` greys, row by row, its
// letters about 36 pixels tall) with its edges sharpened: each grey moved
// away from the mean of its neighbourhood, a few pixels either way. On a
// scan blurred at 150 dpi two digits run into one blot ("90" read "®",
// "40" read "p"); sharpened, the pale gap between them opens again and
// their strokes thin. Used for a second reading only: on a clean label it
// adds nothing and now and then costs a digit.
void sharpenEdges(std::vector<unsigned char>& grey, int width, int height);

} // namespace calvero::capture
