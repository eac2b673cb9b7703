#pragma once
// The command that reads a curve off a picture without a window:
//   digitora --extract IMAGE --x PX,PY=VALUE --x PX,PY=VALUE
//            --y PX,PY=VALUE --y PX,PY=VALUE [--log-x] [--log-y]
//            --colour '#RRGGBB' [--tolerance T] [--points N | --step DX]
//            [--start PX,PY] [--exclude X0,Y0,X1,Y1]... [--markers] [--smooth] [--page N] [--dpi D]
//            [--separator S] [--decimal-comma] [--header] [-o FILE]
//   digitora --extract IMAGE ... --all-curves [--output-folder DIR]: every
//            curve on the page (no --colour), labelled by the text beside it
//   digitora --extract IMAGE --auto-axes [references as above, used when
//            the axes cannot be read] --colour ... (the rest as above)
// It prints the curve's points as "x;y" lines in ascending x. Exit codes:
// 0 points printed, 1 no curve of that colour, 2 a usage or file error,
// 3 points printed (or none, when the background matched) but doubtful,
// with the reasons on standard error. A file to write that is the picture
// itself is refused (2) before anything is written.
#include "capture/calibration.h"
#include "common/checked.h"
#include "capture/colour.h"
#include "capture/curvefinder.h"
#include "capture/pixelbuffer.h"
#include "capture/pointexport.h"
#include "capture/textreader.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

constexpr int ExtractFound = 0;
constexpr int ExtractNoCurve = 1;
constexpr int ExtractUsageError = 2;
constexpr int ExtractUnsure = 3;

struct ExtractOptions {
    std::string picture;
    AxesReferences axes;
    Rgb colour;
    // As given; without one the search chooses it.
    std::optional<double> tolerance;
    int pointCount = DefaultPointCount;
    double step = 0;
    bool markers = false;
    bool smooth = false;
    std::optional<PixelPoint> start;
    std::vector<PixelRect> exclusions;
    TextFormat format;
    int page = 1;
    double dpi = DefaultDpi;
    // Whether --page or --dpi was given: only a PDF has pages.
    bool pageGiven = false;
    std::optional<std::string> outputPath;
    // The axes read from their tick labels; the references given, if any,
    // only when they cannot be.
    bool autoAxes = false;
    bool referencesGiven = false;
    // Every curve on the page instead of the one colour; a file per curve in the folder.
    bool allCurves = false;
    std::optional<std::string> outputFolder;
};

// Whether the arguments (without the program's name) ask for the command.
bool isExtractCommand(const std::vector<std::string>& arguments);

// The text of --help: how to start the window and the command, and the exit codes.
std::string helpText();

// The options, or the Italian message (ending with the usage line).
Checked<ExtractOptions> parseExtractOptions(const std::vector<std::string>& arguments);

// Finds the curve on the loaded picture and writes its points to the output
// file (when given) or to out; messages go to errors. Returns the exit code.
// The reader reads the tick labels for --auto-axes.
int runExtract(const ExtractOptions& options, const PixelBuffer& picture, std::ostream& out, std::ostream& errors,
               const TextReader* reader = nullptr);

// Loads a picture, or page `page` of a PDF rendered at `dpi`, or gives the
// message why it cannot (the window's loader).
using PictureLoader = std::function<Checked<PixelBuffer>(const std::string& path, int page, double dpi)>;

// The whole command: parse, load, run. Returns the exit code.
int extractCommand(const std::vector<std::string>& arguments, const PictureLoader& load, std::ostream& out,
                   std::ostream& errors, const TextReader* reader = nullptr);

} // namespace calvero::capture
