// The demo's common palette: every block kind, the hero and the cast of
// characters with their flows, and the items with their command lists.
// Together the flows use all 40 character command kinds and all 23
// triggers, and the item lists all 25 item command kinds; CheckDemoCoverage
// proves it when the demo is built.
#include <cstdio>
#include <string>

#include "DemoCmd.h"
#include "DemoPalette.h"
#include "DemoProject.h"
#include "stage/CommonPalette.h"

using namespace demo;

namespace {

cBlockData Block(const char* pszName, int16_t nChip, uint8_t nHit) {
    cBlockData b;
    b.m_strName = pszName;
    b.m_nGraphic = nChip;
    b.m_nGraphicSheet = 0;
    b.m_nHit = nHit;
    return b;
}

cBlockData BlockWith(const char* pszName, int16_t nChip, int8_t nEffect, int32_t nValue) {
    cBlockData b = Block(pszName, nChip, 1);
    b.m_nEffect = nEffect;
    b.m_nEffectValue = nValue;
    return b;
}

// A window's text with a blank cell before and after every line, so the
// letters keep clear of the window's frame on both sides.
std::string WithMargin(const char* pszText) {
    std::string str = " ";
    for (const char* p = pszText; *p; p++) {
        if (*p == '\n') str += " \n ";
        else str += *p;
    }
    return str + " ";
}

// A message: position mode, text, time in tenths (duration mode 2).
cEdCmd Message(int nPos, const char* pszText, int nTime, bool bStop = false, int nOffY = -8, int nOffX = 0) {
    // Centred texts stay on the screen (fixed); the others follow their
    // character, found by its character id. Every one is kept inside the
    // screen.
    cEdCmd c =
        Cmd(CMD_MESSAGE, {nPos, 0, 0, nOffX, nOffY, 1, 2, nTime, bStop ? 1 : 0, 1, nPos == 0 ? 1 : 0, 0, 0, 0, 1, 0, 6, 0});
    c.m_strText = WithMargin(pszText);
    return c;
}
cEdCmd WithSound(cEdCmd c, int nSound) {
    c.m_nSound = static_cast<int16_t>(nSound);
    c.m_bSoundOnScreen = 1;
    return c;
}
cEdCmd Continue(cEdCmd c) {
    c.m_bContinue = 1;
    return c;
}
cFlow WithId(cFlow f, int nId) {
    f.m_nId = static_cast<uint8_t>(nId);
    return f;
}
cFlow InGroup(cFlow f, int nGroup) {
    f.m_nFlowGroup = static_cast<uint8_t>(nGroup);
    return f;
}

// The hero: walks, jumps, shoots, swings a sword, flies for a while on
// button 4 and reacts to damage, knock-back, items, blocks and its attacks.
cCharaData MakeHero() {
    cCharaData c = Chara("主人公", 1, 0, 0, 10);
    c.m_nOperator = 0;
    c.m_nPlayer = 0;
    c.m_bFixDir = 0;
    c.m_nDir = 1;
    c.m_nMaxSp = 5;
    c.m_nPower = 0;
    c.m_nScore = 0;
    c.m_nDefeatEffect = 0;
    c.m_vFlow.push_back(KeyFlow({KEY_RIGHT}, true, {Move(CMD_MOVE_STRAIGHT, DIR_RIGHT, 25, 1)}));
    c.m_vFlow.push_back(KeyFlow({KEY_LEFT}, true, {Move(CMD_MOVE_STRAIGHT, DIR_LEFT, 25, 1)}));
    c.m_vFlow.push_back(KeyFlow({KEY_BUTTON1}, false, {WithSound(Cmd(CMD_JUMP, {1, 0, 6, 0, 2}), 1)}));
    c.m_vFlow.push_back(KeyFlow({KEY_BUTTON2}, false, {Shot(0, 0, 1, 1, 60, 1), Cmd(CMD_WAIT, {}, 2)}));
    c.m_vFlow.push_back(KeyFlow({KEY_BUTTON3}, false, {Sword(0, 2)}));
    // Flying: on for five seconds, then back on its feet.
    c.m_vFlow.push_back(KeyFlow({KEY_BUTTON4}, false,
                                {Cmd(CMD_STATUS2, {0, 3, 1, 0, 0}), Cmd(CMD_WAIT, {}, 50), Cmd(CMD_STATUS2, {0, 3, 0, 0, 0})}));
    c.m_vFlow.push_back(Flow(1, {Cmd(CMD_CHARA_EFFECT, {1, 0, 0})}));
    c.m_vFlow.push_back(Flow(2, {Cmd(CMD_ANIME, {1})}));
    c.m_vFlow.push_back(Flow(3, {Cmd(CMD_SCR_EFFECT, {1, 0, 0})}));
    c.m_vFlow.push_back(Flow(8, {Cmd(CMD_EFFECT, {1, 1, 0, 0, 0, 0, 100, 0})}));
    c.m_vFlow.push_back(Flow(14, {WithSound(Cmd(CMD_WAIT, {}, 1), 3)}));
    c.m_vFlow.push_back(Flow(20, {VarOp(0, 2, 1, 1)}));   // C2 counts the hits of the hero's attacks
    return c;
}

// A slime walks and turns at ledges and walls.
cCharaData MakeSlime() {
    cCharaData c = Chara("スライム", 2, 1, 1, 3);
    c.m_vFlow.push_back(Flow(0, {Move(CMD_MOVE_GROUNDTURN, DIR_FRONT, 10, 30)}));
    c.m_vFlow.push_back(Flow(4, {Cmd(CMD_DIRECTION, {11})}));
    c.m_vFlow.push_back(Flow(7, {Cmd(CMD_CHARA_EFFECT, {1, 0, 0})}));
    c.m_vFlow.push_back(Flow(10, {Cmd(CMD_DIRECTION, {11})}));
    c.m_vFlow.push_back(Flow(3, {WithSound(VarOp(1, 2, 1, 1), 3)}));   // S2 counts the defeated
    return c;
}

// A bat flies in circles and swoops at the hero when near; it bounces off
// walls.
cCharaData MakeBat() {
    cCharaData c = Chara("コウモリ", 3, 1, 1, 2);
    c.m_nFlight = 2;
    cEdCmd circle = Move(CMD_MOVE_CIRCLE, 0, 20, 20);
    circle.m_pMove->m_nHoming = 3;
    cEdCmd homing = Move(CMD_MOVE_HOMING, DIR_FRONT, 15, 10);
    homing.m_pMove->m_nTarget = 0;
    homing.m_pMove->m_nHoming = 4;
    c.m_vFlow.push_back(InGroup(Flow(0, {circle}), 1));
    c.m_vFlow.push_back(InGroup(WithCond(Flow(0, {homing, Move(CMD_MOVE_AVOID, DIR_UP, 20, 5)}), NearHero(10)), 2));
    c.m_vFlow.push_back(Flow(2, {Move(CMD_MOVE_CHARGE, DIR_BACK, 40, 3)}));
    c.m_vFlow.push_back(Flow(9, {Cmd(CMD_DIRECTION, {11})}));
    c.m_vFlow.push_back(Flow(11, {Cmd(CMD_DIRECTION, {1})}));
    c.m_vFlow.push_back(Flow(12, {Cmd(CMD_DIRECTION, {0})}));
    return c;
}

// A knight walks toward the hero and swings its sword when close.
cCharaData MakeKnight() {
    cCharaData c = Chara("騎士", 4, 0, 1, 6);
    c.m_bFixDir = 0;
    c.m_nDefence = 1;
    c.m_vFlow.push_back(InGroup(Flow(0, {Cmd(CMD_DIRECTION, {2}), Move(CMD_MOVE_STRAIGHT, DIR_FRONT, 8, 10)}), 1));
    c.m_vFlow.push_back(InGroup(WithCond(Flow(0, {Move(CMD_MOVE_CANCEL, 0, 0, 1), Sword(1, 2), Cmd(CMD_WAIT, {}, 8)}), NearHero(4)), 2));
    c.m_vFlow.push_back(Flow(18, {WithSound(Cmd(CMD_WAIT, {}, 1), 3)}));
    c.m_vFlow.push_back(Flow(19, {Cmd(CMD_CHARA_EFFECT, {3, 0, 0})}));
    c.m_vFlow.push_back(Flow(1, {Cmd(CMD_CHARA_EFFECT, {1, 0, 0})}));
    return c;
}

// A turret fires every formation on every trajectory in turn. Its stage
// variable S5 raises the number of shots of the spread through an arrange.
cCharaData MakeTurret() {
    cCharaData c = Chara("砲台", 5, 1, 1, 20);
    c.m_nStop = 200;
    cFlow f = Flow(0, {});
    const int aForm[] = {0, 1, 2, 3, 4, 5, 0, 2, 1, 5};
    for (int t = 0; t < 10; t++) {
        if (t == 2) f.m_vCmd.push_back(Continue(Cmd(CMD_ARRANGE, {CMD_SHOT, 5, 1, 1, 5})));
        cEdCmd s = Shot(aForm[t], t, 5 + t, aForm[t] >= 2 ? 5 : 1, 30, 1);
        s.m_pShot->m_nAimAt = 1;
        if (t == 8) {
            s.m_pShot->m_anOrbitParam[0] = 4;
            s.m_pShot->m_anOrbitParam[1] = 4;
        }
        if (aForm[t] == 3) s.m_pShot->m_anFormParam[1] = 3;
        if (aForm[t] == 5) s.m_pShot->m_anFormParam[0] = 6;
        f.m_vCmd.push_back(s);
        f.m_vCmd.push_back(Cmd(CMD_WAIT, {}, 12));
    }
    // Three quick shots by a loop of two commands.
    f.m_vCmd.push_back(Cmd(CMD_LOOP, {3, 2}));
    f.m_vCmd.push_back(Shot(0, 1, 3, 1, 50, 1));
    f.m_vCmd.push_back(Cmd(CMD_WAIT, {}, 3));
    c.m_vFlow.push_back(WithCond(f, NearHero(30)));
    c.m_vFlow.push_back(Flow(7, {Cmd(CMD_CHARA_EFFECT, {2, 0, 0})}));
    return c;
}

// A moving platform: a solid character that glides left and right; it
// notes who rides it.
cCharaData MakePlatform() {
    cCharaData c = Chara("動く床", 6, 1, 2, 1);
    c.m_bNoHitBox = 1;
    c.m_nFlight = 1;
    c.m_nInvincible = 1;
    c.m_nPower = 0;
    c.m_nImpact = 0;
    c.m_nActRange = 3;
    c.m_vFlow.push_back(Flow(0, {Move(CMD_MOVE_STRAIGHT, DIR_RIGHT, 10, 30), Move(CMD_MOVE_STRAIGHT, DIR_LEFT, 10, 30)}));
    c.m_vFlow.push_back(Flow(16, {VarOp(1, 3, 0, 1)}));
    c.m_vFlow.push_back(Flow(17, {VarOp(1, 4, 0, 1)}));
    return c;
}

// A frog hops; it counts its landings in its own variable 1.
cCharaData MakeFrog() {
    cCharaData c = Chara("カエル", 7, 1, 1, 2);
    c.m_vFlow.push_back(Flow(0, {Cmd(CMD_WAIT, {}, 10), Cmd(CMD_JUMP, {0, 0, 4, 0, 4}), Move(CMD_MOVE_STRAIGHT, DIR_FRONT, 15, 5)}));
    c.m_vFlow.push_back(Flow(13, {Code("my.v1 = my.v1 + 1")}));
    c.m_vFlow.push_back(Flow(15, {Cmd(CMD_WAIT, {}, 0)}));
    c.m_vFlow.push_back(Flow(5, {Cmd(CMD_DIRECTION, {11})}));
    c.m_vFlow.push_back(Flow(6, {Cmd(CMD_JUMP, {0, 0, 6, 0, 6})}));
    return c;
}

// The sorcerer of the castle: summons slimes, coins and stone blocks, warps
// about, and when beaten clears the world.
cCharaData MakeSorcerer() {
    cCharaData c = Chara("魔法使い", 8, 0, 1, 12);
    c.m_bFixDir = 0;
    c.m_nScore = 1000;
    cEdCmd warp = Move(CMD_WARP, DIR_FRONT, 0, 0);
    warp.m_pMove->m_nMode = 0;
    warp.m_pMove->m_nDist = 6;
    c.m_vFlow.push_back(WithCond(
        Flow(0, {Cmd(CMD_SET_TARGET, {0, 0, 0, 1, 1}), Cmd(CMD_DIRECTION, {2}), Summon(CMD_SUMMON_CHARA, 2, 1, 0, 0),
                 Cmd(CMD_WAIT, {}, 20), Summon(CMD_SUMMON_ITEM, 1, 3, 0, -32), Cmd(CMD_WAIT, {}, 10),
                 Summon(CMD_SUMMON_BLOCK, 4, 1, 0, 32), WithSound(warp, 3), Cmd(CMD_WAIT, {}, 20),
                 Cmd(CMD_VANISH, {3, 0, 1})}),
        NearHero(20)));
    c.m_vFlow.push_back(Flow(1, {Cmd(CMD_SCR_EFFECT, {1, 0, 0}), Cmd(CMD_CHARA_EFFECT, {3, 0, 0})}));
    c.m_vFlow.push_back(Flow(3, {Message(0, "魔法使いを倒した!", 20), Cmd(CMD_PICTURE, {1, 0, 7, 5, 0, 0, 0, 100, 2, 20, 0, 1}),
                                 Cmd(CMD_BGM, {1, 0}), Cmd(CMD_STAGE_CLEAR, {3})}));
    return c;
}

// The signpost greets the player before the start, shows the coins
// collected (message escapes) when the hero comes near, and starts its
// show flow (a flow run only by a flow operation) once.
cCharaData MakeSign() {
    cCharaData c = Chara("立て札", 9, 1, 3, 1);
    c.m_nCharaId = 9;   // its messages are anchored to it by this id
    c.m_nInvincible = 1;
    c.m_nPower = 0;
    c.m_nImpact = 0;
    c.m_bNoHitBox = 0;
    c.m_nFlight = 1;
    // A flow before the start runs at once and only its commands that go
    // on in the same frame (the continue flag, no time of their own); the
    // welcome is shown for 2.5 s of play, high in the sky above the "?"
    // block and the coin ledge.
    cEdCmd welcome = Message(0, "ようこそ! Z:ジャンプ X:ショット C:ソード V:飛行", 25, false, -150);
    welcome.m_nTime = 0;
    welcome.m_bContinue = 1;
    c.m_vFlow.push_back(Flow(21, {welcome}));
    // A test play shows how near "near" is: the range's two lines in
    // system colour 1, also while the signpost is hidden.
    cCond nearCond = NearHero(5);
    nearCond.m_nLeftType = 2;
    nearCond.m_nLeftVarKind = 1;
    nearCond.m_nSrcSubject = 1;
    // The count stands above and to the right of the signpost (centred 112
    // dots right of its middle), so that it stays clear of the screen's left
    // edge where the forest's signpost stands.
    cFlow near = WithCond(Flow(0, {Message(1, "コイン #C1 枚\n敵 #S2 体 得点 #C2_3Z", 10, false, -8, 112),
                                   Cmd(CMD_FLOW_OP, {0, 2, 5, 0}), Cmd(CMD_WAIT, {}, 30)}),
                          nearCond);
    near.m_bCondOnce = 0;
    c.m_vFlow.push_back(near);
    c.m_vFlow.push_back(WithId(Flow(22, {Cmd(CMD_SCREEN_COLOR, {255, 230, 150, 25, 0, 10}), Cmd(CMD_ANIMESET, {1}),
                                         Cmd(CMD_GRAPHIC, {1, 10, 0}), Cmd(CMD_WAIT, {}, 10), Cmd(CMD_GRAPHIC, {1, 9, 0}),
                                         Cmd(CMD_ANIMESET, {0}), Cmd(CMD_SCREEN_COLOR, {0, 0, 0, 0, 1, 10}),
                                         Cmd(CMD_BACKGROUND, {2, 2}), Cmd(CMD_BACKGROUND, {2, 2}),
                                         Cmd(CMD_FLOW_OP, {5, 0, 0, 0})}),
                               5));
    return c;
}

// A treasure chest: standing next to it runs the game wait, the get-item,
// sound and status-2 commands, then it stops.
cCharaData MakeChest() {
    cCharaData c = Chara("宝箱", 10, 1, 3, 1);
    c.m_nInvincible = 1;
    c.m_nPower = 0;
    c.m_nImpact = 0;
    cFlow f = WithCond(Flow(0, {Cmd(CMD_SOUND, {2}), Cmd(CMD_GET_ITEM, {0, 2}), Cmd(CMD_GAME_WAIT, {5}),
                                Cmd(CMD_STATUS2, {0, 1, 1, 0, 0}), Cmd(CMD_FLOW_OP, {5, 0, 0, 0})}),
                       NearHero(2));
    c.m_vFlow.push_back(f);
    return c;
}

}  // namespace

void MakeDemoCommonPalette(cCommonPalette& cp) {
    cp.m_vBlockPalette.assign(1, cBlockData());
    cp.m_vBlockPalette.push_back(Block("地面", 1, 1));                       // 1
    cp.m_vBlockPalette.push_back(Block("土", 2, 1));                         // 2
    cp.m_vBlockPalette.push_back(Block("レンガ", 3, 1));                     // 3
    cp.m_vBlockPalette.push_back(Block("石", 4, 1));                         // 4
    cBlockData question = Block("はてな", 5, 1);                              // 5: a coin inside
    question.m_nItemType = 1;
    question.m_nItemNum = 1;
    cp.m_vBlockPalette.push_back(question);
    cp.m_vBlockPalette.push_back(Block("トゲ", 6, 2));                       // 6: deadly
    cBlockData cloud = Block("雲", 7, 1);                                    // 7: enemies pass through
    cloud.m_nPassGroup = 1;
    cp.m_vBlockPalette.push_back(cloud);
    cp.m_vBlockPalette.push_back(BlockWith("ばね", 16, 1, 10));              // 8: jump
    cp.m_vBlockPalette.push_back(BlockWith("ぬかるみ", 20, 2, 0));           // 9: no jump
    cp.m_vBlockPalette.push_back(BlockWith("氷", 17, 3, 180));               // 10: speed
    cp.m_vBlockPalette.push_back(BlockWith("左コンベア", 18, 4, 15));        // 11
    cp.m_vBlockPalette.push_back(BlockWith("右コンベア", 19, 5, 15));        // 12
    cBlockData leaves = Block("葉", 21, 0);                                  // 13: drawn over the characters
    leaves.m_nLayer = 1;
    cp.m_vBlockPalette.push_back(leaves);
    cBlockData mark = Block("目印の石", 22, 1);                              // 14: with a mark
    mark.m_nMarkDisp = 1;
    mark.m_nMark = 1;
    cp.m_vBlockPalette.push_back(mark);
    cBlockData invisible = Block("見えない壁", 4, 1);                         // 15: not drawn
    invisible.m_bNoDraw = 1;
    cp.m_vBlockPalette.push_back(invisible);
    cBlockData bridge = Block("橋", 23, 1);                                  // 16: there once S1 = 1
    bridge.m_vCond.push_back(VarCond(2, 1, 0, 1));
    cp.m_vBlockPalette.push_back(bridge);

    cp.m_vCharaPalette.assign(1, cCharaData());
    cp.m_vCharaPalette.push_back(MakeHero());       // 1
    cp.m_vCharaPalette.push_back(MakeSlime());      // 2
    cp.m_vCharaPalette.push_back(MakeBat());        // 3
    cp.m_vCharaPalette.push_back(MakeKnight());     // 4
    cp.m_vCharaPalette.push_back(MakeTurret());     // 5
    cp.m_vCharaPalette.push_back(MakePlatform());   // 6
    cp.m_vCharaPalette.push_back(MakeFrog());       // 7
    cp.m_vCharaPalette.push_back(MakeSorcerer());   // 8
    cp.m_vCharaPalette.push_back(MakeSign());       // 9
    cp.m_vCharaPalette.push_back(MakeChest());      // 10

    cp.m_vItemPalette.assign(1, cItemData());
    // 1 coin: counts into C1 by run code and scores. Picture 0 means "no
    // item" (touching it takes nothing and runs no command), so the coin is
    // the coin drawn again at picture 8 of the item sheets.
    cp.m_vItemPalette.push_back(Item("コイン", 8, 2, {ItemCode("C1 = C1 + 1"), ItemCmd(7, {0, 0, 0, 5, 3, 1, 0, 10})}));
    // 2 heart: three HP back, with a glow.
    cp.m_vItemPalette.push_back(Item("ハート", 1, 2, {ItemCmd(7, {0, 0, 0, 0, 1, 1, 0, 3}), ItemCmd(15, {1, 0, 0})}));
    // 3 star: invincible for a while under a golden screen.
    cp.m_vItemPalette.push_back(Item("スター", 2, 2,
                                     {ItemCmd(8, {0, 4, 1, 0, 0}), ItemCmd(18, {255, 255, 120, 30, 0, 5}),
                                      ItemCmd(21, {3, 0})}));
    // 4 goal: the banner, a sparkle, the picture and the stage clear. The
    // banner stands high (its middle at y 70), above the picture.
    cEdCmd goalMsg = ItemCmd(4, {0, 0, 0, 0, -170, 1, 2, 20, 0, 1, 1, 0, 0, 0, 1, 0, 1, 0});
    goalMsg.m_strText = WithMargin("ゴール!  コイン #C1 枚");
    cp.m_vItemPalette.push_back(Item("ゴールの旗", 5, 2,
                                     {goalMsg, ItemCmd(14, {1, 2, 0, 0, 0, -16, 200, 0}),
                                      ItemCmd(17, {1, 0, 7, 5, 0, 0, 0, 100, 2, 20, 0, 1, 1, 7, 0}), ItemCmd(2, {0})}));
    // 5 wing: gives the hero a flow that flies up on the up key.
    cEdCmd wing = ItemCmd(1, {0, 0});
    wing.m_vFlow.push_back(KeyFlow({KEY_UP}, true, {Move(CMD_MOVE_STRAIGHT, DIR_UP, 30, 1)}));
    cp.m_vItemPalette.push_back(Item("つばさ", 6, 2, {wing, ItemCmd(16, {2, 0, 0})}));
    // 6 potion of tricks: the remaining item commands.
    cEdCmd warp = ItemCmd(5);
    warp.m_pMove.MakeNew();
    warp.m_pMove->m_nMode = 0;
    warp.m_pMove->m_nDir = DIR_UP;
    warp.m_pMove->m_nDist = 4;
    cp.m_vItemPalette.push_back(Item("ふしぎな薬", 3, 2,
                                     {ItemCmd(6, {0, 0}), ItemCmd(9, {1, 1, 1}), ItemCmd(10, {0, 1}), ItemCmd(11, {1, 11, 0}),
                                      ItemCmd(12, {0}), ItemCmd(13, {1}), ItemCmd(20, {3}), ItemCmd(19, {2, 2}),
                                      ItemCmd(23, {CMD_CODE, 0, 0, 1, 1}), ItemCmd(24, {2, 1}), ItemCode("S6 = S6 + 1"), warp,
                                      ItemCmd(3, {2})}));
    // 7 key: S1 = 1 lays the bridge.
    cp.m_vItemPalette.push_back(Item("かぎ", 4, 2, {ItemCmd(7, {1, 1, 1, 0, 0, 0, 0, 1})}));
}

bool CheckDemoCoverage(const cCommonPalette& cp) {
    bool abCmd[CMDKIND_COUNT] = {}, abTrigger[TRIGGER_COUNT] = {}, abItem[ITEMCMDKIND_COUNT] = {};
    for (size_t i = 1; i < cp.m_vCharaPalette.size(); i++) CollectKinds(cp.m_vCharaPalette[i].m_vFlow, abCmd, abTrigger);
    for (size_t i = 1; i < cp.m_vItemPalette.size(); i++) CollectItemKinds(cp.m_vItemPalette[i].m_vCmd, abItem, abCmd, abTrigger);
    bool bOk = true;
    for (int k = 1; k < CMDKIND_COUNT; k++)
        if (!abCmd[k]) {
            std::fprintf(stderr, "mkdemo: no flow uses command kind %d\n", k);
            bOk = false;
        }
    for (int k = 0; k < TRIGGER_COUNT; k++)
        if (!abTrigger[k]) {
            std::fprintf(stderr, "mkdemo: no flow uses trigger %d\n", k);
            bOk = false;
        }
    for (int k = 1; k < ITEMCMDKIND_COUNT; k++)
        if (!abItem[k]) {
            std::fprintf(stderr, "mkdemo: no item uses item command kind %d\n", k);
            bOk = false;
        }
    return bOk;
}
