// The block map: cells by column and row, the collision kind of a cell, and
// the stage, settings and scroll axes as the play rules read them.
#include <cmath>
#include <cstdlib>
#include <new>
#include <limits>

#include "play/Conditions.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {
cScroll StillScrollX, StillScrollY;
}  // namespace

cStage& PlayStage() { return *PlayCtx().lpStage; }
const cSystemData& PlaySystem() { return *PlayCtx().lpSystem; }

cScroll& PlayScrollX() {
    cPlayScene* p = GetPlayScene();
    return p ? p->m_ScrollX : StillScrollX;
}
cScroll& PlayScrollY() {
    cPlayScene* p = GetPlayScene();
    return p ? p->m_ScrollY : StillScrollY;
}

int MapRowShift() { return PlayScrollX().m_nShift; }
int MapCols() { return PlayScrollX().m_nCells; }
int MapRows() { return PlayScrollY().m_nCells; }

int MapCellIndex(int nCol, int nRow) {
    if (nCol < 0 || nRow < 0 || nCol >= MapCols() || nRow >= MapRows()) return -1;
    int64_t n = static_cast<int64_t>(nCol) + (static_cast<int64_t>(nRow) << MapRowShift());
    if (n >= static_cast<int64_t>(vecMapCell().size())) return -1;
    return static_cast<int>(n);
}

int MapCellIndexClamped(int nCol, int nRow) {
    int nCols = MapCols(), nRows = MapRows();
    if (nCols <= 0 || nRows <= 0) return -1;
    if (nCol < 0) nCol = 0;
    if (nCol >= nCols) nCol = nCols - 1;
    if (nRow < 0) nRow = 0;
    if (nRow >= nRows) nRow = nRows - 1;
    return MapCellIndex(nCol, nRow);
}

void cBlockMap::cFree::operator()(uint32_t* p) const { std::free(p); }

void cBlockMap::Reset(size_t nCells) {
    m_Blocks.clear();
    m_pIndex.reset();
    m_nSize = 0;
    if (nCells == 0) return;
    m_pIndex.reset(static_cast<uint32_t*>(std::calloc(nCells, sizeof(uint32_t))));
    if (!m_pIndex) throw std::bad_alloc();
    m_nSize = nCells;
}

const cMapCell& cBlockMap::Blank() {
    static const cMapCell blank = [] {
        cMapCell c;
        c.m_nGraphic = 0;
        c.m_nHit = 0;
        c.m_bNoReplace = 0;
        return c;
    }();
    return blank;
}

cMapCell& cBlockMap::operator[](size_t n) {
    uint32_t& nSlot = m_pIndex[n];
    if (nSlot == 0) {
        m_Blocks.push_back(Blank());
        nSlot = static_cast<uint32_t>(m_Blocks.size());
    }
    return m_Blocks[nSlot - 1];
}

cMapCell* cBlockMap::Find(size_t n) {
    if (n >= m_nSize || m_pIndex[n] == 0) return nullptr;
    return &m_Blocks[m_pIndex[n] - 1];
}

const cMapCell* cBlockMap::Find(size_t n) const {
    if (n >= m_nSize || m_pIndex[n] == 0) return nullptr;
    return &m_Blocks[m_pIndex[n] - 1];
}

cMapCell* MapCellAt(int nIndex) {
    cBlockMap& v = vecMapCell();
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= v.size()) return nullptr;
    return &v[static_cast<size_t>(nIndex)];
}

cMapCell* MapCellFind(int nIndex) {
    if (nIndex < 0) return nullptr;
    return vecMapCell().Find(static_cast<size_t>(nIndex));
}

int MapCellKind(int nIndex, int nGroup) {
    cMapCell* p = MapCellFind(nIndex);
    return p ? p->GetHit(nGroup) : 0;
}

int DotToCellClamped(double d, int nCells) {
    if (nCells <= 0) return 0;
    int n = TruncDot(d);
    if (n < 0) return 0;
    n >>= 5;
    return n >= nCells ? nCells - 1 : n;
}

int8_t cMapCell::GetHit(int nGroup) {
    if (!m_vCond.empty() && !CheckBlockCond(*this)) return 0;
    if (static_cast<int8_t>(m_nPassGroup) == nGroup) return 0;
    return static_cast<int8_t>(m_nHit);
}

int cPlayScene::GetCellIndex(int nCol, int nRow) const { return MapCellIndex(nCol, nRow); }
