// The presentation commands: run an effect animation, a character effect or
// a screen effect, show a picture, change the screen colour, show or hide a
// background, play a sound or music (kinds 29 to 36, item kinds 14 to 21).
#include <algorithm>
#include <cmath>
#include <memory>

#include "flow/CmdDispatch.h"
#include "flow/CmdFlowOp.h"
#include "foundation/Log.h"
#include "graphics/DD.h"
#include "play/CharaBase.h"
#include "play/CharaSearch.h"
#include "play/EffectAnime.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "play/PlayWait.h"
#include "project/Database.h"
#include "project/Progress.h"
#include "stage/Flow.h"
#include "stage/Stage.h"

namespace {

int Param(const CMDCALL& call, int i) {
    const cChkVector<int32_t>& v = call.pCmd->m_vParam;
    return v.IsValid(i) ? v[i] : 0;
}

int32_t FramesOf(int64_t nTenths) { return static_cast<int32_t>(std::clamp<int64_t>(nTenths * 6, 0, INT32_MAX)); }

constexpr int MEMORY_SYSTEM = 1;

}  // namespace

void CalcEffectPos(int* pX, int* pY, int w, int h, const cCharaBase* pChara, int nType, int nCellX, int nCellY,
                   int nOffX, int nOffY) {
    const cPlayScene* s = CmdScene();
    const double camX = s ? s->m_ScrollX.m_dCam : 0, camY = s ? s->m_ScrollY.m_dCam : 0;
    const int w2 = w / 2, h2 = h / 2;
    switch (nType) {
    case 1:
    case 2: {
        const cCharaBase* p = nType == 1 ? pChara : CmdHero();
        int cx = 320, cy = 240;
        if (p) {
            cx = p->m_rcScreen.left + (p->m_rcScreen.right - p->m_rcScreen.left + 1) / 2;
            cy = p->m_rcScreen.top + (p->m_rcScreen.bottom - p->m_rcScreen.top + 1) / 2;
        }
        *pX = static_cast<int>(cx + camX) - w2 + nOffX;
        *pY = static_cast<int>(cy + camY) - h2 + nOffY;
        break;
    }
    case 3:
        *pX = static_cast<int>(camX) + nCellX * 32 + nOffX;
        *pY = static_cast<int>(camY) + nCellY * 32 + nOffY;
        break;
    case 4:
        *pX = (nCellX + (s ? s->m_ScrollX.m_nCellOrigin : 0)) * 32 + nOffX;
        *pY = (nCellY + (s ? s->m_ScrollY.m_nCellOrigin : 0)) * 32 + nOffY;
        break;
    default:
        *pX = static_cast<int>(camX) + 320 - w2 + nOffX;
        *pY = static_cast<int>(camY) + 240 - h2 + nOffY;
        break;
    }
}

int CmdExec_RunEffect(const CMDCALL& call) {
    cPlayScene* s = CmdScene();
    const cDatabase* pDb = CmdDatabase();
    if (!s || !pDb || s->m_bClosing) return 0;
    const int nEffect = Param(call, 0);
    if (nEffect == 0) {
        s->m_lstEffect.clear();
        return 0;
    }
    const cEffect& e = pDb->m_vEffect.At(nEffect);
    const int w = ZoomSize(e.m_nWidth, Param(call, 6)), h = ZoomSize(e.m_nHeight, Param(call, 6));
    int x, y;
    CalcEffectPos(&x, &y, w, h, call.pChara, Param(call, 1), Param(call, 2), Param(call, 3), Param(call, 4),
                  Param(call, 5));
    const int bWait = Param(call, 7);
    auto p = std::make_unique<cEffectAnime>();
    p->Set(nEffect, x, y, w, h, bWait);
    s->m_lstEffect.push_back(std::move(p));
    if (bWait) {
        int64_t nTenths = 0;
        for (const cEffectFrame& f : e.m_vFrame) nTenths += std::max(0, f.m_nTime);
        SetWait(*s, WAITKIND_EFFECT, 0, FramesOf(nTenths), 0);
        RunWait(*s);
    }
    return 0;
}

int CmdExec_RunCharaEffect(const CMDCALL& call) {
    if (call.pChara) call.pChara->m_CharaEffect.Start(Param(call, 0), Param(call, 1), Param(call, 2));
    return 0;
}

int CmdExec_RunScreenEffect(const CMDCALL& call) {
    cPlayScene* s = CmdScene();
    if (!s) return 0;
    s->m_ScrEffect.Start(Param(call, 0), Param(call, 1), Param(call, 2));
    if (s->m_ScrEffect.m_nId == 0 && lpDTCon && lpDTCon->bVirBackBuffer) DDSetVirBackBuffer(0);
    return 0;
}

int CmdExec_ShowPicture(const CMDCALL& call) {
    cPlayScene* s = CmdScene();
    const cDatabase* pDb = CmdDatabase();
    if (!s || !pDb || s->m_bClosing) return 0;
    auto& lst = s->m_lstPicture;
    const int nPicture = Param(call, 0), bHasId = Param(call, 12), nId = Param(call, 13);
    auto byId = [&]() {
        return std::find_if(lst.begin(), lst.end(), [nId](const std::unique_ptr<cPictureRun>& p) {
            return p->m_bHasId && p->m_nPictureId == nId;
        });
    };
    if (nPicture == 0) {
        if (bHasId) {
            auto it = byId();
            if (it != lst.end()) lst.erase(it);
        } else {
            lst.clear();
        }
        return 0;
    }
    const cPicture& rec = pDb->m_vPicture.At(nPicture);
    auto pRun = std::make_unique<cPictureRun>();
    auto itOld = bHasId ? byId() : lst.end();
    // The replaced picture's surface is kept when it holds the same file.
    if (itOld != lst.end() && (*itOld)->m_lpSurface && rec.m_strFile == (*itOld)->m_lpSurface->szFileName)
        pRun->m_lpSurface = std::move((*itOld)->m_lpSurface);
    if (!pRun->m_lpSurface) {
        pRun->m_lpSurface = std::make_unique<DDSURFACEDATA>();
        const int nMemory = (!lpDTCon && Param(call, 7) != 100) ? MEMORY_SYSTEM : 0;
        if (DDCreateSurfaceFromFile(pRun->m_lpSurface.get(), rec.m_strFile.c_str(), 1, nScreenBpp, nMemory,
                                    DTMEMORYTYPE_VIDEO_RT, nullptr, 0, 0, 0, 0) != 0) {
            std::string strText = rec.m_strFile + " 読み込み失敗！";
            PlayHost().ErrorBox(strText.c_str());
            return 0;
        }
    }
    PICTURESETUP p;
    p.nPicture = nPicture;
    p.nType = Param(call, 1);
    p.nCellX = Param(call, 2);
    p.nCellY = Param(call, 3);
    p.nOffX = Param(call, 4);
    p.nOffY = Param(call, 5);
    p.nPicWidth = pRun->m_lpSurface->nWidth;
    p.nPicHeight = pRun->m_lpSurface->nHeight;
    p.bFixed = Param(call, 11);
    p.nKept = Param(call, 6);
    p.nZoom = Param(call, 7);
    p.nDurMode = Param(call, 8);
    p.nFrames = Param(call, 14) ? 1 : FramesOf(Param(call, 9));
    p.bCountWhileFrozen = Param(call, 10);
    if (p.nType == PICPLACE_CHARA) p.nCharaId = call.pChara ? call.pChara->m_nId : 0;
    else if (p.nType == PICPLACE_HERO) p.nCharaId = CmdHero() ? CmdHero()->m_nId : 0;
    p.bHasId = bHasId;
    p.nPictureId = nId;
    pRun->Set(p);
    if (p.nType == PICPLACE_CHARA || p.nType == PICPLACE_HERO) {
        int x, y;
        pRun->GetPos(&x, &y);
    }
    cPictureRun* pShown = pRun.get();
    if (itOld != lst.end()) {
        lst.insert(itOld, std::move(pRun));
        lst.erase(itOld);
    } else {
        lst.push_back(std::move(pRun));
    }
    if (Param(call, 10) && (p.nDurMode == 0 || p.nDurMode == 2)) {
        if (p.nDurMode == 0) SetWait(*s, WAITKIND_PICTURE, 1, 0, 0);
        else SetWait(*s, WAITKIND_PICTURE, 0, p.nFrames, 0);
        RunWait(*s);
        lst.remove_if([pShown](const std::unique_ptr<cPictureRun>& q) { return q.get() == pShown; });
    }
    return 0;
}

int CmdExec_ChangeScreenColor(const CMDCALL& call) {
    cPlayScene* s = CmdScene();
    if (!s) return 0;
    int32_t an[8];
    for (int i = 0; i < 8; i++) an[i] = Param(call, i);
    s->m_ScrColor.Start(an);
    return 0;
}

int CmdExec_ChangeBackground(const CMDCALL& call) {
    cStage* pStage = CmdStage();
    if (!pStage) return 0;
    const int n = Param(call, 0) - 1;
    // A number outside the list changes nothing.
    if (n < 0 || static_cast<size_t>(n) >= pStage->m_vBackground.size()) return 0;
    cBackground& bg = pStage->m_vBackground[n];
    switch (Param(call, 1)) {
    case 0: bg.m_bShow = 1; break;
    case 1: bg.m_bShow = 0; break;
    case 2: bg.m_bShow = !bg.m_bShow; break;
    default: break;
    }
    return 0;
}

int CmdExec_PlaySound(const CMDCALL& call) {
    const int n = Param(call, 0);
    if (n == 0) return 0;
    if (call.pCmd->m_bSoundOnScreen && call.pChara && !call.pChara->IsOnScreen()) return 0;
    PlayHost().PlaySound(n + 16);
    return 0;
}

int CmdExec_PlayBgm(const CMDCALL& call) {
    if (cProgress* p = CmdProgress()) p->m_nBgmArg = Param(call, 1);
    PlayHost().RequestBgm(Param(call, 0), Param(call, 1), 4);
    return 0;
}
