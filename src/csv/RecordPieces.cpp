#include "csv/RecordPieces.h"

#include "csv/RecordScanner.h"
#include "text/RunAlongside.h"

#include <algorithm>
#include <thread>

namespace tabulix {

namespace {

// Below this a piece is over before a thread would pay off.
constexpr std::size_t kMinPieceBytes = std::size_t{1} << 20;
constexpr std::size_t kMaxPieces = 16;

// Just past the first line end at or after p: a record start unless the line
// end lies inside a quoted field.
std::size_t guessRecordStart(std::string_view text, std::size_t p) {
    StopFinder lineEnds(text, StopBytes{'\r', '\n', '\n', '\n'});
    return SkipLineEnd(text, lineEnds.next(p));
}

// The guessed starts of the pieces, rising, each before the text's end.
std::vector<std::size_t> guessStarts(std::string_view text, std::span<const std::size_t> near) {
    std::vector<std::size_t> starts{0};
    for (const std::size_t from : near) {
        const std::size_t start = guessRecordStart(text, std::min(from, text.size()));
        if (start > starts.back() && start < text.size()) starts.push_back(start);
    }
    return starts;
}

} // namespace

std::size_t PieceCountFor(std::size_t bytes) {
    // Two pieces even on one core: the second thread costs little there, and
    // every machine reads a large text the same way.
    const std::size_t cores = std::max(2u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(bytes / kMinPieceBytes, 1, std::min(cores, kMaxPieces));
}

std::string_view BeforeNul(std::string_view text) {
    const std::size_t count = PieceCountFor(text.size());
    std::vector<std::size_t> found(count);
    RunAlongside(count, [&](std::size_t k) {
        const std::size_t from = text.size() / count * k;
        const std::size_t to = k + 1 == count ? text.size() : text.size() / count * (k + 1);
        const std::size_t at = text.substr(from, to - from).find('\0');
        found[k] = at == std::string_view::npos ? text.size() : from + at;
    });
    return text.substr(0, *std::min_element(found.begin(), found.end()));
}

std::vector<RecordPiece> SplitRecords(std::string_view text, Separator sep, std::size_t count) {
    std::vector<std::size_t> near;
    for (std::size_t k = 1; k < count; ++k)
        near.push_back(text.size() / count * k);
    return SplitRecordsNear(text, sep, near);
}

std::vector<RecordPiece> SplitRecordsNear(std::string_view text, Separator sep,
                                          std::span<const std::size_t> near) {
    const bool quotes = QuotesCount(sep);
    const std::vector<std::size_t> starts = guessStarts(text, near);
    const auto stopOf = [&](std::size_t k) {
        return k + 1 < starts.size() ? starts[k + 1] : text.size();
    };
    std::vector<RecordCount> counted(starts.size());
    RunAlongside(starts.size(), [&](std::size_t k) {
        counted[k] = CountRecordsFrom(text, sep, starts[k], quotes, stopOf(k));
    });
    // Each guess holds when the piece before it ends right there with quotes
    // counting; otherwise the piece is counted again from where that one ends.
    std::vector<RecordPiece> pieces;
    std::size_t at = 0;
    bool quotesAt = quotes;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        RecordCount count = counted[k];
        if (starts[k] != at || quotesAt != quotes)
            count = CountRecordsFrom(text, sep, at, quotesAt, stopOf(k));
        if (count.records > 0) pieces.push_back({at, count.end, quotesAt, count.records});
        at = count.end;
        quotesAt = count.quotes;
    }
    if (pieces.empty()) pieces.push_back({0, text.size(), quotes, 0});
    pieces.back().end = text.size();
    return pieces;
}

} // namespace tabulix
