// Reads keys through the console layer and prints each one's code, until ESC
// (or end of input, which reads as ESC). For the terminal tests.
#include <cstdio>

#include "console/keyboard.h"

int main() {
  console::Keyboard& keys = console::TheTerminal();
  keys.KeyWaiting();  // sets the terminal up
  std::printf("ready\n");
  std::fflush(stdout);
  for (int key = keys.ReadKey(); key != console::Escape; key = keys.ReadKey()) {
    std::printf("key %d\n", key);
    std::fflush(stdout);
  }
  std::printf("escape\n");
  return 0;
}
