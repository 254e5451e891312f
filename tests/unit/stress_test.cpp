// The two threads at once, and hostile keys: the control thread's key
// handling against the audio thread's blocks with the scope pass, sharing
// the state without a lock. Run under ThreadSanitizer and under
// AddressSanitizer with UndefinedBehaviorSanitizer by the test command.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/control.h"
#include "audio/render_block.h"
#include "scope/scope.h"

namespace {

const std::string KeyMap = "aqwxcvbn,;+-7894zsedrftgyhujikolpm";

int RandomKey(std::mt19937& rng) {
  // Half from the key map, half any byte at all.
  if (rng() % 2) return KeyMap[rng() % KeyMap.size()];
  return static_cast<signed char>(rng() & 0xFF);
}

struct Offscreen {
  SDL_Surface* surface = scope::CreateOffscreenSurface();
  ~Offscreen() { SDL_FreeSurface(surface); }
};

// Brings the voice back to its start amplitudes and a known note, then
// checks that every output of a block is finite.
void ExpectPlayableAfterwards(synth::SynthState& s) {
  app::ApplyKey(s, 'w');
  for (int i = 0; i < synth::OscillatorCount; ++i) {
    s.Oscillators(i)->Ampl = 1.0f;
    s.Oscillators(i)->Phase = 1.0f;
  }
  std::vector<std::int16_t> block(1024);
  audio::RenderBlockFor(s, block.data(), 2048);
  for (int i = 0; i < 512; ++i) ASSERT_TRUE(std::isfinite(synth::StepVoice(s, true))) << "step " << i;
}

TEST(Stress, KeysAndBlocksOnTwoThreads) {
  synth::SynthState s;
  Offscreen screen;
  s.Surface = screen.surface;
  std::atomic<bool> done{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    std::vector<std::int16_t> block(2 * 512);
    while (!done.load(std::memory_order_relaxed) || blocks.load() < 3) {
      audio::RenderBlockFor(s, block.data(), 2048);
      blocks.fetch_add(1);
    }
  });
  std::mt19937 rng(12345);
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  for (int i = 0; i < 100000; ++i) {
    app::ApplyKey(s, RandomKey(rng));
    if (i % 100 == 0) app::PrintReadout(s, out);  // reads what the audio thread writes
  }
  done = true;
  audio.join();
  std::fclose(out);
  std::free(text);
  EXPECT_GE(blocks.load(), 3);
  s.Surface = nullptr;
  ExpectPlayableAfterwards(s);
}

TEST(Stress, MillionHostileKeysStayDefined) {
  synth::SynthState s;
  Offscreen screen;
  s.Surface = screen.surface;
  std::mt19937 rng(777);
  std::vector<std::int16_t> block(2 * 64);
  for (int i = 1; i <= 1000000; ++i) {
    app::ApplyKey(s, static_cast<signed char>(rng() & 0xFF));
    if (i % 1000 == 0) audio::RenderBlockFor(s, block.data(), 256);
  }
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  app::PrintReadout(s, out);
  std::fclose(out);
  const std::string readout = text;
  std::free(text);
  EXPECT_EQ(readout.rfind("Note [", 0), 0u);
  EXPECT_EQ(std::count(readout.begin(), readout.end(), '\n'), 6);
  s.Surface = nullptr;
  ExpectPlayableAfterwards(s);
}

}  // namespace
