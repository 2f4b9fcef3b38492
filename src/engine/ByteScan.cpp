#include "engine/ByteScan.h"

#include <atomic>

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace culvex {
namespace {

std::atomic<ScanLevel>& levelInUse() {
    static std::atomic<ScanLevel> level = bestScanLevel();
    return level;
}

}  // namespace

ScanLevel bestScanLevel() {
#ifdef __SSE2__
    return __builtin_cpu_supports("avx2") ? ScanLevel::Avx2 : ScanLevel::Sse2;
#else
    return ScanLevel::Bytes;
#endif
}

ScanLevel scanLevel() { return levelInUse().load(std::memory_order_relaxed); }

void forceScanLevel(ScanLevel level) {
    levelInUse().store(std::min(level, bestScanLevel()), std::memory_order_relaxed);
}

#ifdef __SSE2__
namespace {

[[gnu::target("avx2")]] std::uint32_t equalBits32(const char* at, __m256i needle) {
    const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, needle)));
}

}  // namespace

[[gnu::target("avx2")]] std::uint64_t pairBitsAvx2(const char* at, char first, char second,
                                                   std::size_t distance) {
    const __m256i head = _mm256_set1_epi8(first);
    std::uint32_t low = equalBits32(at, head);
    std::uint32_t high = equalBits32(at + 32, head);
    if (distance > 0) {
        const __m256i tail = _mm256_set1_epi8(second);
        low &= equalBits32(at + distance, tail);
        high &= equalBits32(at + distance + 32, tail);
    }
    return std::uint64_t{low} | std::uint64_t{high} << 32;
}
#endif

}  // namespace culvex
