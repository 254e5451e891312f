#include "app/control.h"

#include <cstdint>

namespace app {

namespace {

// Note arithmetic wraps instead of overflowing: 'a' has no upper limit.
std::int32_t AddWrapping(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void Step(synth::Shared<float>& field, double by) { field = static_cast<float>(static_cast<double>(field) + by); }

void Clamp(synth::Shared<float>& field) {
  if (!(static_cast<double>(field) > 0.0001)) field = 0.0f;  // NaN too
}

int CounterFor(int key) {
  switch (key) {
    case '+':
      return 0;
    case '7':
      return 1;
    case '8':
      return 2;
    case '9':
      return 3;
    case '4':
      return 4;
    default:
      return -1;
  }
}

int NoteFor(int key) {
  switch (key) {
    case 'w':
      return 61;
    case 'x':
      return 63;
    case 'c':
      return 65;
    case 'v':
      return 66;
    case 'b':
      return 68;
    case 'n':
      return 70;
    case ',':
      return 71;
    case ';':
      return 72;
    default:
      return -1;
  }
}

struct ParameterKey {
  char key;
  int oscillator;  // 0 = OSC1, 1..4 = LFO1..LFO4
  bool freq;       // else amplitude
  double step;
};

constexpr ParameterKey ParameterKeys[] = {
    {'z', 0, false, 0.01}, {'s', 0, false, -0.01}, {'e', 1, true, 0.5}, {'d', 1, true, -0.5},
    {'r', 1, false, 0.01}, {'f', 1, false, -0.01}, {'t', 2, true, 0.1}, {'g', 2, true, -0.1},
    {'y', 2, false, 0.01}, {'h', 2, false, -0.01}, {'u', 3, true, 1.0}, {'j', 3, true, -1.0},
    {'i', 3, false, 0.01}, {'k', 3, false, -0.01}, {'o', 4, true, 1.0}, {'l', 4, true, -1.0},
    {'p', 4, false, 0.01}, {'m', 4, false, -0.01},
};

}  // namespace

void ApplyKey(synth::SynthState& s, int key) {
  if (key == 'a') s.Note = AddWrapping(s.Note, 1);
  if (key == 'q') s.Note = AddWrapping(s.Note, -1);
  if (const int c = CounterFor(key); c >= 0) ++s.TypeCounter[c];
  if (key == '-' && --s.TypeCounter[0] < 1) s.TypeCounter[0] = 5;

  for (std::int32_t& counter : s.TypeCounter)
    if (counter > 5) counter = 1;
  // After every key, not only the counter keys.
  for (int i = 0; i < synth::OscillatorCount; ++i)
    if (s.TypeCounter[i] >= 1 && s.TypeCounter[i] <= 5) s.Oscillators(i)->Wave = s.TypeCounter[i];

  if (const int note = NoteFor(key); note >= 0) s.Note = note;

  for (const ParameterKey& p : ParameterKeys) {
    if (key != p.key) continue;
    synth::Oscillator& o = *s.Oscillators(p.oscillator);
    Step(p.freq ? o.Freq : o.Ampl, p.step);
  }

  for (int i = 0; i < synth::OscillatorCount; ++i) Clamp(s.Oscillators(i)->Ampl);
  for (int i = 0; i < synth::OscillatorCount; ++i) Clamp(s.Oscillators(i)->Freq);
  for (int i = 0; i < synth::OscillatorCount; ++i) Clamp(s.Oscillators(i)->Phase);
}

void PrintReadout(const synth::SynthState& s, std::FILE* out) {
  std::fprintf(out, "Note [%d] -> [%f]\n", static_cast<int>(s.Note), static_cast<double>(s.OSC1.Freq));
  for (const synth::Oscillator* o : {&s.OSC1, &s.LFO1, &s.LFO2, &s.LFO3, &s.LFO4}) o->PrintLine(out);
}

}  // namespace app
