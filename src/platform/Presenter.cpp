// Shows finished frames in the window.
#include "platform/Presenter.h"

#include <SDL.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/MainThread.h"

namespace {

std::mutex g_mx;
std::vector<uint32_t> g_vLast;
std::vector<uint32_t> g_vSpare;   // the frame before, kept for the next conversion
int g_nLastW = 0, g_nLastH = 0;
std::atomic<bool> g_bShown{false};    // the last frame is what the window shows
std::atomic<uint64_t> g_nFrames{0};
std::atomic<uint64_t> g_nShown{0};   // presentations in the window

// Read by submitting threads, written by the main thread.
std::atomic<SDL_Window*> g_lpWindow{nullptr};
SDL_Renderer* g_lpRenderer = nullptr;
SDL_Texture* g_lpTexture = nullptr;
int g_nTexW = 0, g_nTexH = 0;
bool g_bOwnWindow = false;
bool g_bVSync = false;

// The pixels of the last frame submitted, as they came (rows without their
// padding, and the palette of an 8-bit frame). Only submitting threads use
// it, one at a time.
class cSourceFrame {
public:
    bool Same(const void* lpPixels, int w, int h, int nPitch, int nFormat, const uint32_t* lpPalette) const {
        std::lock_guard<std::mutex> lk(m_mx);
        if (!m_bValid || w != m_nW || h != m_nH || nFormat != m_nFormat) return false;
        if (nFormat == PRESENT_P8 && (lpPalette == nullptr) != m_vPalette.empty()) return false;
        if (nFormat == PRESENT_P8 && lpPalette && std::memcmp(lpPalette, m_vPalette.data(), 256 * sizeof(uint32_t)) != 0)
            return false;
        const size_t nRow = RowBytes(w, nFormat);
        const uint8_t* base = static_cast<const uint8_t*>(lpPixels);
        for (int y = 0; y < h; y++)
            if (std::memcmp(base + static_cast<size_t>(y) * nPitch, m_vPixels.data() + y * nRow, nRow) != 0)
                return false;
        return true;
    }
    void Keep(const void* lpPixels, int w, int h, int nPitch, int nFormat, const uint32_t* lpPalette) {
        std::lock_guard<std::mutex> lk(m_mx);
        const size_t nRow = RowBytes(w, nFormat);
        m_vPixels.resize(nRow * h);
        const uint8_t* base = static_cast<const uint8_t*>(lpPixels);
        for (int y = 0; y < h; y++)
            std::memcpy(m_vPixels.data() + y * nRow, base + static_cast<size_t>(y) * nPitch, nRow);
        if (nFormat == PRESENT_P8 && lpPalette) m_vPalette.assign(lpPalette, lpPalette + 256);
        else m_vPalette.clear();
        m_nW = w;
        m_nH = h;
        m_nFormat = nFormat;
        m_bValid = true;
    }

private:
    static size_t RowBytes(int w, int nFormat) {
        const size_t nBytes = nFormat == PRESENT_P8 ? 1 : nFormat == PRESENT_RGB565 || nFormat == PRESENT_ARGB1555 ? 2 : 4;
        return static_cast<size_t>(w) * nBytes;
    }
    mutable std::mutex m_mx;
    std::vector<uint8_t> m_vPixels;
    std::vector<uint32_t> m_vPalette;
    int m_nW = 0, m_nH = 0, m_nFormat = 0;
    bool m_bValid = false;
};
cSourceFrame g_Source;

// Expands an n-bit field to 8 bits: field * 255 / max, truncated.
inline uint32_t Expand(uint32_t c, uint32_t max) { return c * 255u / max; }

void Convert(const void* lpPixels, int w, int h, int nPitch, int nFormat, const uint32_t* lpPalette,
             std::vector<uint32_t>& out) {
    out.resize(static_cast<size_t>(w) * h);
    const uint8_t* base = static_cast<const uint8_t*>(lpPixels);
    for (int y = 0; y < h; y++) {
        const uint8_t* row = base + static_cast<size_t>(y) * nPitch;
        uint32_t* o = out.data() + static_cast<size_t>(y) * w;
        switch (nFormat) {
        case PRESENT_P8:
            for (int x = 0; x < w; x++) o[x] = 0xFF000000u | (lpPalette ? lpPalette[row[x]] & 0xFFFFFFu : 0u);
            break;
        case PRESENT_RGB565:
            for (int x = 0; x < w; x++) {
                uint32_t v = reinterpret_cast<const uint16_t*>(row)[x];
                o[x] = 0xFF000000u | Expand((v >> 11) & 31, 31) << 16 | Expand((v >> 5) & 63, 63) << 8 | Expand(v & 31, 31);
            }
            break;
        case PRESENT_ARGB1555:
            for (int x = 0; x < w; x++) {
                uint32_t v = reinterpret_cast<const uint16_t*>(row)[x];
                o[x] = 0xFF000000u | Expand((v >> 10) & 31, 31) << 16 | Expand((v >> 5) & 31, 31) << 8 | Expand(v & 31, 31);
            }
            break;
        default:
            for (int x = 0; x < w; x++) o[x] = 0xFF000000u | reinterpret_cast<const uint32_t*>(row)[x];
            break;
        }
    }
}

// True when the renderer draws with OpenGL on a software rasteriser, which
// costs more than SDL's own software renderer for the same copy.
bool IsSoftwareGL(SDL_Renderer* lpRenderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(lpRenderer, &info) != 0 || !info.name || std::strncmp(info.name, "opengl", 6) != 0)
        return false;
    using PFNGETSTRING = const unsigned char* (*)(unsigned int);
    auto pfn = reinterpret_cast<PFNGETSTRING>(SDL_GL_GetProcAddress("glGetString"));
    if (!pfn) return false;
    const unsigned char* psz = pfn(0x1F01);  // GL_RENDERER
    if (!psz) return false;
    const char* pszName = reinterpret_cast<const char*>(psz);
    for (const char* pszSoft : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (std::strstr(pszName, pszSoft)) return true;
    return false;
}

// Whether the machine has a device a hardware OpenGL driver could draw with
// (a DRM node or an NVIDIA device). Without one OpenGL can only be a software
// rasteriser, and merely trying it loads the rasteriser's libraries and
// threads (some 90 MB under a virtual X server) for a copy SDL's software
// renderer makes as well.
bool HasGraphicsDevice() {
    for (const char* psz : {"/dev/dri", "/dev/nvidiactl", "/dev/nvidia0"})
        if (access(psz, F_OK) == 0) return true;
    return false;
}

// SDL's software renderer draws into the window's own surface. Unless told
// otherwise (the environment's setting comes first), SDL would back that
// surface with an OpenGL context whenever it finds one, after making a test
// context, which loads OpenGL all the same: the surface is the window
// system's own, shared-memory image instead.
void UseWindowSystemSurface() { SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0"); }

// Video drivers without a display of their own.
bool IsHeadlessDriver() {
    const char* psz = SDL_GetCurrentVideoDriver();
    return psz && (std::strcmp(psz, "dummy") == 0 || std::strcmp(psz, "offscreen") == 0);
}

void DestroyRenderer() {
    g_bShown = false;
    if (g_lpTexture) SDL_DestroyTexture(g_lpTexture);
    if (g_lpRenderer) SDL_DestroyRenderer(g_lpRenderer);
    g_lpTexture = nullptr;
    g_lpRenderer = nullptr;
    g_nTexW = g_nTexH = 0;
}

// Main thread: draws the last frame into the renderer's back buffer, scaled
// to fit the window's output with its aspect kept (black bars around), which
// is what a logical size of the frame's size gives; the rectangle is worked
// out here so that the renderer's own scaling state never goes stale.
bool RenderLast() {
    if (!g_lpRenderer) return false;
    std::lock_guard<std::mutex> lk(g_mx);
    if (g_vLast.empty()) return false;
    if (!g_lpTexture || g_nTexW != g_nLastW || g_nTexH != g_nLastH) {
        if (g_lpTexture) SDL_DestroyTexture(g_lpTexture);
        g_lpTexture = SDL_CreateTexture(g_lpRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, g_nLastW,
                                        g_nLastH);
        if (!g_lpTexture) return false;
        // Frames are opaque: the texture is copied, never blended.
        SDL_SetTextureBlendMode(g_lpTexture, SDL_BLENDMODE_NONE);
        g_nTexW = g_nLastW;
        g_nTexH = g_nLastH;
    }
    SDL_RenderSetLogicalSize(g_lpRenderer, 0, 0);
    SDL_RenderSetViewport(g_lpRenderer, nullptr);
    SDL_RenderSetScale(g_lpRenderer, 1.0f, 1.0f);
    int ow = 0, oh = 0;
    if (SDL_GetRendererOutputSize(g_lpRenderer, &ow, &oh) != 0 || ow <= 0 || oh <= 0) {
        ow = g_nLastW;
        oh = g_nLastH;
    }
    SDL_Rect dst;
    if (static_cast<int64_t>(ow) * g_nLastH <= static_cast<int64_t>(oh) * g_nLastW) {
        dst.w = ow;
        dst.h = static_cast<int>(static_cast<int64_t>(ow) * g_nLastH / g_nLastW);
    } else {
        dst.h = oh;
        dst.w = static_cast<int>(static_cast<int64_t>(oh) * g_nLastW / g_nLastH);
    }
    dst.x = (ow - dst.w) / 2;
    dst.y = (oh - dst.h) / 2;
    SDL_UpdateTexture(g_lpTexture, nullptr, g_vLast.data(), g_nLastW * 4);
    // Bars only where the frame leaves room; a frame that fills the output
    // covers whatever was there.
    if (dst.x != 0 || dst.y != 0 || dst.w != ow || dst.h != oh) {
        SDL_SetRenderDrawColor(g_lpRenderer, 0, 0, 0, 255);
        SDL_RenderClear(g_lpRenderer);
    }
    SDL_RenderCopy(g_lpRenderer, g_lpTexture, nullptr, &dst);
    g_bShown = true;
    return true;
}

}  // namespace

bool PresenterAttachWindow(SDL_Window* lpWindow) {
    DestroyRenderer();
    if (g_bOwnWindow && g_lpWindow && g_lpWindow != lpWindow) SDL_DestroyWindow(g_lpWindow.load());
    g_bOwnWindow = false;
    g_lpWindow = lpWindow;
    if (!lpWindow) return true;
    Uint32 nFlags = SDL_RENDERER_ACCELERATED | (g_bVSync ? SDL_RENDERER_PRESENTVSYNC : 0);
    if (!IsHeadlessDriver() && HasGraphicsDevice()) g_lpRenderer = SDL_CreateRenderer(lpWindow, -1, nFlags);
    if (g_lpRenderer && IsSoftwareGL(g_lpRenderer)) {
        // A software GL driver: SDL's software renderer copies the frame
        // straight into the window instead.
        SDL_DestroyRenderer(g_lpRenderer);
        g_lpRenderer = nullptr;
    }
    if (!g_lpRenderer) {
        UseWindowSystemSurface();
        g_lpRenderer = SDL_CreateRenderer(lpWindow, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!g_lpRenderer) {
        g_lpWindow = nullptr;
        return false;
    }
    return true;
}

bool PresenterCreateWindow(const char* pszTitleUtf8, int nWidth, int nHeight, bool bFullScreen) {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    Uint32 nFlags = SDL_WINDOW_SHOWN | (bFullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    SDL_Window* w = SDL_CreateWindow(pszTitleUtf8 ? pszTitleUtf8 : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     nWidth, nHeight, nFlags);
    if (!w) return false;
    if (!PresenterAttachWindow(w)) {
        SDL_DestroyWindow(w);
        return false;
    }
    g_bOwnWindow = true;
    return true;
}

void PresenterShutdown() {
    DestroyRenderer();
    if (g_bOwnWindow && g_lpWindow) SDL_DestroyWindow(g_lpWindow.load());
    g_lpWindow = nullptr;
    g_bOwnWindow = false;
}

SDL_Window* PresenterGetWindow() { return g_lpWindow.load(); }

namespace {
// The window's place before it went full screen.
struct WINDOWEDPLACE {
    bool bKept = false;
    int x = 0, y = 0, w = 0, h = 0;
    bool bBordered = true;
} g_Windowed;
}  // namespace

bool PresenterSetFullScreen(bool bFullScreen) {
    SDL_Window* w = g_lpWindow.load();
    if (!w) return false;
    bool bNow = (SDL_GetWindowFlags(w) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (bNow == bFullScreen) return true;
    if (bFullScreen) {
        // Full screen is a request to the window manager; without one the
        // window would keep its size while SDL draws for the whole display
        // (a zoomed corner). The window covers its display itself first.
        int nDisplay = SDL_GetWindowDisplayIndex(w);
        SDL_Rect rc;
        if (SDL_GetDisplayBounds(nDisplay < 0 ? 0 : nDisplay, &rc) == 0) {
            g_Windowed.bKept = true;
            SDL_GetWindowPosition(w, &g_Windowed.x, &g_Windowed.y);
            SDL_GetWindowSize(w, &g_Windowed.w, &g_Windowed.h);
            g_Windowed.bBordered = (SDL_GetWindowFlags(w) & SDL_WINDOW_BORDERLESS) == 0;
            SDL_SetWindowBordered(w, SDL_FALSE);
            SDL_SetWindowPosition(w, rc.x, rc.y);
            SDL_SetWindowSize(w, rc.w, rc.h);
        }
        return SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    }
    const bool bOk = SDL_SetWindowFullscreen(w, 0) == 0;
    if (g_Windowed.bKept) {
        g_Windowed.bKept = false;
        SDL_SetWindowBordered(w, g_Windowed.bBordered ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowSize(w, g_Windowed.w, g_Windowed.h);
        SDL_SetWindowPosition(w, g_Windowed.x, g_Windowed.y);
    }
    return bOk;
}

void PresenterSetVSync(bool bOn) {
    g_bVSync = bOn;
    if (g_lpRenderer) SDL_RenderSetVSync(g_lpRenderer, bOn ? 1 : 0);
}

void PresenterShowCursor(bool bShow) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    RunOnMainThread([bShow]() { SDL_ShowCursor(bShow ? SDL_ENABLE : SDL_DISABLE); });
}

void PresenterSubmit(const void* lpPixels, int nWidth, int nHeight, int nPitch, int nFormat, const uint32_t* lpPalette) {
    if (!lpPixels || nWidth <= 0 || nHeight <= 0) return;
    g_nFrames++;
    // A still screen submits the same pixels frame after frame: they are
    // compared as they come, and converted only when they changed.
    if (g_Source.Same(lpPixels, nWidth, nHeight, nPitch, nFormat, lpPalette)) {
        std::lock_guard<std::mutex> lk(g_mx);
        if (g_bShown || !g_lpWindow) return;
    } else {
        g_Source.Keep(lpPixels, nWidth, nHeight, nPitch, nFormat, lpPalette);
        // The buffer of the frame before is reused: no new memory to
        // allocate, clear and fault in for every frame.
        std::vector<uint32_t> v;
        {
            std::lock_guard<std::mutex> lk(g_mx);
            v.swap(g_vSpare);
        }
        Convert(lpPixels, nWidth, nHeight, nPitch, nFormat, lpPalette, v);
        std::lock_guard<std::mutex> lk(g_mx);
        // A frame like the one the window shows needs no new presentation.
        const bool bSame = g_bShown && nWidth == g_nLastW && nHeight == g_nLastH && v.size() == g_vLast.size() &&
                           std::memcmp(v.data(), g_vLast.data(), v.size() * sizeof(uint32_t)) == 0;
        g_vLast.swap(v);
        g_nLastW = nWidth;
        g_nLastH = nHeight;
        g_vSpare.swap(v);
        if (bSame) return;
        g_bShown = false;
    }
    if (g_lpWindow) RunOnMainThread([]() { PresenterRedraw(); });
}

void PresenterRedraw() {
    if (!RenderLast()) return;
    SDL_RenderPresent(g_lpRenderer);
    g_nShown++;
}

uint64_t PresenterGetShownCount() { return g_nShown.load(); }

bool PresenterGetLastFrame(std::vector<uint32_t>* lpOut, int* lpWidth, int* lpHeight) {
    std::lock_guard<std::mutex> lk(g_mx);
    if (g_vLast.empty()) return false;
    if (lpOut) *lpOut = g_vLast;
    if (lpWidth) *lpWidth = g_nLastW;
    if (lpHeight) *lpHeight = g_nLastH;
    return true;
}

uint64_t PresenterGetFrameCount() { return g_nFrames.load(); }

bool PresenterReadBack(std::vector<uint32_t>* lpOut, int* lpWidth, int* lpHeight) {
    if (!g_lpRenderer || !RenderLast()) return false;
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(g_lpRenderer, &w, &h) != 0 || w <= 0 || h <= 0) return false;
    std::vector<uint32_t> v(static_cast<size_t>(w) * h);
    int rc = SDL_RenderReadPixels(g_lpRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, v.data(), w * 4);
    SDL_RenderPresent(g_lpRenderer);
    if (rc != 0) return false;
    if (lpOut) lpOut->swap(v);
    if (lpWidth) *lpWidth = w;
    if (lpHeight) *lpHeight = h;
    return true;
}
