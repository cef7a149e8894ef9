#include "table/RowNumberTexts.h"

#include "text/TextHelpers.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace tabulix {

namespace {

// Numbers are kept in chunks of 65536; a chunk never moves once made, so a
// view into it outlives any later growth. 32768 chunks cover every row index.
constexpr int kChunkBits = 16;
constexpr long long kChunkSize = 1LL << kChunkBits;
constexpr std::size_t kChunkCount = 32768;

// The numbers of a chunk one after another; where each starts follows from
// the lengths of the numbers before it, so no offsets are stored.
struct Chunk {
    std::string text;
};

std::array<std::atomic<Chunk*>, kChunkCount> chunks{};
std::mutex growing;

int digitCount(long long n) {
    int digits = 1;
    for (; n >= 10; n /= 10) ++digits;
    return digits;
}

// Length of the text of n > 0: its digits and a comma every three.
long long textLength(long long n) {
    const int digits = digitCount(n);
    return digits + (digits - 1) / 3;
}

// Total length of the texts of 1 .. m.
long long totalLength(long long m) {
    long long total = 0;
    long long low = 1;
    for (int digits = 1; low <= m; ++digits, low *= 10) {
        const long long high = std::min(m, low * 10 - 1);
        total += (high - low + 1) * (digits + (digits - 1) / 3);
    }
    return total;
}

// Counts the text of n up to that of n + 1 in place; false when the number
// gains a digit (the commas move) and must be formatted afresh.
bool countUp(std::string& text) {
    for (auto digit = text.rbegin(); digit != text.rend(); ++digit) {
        if (*digit == ',') continue;
        if (*digit != '9') {
            ++*digit;
            return true;
        }
        *digit = '0';
    }
    return false;
}

Chunk* makeChunk(std::size_t index) {
    auto chunk = std::make_unique<Chunk>();
    const long long first = static_cast<long long>(index) << kChunkBits;
    chunk->text.reserve(static_cast<std::size_t>(totalLength(first + kChunkSize - 1) -
                                                 totalLength(std::max(first - 1, 0LL))));
    const long long from = std::max(first, 1LL);
    std::string number = RowNumberText(from);
    for (long long n = from; n < first + kChunkSize; ++n) {
        chunk->text += number;
        if (!countUp(number)) number = RowNumberText(n + 1);
    }
    return chunk.release();
}

} // namespace

std::string RowNumberText(long long n) {
    if (n <= 0) return {};
    return FormatThousands(std::to_string(n));
}

void PrepareRowNumberTexts(long long upTo) {
    if (upTo <= 0) return;
    const auto last = std::min(static_cast<std::size_t>(upTo >> kChunkBits), kChunkCount - 1);
    if (chunks[last].load(std::memory_order_acquire) != nullptr) return;
    const std::lock_guard lock(growing);
    for (std::size_t i = 0; i <= last; ++i)
        if (chunks[i].load(std::memory_order_relaxed) == nullptr)
            chunks[i].store(makeChunk(i), std::memory_order_release);
}

std::string_view RowNumberTextView(long long n) {
    if (n <= 0) return {};
    const auto index = static_cast<std::size_t>(n >> kChunkBits);
    if (index >= kChunkCount) return {};
    const Chunk* chunk = chunks[index].load(std::memory_order_acquire);
    if (chunk == nullptr) return {};
    const long long first = static_cast<long long>(index) << kChunkBits;
    const long long start = totalLength(n - 1) - totalLength(std::max(first - 1, 0LL));
    return std::string_view(chunk->text)
        .substr(static_cast<std::size_t>(start), static_cast<std::size_t>(textLength(n)));
}

} // namespace tabulix
