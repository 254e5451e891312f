#include "audio/silent_output.h"

#include <time.h>

#include <cerrno>

namespace audio {

namespace {
constexpr long long Billion = 1000000000LL;

long long Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * Billion + t.tv_nsec;
}

void SleepUntil(long long deadline) {
  timespec t{static_cast<time_t>(deadline / Billion), static_cast<long>(deadline % Billion)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
  }
}
}  // namespace

SilentOutput::SilentOutput(int rate, int blockFrames, Fill fill)
    : rate_(rate), block_frames_(blockFrames), fill_(std::move(fill)), buffer_(2 * static_cast<size_t>(blockFrames)) {}

SilentOutput::~SilentOutput() { Stop(); }

void SilentOutput::Start() {
  if (running_.exchange(true)) return;
  thread_ = std::thread([this] { Run(); });
}

void SilentOutput::Stop() {
  running_ = false;
  if (thread_.joinable()) thread_.join();
}

void SilentOutput::Run() {
  const long long start = Now();
  long long epoch = start;  // where the pace was last (re)started
  long long played = 0;     // frames since epoch
  while (running_.load(std::memory_order_relaxed)) {
    if (!fill_(buffer_.data(), block_frames_)) break;
    played += block_frames_;
    const long long deadline = epoch + played * Billion / rate_;
    const long long now = Now();
    if (now > deadline + static_cast<long long>(block_frames_) * Billion / rate_) {
      underflows_.fetch_add(1, std::memory_order_relaxed);
      epoch = now;
      played = 0;
      continue;
    }
    SleepUntil(deadline);
  }
}

}  // namespace audio
