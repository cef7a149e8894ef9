#include "print/PrintTexts.h"

#include "text/TextHelpers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace tabulix {

std::string PaperName(PaperKind kind) {
    switch (kind) {
    case PaperKind::A3: return "A3";
    case PaperKind::A4: return "A4";
    case PaperKind::A5: return "A5";
    case PaperKind::B4: return "B4";
    case PaperKind::B5: return "B5";
    case PaperKind::Other: break;
    }
    return "?";
}

std::string OrientationWord(Orientation orientation) {
    switch (orientation) {
    case Orientation::Portrait: return "縦";
    case Orientation::Landscape: return "横";
    case Orientation::Other: break;
    }
    return "?";
}

std::optional<PaperKind> PaperFromSaved(std::string_view saved) {
    std::string upper(saved);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static constexpr std::array<std::pair<std::string_view, PaperKind>, 5> kSizes = {{
        {"A3", PaperKind::A3},
        {"A4", PaperKind::A4},
        {"A5", PaperKind::A5},
        {"B4", PaperKind::B4},
        {"B5", PaperKind::B5},
    }};
    std::optional<PaperKind> found;
    for (const auto& [name, kind] : kSizes)
        if (upper.find(name) != std::string::npos) found = kind;
    return found;
}

std::optional<Orientation> OrientationFromSaved(std::string_view saved) {
    if (saved.find("縦") != std::string_view::npos) return Orientation::Portrait;
    if (saved.find("横") != std::string_view::npos) return Orientation::Landscape;
    return std::nullopt;
}

std::string PrinterLabel(const PrinterFacts& facts) {
    return std::string(TrimBlanks(facts.paperText())) + "：" +
           std::string(TrimBlanks(facts.description));
}

std::string PrintConfirmation(const std::string& firstText, const std::string& lastText,
                              bool lastIsFinal, const PrinterFacts& facts) {
    std::string text = "印刷を行います。\r\r    Page " + firstText + " ～ " + lastText;
    if (lastIsFinal) text += " (最終)";
    text += "\r\r    用紙サイズ  ．．．．．  " + std::string(TrimBlanks(facts.paperText())) + "\r" +
            "    プリンタドライバ ．．． " + std::string(TrimBlanks(facts.description)) +
            "\r\rよろしいですか？\r";
    return text;
}

std::string ImageResourceMessage(double zoom) {
    return "システム資源が足りない為、用紙の大きさを正しく描画できません。\r\r"
           "次の何れかを変更して下さい。\r\r ★★★★★★★★★★★★★★★★★★★★\r\r"
           "    (1) 用紙サイズを小さくする。\r\r    (2) 表示倍率を小さくする。( " +
           std::to_string(static_cast<int>(zoom * 100)) +
           " % 以下 )\r\r ★★★★★★★★★★★★★★★★★★★★\r ";
}

std::optional<int> PageNumber(std::string_view text) {
    const std::string_view digits = TrimBlanks(text);
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

std::string ZoomItem(int index) {
    if (index == kFitIndex) return " 画面に";
    return " " + std::to_string(ZoomPercent(index)) + " %";
}

std::string RestoreItem(int index) {
    if (index == kFitIndex) return " 画面に";
    return " " + std::to_string(ZoomPercent(index)) + " ";
}

int ZoomPercent(int index) {
    return index < kFitIndex ? (index + 1) * 10 : index * 10;
}

int NextCellScale(int baseHeight, int scale, int direction) {
    const auto height = [baseHeight](int s) { return baseHeight * s / 100; };
    const int current = height(scale);
    for (int next = scale + direction; next >= 1 && next <= 100000; next += direction) {
        const int h = height(next);
        if (h < 1) return scale;
        if (h != current) return next;
    }
    return scale;
}

} // namespace tabulix
