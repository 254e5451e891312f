// Oscillator: the one sound-producing element, ticked once per sample at
// 44,100 samples per second. Frequencies in hertz, phases and Pos in cycles,
// amplitudes as plain factors.
//
// Pos runs from just above -2.0 up to 1.0: it is reduced by three, not by one,
// when it passes 1.0, so one sweep spans three base cycles. The sine does not
// jump there; the ramps fall back once per sweep (AFreq / 3 hertz).
//
// Fields are stored as 32-bit floats and all arithmetic is done in double, so
// every rounding is the one written. The base fields (Ampl, Freq, Phase, Wave)
// are edited by the control thread while the audio thread ticks, so each field
// is a relaxed atomic (see shared.h).
#pragma once

#include <cstdint>
#include <cstdio>

#include "synth/shared.h"

namespace synth {

inline constexpr float SampleRate = 44100.0f;

enum Waveform : std::int32_t {
  WaveSine = 1,         // sin(2pi (Pos + APhase)) * AAmpl
  WaveRamp = 2,         // Pos * AAmpl
  WaveRampShifted = 3,  // Pos * AAmpl - 0.5
  WavePulse = 4,        // three levels taken from the sine
  WaveNoise = 5,        // random bursts around -AAmpl / 2
};

class Oscillator {
 public:
  Oscillator() : Oscillator(0.0f, 0.0f, WaveSine) {}
  Oscillator(float ampl, float freq, std::int32_t wave);

  // Copies the base fields into the effective ones that Tick reads.
  void LoadActual();
  // Advances one sample and recomputes Value.
  void Tick();
  float GetValue() const { return Value; }
  // The parameter line of the read-out.
  void PrintLine(std::FILE* out = stdout) const;

  Shared<float> Value;   // output of the last Tick
  Shared<float> Pos;     // phase accumulator, cycles
  Shared<float> Phase;   // base phase offset, cycles (1.0 at construction)
  Shared<float> Ampl;    // base amplitude
  Shared<float> Freq;    // base frequency, hertz
  Shared<float> APhase;  // effective phase offset
  Shared<float> AAmpl;   // effective amplitude
  Shared<float> AFreq;   // effective frequency
  Shared<std::int32_t> Wave;

 private:
  float Noise(float ampl, float freq) const;
  double Sine(float pos, float phase);

  // Audio thread only: the last sine and its inputs. A modulator that is
  // switched off (frequency 0) keeps its Pos, so its sine is not recomputed.
  bool sine_known_ = false;
  std::uint32_t sine_pos_ = 0, sine_phase_ = 0;  // bit patterns
  double sine_ = 0.0;
};

}  // namespace synth
