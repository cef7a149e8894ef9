// The xlsx reader: the input's pieces (cut at NUL bytes) are the sheet, the
// shared strings, the styles and the workbook part of a stored zip; the whole
// input is also read as a zip archive of its own.
#include "WorkbookFuzz.h"

#include <cstddef>
#include <cstdint>

using namespace tabulix;

namespace {

const char* const kRootRels =
    "<Relationships><Relationship Id=\"r\" Type=\"x/officeDocument\" Target=\"xl/workbook.xml\"/>"
    "</Relationships>";
const char* const kBookRels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"x/worksheet\" Target=\"/xl/worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rS\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rT\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>";
const char* const kBook =
    "<workbook><workbookPr/><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets></workbook>";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto part = fuzz::pieces(input, 4);
    const std::string zip = fuzz::storedZip({{"_rels/.rels", kRootRels},
                                             {"xl/_rels/workbook.xml.rels", kBookRels},
                                             {"xl/workbook.xml", part[3].empty() ? kBook : part[3]},
                                             {"xl/worksheets/sheet1.xml", part[0]},
                                             {"xl/sharedStrings.xml", part[1]},
                                             {"xl/styles.xml", part[2]}});
    fuzz::checkWorkbook(OpenZipWorkbook(zip, fuzz::kWorkbookLimits));
    fuzz::checkWorkbook(OpenZipWorkbook(input, fuzz::kWorkbookLimits));
    return 0;
}
