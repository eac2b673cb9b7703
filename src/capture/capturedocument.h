#pragma once
// What the user captures from one picture: the axes' references, the curves
// with their points and the areas left out of the search by colour; with
// undo and redo of every change.
//
// Points are kept as positions on the picture, so moving a reference point
// moves every value with it; their values come from the calibration.
#include "capture/calibration.h"
#include "capture/colour.h"
#include "capture/pixelrect.h"

#include <cstddef>
#include <utility>
#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

struct Curve {
    std::string name;
    Rgb marker;
    // The curve's parameter (an impeller diameter, a condensing temperature).
    std::optional<double> parameter;
    std::vector<PixelPoint> points;
    friend bool operator==(const Curve&, const Curve&) = default;
};

struct CaptureState {
    // Nothing until both axes have their references.
    std::optional<AxesReferences> axes;
    std::vector<Curve> curves;
    std::vector<PixelRect> exclusions;
    friend bool operator==(const CaptureState&, const CaptureState&) = default;
};

// The capture state with its history. Every change is one step that undo
// takes back and redo makes again; a new change drops what could be redone.
// The oldest steps are forgotten beyond MaxUndoSteps.
// A change naming a curve or point that does not exist, or references that
// cannot calibrate the axes, is refused (false, or the message) and leaves
// the state and the history as they were.
constexpr std::size_t MaxUndoSteps = 1000;

class CaptureDocument {
public:
    CaptureDocument() = default;
    explicit CaptureDocument(CaptureState initial) : state_(std::move(initial)) {}

    const CaptureState& state() const { return state_; }
    const std::vector<Curve>& curves() const { return state_.curves; }
    // The calibration of the current references, if they are set.
    std::optional<AxisCalibration> calibration() const;

    // Replaces everything and forgets the history (a session opened, a new picture).
    void reset(CaptureState state);

    std::optional<std::string> setAxes(const AxesReferences& references);

    // Returns the new curve's index.
    std::size_t addCurve(Curve curve);
    bool removeCurve(std::size_t curve);
    bool renameCurve(std::size_t curve, const std::string& name);
    bool setMarker(std::size_t curve, Rgb marker);
    bool setParameter(std::size_t curve, std::optional<double> parameter);

    bool addPoint(std::size_t curve, PixelPoint point);
    bool movePoint(std::size_t curve, std::size_t point, PixelPoint to);
    bool removePoint(std::size_t curve, std::size_t point);
    // All of a curve's points at once (the points found by colour).
    bool replacePoints(std::size_t curve, std::vector<PixelPoint> points);

    // An area drawn from any corner; refused when it is empty.
    bool addExclusion(PixelRect area);
    bool removeExclusion(std::size_t area);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    bool undo();
    bool redo();

private:
    void commit(CaptureState next);
    template <typename Change>
    bool change(bool allowed, Change alter);
    bool travel(std::vector<CaptureState>& from, std::vector<CaptureState>& to);

    CaptureState state_;
    std::vector<CaptureState> undo_;
    std::vector<CaptureState> redo_;
};

} // namespace calvero::capture
