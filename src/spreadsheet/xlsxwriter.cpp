#include "spreadsheet/xlsxwriter.h"

#include "common/filewrite.h"
#include "common/utf8.h"

#include <pugixml.hpp>
#include <zip.h>

#include <charconv>
#include <map>
#include <sstream>
#include <vector>

namespace calvero {

namespace {

constexpr const char* MainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* RelationshipsNamespace = "http://schemas.openxmlformats.org/package/2006/relationships";

std::string textOf(const pugi::xml_document& document)
{
    std::ostringstream out;
    document.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

pugi::xml_document contentTypes()
{
    pugi::xml_document d;
    auto types = d.append_child("Types");
    types.append_attribute("xmlns") = "http://schemas.openxmlformats.org/package/2006/content-types";
    auto def = types.append_child("Default");
    def.append_attribute("Extension") = "rels";
    def.append_attribute("ContentType") = "application/vnd.openxmlformats-package.relationships+xml";
    auto xml = types.append_child("Default");
    xml.append_attribute("Extension") = "xml";
    xml.append_attribute("ContentType") = "application/xml";
    const std::pair<const char*, const char*> parts[] = {
        {"/xl/workbook.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"},
        {"/xl/worksheets/sheet1.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"}};
    for (const auto& [part, type] : parts) {
        auto o = types.append_child("Override");
        o.append_attribute("PartName") = part;
        o.append_attribute("ContentType") = type;
    }
    return d;
}

pugi::xml_document relationships(const char* target, const char* type)
{
    pugi::xml_document d;
    auto rels = d.append_child("Relationships");
    rels.append_attribute("xmlns") = RelationshipsNamespace;
    auto r = rels.append_child("Relationship");
    r.append_attribute("Id") = "rId1";
    r.append_attribute("Type") = type;
    r.append_attribute("Target") = target;
    return d;
}

pugi::xml_document workbook(const std::string& sheetName)
{
    pugi::xml_document d;
    auto book = d.append_child("workbook");
    book.append_attribute("xmlns") = MainNamespace;
    book.append_attribute("xmlns:r") = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    auto sheet = book.append_child("sheets").append_child("sheet");
    sheet.append_attribute("name") = sheetName.c_str();
    sheet.append_attribute("sheetId") = 1;
    sheet.append_attribute("r:id") = "rId1";
    return d;
}

pugi::xml_document worksheet(const Worksheet& sheet)
{
    pugi::xml_document d;
    auto root = d.append_child("worksheet");
    root.append_attribute("xmlns") = MainNamespace;
    auto data = root.append_child("sheetData");
    std::map<int, pugi::xml_node> rows;
    for (const auto& [address, value] : sheet.cells()) {
        auto& row = rows[address.row];
        if (!row) {
            row = data.append_child("row");
            row.append_attribute("r") = address.row;
        }
        auto cell = row.append_child("c");
        cell.append_attribute("r") = cellName(address).c_str();
        if (const double* number = std::get_if<double>(&value)) {
            char text[32];
            const auto end = std::to_chars(text, text + sizeof text, *number).ptr;
            cell.append_child("v").text() = std::string(text, end).c_str();
        } else if (const std::string* text = std::get_if<std::string>(&value)) {
            cell.append_attribute("t") = "inlineStr";
            cell.append_child("is").append_child("t").text() = validText(*text).c_str();
        }
    }
    return d;
}

} // namespace

std::optional<std::string> xlsxWorkbookBytes(const Worksheet& sheet)
{
    const std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml", textOf(contentTypes())},
        {"_rels/.rels",
         textOf(relationships("xl/workbook.xml",
                              "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"))},
        {"xl/workbook.xml", textOf(workbook(validText(sheet.name())))},
        {"xl/_rels/workbook.xml.rels",
         textOf(relationships("worksheets/sheet1.xml",
                              "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet"))},
        {"xl/worksheets/sheet1.xml", textOf(worksheet(sheet))},
    };
    // The archive is made in memory, then written as a whole like every other file.
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (buffer) zip_source_free(buffer);
        return std::nullopt;
    }
    zip_source_keep(buffer); // it outlives the archive, which gives its bytes to it on closing
    bool added = true;
    for (const auto& [name, text] : parts) {
        zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source) zip_source_free(source);
            added = false;
            break;
        }
    }
    // The archive is written here, from the part texts that are still alive.
    if (!added || zip_close(archive) < 0) {
        zip_discard(archive);
        zip_source_free(buffer);
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) && zip_source_open(buffer) == 0) {
        std::string read(static_cast<std::size_t>(stat.size), '\0');
        if (zip_source_read(buffer, read.data(), read.size()) == static_cast<zip_int64_t>(read.size()))
            bytes = std::move(read);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

Failure saveXlsxWorkbook(const Worksheet& sheet, const std::string& path)
{
    const std::optional<std::string> bytes = xlsxWorkbookBytes(sheet);
    if (!bytes) return std::string("memoria insufficiente per comporre la cartella di lavoro");
    return writeWholeFile(path, *bytes);
}

} // namespace calvero
