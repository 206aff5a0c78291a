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
namespace detail {
inline bool DetectAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0 && !std::getenv("TESSELOR_NO_AVX2");
}
// Settled once as the program starts, so that the kernels, which ask for
// every batch of samples, read a plain flag with no guard to pass. Code run
// before that (other static initialisers) sees false and keeps to SSE2,
// which gives the same bits.
inline const bool kHasAvx2 = DetectAvx2();
}  // namespace detail

// TESSELOR_NO_AVX2 in the environment keeps to the SSE2 kernels, so that
// they can be tested, and compared, on processors that have AVX2.
inline bool HasAvx2() { return detail::kHasAvx2; }
#endif

}  // namespace tesselor
