// The start-up dialogue: checks the sound library's version, lets the user
// pick the output type and then the driver with single key presses, and
// starts the sound system at 44,100 Hz. ESC in either menu ends the process
// with status 0.
#pragma once

#include <cstdio>

#include "console/keyboard.h"

namespace audio {

// The library calls the dialogue makes; tests hand it a fake.
class SoundLibrary {
 public:
  virtual ~SoundLibrary() = default;
  virtual float GetVersion() = 0;
  virtual void SetOutput(int code) = 0;
  virtual int GetOutput() = 0;
  virtual int GetNumDrivers() = 0;
  virtual const char* GetDriverName(int index) = 0;
  virtual void SetDriver(int index) = 0;
  virtual bool Init(int rate, int channels, unsigned int flags) = 0;
  virtual int GetError() = 0;
};

// The project's own FSOUND layer (fsound.h).
SoundLibrary& TheSoundLibrary();

// The sound library's error codes as text; "Unknown error" for any other code.
const char* ErrorText(int code);

// True when the sound system was started; false when the version check or
// the start failed.
bool SelectOutput(console::Keyboard& keys = console::TheTerminal(), SoundLibrary& library = TheSoundLibrary(),
                  std::FILE* out = stdout);

}  // namespace audio
