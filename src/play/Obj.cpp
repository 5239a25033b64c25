#include "play/Obj.h"

#include "play/CharaBase.h"
#include "play/Hero.h"
#include "play/Shot.h"

cObjRef::cObjRef(const cObj* p) {
    if (p) m_Handle = p->GetHandleSlot();
}


cObj::cObj() : m_pCtx(&PlayCtx()) { m_Handle = m_pCtx->RegisterObj(this); }

cObj::cObj(const cObj& src) : m_Anim(src.m_Anim), m_pCtx(&PlayCtx()) {
    m_Handle = m_pCtx->RegisterObj(this);
    CopyRoot(src);
}

cObj::~cObj() { m_pCtx->UnregisterObj(m_Handle); }

void cObj::CopyRoot(const cObj& src) {
    m_nId = src.m_nId;
    m_nLife = src.m_nLife;
    m_nDir = src.m_nDir;
    m_nSetupParam = src.m_nSetupParam;
    m_nPicture = src.m_nPicture;
    m_nUserA = src.m_nUserA;
    for (int i = 0; i < 3; i++) m_anUserB[i] = src.m_anUserB[i];
    m_rcScreen = src.m_rcScreen;
    m_nBoxX = src.m_nBoxX;
    m_nBoxY = src.m_nBoxY;
    m_nFrameW = src.m_nFrameW;
    m_nFrameH = src.m_nFrameH;
    m_nBaseBoxX = src.m_nBaseBoxX;
    m_nBaseBoxY = src.m_nBaseBoxY;
    m_nBaseFrameW = src.m_nBaseFrameW;
    m_nBaseFrameH = src.m_nBaseFrameH;
    m_nUserC = src.m_nUserC;
    m_nKind = src.m_nKind;
    m_nSetupValue = src.m_nSetupValue;
    m_nGroup = src.m_nGroup;
    m_dX = src.m_dX;
    m_dY = src.m_dY;
    m_dRight = src.m_dRight;
    m_dBottom = src.m_dBottom;
    m_nCellL = src.m_nCellL;
    m_nCellT = src.m_nCellT;
    m_nCellR = src.m_nCellR;
    m_nCellB = src.m_nCellB;
    m_dVx = src.m_dVx;
    m_dVy = src.m_dVy;
    m_dCmdVx = src.m_dCmdVx;
    m_dCmdVy = src.m_dCmdVy;
    m_dCmdDecel = src.m_dCmdDecel;
    m_bCmdDecayX = src.m_bCmdDecayX;
    m_bCmdDecayY = src.m_bCmdDecayY;
    m_bScrollSync = src.m_bScrollSync;
    m_nWidth = src.m_nWidth;
    m_nHeight = src.m_nHeight;
    m_nBaseWidth = src.m_nBaseWidth;
    m_nBaseHeight = src.m_nBaseHeight;
    m_bFlight = src.m_bFlight;
    m_nFlightBlock = src.m_nFlightBlock;
    m_bActive = src.m_bActive;
    m_bOnScreen = src.m_bOnScreen;
    m_bCondLatch = src.m_bCondLatch;
}

void cObj::CopyFrom(const cObj& src) {
    if (&src == this) return;
    CopyRoot(src);
    m_Anim = src.m_Anim;
}

void cObj::Init(int nId, int nKind, int nSetupValue, int nGroup, int nPicture, const int* const* pPatterns,
                int nPattern, int nBoxX, int nBoxY, int nWidth, int nHeight, int nFrameW, int nFrameH, int nDir,
                int nFlight, int nSetupParam) {
    m_nId = nId;
    m_nKind = nKind;
    m_nSetupValue = nSetupValue;
    m_nGroup = nGroup;
    m_nPicture = nPicture;
    m_nLife = OBJ_LIFE_UNLIMITED;
    if (pPatterns) {
        m_Anim.SetPatterns(pPatterns);
        m_Anim.SetPattern(nPattern, 1);
    }
    m_nBoxX = m_nBaseBoxX = nBoxX;
    m_nBoxY = m_nBaseBoxY = nBoxY;
    m_nWidth = m_nBaseWidth = nWidth;
    m_nHeight = m_nBaseHeight = nHeight;
    m_nFrameW = m_nBaseFrameW = nFrameW;
    m_nFrameH = m_nBaseFrameH = nFrameH;
    m_dVx = m_dVy = 0;
    m_dCmdVx = m_dCmdVy = 0;
    m_nDir = nDir;
    m_bActive = m_bOnScreen = 0;
    m_bCondLatch = 0;
    SetFlight(nFlight);
    m_nSetupParam = static_cast<int16_t>(nSetupParam);
}

void cObj::SetFlight(int nFlight) {
    // flight status -> (flies, block contact while flying)
    static const struct { int32_t bFlight; uint8_t nBlock; } atbl[4] = {{0, 1}, {1, 0}, {1, 1}, {1, 2}};
    if (nFlight < 0 || nFlight > 3) return;
    m_bFlight = atbl[nFlight].bFlight;
    m_nFlightBlock = atbl[nFlight].nBlock;
}

cCharaBase* cObj::AsCharaBase() { return dynamic_cast<cCharaBase*>(this); }
cShot* cObj::AsShot() { return dynamic_cast<cShot*>(this); }
cHero* cObj::AsHero() { return dynamic_cast<cHero*>(this); }
