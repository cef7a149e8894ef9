#pragma once

#include <filesystem>
#include <string>

namespace tabulix {

// The data folder of an installed program: share/tabulix beside the
// program's bin folder (<prefix>/bin and <prefix>/share/tabulix).
std::filesystem::path InstalledDataFolder(const std::filesystem::path& programFolder);

// True when that data folder exists. An installed program's folder is shared
// by every user (and writable to root), so it never holds a user's files.
bool IsInstalledProgram(const std::filesystem::path& programFolder);

// The program's folder as a place for files of its own (settings, pages for
// the web browser): the folder itself, or empty when the program is installed.
std::string OwnFilesFolder(const std::string& programFolder);

// Where a file dialog starts when it remembers no file: the program's folder,
// or the user's home folder ($HOME) when the program is installed.
std::string DialogStartFolder(const std::string& programFolder);

} // namespace tabulix
