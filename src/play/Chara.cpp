#include "play/Chara.h"

#include "play/Item.h"

cChara::cChara() = default;
cChara::cChara(const cChara& src) : cCharaBase(src) {
    if (src.m_pItem) m_pItem = std::make_unique<cItem>(*src.m_pItem);
    m_bInRange = src.m_bInRange;
    m_bAnimOffScreen = src.m_bAnimOffScreen;
    m_bShowItemIcon = src.m_bShowItemIcon;
    m_nIconFrames = src.m_nIconFrames;
    m_bIgnoreX = src.m_bIgnoreX;
    m_bIgnoreY = src.m_bIgnoreY;
    m_bWoken = src.m_bWoken;
    m_nSpare1 = src.m_nSpare1;
    m_nSpare2 = src.m_nSpare2;
}
cChara::~cChara() = default;
void cChara::OnScale(int nScale) { (void)nScale; }
void cChara::UpdateHitBoxX() {}
void cChara::UpdateHitBoxY() {}
cItem* cChara::GetDropItem() { return m_pItem.get(); }
int cChara::ClampX() { return 0; }
int cChara::ClampY() { return 0; }
int cChara::MoveX() { return 0; }
int cChara::MoveY() { return 0; }
int cChara::RunFlows(int bDeathOnly) { (void)bDeathOnly; return 0; }
void cChara::DoJump(cCmdRun* pJumpRun) { (void)pJumpRun; }
