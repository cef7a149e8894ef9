#include "workbook/NumberFormat.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tabulix {

namespace {

enum class Kind { Literal, Digit, Point, Comma, Exponent, Percent, Date, Elapsed, AmPm, General };

struct Token {
    Kind kind;
    std::string text; // the literal, the placeholder, or the lower-case date letters
};

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool startsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower(s[at + i]) != lower(word[i])) return false;
    return true;
}

// Length of the UTF-8 character starting at `at`.
std::size_t charLength(std::string_view s, std::size_t at) {
    std::size_t n = 1;
    while (at + n < s.size() && (static_cast<unsigned char>(s[at + n]) & 0xC0) == 0x80) ++n;
    return n;
}

std::size_t runOf(std::string_view s, std::size_t at) {
    std::size_t n = 1;
    while (at + n < s.size() && lower(s[at + n]) == lower(s[at])) ++n;
    return n;
}

// A bracket: a colour or condition is dropped, a currency gives its symbol,
// [h] [m] [s] are elapsed time.
void bracket(std::string_view content, std::vector<Token>& out) {
    if (!content.empty() && content[0] == '$') {
        const std::size_t dash = content.find('-');
        const std::string_view symbol = content.substr(1, dash == std::string_view::npos ? content.size() - 1 : dash - 1);
        if (!symbol.empty()) out.push_back({Kind::Literal, std::string(symbol)});
        return;
    }
    if (!content.empty() && (content[0] == 'h' || content[0] == 'H' || content[0] == 'm' ||
                             content[0] == 'M' || content[0] == 's' || content[0] == 'S') &&
        runOf(content, 0) == content.size())
        out.push_back({Kind::Elapsed, std::string(1, lower(content[0]))});
}

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> out;
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        const char l = lower(c);
        if (c == '"') {
            const std::size_t end = s.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? s.size() : end;
            out.push_back({Kind::Literal, std::string(s.substr(i + 1, stop - i - 1))});
            i = stop + 1;
        } else if (c == '\\' || c == '_' || c == '*') {
            if (i + 1 >= s.size()) break;
            const std::size_t n = charLength(s, i + 1);
            // "_x" leaves the width of x blank; "*x" fills, which a text cannot.
            if (c == '\\') out.push_back({Kind::Literal, std::string(s.substr(i + 1, n))});
            if (c == '_') out.push_back({Kind::Literal, " "});
            i += 1 + n;
        } else if (c == '[') {
            const std::size_t end = s.find(']', i);
            if (end == std::string_view::npos) break;
            bracket(s.substr(i + 1, end - i - 1), out);
            i = end + 1;
        } else if (startsWithNoCase(s, i, "General")) {
            out.push_back({Kind::General, {}});
            i += 7;
        } else if (startsWithNoCase(s, i, "AM/PM") || startsWithNoCase(s, i, "A/P")) {
            const std::size_t n = startsWithNoCase(s, i, "AM/PM") ? 5 : 3;
            out.push_back({Kind::AmPm, std::string(s.substr(i, n))});
            i += n;
        } else if ((l == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
            out.push_back({Kind::Exponent, std::string(1, s[i + 1])});
            i += 2;
        } else if (l == 'y' || l == 'm' || l == 'd' || l == 'h' || l == 's' || l == 'e' ||
                   l == 'g' || (l == 'a' && runOf(s, i) >= 3)) {
            const std::size_t n = runOf(s, i);
            out.push_back({Kind::Date, std::string(n, l)});
            i += n;
        } else if (c == '0' || c == '#' || c == '?') {
            out.push_back({Kind::Digit, std::string(1, c)});
            ++i;
        } else if (c == '.') {
            out.push_back({Kind::Point, "."});
            ++i;
        } else if (c == ',') {
            out.push_back({Kind::Comma, ","});
            ++i;
        } else if (c == '%') {
            out.push_back({Kind::Percent, "%"});
            ++i;
        } else {
            const std::size_t n = charLength(s, i);
            out.push_back({Kind::Literal, std::string(s.substr(i, n))});
            i += n;
        }
    }
    return out;
}

std::vector<std::string_view> sections(std::string_view code) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (code[i] == '"') quoted = !quoted;
        else if (!quoted && code[i] == '\\') ++i;
        else if (!quoted && code[i] == ';') {
            out.push_back(code.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(code.substr(start));
    return out;
}

bool has(const std::vector<Token>& tokens, Kind kind) {
    for (const Token& t : tokens)
        if (t.kind == kind) return true;
    return false;
}

// ---- dates and times

struct Civil {
    std::int64_t year;
    int month;
    int day;
};

// Days since 1970-01-01 to the civil date (proleptic Gregorian).
Civil civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return Civil{yoe + era * 400 + (month <= 2), month, day};
}

constexpr std::int64_t kDays1899_12_30 = -25569; // days from 1970-01-01
constexpr std::int64_t kDays1904_01_01 = -24107;

struct Moment {
    Civil date;
    std::int64_t days; // the serial's whole days
    int weekday;       // 0 = Sunday
    std::int64_t seconds; // of the day
    std::int64_t fraction; // of the second, in units of 10^-digits
};

Moment moment(double value, bool date1904, int digits) {
    std::int64_t scale = 1;
    for (int i = 0; i < digits; ++i) scale *= 10;
    const std::int64_t units = std::llround(value * 86400.0 * static_cast<double>(scale));
    Moment m{};
    m.days = units / (86400 * scale);
    const std::int64_t rest = units % (86400 * scale);
    m.seconds = rest / scale;
    m.fraction = rest % scale;
    std::int64_t unix;
    if (date1904) unix = kDays1904_01_01 + m.days;
    else if (m.days >= 61) unix = kDays1899_12_30 + m.days;
    else unix = kDays1899_12_30 + 1 + m.days;
    m.date = civilFromDays(unix);
    m.weekday = static_cast<int>(((unix + 4) % 7 + 7) % 7);
    // The 1900 system counts a 29 February 1900 and a day 0 of January.
    if (!date1904 && m.days == 60) m.date = Civil{1900, 2, 29};
    if (!date1904 && m.days == 0) m.date = Civil{1900, 1, 0};
    return m;
}

std::string twoDigits(std::int64_t n) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02lld", static_cast<long long>(n));
    return buffer;
}

// Japanese eras: the era of a date and its year.
struct Era {
    const char* letter;
    const char* kanji;
    const char* name;
    int year, month, day;
};
constexpr Era kEras[] = {
    {"R", "令", "令和", 2019, 5, 1},  {"H", "平", "平成", 1989, 1, 8},
    {"S", "昭", "昭和", 1926, 12, 25}, {"T", "大", "大正", 1912, 7, 30},
    {"M", "明", "明治", 1868, 1, 1},
};

const Era* eraOf(const Civil& d) {
    for (const Era& e : kEras)
        if (d.year > e.year || (d.year == e.year && (d.month > e.month || (d.month == e.month && d.day >= e.day))))
            return &e;
    return nullptr;
}

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kJapaneseDays[] = {"日", "月", "火", "水", "木", "金", "土"};

// Whether the m at `index` means minutes: after hours or before seconds.
bool isMinute(const std::vector<Token>& tokens, std::size_t index) {
    for (std::size_t i = index; i-- > 0;) {
        const Token& t = tokens[i];
        if (t.kind == Kind::Date || t.kind == Kind::Elapsed) {
            if (t.text[0] == 'h') return true;
            break;
        }
    }
    for (std::size_t i = index + 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Kind::Date || t.kind == Kind::Elapsed) return t.text[0] == 's';
    }
    return false;
}

int fractionDigits(const std::vector<Token>& tokens) {
    int digits = 0;
    bool afterPoint = false;
    for (const Token& t : tokens) {
        if (t.kind == Kind::Point) afterPoint = true;
        else if (afterPoint && t.kind == Kind::Digit && t.text == "0") ++digits;
        else if (afterPoint) break;
    }
    return digits > 3 ? 3 : digits;
}

std::string dateText(double value, const std::vector<Token>& tokens, bool date1904) {
    if (value < 0 || value >= 2958466.0) return GeneralNumber(value);
    const int digits = fractionDigits(tokens);
    const Moment m = moment(value, date1904, digits);
    const bool twelve = has(tokens, Kind::AmPm);
    const std::int64_t hour = m.seconds / 3600;
    std::string out;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        const std::size_t n = t.text.size();
        switch (t.kind) {
        case Kind::Date:
            switch (t.text[0]) {
            case 'y':
                out += n <= 2 ? twoDigits(m.date.year % 100) : std::to_string(m.date.year);
                break;
            case 'm':
                if (n <= 2 && isMinute(tokens, i)) {
                    const std::int64_t minute = m.seconds / 60 % 60;
                    out += n == 1 ? std::to_string(minute) : twoDigits(minute);
                } else if (n <= 2) {
                    out += n == 1 ? std::to_string(m.date.month) : twoDigits(m.date.month);
                } else {
                    const std::string name = kMonths[m.date.month - 1];
                    out += n == 3 ? name.substr(0, 3) : n == 5 ? name.substr(0, 1) : name;
                }
                break;
            case 'd':
                if (n <= 2) out += n == 1 ? std::to_string(m.date.day) : twoDigits(m.date.day);
                else out += n == 3 ? std::string(kDays[m.weekday]).substr(0, 3) : kDays[m.weekday];
                break;
            case 'a':
                out += kJapaneseDays[m.weekday];
                if (n >= 4) out += "曜日";
                break;
            case 'h': {
                std::int64_t h = hour;
                if (twelve) h = h % 12 == 0 ? 12 : h % 12;
                out += n == 1 ? std::to_string(h) : twoDigits(h);
                break;
            }
            case 's':
                out += n == 1 ? std::to_string(m.seconds % 60) : twoDigits(m.seconds % 60);
                break;
            case 'e': {
                const Era* era = eraOf(m.date);
                const std::int64_t year = era ? m.date.year - era->year + 1 : m.date.year;
                out += n == 1 ? std::to_string(year) : twoDigits(year);
                break;
            }
            case 'g': {
                const Era* era = eraOf(m.date);
                if (era) out += n == 1 ? era->letter : n == 2 ? era->kanji : era->name;
                break;
            }
            }
            break;
        case Kind::Elapsed: {
            const std::int64_t seconds = m.days * 86400 + m.seconds;
            const std::int64_t total =
                t.text[0] == 'h' ? seconds / 3600 : t.text[0] == 'm' ? seconds / 60 : seconds;
            out += std::to_string(total);
            break;
        }
        case Kind::AmPm: {
            const bool pm = hour >= 12;
            if (t.text.size() == 5) out += pm ? t.text.substr(3, 2) : t.text.substr(0, 2);
            else out += pm ? t.text.substr(2, 1) : t.text.substr(0, 1);
            break;
        }
        case Kind::Point:
            out += '.';
            if (digits > 0) {
                std::string f = std::to_string(m.fraction);
                out += std::string(static_cast<std::size_t>(digits) - f.size(), '0') + f;
                while (i + 1 < tokens.size() && tokens[i + 1].kind == Kind::Digit) ++i;
            }
            break;
        case Kind::General:
            break;
        default:
            out += t.text;
        }
    }
    return out;
}

// ---- numbers

void groupThousands(std::string& digits) {
    for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, 1, ',');
}

struct NumberPattern {
    int minInteger = 0;
    int maxDecimals = 0;
    int minDecimals = 0;
    bool point = false;
    bool thousands = false;
    int scaleDown = 0; // trailing commas: each divides by 1000
    int percent = 0;
    bool exponent = false;
    bool exponentPlus = false;
    int exponentDigits = 0;
};

NumberPattern pattern(const std::vector<Token>& tokens) {
    NumberPattern p;
    bool sawDigit = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Kind::Percent) ++p.percent;
        if (t.kind == Kind::Exponent) {
            p.exponent = true;
            p.exponentPlus = t.text == "+";
        } else if (t.kind == Kind::Point && !p.exponent) {
            p.point = true;
        } else if (t.kind == Kind::Digit) {
            sawDigit = true;
            if (p.exponent) ++p.exponentDigits;
            else if (p.point) {
                ++p.maxDecimals;
                if (t.text == "0") p.minDecimals = p.maxDecimals;
            } else if (t.text == "0") ++p.minInteger;
        } else if (t.kind == Kind::Comma && sawDigit && !p.point && !p.exponent) {
            const bool digitFollows = i + 1 < tokens.size() && tokens[i + 1].kind == Kind::Digit;
            if (digitFollows) p.thousands = true;
            else ++p.scaleDown;
        }
    }
    // Beyond what a double holds; a longer pattern only pads with zeros.
    if (p.maxDecimals > 30) p.maxDecimals = 30;
    if (p.minDecimals > p.maxDecimals) p.minDecimals = p.maxDecimals;
    return p;
}

// x (not negative) in fixed notation with `decimals` decimals, taken at 15
// significant digits and rounded half away from zero, as a spreadsheet does.
std::string roundedFixed(double x, int decimals) {
    char buffer[64];
    *std::to_chars(buffer, buffer + sizeof buffer - 1, x, std::chars_format::scientific, 14).ptr = '\0';
    std::string digits(1, buffer[0]);
    digits.append(buffer + 2, 14);
    int point = std::atoi(std::strchr(buffer, 'e') + 1) + 1; // digits before the point
    if (point < 0) {
        digits.insert(0, static_cast<std::size_t>(-point), '0');
        point = 0;
    }
    const std::size_t keep = static_cast<std::size_t>(point + decimals);
    if (digits.size() < keep) digits.append(keep - digits.size(), '0');
    const bool up = keep < digits.size() && digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        std::size_t i = keep;
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
            digits.insert(0, 1, '1');
            ++point;
        } else {
            ++digits[i - 1];
        }
    }
    std::string integer = digits.substr(0, static_cast<std::size_t>(point));
    const std::size_t first = integer.find_first_not_of('0');
    integer = first == std::string::npos ? "0" : integer.substr(first);
    if (decimals == 0) return integer;
    return integer + "." + digits.substr(static_cast<std::size_t>(point));
}

std::string fixedText(double x, const NumberPattern& p) {
    const std::string text = roundedFixed(x, p.maxDecimals);
    const std::size_t dot = text.find('.');
    std::string integer = text.substr(0, dot);
    std::string decimals = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    while (static_cast<int>(decimals.size()) > p.minDecimals && decimals.back() == '0')
        decimals.pop_back();
    if (integer == "0" && p.minInteger == 0) integer.clear();
    while (static_cast<int>(integer.size()) < p.minInteger) integer.insert(0, 1, '0');
    if (p.thousands) groupThousands(integer);
    return p.point ? integer + "." + decimals : integer;
}

std::string scientificText(double x, const NumberPattern& p) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*E", p.maxDecimals, x);
    std::string text = buffer;
    const std::size_t e = text.find('E');
    std::string mantissa = text.substr(0, e);
    const int exponent = std::stoi(text.substr(e + 1));
    std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    while (static_cast<int>(digits.size()) < p.exponentDigits) digits.insert(0, 1, '0');
    const char* sign = exponent < 0 ? "-" : p.exponentPlus ? "+" : "";
    return mantissa + "E" + sign + digits;
}

std::string numberText(double value, const std::vector<Token>& tokens, bool minus) {
    const NumberPattern p = pattern(tokens);
    double x = std::fabs(value);
    for (int i = 0; i < p.percent; ++i) x *= 100;
    for (int i = 0; i < p.scaleDown; ++i) x /= 1000;
    const std::string number = p.exponent ? scientificText(x, p) : fixedText(x, p);
    std::string out;
    bool placed = false;
    const bool nonZero = number.find_first_of("123456789") != std::string::npos;
    if (minus && nonZero) out += '-';
    for (const Token& t : tokens) {
        switch (t.kind) {
        case Kind::Digit:
        case Kind::Point:
        case Kind::Exponent:
        case Kind::Comma:
            if (!placed) out += number;
            placed = true;
            break;
        case Kind::General:
            out += GeneralNumber(std::fabs(value));
            break;
        default:
            out += t.text;
        }
    }
    return out;
}

bool isDate(const std::vector<Token>& tokens) {
    return has(tokens, Kind::Date) || has(tokens, Kind::Elapsed) || has(tokens, Kind::AmPm);
}

// A section with a condition ([>100]) or a fraction is beyond what is shown
// faithfully; General is shown instead.
bool understood(std::string_view section) {
    bool quoted = false;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\\') ++i;
        else if (c == '[' && i + 1 < section.size() && std::string_view("<>=").find(section[i + 1]) != std::string_view::npos)
            return false;
        else if (c == '@') return false;
    }
    return true;
}

} // namespace

std::string GeneralNumber(double value) {
    if (std::isnan(value) || std::isinf(value)) return "#NUM!";
    if (value == 0) return "0";
    char buffer[48];
    const auto format = std::floor(value) == value && std::fabs(value) < 1e15
                            ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0)
                            : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string out(buffer, format.ptr);
    for (char& c : out)
        if (c == 'e') c = 'E';
    return out;
}

std::string_view BuiltinFormatCode(int id) {
    switch (id) {
    case 1: return "0";
    case 2: return "0.00";
    case 3: return "#,##0";
    case 4: return "#,##0.00";
    case 5: case 37: return "#,##0;-#,##0";
    case 6: case 38: return "#,##0;[Red]-#,##0";
    case 7: case 39: return "#,##0.00;-#,##0.00";
    case 8: case 40: return "#,##0.00;[Red]-#,##0.00";
    case 9: return "0%";
    case 10: return "0.00%";
    case 11: return "0.00E+00";
    case 14: return "yyyy/m/d";
    case 15: return "d-mmm-yy";
    case 16: return "d-mmm";
    case 17: return "mmm-yy";
    case 18: return "h:mm AM/PM";
    case 19: return "h:mm:ss AM/PM";
    case 20: return "h:mm";
    case 21: return "h:mm:ss";
    case 22: return "yyyy/m/d h:mm";
    case 27: case 28: case 29: case 30: case 31: case 34: case 35: case 36: case 50: case 51:
    case 52: case 53: case 54: case 55: case 56: case 57: case 58:
        // The Japanese date formats, as the Japanese edition shows them.
        return id == 30 || id == 36 || id == 50 || id == 57 ? "m/d/yy"
               : id == 27 || id == 52 ? "ge.m.d"
               : id == 28 || id == 29 || id == 53 || id == 54 || id == 58 ? "ggge\"年\"m\"月\"d\"日\""
               : id == 55 || id == 56 ? "yyyy\"年\"m\"月\"d\"日\""
                                     : "yyyy\"年\"m\"月\"";
    case 32: return "h\"時\"mm\"分\"";
    case 33: return "h\"時\"mm\"分\"ss\"秒\"";
    case 45: return "mm:ss";
    case 46: return "[h]:mm:ss";
    case 47: return "mm:ss.0";
    case 48: return "##0.0E+0";
    default: return {};
    }
}

std::string FormatNumber(double value, std::string_view formatCode, bool date1904) {
    if (std::isnan(value) || std::isinf(value)) return "#NUM!";
    const std::vector<std::string_view> parts = sections(formatCode);
    std::string_view section = parts[0];
    bool minus = value < 0;
    if (parts.size() >= 2 && value < 0) {
        section = parts[1];
        minus = false; // the negative section writes its own sign
    } else if (parts.size() >= 3 && value == 0) {
        section = parts[2];
    }
    if (!understood(section)) return GeneralNumber(value);
    const std::vector<Token> tokens = tokenize(section);
    if (isDate(tokens)) return dateText(value, tokens, date1904);
    for (const Token& t : tokens)
        if (t.kind == Kind::Literal && t.text == "/") return GeneralNumber(value); // a fraction
    const bool digits = has(tokens, Kind::Digit);
    if (!digits && !has(tokens, Kind::General)) {
        // Text only: shown as written (an empty section hides the number).
        if (!tokens.empty() || parts.size() > 1) return numberText(value, tokens, false);
        return GeneralNumber(value);
    }
    if (!digits) {
        std::string out = minus ? "-" : "";
        return out + numberText(value, tokens, false);
    }
    return numberText(value, tokens, minus);
}

} // namespace tabulix
