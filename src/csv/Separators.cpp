#include "csv/Separators.h"

#include <array>

namespace tabulix {

namespace {
using S = Separator;
constexpr std::array<SeparatorEntry, 23> kTable{{
    {"無し", S::none()}, {",", S::of(',')}, {"TAB", S::of('\t')}, {"空白", S::of(' ')},
    {"|", S::of('|')},   {"@", S::of('@')}, {"\\", S::of('\\')},  {"!", S::of('!')},
    {"#", S::of('#')},   {"$", S::of('$')}, {"%", S::of('%')},    {"&", S::of('&')},
    {"=", S::of('=')},   {"-", S::of('-')}, {"+", S::of('+')},    {"*", S::of('*')},
    {";", S::of(';')},   {":", S::of(':')}, {"~", S::of('~')},    {"^", S::of('^')},
    {"?", S::of('?')},   {"/", S::of('/')}, {"_", S::of('_')},
}};
} // namespace

std::span<const SeparatorEntry> separatorTable() {
    return kTable;
}

std::string separatorItemText(const SeparatorEntry& entry) {
    // Names are counted in characters: "無し" is two characters, not six bytes.
    const bool oneCharacter = entry.name.size() == 1;
    return std::string(oneCharacter ? "  " : " ") + std::string(entry.name);
}

} // namespace tabulix
