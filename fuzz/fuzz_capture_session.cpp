// The capture session reader on arbitrary bytes. A refused file must come
// with a message; an accepted one must hold only what the window can use
// (axes that calibrate, finite positions, valid areas) and must be written
// back as a file that reads as the same session.
#include "capture/sessionfile.h"
#include "fuzz_support.h"

#include <cmath>

using namespace calvero::capture;
using namespace calvero::fuzzing;

namespace {

bool finite(PixelPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

void checkUsable(const CaptureSession& session)
{
    const CaptureState& state = session.state;
    require(session.page >= 1, "a page before the first");
    require(std::isfinite(session.dpi) && session.dpi > 0, "a resolution that is not positive");
    if (state.axes) require(AxisCalibration::fromReferences(*state.axes).value.has_value(), "axes that do not calibrate");
    for (const Curve& curve : state.curves) {
        if (curve.parameter) require(std::isfinite(*curve.parameter), "a parameter that is not finite");
        for (const PixelPoint& p : curve.points) require(finite(p), "a point that is not finite");
    }
    for (const PixelRect& area : state.exclusions)
        require(area.width > 0 && area.height > 0 && finite({area.left, area.top}), "an empty or unbounded area");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile file(SessionExtension);
    const calvero::Checked<CaptureSession> read = readSessionFile(file.write(data, size));
    if (!read) {
        require(startsWith(read.failure(), "file di sessione danneggiato: "), "a refusal without its message: " + read.failure());
        return 0;
    }
    checkUsable(*read);
    const calvero::Checked<CaptureSession> again = parseSessionText(sessionText(*read));
    require(again.value.has_value(), "a written session is refused: " + again.failure());
    require(*again.value == *read, "a written session reads back different");
    return 0;
}
