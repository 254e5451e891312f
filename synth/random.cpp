#include "synth/random.h"

namespace synth {

RandomSource& Noise() {
  static RandomSource source;
  return source;
}

}  // namespace synth
