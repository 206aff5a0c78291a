// The program's one source of chance: the classic 15-bit linear congruential
// generator, never seeded, so the same photograph and settings give the same
// mosaic on every machine and in every run.
#pragma once

#include <cstdint>

namespace tesselor {

constexpr int kRandMax = 32767;

class RandomGenerator {
 public:
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }
  uint32_t State() const { return state_; }
  void SetState(uint32_t state) { state_ = state; }

 private:
  uint32_t state_ = 1;
};

// The process-wide generator every draw of the engine comes from.
RandomGenerator& ProgramRandom();

// Returns the generator to its start-up state, as a fresh process has it.
inline void ResetProgramRandom() { ProgramRandom().SetState(1); }

}  // namespace tesselor
