// System settings: the record layout of each data version, the list
// readers and writers, and the upgrade of older files.
#include "project/SystemData.h"

#include <algorithm>

#include "foundation/Text.h"
#include "project/Database.h"
#include "stage/StageContext.h"
#include "project/ValueListIO.h"

namespace {

inline bool From(int nVer, uint32_t n) { return VerFrom(static_cast<uint32_t>(nVer), n); }

// Inserts value at index i of a list whose size stays the same: entries
// i..n-2 move up one place and the last entry is dropped.
template <class T>
void InsertKeepSize(cChkVector<T>& v, size_t i, const T& value) {
    if (i >= v.size()) return;
    for (size_t k = v.size() - 1; k > i; k--) v[k] = v[k - 1];
    v[i] = value;
}

cCmd MakeMenuEntry(const char* pszText) {
    cCmd cmd;
    cmd.m_bEnable = 1;
    cmd.m_strText = pszText;
    return cmd;
}

cIniItem MakeIniInt(const char* pszKey, int nValue) {
    cIniItem item;
    item.SetInt(pszKey, nValue);
    return item;
}

cIniItem MakeIniDefault(int i) {
    const INIITEMDEFAULT& d = atblIniItemDefault[i];
    cIniItem item;
    if (d.nKind == 1)
        item.SetString(d.pszKey, d.pszValue);
    else
        item.SetInt(d.pszKey, d.nValue);
    return item;
}

// Appends default elements up to n, taking them from the defaults where the
// defaults have that index.
template <class T>
void PadFrom(cChkVector<T>& v, const cChkVector<T>& vDefault, size_t n) {
    while (v.size() < n) {
        size_t i = v.size();
        v.push_back(i < vDefault.size() ? vDefault[i] : T());
    }
}

const cSystemData& DefaultSystemData() {
    static const cSystemData sysDefault;
    return sysDefault;
}

}  // namespace

// ---------------------------------------------------------------------------
// Element records

void cStatusDisp::RegisterFields(int nVer) {
    ClearFieldTable();
    AddField4(&m_bShow);
    AddField4(&m_bIcon);
    AddField4(&m_nValueCells);
    if (From(nVer, 204)) AddField4(&m_bShowValue);
    if (From(nVer, 587)) {
        AddField4(&m_nLow);
        AddField4(&m_bLowPercent);
    }
    AddString(&m_strLabel);
}

void cStatusDisp::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (nFileVer < 204) m_bShowValue = 1;
}

void cRankingFlags::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_bRanking);
}

void cRankingFlags::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadByteList(fp, m_vKind);
}

void cRankingFlags::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteByteList(fp, m_vKind);
}

void cIniItem::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nKind);
    AddField4(&m_nValue);
    AddString(&m_strKey);
    AddString(&m_strValue);
}

void cIniItem::SetInt(const char* pszKey, int nValue) {
    if (pszKey && *pszKey) m_strKey = pszKey;
    m_nKind = 0;
    m_nValue = nValue;
}

void cIniItem::SetString(const char* pszKey, const char* pszValue) {
    m_strKey = pszKey ? pszKey : "";
    m_nKind = 1;
    m_strValue = pszValue ? pszValue : "";
}

// ---------------------------------------------------------------------------
// cSystemData

cSystemData::cSystemData() {
    SetDefault();
}

void cSystemData::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strTitle);
    if (From(nVer, 185)) AddField4(&m_bExtendByScore);
    AddField4(&m_nExtendScore);
    if (From(nVer, 838)) AddField4(&m_bSpacePause);
    AddField4(&m_bPauseHideStage);
    AddField4(&m_bSymbolLetters);
    if (From(nVer, 205)) AddField4(&m_nFont);
    if (From(nVer, 170)) AddField4(&m_bNoBracketShift);
    if (From(nVer, 113)) AddField4(&m_bKeepTestFlows);
    if (From(nVer, 184)) AddField4(&m_bReplay);
    if (From(nVer, 157)) AddField4(&m_bTitleMenuPicture);
    if (From(nVer, 821)) AddField4(&m_bUseSaveSlots);
    AddField4(&m_bStoryLifeCarry);
    if (From(nVer, 191)) {
        AddField4(&m_bStoryMissToMap);
        AddField4(&m_bMapShowLife);
    }
    AddField4(&m_nWorldCount);
    AddField4(&m_bAllWorldsOpen);
    if (From(nVer, 167)) {
        AddField4(&m_bStoryMapScore);
        AddField4(&m_bStoryTotalScore);
    }
    if (From(nVer, 188)) AddField4(&m_bStoryRetryRestore);
    if (From(nVer, 224)) AddField4(&m_bStoryPauseRetry);
    if (From(nVer, 167)) {
        AddField4(&m_bChallengeHighScore);
        AddField4(&m_bChallengeTotalScore);
    }
    if (From(nVer, 188)) AddField4(&m_bChallengeRetryRestore);
    if (From(nVer, 224)) AddField4(&m_bChallengePauseRetry);
    if (From(nVer, 188)) AddField4(&m_bFreeRetryRestore);
    if (From(nVer, 192)) AddField4(&m_bDirectRetryRestore);
    if (From(nVer, 187)) {
        AddField4(&m_bFixedTransColor);
        AddField1(&m_byTransR);
        AddField1(&m_byTransG);
        AddField1(&m_byTransB);
    }
    if (From(nVer, 214)) AddField4(&m_bScrollAddsToMoves);
    if (From(nVer, 221) && !From(nVer, 260)) AddField4(&nDummyField);
    if (From(nVer, 261)) AddField4(&m_bRuleScaleFootCollision);
    if (From(nVer, 272)) AddField4(&m_bRule272);
    if (From(nVer, 287)) AddField4(&m_bD3DCharaTint);
    if (From(nVer, 515)) AddField4(&m_nSysColorStep);
    if (From(nVer, 289)) AddField4(&m_bRuleFixedRangeColor);
    if (From(nVer, 757)) AddField4(&m_bStoryPauseToMap);
    if (From(nVer, 525)) AddField4(&m_bRuleFireUnlimited);
    if (From(nVer, 555)) AddField4(&m_bRule555);
    if (From(nVer, 637)) AddField4(&m_bRule617);
    if (From(nVer, 669)) AddField4(&m_bRuleKeySeqOverlap);
    if (From(nVer, 670)) {
        AddField4(&m_nScreenBppD3D);
        AddField4(&m_nScreenBppDD);
    }
    if (From(nVer, 677)) AddField4(&m_bLandWhileRising);
    if (From(nVer, 695)) AddField4(&m_bRule695);
    if (From(nVer, 696)) AddField4(&m_nReserved696);
    if (From(nVer, 697)) AddField4(&m_bRule697);
    if (From(nVer, 721)) AddField4(&m_bRule721);
    if (From(nVer, 728)) AddField4(&m_bRule728);
    if (From(nVer, 733)) AddField4(&m_bTrimTargetSpan);
    if (From(nVer, 744)) AddField4(&m_bRuleFireMarkEarly);
    if (From(nVer, 749)) AddField4(&m_bRuleCharaJumpGroundOnly);
    if (From(nVer, 752)) AddField4(&m_bRule752);
    if (From(nVer, 763)) {
        AddField4(&m_bKnockbackAtOnce);
        AddField4(&m_bHarmlessShotsEventOnly);
    }
    if (From(nVer, 768)) AddField4(&m_bRule768);
    if (From(nVer, 773)) AddField4(&m_bRule773);
    if (From(nVer, 781)) AddField4(&m_bRuleCeilingKeepsKnock);
    if (From(nVer, 782)) AddField4(&m_bRuleDistanceNoRefresh);
    if (From(nVer, 783)) AddField4(&m_bRule783);
    if (From(nVer, 793)) AddField4(&m_bRule793);
    if (From(nVer, 805)) AddField4(&m_bRule805);
    if (From(nVer, 808)) AddField4(&m_bRule808);
    if (From(nVer, 818)) {
        AddField4(&m_bRule818A);
        AddField4(&m_bRule818B);
    }
    if (From(nVer, 819)) AddField4(&m_bRuleInfiniteLifeZero);
    if (From(nVer, 822)) AddField4(&m_bRule822);
    if (From(nVer, 827)) AddField4(&m_bRule827);
    if (From(nVer, 831)) AddField4(&m_bRuleScaleFootBox);
    if (From(nVer, 833)) AddField4(&m_bRule833);
    if (From(nVer, 837)) AddField4(&m_bRule837);
    if (From(nVer, 839)) AddField4(&m_bRule839);
    if (From(nVer, 841)) AddField4(&m_bRuleKnockYAlways);
    if (From(nVer, 845)) {
        AddField4(&m_bRuleHeroJumpOnRide);
        AddField4(&m_bRuleCharaJumpAirSteps);
        AddField4(&m_bRuleGravityJump);
        AddField4(&m_bRule845);
    }
}

void cSystemData::Read(cDataFile* fp) {
    const uint32_t nVer = nFileVer;
    cRecord::Read(fp);

    ReadByteList(fp, m_vCarryOver);
    if (nVer >= 501) ReadByteList(fp, m_vMissForget);
    ReadRecordList(fp, m_vStatusDisp);
    ReadIntList(fp, m_vLife);
    if (nVer >= 191) ReadIntList(fp, m_vLifeInfinite);
    if (nVer >= 186) ReadRecordList(fp, m_vRankingFlags);
    ReadStringList(fp, m_vSysText);
    ReadStringList(fp, m_vSysSound);
    ReadIntList(fp, m_vSceneBgm);
    if (nVer >= 202) ReadByteList(fp, m_vSceneBgmFlag);
    ReadRecordList(fp, m_vTitleMenu);
    ReadRecordList(fp, m_vSaveMenu);
    ReadRecordList(fp, m_vOptionMenu);
    if (nVer >= 674) ReadStringList(fp, m_vRankingModeText);
    ReadRecordList(fp, m_vIniItem);

    if (nVer < DATA_VERSION) Upgrade(nVer);
    PadFixedLists();
    if (m_nFont < 0 || m_nFont >= FONTNAME_COUNT) m_nFont = DEFAULT_FONT;
    ClampSceneBgm();
}

void cSystemData::Write(cDataFile* fp) {
    ClampSceneBgm();
    cRecord::Write(fp);
    WriteByteList(fp, m_vCarryOver);
    WriteByteList(fp, m_vMissForget);
    WriteRecordList(fp, m_vStatusDisp);
    WriteIntList(fp, m_vLife);
    WriteIntList(fp, m_vLifeInfinite);
    WriteRecordList(fp, m_vRankingFlags);
    WriteStringList(fp, m_vSysText);
    WriteStringList(fp, m_vSysSound);
    WriteIntList(fp, m_vSceneBgm);
    WriteByteList(fp, m_vSceneBgmFlag);
    WriteRecordList(fp, m_vTitleMenu);
    WriteRecordList(fp, m_vSaveMenu);
    WriteRecordList(fp, m_vOptionMenu);
    WriteStringList(fp, m_vRankingModeText);
    WriteRecordList(fp, m_vIniItem);
}

void cSystemData::Upgrade(uint32_t nVer) {
    if (nVer < 113) m_bKeepTestFlows = 0;
    if (nVer < 157) m_bTitleMenuPicture = 0;
    if (nVer < 167) m_bStoryMapScore = m_bStoryTotalScore = m_bChallengeHighScore = m_bChallengeTotalScore = 1;
    if (nVer < 168) {
        m_vCarryOver.resize(CARRYOVER_COUNT);
        InsertKeepSize<uint8_t>(m_vCarryOver, 16, 1);
    }
    if (nVer < 169) {
        m_vSaveMenu.resize(SAVEMENU_COUNT);
        InsertKeepSize(m_vSaveMenu, 1, MakeMenuEntry("オートセーブ"));
        m_vSysText.resize(SYSTEXT_COUNT);
        InsertKeepSize<std::string>(m_vSysText, 12, "保存先が不明です！一度は「セーブ」して下さい！");
        InsertKeepSize<std::string>(m_vSysText, 12, "オートセーブＯＦＦ");
        InsertKeepSize<std::string>(m_vSysText, 12, "オートセーブＯＮ");
    }
    if (nVer < 170) m_bNoBracketShift = 0;
    if (nVer < 181) {
        m_vRankingFlags.resize(std::max<size_t>(m_vRankingFlags.size(), PLAYMODE_COUNT));
        for (int m = 0; m < PLAYMODE_COUNT; m++) {
            cChkVector<uint8_t>& vKind = m_vRankingFlags[m].m_vKind;
            vKind.resize(RANKING_KIND_COUNT);
            vKind[3] = 0;
            vKind[4] = 0;
        }
        m_vSysText.resize(SYSTEXT_COUNT);
        InsertKeepSize<std::string>(m_vSysText, 8, "残りHP");
        InsertKeepSize<std::string>(m_vSysText, 9, "残りSP");
    }
    if (nVer < 184) m_bReplay = 1;
    if (nVer < 185) m_bExtendByScore = 1;
    if (nVer < 187) {
        m_bFixedTransColor = 0;
        m_byTransR = 0;
        m_byTransG = 177;
        m_byTransB = 0;
    }
    if (nVer < 188) m_bStoryRetryRestore = m_bChallengeRetryRestore = m_bFreeRetryRestore = 1;
    if (nVer < 191) {
        m_vLifeInfinite.assign(PLAYMODE_COUNT, 0);
        m_vLifeInfinite[3] = 1;
        m_bStoryMissToMap = 0;
        m_bMapShowLife = 0;
    }
    if (nVer < 192) m_bDirectRetryRestore = 1;
    if (nVer < 193) {
        m_vSysText.resize(SYSTEXT_COUNT);
        InsertKeepSize<std::string>(m_vSysText, 22, "リトライ");
        InsertKeepSize<std::string>(m_vSysText, 23, "マップへ戻る");
    }
    if (nVer < 201) {
        m_vCarryOver.resize(CARRYOVER_COUNT);
        InsertKeepSize<uint8_t>(m_vCarryOver, 14, 0);
    }
    if (nVer < 202) m_vSceneBgmFlag.assign(SCENEBGM_COUNT, 1);
    if (nVer < 205) m_nFont = DEFAULT_FONT;
    if (nVer < 210) {
        m_vCarryOver.resize(CARRYOVER_COUNT);
        InsertKeepSize<uint8_t>(m_vCarryOver, 9, 0);
    }
    if (nVer < 214) m_bScrollAddsToMoves = 1;
    if (nVer < 224) m_bStoryPauseRetry = m_bChallengePauseRetry = 0;
    if (nVer < 261) m_bRuleScaleFootCollision = 1;
    if (nVer < 272) m_bRule272 = 0;
    if (nVer < 286) {
        m_vIniItem.resize(INIITEM_COUNT);
        InsertKeepSize(m_vIniItem, 0, MakeIniInt("Direct3D", 1));
        if (m_vIniItem[3].m_nValue >= 3) m_vIniItem[3].m_nValue = 2;
    }
    if (nVer < 287) m_bD3DCharaTint = 0;
    if (nVer < 289) m_bRuleFixedRangeColor = m_bFixedTransColor == 0 ? 1 : 0;
    if (nVer < 501) m_vMissForget.assign(CARRYOVER_COUNT, 0);
    if (nVer < 515) m_nSysColorStep = 16;
    if (nVer < 525) m_bRuleFireUnlimited = 1;
    if (nVer < 555) m_bRule555 = 1;
    if (nVer < 567) {
        m_vIniItem.resize(INIITEM_COUNT);
        InsertKeepSize(m_vIniItem, 4, MakeIniInt("DD_VideoStretch", 0));
    }
    if (nVer < 568) {
        m_vIniItem.resize(INIITEM_COUNT);
        InsertKeepSize(m_vIniItem, 4, MakeIniInt("D3D_FontCache", 0));
        InsertKeepSize(m_vIniItem, 5, MakeIniInt("DD_FontCache", 1));
    }
    if (nVer < 587) {
        m_vStatusDisp.resize(STATUSDISP_COUNT);
        for (int i : {STATUSDISP_HP, STATUSDISP_SP}) {
            m_vStatusDisp[i].m_nLow = 33;
            m_vStatusDisp[i].m_bLowPercent = 1;
        }
    }
    if (nVer < 637) m_bRule617 = nVer <= 616 ? 1 : 0;
    if (nVer < 669) m_bRuleKeySeqOverlap = 1;
    if (nVer < 670) {
        m_nScreenBppD3D = 0;
        m_nScreenBppDD = 2;
    }
    if (nVer < 672) {
        m_vIniItem.resize(INIITEM_COUNT);
        m_vIniItem[INI_ENGLISH].SetInt("English", 0);
    }
    if (nVer < 677) m_bLandWhileRising = 1;
    if (nVer < 695) m_bRule695 = 1;
    if (nVer < 696) m_nReserved696 = 1;
    if (nVer < 697) m_bRule697 = 1;
    if (nVer < 721) m_bRule721 = 1;
    if (nVer < 728) m_bRule728 = 1;
    if (nVer < 733) m_bTrimTargetSpan = 1;
    if (nVer < 744) m_bRuleFireMarkEarly = 1;
    if (nVer < 749) m_bRuleCharaJumpGroundOnly = 1;
    if (nVer < 752) m_bRule752 = 1;
    if (nVer < 756) {
        m_vSysText.resize(SYSTEXT_COUNT);
        InsertKeepSize<std::string>(m_vSysText, 22, "マップへ戻る");
    }
    if (nVer < 757) m_bStoryPauseToMap = 0;
    if (nVer < 763) m_bKnockbackAtOnce = m_bHarmlessShotsEventOnly = 1;
    if (nVer < 768) m_bRule768 = 1;
    if (nVer < 773) m_bRule773 = 1;
    if (nVer < 781) m_bRuleCeilingKeepsKnock = 1;
    if (nVer < 782) m_bRuleDistanceNoRefresh = 1;
    if (nVer < 783) m_bRule783 = 1;
    if (nVer < 793) m_bRule793 = 1;
    if (nVer < 805) m_bRule805 = 1;
    if (nVer < 808) m_bRule808 = 1;
    if (nVer < 818) m_bRule818A = m_bRule818B = 1;
    if (nVer < 819) m_bRuleInfiniteLifeZero = 1;
    if (nVer < 821) m_bUseSaveSlots = 0;
    if (nVer < 822) m_bRule822 = 1;
    if (nVer < 827) m_bRule827 = 1;
    if (nVer < 831) m_bRuleScaleFootBox = 1;
    if (nVer >= 817 && nVer <= 832) m_bRule833 = 1;
    if (nVer < 837) m_bRule837 = 1;
    if (nVer < 838) m_bSpacePause = 1;
    if (nVer < 839) m_bRule839 = 1;
    if (nVer < 841) m_bRuleKnockYAlways = 1;
    if (nVer < 842) {
        m_vIniItem.resize(INIITEM_COUNT);
        m_vIniItem[INI_MIDI_DIRECTMUSIC].SetInt("Midi_DirectMusic", 1);
    }
    if (nVer < 845) {
        m_bRuleHeroJumpOnRide = m_bRuleCharaJumpAirSteps = m_bRuleGravityJump = 1;
        m_bRule845 = nVer >= 656 ? 1 : 0;
    }
}

void cSystemData::PadFixedLists() {
    // Every reader indexes these lists by fixed numbers: a file that holds
    // fewer entries gets the default ones for the rest.
    const cSystemData& def = DefaultSystemData();
    PadFrom(m_vCarryOver, def.m_vCarryOver, CARRYOVER_COUNT);
    PadFrom(m_vMissForget, def.m_vMissForget, CARRYOVER_COUNT);
    PadFrom(m_vStatusDisp, def.m_vStatusDisp, STATUSDISP_COUNT);
    PadFrom(m_vTitleMenu, def.m_vTitleMenu, TITLEMENU_COUNT);
    PadFrom(m_vSaveMenu, def.m_vSaveMenu, SAVEMENU_COUNT);
    PadFrom(m_vOptionMenu, def.m_vOptionMenu, OPTIONMENU_COUNT);
    PadFrom(m_vRankingModeText, def.m_vRankingModeText, RANKINGMODE_COUNT);
    PadFrom(m_vLife, def.m_vLife, PLAYMODE_COUNT);
    PadFrom(m_vLifeInfinite, def.m_vLifeInfinite, PLAYMODE_COUNT);
    PadFrom(m_vRankingFlags, def.m_vRankingFlags, PLAYMODE_COUNT);
    for (cRankingFlags& flags : m_vRankingFlags)
        if (flags.m_vKind.size() < RANKING_KIND_COUNT) flags.m_vKind.resize(RANKING_KIND_COUNT, 0);
    PadFrom(m_vSysSound, def.m_vSysSound, SYSSOUND_COUNT);
    PadFrom(m_vSceneBgm, def.m_vSceneBgm, SCENEBGM_COUNT);
    PadFrom(m_vSceneBgmFlag, def.m_vSceneBgmFlag, SCENEBGM_COUNT);
    PadFrom(m_vSysText, def.m_vSysText, SYSTEXT_COUNT);
    while (m_vIniItem.size() < INIITEM_COUNT) m_vIniItem.push_back(MakeIniDefault(static_cast<int>(m_vIniItem.size())));
}

void cSystemData::ClampSceneBgm() {
    ClampSceneBgm(GetStageContext().DatabaseCount(DBLIST_BGM));
}

void cSystemData::ClampSceneBgm(int nBgmCount) {
    const uint32_t nCount = nBgmCount < 0 ? 0 : static_cast<uint32_t>(nBgmCount);
    for (int32_t& n : m_vSceneBgm)
        if (static_cast<uint32_t>(n) >= nCount) n = 0;
}

bool cSystemData::IsRankingOn(int nMode) const {
    return m_vRankingFlags.IsValid(nMode) && m_vRankingFlags[nMode].m_bRanking != 0;
}

int cSystemData::CountRankingKinds(int nMode) const {
    if (!IsRankingOn(nMode)) return 0;
    const cRankingFlags& flags = m_vRankingFlags[nMode];
    return static_cast<int>(std::count_if(flags.m_vKind.begin(), flags.m_vKind.end(), [](uint8_t b) { return b != 0; }));
}

int cSystemData::IsStatusLow(int nEntry, int nValue, int nMax) const {
    if (!m_vStatusDisp.IsValid(nEntry)) return 0;
    const cStatusDisp& disp = m_vStatusDisp[nEntry];
    if (disp.m_bLowPercent) {
        double dPercent;
        if (nMax > 0)
            dPercent = static_cast<double>(nValue) * 100.0 / static_cast<double>(nMax);
        else
            dPercent = nValue > 0 ? 100.0 : 0.0;   // no maximum: nothing to compare with
        return static_cast<double>(disp.m_nLow) >= dPercent ? 1 : 0;
    }
    return disp.m_nLow >= nValue ? 1 : 0;
}

int cSystemData::GetTextColumnChars(int nFirst, int nCount) const {
    int nChars = 0;
    for (int i = 0; i < nCount; i++) {
        int n = nFirst + i;
        if (!m_vSysText.IsValid(n)) continue;
        nChars = std::max(nChars, GetCharCount(m_vSysText[n].c_str()));
    }
    return nChars;
}

int cSystemData::GetTextColumnX(int x, int nFirst, int nCount, int bCursor) const {
    int c = GetTextColumnChars(nFirst, nCount);
    return x - ((c + (bCursor ? 1 : 0)) * 16) / 2;
}

const char* cSystemData::GetSysText(int n) const {
    return m_vSysText.IsValid(n) ? m_vSysText[n].c_str() : "";
}

const char* cSystemData::GetFontName() const {
    if (m_nFont < 0 || m_nFont >= FONTNAME_COUNT) return aszFontName[DEFAULT_FONT];
    return aszFontName[m_nFont];
}
