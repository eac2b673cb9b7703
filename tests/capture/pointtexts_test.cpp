#include "capture/allcurves.h"
#include "capture/pointexport.h"
#include "capture/sessionfile.h"
#include "common/numtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

using namespace calvero::capture;
using calvero::Checked;

namespace {

// Pixels equal the values: x to the right, y upward from row 1000.
CaptureState plainState(std::vector<Curve> curves)
{
    return {AxesReferences{{{0, 1000}, {100, 1000}, 0, 100, AxisScale::Linear}, {{0, 1000}, {0, 900}, 0, 100, AxisScale::Linear}},
            std::move(curves), {}};
}

PixelPoint at(double x, double y) { return {x, 1000 - y}; }

std::string writeTemporary(const std::string& name, const std::string& bytes)
{
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

TEST(PointTexts, ValuesKeepSixSignificantDigitsWithoutExponents)
{
    for (double v : {1.0, -2.5, 1234.5678, 0.000123456789, 98765432.1, 3.14159265, -0.0, 1e-9, 1.23456e-12}) {
        const std::string text = pointValueText(v);
        EXPECT_EQ(text.find_first_of("eE,"), std::string::npos) << text;
        const double read = calvero::parseDecimal(text).value_or(NAN);
        EXPECT_NEAR(read, v, std::abs(v) * 5e-6) << text;
        EXPECT_NE(text.back(), '.');
    }
    // On an axis offset by 1e5 (a curve between 100000 and 100020) six digits
    // would round 100017.54 to 100018, a fortieth of the range: the range
    // keeps five digits of its own.
    const std::vector<UnitPoint> offset{{1, 100000.0}, {2, 100017.54}, {3, 100020.0}};
    EXPECT_EQ(pointsText(offset, {}), "1;100000\n2;100017.54\n3;100020\n");
    EXPECT_EQ(pointValueText(100017.54321, 20), "100017.5432");
}

TEST(PointTexts, PointFileAndClipboardWriteEveryCurveInAscendingX)
{
    const CaptureState plain = plainState({{"a", {}, std::nullopt, {at(20, 5), at(10, 2.5)}}, {"b", {}, std::nullopt, {at(0.5, 70)}}});
    EXPECT_EQ(pointFileText(plain).value.value_or(""), "10;2.5\n20;5\n0.5;70\n");
    EXPECT_EQ(clipboardText(plain).value.value_or(""), "10\t2.5\n20\t5\n0.5\t70\n");

    const TextFormat spreadsheet{';', ',', true};
    EXPECT_EQ(pointFileText(plain, spreadsheet).value.value_or(""), "x;y\n10;2,5\n20;5\n0,5;70\n");
    EXPECT_EQ(pointFileText(plain, {',', ',', false}).failure(),
              "il separatore dei campi non può essere anche il segno decimale (,)");

    const CaptureState surface = plainState({{"t 35", {}, 35.0, {at(1, 2)}}, {"t 40", {}, 40.0, {at(3, 4), at(2, 1)}}});
    EXPECT_EQ(pointFileText(surface, spreadsheet).value.value_or(""), "x;parametro;y\n1;35;2\n2;40;1\n3;40;4\n");
    EXPECT_EQ(pointFileText(surface).value.value_or(""), "1;35;2\n2;40;1\n3;40;4\n");
}

TEST(PointTexts, PointFileRefusesWhatCalveroCannotImport)
{
    std::vector<PixelPoint> many(201, at(1, 1));
    struct Case {
        CaptureState state;
        const char* message;
    };
    CaptureState uncalibrated = plainState({{"a", {}, std::nullopt, {at(1, 1)}}});
    uncalibrated.axes.reset();
    const Case cases[] = {
        {plainState({{"a", {}, std::nullopt, many}}), "troppi punti: 201 (al massimo 200)"},
        {plainState({{"a", {}, std::nullopt, {}}}), "nessun punto da salvare"},
        {plainState({{"a", {}, 1.0, {at(1, 1)}}, {"b", {}, std::nullopt, {at(2, 2)}}}), "la curva \"b\" non ha il valore del parametro"},
        {uncalibrated, "assi non tarati"},
    };
    for (const Case& c : cases) {
        const Checked<std::string> text = pointFileText(c.state);
        EXPECT_FALSE(text);
        EXPECT_EQ(text.failure().find(c.message), 0u) << text.failure();
    }
    EXPECT_TRUE(clipboardText(cases[0].state)) << "the clipboard has no limit";
}

TEST(SessionFile, WrittenSessionReadsBackTheSame)
{
    CaptureSession session;
    session.picturePath = "/tmp/pompa è.pdf";
    session.page = 3;
    session.dpi = 200;
    session.state = plainState({{"Ø 250 \"max\"", {10, 20, 30}, 250.0, {{1.25, 2.5}, {1e-3, 4000.75}}},
                                {"", {255, 255, 255}, std::nullopt, {}}});
    session.state.axes->y.scale = AxisScale::Logarithmic;
    session.state.axes->y.firstValue = 0.1;
    session.state.exclusions = {{1, 2, 3, 4}, {0.5, 0.5, 100, 20}};
    const std::string path = testing::TempDir() + "session.digitora";
    ASSERT_FALSE(writeSessionFile(path, session));
    const Checked<CaptureSession> read = readSessionFile(path);
    ASSERT_TRUE(read) << read.failure();
    EXPECT_EQ(*read, session);

    CaptureSession uncalibrated;
    EXPECT_EQ(parseSessionText(sessionText(uncalibrated)).value, uncalibrated);
}

TEST(SessionFile, DamagedFilesAreRefusedWithAMessage)
{
    CaptureSession session;
    session.state = plainState({{"a", {1, 2, 3}, std::nullopt, {{1, 2}}}});
    session.state.exclusions = {{1, 2, 3, 4}};
    const std::string good = sessionText(session);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::string damaged[] = {
        "",
        good.substr(0, good.size() / 2),
        "[1, 2, 3]",
        replaced("digitora-session", "other"),
        replaced("\"version\": 1", "\"version\": 2"),
        replaced("\"page\": 1", "\"page\": 0"),
        replaced("\"page\": 1", "\"page\": \"1\""),
        replaced("\"dpi\": 150.0", "\"dpi\": 1e308"),
        replaced("#010203", "#01020"),
        replaced("\"linear\"", "\"cubic\""),
        replaced("\"value\":100.0", "\"value\":0.0"),
        replaced("\"name\":\"a\"", "\"name\":7"),
        replaced("\"parameter\":null", "\"parameter\":[]"),
        replaced("\"curves\"", "\"curve\""),
        replaced("[1.0,2.0]]", "[1.0]]"),
        replaced("3.0,4.0]", "3.0,-4.0]"),
        std::string(1, '\0') + good,
        good.substr(0, 40) + "\xff\xfe" + good.substr(40),
    };
    for (const std::string& text : damaged) {
        const Checked<CaptureSession> read = parseSessionText(text);
        EXPECT_FALSE(read) << text;
        EXPECT_EQ(read.failure().find("file di sessione danneggiato: "), 0u) << read.failure();
    }
    const Checked<CaptureSession> missing = readSessionFile(testing::TempDir() + "no such session");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.failure().find("impossibile aprire il file di sessione"), 0u);
    EXPECT_FALSE(readSessionFile(writeTemporary("big.digitora", std::string(17u << 20, ' '))));
}

TEST(EveryCurve, LabelsTheCurvesByTheWordsBesideThemAndWritesAFamilyOrBlocks)
{
    // Three level curves 50 rows apart; "D=200" and "D=215" just above the
    // lower two, a legend word far from all, the top curve left unlabelled.
    const auto curve = [](double row) {
        LabelledCurve c;
        for (double x = 100; x <= 400; x += 10) c.curve.centre.push_back({x, row});
        c.curve.points = {{0, row}, {10, row + 1}};
        return c;
    };
    std::vector<LabelledCurve> curves{curve(100), curve(150), curve(200)};
    labelCurves(curves, {{"D=215", {300, 135, 50, 12}, 90, {}, {}}, {"D", {300, 185, 12, 12}, 90, {}, {}}, {"=200", {314, 185, 36, 12}, 90, {}, {}},
                         {"legenda", {600, 20, 80, 12}, 90, {}, {}}});
    EXPECT_EQ(curves[0].label, "");
    EXPECT_EQ(curves[1].label, "D=215");
    EXPECT_EQ(curves[2].label, "D =200");
    EXPECT_EQ(curves[2].parameter, 200);
    // A number a mark or a blank breaks is a misread, not the number before it.
    const std::vector<std::pair<std::string, std::optional<double>>> numbers{
        {"D = 12,5 mm", 12.5}, {"curva", std::nullopt}, {"200 m3/h", 200}, {"n=-3", -3}, {"D=2C0", std::nullopt},
        {"D=2:10", std::nullopt}, {"D=2\u00a20", std::nullopt}, {"2 5", std::nullopt}};
    for (const auto& [text, number] : numbers) EXPECT_EQ(labelNumber(text), number) << text;

    // Not every label has a number: a block per curve.
    curves[0].label = "curva 1";
    EXPECT_EQ(everyCurveText(curves, {}), "# curva 1\n0;100\n10;101\n\n# D=215\n0;150\n10;151\n\n# D =200\n0;200\n10;201\n");
    curves[0].parameter = 230;
    EXPECT_EQ(everyCurveText({curves[1], curves[2]}, {}), "0;215;150\n10;215;151\n0;200;200\n10;200;201\n");
    EXPECT_EQ(fileNameFor("D=200 / 2"), "D=200___2.txt");
}

TEST(EveryCurve, AFamilyLabelledInTurnGoesByOrderAndDoubtfulLabelsAreTold)
{
    // Three falling curves 80 rows apart, each label written above its curve
    // from a point on it: along the label the curve above comes nearer.
    const auto curve = [](double base) {
        LabelledCurve c;
        for (double x = 100; x <= 400; x += 5) c.curve.centre.push_back({x, base + 0.5 * (x - 100)});
        return c;
    };
    std::vector<LabelledCurve> curves{curve(180), curve(100), curve(260)};
    const auto label = [](const std::string& text, double base, double confidence = 90) {
        return ReadWord{text, {250, base + 34, 60, 16}, confidence, {}, {}};
    };
    labelCurves(curves, {label("D=200", 260), label("D=215", 180), label("D=230", 100)});
    EXPECT_EQ(curves[0].label, "D=215");
    EXPECT_EQ(curves[1].label, "D=230");
    EXPECT_EQ(curves[2].label, "D=200");
    EXPECT_TRUE(labelDoubts(curves).empty());

    struct Case {
        std::vector<ReadWord> words;
        std::string doubt;
    };
    const std::vector<Case> cases{
        {{label("D=200", 260), label("D=215", 180), label("D=2", 100)}, "«D=2» ha letto più o meno lettere"},
        {{label("D=200", 260), label("D=215", 180), label("'230", 100)}, "differiscono oltre il numero"},
        {{label("D=200", 260), label("D=215", 180), label("D=240", 100, 58)}, "«D=240» è letta con poca sicurezza (58 %)"},
        {{label("D=200", 260), label("D=200", 180), label("D=230", 100)}, "due curve con il numero 200"},
        // Labels without numbers, each just under a curve, one read with little
        // certainty: a curve's crossings read as letters.
        {{label("pompa A", 260), label("pompa B", 180), label("MAINO,", 340, 42)}, "«MAINO,» è letta con poca sicurezza (42 %)"},
        {{label("D=200", 260), label("D=215", 180)}, "non ha un'etichetta con un numero"},
        {{label("D=200", 260), label("D=215", 180), {"D=230", {250, 134, 60, 16}, 88, "D=240", {}}}, "«D=230» è letta anche «D=240»"},
        {{label("D=200", 260), label("D=215", 180), label("D=23", 100)}, "«D=215» e «D=23» sono larghe uguali"},
        {{}, "non ha un'etichetta letta accanto"},
        // A fourth label far from every curve: its curve was not followed.
        {{label("D=200", 260), label("D=215", 180), label("D=230", 100), label("D=245", 0)},
         "«D=245» non è accanto a nessuna curva seguita (curve seguite: 3)"},
        // No curve labelled beside it, a legend of four for three curves.
        {{{"n=700", {600, 20, 60, 16}, 90, {}, {}}, {"n=1000", {600, 40, 70, 16}, 90, {}, {}}, {"n=1300", {600, 60, 70, 16}, 90, {}, {}},
          {"n=1600", {600, 80, 70, 16}, 90, {}, {}}},
         "«n=1600» non è accanto a nessuna curva seguita"},
    };
    for (const Case& c : cases) {
        std::vector<LabelledCurve> family{curve(180), curve(100), curve(260)};
        const std::vector<std::string> left = labelCurves(family, c.words);
        const std::vector<std::string> doubts = labelDoubts(family, left);
        EXPECT_TRUE(std::any_of(doubts.begin(), doubts.end(), [&](const std::string& d) { return d.find(c.doubt) != std::string::npos; }))
            << c.doubt;
    }
}

namespace {

// A level curve in one colour across columns 100..400 at the given row.
LabelledCurve levelCurveIn(Rgb colour, double row)
{
    LabelledCurve c;
    c.colour = colour;
    for (double x = 100; x <= 400; x += 10) c.curve.centre.push_back({x, row});
    return c;
}

} // namespace

TEST(EveryCurve, ALabelInAColourLabelsOnlyACurveOfThatColour)
{
    // A red curve at row 100 and a blue one at row 150; a label just below
    // the red one, nearer it than the blue. Black letters label the nearer
    // curve; coloured ones only a curve of about their colour; a light grey
    // label (that of a curve not followed) neither.
    const Rgb red{214, 39, 40}, blue{31, 119, 180};
    const auto curve = levelCurveIn;
    struct Case {
        std::optional<Rgb> ink;
        const char* redLabel;
        const char* blueLabel;
    };
    const Case cases[] = {
        {std::nullopt, "A=1", ""},
        {Rgb{20, 20, 20}, "A=1", ""},
        {Rgb{40, 125, 175}, "", "A=1"},
        {Rgb{171, 171, 171}, "", ""},
    };
    for (const Case& c : cases) {
        std::vector<LabelledCurve> curves{curve(red, 100), curve(blue, 150)};
        labelCurves(curves, {{"A=1", {200, 108, 30, 12}, 90, {}, c.ink}});
        EXPECT_EQ(curves[0].label, c.redLabel) << (c.ink ? colourText(*c.ink) : "no ink");
        EXPECT_EQ(curves[1].label, c.blueLabel) << (c.ink ? colourText(*c.ink) : "no ink");
    }
}

TEST(EveryCurve, ALegendEntryLabelsOnlyTheCurveOfItsSamplesColour)
{
    // A red curve at row 100 and a blue one at row 150 across columns
    // 100..400; a legend over them: "D=200" just above the blue curve with a
    // red sample left of it, so the entry is nearer the blue curve but names
    // the red one. Two curves of one colour leave their entry unassigned.
    const Rgb red{214, 39, 40}, blue{31, 119, 180};
    const auto curve = levelCurveIn;
    struct Case {
        const char* name;
        Rgb second;                  // the colour of the curve at row 150
        std::optional<Rgb> sample;   // the sample beside "D=200"
        const char* top;
        const char* bottom;
    };
    const Case cases[] = {
        {"no sample: the nearest curve", blue, std::nullopt, "", "D=200"},
        {"a red sample", blue, red, "D=200", ""},
        {"a blue sample", blue, blue, "", "D=200"},
        {"a red sample, both curves red", red, red, "", ""},
    };
    const ReadWord entry{"D=200", {250, 130, 50, 16}, 90, {}, {}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<LabelledCurve> curves{curve(red, 100), curve(c.second, 150)};
        labelCurves(curves, {entry}, {c.sample});
        EXPECT_EQ(curves[0].label, c.top);
        EXPECT_EQ(curves[1].label, c.bottom);
    }
    // Two numbered labels side by side at two curves' ends are two labels.
    std::vector<LabelledCurve> ends{curve(red, 100), curve(blue, 150)};
    labelCurves(ends, {{"D=210", {405, 92, 40, 16}, 90, {}, {}}, {"D=220", {452, 92, 40, 16}, 90, {}, {}}});
    EXPECT_EQ(ends[0].label, "D=210");
    EXPECT_EQ(ends[1].label, "");
}

TEST(EveryCurve, ALegendsEntriesNameTheCurvesOfTheirSamplesColours)
{
    // A blue curve at row 100 and a purple one at row 150 (near colours,
    // as matplotlib's bmh sheet draws them); a legend of two entries away
    // from both, each word with the sample of one colour left of it; in one
    // case the sample itself read as a word in its colour ("ko"), in another
    // the blue entry read as two words that both see its sample.
    const Rgb blue{52, 138, 189}, purple{122, 104, 166};
    const auto curve = levelCurveIn;
    struct Case {
        const char* name;
        bool samplesReadAsWords, twoWords;
        const char* blueLabel;
        const char* purpleLabel;
    };
    const Case cases[] = {
        {"two entries", false, false, "DN 25", "DN 65"},
        {"their samples read as words too", true, false, "DN 25", "DN 65"},
        {"an entry of two words", false, true, "DN 25", "DN 65"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<LabelledCurve> curves{curve(blue, 100), curve(purple, 150)};
        std::vector<ReadWord> words{{"DN 65", {300, 220, 50, 16}, 95, {}, {}}, {"DN 25", {300, 200, 50, 16}, 95, {}, {}}};
        std::vector<std::optional<Rgb>> samples{purple, blue};
        if (c.twoWords) {
            words[1] = {"DN", {300, 200, 24, 16}, 95, {}, {}};
            words.push_back({"25", {328, 200, 22, 16}, 95, {}, {}});
            samples.push_back(blue);
        }
        if (c.samplesReadAsWords) {
            words.push_back({"ko", {262, 200, 30, 16}, 47, {}, blue});
            words.push_back({"Lo", {262, 220, 30, 16}, 46, {}, purple});
            samples.insert(samples.end(), 2, std::nullopt);
        }
        labelCurves(curves, words, samples);
        EXPECT_EQ(curves[0].label, c.blueLabel);
        EXPECT_EQ(curves[1].label, c.purpleLabel);
    }
}

TEST(EveryCurve, ALegendsSampleIsAShortStrokeEndingBeforeItsWord)
{
    // Words 16 pixels high (10 of letters) at column 200; left of each, in
    // its rows: a red stroke of 30 columns ending 6 before it (a sample), the
    // same dashed 6 on 4 off, a stroke of 8 columns (too short), a red line
    // from column 20 (a curve running on), a blue stroke beside a red one
    // (two colours), nothing.
    const Rgb red{214, 39, 40}, blue{31, 119, 180};
    LabelledCurve r, b;
    r.colour = red, b.colour = blue;
    struct Case {
        const char* name;
        int from, to;   // the stroke's columns
        bool dashed;
        bool blueToo;
        std::optional<Rgb> sample;
    };
    const Case cases[] = {
        {"a sample", 164, 193, false, false, red},
        {"a dashed sample", 164, 193, true, false, red},
        {"a short stroke", 186, 193, false, false, std::nullopt},
        {"a curve running on", 20, 193, false, false, std::nullopt},
        {"two colours", 164, 193, false, true, std::nullopt},
        {"nothing", 0, -1, false, false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer picture = *PixelBuffer::create(300, 100);
        for (int x = 0; x < 300; ++x)
            for (int y = 0; y < 100; ++y) picture.setPixel(x, y, 0xffffffff);
        for (int x = c.from; x <= c.to; ++x)
            if (!c.dashed || (x - c.from) % 10 < 6)
                for (int y = 49; y <= 50; ++y) picture.setPixel(x, y, argbOf(red));
        if (c.blueToo)
            for (int x = c.from; x <= c.to; ++x) picture.setPixel(x, 45, argbOf(blue));
        const std::vector<std::optional<Rgb>> samples =
            legendSamples(picture, {{"D=200", {197, 42, 50, 16}, 90, {}, {}}}, {r, b});
        ASSERT_EQ(samples.size(), 1u);
        EXPECT_EQ(samples[0].has_value(), c.sample.has_value());
        if (samples[0] && c.sample) {
            EXPECT_EQ(colourText(*samples[0]), colourText(*c.sample));
        }
    }
}

TEST(EveryCurve, TwoCurvesReadWithOneLabelAreTold)
{
    // Three curves each labelled beside it; read "pendenza" without the
    // numbers, two or three alike cannot be told apart.
    struct Case {
        std::vector<std::string> labels;
        bool told;
    };
    const Case cases[] = {
        {{"pendenza", "pendenza", "pendenza"}, true},
        {{"pendenza 1", "pendenza", "pendenza"}, true},
        {{"mandata", "ritorno", "pendenza"}, false},
    };
    for (const Case& c : cases) {
        std::vector<LabelledCurve> curves(c.labels.size());
        for (std::size_t i = 0; i < curves.size(); ++i) {
            curves[i].label = c.labels[i];
            curves[i].labelBox = PixelRect{100, 100.0 + 50 * i, 60, 12};
        }
        std::string doubts;
        for (const std::string& d : labelDoubts(curves)) doubts += d + "\n";
        EXPECT_EQ(doubts.find("stessa etichetta") != std::string::npos, c.told) << doubts;
    }
}
