#pragma once
// Shared steps of the flow-operation, target, vanish and presentation
// commands.
#include <cstdint>

class cCharaBase;
class cObj;
class cPlayScene;

// Puts obj into target slot nSlot (0..3) of a character, moving the
// back-reference {chara, slot}; a null obj empties the slot only with
// bClearWhenNone.
void SetCharaTarget(cCharaBase* pChara, int nSlot, cObj* pObj, int bClearWhenNone);

// Stage coordinates of the top left of a w x h picture placed by type
// (0 screen centre, 1 the character's centre, 2 the hero's, 3 screen cells,
// 4 stage cells).
void CalcEffectPos(int* pX, int* pY, int w, int h, const cCharaBase* pChara, int nType, int nCellX, int nCellY,
                   int nOffX, int nOffY);

// A character vanishes: a placed one is flagged, the hero's HP becomes 0;
// for anyone but the runner the deaths are checked.
void VanishChara(cCharaBase* pChara, const cCharaBase* pRunner);
// The characters a character summoned, and theirs (at most 1000 deep), with
// their shots when bShots.
void RemoveDescendants(cCharaBase* pChara, int nDepth, int bShots, const cCharaBase* pRunner);
void RemoveChildShots(cCharaBase* pChara);

constexpr int DESCENDANT_DEPTH_MAX = 1000;
constexpr int GETITEM_DEPTH_MAX = 16;   // get-item commands inside items' lists
