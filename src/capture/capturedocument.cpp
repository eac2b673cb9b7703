#include "capture/capturedocument.h"

#include <algorithm>
#include <cmath>

namespace calvero::capture {

std::optional<AxisCalibration> CaptureDocument::calibration() const
{
    if (!state_.axes) return std::nullopt;
    Checked<AxisCalibration> calibration = AxisCalibration::fromReferences(*state_.axes);
    return calibration.value;
}

void CaptureDocument::reset(CaptureState state)
{
    state_ = std::move(state);
    undo_.clear();
    redo_.clear();
}

void CaptureDocument::commit(CaptureState next)
{
    if (undo_.size() >= MaxUndoSteps) undo_.erase(undo_.begin());
    undo_.push_back(std::move(state_));
    redo_.clear();
    state_ = std::move(next);
}

std::optional<std::string> CaptureDocument::setAxes(const AxesReferences& references)
{
    if (auto problem = referencesProblem(references)) return problem;
    CaptureState next = state_;
    next.axes = references;
    commit(std::move(next));
    return std::nullopt;
}

std::size_t CaptureDocument::addCurve(Curve curve)
{
    CaptureState next = state_;
    next.curves.push_back(std::move(curve));
    commit(std::move(next));
    return state_.curves.size() - 1;
}

namespace {

bool validCurve(const CaptureState& state, std::size_t curve) { return curve < state.curves.size(); }

bool finite(PixelPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool validPoint(const CaptureState& state, std::size_t curve, std::size_t point)
{
    return validCurve(state, curve) && point < state.curves[curve].points.size();
}

} // namespace

// Each change copies the state, alters the copy and keeps the old one for undo.
template <typename Change>
bool CaptureDocument::change(bool allowed, Change alter)
{
    if (!allowed) return false;
    CaptureState next = state_;
    alter(next);
    commit(std::move(next));
    return true;
}

bool CaptureDocument::removeCurve(std::size_t curve)
{
    return change(validCurve(state_, curve),
                  [&](CaptureState& s) { s.curves.erase(s.curves.begin() + static_cast<std::ptrdiff_t>(curve)); });
}

bool CaptureDocument::renameCurve(std::size_t curve, const std::string& name)
{
    return change(validCurve(state_, curve), [&](CaptureState& s) { s.curves[curve].name = name; });
}

bool CaptureDocument::setMarker(std::size_t curve, Rgb marker)
{
    return change(validCurve(state_, curve), [&](CaptureState& s) { s.curves[curve].marker = marker; });
}

bool CaptureDocument::setParameter(std::size_t curve, std::optional<double> parameter)
{
    const bool finite = !parameter || std::isfinite(*parameter);
    return change(validCurve(state_, curve) && finite, [&](CaptureState& s) { s.curves[curve].parameter = parameter; });
}

bool CaptureDocument::addPoint(std::size_t curve, PixelPoint point)
{
    return change(validCurve(state_, curve) && finite(point),
                  [&](CaptureState& s) { s.curves[curve].points.push_back(point); });
}

bool CaptureDocument::movePoint(std::size_t curve, std::size_t point, PixelPoint to)
{
    return change(validPoint(state_, curve, point) && finite(to), [&](CaptureState& s) { s.curves[curve].points[point] = to; });
}

bool CaptureDocument::removePoint(std::size_t curve, std::size_t point)
{
    return change(validPoint(state_, curve, point), [&](CaptureState& s) {
        auto& points = s.curves[curve].points;
        points.erase(points.begin() + static_cast<std::ptrdiff_t>(point));
    });
}

bool CaptureDocument::replacePoints(std::size_t curve, std::vector<PixelPoint> points)
{
    const bool allFinite = std::all_of(points.begin(), points.end(), finite);
    return change(validCurve(state_, curve) && allFinite,
                  [&](CaptureState& s) { s.curves[curve].points = std::move(points); });
}

bool CaptureDocument::addExclusion(PixelRect area)
{
    if (area.width < 0) area = {area.left + area.width, area.top, -area.width, area.height};
    if (area.height < 0) area = {area.left, area.top + area.height, area.width, -area.height};
    const bool usable = area.width > 0 && area.height > 0 && finite({area.left, area.top}) && finite({area.width, area.height});
    return change(usable, [&](CaptureState& s) { s.exclusions.push_back(area); });
}

bool CaptureDocument::removeExclusion(std::size_t area)
{
    return change(area < state_.exclusions.size(),
                  [&](CaptureState& s) { s.exclusions.erase(s.exclusions.begin() + static_cast<std::ptrdiff_t>(area)); });
}

// Undo and redo both take the state from one history and leave the current one on the other.
bool CaptureDocument::travel(std::vector<CaptureState>& from, std::vector<CaptureState>& to)
{
    if (from.empty()) return false;
    to.push_back(std::move(state_));
    state_ = std::move(from.back());
    from.pop_back();
    return true;
}

bool CaptureDocument::undo() { return travel(undo_, redo_); }

bool CaptureDocument::redo() { return travel(redo_, undo_); }

} // namespace calvero::capture
