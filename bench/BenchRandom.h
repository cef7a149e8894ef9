#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace tabulix {

// A small deterministic generator, so every run of a benchmark builds the
// same table.
struct Lcg {
    std::uint64_t state;
    std::uint32_t next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    }
};

// The Japanese words, half-width katakana and date that the load and save
// benchmarks mix into their generated fields.
inline constexpr const char* kMixedWords[] = {"東京", "大阪",       "山田 太郎",   "ｶﾀｶﾅ",
                                              "会員", "2024/03/15", "名古屋市中区"};
inline constexpr std::size_t kMixedWordCount = std::size(kMixedWords);

} // namespace tabulix
