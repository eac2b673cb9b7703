#pragma once
// An axis's title read off the picture: under an x axis's numbers a line
// across, beside a y axis's numbers a line written upwards (turned a quarter
// to read). What matters in it here is a factor ("H × 10⁻⁴, Pa",
// "Q [×1000 m³/h]", axisfactor.h): read or not, the text is given back as read.
#include "capture/pixelbuffer.h"
#include "capture/pixelmask.h"
#include "capture/pixelrect.h"
#include "capture/textreader.h"

#include <string>

namespace calvero::capture {

// The words of the area as one line, left to right; `upwards` for a title
// written from the bottom up (`ink`: the page's ink). Empty when nothing is read.
std::string axisTitleIn(const PixelBuffer& picture, const PixelMask& ink, const PixelRect& area, bool upwards, const TextReader& reader);

} // namespace calvero::capture
