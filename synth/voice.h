// The voice: the audible oscillator OSC1 shaped by four modulators.
//   LFO1 -> OSC1.AAmpl, LFO2 -> OSC1.AFreq, LFO3 -> OSC1.APhase,
//   LFO4 -> OSC1.AFreq again (after LFO2, so the two compound).
// Each modulation multiplies its target by (1 + modulator value). A modulator
// acts only while both its AAmpl and its AFreq differ from 0; it is ticked
// every step regardless.
//
// Note is a note number in semitones: Freq = 8.1757989 * 2^((Note + 11) / 12)
// hertz, so Note 58 is 440 Hz.
#pragma once

#include <cstdint>

#include "synth/oscillator.h"
#include "synth/shared.h"

struct SDL_Surface;  // the scope's window surface; only its pointer lives here

namespace synth {

inline constexpr int OscillatorCount = 5;  // OSC1, LFO1 .. LFO4

struct SynthState {
  Oscillator OSC1{1.0f, 440.0f, WavePulse};
  Oscillator LFO1{1.0f, 0.0f, WaveSine};
  Oscillator LFO2{1.0f, 0.0f, WaveSine};
  Oscillator LFO3{1.0f, 0.0f, WaveSine};
  Oscillator LFO4{1.0f, 0.0f, WaveSine};
  Shared<std::int32_t> Note = 58;

  // Keyboard control: a waveform counter per oscillator, in the order OSC1,
  // LFO1 .. LFO4. 0 leaves Wave as constructed; 1 to 5 is copied into Wave.
  std::int32_t TypeCounter[OscillatorCount] = {0, 0, 0, 0, 0};

  // The scope's surface, set once before the stream starts; null for none.
  SDL_Surface* Surface = nullptr;

  // Audio thread only: the frequency of the last note seen, so the power is
  // computed when Note changes rather than on every step.
  bool HaveCachedNote = false;
  std::int32_t CachedNote = 0;
  float CachedFreq = 0.0f;

  Oscillator* Oscillators(int i);  // 0 = OSC1, 1..4 = LFO1..LFO4
};

// The process-wide state that the block callback plays.
SynthState& TheSynth();

// OSC1's frequency for a note number, as stored (float).
float NoteFrequency(std::int32_t note);

// One step of the whole voice; returns OSC1's output. The audio form
// (withNote) sets OSC1.Freq from Note; the scope form leaves it alone.
float StepVoice(SynthState& s, bool withNote);

}  // namespace synth
