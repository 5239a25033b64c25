#include "shell/ShellState.h"

#include "foundation/InvSqrt2.h"

int bTestPlay = 0;
std::atomic<int> bStarted{0};
std::atomic<int> bAppActive{0};
int bWindowed = 0;
SDL_Window* hWndMain = nullptr;
int nStartBpp = 0;
int bFlipByBlt = 0;
std::atomic<int> bRequestDone{0};
std::atomic<int> nRequestResult{0};
std::atomic<int> bNameDlgDone{0};
std::atomic<int> bPlayClosing{0};
CLIENTRECT rcClient;

// The bit patterns 3FF6A09E667F3BCD and 3FE6A09E667F3BCD: the nearest doubles
// to √2 and 1/√2 (a division 1.0 / √2 would give the next lower double).
const double dSqrt2 = 1.4142135623730951;
const double dInvSqrt2 = INV_SQRT2;
