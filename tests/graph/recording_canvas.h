#pragma once
// A canvas that records what the graph engine draws, for the tests.
#include "graph/canvas.h"

#include <string>
#include <vector>

namespace calvero::testing {

struct Segment {
    int x1, y1, x2, y2;
    CanvasColour colour;
};

struct Box {
    int x1, y1, x2, y2;
    CanvasColour colour;
};

struct TextOut {
    int x, y;
    std::string text;
    std::string fontName;
    int fontSize;
    CanvasColour colour;
};

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(PageSize page = {}) : page_(page) {}

    void moveTo(int x, int y) override
    {
        current_ = {x, y};
        moves.push_back(current_);
    }
    void lineTo(int x, int y) override
    {
        lines.push_back({current_.x, current_.y, x, y, penColour});
        current_ = {x, y};
    }
    void rectangle(int x1, int y1, int x2, int y2) override { rectangles.push_back({x1, y1, x2, y2, penColour}); }
    void ellipse(int x1, int y1, int x2, int y2) override { ellipses.push_back({x1, y1, x2, y2, penColour}); }
    void textOut(int x, int y, const std::string& text) override
    {
        texts.push_back({x, y, text, fontName, fontSize, fontColour});
    }
    void setPenColour(CanvasColour colour) override { penColour = colour; }
    void setPenWidth(int width) override { penWidth = width; }
    void setFontName(const std::string& name) override { fontName = name; }
    void setFontSize(int points) override
    {
        fontSize = points;
        fontSizes.push_back(points);
    }
    void setFontColour(CanvasColour colour) override { fontColour = colour; }
    PageSize pageSize() const override { return page_; }
    // As a Times-like font on a screen of 96 dots per inch: blanks and points
    // a quarter of the height, every other character half of it.
    double textWidth(const std::string& text) const override
    {
        const double em = fontSize * 96.0 / 72.0;
        double width = 0.0;
        for (char c : text) width += c == ' ' || c == '.' ? em / 4 : em / 2;
        return width;
    }

    std::vector<Point> moves;
    std::vector<Segment> lines;
    std::vector<Box> rectangles;
    std::vector<Box> ellipses;
    std::vector<TextOut> texts;
    std::vector<int> fontSizes;
    CanvasColour penColour{1, 2, 3}; // no colour of the table, to tell "never set"
    CanvasColour fontColour{1, 2, 3};
    int penWidth = 1;
    std::string fontName;
    int fontSize = 0;

    const TextOut* findText(const std::string& text) const
    {
        for (const TextOut& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }

private:
    PageSize page_;
    Point current_{0, 0};
};

} // namespace calvero::testing
