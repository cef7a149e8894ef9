#pragma once

#include "settings/Settings.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tabulix {

// The settings file: one "name=value" line per setting, CR LF line ends,
// UTF-8 without a byte-order mark.
inline constexpr std::string_view kSettingsFileName = "TabulixOpt2.Dat";

// Longest line, in characters with its CR LF. Longer lines are ignored when
// reading and never written.
inline constexpr std::size_t kMaxSettingsLineChars = 10000;

// The value when the line names `name`: the text before the line's first "="
// equals the name without regard to ASCII letter case (a blank before the
// name or the "=" makes it another name). The value is the text after that
// "=" without surrounding blanks and control characters.
std::optional<std::string> ReadKeyValue(std::string_view line, std::string_view name);
// The value as a decimal integer; nothing also when it is not one.
std::optional<int> ReadKeyInteger(std::string_view line, std::string_view name);
// True exactly when the value is "True" in any letter case; nothing when the
// line does not name `name`.
std::optional<bool> ReadKeyBoolean(std::string_view line, std::string_view name);

// A decimal integer with an optional sign that fits an int; nothing else.
std::optional<int> ParseInteger(std::string_view text);

// Reads the lines of a settings text into `settings`: known names set their
// setting, anything unusable leaves it as it is. A later line of the same
// name wins.
void ReadSettingsText(std::string_view text, Settings& settings);
// The whole file text: the main settings in their fixed order, the search
// history from "FindWord0" up to its first empty entry, then the print
// settings "GP_" and "GPB_". Control characters are left out of values.
std::string SettingsText(const Settings& settings);

// The defaults, overridden by what the file holds when it can be read.
Settings LoadSettings(const std::filesystem::path& file);
// Replaces the file through a temporary one beside it, creating its folder
// when needed. False, with the reason, when it could not be written; the old
// file then stays as it was.
bool SaveSettings(const Settings& settings, const std::filesystem::path& file,
                  std::string* reason = nullptr);

// What decides where the settings file lives.
struct SettingsPlaces {
    std::string overrideFolder; // TABULIX_SETTINGS_DIR, empty when unset
    std::filesystem::path programFolder;
    bool programFolderWritable = false;
    // Installed as <prefix>/bin beside <prefix>/share/tabulix: the program's
    // folder is shared (and writable to root), so it never holds settings.
    bool programInstalled = false;
    std::string xdgConfigHome; // XDG_CONFIG_HOME, empty when unset
    std::string home;
};

// The places of this process (environment, /proc/self/exe).
SettingsPlaces CurrentSettingsPlaces();
// The override when given; else the program's folder when writable and not
// an installed program's; else
// "tabulix" under XDG_CONFIG_HOME (used only when absolute) or ~/.config.
std::filesystem::path ChooseSettingsFolder(const SettingsPlaces& places);
// The settings file of this process.
std::filesystem::path SettingsFilePath();

// Item counts of the lists whose indexes the file stores.
inline constexpr int kFixedKetaItems = 100;
inline constexpr int kFixedRowsItems = 11;
inline constexpr int kKomRowItems = 11;
inline constexpr int kLimColLenItems = 39;
inline constexpr int kFoldItems = 31;
inline constexpr int kCrNextItems = 5;
inline constexpr int kBunriItems = 23;
inline constexpr int kMojiItems = 5;
inline constexpr int kZoneSignItems = 2;
inline constexpr int kVertKomKetaItems = 100;

// `index` when it names an item of a list of `count` items, else `fallback`.
constexpr int IndexWithin(int index, int count, int fallback) {
    return index >= 0 && index < count ? index : fallback;
}

// Brings stored indexes into their lists as the window applies them: the
// separator falls back to item 0, the width limit to item 6, the others to
// their defaults. The fixed column is kept: its list is filled by each load.
void NormaliseIndexes(Settings& settings);

// Keeps the stored window size within the available screen area (a stored
// 100000 x 100000 would make every start allocate gigabytes for the window):
// a width or height beyond it becomes the area's. Applied before the window
// takes the rectangle, so that the limited rectangle is also what is saved.
void LimitWindowSize(Settings& settings, int availableWidth, int availableHeight);

} // namespace tabulix
