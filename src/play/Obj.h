#pragma once
// The root of everything that moves in a stage: characters, items, shots and
// swords. Identity, facing, the collision box as floating-point edges in map
// dots with the cells it covers, speeds, the frame rectangle on the screen,
// the flight mode and the animation sequencer.
#include <cstdint>
#include <list>

#include "graphics/AnimPattern.h"
#include "play/PlayContext.h"

class cObj;
class cCmdRun;
class cCharaBase;
class cScroll;
struct MOVERUN;   // the speed words of a movement run (flow engine)

// A reference to an object that may be gone by the time it is used: the
// object's handle, resolved through the play context at use.
class cObjRef {
public:
    cObjRef() = default;
    explicit cObjRef(const cObj* p);
    cObj* Get() const { return m_Handle.nSerial ? PlayCtx().FindObj(m_Handle) : nullptr; }
    template <class T>
    T* GetAs() const { return dynamic_cast<T*>(Get()); }
    bool IsSet() const { return m_Handle.nSerial != 0; }
    void Reset() { m_Handle = {}; }
    uint64_t GetHandle() const { return m_Handle.nSerial; }
    bool operator==(const cObjRef& o) const { return m_Handle.nSerial == o.m_Handle.nSerial; }

private:
    cPlayContext::OBJHANDLE m_Handle;
};

constexpr int32_t OBJ_LIFE_UNLIMITED = 2147483647;

// The screen rectangle of a frame: left, top, right, bottom (inclusive).
struct OBJRECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// One axis of the distance judgement: the object's start and length, the
// target's frame start and end, the target's box offset inside its frame,
// the reaches before and after (dots), the mode, the size-check switch and
// the target.
struct JUDGESPAN {
    int32_t nStart = 0, nLength = 0;
    int32_t nTargetStart = 0, nTargetEnd = 0;
    int32_t nTargetOffset = 0;
    int32_t nReachBefore = 0, nReachAfter = 0;
    int32_t nMode = 0;
    int32_t bSizeCheck = 0;
    const cObj* pTarget = nullptr;
};

class cObj {
public:
    cObj();
    cObj(const cObj& src);
    cObj& operator=(const cObj&) = delete;
    virtual ~cObj();

    virtual void CopyFrom(const cObj& src);
    virtual void SetScale(int nNew, int nOld, int bFlag);
    virtual void OnScale(int nScale) { (void)nScale; }
    virtual void AdjustScalePos(int nNew, int nOld, int bFlag) { (void)nNew; (void)nOld; (void)bFlag; }
    virtual void UpdateHitBoxX() {}
    virtual void UpdateHitBoxY() {}
    virtual void SetCenter(int x, int y) { (void)x; (void)y; }
    virtual void ArriveAt(int x, int y, MOVERUN* pMoveRun) { (void)x; (void)y; (void)pMoveRun; }
    virtual void SetCenterX(int x) { (void)x; }
    virtual void ArriveAtX(int x, MOVERUN* pMoveRun) { (void)x; (void)pMoveRun; }
    virtual void SetCenterY(int y) { (void)y; }
    virtual void ArriveAtY(int y, MOVERUN* pMoveRun) { (void)y; (void)pMoveRun; }
    // The object as a character, a shot or the hero (null when it is not
    // one). The classes answer without a dynamic cast: the hit tests and
    // the block tests ask this for every object and pair of objects.
    virtual cCharaBase* AsCharaBase();
    const cCharaBase* AsCharaBase() const { return const_cast<cObj*>(this)->AsCharaBase(); }
    virtual class cShot* AsShot();
    virtual class cHero* AsHero();

    void Init(int nId, int nKind, int nSetupValue, int nGroup, int nPicture, const int* const* pPatterns,
              int nPattern, int nBoxX, int nBoxY, int nWidth, int nHeight, int nFrameW, int nFrameH, int nDir,
              int nFlight, int nSetupParam);
    void SetFlight(int nFlight);

    // Geometry (bounds, steps, scale, screen rectangle, erase range).
    uint8_t ClampPosX(int nMode);
    uint8_t ClampPosY(int nMode);
    uint8_t MoveStepX(int nMode);
    uint8_t MoveStepY(int nMode);
    void ApplyGravity();
    void DecayCmdVelocity(double* pSpeed, int bOn);
    int GetDirSign() const { return m_nDir ? 1 : -1; }
    void UpdateScreenRect();
    // The same with the scroll axes already at hand.
    void UpdateScreenRectFrom(const cScroll& sx, const cScroll& sy);
    int IsOnScreen() const;
    int IsOnScreenAxes(int bIgnoreX, int bIgnoreY) const;
    // The same tests against a camera at (cx, cy) read once by a walk over
    // many objects (nothing in the walk may move the camera).
    int IsOnScreenAxesAt(double cx, double cy, int bIgnoreX, int bIgnoreY) const {
        if (!bIgnoreX && !(m_dRight >= cx && cx + 640 > m_dX)) return 0;
        if (!bIgnoreY && !(m_dBottom >= cy && cy + 480 > m_dY)) return 0;
        return 1;
    }
    int IsOnScreenAt(double cx, double cy) const { return IsOnScreenAxesAt(cx, cy, 0, 0); }
    int IsInStage(int bWhole) const;
    int IsOutOfEraseRange(const void* pEraseSet) const;   // a cQuadSwitch of the stage
    void CalcKnockback(double* pOutX, double* pOutY, int nPower, double dDx, double dDy) const;
    int IsCornerBlocked() const;
    // 1 when the target's interval meets this object's judgement span.
    int JudgeSpan(const JUDGESPAN& rec) const;
    // The judgement span [*pL, *pR] of a record on its axis (the target's
    // fields are not read).
    static void JudgeSpanEnds(const JUDGESPAN& rec, int64_t* pL, int64_t* pR);

    // Moves toward a point through a movement run (CharaSearch.cpp): the
    // run's speeds and direction are written; non-zero on arrival.
    int MoveToward(cCmdRun* pRun, const cObj* pMover, int x1, int y1, int bSyncFlag, int bArriveCheck);
    int MoveTowardX(cCmdRun* pRun, const cObj* pMover, int x1, int bSyncFlag, int bArriveCheck);
    int MoveTowardY(cCmdRun* pRun, const cObj* pMover, int y1, int bSyncFlag, int bArriveCheck);
    static int CalcMoveX(double* pVx, double* pVy, int* pDir, const cObj* pMover, double x0, double x1,
                         double dSpeed, int bSyncFlag, int bArriveCheck);
    static int CalcMoveY(double* pVx, double* pVy, int* pDir, const cObj* pMover, double y0, double y1,
                         double dSpeed, int bSyncFlag, int bArriveCheck);
    void GetMoveTarget(int* pX, int* pY, const cCmdRun* pRun) const;
    // The nearest character of a group list (std::list<cObjRef>) for aiming.
    cCharaBase* FindNearestForMe(const std::list<cObjRef>& list) const;

    // The handle under which the context knows this object (its serial
    // number) and its place in the context's table.
    uint64_t GetHandle() const { return m_Handle.nSerial; }
    const cPlayContext::OBJHANDLE& GetHandleSlot() const { return m_Handle; }
    cPlayContext* GetContext() const { return m_pCtx; }

    int32_t m_nId = 0;
    int32_t m_nLife = 0;
    int32_t m_nDir = 0;
    int16_t m_nSetupParam = 0;
    int32_t m_nPicture = 0;
    int32_t m_nUserA = 0;
    cAnimPattern m_Anim;
    int32_t m_anUserB[3] = {};
    OBJRECT m_rcScreen;
    int32_t m_nBoxX = 0, m_nBoxY = 0;
    int32_t m_nFrameW = 0, m_nFrameH = 0;
    int32_t m_nBaseBoxX = 0, m_nBaseBoxY = 0, m_nBaseFrameW = 0, m_nBaseFrameH = 0;
    int32_t m_nUserC = 0;
    int32_t m_nKind = 0;
    int32_t m_nSetupValue = 0;
    int32_t m_nGroup = 0;
    // Whether the object takes part and is on the screen, beside its box:
    // the activity pass writes them from the box for every object.
    int32_t m_bActive = 0;
    int32_t m_bOnScreen = 0;
    double m_dX = 0, m_dY = 0;
    double m_dRight = 0, m_dBottom = 0;
    int32_t m_nCellL = 0, m_nCellT = 0, m_nCellR = 0, m_nCellB = 0;
    double m_dVx = 0, m_dVy = 0;
    double m_dCmdVx = 0, m_dCmdVy = 0;
    double m_dCmdDecel = 0;
    int32_t m_bCmdDecayX = 0, m_bCmdDecayY = 0;
    int32_t m_bScrollSync = 0;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_nBaseWidth = 0, m_nBaseHeight = 0;
    int32_t m_bFlight = 0;
    uint8_t m_nFlightBlock = 0;
    uint8_t m_bCondLatch = 0;

private:
    void CopyRoot(const cObj& src);
    cPlayContext* m_pCtx = nullptr;
    cPlayContext::OBJHANDLE m_Handle;
};

template <>
inline cCharaBase* cObjRef::GetAs<cCharaBase>() const {
    cObj* p = Get();
    return p ? p->AsCharaBase() : nullptr;
}
template <>
inline cShot* cObjRef::GetAs<cShot>() const {
    cObj* p = Get();
    return p ? p->AsShot() : nullptr;
}

