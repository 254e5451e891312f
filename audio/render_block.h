// The block callback of the one endless stream: fills a block of interleaved
// 16-bit signed stereo frames (left then right, 4 bytes a frame, 44,100 frames
// per second) from the voice, one audio-form step per frame, and redraws the
// scope around it: the clear before the first frame, the drawing pass and the
// flip after the last. Without a surface it only fills the block.
#pragma once

#include <cstdint>

#include "synth/voice.h"

namespace audio {

struct Stream;  // the sound library's stream handle (fsound.h)

inline constexpr int BytesPerFrame = 4;

// A voice output as a sample: s = v * 10000 as a float, truncated toward zero,
// low 16 bits kept (wraps, no clamping): 1.0 -> 10000, 3.5 -> -30536.
std::int16_t ToSample(float v);

// Plays s into `frames` frames of `out` (2 samples each).
void RenderFrames(synth::SynthState& s, std::int16_t* out, int frames);

// The callback as the stream calls it: plays the process-wide state. A length
// that is not a multiple of 4 leaves its last 1 to 3 bytes untouched.
// Returns 1: the stream never ends.
signed char RenderBlock(Stream* stream, void* buffer, int lengthInBytes, void* userData);

// The same for any state, used by the offline renderer and the tests.
void RenderBlockFor(synth::SynthState& s, void* buffer, int lengthInBytes);

}  // namespace audio
