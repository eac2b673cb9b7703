#pragma once
// The least-squares straight line y = offset + slope·x through points taken
// one at a time, from their running sums.
namespace calvero::capture {

class LineSums {
public:
    void add(double x, double y)
    {
        n_ += 1, sx_ += x, sy_ += y, sxx_ += x * x, sxy_ += x * y;
    }
    // Two different x at least: otherwise the slope is a division by zero.
    bool determined() const { return spread() > 0; }
    double slope() const { return (n_ * sxy_ - sx_ * sy_) / spread(); }
    double offset() const { return (sy_ - slope() * sx_) / n_; }

private:
    double spread() const { return n_ * sxx_ - sx_ * sx_; }
    double n_ = 0, sx_ = 0, sy_ = 0, sxx_ = 0, sxy_ = 0;
};

} // namespace calvero::capture
