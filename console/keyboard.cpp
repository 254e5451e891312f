#include "console/keyboard.h"

#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>

namespace console {

namespace {

constexpr int SequenceGapMs = 10;  // bytes of one escape sequence arrive together

// Read and written from signal handlers too: plain flags set before the
// handlers can run, and termios calls that are async-signal-safe.
volatile sig_atomic_t g_saved = 0;    // `g_original` holds the settings found
volatile sig_atomic_t g_raw = 0;      // the terminal is in key mode now
volatile sig_atomic_t g_started = 0;  // set-up was attempted
termios g_original;
termios g_keys;

void SetKeyMode() {
  if (g_saved && tcsetattr(STDIN_FILENO, TCSANOW, &g_keys) == 0) g_raw = 1;
}

void OnEndingSignal(int sig) {
  const int saved_errno = errno;
  RestoreTerminal();
  signal(sig, SIG_DFL);
  raise(sig);  // ends the process with the signal's own status
  errno = saved_errno;
}

void OnStop(int) {
  const int saved_errno = errno;
  const bool was_raw = g_raw;
  RestoreTerminal();
  g_raw = was_raw;  // remembered for SIGCONT
  signal(SIGTSTP, SIG_DFL);
  raise(SIGTSTP);  // stops here until SIGCONT
  errno = saved_errno;
}

void OnContinue(int) {
  const int saved_errno = errno;
  signal(SIGTSTP, OnStop);
  if (g_raw) SetKeyMode();
  errno = saved_errno;
}

void Start() {
  if (g_started) return;
  g_started = 1;
  InstallSignalHandlers();
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &g_original) != 0) return;
  g_keys = g_original;
  g_keys.c_lflag &= ~(ICANON | ECHO);
  g_keys.c_lflag |= ISIG;
  g_keys.c_cc[VMIN] = 1;
  g_keys.c_cc[VTIME] = 0;
  g_saved = 1;
  std::atexit(RestoreTerminal);
  SetKeyMode();
}

bool Readable(int timeout_ms) {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  for (;;) {
    const int n = poll(&p, 1, timeout_ms);
    if (n >= 0) return n > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR));
    if (errno != EINTR) return true;  // let read() report the error
  }
}

// One byte, or -1 at end of input (or when input is gone).
int ReadByte() {
  unsigned char byte;
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && errno == EINTR) continue;
    return -1;
  }
}

}  // namespace

void RestoreTerminal() {
  if (g_saved && g_raw) {
    tcsetattr(STDIN_FILENO, TCSANOW, &g_original);
    g_raw = 0;
  }
}

void InstallSignalHandlers() {
  struct sigaction ending {};
  ending.sa_handler = OnEndingSignal;
  sigemptyset(&ending.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &ending, nullptr);
  struct sigaction stop {};
  stop.sa_handler = OnStop;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, nullptr);
  struct sigaction cont {};
  cont.sa_handler = OnContinue;
  sigemptyset(&cont.sa_mask);
  sigaction(SIGCONT, &cont, nullptr);
}

bool Terminal::KeyWaiting() {
  Start();
  return Readable(0);
}

int Terminal::ReadKey() {
  Start();
  const int byte = ReadByte();
  if (byte < 0) return Escape;
  if (byte == Escape && g_saved && Readable(SequenceGapMs)) {
    // The rest of an escape sequence: swallow it whole.
    do {
      if (ReadByte() < 0) break;
    } while (Readable(SequenceGapMs));
    return NoKey;
  }
  return static_cast<signed char>(byte);
}

Terminal& TheTerminal() {
  static Terminal terminal;
  return terminal;
}

}  // namespace console
