// The block callback and the sample conversion.
#include "audio/render_block.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <vector>

namespace {

using audio::ToSample;

TEST(SampleConversion, TruncatesAndKeepsTheLow16Bits) {
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, int> table[] = {
      {1.0f, 10000},     {-1.0f, -10000},    {0.99999f, 9999},     {-0.00001f, 0},     {3.5f, -30536}, {-3.5f, 30536},
      {214748.3648f, 0}, {300000.0f, 24064}, {-300000.0f, -24064}, {500000.0f, -3584}, {1e10f, 0},     {3e34f, 0},
      {inf, 0},          {-inf, 0},          {std::nanf(""), 0},
  };
  for (const auto& [v, sample] : table) EXPECT_EQ(ToSample(v), sample) << v;
}

// Renders `bytes` bytes into a buffer filled with a marker beyond them.
std::vector<unsigned char> Render(synth::SynthState& s, int bytes, std::size_t room = 64) {
  std::vector<unsigned char> buffer(room, 0xAB);
  audio::RenderBlockFor(s, buffer.data(), bytes);
  return buffer;
}

TEST(RenderBlock, FillsWholeFramesOnly) {
  struct Case {
    int bytes;
    int filled;
  };
  for (const Case& c : {Case{16, 16}, Case{17, 16}, Case{19, 16}, Case{3, 0}, Case{0, 0}, Case{-8, 0}}) {
    synth::SynthState s;
    s.OSC1.Wave = synth::WaveRampShifted;  // -0.5 at Pos 0: no byte of 0xAB
    const auto buffer = Render(s, c.bytes);
    for (int i = 0; i < c.filled; ++i) EXPECT_NE(buffer[i], 0xAB) << c.bytes << " byte " << i;
    for (std::size_t i = c.filled; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xAB) << c.bytes << " byte " << i;
  }
}

TEST(RenderBlock, ReturnsOneAndPlaysTheProcessState) {
  synth::TheSynth() = synth::SynthState{};
  std::int16_t frames[8];
  EXPECT_EQ(audio::RenderBlock(nullptr, frames, sizeof frames, &synth::TheSynth().OSC1), 1);
  EXPECT_EQ(synth::TheSynth().OSC1.Pos, 4 * 440.0f / 44100.0f);
}

TEST(RenderBlock, StartValuesGiveThePulseAt440Hz) {
  synth::SynthState s;
  const int frames = 512 * 4;
  std::vector<std::int16_t> block(2 * frames);
  audio::RenderBlockFor(s, block.data(), frames * 4);
  std::set<int> levels;
  std::vector<int> rises;  // frames where the output steps up to 10000
  for (int i = 0; i < frames; ++i) {
    ASSERT_EQ(block[2 * i], block[2 * i + 1]) << "frame " << i;
    levels.insert(block[2 * i]);
    if (i > 0 && block[2 * i] == 10000 && block[2 * i - 2] != 10000) rises.push_back(i);
  }
  EXPECT_EQ(levels, (std::set<int>{-10000, 0, 10000}));
  ASSERT_GE(rises.size(), 10u);
  const double period = double(rises.back() - rises.front()) / double(rises.size() - 1);
  EXPECT_NEAR(period, 44100.0 / 440.0, 0.05);
}

TEST(RenderBlock, VoiceRecoversAfterItsFrequencyOverflowed) {
  synth::SynthState s;
  std::vector<std::int16_t> block(2 * 512);
  s.Note = 2000;  // far beyond the float range: the frequency is infinite
  audio::RenderBlockFor(s, block.data(), 512 * 4);
  EXPECT_TRUE(std::isinf(float(s.OSC1.Freq)));
  s.Note = 58;
  audio::RenderBlockFor(s, block.data(), 512 * 4);
  std::set<int> levels;
  for (int i = 16; i < 512; ++i) levels.insert(block[2 * i]);
  EXPECT_EQ(levels, (std::set<int>{-10000, 0, 10000}));
}

}  // namespace
