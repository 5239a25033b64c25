#include "play/StageImages.h"

#include <string>

#include "foundation/Log.h"
#include "graphics/DD.h"
#include "play/EffectAnime.h"
#include "play/PlayContext.h"
#include "project/Database.h"

cChkVector<DDSURFACEDATA> vecSdCharaExc;
cChkVector<DDSURFACEDATA> vecSdSword;

namespace {

constexpr int MEMORY_VIDEO = 0, MEMORY_SYSTEM = 1;

void ReleaseAll(cChkVector<DDSURFACEDATA>& v, size_t nSize) {
    for (auto& sd : v) DDReleaseSurface(&sd);
    v.clear();
    v.resize(nSize);
}

// One surface from a file; a failure leaves it empty and writes the step log.
bool LoadOne(DDSURFACEDATA* sd, const std::string& strFile, int nMemory, int nMirrorWidth, const char* lpszFailure) {
    const int nCode = DDCreateSurfaceFromFile(sd, strFile.c_str(), 1, nScreenBpp, nMemory, DTMEMORYTYPE_VIDEO_RT,
                                              nullptr, 0, nMirrorWidth, 0, 0);
    if (nCode == 0) return true;
    WriteEC(lpszFailure, strFile.c_str());
    return false;
}

void LinkMirrors(cChkVector<DDSURFACEDATA>& v, size_t nFirst, size_t nCount) {
    for (size_t k = 1; k < nCount; k++) v[nFirst + k].lpMirrorSD = &v[nFirst];
}

}  // namespace

void LoadCharaExcImages() {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    const size_t n = pDb ? pDb->m_vBmpCharaExc.size() : 0;
    // Entry 0 is not loaded: n entries give n - 1 sets (none for an empty list).
    const size_t nSets = n > 1 ? n - 1 : 0;
    ReleaseAll(vecSdCharaExc, 4 * nSets);
    for (size_t i = 1; i <= nSets; i++) {
        const cBmpCharaExc& e = pDb->m_vBmpCharaExc[i];
        const int nCell = e.m_bLargeCells ? e.m_nCellSize * 32 : 32;
        const size_t k = 4 * (i - 1);
        const char* lpszFail = "専用bmp %s 読み込み失敗！";
        LoadOne(&vecSdCharaExc[k], e.m_strBitmap, MEMORY_VIDEO, 0, lpszFail);
        LoadOne(&vecSdCharaExc[k + 1], e.m_strBitmap, MEMORY_SYSTEM, 0, lpszFail);
        LoadOne(&vecSdCharaExc[k + 2], e.m_strBitmap, MEMORY_VIDEO, nCell, lpszFail);
        LoadOne(&vecSdCharaExc[k + 3], e.m_strBitmap, MEMORY_SYSTEM, nCell, lpszFail);
        LinkMirrors(vecSdCharaExc, k, 4);
    }
}

void LoadSwordImages() {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    const size_t n = pDb ? pDb->m_vSwordType.size() : 0;
    ReleaseAll(vecSdSword, 4 * n);
    for (size_t i = 0; i < n; i++) {
        const cSwordType& t = pDb->m_vSwordType[i];
        const char* lpszFail = "ソード %s 読み込み失敗！";
        for (size_t k = 0; k < 4; k++)
            LoadOne(&vecSdSword[4 * i + k], t.m_strBitmap[k % 2], k < 2 ? MEMORY_VIDEO : MEMORY_SYSTEM, 0, lpszFail);
        LinkMirrors(vecSdSword, 4 * i, 4);
    }
}

void LoadEffectImages() {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    const size_t n = pDb ? pDb->m_vEffect.size() : 0;
    const size_t nSets = n > 1 ? n - 1 : 0;
    ReleaseAll(vecSdEffect, 2 * nSets);
    for (size_t i = 1; i <= nSets; i++) {
        const cEffect& e = pDb->m_vEffect[i];
        const char* lpszFail = "エフェクト %s 読み込み失敗！";
        LoadOne(&vecSdEffect[2 * (i - 1)], e.m_strBitmap, MEMORY_VIDEO, 0, lpszFail);
        LoadOne(&vecSdEffect[2 * (i - 1) + 1], e.m_strBitmap, MEMORY_SYSTEM, 0, lpszFail);
        LinkMirrors(vecSdEffect, 2 * (i - 1), 2);
    }
}
