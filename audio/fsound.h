// The sound library the synthesiser plays through: the FSOUND calls it relies
// on, provided by this project over PortAudio.
//
// Output types (FSOUND_SetOutput codes):
//   0 NoSound - this layer's own silent output: one driver, "No sound", that
//               calls the block callback at the real pace of 44,100 frames per
//               second and discards the samples;
//   1, 4      - PortAudio's OSS devices;
//   2, 6      - PortAudio's ALSA devices ("default", PulseAudio, JACK plug-in);
//   7         - PortAudio's JACK devices, the low-latency path, listed while a
//               JACK server runs;
//   3, 5      - no drivers.
// The drivers of a type are its devices that can play stereo, by the names
// PortAudio reports.
//
// Blocks are 512 frames (2,048 bytes, 11.6 ms at 44,100 Hz), never longer
// than the stream's length. Errors are the codes that ErrorText names
// (select_output.h); FSOUND_GetError returns the last one.
#pragma once

namespace audio {
struct Stream;
}
using FSOUND_STREAM = audio::Stream;

// Non-zero to keep the stream going. `length` is in bytes.
using FSOUND_STREAMCALLBACK = signed char (*)(FSOUND_STREAM* stream, void* buffer, int length, void* userData);

// Error codes.
enum : int {
  FMOD_ERR_NONE = 0,
  FMOD_ERR_BUSY = 1,            // a selection call after FSOUND_Init
  FMOD_ERR_UNINITIALIZED = 2,   // a call that needs FSOUND_Init first
  FMOD_ERR_INIT = 3,            // the device cannot be opened
  FMOD_ERR_ALLOCATED = 4,       // the device is in use
  FMOD_ERR_PLAY = 5,            // starting the stream failed
  FMOD_ERR_OUTPUT_FORMAT = 6,   // no 16-bit stereo at the rate
  FMOD_ERR_INVALID_PARAM = 14,  // a bad argument
  FMOD_ERR_CHANNEL_ALLOC = 16,  // the stream is playing already
};

// Mode bits: the stream carries 16-bit signed stereo; nothing else is played.
enum : unsigned int {
  FSOUND_8BITS = 0x08,
  FSOUND_16BITS = 0x10,
  FSOUND_MONO = 0x20,
  FSOUND_STEREO = 0x40,
  FSOUND_UNSIGNED = 0x80,
  FSOUND_SIGNED = 0x100,
};

float FSOUND_GetVersion();
signed char FSOUND_SetOutput(int outputType);
int FSOUND_GetOutput();
int FSOUND_GetNumDrivers();
const char* FSOUND_GetDriverName(int index);
signed char FSOUND_SetDriver(int index);
signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);
int FSOUND_GetError();
FSOUND_STREAM* FSOUND_Stream_Create(FSOUND_STREAMCALLBACK callback, int lengthInBytes, unsigned int mode,
                                    int sampleRate, void* userData);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);
void FSOUND_Close();

namespace audio {

inline constexpr int BlockFrames = 512;

// Blocks the device reported as underflows (xruns) since the stream started.
unsigned long StreamUnderflows(const FSOUND_STREAM* stream);
// Frames handed to the callback since the stream started.
unsigned long long StreamFrames(const FSOUND_STREAM* stream);

}  // namespace audio
