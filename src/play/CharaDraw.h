#pragma once
// Drawing a character: its graphic cell through the applier of its current
// character effect (plain, burst, split, wave, blink, rotation, circle,
// enlarge, lens, colour change, translucent, mosaic, blur), its mark, and the
// stepping of the effect of a character that is not drawn.
#include <cstdint>

#include "play/CharaEffectRun.h"

class cCharaBase;
class cPlayScene;
struct DDSURFACEDATA;
struct DRAWSOURCE;

// The surfaces a cell is drawn from (a sheet slot or a dedicated bitmap).
DDSURFACEDATA* GetDrawSurface(const DRAWSOURCE& src, int bMirror);

// The cell row of the character's current state: its base row plus the
// rows of the animation set for flying, solid and invincible characters.
int GetCellRowOffset(const cCharaBase* pChara);

// The colour pair an invincible character is tinted with under Direct3D
// (the system's tint switch on and the character's tint colour set): false
// when it is drawn untinted.
bool GetCharaTint(const cCharaBase* pChara, int anPair[2]);

// Draws the character (the cell from its animation, its effect, its mark).
void DrawCharaBody(cCharaBase* pChara, DDSURFACEDATA* lpDst, int bFreeze);
// Runs the effect's applier without drawing; 1 when the effect ended (the
// effect is then none).
int StepCharaEffect(cCharaBase* pChara, int bFreeze);

// Play frames a defeated hero stays down after its defeat effect ended
// before the miss is handled (the miss comes on the frame the count passes it).
constexpr int HERO_DEAD_WAIT_FRAMES = 60;

// The play frame's drawing of the hero (1 when its defeat effect ended and
// the wait after it passed)
// and of a character (1 when a defeated character's effect ended: it is to
// be erased).
int DrawHero(cPlayScene& s, DDSURFACEDATA* lpDst, int bFrozen);
int DrawChara(cCharaBase* pChara, DDSURFACEDATA* lpDst, int bFrozen);

// What an applier draws with: the destination, the cell and its size.
struct CHARAFXDRAW {
    DDSURFACEDATA* lpDst = nullptr;
    DDSURFACEDATA* lpCell = nullptr;     // the cell's surface (facing applied)
    DDSURFACEDATA* lpMirror = nullptr;   // the mirrored cell's surface
    int32_t nSrcX = 0, nSrcY = 0, nSrcW = 32, nSrcH = 32;   // the cell in its surface
    int32_t x = 0, y = 0, w = 32, h = 32;                   // the character on the screen
    int32_t nGiant = 1;
    int32_t bStretch = 0;
};
// The 17 appliers: draw (when bDraw) and, unless frozen, step the run; 1 when
// the run ended.
using CHARAEFFECTFN = int (*)(cCharaBase* pChara, const CHARAFXDRAW& d, int bFreeze, int bDraw);
extern const CHARAEFFECTFN pfnCharaEffect[CHARA_EFFECT_KINDS];
