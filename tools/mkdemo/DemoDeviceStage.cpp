// The valley of devices (k01): a stage of the settings the other demo
// stages leave alone. The view scrolls right by itself (one dot a frame)
// until the stage's end holds it; the hero sees only a circle around it; the
// stage runs four logic steps a frame; hits and searches reach past the
// screen. Its cast: bats that home in (one moving with the scroll), charge
// and flee, a bird that circles, a turret whose shots weave, a giant and a
// solid giant that warp and change size, two slimes that carry a fruit (one
// of them unseen), a pair of lanterns that wake together, and a slime far
// ahead. Bricks and stars over the path come and go with what the hero is
// and does. The golden replay of the tests plays it (tests/play/golden).
#include "DemoCmd.h"
#include "DemoPalette.h"
#include "DemoProject.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"

using namespace demo;

namespace {

// Map rows of the blocks; every character and item is placed by hand below.
const char* const aszMap[] = {
    "........................................",
    "........................................",
    "........................................",
    "........................................",
    "........................................",
    "........................................",
    "........................................",
    "........................................",
    "......BBBBB.............................",
    "........................................",
    "................S.......................",
    "........................................",
    "........................................",
    "========================================",
    "########################################",
};

cCharaData Placed(cCharaData c, int x, int y) {
    c.m_nX = static_cast<int16_t>(x);
    c.m_nY = static_cast<int16_t>(y);
    return c;
}
cItemData Placed(cItemData it, int x, int y) {
    it.m_nX = static_cast<int16_t>(x);
    it.m_nY = static_cast<int16_t>(y);
    return it;
}

// A harmless flier of the bat's picture that shots pass through.
cCharaData Flier(const char* pszName, bool bScrollSync) {
    cCharaData c = Chara(pszName, 3, 1, 1, 3);
    c.m_nFlight = 1;
    c.m_nInvincible = 2;
    c.m_nPower = 0;
    c.m_nImpact = 0;
    c.m_nScore = 0;
    c.m_bScrollSync = bScrollSync ? 1 : 0;
    return c;
}

// A move toward target 1 (the hero) for nTime tenths of a second.
cEdCmd TowardHero(int nKind, int nSpeed, int nTime, int nWeak) {
    cEdCmd m = Move(nKind, DIR_FRONT, nSpeed, nTime);
    m.m_pMove->m_nTarget = 0;
    m.m_pMove->m_nHoming = static_cast<int16_t>(nWeak);
    return m;
}

// A warp onto stage cell (x, y).
cEdCmd WarpTo(int x, int y) {
    cEdCmd w = Move(CMD_WARP, DIR_FRONT, 0, 0);
    w.m_pMove->m_nMode = 5;
    w.m_pMove->m_nCoord = 1;
    w.m_pMove->m_nTargetXBl = static_cast<int16_t>(x);
    w.m_pMove->m_nTargetYBl = static_cast<int16_t>(y);
    return w;
}
cEdCmd Giant(int n) { return Cmd(CMD_STATUS2, {0, 5, n, 0, 0}); }

// A giant that warps to another cell and back, growing and shrinking.
cCharaData MakeGiant(const char* pszName, int nGraphic, bool bSolid, int x0, int x1, int y) {
    cCharaData c = Chara(pszName, nGraphic, 1, 1, 30);
    c.m_nGiant = 2;
    c.m_nInvincible = 2;
    c.m_nPower = 0;
    c.m_nImpact = 0;
    c.m_bNoHitBox = bSolid ? 1 : 0;
    c.m_nActRange = 3;
    c.m_vFlow.push_back(Flow(0, {Cmd(CMD_WAIT, {}, 12), WarpTo(x1, y), Cmd(CMD_WAIT, {}, 12), Giant(3),
                                 Cmd(CMD_WAIT, {}, 12), WarpTo(x0, y), Giant(2)}));
    return c;
}

// A slime that carries an item and stands still.
cCharaData MakeCarrier(int nItem) {
    cCharaData c = Chara("実を持つスライム", 2, 1, 1, 1);
    c.m_nPower = 0;
    c.m_nImpact = 0;
    c.m_nDropItem = nItem;
    return c;
}

// A lantern of a linked pair: it wakes when either is on the screen.
cCharaData MakeLantern(bool bCounts) {
    cCharaData c = Chara("ちょうちん", 9, 1, 3, 1);
    c.m_nFlight = 1;
    c.m_nInvincible = 2;
    c.m_nPower = 0;
    c.m_nImpact = 0;
    c.m_bLinked = 1;
    c.m_nLinkFlag = 3;
    if (bCounts) c.m_vFlow.push_back(Flow(0, {VarOp(1, 9, 1, 1), Cmd(CMD_WAIT, {}, 1)}));   // S9 counts its acting
    return c;
}

cCond StatusCond(int nKind, int nStatus, int nVarNum, int nCompare, int nValue) {
    cCond c;
    c.m_nKind = static_cast<int8_t>(nKind);
    c.m_nSubject = 0;
    c.m_nStatus = static_cast<int8_t>(nStatus);
    c.m_nVarNum = static_cast<int16_t>(nVarNum);
    c.m_nCompare = static_cast<int8_t>(nCompare);
    c.m_nValue = nValue;
    return c;
}

// The conditions of the bricks and the stars, one of each kind that takes
// the hero as its reference: its variable 1 is 1; its variable 2 (as a
// status) is at least 1; it flies; it faces left; it is within 3 hbl of
// itself.
cCond HeroCond(int nKind) {
    switch (nKind) {
    case 3: return VarCond(3, 1, 0, 1);
    case 4: return StatusCond(4, 0, 2, 2, 1);
    case 5: return StatusCond(5, 3, 1, 0, 0);
    case 6: return StatusCond(6, 0, 0, 0, 0);
    default: return NearHero(3);
    }
}

}  // namespace

void MakeDemoDeviceStage(const cCommonPalette& cp, cStage& st) {
    st.SetDefault();
    st.m_strText = "からくりの谷";
    st.m_nWidth = 40;
    st.m_nHeight = 15;
    st.m_nBgm = 4;
    st.m_nJudgeLevel = 4;   // four logic steps a frame
    st.m_nScrollModeX = 1;
    st.m_nScrollSpeedX = 10;
    st.m_bOnScreenOnly = 0;
    // The hero's shots fly on twelve cells past the right of the screen.
    st.m_aEraseArea[3].Set(1, 1, 1, 1, 0, 12, 0, 0);
    st.m_vBlockPalette = cp.m_vBlockPalette;
    st.m_vCharaPalette = cp.m_vCharaPalette;
    st.m_vItemPalette = cp.m_vItemPalette;
    if (st.m_vStageVarName.size() < 11) st.m_vStageVarName.resize(11);
    st.m_vStageVarName[7].m_strName = "金の実";
    st.m_vStageVarName[8].m_strName = "見えない実";
    st.m_vStageVarName[9].m_strName = "ちょうちん";
    st.m_vStageVarName[10].m_strName = "遠くのスライム";
    // The backdrop behind the pictures, a colour apart from the sight
    // mask's.
    st.m_vBackground[0].m_nFillColour = 100;
    cBackground far;
    far.m_strFile = "bmp\\back\\Sky.bmp";
    far.m_dRateX = 0.1;
    st.m_vBackground.push_back(far);
    cBackground near;
    near.m_strFile = "bmp\\back\\Hills.bmp";
    near.m_dRateX = 0.3;
    st.m_vBackground.push_back(near);

    for (int y = 0; y < 15; y++)
        for (int x = 0; x < 40; x++) {
            int nBlock = 0;
            switch (aszMap[y][x]) {
            case '=': nBlock = BLK_GROUND; break;
            case '#': nBlock = BLK_EARTH; break;
            case 'B': nBlock = BLK_BRICK; break;
            case 'S': nBlock = BLK_STONE; break;
            default: break;
            }
            if (!nBlock) continue;
            cBlockData b = cp.m_vBlockPalette[nBlock];
            b.m_nX = static_cast<int16_t>(x);
            b.m_nY = static_cast<int16_t>(y);
            // The bricks over the path, columns 6 to 10: conditions of kinds 3 to 7.
            if (aszMap[y][x] == 'B') b.m_vCond.push_back(HeroCond(x - 3));
            st.m_vBlockPlace.push_back(b);
        }

    // Items 0 and 1 are carried by the slimes; the stars above the bricks
    // never go to the hero and show while their condition holds.
    cItemData fruit = Item("金の実", 2, 2, {ItemCode("S7 = S7 + 1")});
    cItemData hidden = Item("見えない実", 3, 2, {ItemCode("S8 = S8 + 1")});
    hidden.m_bNoDraw = 1;
    st.m_vItemPlace.push_back(Placed(fruit, 0, 0));
    st.m_vItemPlace.push_back(Placed(hidden, 1, 0));
    st.m_vItemPlace.push_back(Placed(Item("かぎ1", 4, 2, {ItemCode("my.v1 = 1")}), 4, 12));
    st.m_vItemPlace.push_back(Placed(Item("かぎ2", 4, 2, {ItemCode("my.v2 = 1")}), 7, 12));
    for (int k = 3; k <= 7; k++) {
        cItemData star = Item("星", 2, 0, {});
        star.m_nTakeRule = 2;
        star.m_vCond.push_back(HeroCond(k));
        st.m_vItemPlace.push_back(Placed(star, k + 3, 6));
    }

    cCharaData hero = cp.m_vCharaPalette[CHR_HERO];
    hero.m_nDir = 1;
    hero.m_nSightShape = 1;
    hero.m_nSight = 7;
    // Its shots fly straight here, to reach what lies far ahead.
    for (cFlow& f : hero.m_vFlow)
        for (cEdCmd& c : f.m_vCmd)
            if (c.m_nKind == CMD_SHOT && c.m_pShot) c.m_pShot->m_nSpread = 0;
    st.m_vCharaPlace.push_back(Placed(hero, 2, 12));
    // The lantern far ahead comes first in the list: its partner on the
    // screen, later in the list, wakes it.
    st.m_vCharaPlace.push_back(Placed(MakeLantern(true), 37, 4));
    cCharaData homing = Flier("追うコウモリ", true);
    homing.m_vFlow.push_back(Flow(0, {TowardHero(CMD_MOVE_HOMING, 12, 10, 0)}));
    st.m_vCharaPlace.push_back(Placed(homing, 14, 5));
    cCharaData late = Flier("遅れるコウモリ", false);
    late.m_vFlow.push_back(Flow(0, {TowardHero(CMD_MOVE_HOMING, 10, 10, 3)}));
    st.m_vCharaPlace.push_back(Placed(late, 19, 3));
    cCharaData charge = Flier("突っこむコウモリ", false);
    charge.m_vFlow.push_back(Flow(0, {TowardHero(CMD_MOVE_CHARGE, 25, 6, 0), Cmd(CMD_WAIT, {}, 6)}));
    st.m_vCharaPlace.push_back(Placed(charge, 18, 7));
    cCharaData flee = Flier("逃げるコウモリ", true);
    flee.m_vFlow.push_back(Flow(0, {TowardHero(CMD_MOVE_HOMING, -8, 10, 0)}));
    st.m_vCharaPlace.push_back(Placed(flee, 9, 4));
    cCharaData bird = Flier("回る鳥", false);
    bird.m_nGraphic = 7;
    cEdCmd circle = Move(CMD_MOVE_CIRCLE, 0, 0, 20);
    circle.m_pMove->m_nAngle = 0;
    circle.m_pMove->m_nDist = 360;
    circle.m_pMove->m_nHoming = 3;
    bird.m_vFlow.push_back(Flow(0, {circle}));
    st.m_vCharaPlace.push_back(Placed(bird, 12, 3));
    cCharaData turret = Chara("波の砲台", 5, 1, 1, 20);
    turret.m_nInvincible = 2;
    turret.m_nPower = 0;
    turret.m_nImpact = 0;
    cEdCmd wave = Shot(0, 8, 6, 1, 20, 0);
    wave.m_pShot->m_nImpact = 0;
    wave.m_pShot->m_nSpread = 0;   // straight ahead, to the left
    wave.m_pShot->m_anOrbitParam[0] = 2;   // amplitude 2 hbl
    wave.m_pShot->m_anOrbitParam[1] = 8;   // wave speed
    turret.m_vFlow.push_back(Flow(0, {wave, Cmd(CMD_WAIT, {}, 15)}));
    st.m_vCharaPlace.push_back(Placed(turret, 16, 9));
    st.m_vCharaPlace.push_back(Placed(MakeGiant("巨人", 4, false, 21, 24, 12), 21, 12));
    st.m_vCharaPlace.push_back(Placed(MakeGiant("石の巨人", 10, true, 34, 37, 12), 34, 12));
    st.m_vCharaPlace.push_back(Placed(MakeCarrier(0), 11, 12));
    st.m_vCharaPlace.push_back(Placed(MakeCarrier(1), 13, 12));
    st.m_vCharaPlace.push_back(Placed(MakeLantern(false), 4, 3));
    cCharaData distant = Chara("遠くのスライム", 2, 1, 1, 1);
    distant.m_nPower = 0;
    distant.m_nImpact = 0;
    distant.m_vFlow.push_back(Flow(3, {VarOp(1, 10, 0, 1)}));   // S10 = 1 on its defeat
    st.m_vCharaPlace.push_back(Placed(distant, 31, 12));
    st.m_vItemPlace.push_back(Placed(cp.m_vItemPalette[ITM_GOAL], 38, 12));
}
