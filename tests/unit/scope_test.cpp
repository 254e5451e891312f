// The scope on an off-screen surface, pixel by pixel.
#include "scope/scope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <vector>

#include "audio/render_block.h"
#include "synth/random.h"

namespace {

using scope::Blue;
using scope::Green;
using scope::Magenta;
using scope::Red;
using scope::White;

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

Surface Make(int height = scope::Height) {
  return Surface(SDL_CreateRGBSurface(SDL_SWSURFACE, scope::Width, height, 32, 0xff0000, 0xff00, 0xff, 0));
}

std::uint32_t Pixel(SDL_Surface* s, int x, int y) {
  return static_cast<std::uint32_t*>(s->pixels)[(y * s->pitch) / 4 + x];
}

// The colours that appear in each row, over all columns.
std::map<int, std::set<std::uint32_t>> RowColours(SDL_Surface* s) {
  std::map<int, std::set<std::uint32_t>> rows;
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x)
      if (const auto p = Pixel(s, x, y)) rows[y].insert(p);
  return rows;
}

void Draw(synth::SynthState& state, SDL_Surface* surface) {
  state.Surface = surface;
  scope::ClearSurface(surface);
  scope::DrawScope(state);
}

TEST(Scope, ClearPaintsEverythingBlack) {
  Surface s = Make();
  std::memset(s->pixels, 0xAB, static_cast<size_t>(s->pitch) * s->h);
  scope::ClearSurface(s.get());
  EXPECT_TRUE(RowColours(s.get()).empty());
}

// Flat modulators sit one row above the centre: sin(6.2831853) is a tiny
// negative number. The pulse shows at 70/170 above and 416/450/483 below;
// its zero level above hides under the centre line.
TEST(Scope, StartValues) {
  synth::SynthState state;
  Surface s = Make();
  Draw(state, s.get());
  const std::map<int, std::set<std::uint32_t>> expected = {
      {70, {White}}, {119, {Blue}}, {120, {Magenta}}, {170, {White}}, {416, {White}}, {450, {White}}, {483, {White}}};
  EXPECT_EQ(RowColours(s.get()), expected);
  for (int x = 0; x < scope::Width; ++x) {
    ASSERT_EQ(Pixel(s.get(), x, 119), Blue) << x;
    ASSERT_EQ(Pixel(s.get(), x, 120), Magenta) << x;
  }
}

TEST(Scope, RowsAreDecidedOnTheDouble) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, int> table[] = {{220.0, 220}, {1.0, 1},       {0.999, -1}, {0.0, -1},
                                          {-0.5, -1},   {799.999, 799}, {800.0, -1}, {1e300, -1},
                                          {-1e300, -1}, {inf, -1},      {-inf, -1},  {std::nan(""), -1}};
  for (const auto& [row, drawn] : table) {
    Surface s = Make(scope::Height + 1);
    scope::ClearSurface(s.get());
    scope::PlotRow(s.get(), 5, row, Red);
    std::map<int, std::set<std::uint32_t>> expected;
    if (drawn >= 0) expected[drawn] = {Red};
    EXPECT_EQ(RowColours(s.get()), expected) << row;
  }
}

TEST(Scope, ModulatorAtOneIsDrawnAtRow220) {
  synth::SynthState state;
  state.LFO4.Wave = synth::WavePulse;  // AAmpl while the sine is above 0.5
  state.LFO4.Phase = 0.25f;            // sin(6.2831853 * 0.25) is about 1
  state.LFO4.Freq = 1e-6f;             // active; Pos barely moves
  Surface s = Make();
  Draw(state, s.get());
  for (int x = 0; x < scope::Width; ++x) ASSERT_EQ(Pixel(s.get(), x, 220), Red) << x;
}

// A later plot wins: the lower view of a large negative output lands on the
// centre line and covers it where the pulse is low.
TEST(Scope, LaterPlotsOverwriteEarlierOnes) {
  synth::SynthState state;
  state.OSC1.Ampl = 9.9f;  // lower view of -9.9: 450 - 330 = row 120
  Surface s = Make();
  Draw(state, s.get());
  EXPECT_EQ(RowColours(s.get())[120], (std::set<std::uint32_t>{Magenta, White}));
}

TEST(Scope, NothingOnRowZeroOrRow800) {
  synth::SynthState state;
  state.LFO1.Ampl = 2.0f;  // rows from -80 to 320
  state.LFO1.Freq = 5.0f;
  state.OSC1.Ampl = 10.5f;  // lower view at row 800
  Surface s = Make(scope::Height + 1);
  Draw(state, s.get());
  const auto rows = RowColours(s.get());
  EXPECT_EQ(rows.count(0), 0u);
  EXPECT_EQ(rows.count(800), 0u);
  EXPECT_EQ(rows.count(1), 1u);  // the blue trace does reach the top row
}

TEST(Scope, HostileValuesDrawNothingAndDoNotCrash) {
  for (float v : {std::nanf(""), 1e30f, -1e30f, std::numeric_limits<float>::infinity()}) {
    synth::SynthState state;
    state.LFO1.Ampl = v;
    state.LFO1.Freq = 1.0f;
    state.OSC1.Ampl = v;
    Surface s = Make();
    Draw(state, s.get());
    const auto rows = RowColours(s.get());
    EXPECT_EQ(rows.count(119), 1u) << v;  // the other modulators still flat
    EXPECT_EQ(rows.at(120), (std::set<std::uint32_t>{Magenta})) << v;
  }
}

TEST(Scope, PassPutsThePhasesBackAndMakes12802Steps) {
  synth::SynthState state;
  synth::Oscillator* all[] = {&state.OSC1, &state.LFO1, &state.LFO2, &state.LFO3, &state.LFO4};
  const float pos[] = {0.125f, -1.5f, 0.75f, 0.0625f, -0.25f};
  for (int i = 0; i < 5; ++i) all[i]->Pos = pos[i];
  state.OSC1.Wave = synth::WaveNoise;  // n = 1: one draw a step, never a burst
  state.OSC1.Freq = 439.5f;
  synth::Noise().State = 1;
  Surface s = Make();
  Draw(state, s.get());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(all[i]->Pos, pos[i]) << i;
  synth::RandomSource replay;
  for (int i = 0; i < 12802; ++i) replay.Next();
  EXPECT_EQ(synth::Noise().State, replay.State);
  EXPECT_EQ(state.OSC1.Freq, 439.5f);
}

// Without noise the pass leaves the audio exactly as it would be without it.
TEST(Scope, BlocksSoundTheSameWithAndWithoutTheScope) {
  synth::SynthState drawn, plain;
  for (synth::SynthState* st : {&drawn, &plain}) {
    st->LFO1.Freq = 3.0f;
    st->LFO2.Freq = 0.7f;
    st->LFO2.Ampl = 0.3f;
    st->LFO3.Freq = 11.0f;
    st->LFO4.Wave = synth::WaveRampShifted;
    st->LFO4.Freq = 2.0f;
  }
  Surface s = Make();
  drawn.Surface = s.get();
  std::vector<std::int16_t> a(1024), b(1024);
  for (int block = 0; block < 20; ++block) {
    audio::RenderBlockFor(drawn, a.data(), 2048);
    audio::RenderBlockFor(plain, b.data(), 2048);
    ASSERT_EQ(a, b) << "block " << block;
  }
  EXPECT_FALSE(RowColours(s.get()).empty());
}

}  // namespace

namespace {

std::vector<std::uint32_t> Pixels(SDL_Surface* s) {
  std::vector<std::uint32_t> all;
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x) all.push_back(Pixel(s, x, y));
  return all;
}

struct Left {
  float value, freq, ampl, phase;
  bool operator==(const Left&) const = default;
};

std::vector<Left> Effective(synth::SynthState& s) {
  std::vector<Left> out;
  for (int i = 0; i < synth::OscillatorCount; ++i) {
    const synth::Oscillator& o = *s.Oscillators(i);
    out.push_back({o.Value, o.AFreq, o.AAmpl, o.APhase});
  }
  return out;
}

void Modulated(synth::SynthState& s) {
  s.LFO1.Freq = 3.0f;
  s.LFO2.Freq = 0.7f;
  s.LFO2.Ampl = 0.3f;
  s.LFO3.Freq = 11.0f;
  s.LFO4.Wave = synth::WaveRampShifted;
  s.LFO4.Freq = 2.0f;
}

// A picture that stands still is drawn from the last pass: it must be the
// very picture, and leave the very state, that computing it gives.
TEST(ScopeRepeat, UnchangedSettingsGiveTheSamePictureAndState) {
  synth::SynthState s;
  Modulated(s);
  Surface first = Make(), second = Make();
  Draw(s, first.get());
  const auto left = Effective(s);
  for (int i = 0; i < synth::OscillatorCount; ++i) s.Oscillators(i)->Value = 9.0f;
  Draw(s, second.get());
  EXPECT_TRUE(Pixels(first.get()) == Pixels(second.get()));
  EXPECT_TRUE(Effective(s) == left);
}

TEST(ScopeRepeat, ChangedSettingsAreDrawnAfresh) {
  synth::SynthState s, fresh;
  Modulated(s);
  Modulated(fresh);
  Surface before = Make(), after = Make(), expected = Make();
  Draw(s, before.get());
  s.LFO3.Ampl = 0.5f;
  fresh.LFO3.Ampl = 0.5f;
  Draw(s, after.get());
  fresh.Surface = expected.get();
  scope::ClearSurface(expected.get());
  synth::StepVoice(fresh, false);  // another pass in between, from other settings
  Draw(fresh, expected.get());
  EXPECT_FALSE(Pixels(before.get()) == Pixels(after.get()));
  EXPECT_TRUE(Pixels(after.get()) == Pixels(expected.get()));
}

TEST(ScopeRepeat, NoiseDrawsOnEveryPass) {
  synth::SynthState s;
  s.OSC1.Wave = synth::WaveNoise;
  s.OSC1.Freq = 439.5f;
  synth::Noise().State = 1;
  Surface surface = Make();
  Draw(s, surface.get());
  Draw(s, surface.get());
  synth::RandomSource replay;
  for (int i = 0; i < 2 * 12802; ++i) replay.Next();
  EXPECT_EQ(synth::Noise().State, replay.State);
}

// An unknown waveform keeps the Value it had before the pass.
TEST(ScopeRepeat, UnknownWaveformFollowsItsValue) {
  synth::SynthState s;
  s.OSC1.Wave = 0;
  Surface surface = Make();
  s.OSC1.Value = 0.5f;
  Draw(s, surface.get());
  EXPECT_EQ(Pixel(surface.get(), 10, 145), White);  // 120 + 5000 / 200
  s.OSC1.Value = 0.25f;
  Draw(s, surface.get());
  EXPECT_EQ(Pixel(surface.get(), 10, 132), White);  // 120 + 2500 / 200
  EXPECT_EQ(Pixel(surface.get(), 10, 145), 0u);
}

}  // namespace
