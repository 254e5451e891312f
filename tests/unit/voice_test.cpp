// The voice: note frequencies, the one-step delay of a new note, which
// modulators act, and how they compound.
#include "synth/voice.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using synth::StepVoice;
using synth::SynthState;

TEST(Voice, NoteFrequenciesAsStoredFloats) {
  const std::pair<int, float> table[] = {{0, 15.433853f},  {57, 415.30469f}, {58, 440.0f},     {61, 523.25116f},
                                         {63, 587.32953f}, {65, 659.25513f}, {66, 698.45648f}, {68, 783.99084f},
                                         {70, 880.0f},     {71, 932.32751f}, {72, 987.7666f}};
  for (const auto& [note, freq] : table) EXPECT_EQ(synth::NoteFrequency(note), freq) << "note " << note;
}

TEST(Voice, NewNoteReachesTheOscillatorOneStepLater) {
  SynthState s;
  StepVoice(s, true);
  s.Note = 61;
  StepVoice(s, true);
  EXPECT_EQ(s.OSC1.AFreq, 440.0f);
  EXPECT_EQ(s.OSC1.Freq, 523.25116f);
  StepVoice(s, true);
  EXPECT_EQ(s.OSC1.AFreq, 523.25116f);
}

TEST(Voice, ScopeFormLeavesFreqAlone) {
  SynthState s;
  s.Note = 61;
  StepVoice(s, false);
  StepVoice(s, false);
  EXPECT_EQ(s.OSC1.Freq, 440.0f);
  EXPECT_EQ(s.OSC1.AFreq, 440.0f);
}

TEST(Voice, StartValuesPlayTheBarePulse) {
  SynthState s;
  for (int i = 0; i < 1000; ++i) {
    const float out = StepVoice(s, true);
    ASSERT_TRUE(out == 1.0f || out == 0.0f || out == -1.0f) << out;
    ASSERT_EQ(s.OSC1.AAmpl, 1.0f);
    ASSERT_EQ(s.OSC1.AFreq, 440.0f);
    ASSERT_EQ(s.OSC1.APhase, 1.0f);
  }
}

// A modulator acts only when both its amplitude and frequency differ from 0.
TEST(Voice, InactiveModulatorsLeaveTheirTargetAlone) {
  struct Case {
    float ampl, freq;
  };
  for (const Case& c : {Case{0.0f, 5.0f}, Case{1.0f, 0.0f}, Case{0.0f, 0.0f}}) {
    SynthState s;
    for (synth::Oscillator* lfo : {&s.LFO1, &s.LFO2, &s.LFO3, &s.LFO4}) {
      lfo->Ampl = c.ampl;
      lfo->Freq = c.freq;
      lfo->Wave = synth::WaveRampShifted;  // non-zero value even at Pos 0
    }
    for (int i = 0; i < 50; ++i) StepVoice(s, true);
    EXPECT_EQ(s.OSC1.AAmpl, 1.0f) << c.ampl << " " << c.freq;
    EXPECT_EQ(s.OSC1.AFreq, 440.0f) << c.ampl << " " << c.freq;
    EXPECT_EQ(s.OSC1.APhase, 1.0f) << c.ampl << " " << c.freq;
  }
}

// Each active modulator multiplies its target by (1 + value): target = v t + t.
TEST(Voice, ModulatorsReachTheirTargets) {
  SynthState s;
  s.LFO1.Ampl = 0.5f;
  s.LFO1.Freq = 3.0f;
  s.LFO3.Ampl = 0.25f;
  s.LFO3.Freq = 7.0f;
  for (int i = 0; i < 300; ++i) StepVoice(s, true);
  const double v1 = s.LFO1.Value, v3 = s.LFO3.Value;
  EXPECT_NE(v1, 0.0);
  EXPECT_EQ(s.OSC1.AAmpl, static_cast<float>(v1 * 1.0 + 1.0));
  EXPECT_EQ(s.OSC1.APhase, static_cast<float>(v3 * 1.0 + 1.0));
  EXPECT_EQ(s.OSC1.AFreq, 440.0f);
}

TEST(Voice, SecondAndFourthModulatorsCompound) {
  SynthState s;
  s.LFO2.Freq = 2.0f;
  s.LFO2.Wave = synth::WaveRampShifted;
  s.LFO4.Freq = 5.0f;
  s.LFO4.Ampl = 0.5f;
  for (int i = 0; i < 500; ++i) StepVoice(s, true);
  const double v2 = s.LFO2.Value, v4 = s.LFO4.Value;
  const double once = static_cast<float>(v2 * 440.0 + 440.0);
  const float twice = static_cast<float>(v4 * once + once);
  EXPECT_NE(v2, 0.0);
  EXPECT_NE(v4, 0.0);
  EXPECT_EQ(s.OSC1.AFreq, twice);
}

TEST(Voice, AmplitudeModulationSwingsBetweenZeroAndTwo) {
  SynthState s;
  s.LFO1.Freq = 0.5f;
  float low = 10.0f, high = -10.0f;
  for (int i = 0; i < 2 * 44100; ++i) {
    StepVoice(s, true);
    low = std::min<float>(low, s.OSC1.AAmpl);
    high = std::max<float>(high, s.OSC1.AAmpl);
  }
  EXPECT_NEAR(low, 0.0f, 1e-6);
  EXPECT_NEAR(high, 2.0f, 1e-6);
}

}  // namespace
