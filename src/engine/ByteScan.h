#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace culvex {

// How bytes are compared when lines are cut: one at a time (the reference, and the only
// way on processors without a known vector unit), 16 at a time (SSE2, every x86-64
// processor), 32 at a time (AVX2, where the processor has it, with BMI1, BMI2, LZCNT
// and the carry-less multiply), or 64 at a time (AVX-512 with the byte permutes and
// compression of VBMI and VBMI2, where the processor and the system have them; runs of
// whole lines are cut with it, the rest as at AVX2).
enum class ScanLevel : std::uint8_t { Bytes, Sse2, Avx2, Avx512 };

// The widest level this processor runs.
ScanLevel bestScanLevel();
// The level new extractions use: the best one unless forced lower.
ScanLevel scanLevel();
// Makes new extractions use `level`, or the best one if the processor lacks it; tests and
// benchmarks compare the levels with it.
void forceScanLevel(ScanLevel level);

#ifdef __SSE2__
inline std::uint64_t equalBitsSse2(const char* at, char byte) {
    const __m128i needle = _mm_set1_epi8(byte);
    std::uint64_t bits = 0;
    for (std::size_t part = 0; part < 64; part += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + part));
        const auto found =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, needle)));
        bits |= std::uint64_t{found} << part;
    }
    return bits;
}

// Bit i is set when an odd number of the bits up to i are, in one carry-less multiply.
[[gnu::target("pclmul")]] inline std::uint64_t runningParityClmul(std::uint64_t bits) {
    const __m128i product =
        _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(bits)), _mm_set1_epi8(-1), 0);
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(product));
}

[[gnu::target("avx2")]] inline std::uint64_t equalBitsAvx2(const char* at, char byte) {
    const __m256i needle = _mm256_set1_epi8(byte);
    const auto low = static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)), needle)));
    const auto high = static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32)), needle)));
    return std::uint64_t{low} | std::uint64_t{high} << 32;
}

// The bytes among the 64 at `at` equal to `one` and those equal to `other`, as bits from
// the lowest, each 16-byte piece loaded once.
struct TwoBytesBits {
    std::uint64_t one;
    std::uint64_t other;
};
inline TwoBytesBits twoBytesBitsSse2(const char* at, char one, char other) {
    const __m128i ones = _mm_set1_epi8(one);
    const __m128i others = _mm_set1_epi8(other);
    TwoBytesBits bits{0, 0};
    for (std::size_t part = 0; part < 64; part += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + part));
        bits.one |= std::uint64_t{static_cast<std::uint32_t>(
                        _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, ones)))}
                    << part;
        bits.other |= std::uint64_t{static_cast<std::uint32_t>(
                          _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, others)))}
                      << part;
    }
    return bits;
}

[[gnu::target("avx2")]] inline TwoBytesBits twoBytesBitsAvx2(const char* at, char one, char other) {
    const __m256i ones = _mm256_set1_epi8(one);
    const __m256i others = _mm256_set1_epi8(other);
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32));
    const auto oneLow =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, ones)));
    const auto oneHigh =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, ones)));
    const auto otherLow =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, others)));
    const auto otherHigh =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, others)));
    return {std::uint64_t{oneLow} | std::uint64_t{oneHigh} << 32,
            std::uint64_t{otherLow} | std::uint64_t{otherHigh} << 32};
}

// The same 64 bytes at once, as AVX-512 compares them into bit masks.
[[gnu::target("avx512f,avx512bw")]] inline TwoBytesBits twoBytesBitsAvx512(const char* at, char one,
                                                                           char other) {
    const __m512i bytes = _mm512_loadu_si512(at);
    return {_cvtmask64_u64(_mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(one))),
            _cvtmask64_u64(_mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(other)))};
}

// The positions i among the 64 at `at` where at[i] == first and at[i + distance] == second,
// as bits from the lowest, compared 32 bytes at a time. The 64 + distance bytes at `at`
// must be readable. The hot loops that call it are built a second time for AVX2, with
// everything they call inlined, and run only where bestScanLevel() says the processor has
// it.
[[gnu::target("avx2")]] inline std::uint64_t pairBitsAvx2(const char* at, char first, char second,
                                                          std::size_t distance) {
    std::uint64_t bits = equalBitsAvx2(at, first);
    if (distance > 0) {
        bits &= equalBitsAvx2(at + distance, second);
    }
    return bits;
}
#endif

// The positions i among the first min(count, 64) at `at` where at[i] == first and
// at[i + distance] == second, as bits from the lowest. The bytes up to `readableEnd` may be
// read, so that whole blocks are compared where they can be.
inline std::uint64_t pairBits(const char* at, std::size_t count, const char* readableEnd,
                              char first, char second, std::size_t distance, ScanLevel level) {
    constexpr std::size_t kBlock = 64;
#ifdef __SSE2__
    if (level != ScanLevel::Bytes &&
        readableEnd - at >= static_cast<std::ptrdiff_t>(kBlock + distance)) {
        std::uint64_t bits = 0;
        if (level >= ScanLevel::Avx2) {
            bits = pairBitsAvx2(at, first, second, distance);
        } else {
            bits = equalBitsSse2(at, first);
            if (distance > 0) {
                bits &= equalBitsSse2(at + distance, second);
            }
        }
        return count < kBlock ? bits & ((std::uint64_t{1} << count) - 1) : bits;
    }
#else
    static_cast<void>(readableEnd);
    static_cast<void>(level);
#endif
    std::uint64_t bits = 0;
    const std::size_t n = std::min(count, kBlock);
    for (std::size_t i = 0; i < n; ++i) {
        bits |= std::uint64_t{at[i] == first && at[i + distance] == second} << i;
    }
    return bits;
}

// The bytes equal to `byte` among the first min(count, 64) at `at`, as bits from the
// lowest.
inline std::uint64_t byteBits(const char* at, std::size_t count, const char* readableEnd, char byte,
                              ScanLevel level) {
    return pairBits(at, count, readableEnd, byte, byte, 0, level);
}

}  // namespace culvex
