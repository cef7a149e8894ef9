#pragma once

#include <cstdint>

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

} // namespace tabulix
