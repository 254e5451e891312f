// synthscope: the synthesiser played from the console keyboard, with its
// oscilloscope window. ESC or end of input leaves it.
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/control.h"
#include "app/window.h"
#include "audio/fsound.h"
#include "audio/render_block.h"
#include "audio/select_output.h"
#include "console/keyboard.h"
#include "synth/voice.h"

namespace {

constexpr int SampleRate = 44100;
constexpr int StreamBytes = 32768;
constexpr unsigned int StreamMode = 0x01000150;  // 16-bit signed stereo

[[noreturn]] void StreamFailed() {
  std::printf("Error!\n");
  std::printf("%s\n", audio::ErrorText(FSOUND_GetError()));
  std::fflush(stdout);
  std::exit(1);
}

}  // namespace

int main() {
  synth::SynthState& s = synth::TheSynth();
  s.TypeCounter[0] = 0;
  s.Note = 58;
  console::InstallSignalHandlers();

  // Its result is not acted on: if the sound system did not start, the
  // stream below cannot be created and says so.
  audio::SelectOutput();

  std::string why;
  s.Surface = app::OpenWindow(why);
  console::InstallSignalHandlers();  // SDL takes SIGINT and SIGTERM for itself

  std::fflush(stdout);
  if (std::system("clear") == -1) {
    // no shell: the screen just is not cleared
  }
  std::printf("[aqzs edrftg yhujik olpm our] modifier les trucs \n");
  std::printf("[+-] change type OSC1 [7894] le type des LFO1234\n");
  std::printf("[wxcvbn,;] pour les notes (foireuxmaismarche)\n");
  if (!s.Surface) std::printf("No window (%s): running with sound and console only\n", why.c_str());
  std::fflush(stdout);

  s.OSC1 = synth::Oscillator(1.0f, 440.0f, synth::WavePulse);
  for (synth::Oscillator* lfo : {&s.LFO1, &s.LFO2, &s.LFO3, &s.LFO4})
    *lfo = synth::Oscillator(1.0f, 0.0f, synth::WaveSine);

  FSOUND_STREAM* stream = FSOUND_Stream_Create(audio::RenderBlock, StreamBytes, StreamMode, SampleRate, &s.OSC1);
  if (!stream) StreamFailed();
  if (FSOUND_Stream_Play(0, stream) == -1) StreamFailed();

  // Waits for each key: the audio thread needs the core more than a poll loop.
  console::Keyboard& keys = console::TheTerminal();
  for (int key = keys.ReadKey(); key != console::Escape; key = keys.ReadKey()) {
    app::ApplyKey(s, key);
    app::PrintReadout(s);
    std::fflush(stdout);
  }

  FSOUND_Stream_Close(stream);
  FSOUND_Close();
  if (s.Surface) SDL_Quit();
  console::RestoreTerminal();
  return 0;
}
