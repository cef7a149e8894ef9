// The ods reader: the input's pieces (cut at NUL bytes) are content.xml and
// the manifest of a stored zip.
#include "WorkbookFuzz.h"

#include <cstddef>
#include <cstdint>

using namespace tabulix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto part = fuzz::pieces(input, 2);
    const std::string zip =
        fuzz::storedZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                         {"content.xml", part[0]},
                         {"META-INF/manifest.xml", part[1]}});
    fuzz::checkWorkbook(OpenZipWorkbook(zip, fuzz::kWorkbookLimits));
    return 0;
}
