// Oscillator ticks, bit for bit. Expected values were worked out by hand from
// the rule (float fields, double arithmetic, 6.2831853 as the cycle constant).
#include "synth/oscillator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "synth/random.h"

namespace {

using synth::Oscillator;

// An oscillator whose effective fields are what Tick will read.
Oscillator Make(float ampl, float freq, int wave) {
  Oscillator o(ampl, freq, wave);
  o.LoadActual();
  return o;
}

class NoiseFixture : public ::testing::Test {
 protected:
  void SetUp() override { synth::Noise().State = 1; }
  // Draws taken since SetUp, found by replaying the generator.
  static int DrawsTaken() {
    synth::RandomSource replay;
    for (int n = 0; n < 1000; ++n) {
      if (replay.State == synth::Noise().State) return n;
      replay.Next();
    }
    return -1;
  }
};

TEST(Oscillator, ConstructionSetsBaseAndEffectiveFields) {
  Oscillator o(0.25f, 123.5f, 3);
  EXPECT_EQ(o.Phase, 1.0f);
  EXPECT_EQ(o.Pos, 0.0f);
  EXPECT_EQ(o.Ampl, 0.25f);
  EXPECT_EQ(o.Freq, 123.5f);
  EXPECT_EQ(o.APhase, 1.0f);
  EXPECT_EQ(o.AAmpl, 0.25f);
  EXPECT_EQ(o.AFreq, 123.5f);
  EXPECT_EQ(o.Wave, 3);
}

struct TickCase {
  const char* name;
  int wave;
  float ampl;
  int ticks;
  float pos;    // Pos after the ticks
  float value;  // Value after the ticks
};

class TickByWave : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickByWave, MatchesTheRuleBitForBit) {
  const TickCase& c = GetParam();
  Oscillator o = Make(c.ampl, 440.0f, c.wave);
  for (int i = 0; i < c.ticks; ++i) o.Tick();
  EXPECT_EQ(o.Pos, c.pos);
  EXPECT_EQ(o.Value, c.value);
}

INSTANTIATE_TEST_SUITE_P(Waves, TickByWave,
                         ::testing::Values(
                             // Pos = 440/44100 as a float; sin(6.2831853 (Pos + 1.0))
                             TickCase{"sine_one_tick", synth::WaveSine, 1.0f, 1, 0x1.46efdcp-7f, 0x1.009b84p-4f},
                             TickCase{"sine_three_ticks", synth::WaveSine, 1.0f, 3, 0x1.ea67cap-6f, 0x1.7ee5a2p-3f},
                             TickCase{"ramp", synth::WaveRamp, 0.7f, 2, 0x1.46efdcp-6f, 0x1.c9b634p-7f},
                             TickCase{"ramp_shifted", synth::WaveRampShifted, 0.7f, 2, 0x1.46efdcp-6f, -0x1.f1b24ep-2f},
                             // sine below 0.5 early in the cycle: the pulse reads 0
                             TickCase{"pulse_low_plateau", synth::WavePulse, 1.0f, 3, 0x1.ea67cap-6f, 0.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Oscillator, PosOfExactlyOneIsNotReduced) {
  Oscillator o = Make(1.0f, 0.0f, synth::WaveRamp);
  o.Pos = 1.0f;
  o.Tick();
  EXPECT_EQ(o.Pos, 1.0f);
  EXPECT_EQ(o.Value, 1.0f);
}

TEST(Oscillator, FirstPosAboveOneDropsByThree) {
  // 44100 * 2^-23 hertz advances Pos by exactly one float step past 1.0.
  Oscillator o = Make(1.0f, 44100.0f * 0x1p-23f, synth::WaveRamp);
  o.Pos = 1.0f;
  o.Tick();
  EXPECT_EQ(o.Pos, -0x1.fffffep+0f);  // 1 + 2^-23 - 3
}

TEST(Oscillator, ZeroFrequencyFreezesPos) {
  Oscillator o = Make(1.0f, 0.0f, synth::WaveSine);
  o.Pos = 0.3f;
  o.Tick();
  const float first = o.Value;
  for (int i = 0; i < 100; ++i) o.Tick();
  EXPECT_EQ(o.Pos, 0.3f);
  EXPECT_EQ(o.Value, first);
}

TEST(Oscillator, NegativeFrequencyFallsWithoutBound) {
  Oscillator o = Make(1.0f, -44100.0f, synth::WaveRamp);
  for (int i = 0; i < 10; ++i) o.Tick();
  EXPECT_EQ(o.Pos, -10.0f);
}

TEST(Oscillator, PulseLevels) {
  struct Case {
    float ampl;
    std::set<float> levels;
  };
  for (const Case& c : {Case{1.0f, {1.0f, 0.0f, -1.0f}}, Case{0.3f, {0.0f, -0.3f}}}) {
    Oscillator o = Make(c.ampl, 440.0f, synth::WavePulse);
    std::set<float> seen;
    for (int i = 0; i < 44100; ++i) {
      o.Tick();
      seen.insert(o.Value);
    }
    EXPECT_EQ(seen, c.levels) << "AAmpl " << c.ampl;
  }
}

TEST(Oscillator, UnknownWaveKeepsLastValueWhilePosAdvances) {
  for (int wave : {0, 6}) {
    Oscillator o = Make(1.0f, 440.0f, wave);
    o.Value = 0.625f;
    o.Tick();
    o.Tick();
    EXPECT_EQ(o.Value, 0.625f) << "Wave " << wave;
    EXPECT_EQ(o.Pos, 0x1.46efdcp-6f) << "Wave " << wave;
  }
}

TEST(Oscillator, NonFinitePosRestartsAtZero) {
  Oscillator o = Make(1.0f, std::numeric_limits<float>::infinity(), synth::WaveSine);
  o.Tick();
  EXPECT_EQ(o.Pos, 0.0f);
  o.AFreq = 440.0f;
  o.Tick();
  EXPECT_EQ(o.Pos, 0x1.46efdcp-7f);
  EXPECT_EQ(o.Value, 0x1.009b84p-4f);
}

TEST_F(NoiseFixture, ZeroAmplitudeIsSilentAndDrawsNothing) {
  Oscillator o = Make(0.0f, 440.5f, synth::WaveNoise);
  for (int i = 0; i < 10; ++i) o.Tick();
  EXPECT_EQ(o.Value, 0.0f);
  EXPECT_EQ(DrawsTaken(), 0);
}

// With one draw per tick and no burst, the output stays at -AAmpl / 2.
struct NoBurstCase {
  const char* name;
  float freq;
};

class NoiseWithoutBursts : public NoiseFixture, public ::testing::WithParamInterface<NoBurstCase> {};

TEST_P(NoiseWithoutBursts, SitsAtMinusHalfTheAmplitude) {
  Oscillator o = Make(0.8f, GetParam().freq, synth::WaveNoise);
  for (int i = 0; i < 200; ++i) {
    o.Tick();
    ASSERT_EQ(o.Value, -0x1.99999ap-2f) << "tick " << i;  // (0 - 50 * 0.8) / 100
  }
  EXPECT_EQ(DrawsTaken(), 200);
}

INSTANTIATE_TEST_SUITE_P(Divisors, NoiseWithoutBursts,
                         ::testing::Values(NoBurstCase{"n_is_one", 439.5f}, NoBurstCase{"n_is_minus_one", 436.5f},
                                           NoBurstCase{"n_is_zero", 437.5f},
                                           NoBurstCase{"nan_frequency", std::numeric_limits<float>::quiet_NaN()}),
                         [](const auto& info) { return std::string(info.param.name); });

// AFreq 440.5 gives n = 2: a burst on every odd draw. From state 1 the draws
// are 16838, 5758, 10113, 17515, 31051, 5627.
TEST_F(NoiseFixture, BurstsWithNegativeAmplitudeUseModulusMinus89) {
  Oscillator o = Make(-2.0f, 440.5f, synth::WaveNoise);
  const float expected[] = {1.0f, 1.0f, 1.71f, 1.2f};  // (r + 100) / 100, r = 17515 % 89, 5627 % 89
  for (float e : expected) {
    o.Tick();
    EXPECT_EQ(o.Value, e);
  }
  EXPECT_EQ(DrawsTaken(), 6);
}

TEST_F(NoiseFixture, ZeroSecondDivisorDrawsButGivesNoBurst) {
  Oscillator o = Make(-1.115f, 440.5f, synth::WaveNoise);  // m = -111 + 111 = 0
  for (int i = 0; i < 4; ++i) {
    o.Tick();
    EXPECT_EQ(o.Value, 0x1.1d70a4p-1f);  // (0 + 50 * 1.115) / 100
  }
  EXPECT_EQ(DrawsTaken(), 6);  // two of the four ticks drew k2
}

TEST_F(NoiseFixture, HugeAndNonFiniteFieldsStayDefined) {
  const float inf = std::numeric_limits<float>::infinity();
  for (float ampl : {1e30f, -1e30f, inf}) {
    for (float freq : {1e30f, -1e30f, inf, -inf}) {
      Oscillator o = Make(ampl, freq, synth::WaveNoise);
      for (int i = 0; i < 50; ++i) o.Tick();
      EXPECT_FALSE(std::isnan(o.Value)) << ampl << " " << freq;
    }
  }
}

TEST(Oscillator, PrintLineFormat) {
  Oscillator o(1.0f, 440.0f, synth::WavePulse);
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  o.PrintLine(out);
  std::fclose(out);
  EXPECT_STREQ(text, "Freq [440.000] Ampl [1.000] Phase [1.000] - AFreq [440.000] AAmpl [1.000] APhase [1.000]  \n");
  std::free(text);
}

}  // namespace
