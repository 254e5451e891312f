#include "app/window.h"

#include <SDL/SDL.h>

#include <cstdlib>

#include "scope/scope.h"

namespace app {

SDL_Surface* OpenWindow(std::string& why) {
  setenv("SDL_VIDEODRIVER", "x11", 0);  // a user's own choice stays
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) != 0) {
    why = SDL_GetError();
    return nullptr;
  }
  // A 32-bit software surface: SDL converts for a display of another depth.
  SDL_Surface* screen = SDL_SetVideoMode(scope::Width, scope::Height, 32, SDL_SWSURFACE);
  if (!screen) {
    why = SDL_GetError();
    SDL_Quit();
    return nullptr;
  }
  const SDL_PixelFormat* f = screen->format;
  if (f->BytesPerPixel != 4 || f->Rmask != 0xff0000 || f->Gmask != 0x00ff00 || f->Bmask != 0x0000ff) {
    why = "the window's pixels are not 32-bit 0x00RRGGBB";
    SDL_Quit();
    return nullptr;
  }
  SDL_WM_SetCaption("synthscope", "synthscope");
  return screen;
}

}  // namespace app
