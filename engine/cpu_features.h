// Which vector instructions the processor running the program offers, for
// the kernels that have a wider form. Each form gives the same bits.
#pragma once

#include <cstdlib>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TESSELOR_AVX2_KERNELS
#include <immintrin.h>
#endif

namespace tesselor {

#if defined(TESSELOR_AVX2_KERNELS)
// TESSELOR_NO_AVX2 in the environment keeps to the SSE2 kernels, so that
// they can be tested, and compared, on processors that have AVX2.
inline bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0 && !std::getenv("TESSELOR_NO_AVX2");
  }();
  return has;
}
#endif

}  // namespace tesselor
