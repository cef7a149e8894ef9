#include "settings/InstalledProgram.h"

#include <system_error>

namespace tabulix {

namespace fs = std::filesystem;

fs::path InstalledDataFolder(const fs::path& programFolder) {
    // Lexically, so that captions name /usr/share/tabulix, not /usr/bin/../share.
    return (programFolder / "..").lexically_normal() / "share" / "tabulix";
}

bool IsInstalledProgram(const fs::path& programFolder) {
    if (programFolder.empty()) return false;
    std::error_code error;
    return fs::is_directory(InstalledDataFolder(programFolder), error);
}

std::string OwnFilesFolder(const std::string& programFolder) {
    return IsInstalledProgram(programFolder) ? std::string() : programFolder;
}

} // namespace tabulix
