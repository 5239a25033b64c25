#pragma once
// An item of a stage: placed, summoned, given by a block or dropped by a
// defeated character; taken by the hero, whose command list then runs.
#include <cstdint>
#include <memory>

#include "play/Obj.h"
#include "stage/ItemData.h"

class cHero;
class cEdCmd;
struct DDSURFACEDATA;

constexpr int ITEMSHEET_PER_COLUMN = 15;   // items per column pair of the item sheet

class cItem : public cObj {
public:
    cItem();
    cItem(const cItem& src);
    ~cItem() override;

    void CopyFrom(const cObj& src) override;
    void AdjustScalePos(int nNew, int nOld, int bFlag) override;

    // A size factor of 0 in the given definition is set to 1 there.
    void Setup(int nId, cItemData& def, int bCarried);
    // Puts the item on a map cell (columns and rows counted from the stage's
    // first cell).
    void PlaceAtCell(int nCol, int nRow, int bFlag);
    void Draw(DDSURFACEDATA* pSurface, int bPaused);

    cItemData m_Item;
    int32_t m_bCarried = 0;
};

// The source cell of graphic n, frame f on the item sheet (32 x 32); false
// for a negative graphic number.
bool GetItemSheetCell(int n, int nFrame, int* pX, int* pY);
// The source cell of block chip c on the block sheet (32 x 32); false for a
// negative chip.
bool GetBlockSheetCell(int c, int* pX, int* pY);

// A copy of an item (the carried item of a character).
std::unique_ptr<cItem> CloneItem(const cItem& src);

// The flow-change command (item kind 1): p0 0 add the command's flows to the
// hero, 1 replace the flows of id p1 (0: all), 2 remove them. Run while the
// hero's own flows are being stepped (and not direct), it is queued on the
// hero instead. The removal count for mode 2, else 0.
int CmdExec_FlowChange(cHero* pHero, cEdCmd* pCmd, int bDirect);
