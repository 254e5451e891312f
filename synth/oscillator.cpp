#include "synth/oscillator.h"

#include <bit>
#include <cmath>

#include "synth/numeric.h"
#include "synth/random.h"

namespace synth {

namespace {
// Constants exactly as tuned: the cycle constant falls just short of 2 pi,
// which the scope's flat traces show (one row above the centre line).
constexpr double Cycle = 6.2831853;
constexpr float Reduction = 3.0f;
constexpr float NoiseCentre = 439.0f;
constexpr float NoiseSpread = 100.0f;
constexpr float NoiseOffset = 50.0f;
}  // namespace

Oscillator::Oscillator(float ampl, float freq, std::int32_t wave) {
  Phase = 1.0f;
  Pos = 0.0f;
  Ampl = ampl;
  Freq = freq;
  APhase = Phase;
  AAmpl = ampl;
  AFreq = freq;
  Wave = wave;
}

void Oscillator::LoadActual() {
  AFreq = Freq;
  APhase = Phase;
  AAmpl = Ampl;
}

void Oscillator::Tick() {
  const float freq = AFreq;
  const float ampl = AAmpl;
  float pos = static_cast<float>(static_cast<double>(Pos) + static_cast<double>(freq) / SampleRate);
  if (pos > 1.0) pos = static_cast<float>(static_cast<double>(pos) - Reduction);
  // A frequency that overflowed leaves Pos infinite or NaN for good; restart
  // the sweep so the voice plays again once the frequency is back in range.
  if (!std::isfinite(pos)) pos = 0.0f;
  Pos = pos;

  switch (Wave) {
    case WaveSine:
      Value = static_cast<float>(Sine(pos, APhase) * ampl);
      break;
    case WaveRamp:
      Value = static_cast<float>(static_cast<double>(pos) * ampl);
      break;
    case WaveRampShifted:
      Value = static_cast<float>(static_cast<double>(pos) * ampl - 0.5);
      break;
    case WavePulse: {
      // Four separate tests, each on what the previous one left: with AAmpl
      // at most 0.5 the positive plateau is caught by the second and reads 0.
      float v = static_cast<float>(Sine(pos, APhase) * 1.0);
      if (v > 0.5) v = static_cast<float>(1.0 * ampl);
      if (v <= 0.5 && v >= 0) v = 0.0f;
      if (v < 0 && v >= -0.5) v = 0.0f;
      if (v < -0.5) v = static_cast<float>(-1.0 * ampl);
      Value = v;
      break;
    }
    case WaveNoise:
      Value = Noise(ampl, freq);
      break;
    default:
      break;  // an unknown code keeps the last Value
  }
}

double Oscillator::Sine(float pos, float phase) {
  const auto p = std::bit_cast<std::uint32_t>(pos);
  const auto a = std::bit_cast<std::uint32_t>(phase);
  if (!sine_known_ || p != sine_pos_ || a != sine_phase_) {
    sine_ = std::sin(Cycle * (static_cast<double>(pos) + phase));
    sine_pos_ = p;
    sine_phase_ = a;
    sine_known_ = true;
  }
  return sine_;
}

// Between bursts the output sits at -ampl / 2; a burst comes on about one tick
// in |n|, rarer the further freq lies from 439. A zero divisor means no burst.
float Oscillator::Noise(float ampl, float freq) const {
  if (ampl == 0) return 0.0f;
  float r = 0.0f;
  const std::int64_t k = synth::Noise().Next();
  const std::int64_t n = std::int64_t{TruncSaturate32(static_cast<double>(freq) - NoiseCentre)} + 1;
  if (n != 0 && k % n == 1) {
    const std::int64_t k2 = synth::Noise().Next();
    const std::int64_t m = std::int64_t{TruncSaturate32(static_cast<double>(ampl) * NoiseSpread)} + 111;
    if (m != 0) r = static_cast<float>(k2 % m);
  }
  return static_cast<float>((static_cast<double>(r) - NoiseOffset * static_cast<double>(ampl)) / NoiseSpread);
}

void Oscillator::PrintLine(std::FILE* out) const {
  std::fprintf(out, "Freq [%3.3f] Ampl [%3.3f] Phase [%3.3f] - AFreq [%3.3f] AAmpl [%3.3f] APhase [%3.3f]  \n",
               static_cast<double>(Freq), static_cast<double>(Ampl), static_cast<double>(Phase),
               static_cast<double>(AFreq), static_cast<double>(AAmpl), static_cast<double>(APhase));
}

}  // namespace synth
