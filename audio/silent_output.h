// The silent output: a thread that asks for one block after another at the
// real pace of the sample rate and throws the samples away. Deadlines are
// absolute on the monotonic clock, so the pace does not drift; a block that
// comes more than one block late counts as an underflow and the pace starts
// again from now rather than catching up in a burst.
#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace audio {

class SilentOutput {
 public:
  // fill(buffer, frames) fills `frames` stereo 16-bit frames; false stops.
  using Fill = std::function<bool(short* buffer, int frames)>;

  SilentOutput(int rate, int blockFrames, Fill fill);
  ~SilentOutput();
  void Start();
  void Stop();

  unsigned long Underflows() const { return underflows_.load(std::memory_order_relaxed); }

 private:
  void Run();

  const int rate_;
  const int block_frames_;
  Fill fill_;
  std::vector<short> buffer_;
  std::atomic<bool> running_{false};
  std::atomic<unsigned long> underflows_{0};
  std::thread thread_;
};

}  // namespace audio
