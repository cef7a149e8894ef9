// Any settings file is read without harm; what is written from it reads back
// to the same settings, and writing is stable from then on.
#include "FuzzSupport.h"

#include "settings/SettingsFile.h"

#include <cstddef>
#include <cstdint>

using namespace tabulix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Settings first;
    ReadSettingsText(std::string_view(reinterpret_cast<const char*>(data), size), first);
    LimitWindowSize(first, 1600, 960);
    const std::string written = SettingsText(first);
    Settings second;
    ReadSettingsText(written, second);
    fuzz::check(SettingsText(second) == written, "settings written twice differ", written);
    fuzz::check(second.windowWidth <= 1600 && second.windowHeight <= 960, "window size limit");
    return 0;
}
