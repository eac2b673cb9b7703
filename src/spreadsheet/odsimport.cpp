#include "spreadsheet/odsimport.h"

#include "spreadsheet/spreadsheetxml.h"
#include "common/celltext.h"

#include <algorithm>
#include <array>

namespace calvero {

namespace {

// More than a sheet has rows or columns; a larger repeat is taken as this.
constexpr std::uint64_t MaxRepeat = std::uint64_t{1} << 32;

using RowTexts = std::array<std::string, SpreadsheetColumns>;

std::uint64_t repeatCount(pugi::xml_node node, const char* attribute)
{
    const auto count = countAttribute(node.attribute(attribute).value(), MaxRepeat);
    return count && *count > 0 ? *count : 1;
}

// The text a paragraph shows: its characters, with text:s standing for its
// count of blanks, tabs and line breaks for one character each; notes left out.
void appendParagraph(pugi::xml_node paragraph, std::string& text)
{
    walkBelow(paragraph, [&text](pugi::xml_node node) {
        if (text.size() > 4 * CellTextLength) return false; // enough for the cell's 130 characters
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            text += node.value();
            return false;
        }
        const std::string_view name = localName(node.name());
        if (name == "s") {
            text.append(static_cast<std::size_t>(std::min<std::uint64_t>(repeatCount(node, "text:c"), CellTextLength)), ' ');
        } else if (name == "tab") {
            text += '\t';
        } else if (name == "line-break") {
            text += ' ';
        }
        return name != "note" && name != "annotation";
    });
}

std::string cellText(pugi::xml_node cell)
{
    const std::string_view type = cell.attribute("office:value-type").value();
    // A formula that fails keeps a number 0 beside the error text it shows.
    const bool failed = std::string_view(cell.attribute("calcext:value-type").value()) == "error";
    if (!failed && (type == "float" || type == "percentage" || type == "currency"))
        if (auto value = xmlNumber(cell.attribute("office:value").value())) return spreadsheetNumberText(*value);
    std::string text;
    for (pugi::xml_node paragraph : cell.children()) {
        if (localName(paragraph.name()) != "p") continue;
        if (!text.empty()) text += ' ';
        appendParagraph(paragraph, text);
    }
    return text;
}

// Columns A to C of a row; later cells are not looked at.
RowTexts rowTexts(pugi::xml_node row)
{
    RowTexts texts;
    std::uint64_t column = 1;
    for (pugi::xml_node cell : row.children()) {
        if (column > SpreadsheetColumns) break;
        const std::string_view name = localName(cell.name());
        if (name != "table-cell" && name != "covered-table-cell") continue;
        const std::uint64_t repeat = repeatCount(cell, "table:number-columns-repeated");
        const std::string text = cellText(cell);
        for (std::uint64_t c = column; c < column + repeat && c <= SpreadsheetColumns; ++c) texts[c - 1] = text;
        column += repeat;
    }
    return texts;
}

bool isRowGroup(std::string_view name)
{
    return name == "table-header-rows" || name == "table-row-group" || name == "table-rows";
}

} // namespace

std::optional<SpreadsheetBlock> readOdsBlock(const ZipReader& archive)
{
    pugi::xml_document content;
    const auto bytes = archive.entry("content.xml");
    if (!bytes || !parseXml(content, *bytes)) return std::nullopt;
    const pugi::xml_node spreadsheet = childNamed(childNamed(content.document_element(), "body"), "spreadsheet");
    if (!spreadsheet) return std::nullopt;

    SpreadsheetBlock block;
    std::uint64_t row = 1;
    walkBelow(childNamed(spreadsheet, "table"), [&](pugi::xml_node node) {
        const std::string_view name = localName(node.name());
        if (name != "table-row") return isRowGroup(name);
        const std::uint64_t repeat = repeatCount(node, "table:number-rows-repeated");
        if (row <= SpreadsheetRows) {
            const RowTexts texts = rowTexts(node);
            for (std::uint64_t r = row; r < row + repeat && r <= SpreadsheetRows; ++r)
                for (int c = 1; c <= SpreadsheetColumns; ++c) putBlockCell(block, r, c, texts[c - 1]);
        }
        row = std::min(row + repeat, MaxRepeat);
        return false;
    });
    return block;
}

} // namespace calvero
