#include "play/CharaBase.h"

cCharaBase::cCharaBase() {
    m_vecTarget.resize(4);
    m_vecVar.assign(9, 0);
}

cCharaBase::cCharaBase(const cCharaBase& src) : cObj(src) { CopyCharaFrom(src); }

cCharaBase::~cCharaBase() = default;

void cCharaBase::CopyCharaFrom(const cCharaBase& other) { (void)other; }
void cCharaBase::AdjustScalePos(int nNew, int nOld, int bFlag) { (void)nNew; (void)nOld; (void)bFlag; }
void cCharaBase::SetCenter(int x, int y) {
    SetCenterX(x);
    SetCenterY(y);
}
void cCharaBase::ArriveAt(int x, int y, MOVERUN* pMoveRun) { ArriveAtX(x, pMoveRun); ArriveAtY(y, pMoveRun); }
void cCharaBase::SetCenterX(int x) { (void)x; }
void cCharaBase::ArriveAtX(int x, MOVERUN* pMoveRun) { (void)x; (void)pMoveRun; }
void cCharaBase::SetCenterY(int y) { (void)y; }
void cCharaBase::ArriveAtY(int y, MOVERUN* pMoveRun) { (void)y; (void)pMoveRun; }
