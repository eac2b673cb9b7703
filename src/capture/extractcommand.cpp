#include "capture/extractcommand.h"

#include "capture/allcurves.h"
#include "capture/axisquantity.h"
#include "capture/axisfinder.h"
#include "capture/axisunits.h"
#include "capture/linemeant.h"
#include "capture/pagestructure.h"
#include "capture/curvefinder.h"
#include "capture/pdffile.h"
#include "capture/pointexport.h"
#include "common/filewrite.h"
#include "common/numtext.h"
#include "common/outputpaths.h"
#include "common/systemerror.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <ostream>
#include <set>

namespace calvero::capture {

namespace {

const std::string Usage =
    "uso: digitora --extract IMMAGINE {--auto-axes | --x PX,PY=VALORE --x PX,PY=VALORE --y PX,PY=VALORE --y PX,PY=VALORE} "
    "[--log-x] [--log-y] --colour '#RRGGBB' [--tolerance T] [--points N | --step DX] [--start PX,PY] "
    "[--exclude X0,Y0,X1,Y1]... [--markers] [--smooth] [--page N] [--dpi D] [--separator S] [--decimal-comma] [--header] "
    "[--chart N] [--y-axis left|right] [-o FILE]\n     digitora --extract IMMAGINE {--auto-axes | --x ... --y ...} --all-curves [--output-folder CARTELLA] [...]";

struct UsageError {
    std::string message;
};

std::optional<AxisReference> referenceOf(const std::string& text, AxisReference axis, bool first)
{
    const std::size_t equals = text.find('=');
    const std::size_t comma = text.find(',');
    if (equals == std::string::npos || comma == std::string::npos || comma > equals) return std::nullopt;
    const auto px = parseDecimal(std::string_view(text).substr(0, comma));
    const auto py = parseDecimal(std::string_view(text).substr(comma + 1, equals - comma - 1));
    const auto value = parseDecimal(std::string_view(text).substr(equals + 1));
    if (!px || !py || !value) return std::nullopt;
    (first ? axis.first : axis.second) = {*px, *py};
    (first ? axis.firstValue : axis.secondValue) = *value;
    return axis;
}

double numberIn(const std::string& option, const std::string& text, double low, double high)
{
    const auto value = parseDecimal(text);
    if (!value || *value < low || *value > high)
        throw UsageError{"valore non valido per " + option + ": " + text + " (da " + pointValueText(low) + " a " +
                         pointValueText(high) + ")"};
    return *value;
}

int integerIn(const std::string& option, const std::string& text, int low, int high)
{
    const double value = numberIn(option, text, low, high);
    if (value != std::floor(value)) throw UsageError{"valore non valido per " + option + ": " + text + " (un intero)"};
    return static_cast<int>(value);
}

// Comma-separated numbers, exactly `count` of them, or nothing.
std::optional<std::vector<double>> numbersOf(const std::string& text, std::size_t count)
{
    std::vector<double> numbers;
    std::size_t from = 0;
    while (numbers.size() < count) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const auto value = parseDecimal(std::string_view(text).substr(from, comma - from));
        if (!value || !std::isfinite(*value)) return std::nullopt;
        numbers.push_back(*value);
        from = comma + 1;
        if (comma == text.size()) break;
    }
    if (numbers.size() != count || from <= text.size()) return std::nullopt;
    return numbers;
}

char separatorOf(const std::string& text)
{
    if (text == "tab" || text == "\t") return '\t';
    if (text == ";" || text == "," || text == " ") return text[0];
    throw UsageError{"separatore non valido: " + text + " (';', ',', ' ' o tab)"};
}

class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}
    bool done() const { return next_ >= arguments_.size(); }
    const std::string& take() { return arguments_[next_++]; }
    const std::string& valueOf(const std::string& option)
    {
        if (done()) throw UsageError{"manca il valore dopo " + option};
        return take();
    }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
};

ExtractOptions readOptions(const std::vector<std::string>& arguments)
{
    ExtractOptions options;
    ArgumentReader reader(arguments);
    int xReferences = 0;
    int yReferences = 0;
    bool picture = false;
    bool colour = false;
    bool points = false;
    while (!reader.done()) {
        const std::string option = reader.take();
        if (option == "--extract") {
            if (picture) throw UsageError{"opzione ripetuta: --extract"};
            options.picture = reader.valueOf(option);
            picture = true;
        } else if (option == "--x" || option == "--y") {
            int& count = option == "--x" ? xReferences : yReferences;
            AxisReference& axis = option == "--x" ? options.axes.x : options.axes.y;
            const std::string& text = reader.valueOf(option);
            if (count == 2) throw UsageError{"troppi riferimenti " + option + ": ne servono due"};
            const auto reference = referenceOf(text, axis, count == 0);
            if (!reference) throw UsageError{"riferimento non valido: " + text + " (atteso PX,PY=VALORE)"};
            axis = *reference;
            ++count;
        } else if (option == "--log-x") {
            options.axes.x.scale = AxisScale::Logarithmic;
        } else if (option == "--log-y") {
            options.axes.y.scale = AxisScale::Logarithmic;
        } else if (option == "--colour" || option == "--color") {
            const std::string& text = reader.valueOf(option);
            const auto parsed = parseColour(text);
            if (!parsed) throw UsageError{"colore non valido: " + text + " (atteso #RRGGBB)"};
            options.colour = *parsed;
            colour = true;
        } else if (option == "--tolerance") {
            options.tolerance = numberIn(option, reader.valueOf(option), MinTolerance, MaxTolerance);
        } else if (option == "--points") {
            options.pointCount = integerIn(option, reader.valueOf(option), MinPointCount, MaxPointCount);
            points = true;
        } else if (option == "--step") {
            options.step = numberIn(option, reader.valueOf(option), 0, std::numeric_limits<double>::max());
            if (!(options.step > 0)) throw UsageError{"valore non valido per --step: il passo deve essere maggiore di 0"};
        } else if (option == "--start") {
            const std::string& text = reader.valueOf(option);
            const auto numbers = numbersOf(text, 2);
            if (!numbers) throw UsageError{"punto di partenza non valido: " + text + " (atteso PX,PY)"};
            options.start = PixelPoint{(*numbers)[0], (*numbers)[1]};
        } else if (option == "--exclude") {
            const std::string& text = reader.valueOf(option);
            const auto n = numbersOf(text, 4);
            if (!n) throw UsageError{"zona esclusa non valida: " + text + " (atteso X0,Y0,X1,Y1)"};
            const auto [left, right] = std::minmax((*n)[0], (*n)[2]);
            const auto [top, bottom] = std::minmax((*n)[1], (*n)[3]);
            options.exclusions.push_back({left, top, right - left, bottom - top});
        } else if (option == "--all-curves") {
            options.allCurves = true;
        } else if (option == "--output-folder") {
            options.outputFolder = reader.valueOf(option);
        } else if (option == "--auto-axes") {
            options.autoAxes = true;
        } else if (option == "--markers") {
            options.markers = true;
        } else if (option == "--smooth") {
            options.smooth = true;
        } else if (option == "--separator") {
            options.format.separator = separatorOf(reader.valueOf(option));
        } else if (option == "--decimal-comma") {
            options.format.decimalMark = ',';
        } else if (option == "--header") {
            options.format.header = true;
        } else if (option == "--page") {
            options.page = integerIn(option, reader.valueOf(option), 1, 100000);
            options.pageGiven = true;
        } else if (option == "--dpi") {
            options.dpi = numberIn(option, reader.valueOf(option), MinDpi, MaxDpi);
            options.pageGiven = true;
        } else if (option == "--chart") {
            options.chart = integerIn(option, reader.valueOf(option), 1, 1000);
        } else if (option == "--y-axis") {
            const std::string& text = reader.valueOf(option);
            if (text != "left" && text != "right") throw UsageError{"valore non valido per --y-axis: " + text + " (left o right)"};
            options.yAxis = text == "left" ? ExtractOptions::YAxis::Left : ExtractOptions::YAxis::Right;
        } else if (option == "-o") {
            options.outputPath = reader.valueOf(option);
        } else {
            throw UsageError{"opzione sconosciuta: " + option};
        }
    }
    if (!picture || options.picture.empty()) throw UsageError{"manca l'immagine (--extract IMMAGINE)"};
    options.referencesGiven = xReferences == 2 && yReferences == 2;
    if (!options.referencesGiven && (!options.autoAxes || xReferences || yReferences))
        throw UsageError{"servono due riferimenti --x e due riferimenti --y (o --auto-axes)"};
    if (!colour && !options.allCurves) throw UsageError{"manca il colore della curva (--colour '#RRGGBB')"};
    if (options.outputFolder && !options.allCurves) throw UsageError{"--output-folder vale solo con --all-curves"};
    if (options.allCurves && options.markers) throw UsageError{"--all-curves e --markers non vanno insieme"};
    if (options.referencesGiven)
        if (auto problem = referencesProblem(options.axes)) throw UsageError{*problem};
    if (points && options.step > 0) throw UsageError{"--points e --step non vanno insieme: scegliere l'uno o l'altro"};
    if (auto problem = textFormatProblem(options.format)) throw UsageError{*problem};
    return options;
}

bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

// Writes the text to the file, or says why not.
bool written(const std::string& path, const std::string& text, std::ostream& errors)
{
    if (const int error = writeWholeFileError(path, text)) {
        errors << "impossibile scrivere il file " << path << ": " << systemErrorText(error) << '\n';
        return false;
    }
    return true;
}

// The y axis chosen on a chart with two; with --all-curves and two
// quantities, the axes found, for each curve to be assigned its own.
struct TwoAxes {
    AxesReferences main;
    std::optional<FoundAxes> found;
};

// The axes of the chart asked for (--chart N), or of the page's only one.
Checked<FoundAxes> chosenAxes(const PixelBuffer& picture, const TextReader& reader, const ExtractOptions& options)
{
    PageAxes page = findPageAxes(picture, reader);
    if (page.axes.empty()) return failed<FoundAxes>(page.failure + ": indicare i riferimenti degli assi");
    // Curves outside every chart found tell of a chart not found: the
    // numbers of the others may then name another chart than the user's.
    if (!chartsNumbered(page)) {
        const auto outside = std::find_if(page.unread.begin(), page.unread.end(), [](const UnreadChart& u) { return !u.number; });
        const auto places = std::count_if(page.unread.begin(), page.unread.end(), [](const UnreadChart& u) { return !u.number; });
        return failed<FoundAxes>(pageChartsMessage(page) + (places == 1 ? ", e 1 altro grafico" : ", e altri grafici") +
                                 " i cui assi non si leggono (" + outside->why + "): indicare i riferimenti degli assi");
    }
    const std::size_t charts = page.axes.size() + page.unread.size();
    if (options.chart) {
        const auto number = std::size_t(*options.chart);
        if (number > charts) return failed<FoundAxes>("--chart " + std::to_string(number) + ": " + pageChartsMessage(page));
        for (const UnreadChart& u : page.unread)
            if (u.number == number)
                return failed<FoundAxes>("il grafico " + std::to_string(number) + " ha assi che non si leggono (" + u.why +
                                         "): indicare i riferimenti degli assi");
        const auto at = std::find(page.numbers.begin(), page.numbers.end(), number);
        return succeeded(std::move(page.axes[std::size_t(at - page.numbers.begin())]));
    }
    if (charts > 1) return failed<FoundAxes>(pageChartsMessage(page) + "; sceglierne uno con --chart N");
    return succeeded(std::move(page.axes.front()));
}

// The page around the area (grown by the frame's line), as four rectangles.
std::vector<PixelRect> outside(const PixelRect& area, int width, int height)
{
    constexpr double Line = 2;
    const double left = area.left - Line, top = area.top - Line, right = area.left + area.width + Line,
                 bottom = area.top + area.height + Line;
    return {{0, 0, double(width), std::max(0.0, top)},
            {0, bottom, double(width), std::max(0.0, height - bottom)},
            {0, top, std::max(0.0, left), bottom - top},
            {right, top, std::max(0.0, width - right), bottom - top}};
}

std::string rangeText(const AxisReference& r)
{
    return "da " + pointValueText(r.firstValue) + " a " + pointValueText(r.secondValue);
}

std::string twoAxesText(const FoundAxes& axes)
{
    return "il grafico ha due assi y con valori diversi (a sinistra " + rangeText(axes.references.y) + ", a destra " +
           rangeText(axes.rightY->reference) + ")";
}

// An axis's numbers written in the curve's colour (within a scan's change of it).
bool sameColour(std::optional<Rgb> labels, Rgb curve) { return labels && colourDistance(*labels, curve) < 25; }

// Which y axis a curve of this colour is read against: the one whose
// numbers are written in the curve's colour, when only one is.
std::optional<ExtractOptions::YAxis> axisByColour(const FoundAxes& axes, Rgb colour)
{
    const bool left = sameColour(axes.yLabelColour, colour), right = sameColour(axes.rightY->labelColour, colour);
    if (left == right) return std::nullopt;
    return left ? ExtractOptions::YAxis::Left : ExtractOptions::YAxis::Right;
}

// Which y axis a curve of --all-curves is read against: the one whose
// numbers have its colour, or else the one whose title names the quantity
// its label begins with ("P D=235" beside "P [kW]"); a name made up is no
// label, and the two ways disagreeing assign none.
std::optional<ExtractOptions::YAxis> axisOfCurve(const FoundAxes& axes, const LabelledCurve& curve)
{
    const std::optional<ExtractOptions::YAxis> byColour = axisByColour(axes, curve.colour);
    std::optional<ExtractOptions::YAxis> byName;
    if (const auto named = curve.labelBox ? axisNamedBy(curve.label, axes.yTitle, axes.rightY->title) : std::nullopt)
        byName = *named == NamedAxis::Right ? ExtractOptions::YAxis::Right : ExtractOptions::YAxis::Left;
    if (byColour && byName && *byColour != *byName) return std::nullopt;
    return byColour ? byColour : byName;
}

// A chart with a second y axis: read against the left one when the right
// is the same quantity in another unit, against the one asked for, or the
// one whose numbers have the curve's colour; otherwise the read is not made.
// With --all-curves the curves are assigned one by one (runAllCurves).
Checked<TwoAxes> yAxisFor(const FoundAxes& found, const ExtractOptions& options, std::ostream& errors)
{
    TwoAxes two;
    two.main = found.references;
    if (options.yAxis) {
        if (*options.yAxis == ExtractOptions::YAxis::Right) two.main = againstRightAxis(found);
        return succeeded(two);
    }
    if (const auto units = sameQuantityInTwoUnits(found.y, found.rightY->reading, found.chart.top, found.chart.bottom)) {
        errors << "nota: l'asse y a destra è la stessa grandezza in un'altra unità (" << *units
               << "): le curve sono lette sull'asse di sinistra\n";
        return succeeded(two);
    }
    if (options.allCurves) {
        two.found = found;
        return succeeded(two);
    }
    const std::optional<ExtractOptions::YAxis> side = axisByColour(found, options.colour);
    if (!side) return failed<TwoAxes>(twoAxesText(found) + ": indicare su quale leggere la curva con --y-axis left o right");
    if (*side == ExtractOptions::YAxis::Right) two.main = againstRightAxis(found);
    errors << "nota: la curva è letta sull'asse y " << (*side == ExtractOptions::YAxis::Right ? "a destra" : "a sinistra")
           << ", i cui numeri hanno il suo colore\n";
    return succeeded(two);
}

int runAllCurves(const ExtractOptions& options, const PixelBuffer& picture, const AxisCalibration& calibration,
                 const CurveSearch& search, std::ostream& out, std::ostream& errors, const TextReader* reader,
                 bool axesUnsure, std::optional<PixelRect> plot, const TwoAxes& two)
{
    if (!reader) {
        errors << "lettura delle etichette non disponibile\n";
        return ExtractUsageError;
    }
    Checked<EveryCurve> every = findEveryCurve(picture, calibration, search, *reader, plot);
    if (!every) {
        errors << every.failure() << '\n';
        return ExtractNoCurve;
    }
    std::vector<LabelledCurve>* curves = &every->curves;
    for (const LabelledCurve& c : *curves)
        errors << "curva " << colourText(c.colour) << ": " << c.label << " (" << c.curve.points.size() << " punti)\n";
    const std::size_t listed = curves->size();
    std::vector<std::string> doubts;
    if (!every->linesLeft.empty()) doubts.push_back(linesLeftDoubt(listed, every->linesLeft));
    // Two quantities on two y axes: each curve against the axis whose numbers have its colour.
    std::vector<LabelledCurve> rightCurves;
    if (two.found) {
        const Checked<AxisCalibration> right = AxisCalibration::fromReferences(againstRightAxis(*two.found));
        std::vector<LabelledCurve> leftCurves;
        for (LabelledCurve& c : *curves) {
            const std::optional<ExtractOptions::YAxis> side = axisOfCurve(*two.found, c);
            if (!side || !right) {
                doubts.push_back("la curva " + c.label + " non si può attribuire a uno dei due assi: " + twoAxesText(*two.found) +
                                 " (titoli letti: «" + two.found->yTitle + "» e «" + two.found->rightY->title +
                                 "»); indicare --y-axis left o right");
                leftCurves.push_back(std::move(c));
            } else if (*side == ExtractOptions::YAxis::Right) {
                for (std::size_t i = 0; i < c.curve.points.size() && i < c.curve.pixels.size(); ++i)
                    c.curve.points[i].y = right->toUnits(c.curve.pixels[i]).y;
                rightCurves.push_back(std::move(c));
            } else {
                leftCurves.push_back(std::move(c));
            }
        }
        *curves = std::move(leftCurves);
    }
    // The labels judged among the curves of one axis (the head and the power
    // curve of one impeller share its number); a lone curve without a label
    // beside others is told all the same.
    std::vector<std::string> labelled = labelDoubts(*curves, every->labelsLeft, listed);
    const std::vector<std::string> right = labelDoubts(rightCurves, {}, listed);
    labelled.insert(labelled.end(), right.begin(), right.end());
    doubts.insert(doubts.begin(), labelled.begin(), labelled.end());
    for (const std::string& doubt : doubts) errors << "attenzione: " << doubt << '\n';
    if (options.outputFolder) {
        std::set<std::string> names;
        for (const LabelledCurve& c : rightCurves) curves->push_back(c);
        std::vector<std::string> paths;
        for (const LabelledCurve& c : *curves) {
            std::string name = fileNameFor(c.label);
            for (int n = 2; !names.insert(name).second; ++n) name = fileNameFor(c.label + "_" + std::to_string(n));
            paths.push_back(*options.outputFolder + "/" + name);
        }
        // Every name is checked before the first file is written.
        if (const Failure refusal = outputRefusal(paths, {options.picture})) {
            errors << *refusal << '\n';
            return ExtractUsageError;
        }
        for (std::size_t i = 0; i < paths.size(); ++i)
            if (!written(paths[i], pointsText((*curves)[i].curve.points, options.format), errors))
                return ExtractUsageError;
    } else {
        std::string text = everyCurveText(*curves, options.format);
        if (two.found)
            text = "# asse y a sinistra\n" + text + (rightCurves.empty() ? "" : "\n# asse y a destra\n" + everyCurveText(rightCurves, options.format));
        if (options.outputPath) {
            if (!written(*options.outputPath, text, errors)) return ExtractUsageError;
        } else {
            out << text << std::flush;
        }
    }
    return axesUnsure || !doubts.empty() ? ExtractUnsure : ExtractFound;
}

} // namespace

bool isExtractCommand(const std::vector<std::string>& arguments)
{
    return std::find(arguments.begin(), arguments.end(), "--extract") != arguments.end();
}

Checked<ExtractOptions> parseExtractOptions(const std::vector<std::string>& arguments)
{
    try {
        return succeeded(readOptions(arguments));
    } catch (const UsageError& error) {
        return failed<ExtractOptions>(error.message + "\n" + Usage);
    }
}

std::string helpText()
{
    return "digitora: legge i punti delle curve dall'immagine di un grafico per CALVERO1.\n"
           "\n"
           "  digitora [IMMAGINE]     apre la finestra, con l'immagine se indicata\n"
           "  digitora --help         questo testo\n"
           "  digitora --version      la versione\n"
           "\n" +
           Usage.substr(5) +
           "\n"
           "\n"
           "Legge senza finestra la curva del colore indicato e ne scrive i punti \"x;y\".\n"
           "  --x, --y PX,PY=VALORE  due punti dell'immagine per asse, con il loro valore\n"
           "  --auto-axes            gli assi letti dai numeri delle tacche (scritti sull'errore standard);\n"
           "                         se non si leggono, i riferimenti --x e --y indicati, e stato 3\n"
           "  --log-x, --log-y       assi a scala logaritmica\n"
           "  --tolerance T          quanto il colore può scostarsi (distanza CIELAB, da 0 a 100; se non indicata\n"
           "                         25, ridotta quanto serve a escludere gli altri colori della pagina)\n"
           "  --points N             quanti punti, da 2 a 200 (30 se non indicato)\n"
           "  --page N, --dpi D      la pagina di un PDF e i punti per pollice (1 e 150 se non indicati)\n"
           "  -o FILE                i punti nel file invece che sull'uscita standard\n"
           "  --start PX,PY          il punto della curva da cui parte la traccia (come un clic)\n"
           "  --exclude X0,Y0,X1,Y1  una zona da non leggere (si può ripetere)\n"
           "  --step DX              punti ai multipli di DX invece di N punti\n"
           "  --all-curves           tutte le curve della pagina, ognuna con la sua etichetta: righe x;parametro;y\n"
           "                         se ogni etichetta ha un numero, altrimenti un blocco per curva (# etichetta)\n"
           "  --output-folder DIR    con --all-curves, un file per curva nella cartella, col nome dell'etichetta\n"
           "  --chart N              su una pagina con più grafici, il grafico N (da sinistra a destra,\n"
           "                         dall'alto in basso); senza, una pagina con più grafici li elenca e dà stato 3\n"
           "  --y-axis left|right    su un grafico con due assi y, quello su cui leggere la curva\n"
           "  --markers              i centri degli indicatori (cerchi, quadrati, triangoli) invece di una linea\n"
           "  --smooth               la linea mediata lungo x sul suo spessore (linee spesse)\n"
           "  --separator S          separatore dei campi: ';' (predefinito), ',', ' ' o tab\n"
           "  --decimal-comma        la virgola come segno decimale\n"
           "  --header               una prima riga con i nomi delle colonne\n"
           "\n"
           "Stato d'uscita: 0 punti scritti, 1 nessuna curva di quel colore, 2 errore d'uso o di file,\n"
           "3 punti scritti ma dubbi (la traccia segue una linea diritta, salta, copre meno di metà\n"
           "dell'asse x, la tolleranza comprende lo sfondo, gli assi non si leggono, un'etichetta pare letta\n"
           "male): i motivi sono scritti sull'errore standard.\n";
}

int runExtract(const ExtractOptions& options, const PixelBuffer& picture, std::ostream& out, std::ostream& errors,
               const TextReader* reader)
{
    AxesReferences axes = options.axes;
    bool axesUnsure = false;
    std::optional<PixelRect> plot;
    TwoAxes two;
    if (options.autoAxes) {
        const Checked<FoundAxes> found = reader ? chosenAxes(picture, *reader, options)
                                                : failed<FoundAxes>("lettura dei numeri degli assi non disponibile");
        if (found) {
            axes = found->references;
            plot = areaOf(found->chart);
            errors << "assi letti:\n" << axesReport(*found);
            if (found->rightY) {
                const Checked<TwoAxes> chosen = yAxisFor(*found, options, errors);
                if (!chosen) {
                    errors << "attenzione: " << chosen.failure() << '\n';
                    return ExtractUnsure;
                }
                two = *chosen;
                axes = two.main;
            }
        } else {
            errors << "attenzione: " << found.failure() << '\n';
            if (!options.referencesGiven) return ExtractUnsure;
            errors << "usati i riferimenti --x e --y indicati\n";
            axesUnsure = true;
        }
    } else if (options.chart) {
        const std::vector<ChartFrame> charts = findCharts(picture);
        if (std::size_t(*options.chart) > charts.size()) {
            errors << "--chart " << *options.chart << ": la pagina ha " << chartCountText(charts.size()) << "\n";
            return ExtractUsageError;
        }
        plot = areaOf(charts[std::size_t(*options.chart - 1)]);
    }
    const Checked<AxisCalibration> calibration = AxisCalibration::fromReferences(axes);
    CurveSearch search;
    search.colour = options.colour;
    search.tolerance = options.tolerance;
    search.pointCount = options.pointCount;
    search.step = options.step;
    search.seed = options.start;
    search.markers = options.markers;
    search.averageThickness = options.smooth;
    search.referencesRead = options.autoAxes && !axesUnsure;
    search.exclusions = options.exclusions;
    // A curve is read in its chart only: the rest of the page is left out.
    if (plot) for (const PixelRect& r : outside(*plot, picture.width(), picture.height())) search.exclusions.push_back(r);
    search.chart = plot;
    const std::optional<std::string> problem = calibration ? curveSearchProblem(picture, search) : calibration.failure();
    if (problem) {
        errors << *problem << '\n';
        return ExtractUsageError;
    }
    if (options.allCurves) return runAllCurves(options, picture, *calibration, search, out, errors, reader, axesUnsure, plot, two);
    Checked<FoundCurve> curve = findCurve(picture, *calibration, search);
    if (!curve) {
        errors << curve.failure() << '\n';
        return ExtractNoCurve;
    }
    // The line traced must be the one clicked, or without a click the one nearest the colour asked for.
    if (!options.markers)
        if (auto doubt = options.start ? clickMissed(curve->centre, *options.start)
                                       : nearerLineOfTheColour(picture, curve->centre, options.colour, search.exclusions, plot))
            curve->doubts.push_back(*doubt);
    const int code = curve->doubts.empty() && !axesUnsure ? ExtractFound : ExtractUnsure;
    for (const std::string& note : curve->notes) errors << "nota: " << note << '\n';
    const auto tellDoubts = [&] {
        for (const std::string& doubt : curve->doubts) errors << "attenzione: " << doubt << '\n';
    };
    if (curve->points.empty()) {
        tellDoubts();
        return code;
    }
    const std::string lines = pointsText(curve->points, options.format);
    if (!options.outputPath) {
        out << lines << std::flush;
        tellDoubts();
        return code;
    }
    if (const int error = writeWholeFileError(*options.outputPath, lines)) {
        errors << "impossibile scrivere il file " << *options.outputPath << ": " << systemErrorText(error) << '\n';
        return ExtractUsageError;
    }
    tellDoubts();
    return code;
}

int extractCommand(const std::vector<std::string>& arguments, const PictureLoader& load, std::ostream& out,
                   std::ostream& errors, const TextReader* reader)
{
    const Checked<ExtractOptions> options = parseExtractOptions(arguments);
    if (!options) {
        errors << options.failure() << '\n';
        return ExtractUsageError;
    }
    if (options->pageGiven && !isPdfFile(options->picture) && fileExists(options->picture)) {
        errors << "--page e --dpi valgono solo per i PDF: " << options->picture << " non è un PDF\n";
        return ExtractUsageError;
    }
    // The points never replace the picture they are read from.
    if (const Failure refusal = outputRefusal({options->outputPath.value_or("")}, {options->picture})) {
        errors << *refusal << '\n';
        return ExtractUsageError;
    }
    const Checked<PixelBuffer> picture = load(options->picture, options->page, options->dpi);
    if (!picture) {
        errors << picture.failure() << '\n';
        return ExtractUsageError;
    }
    return runExtract(*options, *picture, out, errors, reader);
}

} // namespace calvero::capture
