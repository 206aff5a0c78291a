#include "platform/random.h"

namespace tesselor {

RandomGenerator& ProgramRandom() {
  static RandomGenerator generator;
  return generator;
}

}  // namespace tesselor
