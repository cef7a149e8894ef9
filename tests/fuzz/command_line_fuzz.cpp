// Any argument is split without harm, and a dropped file's path, quoted as
// the drop quotes it, comes back whole as the target.
#include "FuzzSupport.h"

#include "settings/CommandLine.h"

#include <cstddef>
#include <cstdint>

using namespace tabulix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CommandLine parsed = ParseCommandLine(bytes);
    if (parsed.fixedRows) fuzz::check(*parsed.fixedRows >= 0, "negative header rows");
    // A path never holds NUL.
    const std::string_view path = bytes.substr(0, bytes.find('\0'));
    if (!path.empty()) {
        const CommandLine dropped = ParseCommandLine(QuoteDroppedPath(path));
        fuzz::check(dropped.target == WithoutTrailingSlashes(path), "dropped path", path);
    }
    return 0;
}
