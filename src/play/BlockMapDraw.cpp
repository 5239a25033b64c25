// Drawing of the block map: each visible cell of one drawing layer with its
// chip and its overlay mark.
#include "graphics/DDBlt.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "play/CharaBase.h"
#include "play/Conditions.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"

namespace {
constexpr int MARK_SLOT = 43;     // bmp\Mark.bmp
constexpr int CHIPS_PER_COLUMN = 15;
constexpr int VIEW_COLS = 21, VIEW_ROWS = 16;
}  // namespace

void cMapCell::Draw(DDSURFACEDATA* lpDst, int x, int y) const {
    if (!lpDst || m_nGraphic == 0) return;
    if (m_nGraphicSheet == 0) {
        // Block chips lie in columns of 15 on the block sheet.
        const int n = m_nGraphic;
        if (n > 0)
            DDBlt(lpDst, x, y, 32, 32, &Off_Img[IMAGE_SLOT_BLOCK], (n / CHIPS_PER_COLUMN) * 32,
                  (n % CHIPS_PER_COLUMN) * 32, DDBLT_KEY);
    } else if (m_nGraphicSheet <= 3) {
        DRAWSOURCE src;
        cCharaBase::SetDrawSource(&src, 0, m_nGraphicSheet, m_nGraphic, m_nGraphicRow, nullptr, 0);
        if (src.bValid && !src.bDedicated && src.nChosen >= 0 && src.nChosen < IMAGE_SLOT_COUNT)
            DDBlt(lpDst, x, y, 32, 32, &Off_Img[src.nChosen], src.nSrcX, src.nSrcY, DDBLT_KEY);
    }
    if (m_nMarkDisp == 1 && m_nMark >= 0) {
        const int n = m_nMark;
        DDBlt(lpDst, x, y, 32, 32, &Off_Img[MARK_SLOT], (n % CHIPS_PER_COLUMN) * 32, (n / CHIPS_PER_COLUMN) * 32,
              DDBLT_KEY);
    }
}

void cPlayScene::DrawMap(DDSURFACEDATA* lpDst, int nLayer) {
    const int cx = TruncDot(m_ScrollX.m_dCam), cy = TruncDot(m_ScrollY.m_dCam);
    const int nCol0 = cx >> 5, nRow0 = cy >> 5;
    for (int r = 0; r < VIEW_ROWS; r++) {
        for (int c = 0; c < VIEW_COLS; c++) {
            cMapCell* p = MapCellFind(MapCellIndex(nCol0 + c, nRow0 + r));
            if (!p || p->m_nGraphic == 0 || p->m_nLayer != nLayer || p->m_bNoDraw) continue;
            if (!CheckBlockCond(*p)) continue;
            p->Draw(lpDst, 32 * c - (cx & 31), 32 * r - (cy & 31));
        }
    }
}
