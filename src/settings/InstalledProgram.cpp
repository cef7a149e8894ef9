#include "settings/InstalledProgram.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

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

std::string DialogStartFolder(const std::string& programFolder) {
    if (!IsInstalledProgram(programFolder)) return programFolder;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* const user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    return home != nullptr && home[0] == '/' ? std::string(home) : programFolder;
}

} // namespace tabulix
