#include "play/Hero.h"

#include <algorithm>
#include <cmath>

#include "flow/Arrange.h"
#include "flow/CmdDispatch.h"
#include "foundation/Log.h"
#include "play/CurrentRun.h"
#include "play/Item.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/CmdVocabulary.h"
#include "stage/Stage.h"

namespace {

const cStage& StageOrDefault() {
    static const cStage s_Default;
    const cStage* p = PlayCtx().lpStage;
    return p ? *p : s_Default;
}

int TruncDot(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

constexpr int ITEMCMD_ARRANGE = CMD_ARRANGE - ITEMCMD_KIND_OFFSET;   // item kind 23

}  // namespace

cHero::cHero() { m_lpInput = PlayCtx().lpInput ? PlayCtx().lpInput : &PlayCtx().Input; }

cHero::cHero(const cHero& src) : cCharaBase(src) {
    m_lpInput = src.m_lpInput;
    m_nJumpFrames = src.m_nJumpFrames;
    m_bJumpReady = src.m_bJumpReady;
    m_bNoJump = src.m_bNoJump;
    m_dBaseAccel = src.m_dBaseAccel;
    m_bJumpDone = src.m_bJumpDone;
    m_anFrameWork[0] = src.m_anFrameWork[0];
    m_anFrameWork[1] = src.m_anFrameWork[1];
    m_nClearDir = src.m_nClearDir;
    m_bPosSaved = src.m_bPosSaved;
    m_HeroSavedPos = src.m_HeroSavedPos;
    m_bPosRestore = src.m_bPosRestore;
    m_lstTouchedItems = src.m_lstTouchedItems;
    m_nBlockSpeedKind = src.m_nBlockSpeedKind;
    m_dBlockSpeedValue = src.m_dBlockSpeedValue;
    m_nBlockSpeedTimer = src.m_nBlockSpeedTimer;
    m_nBlockItemWait = src.m_nBlockItemWait;
    m_nPrevGroundCell = src.m_nPrevGroundCell;
    m_nFrameCount = src.m_nFrameCount;
    m_HitBox3 = src.m_HitBox3;
    m_vecHitBox = src.m_vecHitBox;
    m_vecPendingCmd = src.m_vecPendingCmd;
    m_lstArrange = src.m_lstArrange;
    m_nItemCmdDepth = 0;
}

cHero::~cHero() = default;

void cHero::GetBodyBoxSize(int* pBoxX, int* pBoxY, int* pW, int* pH) const {
    const cStage& st = StageOrDefault();
    bool bFly = m_Data.m_nFlight != 0;
    int w = bFly ? st.m_nHeroFlyBoxW : st.m_nHeroBoxW;
    int h = bFly ? st.m_nHeroFlyBoxH : st.m_nHeroBoxH;
    int bBottom = bFly ? st.m_nHeroFlyBoxAlign : st.m_nHeroBoxAlign;
    *pW = w;
    *pH = h;
    *pBoxX = (32 - w) / 2;
    *pBoxY = bBottom ? 32 - h : (32 - h) / 2;
}

void cHero::Setup(int nId, const cCharaData* pRecord, double x, double y, cCharaBase* pParent) {
    CHARAPLACE place;
    place.pData = pRecord;
    place.dX = x;
    place.dY = y;
    ResetState(place);
    if (m_Data.m_nGiant == 0) m_Data.m_nGiant = 1;
    m_lpParent = cObjRef(pParent);
    int bx, by, w, h;
    GetBodyBoxSize(&bx, &by, &w, &h);
    Init(nId, 0, m_Data.m_nPlayer, m_Data.m_nGroup, m_Data.m_nGraphic, nullptr, 0, bx, by, w, h, 32, 32, 1, 0, 0);
    m_dX = x;
    m_dY = y;
    // Every player reads the play context's input (the held-button
    // suppression is applied to it before the frame).
    m_lpInput = PlayCtx().lpInput ? PlayCtx().lpInput : &PlayCtx().Input;
    SetFlight(m_Data.m_nFlight, 0, 0, 0);
    m_nLockFrames = 0;
    SetScale(m_Data.m_nGiant, 1, 1);
    m_nDir = m_Data.m_nDir;
    m_nClearDir = m_nDir;
    m_bPosSaved = m_bPosRestore = 0;
    m_bJumpHold = 0;
    m_dBaseAccel = 4.0 / StageSubSteps();
    m_nBlockSpeedKind = 0;
    m_dBlockSpeedValue = 0;
    m_nBlockSpeedTimer = 0;
    m_nBlockItemWait = 0;
    m_bNoJump = 0;
    m_nJumpFrames = 0;
    m_bJumpReady = 1;
    m_nFrameCount = 0;
    m_anFrameWork[0] = m_anFrameWork[1] = 0;
    BuildHitBoxes();
    m_lstTouchedItems.clear();
    InsertFlows(&m_Data.m_vFlow, 0, 0);
    ClampX();
    ClampY();
    UpdateHitBoxX();
    UpdateHitBoxY();
}

void cHero::SetFlight(int nFlight, int bScale, int bSavePos, int bRestore) {
    int nOld = m_Data.m_nFlight;
    bool bWasFlying = m_bFlight != 0;
    m_Data.m_nFlight = static_cast<uint8_t>(nFlight);
    cObj::SetFlight(nFlight);
    if (bSavePos) {
        m_bPosSaved = 1;
        m_HeroSavedPos = SAVEDPOS{m_dX, m_dY, m_dRight, m_dBottom};
    }
    if (nOld != nFlight) {
        m_nLockFrames = 2;
        if (bRestore) m_bPosRestore = 1;
    }
    if (bWasFlying && !m_bFlight) m_dVx = m_dVy = m_dCmdVx = m_dCmdVy = 0;
    const cSystemData* pSys = PlayCtx().lpSystem;
    if (m_bFlight && !(pSys && pSys->m_bRule818B)) {
        m_bAirborne = 1;
        m_nAirSteps = 8 * StageSubSteps();
    }
    const cStage& st = StageOrDefault();
    int bx, by, w, h;
    GetBodyBoxSize(&bx, &by, &w, &h);
    m_nWidth = m_nBaseWidth = w;
    m_nHeight = m_nBaseHeight = h;
    m_nFrameW = m_nBaseFrameW = 32;
    m_nFrameH = m_nBaseFrameH = 32;
    m_nBoxX = m_nBaseBoxX = bx;
    m_nBoxY = m_nBaseBoxY = by;
    bool bFly = m_Data.m_nFlight != 0;
    switch (m_Data.m_nHitArea) {
    case 0:
        if (bFly) SetHitBoxSize(st.m_nHeroFlySizeAlign, st.m_nHeroFlySizeW, st.m_nHeroFlySizeH);
        else SetHitBoxSize(st.m_nHeroSizeAlign, st.m_nHeroSizeW, st.m_nHeroSizeH);
        break;
    case 1: SetHitBoxSize(0, st.m_nHeroSize1W, st.m_nHeroSize1H); break;
    case 2: SetHitBoxSize(0, st.m_nHeroSize2W, st.m_nHeroSize2H); break;
    default: SetHitBoxSize(0, 32, 32); break;
    }
    m_HitBox2.SetBase(16 - st.m_nHeroSize1W / 2 - bx, 16 - st.m_nHeroSize1H / 2 - by, st.m_nHeroSize1W,
                      st.m_nHeroSize1H);
    m_HitBox3.SetBase(16 - st.m_nHeroBoxCW / 2 - bx, 16 - st.m_nHeroBoxCH / 2 - by, st.m_nHeroBoxCW,
                      st.m_nHeroBoxCH);
    if (bScale) {
        int n = std::max<int>(m_Data.m_nGiant, 1);
        m_HitBox1.Scale(n);
        m_HitBox2.Scale(n);
        m_HitBox3.Scale(n);
        m_nBoxX = bx * n;
        m_nBoxY = by * n;
        m_nWidth = w * n;
        m_nHeight = h * n;
    }
    m_dRight = m_dX + m_nWidth - 1;
    m_dBottom = m_dY + m_nHeight - 1;
    UpdateHitBoxX();
    UpdateHitBoxY();
}

void cHero::BuildHitBoxes() {
    const cStage& st = StageOrDefault();
    m_vecHitBox.clear();
    struct SRC { int nKind; const HITBOX* pBox; };
    HITBOX body;
    body.SetBase(m_nBoxX, m_nBoxY, m_nWidth, m_nHeight);
    const SRC aSrc[4] = {{0, &body}, {1, &m_HitBox1}, {2, &m_HitBox3}, {3, &m_HitBox2}};
    for (const SRC& s : aSrc) {
        HITBOXDISP d;
        d.nKind = s.nKind;
        d.nMode = st.m_anBoxDisp[s.nKind];
        d.nColor = st.m_anBoxColor[s.nKind];
        d.nX = s.pBox->nX;
        d.nY = s.pBox->nY;
        d.nW = s.pBox->nW;
        d.nH = s.pBox->nH;
        m_vecHitBox.push_back(d);
    }
    std::stable_sort(m_vecHitBox.begin(), m_vecHitBox.end(), [](const HITBOXDISP& a, const HITBOXDISP& b) {
        return static_cast<int64_t>(a.nW) * a.nH > static_cast<int64_t>(b.nW) * b.nH;
    });
}

void cHero::OnScale(int n) {
    m_HitBox1.Scale(n);
    m_HitBox2.Scale(n);
    m_HitBox3.Scale(n);
    ClampX();
    ClampY();
}

void cHero::UpdateHitBoxX() {
    m_HitBox1.UpdateX(m_dX);
    m_HitBox2.UpdateX(m_dX);
    m_HitBox3.UpdateX(m_dX);
}

void cHero::UpdateHitBoxY() {
    m_HitBox1.UpdateY(m_dY);
    m_HitBox2.UpdateY(m_dY);
    m_HitBox3.UpdateY(m_dY);
}

// The camera follows the hero unless the axis auto-scrolls; it stays within
// the scroll limits, and when the limits are narrower than the view the
// minimum wins.
static void FollowCamera(cScroll& s, double dPos, int nHalf, int nSize) {
    if (s.m_bAuto) return;
    double dCam = dPos - (nHalf - nSize / 2);
    dCam = std::min(dCam, s.m_dMax - s.m_nView);
    dCam = std::max(dCam, s.m_dMin);
    if (std::isfinite(dCam)) s.m_dCam = dCam;
}

int cHero::ClampX() {
    if (cPlayScene* pScene = GetPlayScene()) FollowCamera(pScene->m_ScrollX, m_dX, 320, m_nWidth);
    int nCode = ClampPosX(m_bFlight ? 0 : 1);
    m_dRight = m_dX + m_nWidth - 1;
    return nCode;
}

int cHero::ClampY() {
    if (cPlayScene* pScene = GetPlayScene()) FollowCamera(pScene->m_ScrollY, m_dY, 240, m_nHeight);
    int nCode = ClampPosY(m_bFlight ? 0 : 1);
    m_dBottom = m_dY + m_nHeight - 1;
    return nCode;
}

void cHero::UpdateScreenRect() {
    const cPlayScene* pScene = GetPlayScene();
    double cx = pScene ? pScene->m_ScrollX.m_dCam : 0;
    double cy = pScene ? pScene->m_ScrollY.m_dCam : 0;
    bool bAutoX = pScene && pScene->m_ScrollX.m_bAuto;
    bool bAutoY = pScene && pScene->m_ScrollY.m_bAuto;
    int nLeft = bAutoX ? TruncDot(m_dX) - TruncDot(cx) - m_nBoxX : TruncDot(m_dX - cx - m_nBoxX);
    int nTop = bAutoY ? TruncDot(m_dY) - TruncDot(cy) - m_nBoxY : TruncDot(m_dY - cy - m_nBoxY);
    m_rcScreen.left = nLeft;
    m_rcScreen.top = nTop;
    m_rcScreen.right = nLeft + m_nFrameW - 1;
    m_rcScreen.bottom = nTop + m_nFrameH - 1;
}

bool cHero::RestoreAfterLock() {
    if (m_nLockFrames <= 0) return false;
    if (m_bPosSaved && m_bPosRestore) {
        m_bPosRestore = 0;
        m_dX = m_HeroSavedPos.dX;
        m_dY = m_HeroSavedPos.dY;
        m_dRight = m_HeroSavedPos.dRight;
        m_dBottom = m_HeroSavedPos.dBottom;
    }
    return true;
}

void cHero::LatchGroundCell() { m_nPrevGroundCell = m_nGroundCell; }

bool cHero::CanTakeItem(const cItem* pItem) const {
    cObjRef ref(pItem);
    return std::find(m_lstTouchedItems.begin(), m_lstTouchedItems.end(), ref) == m_lstTouchedItems.end();
}

void cHero::ForgetItem(const cItem* pItem) { m_lstTouchedItems.remove(cObjRef(pItem)); }

int cHero::RunItemCmds(cChkVector<cEdCmd>& vecCmd) {
    if (m_nItemCmdDepth >= ITEMCMD_MAX_DEPTH) {
        static bool bReported = false;
        if (!bReported) {
            bReported = true;
            WriteReport("item commands nested deeper than %d are not run\n", ITEMCMD_MAX_DEPTH);
        }
        return 0;
    }
    struct DEPTH {
        int32_t& n;
        explicit DEPTH(int32_t& r) : n(r) { n++; }
        ~DEPTH() { n--; }
    } depth(m_nItemCmdDepth);
    cCurrentRunScope scope;
    if (cPlayScene* pScene = GetPlayScene()) pScene->m_bMesShown = 0;
    // The item's own list runs, so what an arrange changes in it stays for
    // the item's next take. Nothing an item command does removes or resizes
    // the list it runs from (the taken item goes only after its list; the
    // get-item command hands over a copy of the palette's list), and the
    // size is read again each turn all the same.
    for (size_t i = 0; i < vecCmd.size(); i++) {
        cEdCmd& cmd = vecCmd[i];
        if (!(cmd.m_bItemCmd && cmd.m_nKind == ITEMCMD_ARRANGE)) {
            ApplyHeroArrangeList(cmd, this);
            m_lstArrange.clear();
        }
        int r = ItemCmdDispatch(this, &cmd, nullptr);
        if (m_nHp <= 0) return 2;
        if (r != 0) return r;
    }
    return m_nHp <= 0 ? 2 : 0;
}

SIGHTRECT cHero::GetSightRect(int nImageW, int nImageH) const {
    SIGHTRECT r;
    int w = m_rcScreen.right - m_rcScreen.left + 1;
    int h = m_rcScreen.bottom - m_rcScreen.top + 1;
    int64_t sx = static_cast<int64_t>(nImageW) / 2 - w / 2 - m_rcScreen.left;
    int64_t sy = static_cast<int64_t>(nImageH) / 2 - h / 2 - m_rcScreen.top;
    int nMode = m_Data.m_nSightShape;
    if (nMode == 2 || nMode == 4) sx += (m_nDir ? 1 : -1) * static_cast<int64_t>(w / 2 - m_nSightDots);
    if (sx < 0) sx = 0;
    if (sy < 0) sy = 0;
    sx = std::min<int64_t>(sx, std::max(nImageW - 640, 0));
    sy = std::min<int64_t>(sy, std::max(nImageH - 480, 0));
    r.nSrcX = static_cast<int>(sx);
    r.nSrcY = static_cast<int>(sy);
    // An image smaller than the screen covers only its own size.
    r.nW = std::clamp(nImageW - r.nSrcX, 0, 640);
    r.nH = std::clamp(nImageH - r.nSrcY, 0, 480);
    return r;
}
