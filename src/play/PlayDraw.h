#pragma once
// The frame of the stage-play scene: backgrounds, the map, pictures, the
// hero, items, characters and shots by drawing layer, the foreground, effect
// animations, messages, the screen effect, the status bar, the timer, the
// footer line and the screen colour, composed into the back buffer. Every
// mode of the scene and the blocking waits draw through it.
//
// A frozen frame advances only what runs while frozen (effects started to run
// frozen, messages and pictures counting while frozen, transparent
// characters) and erases nothing: erasures wait for the next frame drawn
// from play, so a frozen frame drawn inside a wait never frees an object a
// logic walk stands on.
#include <cstdint>

class cPlayScene;
class cSystemData;
class cStage;
struct DDSURFACEDATA;

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;
constexpr int DRAW_LAYERS = 8;
constexpr int ITEM_DRAW_LAYER = 3;   // items have no layer of their own: the default character layer

// Image slots the frame draws from.
enum : int {
    IMGSLOT_SHOT = 20, IMGSLOT_SHOT_MIRROR = 21, IMGSLOT_STATUSWINDOW = 46, IMGSLOT_ACCESSORY = 49,
    IMGSLOT_WORD = 51, IMGSLOT_BACKGROUND = 55, IMGSLOT_SHOTCELLS = 63, IMGSLOT_SHOTCELLS_MIRROR = 64,
    IMGSLOT_SCREENWORK = 66,
};

void DrawPlayFrame(cPlayScene& s, int bFromPlay, int bFrozen, int bTimerSound, int bFooter);

// Backgrounds: auto-scroll offsets, then layer 0 (behind the map) or 1.
void ScrollBackgrounds(cPlayScene& s);
void DrawBackgrounds(cPlayScene& s, DDSURFACEDATA* lpDst, int nLayer);
// The first tile of a background of w x h whose origin is (x0, y0): the
// non-negative remainders negated. False for an empty picture.
bool GetBackgroundTileStart(double x0, double y0, int w, int h, int* pX, int* pY);

void DrawPictures(cPlayScene& s, DDSURFACEDATA* lpDst, int nLayer, int bFrozen);

// The status bar: the x and width of each of the five entries (hidden ones
// get x -1) and the gap; -1 when no entry is shown.
int LayoutStatusBar(const cSystemData& sys, int* pnX, int* pnWidth);
void DrawStatusBar(cPlayScene& s, DDSURFACEDATA* lpDst);
void DrawTimer(cPlayScene& s, DDSURFACEDATA* lpDst, int bTimerSound);

// Screen effect and screen colour, at the end of every drawn frame.
void RunScreenEffect(cPlayScene& s, int bFrozen);
void RunScreenColor(cPlayScene& s, int bFrozen);

// The hero's sight mask: (1280 + 2r) x (960 + 2r) of colour 16 with a
// square (shape 0, 3, 4) or a disc (1, 2) of radius r cut out of its centre.
// The frame makes it again whenever the hero's sight changes.
void CreateSightSurface(int nDots, int nShape);
void ReleaseSightSurface();
DDSURFACEDATA* GetSightSurface();

// The shot tiles centred in 32 x 32 cells of the two 256 x 960 surfaces.
void PrepareShotCells();

// The drawing layer of an object kind (0..7); the single layer 0 when the
// stage draws without layers.
int DrawLayerOf(const cStage& stage, int nZ);
