// Each drawing effect over the full 640x480 screen at 32 bits, per profile:
// microseconds per frame and the ratio to a plain full-screen copy.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

#include "graphics/DD.h"
#include "graphics/DDEffect.h"

namespace {

// <chrono> cannot be used with the Shift-JIS execution character set.
// Thread CPU time keeps the figures meaningful on a busy machine.
double Now()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double TimeFrames(const std::function<void(int)>& fnFrame)
{
    for (int i = 0; i < 3; i++) fnFrame(i);  // warm-up
    int nFrames = 0;
    double t0 = Now(), t1 = t0;
    while (nFrames < 20 || t1 - t0 < 0.3) {
        fnFrame(nFrames++);
        t1 = Now();
        if (nFrames >= 2000) break;
    }
    return (t1 - t0) / nFrames * 1e6;
}

struct EFFECT {
    const char* pszName;
    std::function<void(int)> fnDraw;
};

const char* g_pszOnly = nullptr;  // run only the effects whose name starts so

void RunProfile(int nBackEnd, const char* pszName)
{
    if (!DDInit(nBackEnd, nullptr, 640, 480, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0)) {
        std::printf("%-10s set-up failed\n", pszName);
        return;
    }
    for (int i = 0; i < 256; i++) aPalette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
    for (int i = 0; i < 256; i++) aPalEntry[i] = aPalette[i];
    if (!lpDTCon) dwTransColor = PalNumToRGB(0);

    // The screen copy the screen effects draw from: a render-target texture
    // under Direct3D, a system-memory surface under DirectDraw.
    DDSURFACEDATA copy;
    DDCreateSurface(&copy, 640, 480, 1, lpDTCon ? 0 : 1, DTMEMORYTYPE_VIDEO_RT, nullptr, 0);
    for (int y = 0; y < 480; y += 8)
        for (int x = 0; x < 640; x += 8) DDFillRect(&copy, x, y, 8, 8, static_cast<uint32_t>(1 + (x / 8 + y / 8) % 250));
    DDFillRect(&copy, 100, 100, 40, 40, 0);  // a transparent patch

    const int nLensR = static_cast<int>(std::sqrt(2.0) * 320);
    std::vector<EFFECT> v = {
        {"copy", [&](int) { DDBlt(&BackBuffer, 0, 0, 640, 480, &copy, 0, 0, 0); }},
        {"wave", [&](int f) { DDWaveBlt(&BackBuffer, 0, 0, 640, 480, 4, 8.0, f % 360, 1, &copy, 0, 0, 1, 0); }},
        {"wave-col", [&](int f) { DDWaveBlt(&BackBuffer, 0, 0, 640, 480, 4, 8.0, f % 360, 2, &copy, 0, 0, 1, 1); }},
        {"split", [&](int) { DDSplitBlt(&BackBuffer, 0, 0, 640, 480, 69, 24, &copy, 0, 0, 1, 0); }},
        {"turn", [&](int f) { DDRotateDepthBlt(&BackBuffer, 0, 0, 640, 480, &copy, 0, 0, &copy, 0, 0, 640, 480, 1, f % 1280, 0); }},
        {"burst", [&](int) { DDBurstBlt(&BackBuffer, 0, 0, 640, 480, &copy, 0, 0, 16, 1); }},
        {"circle", [&](int) { DDCircleBlt(&BackBuffer, 320, 240, 640, 480, 300, 1, &copy, 320, 240, 1); }},
        {"circle-bh3", [&](int) { DDCircleBlt(&BackBuffer, 320, 240, 640, 480, 300, 3, &copy, 320, 240, 1); }},
        {"blur", [&](int) { DDBlurBlt(&BackBuffer, 0, 0, 640, 480, 2, 2, &copy, 0, 0, 0); }},
        {"blur-key", [&](int) { DDBlurBlt(&BackBuffer, 0, 0, 640, 480, 2, 2, &copy, 0, 0, 1); }},
        {"mosaic", [&](int) { DDMosaicBlt(&BackBuffer, 0, 0, 640, 480, 8, &copy, 0, 0, 0); }},
        {"mosaic-1", [&](int) { DDMosaicBlt(&BackBuffer, 0, 0, 640, 480, 1, &copy, 0, 0, 1); }},
        {"colour", [&](int) { DDColorChangeBlt(&BackBuffer, 0, 0, 640, 480, &copy, 0, 0, 1, aPalEntry, aBlendTable, 31, 2); }},
        {"translucent", [&](int) { DDAlphaBlt(&BackBuffer, 0, 0, 640, 480, &copy, 0, 0, 1, aBlendTable, 128); }},
        {"lens", [&](int) { DDLensBlt(&BackBuffer, 320, 240, nLensR, 200, &copy, 320, 240, 0, 0); }},
        {"rotate", [&](int f) { DDRotateBlt(&BackBuffer, 320, 240, 640, 480, 320, 240, 30 + (f & 1), &copy, 0, 0, 0); }},
        {"rotate-key", [&](int) { DDRotateBlt(&BackBuffer, 320, 240, 640, 480, 320, 240, 45, &copy, 0, 0, 1); }},
    };
    double dCopy = 0;
    for (const EFFECT& e : v) {
        if (g_pszOnly && dCopy != 0 && std::strncmp(e.pszName, g_pszOnly, std::strlen(g_pszOnly)) != 0) continue;
        double us = TimeFrames(e.fnDraw);
        if (dCopy == 0) dCopy = us;
        std::printf("%-10s %-12s %9.1f us/frame  %6.2f x copy%s\n", pszName, e.pszName, us, us / dCopy,
                    us > 3000 ? "  (over 3 ms)" : "");
    }
    DDReleaseSurface(&copy);
    DDRelease();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1) g_pszOnly = argv[1];
    RunProfile(1, "Direct3D");
    RunProfile(0, "DirectDraw");
    return 0;
}
