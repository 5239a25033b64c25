#pragma once
// A shot or a sword swing in flight, and the pipeline that fires them: the
// emitters of the shot and summon commands, the six formations with their
// placements and aiming, and the creation step that makes a shot, or summons
// a block, a character or an item, at each computed point.
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>

#include "foundation/SlotPool.h"
#include "play/HitList.h"
#include "play/Obj.h"
#include "stage/CmdSubRecords.h"

class cCharaBase;
class cCmdRun;
class cFlowRun;
class cSwordType;
struct DDSURFACEDATA;

constexpr double RAD_TO_DEG = 57.29577951308232;

// Object kinds of the creation step (the command kinds).
enum : int { SHOTKIND_SHOT = 11, SHOTKIND_SWORD = 12, SHOTKIND_BLOCK = 13, SHOTKIND_CHARA = 14, SHOTKIND_ITEM = 15 };

// Bounds the formation code honours whatever the record holds.
constexpr int SHOT_FORMATION_COUNT = 6;
constexpr int SHOT_ORBIT_COUNT = 10;
constexpr int SHOT_DIRCODE_MAX = 12;
constexpr int SHOT_COUNT_MAX = 127;      // objects per formation
constexpr int SHOT_CLONES_MAX = 20;      // extra runs of the formation
constexpr int SHOT_LINES_MAX = 50;       // lightning lines

// The launch record handed from the emitter to a formation and on to the
// creation step.
struct SHOTLAUNCH {
    int32_t nClone = 0;
    double dSpeed = 0;     // dots per frame
    int32_t nAngle = 0;    // degrees
    int32_t nRange = 0;    // hbl
    int32_t nLife = 0;     // 1/10 s
    double dVx = 0, dVy = 0;
    int32_t nX = 0, nY = 0;
    int32_t nBaseX = 0, nBaseY = 0;
    int32_t nStepX = 0, nStepY = 0;
    int32_t nLineStepX = 0, nLineStepY = 0;
    int32_t nWidth = 0, nHeight = 0;
    int32_t nShiftX = 0, nShiftY = 0;
    int32_t nDir = 0;      // resolved direction code
};

class cShot : public cObj {
public:
    cShot* AsShot() override { return this; }
    cShot();
    cShot(const cShot& src);
    ~cShot() override;
    // Shots come from a pool of their own: a crowded stage makes and drops
    // thousands a frame.
    static void* operator new(std::size_t nBytes);
    static void operator delete(void* p, std::size_t nBytes);

    void CopyFrom(const cObj& src) override;
    void OnScale(int nScale) override;
    void AdjustScalePos(int nNew, int nOld, int bFlag) override;
    void UpdateHitBoxX() override;
    void UpdateHitBoxY() override;

    // nKind 11 a shot, 12 a sword. A scale of 0 in the record is stored back
    // as 1.
    void Setup(int nId, cObj* pShooter, int nKind, cEdShot& rec, const SHOTLAUNCH& launch);

    // One logic step; 1 when the shot ends.
    int Step();
    void MoveX();
    void MoveY();
    // 3 when the shot was held at a stage edge.
    int ClampX();
    // 1 when the shot touches a block that stops it.
    int HitsBlock();
    // The sword's step; 1 when it ends.
    int StepSword();
    void Draw(DDSURFACEDATA* pSurface, int bPaused);

    // Aims the acceleration (m_dAccel) along (dx, dy), per step.
    void SetAccelVector(double* pAx, double* pAy, double dx, double dy) const;
    // Aims the shot at an object's centre at the trajectory speed.
    void AimAt(const cObj* pTarget);
    // One homing correction toward an object.
    void HomeStep(const cObj* pTarget);
    // The sword type of a sword; null when the database has no such type or
    // the type has no parts.
    const cSwordType* GetSwordType() const;

    // The box and the mark the contact passes read of every shot come first,
    // in the lines next to the object's position and on-screen flag.
    double m_rcHit[4] = {0, 0, 0, 0};   // left, top, right, bottom
    int32_t m_bErased = 0;
    int32_t m_nOwnerId = 0;
    int32_t m_bProjectile = 1;
    int32_t m_nRangeLeft = 0;
    int32_t m_nLifeLeft = 0;
    int32_t m_nStepCount = 0;
    int32_t m_nSwordPart = 0;
    double m_dAccel = 0;
    double m_dOrbitSpeed = 0;
    double m_dShotVx = 0, m_dShotVy = 0;
    int32_t m_bAccel = 0;
    int32_t m_nOrbitStart = 0, m_nOrbitEnd = 0;
    int32_t m_bOrbitDone = 0;
    double m_dWaveAngle = 0, m_dWaveSin = 0, m_dWaveCos = 0;
    int32_t m_nHitX = 0, m_nHitY = 0, m_nHitW = 0, m_nHitH = 0;
    int32_t m_nBaseHitX = 0, m_nBaseHitY = 0, m_nBaseHitW = 0, m_nBaseHitH = 0;
    cHitList m_HitChara;   // characters already hit
    cEdShot m_Shot;
    cObjRef m_lpTarget;
    cObjRef m_lpAttacker;
    int32_t m_bCreditAttacker = 0;
    uint8_t m_nCreditParam = 0;

    // The shot's entry in the scene's list of its group (m_nFiledGroup -1:
    // not filed), so that removing a shot does not search the list. A copy
    // is not filed.
    std::list<cObjRef>::iterator m_itGroupEntry{};
    int32_t m_nFiledGroup = -1;
    int32_t m_bFiledClash = 0;   // counted among the scene's clashing shots

private:
    void CopyShot(const cShot& src);
};

// The scene's shots; the list's nodes come from a pool, as the shots do.
using SHOTLIST = std::list<std::unique_ptr<cShot>, cPoolAllocator<std::unique_ptr<cShot>>>;

// The trajectory routines, indexed by the record's trajectory (0 does
// nothing; 5 and 7 are one routine).
using SHOTORBITFUNC = void (*)(cShot* pShot);
extern const SHOTORBITFUNC pfnShotTrajectory[SHOT_ORBIT_COUNT];
void ShotMove_AimHero(cShot* pShot);
void ShotMove_AimNearest(cShot* pShot);
void ShotMove_AimTarget(cShot* pShot);
void ShotMove_HomeHero(cShot* pShot);
void ShotMove_HomeNearest(cShot* pShot);
void ShotMove_HomeTarget(cShot* pShot);
void ShotMove_Wave(cShot* pShot);
void ShotMove_Fall(cShot* pShot);

// --- emitters and formations ---
// The angle of a resolved direction code (2 left 0, 3 right 180, 6 up 90,
// 7 down 270, the diagonals; every other code 0).
double DirAngle(int nDir);
// The direction code 0..12 resolved by the shooter's facing (12 through the
// input direction of the running flow); -1 for a code above 12.
int ResolveShotDir(int nCode, const cObj* pShooter, const cFlowRun* pFlow);

// The shot command's emitter (kind 11). pList is the scene's shot list.
void EmitShot(SHOTLIST* pList, cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec);
void EmitCharaSummon(cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec);
void EmitItemSummon(cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec);
void EmitBlockSummon(cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec);

// A formation: pList null for a summon (nKind says what is created).
using SHOTFORMFUNC = void (*)(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch);
extern const SHOTFORMFUNC pfnShotFormation[SHOT_FORMATION_COUNT];
void ShotForm_StraightA(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch);
void ShotForm_StraightB(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch);
void ShotForm_Spread(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch);
void ShotForm_Lightning(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch);
void ShotForm_Explosion(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch);
void ShotForm_Encircle(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch);
// Runs formation rec.m_nFormation; an index above 5 fires nothing.
void RunShotFormation(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch);

// Placements (fill the base point, steps and velocity of a launch record).
void PlaceRow(SHOTLAUNCH& l, const cObj* S, const cEdShot& rec);
void PlaceRowRotated(SHOTLAUNCH& l, cObj* S, cEdShot& rec);
void PlaceStack(SHOTLAUNCH& l, const cObj* S, const cEdShot& rec);
void PlaceStackAimed(SHOTLAUNCH& l, cObj* S, cEdShot& rec);
void PlaceFront(SHOTLAUNCH& l, const cObj* S);
void PlaceFrontRotated(SHOTLAUNCH& l, cObj* S, cEdShot& rec);
void PlaceFromEdge(SHOTLAUNCH& l, const cObj* T, const cEdShot& rec);
void PlaceFromEdgeAimed(SHOTLAUNCH& l, const cObj* T, const cEdShot& rec);
void PlaceCentre(SHOTLAUNCH& l, const cObj* S);
void RotatePlacement(SHOTLAUNCH& l, const cObj* S, double dAngle);
// The aim angle in degrees from (x, y) toward the target in the shooter's
// aim slot (not truncated).
double AimAngle(int x, int y, cObj* S, cEdShot& rec, SHOTLAUNCH& l);

// The creation step of one object at (l.nX, l.nY).
void CreateLaunched(SHOTLIST* pList, int nKind, SHOTLAUNCH& l, cObj* pShooter, cEdShot& rec);
// The object in target slot nSlot of a character (null for a bad slot, an
// empty one or a shooter that is not a character).
cObj* GetTargetSlot(const cObj* pShooter, int nSlot);
