// Wall-clock timing shared by the benchmark programs.
#pragma once

#include <chrono>

namespace tesselor {

inline double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// How long f takes to run, in seconds.
template <class F>
double Timed(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace tesselor
