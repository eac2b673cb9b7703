// The summary table's writers on arbitrary file names and messages. The input
// is cut at \x01 bytes into rows; in each, a \x02 parts the file's name from
// its outcome, and the row's first byte chooses a fitted, refused or
// unreadable row, with or without a parameter (a fitted row takes its figures
// from the name's bytes, NaN and infinities included). Whatever the bytes:
// the JSON parses with nlohmann's strict parser and holds every row's texts
// as validText makes them; the CSV is valid UTF-8 with a record per row; every
// XML part of the .xlsx workbook parses with expat, a strict XML 1.0 parser,
// and its sheet has a row per row; the .xls workbook is made.
#include "batch/batchsummary.h"
#include "common/utf8.h"
#include "spreadsheet/workbookwriter.h"
#include "spreadsheet/xlsxwriter.h"
#include "spreadsheet/zipreader.h"
#include "fuzz_support.h"

#include <expat.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <limits>
#include <string_view>

using namespace calvero;
using namespace calvero::fuzzing;

namespace {

double figureFrom(std::string_view bytes, std::size_t at)
{
    unsigned char raw[sizeof(double)] = {};
    for (std::size_t i = 0; i < sizeof raw && at + i < bytes.size(); ++i) raw[i] = static_cast<unsigned char>(bytes[at + i]);
    double value;
    std::memcpy(&value, raw, sizeof value);
    return value;
}

SummaryRow rowFrom(std::string_view piece)
{
    const unsigned char choice = piece.empty() ? 0 : static_cast<unsigned char>(piece.front());
    const std::size_t cut = piece.find('\x02');
    SummaryRow row;
    row.file = "f" + std::string(piece.substr(0, cut)); // a file always has a name
    if (cut != std::string_view::npos) row.outcome = std::string(piece.substr(cut + 1));
    if (choice & 0x04) row.parameter = figureFrom(piece, 1);
    switch (choice % 3) {
    case 0: {
        SummaryFit fit;
        fit.kind = static_cast<FitType>(1 + choice % 8);
        fit.degree = choice % 10;
        fit.points = static_cast<int>(piece.size());
        for (std::size_t k = 0; k < 1u + choice % 10; ++k)
            fit.coefficients.push_back({"a" + std::to_string(k), figureFrom(piece, 2 + k)});
        fit.standardError = figureFrom(piece, 3);
        if (choice & 0x08) fit.adjustedRSquared = figureFrom(piece, 5);
        fit.largestPercentError = figureFrom(piece, 7);
        row.fit = fit;
        break;
    }
    case 1: break; // refused: the outcome says why
    default: row.unreadable = true;
    }
    return row;
}

std::vector<SummaryRow> rowsFrom(std::string_view input)
{
    std::vector<SummaryRow> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = input.find('\x01', start)) != std::string_view::npos; start = end + 1)
        rows.push_back(rowFrom(input.substr(start, end - start)));
    rows.push_back(rowFrom(input.substr(start)));
    return rows;
}

void checkJson(const std::vector<SummaryRow>& rows)
{
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(summaryJson(rows));
    } catch (const nlohmann::json::exception& error) {
        require(false, std::string("the JSON does not parse: ") + error.what());
    }
    const nlohmann::json& files = document.at("files");
    require(files.size() == rows.size(), "the JSON lost rows");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        require(files[i].at("file") == validText(rows[i].file), "a file name in the JSON is not its valid text");
        require(files[i].at("outcome") == validText(rows[i].outcome), "an outcome in the JSON is not its valid text");
    }
}

// Records end at CR LF outside quotes.
void checkCsv(const std::vector<SummaryRow>& rows, bool withParameter)
{
    const std::string csv = summaryCsv(rows, withParameter);
    require(validText(csv) == csv, "the CSV is no valid UTF-8 or holds a control character");
    std::size_t records = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        if (csv[i] == '"') quoted = !quoted;
        if (!quoted && csv[i] == '\r') {
            require(i + 1 < csv.size() && csv[i + 1] == '\n', "a lone carriage return between records");
            ++records;
        }
        if (!quoted && csv[i] == '\n') require(i > 0 && csv[i - 1] == '\r', "a lone line feed between records");
    }
    require(!quoted, "an unclosed quote");
    require(records == rows.size() + 1, "the CSV does not have a record per row");
}

// Parses one XML part strictly, counting its <row> elements.
std::size_t xmlRows(const std::string& part, const std::string& name)
{
    XML_Parser parser = XML_ParserCreate("UTF-8");
    std::size_t count = 0;
    XML_SetUserData(parser, &count);
    XML_SetStartElementHandler(parser, [](void* data, const XML_Char* element, const XML_Char**) {
        if (std::strcmp(element, "row") == 0) ++*static_cast<std::size_t*>(data);
    });
    const bool parsed = XML_Parse(parser, part.data(), static_cast<int>(part.size()), 1) == XML_STATUS_OK;
    const std::string why = parsed ? "" : XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    require(parsed, name + " is not well-formed XML: " + why);
    return count;
}

void checkWorkbooks(const std::vector<SummaryRow>& rows, bool withParameter)
{
    const Worksheet sheet = summarySheet(rows, withParameter);
    const std::optional<std::string> xlsx = xlsxWorkbookBytes(sheet);
    require(xlsx.has_value(), "no .xlsx workbook was made");
    const auto archive = ZipReader::openBytes(xlsx->data(), xlsx->size());
    require(archive.has_value(), "the .xlsx workbook is no zip archive");
    for (const char* name : {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels"}) {
        const auto part = archive->entry(name);
        require(part.has_value(), std::string("the .xlsx workbook lacks ") + name);
        xmlRows(*part, name);
    }
    const auto sheetPart = archive->entry("xl/worksheets/sheet1.xml");
    require(sheetPart.has_value(), "the .xlsx workbook lacks its sheet");
    require(xmlRows(*sheetPart, "the sheet") == rows.size() + 1, "the .xlsx sheet does not have a row per row");

    try {
        require(!workbookFile(sheet).empty(), "an empty .xls workbook");
    } catch (const WorkbookError&) {
        // Only a text beyond the format's 32767 characters is refused, and
        // no input reaches that length.
        require(false, "the .xls workbook was refused");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 20000) return 0; // a cell of the .xls workbook holds 32767 characters at most
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<SummaryRow> rows = rowsFrom(input);
    const bool withParameter = size > 0 && (data[0] & 0x10) != 0;
    checkJson(rows);
    checkCsv(rows, withParameter);
    checkWorkbooks(rows, withParameter);
    return 0;
}
