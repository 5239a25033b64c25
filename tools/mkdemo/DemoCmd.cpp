#include "DemoCmd.h"

#include <algorithm>

namespace demo {

cEdCmd Cmd(int nKind, std::initializer_list<int> params, int nTime) {
    cEdCmd c;
    c.m_nKind = static_cast<uint8_t>(nKind);
    c.m_vParam.assign(params.begin(), params.end());
    c.m_nTime = static_cast<int16_t>(nTime);
    c.m_vParam.resize(static_cast<size_t>(std::max(GetCmdParamCount(false, nKind), 0)), 0);
    return c;
}

cEdCmd ItemCmd(int nItemKind, std::initializer_list<int> params, int nTime) {
    cEdCmd c;
    c.m_bItemCmd = 1;
    c.m_nKind = static_cast<uint8_t>(nItemKind);
    c.m_vParam.assign(params.begin(), params.end());
    c.m_nTime = static_cast<int16_t>(nTime);
    c.m_vParam.resize(static_cast<size_t>(std::max(GetCmdParamCount(true, nItemKind), 0)), 0);
    return c;
}

cEdCmd Move(int nKind, int nDir, int nSpeed, int nTime) {
    cEdCmd c = Cmd(nKind, {}, nTime);
    c.m_pMove.MakeNew();
    c.m_pMove->m_nDir = static_cast<uint8_t>(nDir);
    c.m_pMove->m_nSpeed = static_cast<int16_t>(nSpeed);
    c.m_pMove->m_bUseX = 1;
    c.m_pMove->m_bUseY = 1;
    return c;
}

cEdCmd Shot(int nFormation, int nOrbit, int nGraphic, int nCount, int nSpeed, int nPower) {
    cEdCmd c = Cmd(CMD_SHOT, {}, 1);
    c.m_pShot.MakeNew();
    cEdShot& s = *c.m_pShot;
    s.m_nFormation = static_cast<uint8_t>(nFormation);
    s.m_nType = static_cast<uint8_t>(nOrbit);
    s.m_nGraphic = static_cast<int16_t>(nGraphic);
    s.m_nCount = static_cast<uint8_t>(nCount);
    s.m_nSpeed = static_cast<int16_t>(nSpeed);
    s.m_nPower = nPower;
    s.m_nImpact = 2;
    s.m_nAimAt = 2;
    s.m_nSpread = 30;
    s.m_bLifeLimit = 1;
    s.m_nLife = 30;
    s.m_nVanish = 1;
    s.m_nZ = 4;
    return c;
}

cEdCmd Sword(int nType, int nPower) {
    cEdCmd c = Cmd(CMD_SWORD, {}, 0);
    c.m_pShot.MakeNew();
    c.m_pShot->m_nType = static_cast<uint8_t>(nType);
    c.m_pShot->m_nPower = nPower;
    c.m_pShot->m_nImpact = 4;
    c.m_pShot->m_nZ = 4;
    return c;
}

cEdCmd Summon(int nKind, int nNum, int nCount, int nShiftX, int nShiftY) {
    cEdCmd c = Cmd(nKind, {}, 1);
    c.m_pShot.MakeNew();
    cEdShot& s = *c.m_pShot;
    s.m_nPalette = 0;
    s.m_nNum = static_cast<int16_t>(nNum);
    s.m_nCount = static_cast<uint8_t>(nCount);
    s.m_nFormation = 0;
    s.m_nShiftX = static_cast<int16_t>(nShiftX);
    s.m_nShiftY = static_cast<int16_t>(nShiftY);
    s.m_bLifeLimit = 1;
    s.m_nLife = 100;
    s.m_bHeroOverlap = 1;
    s.m_bCharaOverlap = 1;
    return c;
}

cEdCmd VarOp(int nVarKind, int nVar, int nOp, int nValue) {
    return Cmd(CMD_STATUS, {1, nVarKind, nVar, 0, 0, nOp, 0, nValue});
}

cEdCmd Code(const char* pszText) {
    cEdCmd c = Cmd(CMD_CODE, {}, 0);
    c.m_strText = pszText;
    return c;
}

cEdCmd ItemCode(const char* pszText) {
    cEdCmd c = ItemCmd(22);
    c.m_strText = pszText;
    return c;
}

cCharaData Chara(const char* pszName, int nGraphic, int nAnimSet, int nGroup, int nHp) {
    cCharaData c;
    c.m_strName = pszName;
    c.m_nOperator = 1;
    c.m_nGraphicSheet = 1;
    c.m_nGraphic = static_cast<int16_t>(nGraphic);
    c.m_nAnimSet = static_cast<int16_t>(nAnimSet);
    c.m_nGroup = static_cast<uint8_t>(nGroup);
    c.m_nMaxHp = nHp;
    c.m_nPower = 1;
    c.m_nImpact = 3;
    c.m_nScore = 100;
    c.m_nDropItem = -1;
    c.m_nDefeatEffect = 1;
    c.m_nActRange = 0;
    return c;
}

cItemData Item(const char* pszName, int16_t nGraphic, int16_t nSound, std::initializer_list<cEdCmd> cmds) {
    cItemData it;
    it.m_strName = pszName;
    it.m_nGraphic = nGraphic;
    it.m_nGraphicSheet = 2;
    it.m_nSound = nSound;
    for (const cEdCmd& c : cmds) it.m_vCmd.push_back(c);
    return it;
}

cFlow Flow(int nTrigger, std::initializer_list<cEdCmd> cmds) {
    cFlow f;
    f.m_nTrigger = static_cast<uint8_t>(nTrigger);
    for (const cEdCmd& c : cmds) f.m_vCmd.push_back(c);
    return f;
}

cFlow KeyFlow(std::initializer_list<int> keys, bool bRepeat, std::initializer_list<cEdCmd> cmds) {
    cFlow f = Flow(TRIGGER_ALWAYS, cmds);
    cFlowKey k;
    for (int e : keys) k.m_vKey.At(e) = 1;
    k.m_bHoldAny = 1;
    f.m_vKey.push_back(k);
    f.m_bKeyRepeat = bRepeat ? 1 : 0;
    return f;
}

cFlow WithCond(cFlow f, const cCond& cond) {
    f.m_vCond.push_back(cond);
    return f;
}

cCond VarCond(int nKind, int nVar, int nCompare, int nValue) {
    cCond c;
    c.m_nKind = static_cast<int8_t>(nKind);
    c.m_nVarNum = static_cast<int16_t>(nVar);
    c.m_nCompare = static_cast<int8_t>(nCompare);
    c.m_nValue = nValue;
    return c;
}

cCond NearHero(int nHbl) {
    cCond c;
    c.m_nKind = 7;
    c.m_nSubject = 0;
    c.m_nValue = nHbl;
    c.m_nShape = 0;
    c.m_nCompare = 0;
    return c;
}

void CollectKinds(const cChkVector<cFlow>& vFlow, bool* pbCmd, bool* pbTrigger) {
    for (const cFlow& f : vFlow) {
        if (f.m_nTrigger < TRIGGER_COUNT) pbTrigger[f.m_nTrigger] = true;
        for (const cEdCmd& c : f.m_vCmd) {
            int k = c.CmdKind();
            if (k >= 0 && k < CMDKIND_COUNT) pbCmd[k] = true;
            CollectKinds(c.m_vFlow, pbCmd, pbTrigger);
        }
    }
}

void CollectItemKinds(const cChkVector<cEdCmd>& vCmd, bool* pbItemCmd, bool* pbCmd, bool* pbTrigger) {
    for (const cEdCmd& c : vCmd) {
        if (c.m_bItemCmd && c.m_nKind < ITEMCMDKIND_COUNT) pbItemCmd[c.m_nKind] = true;
        CollectKinds(c.m_vFlow, pbCmd, pbTrigger);
    }
}

}  // namespace demo
