#pragma once
// A virtual X server of a test's own (Xvfb, 1024x768 at 24 bits, without
// the X core fonts), optionally under a light window manager (openbox), and
// what a window test reads from it and sends to it: the screen's pixels, a
// program's window and real key presses (xdotool).
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;

struct XPICTURE {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;   // w * h * 3
    // The pixel at (x, y) as 0xRRGGBB.
    uint32_t At(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * w + x) * 3;
        return (uint32_t(rgb[i]) << 16) | (uint32_t(rgb[i + 1]) << 8) | rgb[i + 2];
    }
};

class cXServer {
public:
    explicit cXServer(bool bWindowManager);
    ~cXServer();
    cXServer(const cXServer&) = delete;
    cXServer& operator=(const cXServer&) = delete;

    // Why the server (or its window manager) is not there; empty when it is.
    const std::string& Missing() const { return m_strMissing; }
    // "DISPLAY=:N", for the program's environment.
    std::string DisplayEnv() const { return "DISPLAY=" + m_strDisplay; }

    // The top-level window of a process (found by _NET_WM_PID) whose client
    // area is w x h: its client area's corner on the screen. Waits up to
    // nMs. 0 when none.
    unsigned long FindWindow(pid_t pid, int w, int h, unsigned nMs, int* pX = nullptr, int* pY = nullptr);
    // The client area's corner of a window on the screen, and the window
    // manager's frame around it (0 without one).
    bool WindowPlace(unsigned long nWindow, int* pX, int* pY, int* pFrameLeft = nullptr, int* pFrameTop = nullptr);
    // The screen's pixels in a rectangle.
    bool Grab(int x, int y, int w, int h, XPICTURE& pic);
    // Gives the window the input focus and presses the keys (xdotool key
    // names, e.g. "Escape", "Return", "Right") one after another.
    bool PressKeys(unsigned long nWindow, const std::vector<std::string>& vKeys);

private:
    pid_t m_pidServer = 0;
    pid_t m_pidManager = 0;
    std::string m_strDisplay;
    std::string m_strMissing;
    _XDisplay* m_lpDisplay = nullptr;
};
