// Keyboard control: what one key press does to the voice, and the read-out
// printed after it. Shared by the live program and the offline renderer.
//
// Keys (AZERTY: each raise key sits above its lower key):
//   a/q note up/down;  w x c v b n , ;  notes 61 63 65 66 68 70 71 72
//   + / -  OSC1 waveform counter up/down;  7 8 9 4  LFO1..LFO4 counter up
//   z/s OSC1 amplitude +-0.01
//   e/d LFO1 freq +-0.5 Hz   r/f LFO1 amplitude +-0.01
//   t/g LFO2 freq +-0.1 Hz   y/h LFO2 amplitude +-0.01
//   u/j LFO3 freq +-1 Hz     i/k LFO3 amplitude +-0.01
//   o/l LFO4 freq +-1 Hz     p/m LFO4 amplitude +-0.01
// Counters run 1..5 and wrap; any value not above 0.0001 is clamped to 0, so
// nothing goes negative and frequency 0 switches a modulator off.
#pragma once

#include <cstdio>

#include "synth/voice.h"

namespace app {

// Applies one key (an 8-bit character taken as signed) to the state.
// Keys without a binding change nothing but the clamp.
void ApplyKey(synth::SynthState& s, int key);

// The note line and the five oscillator lines.
void PrintReadout(const synth::SynthState& s, std::FILE* out = stdout);

}  // namespace app
