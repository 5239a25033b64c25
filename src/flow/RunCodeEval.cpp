// The run-code language: evaluating a parsed text.
#include <algorithm>
#include <cstring>

#include "flow/CmdDispatch.h"
#include "flow/RunCodeTree.h"
#include "flow/StatusAccess.h"
#include "flow/ValueOp.h"
#include "foundation/ErrorBox.h"
#include "play/CharaBase.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/Flow.h"

namespace {

struct CODESTATUS {
    const char* szName;
    int nStatus;   // character status index
    int nVar;      // the character variable of "v1".."v8"
};
const CODESTATUS aStatus[] = {
    {"v1", CSTAT_VAR, 1},      {"v2", CSTAT_VAR, 2},       {"v3", CSTAT_VAR, 3},       {"v4", CSTAT_VAR, 4},
    {"v5", CSTAT_VAR, 5},      {"v6", CSTAT_VAR, 6},       {"v7", CSTAT_VAR, 7},       {"v8", CSTAT_VAR, 8},
    {"hp", CSTAT_HP, 0},       {"sp", CSTAT_SP, 0},        {"mhp", CSTAT_MAXHP, 0},    {"msp", CSTAT_MAXSP, 0},
    {"cid", CSTAT_CHARAID, 0}, {"z", CSTAT_Z, 0},          {"mark", CSTAT_MARK, 0},    {"sight", CSTAT_SIGHT, 0},
    {"power", CSTAT_POWER, 0}, {"imp", CSTAT_IMP, 0},      {"def", CSTAT_DEF, 0},      {"impd", CSTAT_IMPDEF, 0},
    {"stop", CSTAT_STOP, 0},   {"getsc", CSTAT_GETSCORE, 0},
};
const char* const aszSystem[SYSVAL_COUNT] = {"time", "scrlx", "scrly", "score", "life"};

// One word of the flat pass at run time: a value, or an operator.
struct CODETOKEN {
    bool bOp = false;
    int nOp = 0;
    int32_t nValue = 0;
    // Storage of a variable, status or system value (null: none).
    STATUSSLOT Slot;
    int nItemKind = CODEITEM_NUMBER;
    int nIndex = 0;                  // status (aStatus index) or system value
    cCharaBase* pChara = nullptr;    // whose status
};

class cCodeRun {
public:
    // bQuiet: the text was reported before; its errors stop it silently.
    cCodeRun(cCharaBase* pChara, bool bQuiet) : m_pChara(pChara), m_bQuiet(bQuiet) {
        cSystemData* pSys = CmdSystem();
        m_bRule752 = pSys && pSys->m_bRule752;
    }
    // false on an error (the box was shown unless it ends silently).
    bool EvalLine(const CODELINE& line, int32_t* pOut);
    // An error of the text was reported (a missing target is not one).
    bool Reported() const { return m_bReported; }

private:
    bool Fail(const char* fmt, const std::string& arg = std::string()) {
        if (!m_bQuiet) ErrorBox(fmt, arg.c_str());
        m_bReported = true;
        return false;
    }
    std::string Render(const std::vector<int>& units, const std::vector<int32_t>& vals) const;
    bool MakeToken(const CODEITEM& it, const std::vector<int32_t>& vals, CODETOKEN* pOut);
    bool Assign(const CODETOKEN& l, int32_t r, int32_t* pOut);

    cCharaBase* m_pChara;
    bool m_bQuiet = false;
    bool m_bReported = false;
    bool m_bRule752 = false;
};

std::string cCodeRun::Render(const std::vector<int>& units, const std::vector<int32_t>& vals) const {
    std::string s;
    for (int u : units) {
        if (u >= CODE_GROUP_UNIT) {
            size_t g = static_cast<size_t>(u - CODE_GROUP_UNIT);
            s += std::to_string(g < vals.size() ? vals[g] : 0);
        } else {
            s.push_back(static_cast<char>(u));
        }
    }
    return s;
}

bool cCodeRun::MakeToken(const CODEITEM& it, const std::vector<int32_t>& vals, CODETOKEN* pOut) {
    CODETOKEN& t = *pOut;
    t.nItemKind = it.nKind;
    if (it.nKind == CODEITEM_OPERATOR) {
        t.bOp = true;
        t.nOp = it.nValue;
        return true;
    }
    // The subject: a missing target or hero ends the line without a message.
    cCharaBase* pSubject = nullptr;
    if (it.nSubject == CODESUBJ_MY) pSubject = m_pChara;
    else if (it.nSubject >= 1 && it.nSubject <= 4) pSubject = CmdTarget(m_pChara, it.nSubject - 1);
    else if (it.nSubject == CODESUBJ_PL) pSubject = CmdHero();
    if (!pSubject && it.nSubject != CODESUBJ_SYS) return false;

    switch (it.nKind) {
    case CODEITEM_NUMBER: t.nValue = it.nValue; return true;
    case CODEITEM_SPLICE: {
        int32_t v = static_cast<size_t>(it.nGroup) < vals.size() ? vals[it.nGroup] : 0;
        t.nValue = ParseCodeNumber(std::to_string(v) + it.strDigits);
        return true;
    }
    case CODEITEM_VAR: {
        int32_t* p = VarPtr(it.nVarKind, it.nValue);
        if (!p) return Fail("オブジェクトの設定エラー!");
        t.Slot.p = p;
        t.Slot.nWidth = 4;
        t.Slot.nMin = -999999;
        t.Slot.nMax = 999999;
        t.nValue = *p;
        return true;
    }
    case CODEITEM_STATUS: {
        const CODESTATUS& s = aStatus[it.nValue];
        if (!GetCharaStatusSlot(pSubject, s.nStatus, s.nVar, &t.Slot)) {
            // The status table names only statuses that exist.
            if (!m_bQuiet) ErrorBoxEC("ステータスの識別エラー（未定義？）");
            m_bReported = true;
            return false;
        }
        // The ranges of an assignment.
        if (s.nStatus == CSTAT_HP) t.Slot.nMax = std::max(0, pSubject->m_Data.m_nMaxHp);
        if (s.nStatus == CSTAT_SP) t.Slot.nMax = std::max(0, pSubject->m_Data.m_nMaxSp);
        if (s.nStatus == CSTAT_MAXHP || s.nStatus == CSTAT_MAXSP) t.Slot.nMin = 1;
        t.nIndex = it.nValue;
        t.pChara = pSubject;
        t.nValue = t.Slot.Get();
        return true;
    }
    case CODEITEM_SYSTEM: {
        if (!GetSystemSlot(it.nValue, &t.Slot)) {
            t.nValue = 0;   // nothing keeps it here: reads 0, cannot be assigned
            return true;
        }
        t.nIndex = it.nValue;
        t.nValue = ReadSystemValue(it.nValue, 0);
        if (it.nValue == SYSVAL_LIFE && IsLifeUnlimited()) t.Slot.nMin = t.Slot.nMax = LIFE_UNLIMITED;
        return true;
    }
    case CODEITEM_ERROR: {
        if (it.strError.find("%s") == std::string::npos) return Fail(it.strError.c_str());
        return Fail(it.strError.c_str(), Render(it.vWord, vals));
    }
    default: return false;
    }
}

bool cCodeRun::Assign(const CODETOKEN& l, int32_t r, int32_t* pOut) {
    if (!l.Slot.IsSet()) return Fail("代入先が不正です！");
    l.Slot.Set(r);
    int32_t v = Clamp_Int(r, l.Slot.nMin, l.Slot.nMax);
    *pOut = v;
    if (l.nItemKind == CODEITEM_STATUS) {
        cCharaBase* p = l.pChara;
        int nStatus = aStatus[l.nIndex].nStatus;
        if (nStatus == CSTAT_HP && p != m_pChara && p->m_nHp < 1) {
            if (cPlayScene* pScene = CmdScene()) pScene->m_bCheckDead = 1;
        }
        // A new maximum puts the value back into [1, the maximum].
        if (nStatus == CSTAT_MAXHP) p->m_nHp = std::clamp(p->m_nHp, 1, std::max(1, p->m_Data.m_nMaxHp));
        if (nStatus == CSTAT_MAXSP) p->m_nSp = std::clamp(p->m_nSp, 1, std::max(1, p->m_Data.m_nMaxSp));
        if (nStatus == CSTAT_SIGHT && p->IsHero()) OnSightChanged(p);
    } else if (l.nItemKind == CODEITEM_SYSTEM) {
        if (l.nIndex == SYSVAL_SCROLLX) ApplyScrollSpeed(0);
        if (l.nIndex == SYSVAL_SCROLLY) ApplyScrollSpeed(1);
    }
    return true;
}

bool cCodeRun::EvalLine(const CODELINE& line, int32_t* pOut) {
    *pOut = 0;
    // 1. Parenthesised words and calls, in order.
    std::vector<int32_t> vals(line.vGroup.size(), 0);
    for (size_t g = 0; g < line.vGroup.size(); g++) {
        const CODEGROUP& grp = line.vGroup[g];
        if (grp.nKind == CODEGROUP_ERROR) return Fail(grp.strError.c_str());
        if (grp.nKind == CODEGROUP_PAREN) {
            if (!EvalLine(*grp.pLine, &vals[g])) return false;
            continue;
        }
        std::vector<int32_t> args;
        for (const auto& a : grp.vArg) {
            int32_t v = 0;
            if (!EvalLine(*a, &v)) return false;
            args.push_back(v);
        }
        if (grp.bUnterminated) return Fail("関数 %s で\")\"が見つかりません！", grp.strName);
        if (args.size() != 2) return Fail("関数 %s の引数が不正です！", grp.strName);
        vals[g] = CmdRandom(args[0], args[1]);
    }
    // 2. The words, with the values they read now.
    std::vector<CODETOKEN> t(line.vItem.size());
    for (size_t i = 0; i < line.vItem.size(); i++)
        if (!MakeToken(line.vItem[i], vals, &t[i])) return false;
    if (line.bMalformed) return Fail("演算子のエラー（未定義？）");
    if (t.empty()) return true;

    // 3. The operators by level, each from the left. One pass a level: a
    // reduction's value takes its left operand's place on the list already
    // read, and reading goes on after its right operand, which is exactly
    // where a scan from the left would find the next operator of the level.
    bool bReduced = false;
    int32_t nLast = 0;
    std::vector<CODETOKEN> next;
    next.reserve(t.size());
    for (int nLevel = 0; nLevel <= 2; nLevel++) {
        next.clear();
        for (size_t i = 0; i < t.size(); i++) {
            CountCodeStep();
            if (!t[i].bOp || anCodeOpLevel[t[i].nOp] != nLevel) {
                next.push_back(t[i]);
                continue;
            }
            // A well-formed line has operands on both sides (checked above).
            const CODETOKEN L = next.back();
            const CODETOKEN& R = t[i + 1];
            uint32_t a = static_cast<uint32_t>(L.nValue), b = static_cast<uint32_t>(R.nValue);
            int32_t v = 0;
            bool bKeepRight = false;
            switch (t[i].nOp) {
            case 1: v = static_cast<int32_t>(a + b); break;
            case 2: v = static_cast<int32_t>(a - b); break;
            case 3: v = static_cast<int32_t>(a * b); break;
            case 4:
            case 5: {
                if (R.nValue == 0) return Fail("0除算が行われました！(%s)", Render(line.vUnits, vals));
                int64_t q = static_cast<int64_t>(L.nValue) / R.nValue;
                int64_t m = static_cast<int64_t>(L.nValue) % R.nValue;
                v = t[i].nOp == 4 ? static_cast<int32_t>(static_cast<uint32_t>(q)) : static_cast<int32_t>(m);
                bKeepRight = m_bRule752;
                break;
            }
            case 0:
                if (!Assign(L, R.nValue, &v)) return false;
                break;
            default: break;
            }
            CODETOKEN n;
            n.nValue = v;
            next.back() = n;
            if (!bKeepRight) i++;   // the right operand is used up
            bReduced = true;
            nLast = v;
        }
        t.swap(next);
    }
    *pOut = bReduced ? nLast : t.back().nValue;
    return true;
}

}  // namespace

int FindCodeStatus(const std::string& w) {
    for (size_t i = 0; i < sizeof aStatus / sizeof aStatus[0]; i++)
        if (w == aStatus[i].szName) return static_cast<int>(i);
    return -1;
}

int FindCodeSystem(const std::string& w) {
    for (int i = 0; i < SYSVAL_COUNT; i++)
        if (w == aszSystem[i]) return i;
    return -1;
}

int RunCode(const std::string& strText, cCharaBase* pChara) {
    // A text that failed once fails the same way each time it runs (every
    // step of a lasting command): its box is shown the first time only.
    bool bQuiet = CodeReported(strText);
    if (strText.size() > CODE_MAX_TEXT) {
        if (!bQuiet) ErrorBox("コードが長すぎます！(%u文字まで)", static_cast<unsigned>(CODE_MAX_TEXT));
        MarkCodeReported(strText);
        return 0;
    }
    std::shared_ptr<const CODELINE> pLine = ParseCode(strText);
    int32_t nHp = pChara ? pChara->m_nHp : 0;
    int32_t nSp = pChara ? pChara->m_nSp : 0;
    cCodeRun run(pChara, bQuiet);
    int32_t v = 0;
    if (!run.EvalLine(*pLine, &v)) {
        if (run.Reported()) MarkCodeReported(strText);
        return 0;
    }
    if (pChara) {
        if (pChara->m_nHp != nHp) pChara->StartHpGauge(pChara->m_nHp - nHp);
        if (pChara->m_nSp != nSp) pChara->StartSpGauge(pChara->m_nSp - nSp);
    }
    return 1;
}

int CmdExec_RunCode(const CMDCALL& call) {
    RunCode(call.pCmd->m_strText, call.pChara);
    return 0;
}
