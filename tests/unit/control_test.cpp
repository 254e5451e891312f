// The key handling and the read-out.
#include "app/control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using app::ApplyKey;
using synth::SynthState;

void Press(SynthState& s, const std::string& keys) {
  for (char k : keys) ApplyKey(s, static_cast<signed char>(k));
}

std::string Readout(const SynthState& s) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  app::PrintReadout(s, out);
  std::fclose(out);
  std::string r = text;
  std::free(text);
  return r;
}

// Which field a key moves, and by how much from the start values.
struct ParameterCase {
  char key;
  int oscillator;  // 0 = OSC1, 1..4 = LFO1..LFO4
  bool freq;
  float after;
};

class ParameterKeys : public ::testing::TestWithParam<ParameterCase> {};

TEST_P(ParameterKeys, MoveOneFieldByItsStep) {
  const ParameterCase& c = GetParam();
  SynthState s;
  if (c.freq) s.Oscillators(c.oscillator)->Freq = 10.0f;  // room to go down
  const SynthState before = s;
  ApplyKey(s, c.key);
  for (int i = 0; i < synth::OscillatorCount; ++i) {
    const synth::Oscillator& o = *s.Oscillators(i);
    const synth::Oscillator& b = *const_cast<SynthState&>(before).Oscillators(i);
    const bool target = i == c.oscillator;
    EXPECT_EQ(o.Freq, target && c.freq ? c.after : float(b.Freq)) << c.key << " osc " << i;
    EXPECT_EQ(o.Ampl, target && !c.freq ? c.after : float(b.Ampl)) << c.key << " osc " << i;
    EXPECT_EQ(o.Phase, 1.0f) << c.key;
  }
  EXPECT_EQ(s.Note, 58);
}

INSTANTIATE_TEST_SUITE_P(Table, ParameterKeys,
                         ::testing::Values(ParameterCase{'z', 0, false, 1.01f}, ParameterCase{'s', 0, false, 0.99f},
                                           ParameterCase{'e', 1, true, 10.5f}, ParameterCase{'d', 1, true, 9.5f},
                                           ParameterCase{'r', 1, false, 1.01f}, ParameterCase{'f', 1, false, 0.99f},
                                           ParameterCase{'t', 2, true, 10.1f}, ParameterCase{'g', 2, true, 9.9f},
                                           ParameterCase{'y', 2, false, 1.01f}, ParameterCase{'h', 2, false, 0.99f},
                                           ParameterCase{'u', 3, true, 11.0f}, ParameterCase{'j', 3, true, 9.0f},
                                           ParameterCase{'i', 3, false, 1.01f}, ParameterCase{'k', 3, false, 0.99f},
                                           ParameterCase{'o', 4, true, 11.0f}, ParameterCase{'l', 4, true, 9.0f},
                                           ParameterCase{'p', 4, false, 1.01f}, ParameterCase{'m', 4, false, 0.99f}),
                         [](const auto& info) { return std::string(1, info.param.key); });

TEST(Keys, NoteKeys) {
  const std::pair<char, int> table[] = {{'w', 61}, {'x', 63}, {'c', 65}, {'v', 66},
                                        {'b', 68}, {'n', 70}, {',', 71}, {';', 72}};
  for (const auto& [key, note] : table) {
    SynthState s;
    ApplyKey(s, key);
    EXPECT_EQ(s.Note, note) << key;
  }
  SynthState s;
  Press(s, "aaa");
  EXPECT_EQ(s.Note, 61);
  Press(s, std::string(100, 'q'));
  EXPECT_EQ(s.Note, -39);
}

TEST(Keys, NoteWrapsInsteadOfOverflowing) {
  SynthState s;
  s.Note = std::numeric_limits<std::int32_t>::max();
  ApplyKey(s, 'a');
  EXPECT_EQ(s.Note, std::numeric_limits<std::int32_t>::min());
  ApplyKey(s, 'q');
  EXPECT_EQ(s.Note, std::numeric_limits<std::int32_t>::max());
}

TEST(Keys, HundredPressesOfSLeaveSilence) {
  SynthState s;
  Press(s, std::string(99, 's'));
  EXPECT_GT(s.OSC1.Ampl, 0.0f);  // about 0.01 left
  ApplyKey(s, 's');
  EXPECT_EQ(s.OSC1.Ampl, 0.0f);
  Press(s, "sss");
  EXPECT_EQ(s.OSC1.Ampl, 0.0f);
}

TEST(Keys, EThenDSwitchesTheFirstModulatorOnAndOff) {
  SynthState s;
  ApplyKey(s, 'e');
  EXPECT_EQ(s.LFO1.Freq, 0.5f);
  ApplyKey(s, 'd');
  EXPECT_EQ(s.LFO1.Freq, 0.0f);
  ApplyKey(s, 'd');
  EXPECT_EQ(s.LFO1.Freq, 0.0f);  // never negative
}

TEST(Keys, CountersWrapAndSetTheWaveform) {
  struct Case {
    char key;
    int oscillator;
  };
  for (const Case& c : {Case{'+', 0}, Case{'7', 1}, Case{'8', 2}, Case{'9', 3}, Case{'4', 4}}) {
    SynthState s;
    const int expected[] = {1, 2, 3, 4, 5, 1};
    for (int e : expected) {
      ApplyKey(s, c.key);
      EXPECT_EQ(s.TypeCounter[c.oscillator], e) << c.key;
      EXPECT_EQ(s.Oscillators(c.oscillator)->Wave, e) << c.key;
    }
  }
}

TEST(Keys, MinusStepsTheFirstCounterBack) {
  SynthState s;
  ApplyKey(s, '-');
  EXPECT_EQ(s.TypeCounter[0], 5);
  EXPECT_EQ(s.OSC1.Wave, synth::WaveNoise);
  Press(s, "----");
  EXPECT_EQ(s.TypeCounter[0], 1);
  ApplyKey(s, '-');
  EXPECT_EQ(s.TypeCounter[0], 5);
  ApplyKey(s, '+');
  EXPECT_EQ(s.TypeCounter[0], 1);
}

// The counter is copied after every key: a Wave changed elsewhere snaps back.
TEST(Keys, WaveformCopyRunsAfterEveryKey) {
  SynthState s;
  ApplyKey(s, '+');
  s.OSC1.Wave = synth::WaveRamp;
  ApplyKey(s, 'A');
  EXPECT_EQ(s.OSC1.Wave, synth::WaveSine);
  SynthState fresh;
  ApplyKey(fresh, 'A');
  EXPECT_EQ(fresh.OSC1.Wave, synth::WavePulse);  // counter 0 leaves it as built
}

TEST(Keys, ClampZeroesTinyNegativeAndNanValues) {
  SynthState s;
  s.LFO2.Phase = 0.0001f;
  s.LFO3.Freq = -5.0f;
  s.LFO4.Ampl = std::nanf("");
  s.OSC1.Freq = 0.00011f;
  ApplyKey(s, 'A');
  EXPECT_EQ(s.LFO2.Phase, 0.0f);
  EXPECT_EQ(s.LFO3.Freq, 0.0f);
  EXPECT_EQ(s.LFO4.Ampl, 0.0f);
  EXPECT_EQ(s.OSC1.Freq, 0.00011f);
}

TEST(Readout, AfterW) {
  SynthState s;
  ApplyKey(s, 'w');
  const std::string start = "Freq [0.000] Ampl [1.000] Phase [1.000] - AFreq [0.000] AAmpl [1.000] APhase [1.000]  \n";
  EXPECT_EQ(Readout(s),
            "Note [61] -> [440.000000]\n"
            "Freq [440.000] Ampl [1.000] Phase [1.000] - AFreq [440.000] AAmpl [1.000] APhase [1.000]  \n" +
                start + start + start + start);
}

TEST(Readout, UnlistedKeyChangesNothing) {
  for (char key : {'A', '5', 'Q', '\x7f', '\0'}) {
    SynthState s;
    const std::string before = Readout(s);
    ApplyKey(s, key);
    EXPECT_EQ(Readout(s), before) << int(key);
  }
}

}  // namespace
