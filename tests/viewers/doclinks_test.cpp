// The documentation installed beside the program: every page it links to is
// there, every page reaches every other one from its navigation bar, and the
// pages say what the engineer needs (the program's messages above all).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path DocFolder = fs::path(CALVERO_SOURCE_DIR) / "doc";

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> pages()
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(DocFolder))
        if (entry.path().extension() == ".htm" || entry.path().extension() == ".html")
            found.push_back(entry.path());
    return found;
}

struct Link {
    std::string target; // file part, empty for the same page
    std::string anchor; // after '#', may be empty
};

bool isOnTheWeb(const std::string& address)
{
    static const std::regex scheme("^[a-zA-Z][a-zA-Z0-9+.-]*:");
    return std::regex_search(address, scheme);
}

std::vector<Link> localLinks(const std::string& html)
{
    static const std::regex attribute(R"((?:href|src)\s*=\s*["']([^"']*)["'])", std::regex::icase);
    std::vector<Link> links;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), attribute); it != std::sregex_iterator(); ++it) {
        const std::string address = (*it)[1];
        if (isOnTheWeb(address))
            continue;
        const auto hash = address.find('#');
        links.push_back({address.substr(0, hash), hash == std::string::npos ? "" : address.substr(hash + 1)});
    }
    return links;
}

bool hasAnchor(const std::string& html, const std::string& anchor)
{
    const std::regex named(R"((?:name|id)\s*=\s*["'])" + anchor + R"(["'])", std::regex::icase);
    return std::regex_search(html, named);
}

// The words of a page as the browser shows them: tags dropped, entities
// turned back into characters, runs of blanks made one.
std::string visibleText(const std::string& html)
{
    std::string text = std::regex_replace(html, std::regex("<[^>]*>"), " ");
    const std::map<std::string, std::string> entities = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&hellip;", "…"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities)
        text = std::regex_replace(text, std::regex(entity), character);
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

bool isValidUtf8(const std::string& bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + extra >= bytes.size())
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) >> 6) != 0x2)
                return false;
        i += extra + 1;
    }
    return true;
}

TEST(Documentation, FirstPageExists)
{
    EXPECT_TRUE(fs::is_regular_file(DocFolder / "calvero1.htm"));
}

TEST(Documentation, EveryLocalLinkPointsToAnExistingFileAndAnchor)
{
    for (const auto& page : pages()) {
        const std::string html = readFile(page);
        for (const Link& link : localLinks(html)) {
            const fs::path target = link.target.empty() ? page : DocFolder / link.target;
            ASSERT_TRUE(fs::is_regular_file(target))
                << page.filename() << " links to the missing file " << link.target;
            if (!link.anchor.empty()) {
                EXPECT_TRUE(hasAnchor(readFile(target), link.anchor))
                    << page.filename() << " links to " << link.target << "#" << link.anchor
                    << ", an anchor that page does not have";
            }
        }
    }
}

TEST(Documentation, EveryPageIsReachedFromTheFirstAndLeadsBackToIt)
{
    std::set<std::string> reached = {"calvero1.htm"};
    std::vector<std::string> toVisit = {"calvero1.htm"};
    while (!toVisit.empty()) {
        const std::string name = toVisit.back();
        toVisit.pop_back();
        for (const Link& link : localLinks(readFile(DocFolder / name))) {
            const bool isPage = link.target.ends_with(".htm") || link.target.ends_with(".html");
            if (isPage && reached.insert(link.target).second)
                toVisit.push_back(link.target);
        }
    }
    for (const auto& page : pages()) {
        const std::string name = page.filename().string();
        EXPECT_TRUE(reached.count(name)) << name << " cannot be reached from calvero1.htm";
        if (name == "calvero1.htm")
            continue;
        bool leadsBack = false;
        for (const Link& link : localLinks(readFile(page)))
            leadsBack = leadsBack || link.target == "calvero1.htm";
        EXPECT_TRUE(leadsBack) << name << " has no link back to calvero1.htm";
    }
}

TEST(Documentation, EveryPageLinksToEveryOtherPage)
{
    // The navigation bar of each page reaches every page in one step.
    for (const auto& page : pages()) {
        std::set<std::string> linked;
        for (const Link& link : localLinks(readFile(page))) linked.insert(link.target);
        for (const auto& other : pages())
            if (other != page)
                EXPECT_TRUE(linked.count(other.filename().string()))
                    << page.filename() << " has no link to " << other.filename();
    }
}

TEST(Documentation, PagesAreUtf8AndSaySo)
{
    for (const auto& page : pages()) {
        const std::string html = readFile(page);
        EXPECT_TRUE(isValidUtf8(html)) << page.filename();
        EXPECT_NE(html.find("charset=utf-8"), std::string::npos) << page.filename();
        EXPECT_NE(html.find("<title>"), std::string::npos) << page.filename();
    }
}

TEST(Documentation, MessagesPageExplainsEveryMessageOfTheProgram)
{
    // The fixed words of each message; "…" stands where the program puts a
    // name or a number.
    const std::vector<std::vector<std::string>> messages = {
        {"numero punti= <2!"},
        {"tipo non scelto="},
        {"tutti numeri devono essere>0!"},
        {"Floating point division by zero"},
        {"Invalid floating point operation"},
        {"Floating point overflow"},
        {"numero punti insufficiente per il grado scelto"},
        {"massimo 100 punti per il polinomio Z=F(x,y)"},
        {"valore non numerico alla riga", ", colonna"},
        {"temperatura non valida:"},
        {"IL FILE:", "NON ESISTE!"},
        {"lette le prime 200 righe del file"},
        {"tipo di file non riconosciuto:"},
        {"impossibile leggere il file EXCEL:"},
        {"il file non contiene dati validi:"},
        {"salvato il file EXCEL :"},
        {"impossibile salvare il file EXCEL:"},
        {"errore di lettura del file"},
        {"errore di scrittura del file"},
        {"salvato sul file(in formato word):"},
        {"non ammesso"},
        {"programma di cattura punti non trovato:"},
        {"impossibile avviare il programma di cattura punti:"},
        {"impossibile avviare un browser per aprire la pagina web:"},
        {"stampa non riuscita:"},
        {"pagina non trovata:"},
        {"Salvare i dati prima di uscire?"},
        {"il file non è un file dei dati ma un file di punti:", "importare i punti nella griglia?"},
        {"troppi vincoli:"},
        {"i vincoli non sono indipendenti:"},
        {"i vincoli chiesti non si possono rispettare insieme"},
        {"i punti di passaggio salgono e scendono:"},
        {"peso non positivo al punto"},
        {"il file dei vincoli", "non è valido:"},
    };
    const std::string text = visibleText(readFile(DocFolder / "messaggi.htm"));
    for (const auto& pieces : messages)
        for (const std::string& piece : pieces)
            EXPECT_NE(text.find(piece), std::string::npos) << "messaggi.htm does not show \"" << piece << "\"";
}

TEST(Documentation, KindsPageNamesTheEightKindsAsTheProgramShowsThem)
{
    const std::string text = visibleText(readFile(DocFolder / "tipi.htm"));
    for (const char* caption : {"PUNTEGGIATA", "POTENZA", "POLINOMIO", "ESPONENZIALE", "POLINOMIO FRATTO",
                                "CURVA temperatura-tempo", "polinomio Z=F(x,y)", "curva saturazione"})
        EXPECT_NE(text.find(caption), std::string::npos) << caption;
}

TEST(Documentation, ExamplesPageNamesTheSixExampleFiles)
{
    const std::string text = visibleText(readFile(DocFolder / "esempi.htm"));
    for (const char* file : {"potenzaold.txt", "nr150b6.txt", "polinomiofratto.txt", "esponenziale.txt",
                             "temperatura_tempo.txt", "funzxy.txt"})
        EXPECT_NE(text.find(file), std::string::npos) << file;
}

} // namespace
