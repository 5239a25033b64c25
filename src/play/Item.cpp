#include "play/Item.h"

#include "flow/CmdDispatch.h"
#include "play/CharaBase.h"
#include "play/CharaEvents.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "stage/Stage.h"

namespace {
// Frame 0 for 15 ticks, frame 1 for 15 ticks, repeated.
const int anItemRow[] = {0, 15, 0, 1, 15, 0, ANIMCODE_RESTART, 0, 0};
const int* const apItemPatterns[] = {anItemRow, nullptr};
}   // namespace

cItem::cItem() = default;

cItem::cItem(const cItem& src) : cObj(src), m_Item(src.m_Item), m_bCarried(src.m_bCarried) {}

cItem::~cItem() = default;

void cItem::CopyFrom(const cObj& src) {
    if (&src == this) return;
    cObj::CopyFrom(src);
    if (const cItem* p = dynamic_cast<const cItem*>(&src)) {
        m_Item = p->m_Item;
        m_bCarried = p->m_bCarried;
    }
}

void cItem::Setup(int nId, cItemData& def, int bCarried) {
    if (def.m_nSize == 0) def.m_nSize = 1;
    m_Item = def;
    const cStage* pStage = PlayCtx().lpStage;
    int w = pStage ? pStage->m_nItemSizeW : 28;
    int h = pStage ? pStage->m_nItemSizeH : 28;
    Init(nId, 0, 0, 0, m_Item.m_nGraphic, apItemPatterns, 0, 16 - w / 2, 16 - h / 2, w, h, 32, 32, 0, 1, 0);
    m_bScrollSync = 0;
    m_bCarried = bCarried;
    if (bCarried)
        m_bActive = 1;
    else
        SetScale(m_Item.m_nSize, 1, 1);
    ExpandLoops(m_Item.m_vCmd);
}

// Items are kept inside the map, as characters are: an item placed beyond
// the scroll limits stays where the author put it.
constexpr int ITEM_CLAMP_MODE = 2;

void cItem::PlaceAtCell(int nCol, int nRow, int bFlag) {
    int nColOrigin = 10, nRowOrigin = 10;
    if (cPlayScene* pScene = GetPlayScene()) {
        nColOrigin = pScene->m_ScrollX.m_nCellOrigin;
        nRowOrigin = pScene->m_ScrollY.m_nCellOrigin;
    }
    m_dX = (static_cast<double>(nCol) + nColOrigin) * 32.0 + m_nBoxX + 0.5;
    m_dY = (static_cast<double>(nRow) + nRowOrigin) * 32.0 + m_nBoxY;
    AdjustScalePos(m_Item.m_nSize, 1, bFlag);
    ClampPosX(ITEM_CLAMP_MODE);
    ClampPosY(ITEM_CLAMP_MODE);
}

void cItem::AdjustScalePos(int nNew, int nOld, int bFlag) {
    (void)bFlag;
    if (nNew == nOld) return;
    m_dY -= static_cast<double>(nNew - nOld) * (m_nBaseHeight + m_nBaseBoxY);
    ClampPosY(ITEM_CLAMP_MODE);
}

bool GetItemSheetCell(int n, int nFrame, int* pX, int* pY) {
    if (n < 0 || nFrame < 0 || nFrame > 1) return false;
    *pX = (n / ITEMSHEET_PER_COLUMN) * 64 + nFrame * 32;
    *pY = (n % ITEMSHEET_PER_COLUMN) * 32;
    return true;
}

bool GetBlockSheetCell(int c, int* pX, int* pY) {
    if (c < 0) return false;
    *pX = (c / ITEMSHEET_PER_COLUMN) * 32;
    *pY = (c % ITEMSHEET_PER_COLUMN) * 32;
    return true;
}

std::unique_ptr<cItem> CloneItem(const cItem& src) { return std::make_unique<cItem>(src); }

int CmdExec_FlowChange(cHero* pHero, cEdCmd* pCmd, int bDirect) {
    if (!pHero || !pCmd) return 0;
    cPlayScene* pScene = GetPlayScene();
    // While the hero's own flows are being stepped the change waits until
    // they are done for this frame.
    if (!bDirect && pScene && !vecPlayer().empty() && pScene->m_lpCurChara == vecPlayer()[0].get()) {
        pHero->m_vecPendingCmd.push_back(*pCmd);
        return 0;
    }
    int nId = static_cast<uint8_t>(pCmd->Param(1));
    switch (pCmd->Param(0)) {
    case 0:
        pHero->InsertFlows(&pCmd->m_vFlow, 1, -1);
        return 0;
    case 1: {
        int nPos = pHero->RemoveFlowsById(nId);
        pHero->InsertFlows(&pCmd->m_vFlow, 1, nPos);
        return 0;
    }
    case 2:
        return pHero->RemoveFlowsById(nId);
    default:
        return 0;
    }
}

int ItemCmdExec_FlowChange(const CMDCALL& call) {
    // The item list goes on whatever the change reports.
    CmdExec_FlowChange(dynamic_cast<cHero*>(call.pChara), call.pCmd, 0);
    return 0;
}
