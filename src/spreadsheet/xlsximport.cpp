#include "spreadsheet/xlsximport.h"

#include "spreadsheet/spreadsheetdate.h"
#include "spreadsheet/spreadsheetxml.h"
#include "common/numtext.h"
#include "common/celltext.h"

#include <cctype>
#include <map>
#include <vector>

namespace calvero {

namespace {

constexpr std::uint64_t MaxSheetRow = 1u << 20;
constexpr std::uint64_t MaxSheetColumn = 1u << 14;

// --- the package's parts and their relationships ---------------------------

struct Relationship {
    std::string type;
    std::string target; // the part's name within the archive
};
using Relationships = std::map<std::string, Relationship>;

std::string folderOf(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A target relative to the folder (or absolute from the package's root),
// with "." and ".." taken out.
std::string resolvePart(const std::string& folder, std::string_view target)
{
    const std::string joined = target.starts_with('/') ? std::string(target.substr(1)) : folder + std::string(target);
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        const std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string part;
    for (const std::string& segment : segments) part += (part.empty() ? "" : "/") + segment;
    return part;
}

std::optional<Relationships> readRelationships(const ZipReader& archive, const std::string& part)
{
    const std::string folder = folderOf(part);
    const auto bytes = archive.entry(folder + "_rels/" + part.substr(folder.size()) + ".rels");
    pugi::xml_document document;
    if (!bytes || !parseXml(document, *bytes)) return std::nullopt;
    Relationships relationships;
    for (pugi::xml_node node : document.document_element().children()) {
        if (localName(node.name()) != "Relationship") continue;
        if (std::string_view(node.attribute("TargetMode").value()) == "External") continue;
        relationships[node.attribute("Id").value()] = {node.attribute("Type").value(),
                                                       resolvePart(folder, node.attribute("Target").value())};
    }
    return relationships;
}

const Relationship* relationshipOfType(const Relationships& relationships, std::string_view typeEnd)
{
    for (const auto& [id, relationship] : relationships)
        if (relationship.type.ends_with(typeEnd)) return &relationship;
    return nullptr;
}

// A part the workbook may name (shared strings, styles): false when it is
// named and cannot be read; the document stays empty when it is not named.
bool readOptionalPart(const ZipReader& archive, const Relationships& relationships, std::string_view typeEnd,
                      pugi::xml_document& document)
{
    const Relationship* relationship = relationshipOfType(relationships, typeEnd);
    if (relationship == nullptr) return true;
    const auto bytes = archive.entry(relationship->target);
    return bytes && parseXml(document, *bytes);
}

// --- cell contents -----------------------------------------------------------

// The text of a shared or inline string: its runs, without phonetic guides.
std::string richText(pugi::xml_node item)
{
    std::string text;
    for (pugi::xml_node child : item.children()) {
        const std::string_view name = localName(child.name());
        if (name == "t")
            text += child.child_value();
        else if (name == "r")
            text += childNamed(child, "t").child_value();
        if (text.size() > 4 * CellTextLength) break; // enough for the cell's 130 characters
    }
    return firstCharacters(text, CellTextLength);
}

struct NumberFormat {
    int id = 0;
    std::string code; // empty for a built-in format
};

struct WorkbookContext {
    std::vector<std::string> sharedStrings;
    std::vector<NumberFormat> cellFormats; // by the cell's style index
    bool from1904 = false;
};

std::vector<std::string> readSharedStrings(const pugi::xml_document& document)
{
    std::vector<std::string> strings;
    for (pugi::xml_node item : document.document_element().children())
        if (localName(item.name()) == "si") strings.push_back(richText(item));
    return strings;
}

std::vector<NumberFormat> readCellFormats(const pugi::xml_document& document)
{
    const pugi::xml_node styles = document.document_element();
    std::map<std::uint64_t, std::string> codes;
    for (pugi::xml_node format : childNamed(styles, "numFmts").children()) {
        if (localName(format.name()) != "numFmt") continue;
        if (auto id = countAttribute(format.attribute("numFmtId").value(), 0xFFFF))
            codes[*id] = format.attribute("formatCode").value();
    }
    std::vector<NumberFormat> formats;
    for (pugi::xml_node xf : childNamed(styles, "cellXfs").children()) {
        if (localName(xf.name()) != "xf") continue;
        NumberFormat format;
        if (auto id = countAttribute(xf.attribute("numFmtId").value(), 0xFFFF)) {
            format.id = static_cast<int>(*id);
            if (auto code = codes.find(*id); code != codes.end()) format.code = code->second;
        }
        formats.push_back(std::move(format));
    }
    return formats;
}

std::string numberCellText(std::string_view stored, pugi::xml_node cell, const WorkbookContext& context)
{
    const std::optional<double> value = xmlNumber(stored);
    if (!value) return std::string(stored);
    if (auto style = countAttribute(cell.attribute("s").value(), MaxSheetRow); style && *style < context.cellFormats.size()) {
        const NumberFormat& format = context.cellFormats[*style];
        if (auto date = serialDateText(*value, format.id, format.code, context.from1904)) return *date;
    }
    return spreadsheetNumberText(*value);
}

std::string cellText(pugi::xml_node cell, const WorkbookContext& context)
{
    const std::string_view type = cell.attribute("t").value();
    const std::string_view stored = childNamed(cell, "v").child_value();
    if (type == "s") {
        const auto index = countAttribute(stored, MaxSheetRow * MaxSheetColumn);
        return index && *index < context.sharedStrings.size() ? context.sharedStrings[*index] : std::string();
    }
    if (type == "inlineStr") return richText(childNamed(cell, "is"));
    if (type == "b") return stored.empty() ? std::string() : stored == "0" ? "FALSO" : "VERO";
    if (type == "str" || type == "e" || type == "d") return std::string(stored);
    if (stored.empty()) return {};
    return numberCellText(stored, cell, context);
}

// The column of a cell name ("C12" -> 3); nothing when it does not start with letters.
std::optional<std::uint64_t> columnOfCellName(std::string_view name)
{
    std::uint64_t column = 0;
    std::size_t i = 0;
    for (; i < name.size() && std::isalpha(static_cast<unsigned char>(name[i])); ++i)
        column = std::min<std::uint64_t>(column * 26 + (std::toupper(static_cast<unsigned char>(name[i])) - 'A' + 1), MaxSheetColumn + 1);
    if (i == 0) return std::nullopt;
    return column;
}

void readSheetData(pugi::xml_node sheetData, const WorkbookContext& context, SpreadsheetBlock& block)
{
    std::uint64_t row = 0;
    for (pugi::xml_node rowNode : sheetData.children()) {
        if (localName(rowNode.name()) != "row") continue;
        row = countAttribute(rowNode.attribute("r").value(), MaxSheetRow).value_or(row + 1);
        if (row > SpreadsheetRows) continue;
        std::uint64_t column = 0;
        for (pugi::xml_node cell : rowNode.children()) {
            if (localName(cell.name()) != "c") continue;
            column = columnOfCellName(cell.attribute("r").value()).value_or(column + 1);
            if (column <= SpreadsheetColumns) putBlockCell(block, row, column, cellText(cell, context));
        }
    }
}

bool isTrue(std::string_view flag) { return flag == "1" || flag == "true"; }

} // namespace

std::optional<SpreadsheetBlock> readXlsxBlock(const ZipReader& archive)
{
    std::string workbookPart = "xl/workbook.xml";
    if (const auto packageRelationships = readRelationships(archive, ""))
        if (const Relationship* office = relationshipOfType(*packageRelationships, "/officeDocument"))
            workbookPart = office->target;

    pugi::xml_document workbook;
    const auto workbookBytes = archive.entry(workbookPart);
    if (!workbookBytes || !parseXml(workbook, *workbookBytes)) return std::nullopt;
    const pugi::xml_node root = workbook.document_element();
    if (localName(root.name()) != "workbook") return std::nullopt;
    const pugi::xml_node firstSheet = childNamed(childNamed(root, "sheets"), "sheet");
    const auto relationships = readRelationships(archive, workbookPart);
    if (!firstSheet || !relationships) return std::nullopt;
    const auto sheetRelationship = relationships->find(attributeNamed(firstSheet, "id").value());
    if (sheetRelationship == relationships->end()) return std::nullopt;

    WorkbookContext context;
    context.from1904 = isTrue(childNamed(root, "workbookPr").attribute("date1904").value());
    pugi::xml_document strings;
    pugi::xml_document styles;
    if (!readOptionalPart(archive, *relationships, "/sharedStrings", strings) ||
        !readOptionalPart(archive, *relationships, "/styles", styles))
        return std::nullopt;
    context.sharedStrings = readSharedStrings(strings);
    context.cellFormats = readCellFormats(styles);

    pugi::xml_document sheet;
    const auto sheetBytes = archive.entry(sheetRelationship->second.target);
    if (!sheetBytes || !parseXml(sheet, *sheetBytes)) return std::nullopt;
    SpreadsheetBlock block;
    readSheetData(childNamed(sheet.document_element(), "sheetData"), context, block);
    return block;
}

} // namespace calvero
