#pragma once
// The drawing surface the graph engine writes on: the graph window, a printer
// page or an image. Coordinates are whole pixels with y pointing down; the
// engine has already truncated and turned them.
#include <cstdint>
#include <string>

namespace calvero {

struct CanvasColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const CanvasColour&) const = default;
};

struct PageSize {
    int width = 0;
    int height = 0;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void moveTo(int x, int y) = 0;
    // A line from the current position, which then moves to (x, y).
    virtual void lineTo(int x, int y) = 0;
    // Outlined with the pen and filled with the white brush.
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    // The ellipse inscribed in the box of the two corners (in either order),
    // outlined with the pen and filled with the white brush.
    virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
    // The same ellipse filled with the pen's colour (a mark); a canvas that
    // cannot fill draws the outline.
    virtual void disc(int x1, int y1, int x2, int y2) { ellipse(x1, y1, x2, y2); }
    // Text with its top-left corner at (x, y), in the current font.
    virtual void textOut(int x, int y, const std::string& text) = 0;

    virtual void setPenColour(CanvasColour colour) = 0;
    virtual void setPenWidth(int width) = 0;
    virtual void setFontName(const std::string& name) = 0;
    virtual void setFontSize(int points) = 0;
    virtual void setFontColour(CanvasColour colour) = 0;

    // The size of the drawable surface in pixels (for a printer, the printable page).
    virtual PageSize pageSize() const = 0;

    // The width in pixels of a text in the current font; negative when the
    // canvas cannot measure it, and the engine then estimates.
    virtual double textWidth(const std::string& text) const
    {
        (void)text;
        return -1.0;
    }
};

} // namespace calvero
