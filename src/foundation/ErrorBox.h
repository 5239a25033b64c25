#pragma once
// Error message boxes with the caption "エラー".
#include <functional>

int ShowMesBox(const char* text, const char* caption, unsigned type);
int ErrorBoxText(const char* text);
int ErrorBox(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
int ErrorBoxEC(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
int ErrNoMemory();

// Over a full-screen display a box is shown through the graphics layer's
// dialog mode. The graphics layer installs it once the display exists
// (null removes it); without it every box is a plain one.
void SetFullScreenBoxHandler(std::function<int(const char*, const char*, unsigned)> fn);
