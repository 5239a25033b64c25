// Time of one 640x480 frame: a full-screen background, 500 keyed 32x32
// sprites and two lines of glyph-sheet text, per profile and depth, with its
// ratio to a memcpy of the frame's bytes.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "graphics/DD.h"

namespace {

struct CONFIG {
    int nBackEnd, nBpp, bWindowed;
    const char* pszName;
};

uint32_t g_nSeed = 12345;
int NextInt(int n) {
    g_nSeed = g_nSeed * 1103515245u + 12345u;
    return static_cast<int>((g_nSeed >> 16) % static_cast<uint32_t>(n));
}

// <chrono> cannot be used with the Shift-JIS execution character set.
// Thread CPU time: the figures stay meaningful on a busy machine.
double Now() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void RunConfig(const CONFIG& c) {
    if (!DDInit(c.nBackEnd, nullptr, 640, 480, c.nBpp, 0, c.bWindowed, 1, 60, 0, nullptr, nullptr, 0)) {
        std::printf("%-8s set-up failed\n", c.pszName);
        return;
    }
    for (int i = 0; i < 256; i++) aPalette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
    if (!lpDTCon) {
        if (nScreenBpp == 16) for (auto& e : aPalette) e = {uint8_t(e.peRed >> 3), uint8_t(e.peGreen >> 2), uint8_t(e.peBlue >> 3), 0};
        dwTransColor = PalNumToRGB(0);
    }
    DDSURFACEDATA back, sprites, sheet;
    DDCreateSurface(&back, 640, 480, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0);
    DDCreateSurface(&sprites, 256, 256, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0);
    DDCreateSurface(&sheet, 128, 256, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0);
    for (int y = 0; y < 480; y += 16)
        for (int x = 0; x < 640; x += 16) DDFillRect(&back, x, y, 16, 16, static_cast<uint32_t>(1 + (x / 16 + y / 16) % 200));
    // Sprites: 8 x 8 cells of 32 x 32, each a disc (the corners transparent).
    DDClear(&sprites, 0);
    for (int cy = 0; cy < 8; cy++)
        for (int cx = 0; cx < 8; cx++)
            for (int r = 15; r > 0; r -= 3) DDFillRect(&sprites, cx * 32 + 16 - r, cy * 32 + 16 - r, 2 * r, 2 * r, static_cast<uint32_t>(10 + r * 5 + cx));
    DDClear(&sheet, 0);
    for (int g = 0; g < 256; g++) DDFillRect(&sheet, (g % 16) * 8 + 1, (g / 16) * 16 + 2, 6, 12, 250);
    const char* lines[2] = {"Stage 1-1  SCORE 00012345  TIME 300  LIFE 3  HI-SCORE 00100000  FPS 60 ......",
                            "The quick brown fox jumps over the lazy dog. 0123456789 !?#$%&()*+,-./:;<=>@[]"};
    struct SPR { int x, y, sx, sy; };
    std::vector<SPR> spr(500);
    for (auto& s : spr) s = {NextInt(640 + 32) - 32, NextInt(480 + 32) - 32, NextInt(8) * 32, NextInt(8) * 32};

    auto frame = [&]() {
        DDBlt(&BackBuffer, 0, 0, 640, 480, &back, 0, 0, 0);
        for (const SPR& s : spr) DDBlt(&BackBuffer, s.x, s.y, 32, 32, &sprites, s.sx, s.sy, 1);
        DDSheetText(&BackBuffer, 0, 440, 8, 16, &sheet, lines[0]);
        DDSheetText(&BackBuffer, 0, 456, 8, 16, &sheet, lines[1]);
    };
    for (int i = 0; i < 5; i++) frame();
    const int nFrames = 200;
    double t0 = Now();
    for (int i = 0; i < nFrames; i++) frame();
    double t1 = Now();
    double dFrame = (t1 - t0) / nFrames;

    DDPIXELS* p = DDGetPixels(&BackBuffer);
    size_t nBytes = p ? p->vData.size() : 0;
    std::vector<uint8_t> a(nBytes, 1), b(nBytes, 2);
    const int nCopies = 2000;
    double t2 = Now();
    for (int i = 0; i < nCopies; i++) {
        std::memcpy(b.data(), a.data(), nBytes);
        a[static_cast<size_t>(i) % nBytes] = b[(static_cast<size_t>(i) * 7) % nBytes];
    }
    double t3 = Now();
    double dCopy = (t3 - t2) / nCopies;
    std::printf("%-8s %7.3f ms/frame (CPU)   memcpy %6.3f ms   ratio %6.1f\n", c.pszName, dFrame * 1000, dCopy * 1000,
                dCopy > 0 ? dFrame / dCopy : 0.0);
    DDReleaseSurface(&back);
    DDReleaseSurface(&sprites);
    DDReleaseSurface(&sheet);
    DDRelease();
}

}  // namespace

int main(int argc, char** argv) {
    const CONFIG configs[] = {{1, 32, 1, "D3D32"}, {1, 16, 0, "D3D16"}, {0, 32, 0, "DD32"}, {0, 16, 0, "DD16"},
                              {0, 8, 0, "DD8"}};
    std::printf("frame: 640x480 background, 500 keyed 32x32 sprites, two lines of glyph-sheet text\n");
    for (const CONFIG& c : configs)
        if (argc < 2 || std::strcmp(argv[1], c.pszName) == 0) RunConfig(c);
    return 0;
}
