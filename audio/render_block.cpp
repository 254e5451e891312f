#include "audio/render_block.h"

#include "scope/scope.h"
#include "synth/numeric.h"

namespace audio {

std::int16_t ToSample(float v) { return synth::LowBits16OfTrunc(static_cast<float>(static_cast<double>(v) * 10000.0)); }

void RenderFrames(synth::SynthState& s, std::int16_t* out, int frames) {
  for (int i = 0; i < frames; ++i) {
    const std::int16_t sample = ToSample(synth::StepVoice(s, true));
    out[2 * i] = sample;
    out[2 * i + 1] = sample;
  }
}

void RenderBlockFor(synth::SynthState& s, void* buffer, int lengthInBytes) {
  SDL_Surface* surface = s.Surface;
  if (surface) scope::ClearSurface(surface);
  const int frames = lengthInBytes >> 2;
  if (frames > 0) RenderFrames(s, static_cast<std::int16_t*>(buffer), frames);
  if (surface) scope::DrawScope(s);
}

signed char RenderBlock(Stream*, void* buffer, int lengthInBytes, void*) {
  RenderBlockFor(synth::TheSynth(), buffer, lengthInBytes);
  return 1;
}

}  // namespace audio
