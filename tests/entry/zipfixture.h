#pragma once
// Small .xlsx and .ods workbooks for the import tests, written with libzip
// from the parts the spreadsheet applications write.
#include <zip.h>

#include <string>
#include <utility>
#include <vector>

namespace calvero::testing {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// Writes the entries into a new archive, deflated but for an OpenDocument
// "mimetype", which is stored. True when it was written.
inline bool writeZip(const std::string& path, const ZipEntries& entries)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) return false;
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = source != nullptr ? zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        if (name == "mimetype") zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    return zip_close(archive) == 0;
}

// An .xlsx package around a first sheet's rows (the <sheetData> content),
// its shared strings (the <si> items) and its cell formats (the <xf> items of
// cellXfs, with numFmt items before them). The first sheet is the part
// sheet2.xml: the workbook's order of sheets decides, not the parts' names.
inline ZipEntries xlsxEntries(const std::string& rows, const std::string& strings = "",
                              const std::string& formats = "<xf numFmtId=\"0\"/>", const std::string& numFmts = "")
{
    const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const std::string header = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    return {
        {"[Content_Types].xml",
         header + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                  "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                  "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                  "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                  "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                  "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
                  "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                  "</Types>"},
        {"_rels/.rels", header + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                 "<Relationship Id=\"rId1\" Type=\"" + rel + "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                                 "</Relationships>"},
        {"xl/workbook.xml", header + "<workbook " + ns + " xmlns:r=\"" + rel + "\"><sheets>"
                                     "<sheet name=\"Punti\" sheetId=\"2\" r:id=\"rId2\"/>"
                                     "<sheet name=\"Altro\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         header + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                  "<Relationship Id=\"rId2\" Type=\"" + rel + "/worksheet\" Target=\"/xl/worksheets/sheet2.xml\"/>"
                  "<Relationship Id=\"rId3\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                  "<Relationship Id=\"rId4\" Type=\"" + rel + "/styles\" Target=\"./styles.xml\"/>"
                  "</Relationships>"},
        {"xl/worksheets/sheet1.xml", header + "<worksheet " + ns + "><sheetData><row r=\"1\"><c r=\"A1\"><v>999</v></c></row>"
                                              "</sheetData></worksheet>"},
        {"xl/worksheets/sheet2.xml", header + "<worksheet " + ns + "><sheetData>" + rows + "</sheetData></worksheet>"},
        {"xl/sharedStrings.xml", header + "<sst " + ns + ">" + strings + "</sst>"},
        {"xl/styles.xml", header + "<styleSheet " + ns + "><numFmts>" + numFmts + "</numFmts><cellXfs>" + formats +
                              "</cellXfs></styleSheet>"},
    };
}

// An .ods package around the rows of its first table (the content of
// <table:table>); a second table follows it.
inline ZipEntries odsEntries(const std::string& rows)
{
    const std::string header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    return {
        {"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
        {"META-INF/manifest.xml",
         header + "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">"
                  "<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
                  "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
                  "</manifest:manifest>"},
        {"content.xml",
         header + "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                  " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
                  " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
                  " xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" office:version=\"1.2\">"
                  "<office:body><office:spreadsheet><table:table table:name=\"Foglio1\">"
                  "<table:table-column table:number-columns-repeated=\"3\"/>" + rows +
                  "</table:table><table:table table:name=\"Foglio2\"><table:table-row><table:table-cell"
                  " office:value-type=\"float\" office:value=\"999\"><text:p>999</text:p></table:table-cell>"
                  "</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>"},
    };
}

} // namespace calvero::testing
