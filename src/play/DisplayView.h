#pragma once
// What the display objects of the stage-play scene (messages, effect
// animations, pictures) read of the scene each frame: the camera, the first
// stage cell, the scene's frame counter, and the screen centre of the
// character an object is anchored to (found with FindChara, dying ones too:
// an object over a defeated character stays until the character is removed
// after its defeat effect).
#include <cstdint>

class cCharaBase;

struct PLAYVIEW {
    double dCamX = 0, dCamY = 0;   // camera (top left of the screen) in map dots
    int32_t nCellOriginX = 0;      // first stage column and row
    int32_t nCellOriginY = 0;
    int32_t nFrame = 0;            // the scene's frame counter
};

// The view of the installed scene (all zero without one).
PLAYVIEW GetPlayView();
// The screen centre of a character's frame.
void GetScreenCentre(const cCharaBase* pChara, double* pX, double* pY);

// How a placed message or picture keeps its place after its first frame.
enum : int {
    HOLD_NONE = 0,     // placed afresh every frame
    HOLD_SCREEN = 1,   // stays where it first stood on the screen
    HOLD_STAGE = 2,    // stays where it first stood on the stage (moves with the camera)
};
// Applies a hold to the position (*px, *py) just worked out; the first call
// remembers it in (*pbRemembered, *pnX, *pnY).
void HoldPlacement(int nHold, const PLAYVIEW& v, int32_t* pbRemembered, int32_t* pnX, int32_t* pnY, int* px, int* py);
