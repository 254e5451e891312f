// Drives the sound-library layer for the end-to-end tests.
//   fsound_probe list              every output type with its drivers
//   fsound_probe play OUT DRV SEC  plays a stream on output OUT, driver DRV
//                                  for SEC seconds, then prints what it saw
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "audio/fsound.h"

namespace {

std::atomic<int> g_longest{0};
std::atomic<int> g_shortest{1 << 30};

signed char Count(FSOUND_STREAM*, void* buffer, int length, void*) {
  if (length > g_longest) g_longest = length;
  if (length < g_shortest) g_shortest = length;
  std::memset(buffer, 0, static_cast<size_t>(length));
  return 1;
}

int List() {
  for (int code = 0; code <= 7; ++code) {
    FSOUND_SetOutput(code);
    const int n = FSOUND_GetNumDrivers();
    std::printf("output %d: %d drivers\n", code, n);
    for (int i = 0; i < n; ++i) std::printf("  %d: %s\n", i, FSOUND_GetDriverName(i));
  }
  FSOUND_Close();
  return 0;
}

int Play(int output, int driver, double seconds) {
  FSOUND_SetOutput(output);
  FSOUND_SetDriver(driver);
  if (!FSOUND_Init(44100, 32, 0)) {
    std::printf("init failed: %d\n", FSOUND_GetError());
    return 1;
  }
  FSOUND_STREAM* stream = FSOUND_Stream_Create(Count, 32768, 0x01000150, 44100, nullptr);
  if (!stream || FSOUND_Stream_Play(0, stream) < 0) {
    std::printf("stream failed: %d\n", FSOUND_GetError());
    return 1;
  }
  // Count from the first block on, so start-up latency is not timed.
  while (audio::StreamFrames(stream) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const unsigned long long first = audio::StreamFrames(stream);
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const unsigned long long frames = audio::StreamFrames(stream) - first;
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("frames %llu seconds %.6f rate %.1f underflows %lu longest %d shortest %d\n", frames, elapsed,
              double(frames) / elapsed, audio::StreamUnderflows(stream), g_longest.load(), g_shortest.load());
  FSOUND_Stream_Close(stream);
  FSOUND_Close();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "list") == 0) return List();
  if (argc == 5 && std::strcmp(argv[1], "play") == 0)
    return Play(std::atoi(argv[2]), std::atoi(argv[3]), std::atof(argv[4]));
  std::fprintf(stderr, "usage: fsound_probe list | play OUTPUT DRIVER SECONDS\n");
  return 2;
}
