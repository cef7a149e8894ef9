#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tabulix {

// The bytes a scan of delimited text stops at: up to four (repeat one for
// fewer), typically the separator, the quote, CR and LF.
struct StopBytes {
    char a, b, c, d;
};

// Bit i set when data[i] is one of the stop bytes, for the 64 bytes from
// `data`, all of which must be readable. SSE2 everywhere; AVX2 where the
// processor has it, chosen once at run time.
std::uint64_t StopMask(const char* data, const StopBytes& stops);

// The same, one byte at a time, and each vector width by name: the reference
// and the variants the tests compare with it.
std::uint64_t StopMaskPlain(const char* data, const StopBytes& stops);
std::uint64_t StopMaskSse2(const char* data, const StopBytes& stops);
std::uint64_t StopMaskAvx2(const char* data, const StopBytes& stops);
bool ProcessorHasAvx2();

// The stop bytes of a text found 64 bytes at a time: the mask of the window
// last looked at is kept, so a run of short fields costs a shift and a count
// per field rather than a new look at memory.
class StopFinder {
public:
    StopFinder(std::string_view text, StopBytes stops) : text_(text), stops_(stops) {}

    // The first stop byte at or after p; text.size() when there is none.
    std::size_t next(std::size_t p) {
        for (;;) {
            if (p - windowStart_ < 64) { // unsigned: false for p before the window
                const std::uint64_t ahead = mask_ >> (p - windowStart_);
                if (ahead != 0) return p + static_cast<std::size_t>(__builtin_ctzll(ahead));
                p = windowStart_ + 64;
            }
            if (p >= text_.size()) return text_.size();
            load(p);
        }
    }

private:
    void load(std::size_t p);

    std::string_view text_;
    StopBytes stops_;
    std::size_t windowStart_ = static_cast<std::size_t>(-1) / 2;
    std::uint64_t mask_ = 0;
};

} // namespace tabulix
