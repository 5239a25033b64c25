// The flow operation, stage clear, game wait, message, warp and set-target
// commands (kinds 16 to 21; the last five are item commands too).
#include "flow/CmdFlowOp.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "flow/CmdDispatch.h"
#include "flow/DirVector.h"
#include "foundation/Path.h"
#include "play/CharaBase.h"
#include "play/CharaSearch.h"
#include "play/Conditions.h"
#include "play/Hero.h"
#include "play/Message.h"
#include "play/PlayScene.h"
#include "play/PlayWait.h"
#include "project/ProjectContext.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "stage/Flow.h"
#include "stage/MoveVocabulary.h"
#include "stage/Stage.h"

namespace {

constexpr int SYSSOUND_MESSAGE_OPEN = 11;

int Param(const CMDCALL& call, int i) {
    const cChkVector<int32_t>& v = call.pCmd->m_vParam;
    return v.IsValid(i) ? v[i] : 0;
}

int32_t FramesOf(int nTenths) {
    return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(nTenths) * 6, 0, INT32_MAX));
}

// ---- flow operation ----
enum : int { FLOWOP_START, FLOWOP_END, FLOWOP_PAUSE, FLOWOP_RESUME, FLOWOP_DELETE, FLOWOP_STOP };

void OperateFlow(cCharaBase* pOwner, size_t nIndex, int nOp) {
    cFlowRun& run = pOwner->m_vecFlowRun[nIndex];
    switch (nOp) {
    case FLOWOP_START:
        run.Stop(pOwner);
        pOwner->EraseFlowAnims(run.m_nSerial);
        run.Start(pOwner);
        run.m_bAbort = 1;
        break;
    case FLOWOP_END:
        run.Stop(pOwner);
        pOwner->EraseFlowAnims(run.m_nSerial);
        run.m_bAbort = 1;
        break;
    case FLOWOP_PAUSE:
        run.Pause();
        pOwner->PauseFlowAnims(run.m_nSerial);
        run.m_bAbort = 1;
        break;
    case FLOWOP_RESUME:
        run.Resume();
        pOwner->ResumeFlowAnims(run.m_nSerial);
        break;
    case FLOWOP_DELETE:
        // The run stops now, as an end does; the flow itself goes when its
        // owner's flow step is over, so no walk over the runs loses its place.
        run.Stop(pOwner);
        pOwner->EraseFlowAnims(run.m_nSerial);
        run.m_bRemove = 1;
        pOwner->m_bRemovePending = 1;
        run.m_bAbort = 1;
        break;
    case FLOWOP_STOP:
        run.StopForever(pOwner);
        pOwner->EraseFlowAnims(run.m_nSerial);
        run.m_bAbort = 1;
        break;
    default:
        break;
    }
}

}  // namespace

int CmdExec_FlowOperation(const CMDCALL& call) {
    cCharaBase* pChara = call.pChara;
    if (!pChara) return 0;
    const cCondList* pCond = call.pCmd->m_pCondList.get();
    if (pCond && pCond->m_bUse && !CheckCondList(pCond->m_vCond, pCond->m_nMode, pChara)) return 0;
    const int nOp = Param(call, 0), nScope = Param(call, 1), nId = Param(call, 2), nSubject = Param(call, 3);
    cCharaBase* pOwner = pChara;
    if (nScope == 2 && nSubject != 0) {
        pOwner = CmdTarget(pChara, nSubject - 1);
        if (!pOwner) return 0;
    }
    // The runs by index: starting a flow may insert flows into its owner.
    std::vector<size_t> vIndex;
    for (size_t i = 0; i < pOwner->m_vecFlowRun.size(); i++) {
        const cFlowRun& run = pOwner->m_vecFlowRun[i];
        const bool bCurrent = &run == call.pFlow;
        if (nScope == 0 && bCurrent) vIndex.push_back(i);
        else if (nScope == 1 && !bCurrent) vIndex.push_back(i);
        else if (nScope == 2 && run.m_lpFlow && run.m_lpFlow->m_nId != 0 && run.m_lpFlow->m_nId == nId)
            vIndex.push_back(i);
    }
    for (size_t i : vIndex)
        if (i < pOwner->m_vecFlowRun.size()) OperateFlow(pOwner, i, nOp);
    return 0;
}

int CmdExec_StageClear(const CMDCALL& call) {
    cPlayScene* pScene = CmdScene();
    cProgress* pProg = CmdProgress();
    if (!pScene || !pProg) return 1;
    switch (Param(call, 0)) {
    case 0:
        pScene->m_nNextStage = pProg->m_nStage + 1;
        pScene->m_strNextStage.clear();
        break;
    case 1:
        pScene->m_nNextStage = Param(call, 1);
        pScene->m_strNextStage.clear();
        break;
    case 2: {
        std::string& strText = call.pCmd->m_strText;
        pScene->m_nNextStage = pProg->m_nStage;
        if (strText.empty()) {
            PlayHost().ErrorBox("ステージファイル  が不正です。\nステージファイルとして認識できません。");
            pScene->m_strNextStage.clear();
        } else {
            RemoveExtension(strText);
            strText += '.';
            pScene->m_strNextStage = strText;
        }
        break;
    }
    default:
        pScene->m_nNextStage = 0;
        pScene->m_strNextStage.clear();
        break;
    }
    if (Param(call, 2)) {
        pProg->m_nMapX = std::clamp(Param(call, 3), 0, std::max(0, recWorldMap.m_nWidth - 1));
        pProg->m_nMapY = std::clamp(Param(call, 4), 0, std::max(0, recWorldMap.m_nHeight - 1));
        pProg->m_nMapDir = 0;
    }
    if (Param(call, 5)) {
        pProg->m_bNextStart = 1;
        pProg->m_nNextX = Param(call, 6);
        pProg->m_nNextY = Param(call, 7);
        int nDir = Param(call, 8);
        if (nDir == 2) nDir = CmdHero() ? CmdHero()->m_nDir : 0;
        pProg->m_nNextDir = nDir;
    } else {
        pProg->m_bNextStart = 0;
    }
    if (!call.bItem) pScene->m_nClear = 1;
    return 1;
}

int CmdExec_GameWait(const CMDCALL& call) {
    cPlayScene* pScene = CmdScene();
    if (!pScene || pScene->m_bClosing) return 0;
    const int32_t nFrames = FramesOf(Param(call, 0));
    MESSAGESETUP m;
    m.nMode = 0;
    m.bFixed = 1;
    m.nDurMode = MESDUR_TIME;
    m.nFrames = nFrames;
    m.bCountWhileFrozen = 1;
    pScene->m_lstMessage.push_back(std::make_unique<cMessage>(m));
    const cMessage* pShown = pScene->m_lstMessage.back().get();
    SetWait(*pScene, WAITKIND_GAMEWAIT, 0, nFrames, 0);
    RunWait(*pScene);
    pScene->m_lstMessage.remove_if([pShown](const std::unique_ptr<cMessage>& p) { return p.get() == pShown; });
    return 0;
}

int CmdExec_Message(const CMDCALL& call) {
    cPlayScene* pScene = CmdScene();
    if (!pScene || pScene->m_bClosing) return 0;
    auto& lst = pScene->m_lstMessage;
    const int bHasId = Param(call, 12), nId = Param(call, 13), bErase = Param(call, 15), bExpand = Param(call, 9);
    const int nPosMode = Param(call, 0);
    const int nDurMode = Param(call, 6);
    const int bStop = Param(call, 8);
    const int bCont = call.bMsgCont;
    const std::string& strText = call.pCmd->m_strText;

    auto itFound = lst.end();
    if (bHasId) {
        itFound = std::find_if(lst.begin(), lst.end(), [nId](const std::unique_ptr<cMessage>& p) {
            return p->m_bHasId && p->m_nMessageId == nId;
        });
    }
    if (bErase) {
        if (itFound != lst.end()) lst.erase(itFound);
        return 0;
    }
    MESSAGESETUP m;
    m.nMode = MESMODE_TEXT;
    m.lpszText = strText.c_str();
    m.nPosMode = nPosMode;
    m.nCellX = Param(call, 1);
    m.nCellY = Param(call, 2);
    m.nOffX = Param(call, 3);
    m.nOffY = Param(call, 4);
    m.bKeepOnScreen = Param(call, 5);
    m.bFixed = Param(call, 10);
    m.nDurMode = nDurMode;
    m.nFrames = Param(call, 17) ? 1 : FramesOf(Param(call, 7));
    m.bCountWhileFrozen = bStop;
    if (nPosMode >= 1 && nPosMode <= 3) m.nAnchorId = call.pChara ? call.pChara->m_nId : 0;
    else if (nPosMode >= 4 && nPosMode <= 6) m.nAnchorId = CmdHero() ? CmdHero()->m_nId : 0;
    m.bNoZoom = bCont;
    m.bExpand = bExpand;
    m.bLive = Param(call, 11);
    m.nInterval = Param(call, 16);
    m.bWindow = Param(call, 14);
    m.bHasId = bHasId;
    m.nMessageId = nId;

    cMessage* pShown = nullptr;
    if (itFound != lst.end()) {
        std::string strShown = strText;
        if (bExpand) ExpandMessageText(strShown);
        int w = 0, h = 0;
        GetMessageTextSize(&w, &h, strShown.c_str());
        if (w == (*itFound)->m_nWidth && h == (*itFound)->m_nHeight) {
            m.bNoSurface = 1;
            (*itFound)->Set(m);
            pShown = itFound->get();
        } else {
            auto itNew = lst.insert(itFound, std::make_unique<cMessage>(m));
            lst.erase(itFound);
            pShown = itNew->get();
        }
    } else {
        lst.push_back(std::make_unique<cMessage>(m));
        pShown = lst.back().get();
    }
    // A message shown until the stage ends does not stop the play.
    if (!bStop || (nDurMode != MESDUR_KEY && nDurMode != MESDUR_TIME)) return 0;
    if (nDurMode == MESDUR_KEY) {
        SetWait(*pScene, WAITKIND_MESSAGE, 1, 0, bCont);
        if (!bCont) PlayHost().PlaySound(SYSSOUND_MESSAGE_OPEN);
    } else {
        SetWait(*pScene, WAITKIND_MESSAGE, 0, m.nFrames, bCont);
    }
    RunWait(*pScene);
    lst.remove_if([pShown](const std::unique_ptr<cMessage>& p) { return p.get() == pShown; });
    return 0;
}

// ---- warp ----
namespace {

void ShiftX(cCharaBase* c, double d) {
    c->m_dX += d;
    c->m_dRight += d;
    c->UpdateHitBoxX();
}
void ShiftY(cCharaBase* c, double d) {
    c->m_dY += d;
    c->m_dBottom += d;
    c->UpdateHitBoxY();
}

// The eight directions of a warp from a direction code, against a facing;
// vertical parts only when allowed.
int ResolveWarpDir(int nDir, int bRight, int bVertical) {
    switch (nDir) {
    case DIR_FRONT: nDir = bRight ? DIR_RIGHT : DIR_LEFT; break;
    case DIR_BACK: nDir = bRight ? DIR_LEFT : DIR_RIGHT; break;
    case DIR_FRONT_Y: nDir = bRight ? DIR_DOWN : DIR_UP; break;
    case DIR_BACK_Y: nDir = bRight ? DIR_UP : DIR_DOWN; break;
    case DIR_INPUT: {
        const cInputState& in = PlayCtx().lpInput ? *PlayCtx().lpInput : PlayCtx().Input;
        const int l = in.m_wDir & 1, r = (in.m_wDir >> 1) & 1, u = (in.m_wDir >> 2) & 1, d = (in.m_wDir >> 3) & 1;
        if (u && l) nDir = DIR_UP_LEFT;
        else if (u && r) nDir = DIR_UP_RIGHT;
        else if (d && l) nDir = DIR_DOWN_LEFT;
        else if (d && r) nDir = DIR_DOWN_RIGHT;
        else if (l) nDir = DIR_LEFT;
        else if (r) nDir = DIR_RIGHT;
        else if (u) nDir = DIR_UP;
        else if (d) nDir = DIR_DOWN;
        else nDir = bRight ? DIR_RIGHT : DIR_LEFT;   // no key: the front
        break;
    }
    default: break;
    }
    if (!bVertical) {
        if (nDir == DIR_UP || nDir == DIR_DOWN) nDir = -1;
        if (nDir == DIR_UP_LEFT || nDir == DIR_DOWN_LEFT) nDir = DIR_LEFT;
        if (nDir == DIR_UP_RIGHT || nDir == DIR_DOWN_RIGHT) nDir = DIR_RIGHT;
    }
    return nDir;
}

void MoveByDir(cCharaBase* c, int nDir, double d) {
    double dx, dy;
    if (!DirVector(nDir, d, &dx, &dy)) return;
    if (dx != 0) {
        ShiftX(c, dx);
        c->ClampX();
    }
    if (dy != 0) {
        ShiftY(c, dy);
        c->ClampY();
    }
}

bool VerticalAllowed(const cCharaBase* c) {
    const cSystemData* pSys = CmdSystem();
    return !(pSys && pSys->m_bRule721) || c->m_bFlight;
}

}  // namespace

int CmdExec_Warp(const CMDCALL& call) {
    cCharaBase* c = call.pChara;
    const cEdMove* pMove = call.pCmd->m_pMove.get();
    cPlayScene* pScene = CmdScene();
    if (!c || !pMove || !pScene) return 0;
    const cEdMove& m = *pMove;
    c->ClearScreenLock();
    const SAVEDPOS saved{c->m_dX, c->m_dY, c->m_dRight, c->m_dBottom};
    const double dDist = (static_cast<double>(m.m_nDist) + static_cast<double>(m.m_nDistInc) * c->m_nCopyIndex) * 16.0;
    const cSystemData* pSys = CmdSystem();
    const bool bRule822 = pSys && pSys->m_bRule822;
    if (m.m_nMode == 0) {
        MoveByDir(c, ResolveWarpDir(m.m_nDir, c->m_nDir != 0, VerticalAllowed(c)), dDist);
    } else if (m.m_nMode >= 1 && m.m_nMode <= 4) {
        cCharaBase* t = CmdTarget(c, m.m_nMode - 1);
        if (!t) return 0;
        int tx, ty, cx, cy;
        GetFrameCenter(t, &tx, &ty);
        c->UpdateScreenRect();
        GetFrameCenter(c, &cx, &cy);
        ShiftX(c, tx - cx);
        ShiftY(c, ty - cy);
        MoveByDir(c, ResolveWarpDir(m.m_nDir, t->m_nDir != 0, VerticalAllowed(t)), dDist);
    } else {
        const int ox = m.m_nTargetXDot + m.m_nTargetXBl * 32, oy = m.m_nTargetYDot + m.m_nTargetYBl * 32;
        const bool bFly = c->m_bFlight != 0;
        double x = c->m_dX, y = c->m_dY;
        if (m.m_nCoord == 0) {
            x += (m.m_bMirrorX && c->m_nDir) ? -ox : ox;
            y += (m.m_bMirrorY && c->m_nDir) ? -oy : oy;
        } else if (m.m_nCoord == 1) {
            if (bRule822 || !bFly) {
                c->SetBlockX(m.m_nTargetXBl);
                c->SetBlockY(m.m_nTargetYBl, 0);
                x = c->m_dX + m.m_nTargetXDot;
                y = c->m_dY + m.m_nTargetYDot;
            } else {
                x = (pScene->m_ScrollX.m_nCellOrigin + m.m_nTargetXBl) * 32 + m.m_nTargetXDot - c->m_nWidth / 2 + 16.5;
                y = (pScene->m_ScrollY.m_nCellOrigin + m.m_nTargetYBl) * 32 + m.m_nTargetYDot - c->m_nHeight / 2 +
                    16.5;
            }
        } else {
            const double camX = pScene->m_ScrollX.m_dCam, camY = pScene->m_ScrollY.m_dCam;
            if (bRule822) {
                x = ox + c->m_nBoxX + camX;
                y = oy + c->m_nBoxY + camY;
            } else {
                x = ox + camX - c->m_nWidth / 2 + 16.5;
                y = bFly ? oy + camY - c->m_nHeight / 2 + 16.5 : oy + camY - (c->m_nHeight - 32) + 16.5;
            }
        }
        ShiftX(c, x - c->m_dX);
        ShiftY(c, y - c->m_dY);
    }
    c->UpdateScreenRect();
    if (!c->IsInStage(0) || pScene->IsPlaceBlocked(c)) {
        // Into a wall or out of bounds: the character stays where it was.
        c->m_dX = saved.dX;
        c->m_dY = saved.dY;
        c->m_dRight = saved.dRight;
        c->m_dBottom = saved.dBottom;
        c->UpdateHitBoxX();
        c->UpdateHitBoxY();
        c->ClampX();
        c->ClampY();
        c->UpdateScreenRect();
    } else if (!c->m_bFlight) {
        c->m_dVy = 0;
    }
    // Put on the screen: the character keeps this screen place while the
    // view scrolls, until a movement command lets it go.
    if (m.m_nMode == 5 && m.m_nCoord == 2) {
        c->m_bScreenLockX = c->m_bScreenLockY = 1;
        c->m_nScreenLockLeft = c->m_rcScreen.left;
        c->m_nScreenLockTop = c->m_rcScreen.top;
    }
    return 0;
}

// ---- targets ----
void SetCharaTarget(cCharaBase* pChara, int nSlot, cObj* pObj, int bClearWhenNone) {
    if (!pChara || nSlot < 0 || nSlot > 3) return;
    if (!pObj && !bClearWhenNone) return;
    if (pChara->m_vecTarget.size() < 4) pChara->m_vecTarget.resize(4);
    const CHARALINK link{cObjRef(pChara), nSlot};
    if (cCharaBase* pOld = pChara->m_vecTarget[nSlot].GetAs<cCharaBase>()) {
        auto& v = pOld->m_vecLink;
        v.erase(std::remove(v.begin(), v.end(), link), v.end());
    }
    pChara->m_vecTarget[nSlot].Reset();
    if (!pObj) return;
    pChara->m_vecTarget[nSlot] = cObjRef(pObj);
    if (cCharaBase* pNew = dynamic_cast<cCharaBase*>(pObj)) {
        auto& v = pNew->m_vecLink;
        if (std::find(v.begin(), v.end(), link) == v.end()) v.push_back(link);
    }
}

int CmdExec_SetTarget(const CMDCALL& call) {
    cCharaBase* c = call.pChara;
    cPlayScene* pScene = CmdScene();
    if (!c || !pScene) return 0;
    const int nSlot = Param(call, 0), nWhat = Param(call, 1), nGroup = Param(call, 2), bAllGroups = Param(call, 3);
    const int nRange = Param(call, 4), nNone = Param(call, 15);
    if (nNone != 0 && nNone != 1) return 0;
    CHARAFILTER f;
    f.bExcludeSelf = Param(call, 5);
    f.bExcludeInv1 = Param(call, 6);
    f.bExcludeInv2 = Param(call, 7);
    f.bExcludeSolid = Param(call, 8);
    f.bById = Param(call, 9);
    f.nCharaId = Param(call, 10);
    f.bByVar = Param(call, 11);
    f.nVar = Param(call, 12);
    f.nValue = Param(call, 13);
    f.nOp = Param(call, 14);
    f.nSelfId = c->m_nId;
    auto& groups = pScene->m_vecGroupChara;
    auto group = [&](int g) -> const CHARAGROUPLIST* {
        return g >= 0 && static_cast<size_t>(g) < groups.size() ? &groups[g] : nullptr;
    };
    cObj* pResult = nullptr;
    switch (nWhat) {
    case 0: pResult = CmdHero(); break;
    case 1: pResult = c; break;
    case 2: {
        int x, y;
        GetFrameCenter(c, &x, &y);
        if (bAllGroups) {
            cCharaBase* pBest = nullptr;
            int64_t nBest = INT64_MAX;
            for (size_t g = 0; g < groups.size(); g++) {
                if (groups[g].empty()) continue;
                cCharaBase* p = FindNearestChara(x, y, groups[g], nRange, f);
                if (!p) continue;
                int px, py;
                GetFrameCenter(p, &px, &py);
                const int64_t d = std::llabs(static_cast<int64_t>(px) - x) + std::llabs(static_cast<int64_t>(py) - y);
                if (d < nBest) {
                    nBest = d;
                    pBest = p;
                }
            }
            pResult = pBest;
        } else if (const CHARAGROUPLIST* l = group(nGroup)) {
            pResult = FindNearestChara(x, y, *l, nRange, f);
        }
        break;
    }
    case 3:
        if (bAllGroups) {
            for (size_t g = 0; g < groups.size() && !pResult; g++) pResult = FindCharaByCond(groups[g], f);
        } else if (const CHARAGROUPLIST* l = group(nGroup)) {
            pResult = FindCharaByCond(*l, f);
        }
        break;
    case 4: pResult = c->m_lpParent.Get(); break;
    case 5:
        for (auto it = c->m_vecLink.rbegin(); it != c->m_vecLink.rend(); ++it) {
            if (it->nSlot == 4 && it->Obj.Get()) {
                pResult = it->Obj.Get();
                break;
            }
        }
        break;
    case 6: pResult = FindChildByCond(c->m_vecLink, 4, nGroup, bAllGroups, f); break;
    case 7: case 8: case 9: case 10: pResult = CmdTarget(c, nWhat - 7); break;
    default: return 0;
    }
    SetCharaTarget(c, nSlot, pResult, nNone == 0);
    return 0;
}
