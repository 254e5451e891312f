#include "audio/select_output.h"

#include <cstdlib>
#include <initializer_list>
#include <iterator>

#include "audio/fsound.h"

namespace audio {

namespace {

constexpr float RequiredVersion = 3.74f;
constexpr const char* Separator = "---------------------------------------------------------\n";
constexpr const char* Prompt = "Press a corresponding number or ESC to quit\n";

class FsoundLibrary : public SoundLibrary {
 public:
  float GetVersion() override { return FSOUND_GetVersion(); }
  void SetOutput(int code) override { FSOUND_SetOutput(code); }
  int GetOutput() override { return FSOUND_GetOutput(); }
  int GetNumDrivers() override { return FSOUND_GetNumDrivers(); }
  const char* GetDriverName(int index) override { return FSOUND_GetDriverName(index); }
  void SetDriver(int index) override { FSOUND_SetDriver(index); }
  bool Init(int rate, int channels, unsigned int flags) override { return FSOUND_Init(rate, channels, flags) != 0; }
  int GetError() override { return FSOUND_GetError(); }
};

const char* OutputName(int code) {
  static const char* const names[] = {"NoSound",           "Windows Multimedia Waveout", "Direct Sound", "",
                                      "Open Sound System", "Enlightment Sound Daemon",   "Alsa",         "ASIO"};
  return (code >= 0 && code <= 7) ? names[code] : "";
}

// The output-type code for a menu key, or -1.
int OutputForKey(int key) {
  switch (key) {
    case '1':
      return 2;
    case '2':
      return 1;
    case '3':
      return 7;
    case '4':
      return 0;
    default:
      return -1;
  }
}

int ReadKeyOrQuit(console::Keyboard& keys) {
  const int key = keys.ReadKey();
  if (key == console::Escape) std::exit(0);
  return key;
}

}  // namespace

SoundLibrary& TheSoundLibrary() {
  static FsoundLibrary library;
  return library;
}

const char* ErrorText(int code) {
  static const char* const texts[] = {
      "No errors",
      "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
      "This command failed because FSOUND_Init was not called",
      "Error initializing output device.",
      "The output device is already in use and cannot be reused.",
      "Playing the sound failed.",
      "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
      "Error setting cooperative level for hardware.",
      "Error creating hardware sound buffer.",
      "File not found",
      "Unknown file format",
      "Error loading file",
      "Not enough memory ",
      "The version number of this file format is not supported",
      "An invalid parameter was passed to this function",
      "Tried to use an EAX command on a non EAX enabled channel or output.",
      "Failed to allocate a new channel",
      "Recording not supported on this device",
      "Required Mediaplayer codec is not installed",
  };
  return (code >= 0 && code < static_cast<int>(std::size(texts))) ? texts[code] : "Unknown error";
}

bool SelectOutput(console::Keyboard& keys, SoundLibrary& library, std::FILE* out) {
  if (library.GetVersion() < RequiredVersion) {
    std::fprintf(out, "Error : You are using the wrong DLL version!  You should be using FMOD %.02f\n",
                 static_cast<double>(RequiredVersion));
    return false;
  }

  for (const char* line : {Separator, "Output Type\n", Separator, "1 - Direct Sound\n",
                           "2 - Windows Multimedia Waveout\n", "3 - ASIO\n", "4 - NoSound\n", Separator, Prompt})
    std::fputs(line, out);
  std::fflush(out);

  int output = -1;
  while (output < 0) output = OutputForKey(ReadKeyOrQuit(keys));
  library.SetOutput(output);

  std::fputs(Separator, out);
  std::fputs(OutputName(library.GetOutput()), out);
  std::fputs(" Driver list\n", out);
  std::fputs(Separator, out);
  for (int i = 0; i < library.GetNumDrivers(); ++i) {
    const char* name = library.GetDriverName(i);
    std::fprintf(out, "%d - %s\n", i + 1, name ? name : "");
  }
  std::fputs(Separator, out);
  std::fputs(Prompt, out);
  std::fflush(out);

  for (;;) {
    const int index = ReadKeyOrQuit(keys) - '1';
    if (index < 0 || index >= library.GetNumDrivers()) continue;
    library.SetDriver(index);
    if (library.Init(44100, 32, 0)) return true;
    std::fprintf(out, "Error!\n");
    std::fprintf(out, "%s\n", ErrorText(library.GetError()));
    std::fflush(out);
    return false;
  }
}

}  // namespace audio
