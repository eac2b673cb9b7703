#pragma once
// A label made black on white before it is read. On a scan the paper is
// grey and grainy and the digits blurred: Tesseract's own threshold, taken
// over the label with the white margin round it, cuts the strokes thin or
// lets the grain in. The label's own levels tell ink from paper: the paper
// is what most of its box holds, the ink its darkest few pixels, and an
// enlarged blurred stroke's edge lies half way between them.
#include <cstddef>
#include <vector>

namespace calvero::capture {

// The grey at which the samples are cut into ink and paper: half way between
// the paper (their median) and the ink (the darkest 2 %); none (a negative
// value) when the two differ by too little to hold a letter.
double inkThreshold(std::vector<unsigned char> samples);

// Each sample black (0) at or below the threshold and white (255) above it.
void cutAt(std::vector<unsigned char>& samples, double threshold);

} // namespace calvero::capture
