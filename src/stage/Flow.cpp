#include "stage/OwnedPtr.h"
#include "stage/Flow.h"

#include <algorithm>

#include "foundation/Saturate.h"
#include "stage/CmdRepair.h"
#include "stage/CmdVocabulary.h"
#include "stage/StageContext.h"

namespace {
// Nesting depth of the flow being read on this thread.
thread_local int nFlowReadDepth = 0;

struct cDepthGuard {
    cDepthGuard() { nFlowReadDepth++; }
    ~cDepthGuard() { nFlowReadDepth--; }
};

// Reads a sub-record block: an int32 presence flag and, when non-zero, a
// new record's body. Nothing from before is kept.
template <class T>
void ReadSubRecord(cOwnedPtr<T>& p, cDataFile* fp) {
    int32_t bPresent = fp->ReadI32();
    if (bPresent != 0 && !fp->IsFailed() && fp->Charge(sizeof(T))) {
        T& r = p.MakeNew();
        r.Read(fp);
    } else {
        p.reset();
    }
}

template <class T>
void WriteSubRecord(cOwnedPtr<T>& p, cDataFile* fp) {
    fp->WriteI32(p ? 1 : 0);
    if (p) {
        p->Write(fp);
    }
}
}  // namespace

// ---- cFlowKey ----

void cFlowKey::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField1(&m_bMirror);
    AddField2(&m_nHoldMin);
    AddField2(&m_nHoldMax);
    AddField1(&m_bHoldAny);
    AddField1(&m_nKeyMode);
}

void cFlowKey::Read(cDataFile* fp) {
    cRecord::Read(fp);
    int n = fp->ReadCount(1);
    m_vKey.assign(static_cast<size_t>(n), 0);
    if (n > 0) fp->ReadBytes(m_vKey.data(), static_cast<size_t>(n));
    // Every reader tests the 19 inputs: a short list is padded.
    if (m_vKey.size() < FLOWKEY_COUNT) m_vKey.resize(FLOWKEY_COUNT, 0);
}

void cFlowKey::Write(cDataFile* fp) {
    cRecord::Write(fp);
    fp->WriteI32(static_cast<int32_t>(m_vKey.size()));
    if (!m_vKey.empty()) fp->WriteBytes(m_vKey.data(), m_vKey.size());
}

// ---- cFlow ----

void cFlow::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    if (VerFrom(v, 676)) AddString(&m_strName);
    AddField1(&m_nId);
    AddField1(&m_nFlowGroup);
    AddField1(&m_bTestOnly);
    AddField1(&m_nCondMode);
    AddField1(&m_bCondOnce);
    AddField1(&m_nTrigger);
    if (VerFrom(v, 762)) AddField1(&m_bSetTarget);
    if (VerFrom(v, 767)) AddField1(&m_nTargetSlot);
    AddField1(&m_nKeyDelay);
    AddField1(&m_bKeyRepeat);
}

namespace {
struct FLOWREPAIR {
    uint32_t nBelow;
    void (*pfn)(cFlow& f);
};
// Triggers were inserted at 11 (132), 5 and 6 (164) and 18 to 20 (762).
const FLOWREPAIR aFlowRepair[] = {
    {132, [](cFlow& f) { if (f.m_nTrigger >= 11) f.m_nTrigger++; }},
    {163, [](cFlow& f) { if (f.m_nTrigger != 0) f.m_nFlowGroup = 0; }},
    {164, [](cFlow& f) { if (f.m_nTrigger >= 5) f.m_nTrigger = static_cast<uint8_t>(f.m_nTrigger + 2); }},
    {762, [](cFlow& f) { if (f.m_nTrigger >= 18) f.m_nTrigger = static_cast<uint8_t>(f.m_nTrigger + 3); }},
};
}  // namespace

void cFlow::UpgradeFrom(uint32_t nVer) {
    if (!(nVer < DATA_VERSION)) return;
    for (const FLOWREPAIR& r : aFlowRepair)
        if (nVer < r.nBelow) r.pfn(*this);
}

void cFlow::Read(cDataFile* fp) {
    cDepthGuard guard;
    if (nFlowReadDepth > MAX_FLOW_NESTING) {
        fp->Fail();
        return;
    }
    cRecord::Read(fp);
    ReadCondList(m_vCond, fp);
    // Each key list is padded to its 19 inputs once read.
    int n = fp->ReadCount(MIN_RECORD_BODY, sizeof(cFlowKey) + FLOWKEY_COUNT);
    m_vKey.assign(static_cast<size_t>(n), DefaultOf<cFlowKey>());
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        m_vKey[i].Read(fp);
    }
    ReadCmdList(m_vCmd, fp);
    UpgradeFrom(GetStageContext().FileVersion());
    // The name serves the editor only.
    m_strName.clear();
    // Each command normalised itself at the end of its own read, and the
    // flow's upgrades do not touch commands: nothing is left to normalise.
}

void cFlow::Write(cDataFile* fp) {
    Normalize();
    cRecord::Write(fp);
    WriteCondList(m_vCond, fp);
    fp->WriteI32(static_cast<int32_t>(m_vKey.size()));
    for (cFlowKey& k : m_vKey) {
        k.Write(fp);
    }
    WriteCmdList(m_vCmd, fp);
}

void cFlow::Normalize() {
    for (cEdCmd& c : m_vCmd) c.Normalize();
}

void cFlow::NormalizePalette() {
    for (cEdCmd& c : m_vCmd) c.NormalizePalette();
}

bool cFlow::IsBlank() const {
    return m_nId == 0 && m_nFlowGroup == 0 && m_nTrigger == 0 && m_vCond.empty() && m_vKey.empty() &&
           m_vCmd.empty();
}

void DropTestFlows(cChkVector<cFlow>& vFlow) {
    vFlow.erase(std::remove_if(vFlow.begin(), vFlow.end(), [](const cFlow& f) { return f.m_bTestOnly != 0; }),
                vFlow.end());
}

void DropTestFlowsUnlessKept(cChkVector<cFlow>& vFlow) {
    if (!GetStageContext().KeepTestFlows()) DropTestFlows(vFlow);
}

void ReadFlowList(cChkVector<cFlow>& list, cDataFile* fp) {
    int n = fp->ReadCount(MIN_RECORD_BODY, sizeof(cFlow));
    list.clear();
    if (n > 0) list.assign(static_cast<size_t>(n), DefaultOf<cFlow>());
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        list[i].Read(fp);
    }
}

void WriteFlowList(cChkVector<cFlow>& list, cDataFile* fp) {
    fp->WriteI32(static_cast<int32_t>(list.size()));
    for (cFlow& f : list) {
        f.Write(fp);
    }
}

void ReadCmdList(cChkVector<cEdCmd>& list, cDataFile* fp) {
    int n = fp->ReadCount(MIN_RECORD_BODY, sizeof(cEdCmd));
    list.clear();
    if (n > 0) list.assign(static_cast<size_t>(n), DefaultOf<cEdCmd>());
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        list[i].Read(fp);
    }
}

namespace {
uint64_t AddBytes(uint64_t a, uint64_t b) { return SaturatingAdd(a, b); }

uint64_t CondListBytes(const cChkVector<cCond>& list) { return list.size() * sizeof(cCond); }

uint64_t CmdBytes(const cEdCmd& c) {
    uint64_t n = sizeof(cEdCmd) + c.m_vParam.size() * sizeof(int32_t) + c.m_strText.size();
    if (c.m_pMove) n += sizeof(cEdMove);
    if (c.m_pShot) n += sizeof(cEdShot);
    if (c.m_pCondList) n += sizeof(cCondList) + CondListBytes(c.m_pCondList->m_vCond);
    return AddBytes(n, FlowListBytes(c.m_vFlow));
}

uint64_t FlowBytes(const cFlow& f) {
    uint64_t n = sizeof(cFlow) + f.m_strName.size() + CondListBytes(f.m_vCond);
    for (const cFlowKey& k : f.m_vKey) n += sizeof(cFlowKey) + k.m_vKey.size();
    return AddBytes(n, CmdListBytes(f.m_vCmd));
}
}  // namespace

uint64_t FlowListBytes(const cChkVector<cFlow>& list) {
    uint64_t n = 0;
    for (const cFlow& f : list) n = AddBytes(n, FlowBytes(f));
    return n;
}

uint64_t CmdListBytes(const cChkVector<cEdCmd>& list) {
    uint64_t n = 0;
    for (const cEdCmd& c : list) n = AddBytes(n, CmdBytes(c));
    return n;
}

void WriteCmdList(cChkVector<cEdCmd>& list, cDataFile* fp) {
    fp->WriteI32(static_cast<int32_t>(list.size()));
    for (cEdCmd& c : list) {
        c.Write(fp);
    }
}

// ---- cEdCmd ----

cEdCmd::cEdCmd() { Clear(); }
cEdCmd::cEdCmd(const cEdCmd& o) = default;
cEdCmd::cEdCmd(cEdCmd&& o) noexcept = default;
cEdCmd& cEdCmd::operator=(const cEdCmd& o) = default;
cEdCmd& cEdCmd::operator=(cEdCmd&& o) noexcept = default;
cEdCmd::~cEdCmd() = default;

void cEdCmd::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField1(&m_bItemCmd);
    AddField1(&m_nKind);
    AddField2(&m_nTime);
    AddField2(&m_nTimeInc);
    AddField1(&m_bContinue);
    AddField2(&m_nSound);
    AddField1(&m_bSoundOnScreen);
    AddField2(&m_nAnime);
    AddString(&m_strText);
}

void cEdCmd::Clear() {
    cRecord::Clear();
    m_bSoundOnScreen = 1;
    m_pMove.reset();
    m_pShot.reset();
    m_pCondList.reset();
}

int cEdCmd::CmdKind() const { return CmdKindOf(m_bItemCmd != 0, m_nKind); }

int cEdCmd::ParamCount() const { return GetCmdParamCount(m_bItemCmd != 0, m_nKind); }

int32_t cEdCmd::Param(int i) const {
    return (i >= 0 && static_cast<size_t>(i) < m_vParam.size()) ? m_vParam[i] : 0;
}

void cEdCmd::UpgradeFrom(uint32_t nVer) {
    if (!(nVer < DATA_VERSION)) return;
    int nRows = 0;
    const CMDREPAIR* aRow = GetCmdRepairTable(&nRows);
    cParamEdit p(*this);
    for (int r = 0; r < nRows; r++) {
        const CMDREPAIR& row = aRow[r];
        if (!(nVer < row.nBelow)) continue;
        bool bItem = m_bItemCmd != 0;
        if (bItem && row.bCharOnly) continue;
        // Kind in the character numbering of the time (item kinds 2.. are
        // character kinds 17..).
        int nKind = bItem ? (m_nKind >= 2 ? m_nKind + ITEMCMD_KIND_OFFSET : -1) : m_nKind;
        if (row.anKind[0] == CMDREPAIR_RENUMBER) {
            if (nKind >= CMDREPAIR_RENUMBER_FROM && nKind <= CMDREPAIR_RENUMBER_LAST) m_nKind++;
            continue;
        }
        if (nKind != row.anKind[0] && !(row.anKind[1] != 0 && nKind == row.anKind[1])) continue;
        if (row.nResize != CMDREPAIR_NO_RESIZE) p.Resize(row.nResize);
        if (row.pfn) row.pfn(p);
    }
}

void cEdCmd::Read(cDataFile* fp) {
    cRecord::Read(fp);
    uint32_t nVer = GetStageContext().FileVersion();
    ReadSubRecord(m_pMove, fp);
    ReadSubRecord(m_pShot, fp);
    if (VerFrom(nVer, 764)) ReadSubRecord(m_pCondList, fp);
    else m_pCondList.reset();
    ReadFlowList(m_vFlow, fp);
    int n = fp->ReadCount(4);
    m_vParam.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; i++) m_vParam[i] = fp->ReadI32();
    UpgradeFrom(nVer);
    DropTestFlowsUnlessKept(m_vFlow);
    // The flows' commands normalised themselves as they were read, and the
    // upgrades touch this command's own parameters only.
    Normalize(false);
}

void cEdCmd::Write(cDataFile* fp) {
    Normalize();
    cRecord::Write(fp);
    WriteSubRecord(m_pMove, fp);
    WriteSubRecord(m_pShot, fp);
    WriteSubRecord(m_pCondList, fp);
    WriteFlowList(m_vFlow, fp);
    fp->WriteI32(static_cast<int32_t>(m_vParam.size()));
    for (int32_t v : m_vParam) fp->WriteI32(v);
}

namespace {
// A parameter that names a database entry: out of range becomes nReset.
struct DBREF {
    int nCmdKind;     // character numbering
    int nList;        // eDbList
    int nReset;
};
const DBREF aDbRef[] = {
    {CMD_ANIMESET, DBLIST_ANIMESET, 0},
    {CMD_ANIME, DBLIST_ANIME, 1},
    {CMD_EFFECT, DBLIST_EFFECT, 1},
    {CMD_CHARA_EFFECT, DBLIST_CHARAEFFECT, 1},
    {CMD_SCR_EFFECT, DBLIST_SCREFFECT, 1},
    {CMD_PICTURE, DBLIST_PICTURE, 1},
    {CMD_SOUND, DBLIST_SOUND, 1},
    {CMD_BGM, DBLIST_BGM, 1},
};

constexpr int MAX_CMD_TIME = 9999;
}  // namespace

void cEdCmd::Normalize(bool bFlows) {
    const cStageContext& ctx = GetStageContext();
    if (!IndexInList(m_nAnime, ctx.DatabaseCount(DBLIST_ANIME))) m_nAnime = 0;
    if (!IndexInList(m_nSound, ctx.DatabaseCount(DBLIST_SOUND))) m_nSound = 0;

    int nCount = ParamCount();
    if (nCount >= 0) m_vParam.resize(static_cast<size_t>(nCount), 0);

    int nKind = CmdKind();
    cParamEdit p(*this);
    if (nKind == CMD_SWORD && !m_bItemCmd && m_pShot) {
        int nTypes = ctx.DatabaseCount(DBLIST_SWORDTYPE);
        if (!IndexInList(m_pShot->m_nType, nTypes)) m_pShot->m_nType = 0;
        // No sword type at all: nothing to take the time from.
        if (nTypes > 0) {
            int64_t nSum = 0;
            for (int t : ctx.SwordPartTimes(m_pShot->m_nType)) nSum = std::min<int64_t>(nSum + t, MAX_CMD_TIME);
            m_nTime = static_cast<int16_t>(std::max<int64_t>(nSum, INT16_MIN));
        }
    } else if (nKind == CMD_GRAPHIC) {
        if (p.Get(0) == 4 && !IndexInList(p.Get(1), ctx.DatabaseCount(DBLIST_BMP_CHARAEXC))) p.Set(1, 1);
    } else {
        for (const DBREF& r : aDbRef)
            if (r.nCmdKind == nKind && !IndexInList(p.Get(0), ctx.DatabaseCount(r.nList))) p.Set(0, r.nReset);
    }

    if (bFlows)
        for (cFlow& f : m_vFlow) f.Normalize();
}

void cEdCmd::NormalizePalette() {
    const cStageContext& ctx = GetStageContext();
    int nKind = CmdKind();
    if ((nKind == CMD_SHOT || nKind == CMD_SWORD) && m_pShot) {
        cEdShot& s = *m_pShot;
        if ((s.m_nItemPalette == PALETTE_COMMON || s.m_nItemPalette == PALETTE_STAGE) &&
            ctx.ChecksPalette(s.m_nItemPalette)) {
            if (!IndexInList(s.m_nItemNum, ctx.ItemPaletteSize(s.m_nItemPalette))) {
                s.m_nItemPalette = 0;
                s.m_nItemNum = 0;
            }
        }
    } else if ((nKind == CMD_SUMMON_BLOCK || nKind == CMD_SUMMON_CHARA || nKind == CMD_SUMMON_ITEM) && m_pShot) {
        cEdShot& s = *m_pShot;
        // Summons select the palette as 0 common, 1 stage.
        int nType = s.m_nPalette == 0 ? PALETTE_COMMON : PALETTE_STAGE;
        if ((s.m_nPalette == 0 || s.m_nPalette == 1) && ctx.ChecksPalette(nType)) {
            int nSize = nKind == CMD_SUMMON_BLOCK   ? ctx.BlockPaletteSize(nType)
                        : nKind == CMD_SUMMON_CHARA ? ctx.CharaPaletteSize(nType)
                                                    : ctx.ItemPaletteSize(nType);
            if (!IndexInList(s.m_nNum, nSize)) s.m_nNum = 1;
        }
    } else if (nKind == CMD_GET_ITEM) {
        cParamEdit p(*this);
        int nSel = p.Get(0);
        int nType = nSel == 0 ? PALETTE_COMMON : PALETTE_STAGE;
        if ((nSel == 0 || nSel == 1) && ctx.ChecksPalette(nType)) {
            if (!IndexInList(p.Get(1), ctx.ItemPaletteSize(nType))) p.Set(1, 1);
        }
    }
    for (cFlow& f : m_vFlow) f.NormalizePalette();
}
