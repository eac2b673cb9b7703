#pragma once
// Pictures read from files and the clipboard: every raster format Qt's image
// readers know, and PDF pages rendered by Poppler. Sizes are checked before
// anything is decoded, so an oversized or damaged file is refused with a
// message and leaves nothing behind. The window and the --extract command
// read pictures through here.
#include "common/checked.h"
#include "capture/pixelbuffer.h"

#include <QImage>
#include <QString>

#include <string>

namespace calvero {

// Reads path: page (from 1) and dpi are used only for a PDF.
Checked<capture::PixelBuffer> loadPicture(const std::string& path, int page, double dpi);

// The pixels of a picture already in memory (pasted or dropped); transparent
// parts read as the white paper they stand for.
Checked<capture::PixelBuffer> pictureFromImage(const QImage& image);

// A view of the pixels for drawing, sharing their memory: valid while the
// buffer lives unchanged.
QImage imageOf(const capture::PixelBuffer& picture);

// True when path holds a PDF (told by its content, not its name).
bool isPdfFile(const std::string& path);

// The number of pages of a PDF, or why Poppler cannot open it (damaged, locked).
Checked<int> pdfPageCount(const std::string& path);

} // namespace calvero
