// The console keyboard: single key presses without echo and without Enter.
//
// On a terminal, standard input is put in a mode with no echo and no line
// buffering; signals are still delivered. The settings are restored on every
// way out: normal exit, end of input, SIGINT, SIGTERM and SIGHUP; on SIGTSTP
// they are restored before the stop and set again on SIGCONT.
//
// A lone ESC is ESC; an escape sequence (an arrow or function key: ESC
// followed within a few milliseconds by more bytes) is one key, NoKey, that
// matches nothing. When standard input is not a terminal the keys are the
// bytes as they come. End of input reads as ESC.
#pragma once

namespace console {

inline constexpr int Escape = 27;
inline constexpr int NoKey = 0;  // an escape sequence: matches no binding

// What the menus and the control loop read keys from.
class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // True when a key press is waiting.
  virtual bool KeyWaiting() = 0;
  // Waits for one key press; the 8-bit character taken as signed.
  virtual int ReadKey() = 0;
};

// Standard input. Sets the terminal up on first use.
class Terminal : public Keyboard {
 public:
  bool KeyWaiting() override;
  int ReadKey() override;
};

Terminal& TheTerminal();

// Puts the terminal back as it was found (a no-op when it was never changed).
// Safe to call more than once, and from a signal handler.
void RestoreTerminal();

// Installs the handlers that restore the terminal on SIGINT, SIGTERM, SIGHUP,
// SIGTSTP and SIGCONT. Call again after a library that takes those signals
// over has started, so that these win.
void InstallSignalHandlers();

}  // namespace console
