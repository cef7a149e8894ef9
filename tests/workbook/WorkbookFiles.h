#pragma once

// Workbooks made by the tests: zip files written with libzip from parts
// given as text, and the parts of a small xlsx.
#include <zip.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tabulix {

using ZipParts = std::vector<std::pair<std::string, std::string>>;

// Writes the parts as a zip (deflated unless `stored`); false on failure.
inline bool writeZip(const std::filesystem::path& path, const ZipParts& parts, bool stored = false) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) return false;
    for (const auto& [name, text] : parts) {
        zip_source_t* source = zip_source_buffer(zip, text.data(), text.size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(zip);
            return false;
        }
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index),
                                 stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
    }
    return zip_close(zip) == 0;
}

// One worksheet: its name and the XML inside <sheetData>.
struct XlsxSheet {
    std::string name;
    std::string rows;
    std::string after = {}; // what follows <sheetData> (merged cells ...)
};

// The parts of an xlsx with these sheets, shared strings (the XML inside
// <sst>, none when empty) and cell formats (the XML inside <styleSheet>).
inline ZipParts xlsxParts(const std::vector<XlsxSheet>& sheets, const std::string& sharedStrings = {},
                          const std::string& styles = {}, const std::string& workbookPr = {}) {
    const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    ZipParts parts;
    parts.emplace_back("_rels/.rels",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"" + rel + "officeDocument\" "
                       "Target=\"xl/workbook.xml\"/></Relationships>");
    std::string book = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook " + ns + ">" + workbookPr + "<sheets>";
    std::string rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        book += "<sheet name=\"" + sheets[i].name + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rel + "worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        parts.emplace_back("xl/worksheets/sheet" + n + ".xml",
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet " + ns + "><sheetData>" +
                               sheets[i].rows + "</sheetData>" + sheets[i].after + "</worksheet>");
    }
    book += "</sheets></workbook>";
    if (!sharedStrings.empty()) {
        rels += "<Relationship Id=\"rS\" Type=\"" + rel + "sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts.emplace_back("xl/sharedStrings.xml",
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst " + ns + ">" + sharedStrings + "</sst>");
    }
    if (!styles.empty()) {
        rels += "<Relationship Id=\"rT\" Type=\"" + rel + "styles\" Target=\"/xl/styles.xml\"/>";
        parts.emplace_back("xl/styles.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet " + ns +
                                                ">" + styles + "</styleSheet>");
    }
    rels += "</Relationships>";
    parts.emplace_back("xl/workbook.xml", book);
    parts.emplace_back("xl/_rels/workbook.xml.rels", rels);
    return parts;
}

// The parts of an ods whose content.xml holds these tables (the XML inside
// <office:spreadsheet>).
inline ZipParts odsParts(const std::string& tables) {
    return {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
            {"content.xml",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
             "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
             "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
             "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
             "<office:spreadsheet>" + tables + "</office:spreadsheet></office:body></office:document-content>"}};
}

} // namespace tabulix
