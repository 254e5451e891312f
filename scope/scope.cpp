#include "scope/scope.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace scope {

namespace {
// The row that trunc(row) names when it lies in 1 to 799, else -1. Decided
// on the double, so NaN, infinities and huge values are never converted.
int RowOf(double row) { return (row >= 1.0 && row < Height) ? static_cast<int>(row) : -1; }

}  // namespace

void ClearSurface(SDL_Surface* surface) {
  if (SDL_LockSurface(surface) != 0) return;
  const Uint32 black = SDL_MapRGB(surface->format, 0, 0, 0);
  auto* row = static_cast<Uint8*>(surface->pixels);
  const std::size_t bytes = std::size_t{surface->format->BytesPerPixel} * static_cast<std::size_t>(surface->w);
  for (int y = 0; y < surface->h; ++y, row += surface->pitch) std::memset(row, static_cast<Uint8>(black), bytes);
  SDL_UnlockSurface(surface);
}

void PlotPixel(SDL_Surface* surface, int x, int y, std::uint32_t colour) {
  if (y > 0 && y < Height) static_cast<Uint32*>(surface->pixels)[(y * surface->pitch) / 4 + x] = colour;
}

void PlotRow(SDL_Surface* surface, int x, double row, std::uint32_t colour) {
  if (const int y = RowOf(row); y >= 0) PlotPixel(surface, x, y, colour);
}

namespace {

constexpr int PassSteps = 12802;  // x from 0 to 640 by 0.05 as a float
constexpr int Traces = 6;         // the seven plots but the centre line

// Every input of the pass: the base fields and waveform of each oscillator.
// With Pos starting at 0 and no noise, the pass is a pure function of these.
struct PassKey {
  std::uint32_t words[synth::OscillatorCount][4];
  bool operator==(const PassKey&) const = default;
};

// The last pass, kept so that a picture that stands still is not computed
// again on every block: the rows it plotted and the state it left.
struct PassRecord {
  bool valid = false;
  PassKey key;
  std::int16_t rows[PassSteps][Traces];  // -1 where nothing is drawn
  struct Left {
    float Value, AFreq, AAmpl, APhase;
  } after[synth::OscillatorCount];
};

PassRecord g_record;  // the audio thread is the only one that draws

// False when the pass cannot be kept: noise draws from the random source on
// every step, and an unknown waveform carries its Value over from before.
bool KeyOf(synth::Oscillator* const all[], PassKey& key) {
  for (int i = 0; i < synth::OscillatorCount; ++i) {
    const synth::Oscillator& o = *all[i];
    const std::int32_t wave = o.Wave;
    if (wave < synth::WaveSine || wave > synth::WavePulse) return false;
    key.words[i][0] = std::bit_cast<std::uint32_t>(float(o.Freq));
    key.words[i][1] = std::bit_cast<std::uint32_t>(float(o.Ampl));
    key.words[i][2] = std::bit_cast<std::uint32_t>(float(o.Phase));
    key.words[i][3] = static_cast<std::uint32_t>(wave);
  }
  return true;
}

void PlotRows(SDL_Surface* surface, int column, const std::int16_t rows[Traces]) {
  static constexpr std::uint32_t colours[Traces] = {Red, Red, Green, Blue, White, White};
  for (int t = 0; t < Traces; ++t) {
    if (t == Traces - 1) PlotPixel(surface, column, 120, Magenta);  // before the lower view
    if (rows[t] >= 0) PlotPixel(surface, column, rows[t], colours[t]);
  }
}

// The pass proper: 12,802 scope-form voice steps, kept in `record` if given.
void ComputePass(synth::SynthState& s, synth::Oscillator* const all[], PassRecord* record) {
  int step = 0;
  for (float x = 0.0f; x < 640.0f; x = static_cast<float>(static_cast<double>(x) + 0.05), ++step) {
    const float out = synth::StepVoice(s, false);
    const double level = static_cast<float>(static_cast<double>(out) * 10000.0);
    const std::int16_t rows[Traces] = {
        static_cast<std::int16_t>(RowOf(120.0 + 100.0 * static_cast<double>(s.LFO4.Value))),
        static_cast<std::int16_t>(RowOf(120.0 + 100.0 * static_cast<double>(s.LFO3.Value))),
        static_cast<std::int16_t>(RowOf(120.0 + 100.0 * static_cast<double>(s.LFO2.Value))),
        static_cast<std::int16_t>(RowOf(120.0 + 100.0 * static_cast<double>(s.LFO1.Value))),
        static_cast<std::int16_t>(RowOf(120.0 + level / 200.0)),
        static_cast<std::int16_t>(RowOf(450.0 + 1.0 * level / 300.0)),
    };
    PlotRows(s.Surface, static_cast<int>(x), rows);
    if (record && step < PassSteps) std::copy(rows, rows + Traces, record->rows[step]);
  }
  if (!record) return;
  for (int i = 0; i < synth::OscillatorCount; ++i)
    record->after[i] = {all[i]->Value, all[i]->AFreq, all[i]->AAmpl, all[i]->APhase};
}

void ReplayPass(SDL_Surface* surface, synth::Oscillator* const all[], const PassRecord& record) {
  int step = 0;
  for (float x = 0.0f; x < 640.0f; x = static_cast<float>(static_cast<double>(x) + 0.05), ++step)
    PlotRows(surface, static_cast<int>(x), record.rows[step]);
  for (int i = 0; i < synth::OscillatorCount; ++i) {
    all[i]->Value = record.after[i].Value;
    all[i]->AFreq = record.after[i].AFreq;
    all[i]->AAmpl = record.after[i].AAmpl;
    all[i]->APhase = record.after[i].APhase;
  }
}

}  // namespace

void DrawScope(synth::SynthState& s) {
  synth::Oscillator* const all[] = {&s.OSC1, &s.LFO1, &s.LFO2, &s.LFO3, &s.LFO4};
  float saved[synth::OscillatorCount];
  for (int i = 0; i < synth::OscillatorCount; ++i) {
    saved[i] = all[i]->Pos;
    all[i]->Pos = 0.0f;
  }

  PassKey key;
  const bool keep = KeyOf(all, key);
  if (keep && g_record.valid && g_record.key == key) {
    ReplayPass(s.Surface, all, g_record);
  } else {
    g_record.valid = false;
    ComputePass(s, all, keep ? &g_record : nullptr);
    // A key pressed during the pass makes a picture of two settings: not kept.
    PassKey after;
    g_record.key = key;
    g_record.valid = keep && KeyOf(all, after) && after == key;
  }

  for (int i = 0; i < synth::OscillatorCount; ++i) all[i]->Pos = saved[i];
  if (s.Surface == SDL_GetVideoSurface()) SDL_Flip(s.Surface);
}

SDL_Surface* CreateOffscreenSurface() {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 32, 0x00ff0000, 0x0000ff00, 0x000000ff, 0);
}

}  // namespace scope
