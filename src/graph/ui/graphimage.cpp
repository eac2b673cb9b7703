#include "graph/ui/graphimage.h"

#include "graph/ui/screengraph.h"

#include <QPainter>

namespace calvero {

QImage renderGraphImage(GraphState& s, int screenWidth, int screenHeight)
{
    if (screenWidth < 1 || screenHeight < 1) return {};
    QImage image(screenWidth, screenHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintScreenGraph(s, painter, screenWidth, screenHeight);
    painter.end();
    return image;
}

} // namespace calvero
