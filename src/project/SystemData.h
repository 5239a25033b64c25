#pragma once
// The project's system settings, read from data\System.dat: title, menus,
// system texts and sounds, screen music, head-up display, lives and retry
// rules per play mode, rankings, the System.ini key list with its defaults,
// screen and transparent-colour settings and the rule switches that choose
// between two behaviours of the play code.
//
// Other names for the same members, used where the shell, graphics and stage
// code speak of them:
//   m_nColorMode        -> m_bFixedTransColor (0 palette images, 1 RGB key)
//   m_abTransmit        -> m_byTransR, m_byTransG, m_byTransB
//   m_nD3DDepth         -> m_nScreenBppD3D
//   m_nDDDepth          -> m_nScreenBppDD
//   m_nFontFace         -> m_nFont
//   tblFontFace         -> aszFontName
//   m_bEnglishText      -> m_bSymbolLetters
//   m_bCenterGlyph      -> m_bNoBracketShift
//   m_vSystemSound      -> m_vSysSound
//   m_bTestFlows        -> m_bKeepTestFlows
//   m_bPaletteCycle     -> m_bRuleFixedRangeColor
//   m_bInvincibleTint   -> m_bD3DCharaTint
//
// Play modes index every per-mode list: 0 story, 1 challenge, 2 free,
// 3 replay.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "stage/Cmd.h"

struct DDSURFACEDATA;

constexpr int PLAYMODE_COUNT = 4;
constexpr int CARRYOVER_COUNT = 25;
constexpr int STATUSDISP_COUNT = 5;
constexpr int RANKING_KIND_COUNT = 5;
constexpr int TITLEMENU_COUNT = 7;
constexpr int SAVEMENU_COUNT = 4;
constexpr int OPTIONMENU_COUNT = 6;
constexpr int RANKINGMODE_COUNT = 4;
constexpr int SYSSOUND_COUNT = 17;
constexpr int SCENEBGM_COUNT = 4;
constexpr int SYSTEXT_COUNT = 29;
constexpr int INIITEM_COUNT = 11;
constexpr int FONTNAME_COUNT = 122;
constexpr int DEFAULT_FONT = 60;

// Head-up display entries.
enum STATUSDISPENTRY : int { STATUSDISP_TOTALSCORE, STATUSDISP_STAGESCORE, STATUSDISP_HP, STATUSDISP_SP, STATUSDISP_LIFE };

// Indices of the System.ini key list.
enum INIITEMINDEX : int {
    INI_DIRECT3D = 0,
    INI_WINDOWMODE,
    INI_BPP,
    INI_VSYNC,
    INI_D3D_FONTCACHE,
    INI_DD_FONTCACHE,
    INI_DD_VIDEOSTRETCH,
    INI_SHOWFPS,
    INI_FREESTAGE,
    INI_ENGLISH,
    INI_MIDI_DIRECTMUSIC,
};

class cStatusDisp : public cRecord {
public:
    cStatusDisp() { Clear(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;

    int32_t m_bShow = 0;
    int32_t m_bIcon = 0;
    std::string m_strLabel;
    int32_t m_bShowValue = 0;
    int32_t m_nValueCells = 0;
    int32_t m_nLow = 0;
    int32_t m_bLowPercent = 0;
};

class cRankingFlags : public cRecord {
public:
    cRankingFlags() { Clear(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    int32_t m_bRanking = 0;
    cChkVector<uint8_t> m_vKind;   // one switch per ranking kind
};

class cIniItem : public cRecord {
public:
    cIniItem() { Clear(); }
    void RegisterFields(int nVer) override;
    void SetInt(const char* pszKey, int nValue);
    void SetString(const char* pszKey, const char* pszValue);

    int32_t m_nKind = 0;   // 0 integer, 1 string
    std::string m_strKey;
    int32_t m_nValue = 0;
    std::string m_strValue;
};

class cSystemData : public cRecord {
public:
    cSystemData();
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    void SetDefault();
    // Music numbers not below the database's music count become 0.
    void ClampSceneBgm();
    void ClampSceneBgm(int nBgmCount);
    // The ranking switch of play mode nMode (0 story .. 3 replay); off for a
    // mode the settings do not list.
    bool IsRankingOn(int nMode) const;
    int CountRankingKinds(int nMode) const;
    int IsStatusLow(int nEntry, int nValue, int nMax) const;
    int GetTextColumnX(int x, int nFirst, int nCount, int bCursor) const;
    // System texts nFirst..nFirst+nCount-1, one per line (a blank before
    // each with bCursor), in a text-font window at (x, y); nothing for no
    // texts.
    void DrawTextColumn(DDSURFACEDATA* lpDst, int x, int y, int nFirst, int nCount, int bCursor) const;
    // The largest character count of system texts nFirst..nFirst+nCount-1.
    int GetTextColumnChars(int nFirst, int nCount) const;

    const char* GetSysText(int n) const;
    const char* GetFontName() const;

    std::string m_strTitle;
    cChkVector<uint8_t> m_vCarryOver;
    cChkVector<uint8_t> m_vMissForget;
    int32_t m_bExtendByScore = 0;
    int32_t m_nExtendScore = 0;
    int32_t m_bSpacePause = 0;
    int32_t m_bPauseHideStage = 0;
    int32_t m_bSymbolLetters = 0;
    int32_t m_nFont = DEFAULT_FONT;
    int32_t m_bNoBracketShift = 0;
    int32_t m_bReplay = 0;
    int32_t m_bKeepTestFlows = 0;
    cChkVector<cStatusDisp> m_vStatusDisp;
    int32_t m_bTitleMenuPicture = 0;
    cChkVector<cCmd> m_vTitleMenu;
    cChkVector<cCmd> m_vSaveMenu;
    cChkVector<cCmd> m_vOptionMenu;
    cChkVector<std::string> m_vRankingModeText;
    int32_t m_bUseSaveSlots = 0;
    int32_t m_bStoryLifeCarry = 0;
    int32_t m_bStoryMissToMap = 0;
    int32_t m_bMapShowLife = 0;
    int32_t m_nWorldCount = 0;
    int32_t m_bAllWorldsOpen = 0;
    cChkVector<int32_t> m_vLife;
    cChkVector<int32_t> m_vLifeInfinite;
    cChkVector<cRankingFlags> m_vRankingFlags;
    int32_t m_bStoryMapScore = 0;
    int32_t m_bStoryTotalScore = 0;
    int32_t m_bStoryRetryRestore = 0;
    int32_t m_bStoryPauseRetry = 0;
    int32_t m_bStoryPauseToMap = 0;
    int32_t m_bChallengeHighScore = 0;
    int32_t m_bChallengeTotalScore = 0;
    int32_t m_bChallengeRetryRestore = 0;
    int32_t m_bChallengePauseRetry = 0;
    int32_t m_bFreeRetryRestore = 0;
    int32_t m_bDirectRetryRestore = 0;
    int32_t m_bFixedTransColor = 0;
    uint8_t m_byTransR = 0;
    uint8_t m_byTransG = 0;
    uint8_t m_byTransB = 0;
    cChkVector<std::string> m_vSysSound;
    cChkVector<int32_t> m_vSceneBgm;
    cChkVector<uint8_t> m_vSceneBgmFlag;
    cChkVector<std::string> m_vSysText;
    cChkVector<cIniItem> m_vIniItem;

    int32_t m_bRule272 = 0;
    int32_t m_bD3DCharaTint = 0;
    int32_t m_nSysColorStep = 0;
    int32_t m_bRuleFixedRangeColor = 0;
    int32_t m_bScrollAddsToMoves = 0;
    int32_t m_bRuleScaleFootCollision = 0;
    int32_t m_bRuleFireUnlimited = 0;
    int32_t m_bRule555 = 0;
    int32_t m_bRule617 = 0;
    int32_t m_bRuleKeySeqOverlap = 0;
    int32_t m_nScreenBppD3D = 0;
    int32_t m_nScreenBppDD = 0;
    int32_t m_bLandWhileRising = 0;
    int32_t m_bRule695 = 0;
    int32_t m_nReserved696 = 0;
    int32_t m_bRule697 = 0;
    int32_t m_bRule721 = 0;
    int32_t m_bRule728 = 0;
    int32_t m_bTrimTargetSpan = 0;
    int32_t m_bRuleFireMarkEarly = 0;
    int32_t m_bRuleCharaJumpGroundOnly = 0;
    int32_t m_bRule752 = 0;
    int32_t m_bKnockbackAtOnce = 0;
    int32_t m_bHarmlessShotsEventOnly = 0;
    int32_t m_bRule768 = 0;
    int32_t m_bRule773 = 0;
    int32_t m_bRuleCeilingKeepsKnock = 0;
    int32_t m_bRuleDistanceNoRefresh = 0;
    int32_t m_bRule783 = 0;
    int32_t m_bRule793 = 0;
    int32_t m_bRule805 = 0;
    int32_t m_bRule808 = 0;
    int32_t m_bRule818A = 0;
    int32_t m_bRule818B = 0;
    int32_t m_bRuleInfiniteLifeZero = 0;
    int32_t m_bRule822 = 0;
    int32_t m_bRule827 = 0;
    int32_t m_bRuleScaleFootBox = 0;
    int32_t m_bRule833 = 0;
    int32_t m_bRule837 = 0;
    int32_t m_bRule839 = 0;
    int32_t m_bRuleKnockYAlways = 0;
    int32_t m_bRuleHeroJumpOnRide = 0;
    int32_t m_bRuleCharaJumpAirSteps = 0;
    int32_t m_bRuleGravityJump = 0;
    int32_t m_bRule845 = 0;

private:
    void Upgrade(uint32_t nVer);
    void PadFixedLists();
};

// Font face names indexed by m_nFont (122 names and an empty terminator).
extern const char* const aszFontName[FONTNAME_COUNT + 1];
extern const char* const aszColorModeName[3];
extern const char* const aszBppName[4];
extern const char* const aszBppNameD3D[3];
// Default system texts, System.ini keys and their defaults.
extern const char* const aszDefaultSysText[SYSTEXT_COUNT];
struct INIITEMDEFAULT {
    const char* pszKey;
    int nKind;
    int nValue;
    const char* pszValue;
};
extern const INIITEMDEFAULT atblIniItemDefault[INIITEM_COUNT];
