#include "capture/capturedocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace calvero::capture;

TEST(CaptureDocument, EveryChangeIsUndoneAndRedoneInOrder)
{
    CaptureDocument document;
    document.addCurve({"D 250", {255, 0, 0}, std::nullopt, {}});
    const std::function<bool(CaptureDocument&)> changes[] = {
        [](CaptureDocument& d) { return d.addPoint(0, {10, 20}); },
        [](CaptureDocument& d) { return d.addPoint(0, {30, 40}); },
        [](CaptureDocument& d) { return d.movePoint(0, 0, {11, 21}); },
        [](CaptureDocument& d) { return d.removePoint(0, 1); },
        [](CaptureDocument& d) { return d.setParameter(0, 250.0); },
        [](CaptureDocument& d) { return d.renameCurve(0, "D 260"); },
        [](CaptureDocument& d) { return d.setMarker(0, {0, 0, 255}); },
        [](CaptureDocument& d) { return d.replacePoints(0, {{1, 2}, {3, 4}, {5, 6}}); },
        [](CaptureDocument& d) { return d.addExclusion({50, 20, -50, -20}) && d.state().exclusions[0] == PixelRect{0, 0, 50, 20}; },
        [](CaptureDocument& d) { return d.addCurve({"D 300", {0, 128, 0}, 300.0, {{7, 8}}}) == 1; },
        [](CaptureDocument& d) { return d.removeCurve(0); },
        [](CaptureDocument& d) { return d.removeExclusion(0); },
    };
    std::vector<CaptureState> states{document.state()};
    for (const auto& change : changes) {
        ASSERT_TRUE(change(document));
        EXPECT_NE(document.state(), states.back());
        states.push_back(document.state());
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(document.undo());
        EXPECT_EQ(document.state(), states[i - 1]);
    }
    EXPECT_TRUE(document.undo()); // the first curve's addition
    EXPECT_FALSE(document.undo());
    ASSERT_TRUE(document.redo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(document.redo());
        EXPECT_EQ(document.state(), states[i]);
    }
    EXPECT_FALSE(document.redo());

    // A new change after undo drops what could be redone.
    document.undo();
    document.addPoint(0, {99, 99});
    EXPECT_FALSE(document.canRedo());
}

TEST(CaptureDocument, ChangesOfMissingCurvesOrPointsChangeNothing)
{
    CaptureDocument document;
    document.addCurve({"A", {0, 0, 0}, std::nullopt, {{1, 1}}});
    const CaptureState before = document.state();
    const std::function<bool(CaptureDocument&)> refused[] = {
        [](CaptureDocument& d) { return d.addPoint(1, {0, 0}); },
        [](CaptureDocument& d) { return d.addPoint(0, {NAN, 0}); },
        [](CaptureDocument& d) { return d.movePoint(0, 1, {0, 0}); },
        [](CaptureDocument& d) { return d.removePoint(0, 5); },
        [](CaptureDocument& d) { return d.removeCurve(3); },
        [](CaptureDocument& d) { return d.setParameter(0, INFINITY); },
        [](CaptureDocument& d) { return d.removeExclusion(0); },
        [](CaptureDocument& d) { return d.addExclusion({5, 5, 0, 10}); },
        [](CaptureDocument& d) { return d.addExclusion({5, 5, INFINITY, 10}); },
    };
    for (const auto& change : refused) {
        EXPECT_FALSE(change(document));
        EXPECT_EQ(document.state(), before);
    }
    ASSERT_TRUE(document.undo());
    EXPECT_TRUE(document.curves().empty());
}
