// The sound library over PortAudio. This is the only file that talks to
// PortAudio, ALSA or JACK.
#include "audio/fsound.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pa_jack.h>
#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio/silent_output.h"

namespace audio {

struct Stream {
  FSOUND_STREAMCALLBACK callback = nullptr;
  int chunk_bytes = 0;  // most bytes handed to the callback at once
  int block_frames = 0;
  void* user_data = nullptr;
  PaStream* device = nullptr;
  std::unique_ptr<SilentOutput> silent;
  std::atomic<unsigned long> underflows{0};
  std::atomic<unsigned long long> frames{0};
  bool playing = false;

  // Hands `frames` frames to the callback in chunks; false when it asks to stop.
  bool Fill(void* out, unsigned long count) {
    auto* bytes = static_cast<char*>(out);
    long long remaining = static_cast<long long>(count) * 4;
    while (remaining > 0) {
      const int chunk = static_cast<int>(std::min<long long>(remaining, chunk_bytes));
      if (!callback(this, bytes, chunk, user_data)) {
        std::memset(bytes, 0, static_cast<size_t>(remaining));
        return false;
      }
      bytes += chunk;
      remaining -= chunk;
    }
    frames.fetch_add(count, std::memory_order_relaxed);
    return true;
  }
};

namespace {

constexpr float Version = 3.74f;
constexpr int NoSound = 0;
constexpr const char* SilentDriverName = "No sound";

struct Driver {
  std::string name;
  PaDeviceIndex device;  // paNoDevice for the silent output
};

struct Library {
  int output = 2;
  int driver = 0;
  int error = FMOD_ERR_NONE;
  bool initialized = false;
  int rate = 0;
  bool portaudio = false;
  int listed_for = -1;  // the output type `drivers` lists
  std::vector<Driver> drivers;
  std::vector<Stream*> streams;
};

Library& Lib() {
  static Library lib;
  return lib;
}

signed char Fail(int code) {
  Lib().error = code;
  return 0;
}

void SilentAlsa(const char*, int, const char*, int, const char*, ...) {}
void SilentJack(const char*) {}

// ALSA and JACK report every device they cannot reach on standard error;
// the console is the synthesiser's, so they are told to keep quiet.
bool StartPortAudio() {
  Library& lib = Lib();
  if (lib.portaudio) return true;
  snd_lib_error_set_handler(SilentAlsa);
  jack_set_error_function(SilentJack);
  jack_set_info_function(SilentJack);
  PaJack_SetClientName("synthscope");
  if (Pa_Initialize() != paNoError) return false;
  lib.portaudio = true;
  return true;
}

void StopPortAudio() {
  Library& lib = Lib();
  if (!lib.portaudio) return;
  Pa_Terminate();
  lib.portaudio = false;
  lib.listed_for = -1;
  lib.drivers.clear();
}

PaHostApiTypeId HostApiFor(int output) {
  switch (output) {
    case 1:
    case 4:
      return paOSS;
    case 2:
    case 6:
      return paALSA;
    case 7:
      return paJACK;
    default:
      return paInDevelopment;  // none
  }
}

std::vector<Driver> ListDrivers(int output) {
  if (output == NoSound) return {Driver{SilentDriverName, paNoDevice}};
  const PaHostApiTypeId type = HostApiFor(output);
  if (type == paInDevelopment || !StartPortAudio()) return {};
  const PaHostApiIndex api = Pa_HostApiTypeIdToHostApiIndex(type);
  if (api < 0) return {};
  const PaHostApiInfo* info = Pa_GetHostApiInfo(api);
  std::vector<Driver> list;
  for (int i = 0; info && i < info->deviceCount; ++i) {
    const PaDeviceIndex device = Pa_HostApiDeviceIndexToDeviceIndex(api, i);
    const PaDeviceInfo* d = device >= 0 ? Pa_GetDeviceInfo(device) : nullptr;
    if (d && d->maxOutputChannels >= 2) list.push_back(Driver{d->name, device});
  }
  return list;
}

const std::vector<Driver>& Drivers() {
  Library& lib = Lib();
  if (lib.listed_for != lib.output) {
    lib.drivers = ListDrivers(lib.output);
    lib.listed_for = lib.output;
  }
  return lib.drivers;
}

PaStreamParameters OutputParameters(PaDeviceIndex device) {
  PaStreamParameters p{};
  p.device = device;
  p.channelCount = 2;
  p.sampleFormat = paInt16;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
  p.suggestedLatency = info ? info->defaultLowOutputLatency : 0.0;
  return p;
}

int DeviceCallback(const void*, void* out, unsigned long frames, const PaStreamCallbackTimeInfo*,
                   PaStreamCallbackFlags flags, void* user) {
  auto* stream = static_cast<Stream*>(user);
  if (flags & paOutputUnderflow) stream->underflows.fetch_add(1, std::memory_order_relaxed);
  return stream->Fill(out, frames) ? paContinue : paComplete;
}

void StopStream(Stream* s) {
  if (s->silent) s->silent->Stop();
  if (s->device) {
    Pa_StopStream(s->device);
    Pa_CloseStream(s->device);
    s->device = nullptr;
  }
  s->playing = false;
}

}  // namespace

unsigned long StreamUnderflows(const FSOUND_STREAM* stream) {
  if (!stream) return 0;
  return stream->underflows.load(std::memory_order_relaxed) + (stream->silent ? stream->silent->Underflows() : 0);
}

unsigned long long StreamFrames(const FSOUND_STREAM* stream) {
  return stream ? stream->frames.load(std::memory_order_relaxed) : 0;
}

}  // namespace audio

using audio::Lib;

float FSOUND_GetVersion() { return audio::Version; }

signed char FSOUND_SetOutput(int outputType) {
  if (Lib().initialized) return audio::Fail(FMOD_ERR_BUSY);
  if (outputType < 0 || outputType > 7) return audio::Fail(FMOD_ERR_INVALID_PARAM);
  Lib().output = outputType;
  Lib().driver = 0;
  return 1;
}

int FSOUND_GetOutput() { return Lib().output; }

int FSOUND_GetNumDrivers() { return static_cast<int>(audio::Drivers().size()); }

const char* FSOUND_GetDriverName(int index) {
  const auto& drivers = audio::Drivers();
  if (index < 0 || index >= static_cast<int>(drivers.size())) {
    audio::Fail(FMOD_ERR_INVALID_PARAM);
    return nullptr;
  }
  return drivers[static_cast<size_t>(index)].name.c_str();
}

signed char FSOUND_SetDriver(int index) {
  if (Lib().initialized) return audio::Fail(FMOD_ERR_BUSY);
  if (index < 0 || index >= FSOUND_GetNumDrivers()) return audio::Fail(FMOD_ERR_INVALID_PARAM);
  Lib().driver = index;
  return 1;
}

signed char FSOUND_Init(int mixRate, int, unsigned int) {
  audio::Library& lib = Lib();
  if (lib.initialized) return audio::Fail(FMOD_ERR_BUSY);
  if (mixRate <= 0) return audio::Fail(FMOD_ERR_INVALID_PARAM);
  const auto& drivers = audio::Drivers();
  if (lib.driver < 0 || lib.driver >= static_cast<int>(drivers.size())) return audio::Fail(FMOD_ERR_INIT);
  const PaDeviceIndex device = drivers[static_cast<size_t>(lib.driver)].device;
  if (device != paNoDevice) {
    const PaStreamParameters p = audio::OutputParameters(device);
    const PaError e = Pa_IsFormatSupported(nullptr, &p, mixRate);
    if (e == paInvalidSampleRate || e == paSampleFormatNotSupported || e == paInvalidChannelCount)
      return audio::Fail(FMOD_ERR_OUTPUT_FORMAT);
    if (e == paDeviceUnavailable) return audio::Fail(FMOD_ERR_ALLOCATED);
    if (e != paFormatIsSupported) return audio::Fail(FMOD_ERR_INIT);
  }
  lib.rate = mixRate;
  lib.initialized = true;
  lib.error = FMOD_ERR_NONE;
  return 1;
}

int FSOUND_GetError() { return Lib().error; }

FSOUND_STREAM* FSOUND_Stream_Create(FSOUND_STREAMCALLBACK callback, int lengthInBytes, unsigned int mode,
                                    int sampleRate, void* userData) {
  audio::Library& lib = Lib();
  if (!lib.initialized) {
    audio::Fail(FMOD_ERR_UNINITIALIZED);
    return nullptr;
  }
  const unsigned int wanted = FSOUND_16BITS | FSOUND_STEREO | FSOUND_SIGNED;
  const unsigned int other = FSOUND_8BITS | FSOUND_MONO | FSOUND_UNSIGNED;
  if (!callback || lengthInBytes < 4 || (mode & wanted) != wanted || (mode & other) || sampleRate != lib.rate) {
    audio::Fail(FMOD_ERR_INVALID_PARAM);
    return nullptr;
  }
  auto* s = new audio::Stream;
  s->callback = callback;
  s->chunk_bytes = lengthInBytes / 4 * 4;
  s->block_frames = std::min(audio::BlockFrames, lengthInBytes / 4);
  s->user_data = userData;
  lib.streams.push_back(s);
  return s;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  audio::Library& lib = Lib();
  if (!lib.initialized) return audio::Fail(FMOD_ERR_UNINITIALIZED), -1;
  if (!stream || channel < -1 || channel >= 32) return audio::Fail(FMOD_ERR_INVALID_PARAM), -1;
  if (stream->playing) return audio::Fail(FMOD_ERR_CHANNEL_ALLOC), -1;
  const PaDeviceIndex device = audio::Drivers()[static_cast<size_t>(lib.driver)].device;
  if (device == paNoDevice) {
    stream->silent = std::make_unique<audio::SilentOutput>(
        lib.rate, stream->block_frames,
        [stream](short* buffer, int frames) { return stream->Fill(buffer, static_cast<unsigned long>(frames)); });
    stream->silent->Start();
  } else {
    const PaStreamParameters p = audio::OutputParameters(device);
    const PaError e =
        Pa_OpenStream(&stream->device, nullptr, &p, lib.rate, static_cast<unsigned long>(stream->block_frames),
                      paNoFlag, audio::DeviceCallback, stream);
    if (e != paNoError) {
      stream->device = nullptr;
      return audio::Fail(e == paDeviceUnavailable ? FMOD_ERR_ALLOCATED : FMOD_ERR_INIT), -1;
    }
    if (Pa_StartStream(stream->device) != paNoError) {
      Pa_CloseStream(stream->device);
      stream->device = nullptr;
      return audio::Fail(FMOD_ERR_PLAY), -1;
    }
  }
  stream->playing = true;
  return channel < 0 ? 0 : channel;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  audio::Library& lib = Lib();
  if (!stream) return audio::Fail(FMOD_ERR_INVALID_PARAM);
  auto it = std::find(lib.streams.begin(), lib.streams.end(), stream);
  if (it == lib.streams.end()) return audio::Fail(FMOD_ERR_INVALID_PARAM);
  audio::StopStream(stream);
  lib.streams.erase(it);
  delete stream;
  return 1;
}

void FSOUND_Close() {
  audio::Library& lib = Lib();
  while (!lib.streams.empty()) FSOUND_Stream_Close(lib.streams.back());
  audio::StopPortAudio();
  lib.initialized = false;
}
