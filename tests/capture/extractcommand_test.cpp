#include "capture/extractcommand.h"
#include "common/numtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

using namespace calvero::capture;
using calvero::Checked;
using calvero::failed;
using calvero::succeeded;

namespace {

std::vector<std::string> words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

const std::string References = "--x 50,250=0 --x 350,250=30 --y 50,250=0 --y 50,50=20";

// Red y = 10 + 5 sin(x / 5) on a white 400 x 300 picture with grey grid lines
// drawn over it; pixels as References calibrate them.
PixelBuffer redCurve()
{
    PixelBuffer picture = *PixelBuffer::create(400, 300);
    for (int column = 50; column < 350; ++column) {
        const double x = (column + 0.5 - 50) / 10;
        const double row = 250 - 10 * (10 + 5 * std::sin(x / 5));
        for (int y = static_cast<int>(row - 1.5); y <= static_cast<int>(row + 1.5); ++y) picture.setPixel(column, y, 0xffdd1010);
    }
    for (int i = 50; i < 350; i += 40)
        for (int y = 0; y < 300; ++y) picture.setPixel(i, y, 0xffb0b0b0);
    return picture;
}

} // namespace

TEST(ExtractOptions, ReadsTheTraceAndOutputOptions)
{
    const Checked<ExtractOptions> options = parseExtractOptions(
        words("--extract a.png " + References + " --colour #000000 --start 120.5,80 --exclude 300,10,200,60 "
              "--exclude 0,0,5,5 --step 2.5 --separator tab --decimal-comma --header"));
    ASSERT_TRUE(options) << options.failure();
    EXPECT_EQ(options->start, (PixelPoint{120.5, 80}));
    EXPECT_EQ(options->exclusions, (std::vector<PixelRect>{{200, 10, 100, 50}, {0, 0, 5, 5}}));
    EXPECT_EQ(options->step, 2.5);
    EXPECT_EQ(options->format.separator, '\t');
    EXPECT_EQ(options->format.decimalMark, ',');
    EXPECT_TRUE(options->format.header);
}

TEST(ExtractOptions, ReadsEveryOption)
{
    const Checked<ExtractOptions> options = parseExtractOptions(words(
        "--extract chart.pdf --x 10.5,20=1 --x 300,20=1000 --y 10,200=0 --y 10,5=50 --log-x --colour #FF8000 "
        "--tolerance 12.5 --points 50 --page 2 --dpi 300 -o out.txt"));
    ASSERT_TRUE(options) << options.failure();
    EXPECT_EQ(options->picture, "chart.pdf");
    EXPECT_EQ(options->axes.x, (AxisReference{{10.5, 20}, {300, 20}, 1, 1000, AxisScale::Logarithmic}));
    EXPECT_EQ(options->axes.y, (AxisReference{{10, 200}, {10, 5}, 0, 50, AxisScale::Linear}));
    EXPECT_EQ(options->colour, (Rgb{255, 128, 0}));
    EXPECT_EQ(options->tolerance, 12.5);
    EXPECT_EQ(options->pointCount, 50);
    EXPECT_EQ(options->page, 2);
    EXPECT_EQ(options->dpi, 300);
    EXPECT_EQ(options->outputPath, "out.txt");
}

TEST(ExtractOptions, UsageErrorsNameWhatIsWrong)
{
    const std::string base = "--extract a.png " + References + " --colour #ff0000";
    const std::pair<std::string, std::string> cases[] = {
        {References + " --colour #ff0000", "manca l'immagine"},
        {"--extract a.png --x 1,1=0 --x 100,1=1 --y 1,1=0 --colour #ff0000", "servono due riferimenti --x e due"},
        {base + " --x 5,5=1", "troppi riferimenti --x"},
        {"--extract a.png " + References, "manca il colore"},
        {"--extract a.png " + References + " --colour red", "colore non valido: red"},
        {base + " --points 1", "valore non valido per --points: 1"},
        {base + " --points 2.5", "valore non valido per --points: 2.5"},
        {base + " --tolerance 101", "valore non valido per --tolerance"},
        {base + " --dpi 0", "valore non valido per --dpi"},
        {base + " --page", "manca il valore dopo --page"},
        {base + " --frobnicate", "opzione sconosciuta: --frobnicate"},
        {"--extract a.png --x 50;250=0 --x 350,250=30 --y 50,250=0 --y 50,50=20 --colour #ff0000", "riferimento non valido: 50;250=0"},
        {"--extract a.png --x 50,250=0 --x 350,250=0 --y 50,250=0 --y 50,50=20 --colour #ff0000",
         "i due valori di riferimento dell'asse x sono uguali"},
        {base + " --log-y", "asse y logaritmico"},
        {base + " --start 10", "punto di partenza non valido: 10"},
        {base + " --exclude 1,2,3", "zona esclusa non valida: 1,2,3"},
        {base + " --exclude 1,2,3,4,5", "zona esclusa non valida: 1,2,3,4,5"},
        {base + " --step 0", "valore non valido per --step"},
        {base + " --step 2 --points 10", "--points e --step non vanno insieme"},
        {base + " --separator , --decimal-comma", "il separatore dei campi non può essere anche il segno decimale"},
        {base + " --separator |", "separatore non valido: |"},
    };
    for (const auto& [line, message] : cases) {
        const Checked<ExtractOptions> options = parseExtractOptions(words(line));
        EXPECT_FALSE(options) << line;
        EXPECT_EQ(options.failure().find(message), 0u) << options.failure();
        EXPECT_NE(options.failure().find("\nuso: digitora --extract"), std::string::npos);
    }
}

TEST(ExtractCommand, ExitCodesTellFoundNotFoundAndErrors)
{
    const PixelBuffer picture = redCurve();
    // A short level line, and a line rising gently that steps up 4 pixels
    // (an eighth of the y span its references give) across a gap of 12 columns.
    PixelBuffer level = *PixelBuffer::create(400, 300);
    PixelBuffer jump = *PixelBuffer::create(400, 300);
    for (int x = 60; x < 160; ++x)
        for (int dy = 0; dy < 3; ++dy) level.setPixel(x, 150 + dy, 0xffdd1010);
    for (int x = 50; x < 350; ++x)
        for (int dy = 0; dy < 3 && (x < 230 || x >= 242); ++dy) jump.setPixel(x, 200 - x / 5 - (x >= 242 ? 4 : 0) + dy, 0xffdd1010);
    const std::map<std::string, const PixelBuffer*> pictures{{"chart.png", &picture}, {"level.png", &level}, {"jump.png", &jump}};
    const auto loader = [&](const std::string& path, int, double) {
        const auto found = pictures.find(path);
        return found != pictures.end() ? succeeded(*found->second)
                                       : failed<PixelBuffer>("impossibile leggere l'immagine " + path);
    };
    const std::string output = testing::TempDir() + "extract.txt";
    struct Case {
        std::string line;
        int code;
        std::string errors;
    };
    const Case cases[] = {
        {"--extract chart.png " + References + " --colour #dd1010 --points 7", ExtractFound, ""},
        {"--extract chart.png " + References + " --colour #dd1010 --points 7 -o " + output, ExtractFound, ""},
        {"--extract chart.png " + References + " --colour #0000ff", ExtractNoCurve, "nessuna curva del colore #0000ff"},
        {"--extract other.png " + References + " --colour #dd1010", ExtractUsageError, "impossibile leggere l'immagine other.png"},
        {"--extract chart.png --colour #dd1010", ExtractUsageError, "servono due riferimenti"},
        {"--extract chart.png " + References + " --colour #dd1010 -o /no/such/folder/x.txt", ExtractUsageError,
         "impossibile scrivere il file /no/such/folder/x.txt: file o cartella inesistente"},
        // Doubtful reads: the points (if any) and the reasons, exit 3.
        {"--extract chart.png " + References + " --colour #a0a0a0 --tolerance 50", ExtractUnsure,
         "attenzione: con la tolleranza 50 anche lo sfondo (#ffffff) ha il colore cercato"},
        {"--extract chart.png " + References + " --colour #dd1010 --exclude 150,0,400,300", ExtractUnsure,
         "attenzione: la traccia copre solo il 33.3 %"},
        {"--extract level.png " + References + " --colour #dd1010", ExtractUnsure,
         "attenzione: la traccia segue per gran parte una linea orizzontale diritta"},
        {"--extract jump.png --x 50,250=0 --x 350,250=30 --y 50,250=0 --y 50,218=4 --colour #dd1010", ExtractUnsure,
         "attenzione: la traccia salta del "},
    };
    for (const Case& c : cases) {
        std::ostringstream out, errors;
        EXPECT_EQ(extractCommand(words(c.line), loader, out, errors), c.code) << c.line;
        // Without --tolerance a note says the tolerance chosen; any other line is a doubt or the failure.
        std::string told = errors.str();
        if (told.rfind("nota: tolleranza ", 0) == 0) told.erase(0, told.find('\n') + 1);
        if (c.errors.empty()) {
            EXPECT_EQ(told, "");
        } else {
            EXPECT_EQ(told.find(c.errors), 0u) << told;
        }
        if (c.code != ExtractFound && c.code != ExtractUnsure) {
            EXPECT_EQ(out.str(), "");
        }
    }
    std::ifstream written(output);
    std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        const std::size_t separator = line.find(';');
        ASSERT_NE(separator, std::string::npos) << line;
        const double x = calvero::parseDecimal(line.substr(0, separator)).value_or(NAN);
        const double y = calvero::parseDecimal(line.substr(separator + 1)).value_or(NAN);
        EXPECT_NEAR(x, count * 30.0 / 6, 0.2);
        EXPECT_NEAR(y, 10 + 5 * std::sin(x / 5), 0.1) << line;
    }
    EXPECT_EQ(count, 7);
}

TEST(ExtractCommand, PointsAtAnXStepInTheFormatAsked)
{
    const PixelBuffer picture = redCurve();
    const auto loader = [&](const std::string&, int, double) { return succeeded(picture); };
    std::ostringstream out, errors;
    ASSERT_EQ(extractCommand(words("--extract chart.png " + References +
                                   " --colour #dd1010 --step 7.5 --separator tab --decimal-comma --header"),
                             loader, out, errors),
              ExtractFound)
        << errors.str();
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "x\ty");
    // The curve runs over x 0..29.95: the multiples of 7.5 up to 22.5, from 0
    // (or from 7.5 if the trace starts just after 0).
    std::vector<double> xs;
    while (std::getline(lines, line)) {
        const std::size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        std::string x = line.substr(0, tab), y = line.substr(tab + 1);
        std::replace(x.begin(), x.end(), ',', '.');
        std::replace(y.begin(), y.end(), ',', '.');
        xs.push_back(std::stod(x));
        EXPECT_NEAR(std::stod(y), 10 + 5 * std::sin(xs.back() / 5), 0.1) << line;
    }
    EXPECT_TRUE(xs == (std::vector<double>{7.5, 15, 22.5}) || xs == (std::vector<double>{0, 7.5, 15, 22.5}))
        << out.str();
}

TEST(PixelBuffer, RefusesPicturesTooLargeToHold)
{
    for (const auto& [width, height] : {std::pair{30000LL, 30000LL}, {100000001LL, 1LL}, {1LL << 40, 1LL << 40}, {0LL, 10LL}}) {
        const Checked<PixelBuffer> picture = PixelBuffer::create(width, height);
        EXPECT_FALSE(picture);
        EXPECT_FALSE(picture.failure().empty());
    }
    EXPECT_EQ(PixelBuffer::create(30000, 30000).failure(),
              "immagine troppo grande: 30000 x 30000 pixel (al massimo 100 milioni di pixel)");
    EXPECT_FALSE(pictureSizeProblem(10000, 10000));
    EXPECT_TRUE(PixelBuffer::create(4000, 3000));
}
