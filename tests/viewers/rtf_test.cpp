#include "viewers/rtf.h"

#include "rtfreader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace calvero {
namespace {

using Lines = std::vector<std::string>;

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string collapseBlanks(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

std::filesystem::path freshFolder(const std::string& name)
{
    const auto path = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

TEST(RtfDocument, FixedPitchFontAndOneParagraphPerLine)
{
    const Lines lines = {"  POLINOMIO DI GRADO N  ", "", "     1    2.50000    2.49000     0.40", "fine"};
    const std::string rtf = rtfDocument(lines);
    const auto content = testing::parseRtf(rtf);
    EXPECT_EQ(content.font0, "Courier New");
    EXPECT_EQ(content.font0Family, "fmodern");
    EXPECT_EQ(content.paragraphs, lines);
    EXPECT_NE(rtf.find("\\deff0"), std::string::npos);
}

TEST(RtfDocument, TenPointCourierAndAnA4PageThatHoldsTheWidestLine)
{
    // Report lines reach about 70 characters; 130 is the most a line holds.
    for (const std::size_t width : {0, 40, 70, 80, 81, 100, 130}) {
        const std::string widest = std::string(width, '8') + "   "; // trailing blanks take no room
        const auto controls = testing::parseRtf(rtfDocument({"POLINOMIO", widest, "fine"})).controls;
        EXPECT_EQ(controls.at("fs"), 20) << width;
        const long paperWidth = controls.at("paperw"), paperHeight = controls.at("paperh");
        EXPECT_EQ(std::min(paperWidth, paperHeight), 11906) << "A4, 210 mm";
        EXPECT_EQ(std::max(paperWidth, paperHeight), 16838) << "A4, 297 mm";
        EXPECT_EQ(controls.count("landscape") == 1, paperWidth > paperHeight) << width;
        // 10 pt Courier New: 6 pt = 120 twips a character.
        EXPECT_GE(paperWidth - controls.at("margl") - controls.at("margr"), static_cast<long>(width) * 120) << width;
        EXPECT_GE(std::min(controls.at("margl"), controls.at("margr")), 283) << "at least 5 mm, width " << width;
        EXPECT_EQ(controls.count("landscape") == 1, width > 80) << "upright while 2 cm margins leave room";
    }
    std::string accented; // 80 characters of two bytes each still fit upright
    for (int i = 0; i < 80; ++i) accented += "\xC3\xA8";
    EXPECT_EQ(testing::parseRtf(rtfDocument({accented})).controls.count("landscape"), 0u);
}

TEST(RtfDocument, EmptyReportIsStillADocument)
{
    const auto content = testing::parseRtf(rtfDocument({}));
    EXPECT_TRUE(content.paragraphs.empty());
    EXPECT_EQ(content.font0, "Courier New");
}

TEST(RtfDocument, SpecialCharactersAreEscapedAndReadBack)
{
    const Lines lines = {
        "C:\\dati\\{prova}.txt",
        "citt\xC3\xA0 \xC3\xA8 25\xC2\xB0" "C",           // città è 25°C: Latin-1 range
        "\xE2\x82\xAC 3 \xE2\x80\x93 \xE2\x80\x9Cvirgolette\xE2\x80\x9D", // € – “”: Windows-1252 only
        "\xE6\x97\xA5 \xCE\xA9",                         // 日 Ω: beyond the code page
        "\xF0\x9F\x98\x80",                              // beyond the 16-bit range
        "a\tb",
    };
    const std::string rtf = rtfDocument(lines);
    for (unsigned char c : rtf) EXPECT_LT(c, 0x80) << "an RTF document is 7-bit text";
    EXPECT_NE(rtf.find("C:\\\\dati\\\\\\{prova\\}.txt"), std::string::npos);
    EXPECT_NE(rtf.find("citt\\'e0 \\'e8 25\\'b0C"), std::string::npos);
    EXPECT_NE(rtf.find("\\'80 3 \\'96 \\'93"), std::string::npos);
    EXPECT_NE(rtf.find("\\u26085?"), std::string::npos);
    EXPECT_NE(rtf.find("\\u-10179?\\u-8704?"), std::string::npos);
    EXPECT_EQ(testing::parseRtf(rtf).paragraphs, lines);
}

TEST(RtfDocument, MalformedTextKeepsTheDocumentValid)
{
    const Lines lines = {"ab\xFF" "cd\xC3", "\x01x"};
    const auto content = testing::parseRtf(rtfDocument(lines));
    ASSERT_EQ(content.paragraphs.size(), 2u);
    EXPECT_EQ(content.paragraphs[0], "ab\xEF\xBF\xBD" "cd\xEF\xBF\xBD");
    EXPECT_EQ(content.paragraphs[1], "x");
}

TEST(RtfDocument, OverlongFormsAndSurrogatesAreNotDecoded)
{
    const auto content = testing::parseRtf(rtfDocument({"\xC0\xAF", "\xED\xA0\x80"}));
    ASSERT_EQ(content.paragraphs.size(), 2u);
    EXPECT_EQ(content.paragraphs[0], "\xEF\xBF\xBD\xEF\xBF\xBD") << "not a slash";
    EXPECT_EQ(content.paragraphs[1], "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(WriteRtfFile, WritesAndReplaces)
{
    const auto folder = freshFolder("calvero_rtf");
    const auto path = folder / "testo.rtf";
    ASSERT_FALSE(writeRtfFile(path.string(), {"prima riga", "seconda riga", "terza riga"}));
    EXPECT_EQ(testing::parseRtf(readFile(path)).paragraphs.size(), 3u);

    ASSERT_FALSE(writeRtfFile(path.string(), {"sola"}));
    EXPECT_EQ(readFile(path), rtfDocument({"sola"}));
    std::filesystem::remove_all(folder);
}

TEST(WriteRtfFile, FailureGivesTheSystemsReason)
{
    const auto folder = freshFolder("calvero_rtf_fail");
    const auto path = folder / "manca" / "testo.rtf";
    const auto failure = writeRtfFile(path.string(), {"x"});
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "file o cartella inesistente");
    std::filesystem::remove_all(folder);
}

TEST(WriteRtfFile, UnrtfReadsTheLines)
{
    if (std::system("command -v unrtf >/dev/null 2>&1") != 0) GTEST_SKIP() << "unrtf is not installed";
    const auto folder = freshFolder("calvero_unrtf");
    const auto path = folder / "testo.rtf";
    const Lines lines = {"POLINOMIO DI GRADO N", "     1    2.50000    2.49000", "errore medio %  0.12"};
    ASSERT_FALSE(writeRtfFile(path.string(), lines));
    const std::string command = "unrtf --text '" + path.string() + "' > '" + (folder / "out.txt").string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // unrtf shows a run of blanks as one blank, as a web page would.
    const std::string text = collapseBlanks(readFile(folder / "out.txt"));
    for (const auto& line : lines)
        EXPECT_NE(text.find(collapseBlanks(line)), std::string::npos) << line << "\n" << text;
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace calvero
