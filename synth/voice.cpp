#include "synth/voice.h"

#include <cmath>

namespace synth {

namespace {
constexpr double NoteZeroFreq = 8.1757989;  // note -11, in hertz

bool Active(const Oscillator& lfo) { return lfo.AAmpl != 0 && lfo.AFreq != 0; }

// target * (1 + value), written as the original sum so the rounding matches.
void Modulate(Shared<float>& target, float value) {
  const double t = target;
  target = static_cast<float>(static_cast<double>(value) * t + t);
}
}  // namespace

Oscillator* SynthState::Oscillators(int i) {
  Oscillator* all[OscillatorCount] = {&OSC1, &LFO1, &LFO2, &LFO3, &LFO4};
  return (i >= 0 && i < OscillatorCount) ? all[i] : nullptr;
}

SynthState& TheSynth() {
  static SynthState state;
  return state;
}

float NoteFrequency(std::int32_t note) {
  return static_cast<float>(NoteZeroFreq * std::pow(2.0, (static_cast<double>(note) + 11) / 12));
}

float StepVoice(SynthState& s, bool withNote) {
  for (Oscillator* lfo : {&s.LFO4, &s.LFO3, &s.LFO2, &s.LFO1}) {
    lfo->LoadActual();
    lfo->Tick();
  }
  Oscillator& osc = s.OSC1;
  osc.LoadActual();  // before the note: a new Note reaches AFreq one step later
  if (withNote) {
    const std::int32_t note = s.Note;
    if (!s.HaveCachedNote || note != s.CachedNote) {
      s.CachedFreq = NoteFrequency(note);
      s.CachedNote = note;
      s.HaveCachedNote = true;
    }
    osc.Freq = s.CachedFreq;
  }
  if (Active(s.LFO1)) Modulate(osc.AAmpl, s.LFO1.Value);
  if (Active(s.LFO2)) Modulate(osc.AFreq, s.LFO2.Value);
  if (Active(s.LFO3)) Modulate(osc.APhase, s.LFO3.Value);
  if (Active(s.LFO4)) Modulate(osc.AFreq, s.LFO4.Value);
  osc.Tick();
  return osc.Value;
}

}  // namespace synth
