// The scope window: 640 x 800 pixels of 32-bit words 0x00RRGGBB.
#pragma once

#include <string>

struct SDL_Surface;

namespace app {

// Opens the window, or returns null and says why. Only a real window
// counts: unless the user chose an SDL video driver, SDL is kept from
// falling back to a text-mode driver that would draw into the terminal.
SDL_Surface* OpenWindow(std::string& why);

}  // namespace app
