#include "fit/curvesums.h"

#include <cmath>

namespace calvero {

CALVERO_FMA_CLONES void curveSums(std::span<const double> x, std::span<const DoubleDouble> c, CurveSums& sums)
{
    const std::size_t n = x.size(), p = c.size();
    sums.hi.assign(n, p > 0 ? c[p - 1].hi : 0.0);
    sums.lo.assign(n, p > 0 ? c[p - 1].lo : 0.0);
    sums.magnitude.assign(n, p > 0 ? std::fabs(c[p - 1].hi) : 0.0);
    double* hi = sums.hi.data();
    double* lo = sums.lo.data();
    double* magnitude = sums.magnitude.data();
    const double* xs = x.data();
    for (std::size_t k = p > 0 ? p - 1 : 0; k-- > 0;) {
        const double ch = c[k].hi, cl = c[k].lo, size = std::fabs(ch);
#pragma omp simd
        for (std::size_t i = 0; i < n; ++i) {
            // (hi, lo) · x: the product's error exactly, lo · x once rounded.
            const double ph = hi[i] * xs[i];
            const double pl = std::fma(lo[i], xs[i], std::fma(hi[i], xs[i], -ph));
            // + (ch, cl)
            const double sh = ph + ch;
            const double bb = sh - ph;
            const double sl = ((ph - (sh - bb)) + (ch - bb)) + (pl + cl);
            const double h = sh + sl;
            const double b2 = h - sh;
            lo[i] = (sh - (h - b2)) + (sl - b2);
            hi[i] = h;
            magnitude[i] = magnitude[i] * std::fabs(xs[i]) + size;
        }
    }
}

} // namespace calvero
