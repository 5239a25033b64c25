#pragma once
// Moves toward a point with the auto-scroll taken into account, wave steps,
// per-second to per-step values and the searches for characters in a group
// list by id, variable condition and distance.
#include <list>
#include <vector>

#include "foundation/InvSqrt2.h"
#include "play/Obj.h"

class cCharaBase;

// The per-step speed (pVx, pVy) and direction code (0 none, 1 left, 2 right)
// from (x0, y0) to (x1, y1) at dSpeed; 1 when the target is within one step
// on both axes (with bArriveCheck). pMover may be null.
int SolveMove(double* pVx, double* pVy, int* pDir, const cObj* pMover, double x0, double y0, double x1, double y1,
              double dSpeed, int bSyncFlag, int bAnySign, int bArriveCheck);

// The per-step change of nAmp x sin(angle) and its second difference; the
// angle advances by dStep and wraps at 360 x the step factor.
double StepWave(int nAmp, int nFreq, double* pAngle, double dStep, double dPhase);
double StepWaveAccel(int nAmp, int nFreq, double* pAngle, double dStep, double dPhase);
double PerSecToStep(double v);
// The auto-scroll displacement per step of an axis (0 horizontal), 0 while
// it does not scroll or a limit holds it.
double AutoScrollSpeed(int nAxis);

// The frame centre of an object (screen rectangle, integer halves).
void GetFrameCenter(const cObj* pObj, int* pX, int* pY);

// A group list of the scene (characters by reference).
using CHARAGROUPLIST = std::list<cObjRef>;

struct CHARAFILTER {
    int bById = 0;
    int nCharaId = 0;
    int bByVar = 0;
    int nVar = 0;
    int nValue = 0;
    int nOp = 0;
    int bExcludeSelf = 0;
    int bExcludeInv1 = 0;
    int bExcludeInv2 = 0;
    int bExcludeSolid = 0;
    int nSelfId = 0;
};
bool PassesCharaFilter(const cCharaBase* pChara, const CHARAFILTER& f);

cCharaBase* FindCharaByCond(const CHARAGROUPLIST& list, const CHARAFILTER& f);
// The newest entry of kind nKind (from the end of the pairs list) whose
// object exists, is in group nGroup unless bAnyGroup, and passes.
struct CHARALINK;
cCharaBase* FindChildByCond(const std::vector<CHARALINK>& pairs, int nKind, int nGroup, int bAnyGroup,
                            const CHARAFILTER& f);
// Nearest by |dx| + |dy| from (x, y) among active passing characters;
// nRange 0 the whole stage with on-screen characters first, 1 the whole
// stage, 2 on screen only. Ties: the earlier in the list.
cCharaBase* FindNearestChara(int x, int y, const CHARAGROUPLIST& list, int nRange, const CHARAFILTER& f);

// The moves toward a point (MoveToward, CalcMoveX ...) are cObj methods,
// defined with the searches.
