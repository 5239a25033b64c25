#pragma once
// Error message boxes with the caption "エラー".
//
// Any thread may raise a box. It is shown by the main thread (a box asked
// for on another thread is a request the main thread serves) and blocks only
// the thread that asked. Headless, a box is logged and answered with its
// default (platform/MessageBox.h).
#include <functional>

// Shows a box; texts are Shift-JIS. The box's answer (IDOK...), or 0 when
// it could not be shown.
int ShowMesBox(const char* text, const char* caption, unsigned type);
int ErrorBoxText(const char* text);
// The formatted text is cut to 1023 bytes on a character boundary.
int ErrorBox(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// As ErrorBox while the step log is enabled; otherwise shows nothing and
// returns 0.
int ErrorBoxEC(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// "メモリが不足しています！", then, once the box is closed, a fatal close
// request. Returns 1.
int ErrNoMemory();

// Over a full-screen display a box is shown through the graphics layer's
// dialog mode. The graphics layer installs the handler once the display
// exists (null removes it). It runs on the main thread and returns the box's
// answer, 0 when it could not show the box, or a negative value to decline
// (a windowed display): a plain box is shown then.
void SetFullScreenBoxHandler(std::function<int(const char*, const char*, unsigned)> fn);
