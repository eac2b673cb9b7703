// "&Leggi i dati dal disco" on files that are no data set file: truncated,
// binary, oversized and malformed. Each is refused with one message, nothing
// is calculated or shown, and the data set, the fit state, the main window
// and the current data set name stay as they were.
#include "app_test_support.h"

#include "../session_snapshot.h"
#include "app/datasetcommands.h"
#include "app/datasetfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace calvero {
namespace {

using testing::AppTest;
using testing::SessionSnapshot;
using testing::Shown;

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

class BadDataSetFileTest : public AppTest {
protected:
    BadDataSetFileTest()
    {
        testing::loadDistinctiveDataSet(doc, inputs);
        before = SessionSnapshot::take(doc, inputs);
    }

    // Reads the file as the command does and checks that it was refused
    // with the one message given, leaving everything as it was.
    void expectRefused(const std::string& path, const std::string& message)
    {
        shown.events.clear();
        EXPECT_FALSE(toldAsTheWindowDoes(readAndCalculate(work, path))) << path;
        EXPECT_EQ(shown.messages(), std::vector<std::string>{message}) << path;
        EXPECT_EQ(shown.kinds(), std::vector<Shown>{Shown::Message}) << "a report or a graph was shown";
        const SessionSnapshot after = SessionSnapshot::take(doc, inputs);
        EXPECT_TRUE(after == before) << path << " changed: " << after.differencesFrom(before);
    }
    void expectInvalid(const std::string& name, const std::string& bytes)
    {
        const std::string path = pathOf(name);
        writeText(path, bytes);
        expectRefused(path, "il file non contiene dati validi: " + path);
    }
    static std::string exampleText(const std::string& name)
    {
        return readBytes(std::string(CALVERO_SOURCE_DIR) + "/data/examples/" + name);
    }
    // An example file with line n (from 1) replaced.
    static std::string exampleWithLine(int n, const std::string& text)
    {
        std::vector<std::string> lines = crlfLines(exampleText("nr150b6.txt"));
        lines.at(static_cast<std::size_t>(n - 1)) = text;
        return joinCrlf(lines);
    }

    SessionSnapshot before;
};

// Every kind of file that is no data set file, in one table: what a user
// may pick by mistake, and what a damaged or hand-edited data set looks like.
TEST_F(BadDataSetFileTest, EveryNonDataSetIsRefusedAndChangesNothing)
{
    const std::string example = exampleText("nr150b6.txt");
    const std::string validHead = "3\r\n2\r\n 3\r\n";
    const std::string negative = exampleWithLine(FirstZLine, "     -1.50000000000");
    std::string wide = "\xFF\xFE"; // the example in UTF-16, as some editors save it
    for (char c : exampleText("funzxy.txt")) wide += std::string{c, '\0'};
    std::string points; // a point file of a hundred thousand lines
    for (int i = 1; i <= 100000; ++i) points += std::to_string(i) + ";" + std::to_string(i * 0.5) + "\r\n";
    std::string carriageReturns = exampleText("funzxy.txt"); // old Mac line ends: one huge line
    std::erase(carriageReturns, '\n');

    const std::vector<std::pair<std::string, std::string>> files = {
        // truncated
        {"vuoto.txt", ""},
        {"meno.txt", negative.substr(0, negative.find("     -1.5") + 6)},
        {"esponente.txt", example.substr(0, 40) + "\r\n1.5e"},
        // binary
        {"casuale.txt", randomBytes(64 * 1024, 3)},
        {"nul.txt", std::string("3\0\r\n2\r\n", 7)},
        {"nul_valore.txt", validHead + std::string("1\0" "2\r\n", 5)},
        {"immagine.txt", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"cartella_di_lavoro.txt", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + randomBytes(4096, 4)},
        {"archivio.txt", std::string("PK\x03\x04\x14\x00\x06\x00", 8)},
        {"utf16.txt", wide},
        // oversized
        {"cifre.txt", std::string(50u << 20, '7')},
        {"punti.txt", points},
        {"riga_lunga.txt", exampleWithLine(20, std::string(5000, '1'))},
        {"valore_lungo.txt", validHead + std::string(5000, '7') + "\r\n"},
        // malformed
        {"lettera.txt", "Caro Mario,\r\nti mando i dati.\r\n"},
        {"senza_tipo.txt", "\r\n1\r\n"},
        {"tipo9.txt", exampleWithLine(1, "9")},
        {"tipo_meno.txt", exampleWithLine(1, "-1")},
        {"tipo_frazione.txt", exampleWithLine(1, "2.5")},
        {"tipo_vuoto.txt", exampleWithLine(1, "")},
        {"tipo_testo.txt", exampleWithLine(1, "POLINOMIO")},
        {"virgola.txt", exampleWithLine(FirstXLine + 2, "     1,50000000000")},
        {"due_valori.txt", exampleWithLine(FirstYLine, "1.5\t2.5")},
        {"due_valori_blank.txt", validHead + "1.5 2.5\r\n"},
        {"troppo_grande.txt", exampleWithLine(CurveBlockFirstLine, "1e999")},
        {"testo.txt", exampleWithLine(FirstZLine + 10, "n.d.")},
        {"solo_cr.txt", carriageReturns},
    };
    for (const auto& [name, bytes] : files) expectInvalid(name, bytes);
}

TEST_F(BadDataSetFileTest, UnreadableFiles)
{
    const std::string missing = pathOf("assente.txt");
    expectRefused(missing, "errore di lettura del file " + missing + ": file o cartella inesistente");
    const std::string folder = pathOf("cartella.txt");
    std::filesystem::create_directory(folder);
    expectRefused(folder, "errore di lettura del file " + folder + ": è una cartella");
}

TEST_F(BadDataSetFileTest, GoodFileStillReadsAfterRefusals)
{
    expectInvalid("casuale.txt", randomBytes(4096, 8));
    const std::string good = pathOf("buono.txt");
    writeText(good, exampleText("nr150b6.txt"));
    shown.events.clear();
    EXPECT_TRUE(toldAsTheWindowDoes(readAndCalculate(work, good)));
    EXPECT_EQ(doc.currentDataSetName, good);
    EXPECT_EQ(shown.texts(Shown::Report).size(), 1u);
}

} // namespace
} // namespace calvero
