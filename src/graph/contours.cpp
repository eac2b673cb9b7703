#include "graph/contours.h"

#include <cmath>

namespace calvero {

namespace {

struct Corner {
    double x, y, z;
};

// Where the edge from a to b crosses the level.
Corner crossing(const Corner& a, const Corner& b, double level)
{
    const double t = (level - a.z) / (b.z - a.z);
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), level};
}

} // namespace

std::vector<ContourSegment> contourSegments(const std::function<double(double, double)>& f, double x0, double x1,
                                            double y0, double y1, int cells, double level)
{
    std::vector<ContourSegment> segments;
    if (cells < 1) return segments;
    const double dx = (x1 - x0) / cells, dy = (y1 - y0) / cells;
    std::vector<double> z(static_cast<std::size_t>((cells + 1) * (cells + 1)));
    auto at = [&](int i, int j) -> double& { return z[static_cast<std::size_t>(j * (cells + 1) + i)]; };
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i) at(i, j) = f(x0 + i * dx, y0 + j * dy);

    for (int j = 0; j < cells; ++j) {
        for (int i = 0; i < cells; ++i) {
            // Corners counter-clockwise from the bottom left; edges between them.
            const Corner c[4] = {{x0 + i * dx, y0 + j * dy, at(i, j)},
                                 {x0 + (i + 1) * dx, y0 + j * dy, at(i + 1, j)},
                                 {x0 + (i + 1) * dx, y0 + (j + 1) * dy, at(i + 1, j + 1)},
                                 {x0 + i * dx, y0 + (j + 1) * dy, at(i, j + 1)}};
            bool finite = true;
            for (const Corner& k : c) finite = finite && std::isfinite(k.z);
            if (!finite) continue;
            std::vector<Corner> cuts;
            for (int e = 0; e < 4; ++e) {
                const Corner& a = c[e];
                const Corner& b = c[(e + 1) % 4];
                if ((a.z < level) != (b.z < level)) cuts.push_back(crossing(a, b, level));
            }
            // Two crossings give one piece; four (a saddle) give two, paired by
            // the value at the square's centre.
            if (cuts.size() == 2) {
                segments.push_back({cuts[0].x, cuts[0].y, cuts[1].x, cuts[1].y});
            } else if (cuts.size() == 4) {
                const double centre = (c[0].z + c[1].z + c[2].z + c[3].z) / 4;
                const bool firstBelow = c[0].z < level;
                const bool joinAcross = (centre < level) == firstBelow;
                const int a = joinAcross ? 0 : 1;
                segments.push_back({cuts[a].x, cuts[a].y, cuts[(a + 1) % 4].x, cuts[(a + 1) % 4].y});
                segments.push_back({cuts[(a + 2) % 4].x, cuts[(a + 2) % 4].y, cuts[(a + 3) % 4].x, cuts[(a + 3) % 4].y});
            }
        }
    }
    return segments;
}

} // namespace calvero
