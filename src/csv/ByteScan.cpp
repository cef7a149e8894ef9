#include "csv/ByteScan.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TABULIX_X86 1
#endif

namespace tabulix {

std::uint64_t StopMaskPlain(const char* data, const StopBytes& stops) {
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) {
        const char c = data[i];
        if (c == stops.a || c == stops.b || c == stops.c || c == stops.d)
            mask |= std::uint64_t{1} << i;
    }
    return mask;
}

#ifdef TABULIX_X86

std::uint64_t StopMaskSse2(const char* data, const StopBytes& stops) {
    const __m128i a = _mm_set1_epi8(stops.a);
    const __m128i b = _mm_set1_epi8(stops.b);
    const __m128i c = _mm_set1_epi8(stops.c);
    const __m128i d = _mm_set1_epi8(stops.d);
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b)),
                                         _mm_or_si128(_mm_cmpeq_epi8(v, c), _mm_cmpeq_epi8(v, d)));
        mask |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(hit)))
                << (16 * i);
    }
    return mask;
}

__attribute__((target("avx2"))) std::uint64_t StopMaskAvx2(const char* data,
                                                          const StopBytes& stops) {
    const __m256i a = _mm256_set1_epi8(stops.a);
    const __m256i b = _mm256_set1_epi8(stops.b);
    const __m256i c = _mm256_set1_epi8(stops.c);
    const __m256i d = _mm256_set1_epi8(stops.d);
    std::uint64_t mask = 0;
    for (int i = 0; i < 2; ++i) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32 * i));
        const __m256i hit =
            _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, a), _mm256_cmpeq_epi8(v, b)),
                            _mm256_or_si256(_mm256_cmpeq_epi8(v, c), _mm256_cmpeq_epi8(v, d)));
        mask |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(hit)))
                << (32 * i);
    }
    return mask;
}

bool ProcessorHasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#else

std::uint64_t StopMaskSse2(const char* data, const StopBytes& stops) {
    return StopMaskPlain(data, stops);
}

std::uint64_t StopMaskAvx2(const char* data, const StopBytes& stops) {
    return StopMaskPlain(data, stops);
}

bool ProcessorHasAvx2() {
    return false;
}

#endif

namespace {

using MaskFunction = std::uint64_t (*)(const char*, const StopBytes&);

MaskFunction chosenMask() {
    static const MaskFunction chosen = ProcessorHasAvx2() ? StopMaskAvx2 : StopMaskSse2;
    return chosen;
}

} // namespace

std::uint64_t StopMask(const char* data, const StopBytes& stops) {
    return chosenMask()(data, stops);
}

void StopFinder::load(std::size_t p) {
    windowStart_ = p;
    const std::size_t left = text_.size() - p;
    if (left >= 64) {
        mask_ = StopMask(text_.data() + p, stops_);
        return;
    }
    // The last bytes: copied out so that nothing past the text is read, and
    // the bits past its end cleared.
    char tail[64] = {};
    std::memcpy(tail, text_.data() + p, left);
    mask_ = StopMask(tail, stops_) & ((std::uint64_t{1} << left) - 1);
}

} // namespace tabulix
