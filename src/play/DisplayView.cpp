#include "play/DisplayView.h"

#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayScene.h"

PLAYVIEW GetPlayView() {
    PLAYVIEW v;
    const cPlayScene* pScene = GetPlayScene();
    if (!pScene) return v;
    v.dCamX = pScene->m_ScrollX.m_dCam;
    v.dCamY = pScene->m_ScrollY.m_dCam;
    v.nCellOriginX = pScene->m_ScrollX.m_nCellOrigin;
    v.nCellOriginY = pScene->m_ScrollY.m_nCellOrigin;
    v.nFrame = pScene->m_nStageFrame;
    return v;
}

void GetScreenCentre(const cCharaBase* pChara, double* pX, double* pY) {
    *pX = pChara->m_rcScreen.left + (pChara->m_rcScreen.right - pChara->m_rcScreen.left + 1) / 2;
    *pY = pChara->m_rcScreen.top + (pChara->m_rcScreen.bottom - pChara->m_rcScreen.top + 1) / 2;
}

void HoldPlacement(int nHold, const PLAYVIEW& v, int32_t* pbRemembered, int32_t* pnX, int32_t* pnY, int* px, int* py) {
    if (nHold != HOLD_SCREEN && nHold != HOLD_STAGE) return;
    const int nCamX = nHold == HOLD_STAGE ? static_cast<int>(v.dCamX) : 0;
    const int nCamY = nHold == HOLD_STAGE ? static_cast<int>(v.dCamY) : 0;
    if (!*pbRemembered) {
        *pbRemembered = 1;
        *pnX = nCamX + *px;
        *pnY = nCamY + *py;
    }
    *px = *pnX - nCamX;
    *py = *pnY - nCamY;
}
