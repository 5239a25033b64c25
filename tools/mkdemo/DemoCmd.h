#pragma once
// Small builders for the demo's flows and commands, so that a character's
// behaviour reads as a list of what it does.
#include <initializer_list>

#include "stage/CharaData.h"
#include "stage/CmdVocabulary.h"
#include "stage/Flow.h"
#include "stage/ItemData.h"
#include "stage/MoveVocabulary.h"

namespace demo {

// Key entries of a flow's key step: direction patterns 0..9, buttons 10..18.
enum : int { KEY_LEFT = 1, KEY_RIGHT = 2, KEY_UP = 3, KEY_DOWN = 4, KEY_ANYDIR = 9, KEY_BUTTON1 = 11, KEY_BUTTON2 = 12,
             KEY_BUTTON3 = 13, KEY_BUTTON4 = 14 };

// A command of a kind with its parameters (the rest 0) and a duration in
// tenths of a second.
cEdCmd Cmd(int nKind, std::initializer_list<int> params = {}, int nTime = 0);
// An item command (item numbering).
cEdCmd ItemCmd(int nItemKind, std::initializer_list<int> params = {}, int nTime = 0);
// A movement command with a movement record: direction, speed (tenths of a
// dot per frame) and duration.
cEdCmd Move(int nKind, int nDir, int nSpeed, int nTime);
// A shot command: formation, trajectory, graphic, count and speed.
cEdCmd Shot(int nFormation, int nOrbit, int nGraphic, int nCount, int nSpeed, int nPower);
// A sword of sword type nType.
cEdCmd Sword(int nType, int nPower);
// A summon of a block, character or item of the common palette.
cEdCmd Summon(int nKind, int nNum, int nCount, int nShiftX, int nShiftY);

// A status operation on a variable (0 common, 1 stage): nOp 0 sets, 1 adds.
cEdCmd VarOp(int nVarKind, int nVar, int nOp, int nValue);
// A run-code command and its item form.
cEdCmd Code(const char* pszText);
cEdCmd ItemCode(const char* pszText);

// A computer-operated character drawn from row nGraphic % 15 of character
// sheet nGraphic / 15.
cCharaData Chara(const char* pszName, int nGraphic, int nAnimSet, int nGroup, int nHp);
// An item of the item sheet with its command list.
cItemData Item(const char* pszName, int16_t nGraphic, int16_t nSound, std::initializer_list<cEdCmd> cmds);

// A flow on a trigger with its commands.
cFlow Flow(int nTrigger, std::initializer_list<cEdCmd> cmds);
// A flow started by a held key (entries of the key step), repeating while held.
cFlow KeyFlow(std::initializer_list<int> keys, bool bRepeat, std::initializer_list<cEdCmd> cmds);
// The flow with one more condition.
cFlow WithCond(cFlow f, const cCond& cond);
// A condition on a common (1) or stage (2) variable.
cCond VarCond(int nKind, int nVar, int nCompare, int nValue);
// A distance condition: within nHbl half-blocks of the hero.
cCond NearHero(int nHbl);

// The command kinds and triggers that a list of flows uses (for the check
// that the demo covers all of them).
void CollectKinds(const cChkVector<cFlow>& vFlow, bool* pbCmd, bool* pbTrigger);
void CollectItemKinds(const cChkVector<cEdCmd>& vCmd, bool* pbItemCmd, bool* pbCmd, bool* pbTrigger);

}  // namespace demo
