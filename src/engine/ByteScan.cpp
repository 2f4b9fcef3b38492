#include "engine/ByteScan.h"

#include <atomic>

namespace culvex {
namespace {

std::atomic<ScanLevel>& levelInUse() {
    static std::atomic<ScanLevel> level = bestScanLevel();
    return level;
}

}  // namespace

ScanLevel bestScanLevel() {
#ifdef __SSE2__
    // Every processor with AVX2 so far also has the instructions that the AVX2 loops are
    // built with (BMI1, BMI2, LZCNT, which comes with them, and the carry-less multiply);
    // all but LZCNT are checked all the same.
    const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                      __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("pclmul");
    // The check includes that the system saves the 512-bit registers.
    const bool avx512 = avx2 && __builtin_cpu_supports("avx512f") &&
                        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
                        __builtin_cpu_supports("avx512vbmi") &&
                        __builtin_cpu_supports("avx512vbmi2");
    if (avx512) {
        return ScanLevel::Avx512;
    }
    return avx2 ? ScanLevel::Avx2 : ScanLevel::Sse2;
#else
    return ScanLevel::Bytes;
#endif
}

ScanLevel scanLevel() { return levelInUse().load(std::memory_order_relaxed); }

void forceScanLevel(ScanLevel level) {
    levelInUse().store(std::min(level, bestScanLevel()), std::memory_order_relaxed);
}

}  // namespace culvex
