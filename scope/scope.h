// The oscilloscope: redrawn from scratch on every audio block, on the audio
// thread. The surface is 640 x 800 pixels of 32-bit words 0x00RRGGBB; y grows
// downwards, so positive values are drawn below a centre.
//
// Upper band (centre row 120): the modulators at 100 rows per unit, OSC1 at
// 50 rows per unit (s / 200, s being the output x 10000). Lower band (centre
// row 450): OSC1 at about 33.3 rows per unit (s / 300).
//
// The pass starts every oscillator from Pos 0, so the picture stands still
// while the parameters stay put, and puts the phases back afterwards.
#pragma once

#include <SDL/SDL.h>

#include <cstdint>

#include "synth/voice.h"

namespace scope {

inline constexpr int Width = 640;
inline constexpr int Height = 800;

inline constexpr std::uint32_t Red = 0xff0000;
inline constexpr std::uint32_t Green = 0x00ff00;
inline constexpr std::uint32_t Blue = 0x0000ff;
inline constexpr std::uint32_t White = 0xffffff;
inline constexpr std::uint32_t Magenta = 0xff00ff;

// Paints the whole surface black.
void ClearSurface(SDL_Surface* surface);

// Writes one pixel, or nothing when y is not inside 1 to 799. x is not tested.
void PlotPixel(SDL_Surface* surface, int x, int y, std::uint32_t colour);

// Plots at the row trunc(row), deciding on the double itself so that NaN,
// infinities and huge values are never converted: drawn only for 1 <= row < 800.
void PlotRow(SDL_Surface* surface, int x, double row, std::uint32_t colour);

// The drawing pass of 12,802 scope-form voice steps on s.Surface, then the flip
// (only when the surface is the window).
void DrawScope(synth::SynthState& s);

// A software surface in the scope's format, for drawing without a window.
SDL_Surface* CreateOffscreenSurface();

}  // namespace scope
