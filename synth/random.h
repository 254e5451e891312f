// The noise source: the pseudo-random generator of the C standard's example.
// State starts at 1 and is never seeded, so the noise repeats from run to run.
// Each draw yields an integer from 0 to 32767. One source serves the whole
// process and is drawn only on the audio thread, in the order ticks happen.
#pragma once

#include <cstdint>

namespace synth {

struct RandomSource {
  std::uint32_t State = 1;

  int Next() {
    State = State * 1103515245u + 12345u;  // unsigned: wraps modulo 2^32
    return static_cast<int>((State / 65536u) % 32768u);
  }
};

// The process-wide source. Tests copy it to predict the next draws.
RandomSource& Noise();

}  // namespace synth
