#include "play/Message.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/Text.h"
#include "graphics/DD.h"
#include "graphics/ImageSurfaces.h"
#include "play/CharaBase.h"
#include "play/DisplayView.h"
#include "play/PlayScene.h"
#include "project/GameFonts.h"
#include "project/NumberText.h"
#include "project/Progress.h"

namespace {

constexpr int PLAY_FONT = 1;
constexpr int SLOT_ACCESSORY = 49;
constexpr int64_t ESCAPE_NUMBER_MAX = 1000000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void ExpandMessageText(std::string& text, const int32_t* lpCommon, int nCommon, const int32_t* lpStage,
                       int nStage) {
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsSJISLead(c) && i + 1 < text.size() && IsSJISTrail(static_cast<unsigned char>(text[i + 1]))) {
            i += 2;
            continue;
        }
        if (c != '#') {
            i++;
            continue;
        }
        size_t j = i + 1;
        int nKind = 0;   // 1 common, 2 stage
        int64_t nNumber = 0;
        bool bDigits = false, bOptions = false, bPlus = false, bZeros = false;
        int nMinDigits = 0;
        for (; j < text.size(); j++) {
            const char e = text[j];
            if (!bOptions) {
                if (IsDigit(e)) {
                    nNumber = std::min<int64_t>(nNumber * 10 + (e - '0'), ESCAPE_NUMBER_MAX);
                    bDigits = true;
                } else if (e == 'C' || e == 'c') {
                    nKind = 1;
                } else if (e == 'S' || e == 's') {
                    nKind = 2;
                } else if (e == '_') {
                    bOptions = true;
                } else {
                    break;
                }
            } else {
                if (IsDigit(e)) nMinDigits = e - '0';
                else if (e == 'P' || e == 'p') bPlus = true;
                else if (e == 'Z' || e == 'z') bZeros = true;
                else break;
            }
        }
        size_t nEnd = j;
        if (nEnd < text.size() && text[nEnd] == '.') nEnd++;
        const int32_t* lpVars = nKind == 1 ? lpCommon : nKind == 2 ? lpStage : nullptr;
        const int nCount = nKind == 1 ? nCommon : nKind == 2 ? nStage : 0;
        // Only a number that names an existing variable is replaced.
        if (!lpVars || !bDigits || nNumber < 1 || nNumber > 1000 || nNumber >= nCount) {
            i++;
            continue;
        }
        const std::string strValue = FormatNumber(lpVars[nNumber], nMinDigits, bZeros, bPlus);
        text.replace(i, nEnd - i, strValue);
        i += strValue.size();
    }
}

void ExpandMessageText(std::string& text) {
    const int32_t* lpCommon = nullptr;
    int nCommon = 0;
    if (const cProgress* p = PlayCtx().lpProgress) {
        lpCommon = p->m_vCommonVar.data();
        nCommon = static_cast<int>(p->m_vCommonVar.size());
    }
    const int32_t* lpStage = nullptr;
    int nStage = 0;
    if (const cPlayScene* s = GetPlayScene()) {
        lpStage = s->m_vecStageVar.data();
        nStage = static_cast<int>(s->m_vecStageVar.size());
    }
    ExpandMessageText(text, lpCommon, nCommon, lpStage, nStage);
}

void GetMessageTextSize(int* pWidth, int* pHeight, const char* lpszText) {
    TEXTSIZE size;
    cFont& font = aFont[PLAY_FONT];
    if (font.m_nCellWidth) font.GetTextSize(&size, lpszText);
    else font.MeasureText(&size, lpszText);
    *pWidth = size.cx + 2;
    *pHeight = size.cy + 2;
}

cMessage::cMessage() = default;
cMessage::cMessage(const MESSAGESETUP& s) { Set(s); }
cMessage::~cMessage() {
    if (m_lpSurface) DDReleaseSurface(m_lpSurface.get());
}

void cMessage::Set(const MESSAGESETUP& s) {
    m_nMode = s.nMode;
    if (s.lpszText) {
        m_strText = s.lpszText;
        m_strSource = s.lpszText;
    }
    m_nIconKind = s.nIconKind;
    m_nIconCell = s.nIconCell;
    m_nIconExtra = s.nIconExtra;
    m_nPosMode = s.nPosMode;
    m_nCellX = s.nCellX;
    m_nCellY = s.nCellY;
    m_nOffX = s.nOffX;
    m_nOffY = s.nOffY;
    m_bKeepOnScreen = s.bKeepOnScreen;
    m_bFixed = s.bFixed;
    m_nDurMode = s.nDurMode;
    m_nLeft = s.nFrames;
    m_bCountWhileFrozen = s.bCountWhileFrozen;
    m_nAnchorId = s.nAnchorId;
    m_bExpand = s.bExpand;
    m_bLive = s.bLive;
    m_nInterval = s.nInterval;
    m_bWindow = s.bWindow;
    m_bHasId = s.bHasId;
    m_nMessageId = s.nMessageId;
    m_bRemembered = 0;
    m_dZoom = 0;
    if (m_bExpand) ExpandMessageText(m_strText);
    if (m_nMode == MESMODE_TEXT) {
        GetMessageTextSize(&m_nWidth, &m_nHeight, m_strText.c_str());
    } else if (m_nMode == MESMODE_ICON || m_nMode == MESMODE_1UP) {
        m_nWidth = 16;
        m_nHeight = 16;
    } else {
        m_nWidth = 0;   // the empty message of a game wait draws nothing
        m_nHeight = 0;
    }
    m_bZoomIn = (m_nDurMode == MESDUR_KEY && !s.bNoZoom) ? 1 : 0;
    if (m_nMode == MESMODE_TEXT) {
        if (!s.bNoSurface || !m_lpSurface) CreateSurface();
        RenderText();
    }
}

void cMessage::CreateSurface() {
    if (!m_lpSurface) m_lpSurface = std::make_unique<DDSURFACEDATA>();
    else DDReleaseSurface(m_lpSurface.get());
    if (!DDCreateSurface(m_lpSurface.get(), std::max(1, m_nWidth), std::max(1, m_nHeight), 1, 1, 1, nullptr, 0))
        PlayHost().RequestErrorClose();
}

void cMessage::RenderText() {
    if (!m_lpSurface) return;
    if (lpDTCon || nScreenBpp != 8) DDClear(m_lpSurface.get(), 0);
    cFont& font = aFont[PLAY_FONT];
    if (m_bWindow) font.DrawTextBox(m_lpSurface.get(), 1, 1, m_strText.c_str());
    else font.DrawText(m_lpSurface.get(), 1, 1, m_strText.c_str());
    m_lpSurface->bLost = 0;
}

bool cMessage::CalcPos(int* pX, int* pY) const {
    const PLAYVIEW v = GetPlayView();
    switch (m_nPosMode) {
    case 1: case 2: case 3: case 4: case 5: case 6: {
        const cCharaBase* pChara = FindChara(m_nAnchorId);
        if (!pChara) return false;
        double cx, cy;
        GetScreenCentre(pChara, &cx, &cy);
        *pX = static_cast<int>(cx) - m_nWidth / 2 + m_nOffX;
        const int nSide = (m_nPosMode - 1) % 3;
        if (nSide == 0) *pY = pChara->m_rcScreen.top - m_nHeight + m_nOffY;
        else if (nSide == 1) *pY = pChara->m_rcScreen.bottom + 1 + m_nOffY;
        else *pY = static_cast<int>(cy) - m_nHeight / 2 + m_nOffY;
        return true;
    }
    case 7:
        *pX = m_nCellX * 32 + m_nOffX;
        *pY = m_nCellY * 32 + m_nOffY;
        return true;
    case 8:
        *pX = static_cast<int>((m_nCellX + v.nCellOriginX) * 32 + m_nOffX - v.dCamX);
        *pY = static_cast<int>((m_nCellY + v.nCellOriginY) * 32 + m_nOffY - v.dCamY);
        return true;
    default:
        *pX = m_nOffX - m_nWidth / 2 + 320;
        *pY = m_nOffY - m_nHeight / 2 + 240;
        return true;
    }
}

int cMessage::Update(DDSURFACEDATA* lpDst, int bFreeze) {
    if (m_nDurMode == MESDUR_TIME && (!bFreeze || m_bCountWhileFrozen)) {
        if (--m_nLeft < 0) {
            if (m_lpSurface) DDReleaseSurface(m_lpSurface.get());
            return 1;
        }
    }
    const PLAYVIEW v = GetPlayView();
    if (m_bLive && m_nMode == MESMODE_TEXT && m_bExpand) {
        const int nInterval = std::max(1, m_nInterval);
        if (v.nFrame % nInterval == 0) {
            std::string strNew = m_strSource;
            ExpandMessageText(strNew);
            if (strNew != m_strText) {
                m_strText = strNew;
                const int w = m_nWidth, h = m_nHeight;
                GetMessageTextSize(&m_nWidth, &m_nHeight, m_strText.c_str());
                if (w != m_nWidth || h != m_nHeight || !m_lpSurface) CreateSurface();
                RenderText();
            }
        }
    }
    int x = m_nX, y = m_nY;
    if (!CalcPos(&x, &y)) {
        if (m_nMode == MESMODE_TEXT) return 1;
        x = m_nX;
        y = m_nY;
    }
    const bool bAnchoredMode = (m_nPosMode >= 1 && m_nPosMode <= 6) || m_nPosMode == 8;
    const bool bOnScreenMode = m_nPosMode == 0 || m_nPosMode == 7;
    const int nHold = bAnchoredMode && m_bFixed ? HOLD_SCREEN : bOnScreenMode && !m_bFixed ? HOLD_STAGE : HOLD_NONE;
    HoldPlacement(nHold, v, &m_bRemembered, &m_nRememberX, &m_nRememberY, &x, &y);
    if (m_bKeepOnScreen) {
        if (x < 0) x = 0;
        if (x + m_nWidth > 638) x = 640 - m_nWidth;
        if (y <= 19) y = 20;
        if (y + m_nHeight > 478) y = 480 - m_nHeight;
    }
    m_nX = x;
    m_nY = y;
    if (m_nMode == MESMODE_TEXT) {
        if (m_lpSurface && m_lpSurface->bLost) RenderText();
        if (m_strText.empty()) return 0;
        if (m_bZoomIn) {
            m_dZoom += 1;
            if (m_dZoom < 10) {
                if (m_bWindow) {
                    const double z = m_dZoom * 0.1;
                    const int w = static_cast<int>(m_nWidth * z), h = static_cast<int>(m_nHeight * z);
                    aFont[PLAY_FONT].DrawWindow(lpDst, x + (m_nWidth - w) / 2, y + (m_nHeight - h) / 2, w, h);
                }
                return 0;
            }
        }
        if (m_lpSurface) DDBlt(lpDst, x, y, m_nWidth, m_nHeight, m_lpSurface.get(), 0, 0, DDBLT_KEY);
    } else if (m_nMode == MESMODE_ICON || m_nMode == MESMODE_1UP) {
        const int nRaise = (30 - m_nLeft) / 4;
        if (m_nMode == MESMODE_ICON) {
            // The icon of the item's own graphic kind; the item's graphic row
            // is the frame along a character strip.
            cCharaBase::DrawIcon16(lpDst, x, y - nRaise, m_nIconKind, m_nIconCell, m_nIconExtra);
        } else {
            DDBlt(lpDst, x, y - nRaise, 16, 16, &Off_Img[SLOT_ACCESSORY], 0, 48, DDBLT_KEY);
        }
    }
    return 0;
}
