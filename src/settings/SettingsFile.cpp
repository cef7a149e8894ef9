#include "settings/SettingsFile.h"

#include "settings/InstalledProgram.h"
#include "table/WidthRule.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace tabulix {

namespace fs = std::filesystem;

namespace {

// Line content without its CR LF.
constexpr std::size_t kMaxContentChars = kMaxSettingsLineChars - 2;

bool isBlankOrControl(unsigned char c) {
    return c <= 0x20 || c == 0x7F;
}

std::string_view trimValue(std::string_view text) {
    while (!text.empty() && isBlankOrControl(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// Characters are code points: every byte that does not continue a UTF-8
// sequence starts one.
std::size_t countChars(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// Control characters would break the line structure (CR, LF) or hide in it.
std::string withoutControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7F) out.push_back(c);
    }
    return out;
}

// ---------------------------------------------------------------------------
// The keys of the file: each reads its trimmed value into the settings and
// gives the value text to write.

struct Key {
    std::string name;
    std::function<void(Settings&, std::string_view)> read;
    std::function<std::string(const Settings&)> write;
};

void readValue(std::string_view value, int& out) {
    if (const auto n = ParseInteger(value)) out = *n;
}
// Written as 1 or 0; any value other than 0 (another number, a word, an
// empty value) counts as true.
void readValue(std::string_view value, bool& out) {
    const auto n = ParseInteger(value);
    out = !n || *n != 0;
}
void readValue(std::string_view value, std::string& out) {
    out = value;
}

std::string valueText(int value) {
    return std::to_string(value);
}
std::string valueText(bool value) {
    return value ? "1" : "0";
}
std::string valueText(const std::string& value) {
    return value;
}

// `field` maps a (const or not) Settings to the setting's reference.
template <class Field> Key makeKey(std::string name, Field field) {
    return {std::move(name),
            [field](Settings& s, std::string_view value) { readValue(value, field(s)); },
            [field](const Settings& s) { return valueText(field(s)); }};
}

template <class T> Key key(std::string name, T Settings::*member) {
    return makeKey(
        std::move(name), [member](auto& s) -> auto& { return s.*member; });
}

// "top,left,width,height": exactly four integers, or nothing usable.
std::optional<std::array<int, 4>> parseRectangle(std::string_view value) {
    std::array<int, 4> numbers{};
    std::size_t count = 0;
    for (;;) {
        const std::size_t comma = value.find(',');
        const auto n = ParseInteger(trimValue(value.substr(0, comma)));
        if (!n || count == numbers.size()) return std::nullopt;
        numbers[count++] = *n;
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    if (count != numbers.size()) return std::nullopt;
    return numbers;
}

Key windowKey() {
    return {"Orm_Tabulix",
            [](Settings& s, std::string_view value) {
                if (const auto r = parseRectangle(value)) {
                    s.windowTop = (*r)[0];
                    s.windowLeft = (*r)[1];
                    s.windowWidth = (*r)[2];
                    s.windowHeight = (*r)[3];
                }
            },
            [](const Settings& s) {
                return std::to_string(s.windowTop) + "," + std::to_string(s.windowLeft) + "," +
                       std::to_string(s.windowWidth) + "," + std::to_string(s.windowHeight);
            }};
}

std::vector<Key> buildMainKeys() {
    using S = Settings;
    return {
        windowKey(),
        key("Path_EditFile", &S::pathEditFile),
        key("Path_ExcelFile", &S::pathExcelFile),
        key("Path_SelectFile", &S::pathSelectFile),
        key("Path_InsertFile", &S::pathInsertFile),
        key("WinSta", &S::winSta),
        key("FixedCenter", &S::fixedCenter),
        key("DataCenter", &S::dataCenter),
        key("TrimSpace", &S::trimSpace),
        key("DateEdit", &S::dateEdit),
        key("BreakColor", &S::breakColor),
        key("KaraGyoColor", &S::karaGyoColor),
        key("KaraGyoBlack", &S::karaGyoBlack),
        key("ConfPaste", &S::confPaste),
        key("ConfClear", &S::confClear),
        key("ConfInsert", &S::confInsert),
        key("ConfCopy", &S::confCopy),
        key("ConfMove", &S::confMove),
        key("ConfDelete", &S::confDelete),
        key("FixedRowSEQ", &S::fixedRowSEQ),
        key("Cmb_FixedKeta", &S::cmbFixedKeta),
        key("Cmb_FixedCol", &S::cmbFixedCol),
        key("Cmb_FixedRows", &S::cmbFixedRows),
        key("Cmb_KomRow", &S::cmbKomRow),
        key("Cmb_LimColLen", &S::cmbLimColLen),
        key("Cmb_Fold", &S::cmbFold),
        key("Cmb_CrNext", &S::cmbCrNext),
        key("Cmb_Bunri", &S::cmbBunri),
        key("Cmb_Moji", &S::cmbMoji),
        key("Cmb_ZoneSign", &S::cmbZoneSign),
        key("Cmb_VertKomKeta", &S::cmbVertKomKeta),
    };
}

template <class T>
Key printKey(std::string name, PrintSettings Settings::*record, T PrintSettings::*member) {
    // A reference into the record, const when the settings are.
    const auto field = [record, member](auto& s) -> decltype(auto) {
        return ((s.*record).*member);
    };
    return makeKey(std::move(name), field);
}

void addPrintKeys(std::vector<Key>& keys, std::string_view prefix,
                  PrintSettings Settings::*record) {
    const auto add = [&](std::string_view suffix, auto member) {
        keys.push_back(printKey(std::string(prefix).append(suffix), record, member));
    };
    using P = PrintSettings;
    add("CellScale", &P::cellScale);
    add("Cmb_Color", &P::cmbColor);
    add("Cmb_CellWay", &P::cmbCellWay);
    add("Cmb_Cal_Font", &P::cmbCalFont);
    add("Cmb_Cal_RateH", &P::cmbCalRateH);
    add("Cmb_Cal_RateW", &P::cmbCalRateW);
    add("Cmb_Cal_Time", &P::cmbCalTime);
    add("Cmb_Cal_DateOnly", &P::cmbCalDateOnly);
    add("Cmb_Gray", &P::cmbGray);
    add("Cmb_Gray3", &P::cmbGray3);
    add("Cmb_LineKind", &P::cmbLineKind);
    add("Cmb_MgnUp", &P::cmbMgnUp);
    add("Cmb_MgnLeft", &P::cmbMgnLeft);
    add("Cmb_Scale", &P::cmbScale);
    add("Cmb_ResetScl", &P::cmbResetScl);
    add("PrinterIndex", &P::printerIndex);
    add("Prt_Orient", &P::prtOrient);
    add("Prt_Paper", &P::prtPaper);
    add("SavePath", &P::savePath);
    add("HtmlPath", &P::htmlPath);
    add("FixedCenter", &P::fixedCenter);
    add("DataCenter", &P::dataCenter);
    add("TrimSpace", &P::trimSpace);
    add("DateEdit", &P::dateEdit);
    add("BreakColor", &P::breakColor);
    add("KaraGyoColor", &P::karaGyoColor);
    add("KaraGyoBlack", &P::karaGyoBlack);
    add("PrintRowNo", &P::printRowNo);
    add("PrintColNo", &P::printColNo);
    add("PrintFileName", &P::printFileName);
    add("PrintPathName", &P::printPathName);
    add("PrintDate", &P::printDate);
    add("PrintPage", &P::printPage);
}

std::vector<Key> buildPrintKeys() {
    std::vector<Key> keys;
    addPrintKeys(keys, "GP_", &Settings::printMain);
    addPrintKeys(keys, "GPB_", &Settings::printBrowser);
    return keys;
}

std::string findWordName(std::size_t number) {
    return "FindWord" + std::to_string(number);
}

std::vector<Key> buildFindWordKeys() {
    std::vector<Key> keys;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kFindWordCount); ++i)
        keys.push_back(makeKey(
            findWordName(i), [i](auto& s) -> auto& { return s.findWords[i]; }));
    return keys;
}

const std::vector<Key>& mainKeys() {
    static const std::vector<Key> keys = buildMainKeys();
    return keys;
}

const std::vector<Key>& printKeys() {
    static const std::vector<Key> keys = buildPrintKeys();
    return keys;
}

// Names are unique, so finding a line's name here is the same as offering the
// line to every name in file order.
const std::unordered_map<std::string, const Key*>& keysByLowerName() {
    static const std::vector<Key> findWords = buildFindWordKeys();
    static const auto map = [] {
        std::unordered_map<std::string, const Key*> m;
        for (const auto* keys : {&mainKeys(), &findWords, &printKeys()})
            for (const Key& k : *keys)
                m.emplace(lowerAscii(k.name), &k);
        return m;
    }();
    return map;
}

void readLine(std::string_view line, Settings& settings) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const auto& map = keysByLowerName();
    const auto it = map.find(lowerAscii(line.substr(0, eq)));
    if (it != map.end()) it->second->read(settings, trimValue(line.substr(eq + 1)));
}

// Cuts a text fed in pieces into lines at CR LF, LF or a lone CR. A line
// longer than the limit is dropped while it streams in, so a huge or binary
// file never builds a huge line.
class LineSplitter {
public:
    explicit LineSplitter(Settings& settings) : settings_(settings) {}

    void feed(std::string_view chunk) {
        std::size_t i = 0;
        while (i < chunk.size()) {
            const char c = chunk[i];
            if (afterCr_) {
                afterCr_ = false;
                if (c == '\n') {
                    ++i;
                    continue;
                }
            }
            if (c == '\r' || c == '\n') {
                endLine();
                afterCr_ = c == '\r';
                ++i;
                continue;
            }
            const std::size_t end = std::min(chunk.find_first_of("\r\n", i), chunk.size());
            append(chunk.substr(i, end - i));
            i = end;
        }
    }

    void finish() {
        if (!line_.empty()) endLine();
    }

private:
    void append(std::string_view run) {
        if (overlong_) return;
        chars_ += countChars(run);
        // Stray continuation bytes count no character; the byte bound keeps
        // them from growing the line without end.
        if (chars_ > kMaxContentChars || line_.size() + run.size() > 4 * kMaxContentChars) {
            overlong_ = true;
            line_.clear();
            return;
        }
        line_.append(run);
    }

    void endLine() {
        std::string_view line = line_;
        // A byte-order mark added by some editor must not hide the first name.
        if (first_ && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
        if (!overlong_) readLine(line, settings_);
        first_ = false;
        line_.clear();
        chars_ = 0;
        overlong_ = false;
    }

    Settings& settings_;
    std::string line_;
    std::size_t chars_ = 0;
    bool overlong_ = false;
    bool afterCr_ = false;
    bool first_ = true;
};

class LineWriter {
public:
    // False when the line would be too long to be read back.
    bool write(std::string_view name, std::string_view value) {
        const std::string clean = withoutControls(value);
        if (countChars(name) + 1 + countChars(clean) > kMaxContentChars) return false;
        text_.append(name).append("=").append(clean).append("\r\n");
        return true;
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes and syncs a new file; errno tells why when false.
bool writeNewFile(const fs::path& path, std::string_view bytes, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    errno = error;
    return ok;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

std::optional<int> ParseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<std::string> ReadKeyValue(std::string_view line, std::string_view name) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || !equalsIgnoringCase(line.substr(0, eq), name))
        return std::nullopt;
    return std::string(trimValue(line.substr(eq + 1)));
}

std::optional<int> ReadKeyInteger(std::string_view line, std::string_view name) {
    const auto value = ReadKeyValue(line, name);
    return value ? ParseInteger(*value) : std::nullopt;
}

std::optional<bool> ReadKeyBoolean(std::string_view line, std::string_view name) {
    const auto value = ReadKeyValue(line, name);
    if (!value) return std::nullopt;
    return equalsIgnoringCase(*value, "True");
}

void ReadSettingsText(std::string_view text, Settings& settings) {
    LineSplitter lines(settings);
    lines.feed(text);
    lines.finish();
}

std::string SettingsText(const Settings& settings) {
    LineWriter out;
    for (const Key& k : mainKeys())
        out.write(k.name, k.write(settings));
    // Numbered without gaps up to the first empty word; a word too long for
    // its line is left out rather than cut.
    std::size_t number = 0;
    for (const std::string& word : settings.findWords) {
        if (trimValue(word).empty()) break;
        if (out.write(findWordName(number), word)) ++number;
    }
    for (const Key& k : printKeys())
        out.write(k.name, k.write(settings));
    return out.take();
}

Settings LoadSettings(const fs::path& file) {
    Settings settings;
    std::error_code ec;
    // Only a regular file is read: a folder or a pipe in its place is no
    // settings file.
    if (!fs::is_regular_file(file, ec)) return settings;
    std::ifstream in(file, std::ios::binary);
    if (!in) return settings;
    LineSplitter lines(settings);
    std::vector<char> buffer(1 << 16);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
        lines.feed({buffer.data(), static_cast<std::size_t>(in.gcount())});
    lines.finish();
    return settings;
}

bool SaveSettings(const Settings& settings, const fs::path& file, std::string* reason) {
    const auto fail = [&](const fs::path& where, const std::string& why) {
        if (reason != nullptr) *reason = where.string() + ": " + why;
        return false;
    };
    std::error_code ec;
    // Through a symbolic link to the real file, so the link stays.
    fs::path target = fs::canonical(file, ec);
    if (ec) target = file;
    const fs::path folder = target.parent_path();
    if (!folder.empty()) {
        fs::create_directories(folder, ec);
        if (ec) return fail(folder, ec.message());
    }
    mode_t mode = 0666;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) mode = old.st_mode & 07777;

    fs::path temp = target;
    temp += ".tmp" + std::to_string(::getpid());
    if (!writeNewFile(temp, SettingsText(settings), mode)) {
        const int error = errno;
        ::unlink(temp.c_str());
        return fail(target, std::strerror(error));
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return fail(target, std::strerror(error));
    }
    return true;
}

SettingsPlaces CurrentSettingsPlaces() {
    SettingsPlaces places;
    places.overrideFolder = environment("TABULIX_SETTINGS_DIR");
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        places.programFolder = program.parent_path();
        places.programFolderWritable = ::access(places.programFolder.c_str(), W_OK) == 0;
        places.programInstalled = IsInstalledProgram(places.programFolder);
    }
    places.xdgConfigHome = environment("XDG_CONFIG_HOME");
    places.home = environment("HOME");
    if (places.home.empty())
        if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir)
            places.home = user->pw_dir;
    return places;
}

fs::path ChooseSettingsFolder(const SettingsPlaces& places) {
    if (!places.overrideFolder.empty()) return places.overrideFolder;
    if (places.programFolderWritable && !places.programInstalled && !places.programFolder.empty())
        return places.programFolder;
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    const fs::path xdg = places.xdgConfigHome;
    if (!xdg.empty() && xdg.is_absolute()) return xdg / "tabulix";
    if (!places.home.empty()) return fs::path(places.home) / ".config" / "tabulix";
    // Nowhere better is known; saving reports it when this fails.
    return places.programFolder;
}

fs::path SettingsFilePath() {
    return ChooseSettingsFolder(CurrentSettingsPlaces()) / kSettingsFileName;
}

void NormaliseIndexes(Settings& s) {
    static_assert(kLimColLenItems == kWidthLimitItemCount);
    const Settings defaults;
    s.cmbFixedKeta = IndexWithin(s.cmbFixedKeta, kFixedKetaItems, defaults.cmbFixedKeta);
    s.cmbFixedRows = IndexWithin(s.cmbFixedRows, kFixedRowsItems, defaults.cmbFixedRows);
    s.cmbKomRow = IndexWithin(s.cmbKomRow, kKomRowItems, defaults.cmbKomRow);
    s.cmbLimColLen = IndexWithin(s.cmbLimColLen, kLimColLenItems, kWidthLimitFallbackItem);
    s.cmbFold = IndexWithin(s.cmbFold, kFoldItems, defaults.cmbFold);
    s.cmbCrNext = IndexWithin(s.cmbCrNext, kCrNextItems, defaults.cmbCrNext);
    s.cmbBunri = IndexWithin(s.cmbBunri, kBunriItems, 0);
    s.cmbMoji = IndexWithin(s.cmbMoji, kMojiItems, defaults.cmbMoji);
    s.cmbZoneSign = IndexWithin(s.cmbZoneSign, kZoneSignItems, defaults.cmbZoneSign);
    s.cmbVertKomKeta = IndexWithin(s.cmbVertKomKeta, kVertKomKetaItems, defaults.cmbVertKomKeta);
}

void LimitWindowSize(Settings& s, int availableWidth, int availableHeight) {
    s.windowWidth = std::min(s.windowWidth, std::max(availableWidth, 1));
    s.windowHeight = std::min(s.windowHeight, std::max(availableHeight, 1));
}

} // namespace tabulix
