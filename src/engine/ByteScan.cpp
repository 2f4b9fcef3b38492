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
    return __builtin_cpu_supports("avx2") ? ScanLevel::Avx2 : ScanLevel::Sse2;
#else
    return ScanLevel::Bytes;
#endif
}

ScanLevel scanLevel() { return levelInUse().load(std::memory_order_relaxed); }

void forceScanLevel(ScanLevel level) {
    levelInUse().store(std::min(level, bestScanLevel()), std::memory_order_relaxed);
}

}  // namespace culvex
