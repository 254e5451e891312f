#include "scope/scope.h"

#include <cstring>

namespace scope {

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
  if (row >= 1.0 && row < Height) PlotPixel(surface, x, static_cast<int>(row), colour);
}

void DrawScope(synth::SynthState& s) {
  SDL_Surface* surface = s.Surface;
  synth::Oscillator* const all[] = {&s.OSC1, &s.LFO1, &s.LFO2, &s.LFO3, &s.LFO4};
  float saved[synth::OscillatorCount];
  for (int i = 0; i < synth::OscillatorCount; ++i) {
    saved[i] = all[i]->Pos;
    all[i]->Pos = 0.0f;
  }

  // x is a float advanced by 0.05: the rounding makes 12,802 steps.
  for (float x = 0.0f; x < 640.0f; x = static_cast<float>(static_cast<double>(x) + 0.05)) {
    const float out = synth::StepVoice(s, false);
    const double level = static_cast<float>(static_cast<double>(out) * 10000.0);
    const int column = static_cast<int>(x);
    PlotRow(surface, column, 120.0 + 100.0 * static_cast<double>(s.LFO4.Value), Red);
    PlotRow(surface, column, 120.0 + 100.0 * static_cast<double>(s.LFO3.Value), Red);
    PlotRow(surface, column, 120.0 + 100.0 * static_cast<double>(s.LFO2.Value), Green);
    PlotRow(surface, column, 120.0 + 100.0 * static_cast<double>(s.LFO1.Value), Blue);
    PlotRow(surface, column, 120.0 + level / 200.0, White);
    PlotPixel(surface, column, 120, Magenta);
    PlotRow(surface, column, 450.0 + 1.0 * level / 300.0, White);
  }

  for (int i = 0; i < synth::OscillatorCount; ++i) all[i]->Pos = saved[i];
  if (surface == SDL_GetVideoSurface()) SDL_Flip(surface);
}

SDL_Surface* CreateOffscreenSurface() {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 32, 0x00ff0000, 0x0000ff00, 0x000000ff, 0);
}

}  // namespace scope
